// The banded report engine and the station's three layouts, checked on the built pages.
#include "MainTexts.h"
#include "PageProbe.h"
#include "ReportBuilder.h"
#include "StationReports.h"

#include <gtest/gtest.h>

using namespace report;

namespace {

const double kLeft = PageSetup().left;
const double kTop = PageSetup().top;

MemTable dosingRows(int count) {
    MemTable t;
    t.fields = QStringList{"TIME", "DAT", "DOZATOR", "COD_MAT", "SKOR_ZAD", "VES", "REG_DOZ"};
    for (int i = 0; i < count; ++i) {
        const QString time = QStringLiteral("%1:%2:00")
                                 .arg(i / 60 % 24, 2, 10, QLatin1Char('0'))
                                 .arg(i % 60, 2, 10, QLatin1Char('0'));
        t.rows.push_back({time, "05.03.2010", "1", "02", "1000", QString::number(i), "Manual"});
    }
    return t;
}

MemTable shiftRows(const std::vector<std::tuple<QString, int, QString>>& rows) {
    MemTable t;
    t.fields = QStringList{"TIME", "COD_MAT", "VES", "REG_DOZ"};
    for (const auto& [code, ves, mode] : rows)
        t.rows.push_back({"10:00:00", code, QString::number(ves), mode});
    return t;
}

Variables protocolVars() {
    return views::protocolVariables(QStringLiteral("Протокол дозирования за"),
                                    QStringLiteral("05.03.2010"),
                                    {"Время", "Дата", "Дозатор", "Код материала", "Задание, кг",
                                     "Вес выгруженного материала, кг", "Режим работы"});
}

} // namespace

TEST(ReportExpand, VariablesFieldsAndUnknownNames) {
    MemTable t;
    t.fields = QStringList{"TIME", "repName"};
    t.rows.push_back({"12:00:00", "field value"});
    const Variables vars{{"repName", "Рапорт за 05.03.2010"}};
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"[repName]", "Рапорт за 05.03.2010"}, // a variable wins over a field of that name
        {"at [TIME]!", "at 12:00:00!"},
        {"[NOPE]", ""},
        {"[ TIME ]", "12:00:00"},
        {"open [TIME", "open [TIME"}, // an unclosed bracket stays text
        {"[repName] [TIME]", "Рапорт за 05.03.2010 12:00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(expand(QString::fromUtf8(c.text), t, 0, vars), QString::fromUtf8(c.expected))
            << c.text;
    EXPECT_EQ(expand("[TIME]", t, 5, vars), QString()) << "a record out of range has no fields";
}

TEST(ProtocolLayout, TitleHeadingsRowsAndFooterInPlace) {
    const PreparedReport r = build(views::protocolTemplate(), dosingRows(2), protocolVars());
    ASSERT_EQ(r.pages.size(), 1u);
    const Page& page = r.pages[0];
    EXPECT_NEAR(page.width, 793.7, 0.1);
    EXPECT_NEAR(page.height, 1122.5, 0.1);
    EXPECT_NEAR(PageSetup().bandWidth(), 757, 0.01);

    const Item* title = findItem(page, "Протокол дозирования за 05.03.2010");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->rect, QRectF(kLeft + 22, kTop, 710, 66));
    EXPECT_TRUE(title->font.bold && title->font.italic);
    EXPECT_EQ(title->font.pointSize, 12);
    EXPECT_EQ(title->hAlign, HAlign::Center);
    EXPECT_EQ(title->vAlign, VAlign::Center);

    const struct {
        const char* text;
        double x, w;
    } heads[] = {{"Время", 24, 72},         {"Дата", 96, 72},
                 {"Дозатор", 168, 64},      {"Код материала", 232, 80},
                 {"Задание, кг", 312, 128}, {"Вес выгруженного материала, кг", 440, 140},
                 {"Режим работы", 580, 140}};
    for (const auto& h : heads) {
        const Item* item = findItem(page, QString::fromUtf8(h.text));
        ASSERT_TRUE(item) << h.text;
        EXPECT_EQ(item->rect, QRectF(kLeft + h.x, kTop + 66, h.w, 38)) << h.text;
        EXPECT_EQ(item->frames, FrameAll);
        EXPECT_EQ(item->fill, QColor(0xE4, 0xE4, 0xE4));
        EXPECT_EQ(item->hAlign, HAlign::Center);
    }

    // The first data row starts under the 42-unit page header; the second 18 units lower.
    auto vesCell = [&page](const char* text) -> const Item* {
        for (const Item& item : page.items) {
            if (item.text == text && item.rect.left() == kLeft + 452)
                return &item;
        }
        return nullptr;
    };
    const Item* ves0 = vesCell("0");
    const Item* ves1 = vesCell("1");
    ASSERT_TRUE(ves0 && ves1);
    EXPECT_EQ(ves0->rect, QRectF(kLeft + 452, kTop + 66 + 42, 112, 18));
    EXPECT_EQ(ves0->hAlign, HAlign::Right);
    EXPECT_EQ(ves1->rect.top(), ves0->rect.top() + 18);
    const Item* mode = findItem(page, "Manual");
    ASSERT_TRUE(mode);
    EXPECT_EQ(mode->hAlign, HAlign::Left);
    EXPECT_EQ(mode->rect.left(), kLeft + 588);

    // Page footer: grey band at the bottom, the report name right-aligned on a white field.
    const Item& name = page.items.back();
    EXPECT_EQ(name.text, "Протокол дозирования за 05.03.2010");
    EXPECT_EQ(name.rect, QRectF(kLeft + 324, page.height - PageSetup().bottom - 14, 408, 14));
    EXPECT_EQ(name.fill, QColor(Qt::white));
    EXPECT_EQ(name.hAlign, HAlign::Right);
    EXPECT_EQ(name.font.pointSize, 8);
    EXPECT_EQ(page.items[page.items.size() - 2].fill, QColor(0xC0, 0xC0, 0xC0));
}

TEST(ProtocolLayout, LongDayBreaksIntoPagesWithHeaderAndFooterOnEach) {
    const int count = 200;
    const PreparedReport r = build(views::protocolTemplate(), dosingRows(count), protocolVars());
    ASSERT_GT(r.pages.size(), 3u);
    int rows = 0;
    int expectedVes = 0;
    for (size_t p = 0; p < r.pages.size(); ++p) {
        const Page& page = r.pages[p];
        EXPECT_EQ(bool(findItem(page, "Протокол дозирования за 05.03.2010")), true);
        const Item* head = findItem(page, "Время");
        ASSERT_TRUE(head) << "page " << p + 1;
        // The title is printed once; later pages start with the page header.
        EXPECT_EQ(head->rect.top(), p == 0 ? kTop + 66 : kTop) << "page " << p + 1;
        const double footerTop = page.height - PageSetup().bottom - 14;
        for (const Item& item : page.items) {
            if (item.rect.left() == kLeft + 452 && item.rect.height() == 18) {
                EXPECT_EQ(item.text.toInt(), expectedVes++) << "records keep their order";
                EXPECT_LE(item.rect.bottom(), footerTop + 1e-9) << "no row under the footer";
                ++rows;
            }
        }
        EXPECT_EQ(page.items.back().rect.top(), footerTop);
    }
    EXPECT_EQ(rows, count);
}

TEST(JournalLayout, ThreeHeadingsAndPlainRows) {
    MemTable t;
    t.fields = QStringList{"TIME", "DAT", "REC_STR", "CODZ"};
    t.rows.push_back({"08:00:00", "05.03.2010", "Авария затвора дозатора 4 РКО-1", "1"});
    t.rows.push_back({"18:00:00", "05.03.2010", "Выход из программы", "2"});
    const PreparedReport r = build(
        views::journalTemplate(), t,
        views::journalVariables("Журнал работы за", "05.03.2010", {"Время", "Дата", "Событие"}));
    ASSERT_EQ(r.pages.size(), 1u);
    const Page& page = r.pages[0];
    const Item* event = findItem(page, "Событие");
    ASSERT_TRUE(event);
    EXPECT_EQ(event->rect, QRectF(kLeft + 224, kTop + 66, 504, 26));
    const Item* alarm = findItem(page, "Авария затвора дозатора 4 РКО-1");
    ASSERT_TRUE(alarm);
    EXPECT_EQ(alarm->rect, QRectF(kLeft + 228, kTop + 66 + 34, 496, 18));
    // The printout carries no colouring: every text is black and rows have no background.
    for (const Item& item : page.items) {
        EXPECT_EQ(item.color, QColor(Qt::black)) << item.text.toStdString();
        if (item.rect.height() == 18) {
            EXPECT_FALSE(item.fill.isValid()) << item.text.toStdString();
        }
    }
}

TEST(ShiftLayout, GroupsPerCodeWithThreeSumsAndOreCount) {
    const MainTexts main = MainTexts::defaults();
    // Records already in COD_MAT order, as the shift collection hands them over.
    const MemTable t = shiftRows({{"02", 100, "Automatik"},
                                  {"02", 40, "Manual"},
                                  {"02", 7, "Service"}, // neither word: only in the total
                                  {"05", 300, "Automatik"},
                                  {"05", 25, "Manual"}});
    const PreparedReport r =
        build(views::shiftTemplate(), t, views::shiftVariables(main, "05.03.2010", 1));
    ASSERT_EQ(r.pages.size(), 1u);
    const Page& page = r.pages[0];
    const QStringList texts = pageTexts(page);
    const QStringList expected = {"Рапорт за 05.03.2010", "2 смена с 06.00 до 14.00",
                                  "Код материала", "Режим работы", "Отгружено, кг",
                                  "Отгружено, калош",
                                  // group 02
                                  "02", "автоматический", "100", "ручной", "40", "всего", "147",
                                  // group 05
                                  "05", "автоматический", "300", "ручной", "25", "всего", "325",
                                  // summary: only the records of code 02 are ore charges here
                                  "3", "Рапорт за 05.03.2010"};
    EXPECT_EQ(texts, expected);

    const Item* code = findItem(page, "02");
    ASSERT_TRUE(code);
    const double groupTop = kTop + 82 + 42;
    EXPECT_EQ(code->rect, QRectF(kLeft + 24, groupTop, 64, 24));
    EXPECT_EQ(code->hAlign, HAlign::Right);
    EXPECT_EQ(code->font.family, "Bookman Old Style");
    const Item* total = findItem(page, "147");
    ASSERT_TRUE(total);
    EXPECT_EQ(total->rect, QRectF(kLeft + 424, groupTop + 48, 132, 24));
    EXPECT_EQ(total->hAlign, HAlign::Right);
    const Item* count = findItem(page, "3");
    ASSERT_TRUE(count);
    EXPECT_EQ(count->rect, QRectF(kLeft + 576, groupTop + 2 * 74, 132, 22));
    const Item* period = findItem(page, "2 смена с 06.00 до 14.00");
    ASSERT_TRUE(period);
    EXPECT_EQ(period->rect, QRectF(kLeft + 24, kTop + 26, 706, 22));
    const Item& footer = page.items.back();
    EXPECT_EQ(footer.rect.left(), kLeft + 328);
    EXPECT_EQ(footer.rect.right(), kLeft + 736);
}

TEST(ShiftLayout, OreCodesCountAcrossGroupsAndEmptyShiftCountsZero) {
    const MainTexts main = MainTexts::defaults();
    const MemTable ores = shiftRows({{"01", 1, "Automatik"},
                                     {"02", 1, "Automatik"},
                                     {"03", 1, "Manual"},
                                     {"04", 1, "Automatik"},
                                     {"07", 1, "Automatik"},
                                     {"07", 1, "Automatik"},
                                     {"08", 1, "Automatik"},
                                     {"12", 1, "Automatik"}});
    PreparedReport r = build(views::shiftTemplate(), ores, views::shiftVariables(main, "x", 0));
    ASSERT_EQ(r.pages.size(), 1u);
    const QStringList texts = pageTexts(r.pages[0]);
    EXPECT_EQ(texts[texts.size() - 2], "5");

    const MemTable none = shiftRows({});
    r = build(views::shiftTemplate(), none, views::shiftVariables(main, "05.03.2010", 2));
    ASSERT_EQ(r.pages.size(), 1u);
    EXPECT_EQ(pageTexts(r.pages[0]),
              (QStringList{"Рапорт за 05.03.2010", "3 смена с 14.00 до 22.00", "Код материала",
                           "Режим работы", "Отгружено, кг", "Отгружено, калош", "0",
                           "Рапорт за 05.03.2010"}));
}

TEST(ShiftLayout, GroupFooterThatDoesNotFitMovesToNextPage) {
    const MainTexts main = MainTexts::defaults();
    std::vector<std::tuple<QString, int, QString>> rows;
    for (int code = 10; code < 30; ++code)
        rows.emplace_back(QString::number(code), code, "Automatik");
    const PreparedReport r =
        build(views::shiftTemplate(), shiftRows(rows), views::shiftVariables(main, "d", 0));
    ASSERT_EQ(r.pages.size(), 2u);
    const double footerTop = r.pages[0].height - PageSetup().bottom - 14;
    int groups = 0;
    for (const Page& page : r.pages) {
        for (const Item& item : page.items) {
            if (item.text == "всего") {
                ++groups;
                EXPECT_LE(item.rect.top() + 24 - 48 + 74, footerTop + 1e-9);
            }
        }
    }
    EXPECT_EQ(groups, 20);
    EXPECT_TRUE(findItem(r.pages[1], "Код материала")) << "page header on the second page";
    EXPECT_FALSE(findItem(r.pages[1], "2 смена с 06.00 до 14.00"));
}

TEST(PreparedReport, BlankIsOneEmptyA4Page) {
    const PreparedReport r = PreparedReport::blank();
    ASSERT_EQ(r.pages.size(), 1u);
    EXPECT_TRUE(r.pages[0].items.empty());
    EXPECT_NEAR(r.pages[0].width, 793.7, 0.1);
}

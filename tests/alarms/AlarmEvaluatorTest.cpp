// Alarm evaluation: the fifty bits and their messages, clearing, order and the first run.
#include "AlarmEvaluator.h"
#include "EventList.h"
#include "MainTexts.h"
#include "ProcessImage.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <set>
#include <utility>
#include <vector>

namespace {

struct Message {
    QString text;
    QRgb colour;
    bool operator==(const Message&) const = default;
};

void PrintTo(const Message& m, std::ostream* os) {
    *os << (m.colour == colours::kRed ? "red " : "black ") << m.text.toStdString();
}

struct Expected {
    int byte;
    int bit;
    const char* alarm;
};

// Every evaluated bit with its alarm message under the built-in texts, in reporting order.
const Expected kTable[] = {
    {24, 0, "Неисправность тензопреобразователя дозатора 1 РКО-1"},
    {24, 1, "Неисправность тензопреобразователя дозатора 4 РКО-1"},
    {24, 2, "Перегруз по весу в дозаторе 1 РКО-1"},
    {24, 3, "Перегруз по весу в дозаторе 4 РКО-1"},
    {24, 4, "Авария вибропитателя дозатора 1 РКО-1"},
    {24, 5, "Авария вибропитателя дозатора 4 РКО-1"},
    {24, 6, "Авария затвора дозатора 1 РКО-1"},
    {24, 7, "Авария затвора дозатора 4 РКО-1"},
    {25, 0, "Авария затвора тележки кольцевого хода РКО-1"},
    {25, 1, "Авария тележки кольцевого хода РКО-1"},
    {25, 2, "Авария напряжения сети РКО-1"},
    {25, 3, "Кастеризация дозаторов 1, 4 РКО-1"},
    {25, 4, "Нет связи с панелью оператора РКО-1"},
    {25, 5, "Заданные уставки ошибочны и не приняты РКО-1"},
    {25, 6, "Нет материала для дозаторов 1, 4 РКО-1"},
    {73, 0, "Неисправность тензопреобразователя дозатора 5 РТП-2"},
    {73, 1, "Неисправность тензопреобразователя дозатора 2 РТП-2"},
    {73, 2, "Неисправность тензопреобразователя дозатора 6 РТП-2"},
    {73, 3, "Неисправность тензопреобразователя дозатора 3 РТП-2"},
    {73, 4, "Перегруз по весу в дозаторе 5 РТП-2"},
    {73, 5, "Перегруз по весу в дозаторе 2 РТП-2"},
    {73, 6, "Перегруз по весу в дозаторе 6 РТП-2"},
    {73, 7, "Перегруз по весу в дозаторе 3 РТП-2"},
    {74, 0, "Авария вибропитателя дозатора 5 РТП-2"},
    {74, 1, "Авария вибропитателя дозатора 2 РТП-2"},
    {74, 2, "Авария вибропитателя дозатора 6 РТП-2"},
    {74, 3, "Авария вибропитателя дозатора 3 РТП-2"},
    {74, 4, "Авария затвора дозатора 5 РТП-2"},
    {74, 5, "Авария затвора дозатора 2 РТП-2"},
    {74, 6, "Авария затвора дозатора 6 РТП-2"},
    {74, 7, "Авария затвора дозатора 3 РТП-2"},
    {75, 0, "Авария затвора бункера сдозированной шихты РТП-2"},
    {75, 1, "Авария транспортера загрузочного РТП-2"},
    {75, 2, "Авария вибропитателя промежуточного бункера РТП-2"},
    {75, 3, "Авария затвора тележки кольцевого хода РТП-2"},
    {75, 4, "Авария тележки кольцевого хода РТП-2"},
    {75, 6, "Неисправность уровнемера бункера сдозированной шихты РТП-2"},
    {75, 7, "Неисправность уровнемера бункера промежуточного РТП-2"},
    {76, 2, "Авария напряжения сети РТП-2"},
    {76, 3, "Кастеризация дозаторов 2, 3, 5, 6 РТП-2"},
    {76, 4, "Нет связи с панелью оператора РТП-2"},
    {76, 5, "Заданные уставки ошибочны и не приняты РТП-2"},
    {76, 6, "Нет материала для дозаторов 2, 3, 5, 6 РТП-2"},
    {83, 0, "Авария механизма подъемника скипового"},
    {83, 1, "Авария транспортера сборного"},
    {83, 2, "Авария транспортера шихты"},
    {84, 2, "Авария напряжения сети"},
    {84, 5, "Нет связи с контроллером РКО-1"},
    {84, 6, "Нет связи с контроллером РТП-2"},
    {84, 7, "Останов"},
};

const int kStatus[] = {24, 25, 73, 74, 75, 76, 83, 84};

QString u(const char* s) {
    return QString::fromUtf8(s);
}

QString expectedClearing(const Expected& e) {
    if (e.byte == 76 && e.bit == 6)
        return u("УСТРАНЕНА Нет материала для дозаторов 2, 3, 5, 6, РТП-2");
    return u("УСТРАНЕНА ") + u(e.alarm);
}

ImageData image(std::initializer_list<std::pair<int, int>> bytes) {
    ImageData img;
    for (auto [k, v] : bytes)
        img.b[std::size_t(k)] = std::uint8_t(v);
    return img;
}

ImageData allStatus(int value) {
    ImageData img;
    for (int k : kStatus)
        img.b[std::size_t(k)] = std::uint8_t(value);
    return img;
}

class AlarmEvaluation : public ::testing::Test {
protected:
    std::vector<Message> run(const ImageData& img) { return run(img, texts); }
    std::vector<Message> run(const ImageData& img, const MainTexts& t) {
        std::vector<Message> out;
        eval.VerifyAlarms(img, t, [&](const QString& text, QRgb c) { out.push_back({text, c}); });
        return out;
    }
    Message red(const char* s) { return {u(s), colours::kRed}; }
    Message black(const char* s) { return {u(s), colours::kBlack}; }

    AlarmEvaluator eval;
    MainTexts texts = MainTexts::defaults();
};

TEST_F(AlarmEvaluation, EveryBitRaisesAndClearsItsOwnMessage) {
    for (const Expected& e : kTable) {
        SCOPED_TRACE(testing::Message() << "byte " << e.byte << " bit " << e.bit);
        eval.reset();
        EXPECT_TRUE(run(ImageData{}).empty());
        const ImageData set = image({{e.byte, 1 << e.bit}});
        EXPECT_EQ(run(set), (std::vector<Message>{{u(e.alarm), colours::kRed}}));
        EXPECT_TRUE(run(set).empty()) << "an unchanged bit reports again";
        EXPECT_EQ(run(ImageData{}), (std::vector<Message>{{expectedClearing(e), colours::kBlack}}));
        EXPECT_EQ(AlarmEvaluator::alarmMessage(e.byte, e.bit, texts), u(e.alarm));
    }
}

TEST_F(AlarmEvaluation, BitsOutsideTheTableNeverReport) {
    std::set<std::pair<int, int>> evaluated;
    for (const Expected& e : kTable)
        evaluated.insert({e.byte, e.bit});
    ASSERT_EQ(evaluated.size(), 50u);

    std::vector<std::pair<int, int>> quiet;
    for (int k : kStatus)
        for (int bit = 0; bit < 8; ++bit)
            if (!evaluated.count({k, bit}))
                quiet.push_back({k, bit});
    // The stop signals of both sections, the spare bits of 75, 76, 83 and 84.
    const std::vector<std::pair<int, int>> listed = {{25, 7}, {75, 5}, {76, 0}, {76, 1}, {76, 7},
                                                     {83, 3}, {83, 4}, {83, 5}, {83, 6}, {83, 7},
                                                     {84, 0}, {84, 1}, {84, 3}, {84, 4}};
    EXPECT_EQ(quiet, listed);

    for (auto [k, bit] : quiet) {
        SCOPED_TRACE(testing::Message() << "byte " << k << " bit " << bit);
        eval.reset();
        EXPECT_TRUE(run(image({{k, 1 << bit}})).empty()) << "first evaluation";
        EXPECT_TRUE(run(ImageData{}).empty()) << "clearing";
        EXPECT_TRUE(run(image({{k, 1 << bit}})).empty()) << "setting";
        EXPECT_FALSE(AlarmEvaluator::isEvaluated(k, bit));
    }
    // Non-status bytes are not looked at, however they change.
    eval.reset();
    ImageData noisy;
    for (int k = 0; k < ImageData::kSize; ++k)
        noisy.b[std::size_t(k)] = 0xFF;
    for (int k : kStatus)
        noisy.b[std::size_t(k)] = 0;
    EXPECT_TRUE(run(noisy).empty());
}

TEST_F(AlarmEvaluation, FirstAnswerReportsOnlySetBitsThenClearingFollows) {
    EXPECT_EQ(run(image({{24, 0x05}})),
              (std::vector<Message>{red("Неисправность тензопреобразователя дозатора 1 РКО-1"),
                                    red("Перегруз по весу в дозаторе 1 РКО-1")}));
    EXPECT_EQ(run(image({{24, 0x04}})),
              (std::vector<Message>{
                  black("УСТРАНЕНА Неисправность тензопреобразователя дозатора 1 РКО-1")}));
}

TEST_F(AlarmEvaluation, FirstRunRaisesEverySetBitInTableOrderAndNoClearing) {
    const std::vector<Message> all = run(allStatus(0xFF));
    ASSERT_EQ(all.size(), 50u);
    for (std::size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(all[i], (Message{u(kTable[i].alarm), colours::kRed})) << i;
    // The stop-signal bits set at start-up alone raise nothing.
    eval.reset();
    EXPECT_TRUE(run(image({{25, 0x80}, {76, 0x80}})).empty());
}

TEST_F(AlarmEvaluation, ChangesWithinOneByteGoBitZeroFirst) {
    run(image({{24, 0x01}}));
    EXPECT_EQ(run(image({{24, 0x02}})),
              (std::vector<Message>{
                  black("УСТРАНЕНА Неисправность тензопреобразователя дозатора 1 РКО-1"),
                  red("Неисправность тензопреобразователя дозатора 4 РКО-1")}));
    // Bytes in the order 24, 25, 73, 74, 75, 76, 83, 84 whatever their image positions.
    EXPECT_EQ(run(image({{84, 0x20}, {24, 0x02}, {25, 0x01}})),
              (std::vector<Message>{red("Авария затвора тележки кольцевого хода РКО-1"),
                                    red("Нет связи с контроллером РКО-1")}));
}

TEST_F(AlarmEvaluation, StopFormUsesTheStopPanelText) {
    run(ImageData{});
    EXPECT_EQ(run(image({{84, 0x80}})), (std::vector<Message>{red("Останов")}));
    EXPECT_EQ(run(ImageData{}), (std::vector<Message>{black("УСТРАНЕНА Останов")}));

    MainTexts t = texts;
    t.StopPanel = u("Stop");
    t.avrCancel = u("CLEARED");
    EXPECT_EQ(run(image({{84, 0x80}}), t), (std::vector<Message>{red("Stop")}));
    EXPECT_EQ(run(ImageData{}, t), (std::vector<Message>{black("CLEARED Stop")}));
}

TEST_F(AlarmEvaluation, NoMaterialOfSectionTwoClearsWithItsOwnText) {
    run(image({{76, 0x40}}));
    EXPECT_EQ(
        run(ImageData{}),
        (std::vector<Message>{black("УСТРАНЕНА Нет материала для дозаторов 2, 3, 5, 6, РТП-2")}));
    // Section 1's no-material clearing has no such comma.
    run(image({{25, 0x40}}));
    EXPECT_EQ(run(ImageData{}),
              (std::vector<Message>{black("УСТРАНЕНА Нет материала для дозаторов 1, 4 РКО-1")}));
}

TEST_F(AlarmEvaluation, TextsAreTakenWhenTheMessageIsBuilt) {
    run(image({{24, 0x80}, {76, 0x40}}));
    MainTexts en = texts;
    en.avrCancel = u("CLEARED");
    en.avrZatDoz = u("Gate fault of doser");
    en.avrNoMat = u("No material for dosers");
    en.lngRKO1 = u("S-1");
    en.lngRTP2 = u("S-2");
    EXPECT_EQ(run(ImageData{}, en),
              (std::vector<Message>{black("CLEARED Gate fault of doser 4 S-1"),
                                    black("CLEARED No material for dosers 2, 3, 5, 6, S-2")}));
    EXPECT_EQ(run(image({{75, 0x08}, {83, 0x01}}), en),
              (std::vector<Message>{red("Авария затвора тележки кольцевого хода S-2"),
                                    red("Авария механизма подъемника скипового")}));
    // An empty text leaves an empty piece.
    MainTexts blank = texts;
    blank.avrTenzo.clear();
    blank.lngRKO1.clear();
    EXPECT_EQ(run(image({{75, 0x08}, {83, 0x01}, {24, 0x01}}), blank),
              (std::vector<Message>{red(" 1 ")}));
}

TEST_F(AlarmEvaluation, ChangeAndChangeBackBetweenEvaluationsIsSilent) {
    run(ImageData{});
    // The link is lost while byte 83 bit 1 comes and goes: no evaluation sees it.
    EXPECT_TRUE(run(ImageData{}).empty());
    // A byte that changes only in bits that are not evaluated costs nothing either.
    EXPECT_TRUE(run(image({{25, 0x80}, {83, 0xF8}})).empty());
    EXPECT_EQ(run(image({{25, 0x81}})),
              (std::vector<Message>{red("Авария затвора тележки кольцевого хода РКО-1")}));
}

TEST_F(AlarmEvaluation, StateSurvivesLinkLossAndResetStartsOver) {
    run(image({{83, 0x02}}));
    // Answers missing for a while (no evaluation); the next good one compares with the last.
    EXPECT_EQ(run(ImageData{}),
              (std::vector<Message>{black("УСТРАНЕНА Авария транспортера сборного")}));
    run(image({{83, 0x02}}));
    eval.reset();
    EXPECT_FALSE(eval.evaluatedOnce());
    // After start-up a set bit is reported again, a cleared one is not reported at all.
    EXPECT_EQ(run(image({{83, 0x04}})), (std::vector<Message>{red("Авария транспортера шихты")}));
    EXPECT_TRUE(eval.evaluatedOnce());
    EXPECT_EQ(eval.previous(6), 0x04);
}

TEST_F(AlarmEvaluation, FiftyAlarmsInOneAnswerKeepThirtyLinesAndFiftyJournalRecords) {
    EventList list(nullptr, QLocale(QLocale::Russian, QLocale::Russia));
    std::vector<std::pair<QString, int>> journal;
    const QDateTime now(QDate(2013, 3, 25), QTime(14, 5, 9));
    auto memo = [&](const QString& text, QRgb colour) {
        list.add(text, colour, now);
        journal.push_back({text, EventList::journalCode(colour)});
    };
    eval.VerifyAlarms(ImageData{}, texts, memo);
    eval.VerifyAlarms(allStatus(0xFF), texts, memo);

    ASSERT_EQ(journal.size(), 50u);
    for (std::size_t i = 0; i < journal.size(); ++i) {
        EXPECT_EQ(journal[i].first, u(kTable[i].alarm));
        EXPECT_EQ(journal[i].second, 1);
    }
    ASSERT_EQ(list.size(), 30);
    // The last bit in reporting order stands highest; the 21st message is the oldest kept.
    EXPECT_EQ(list.at(0).text, u("25.03.2013  14:05:09  Останов"));
    EXPECT_EQ(list.at(29).text, u("25.03.2013  14:05:09  ") + u(kTable[20].alarm));
    for (int i = 0; i < list.size(); ++i)
        EXPECT_TRUE(list.at(i).alarm);
}

} // namespace

#include "StationReports.h"

#include "Language.h"
#include "MainTexts.h"

namespace views {

using namespace report;

ProtocolTexts ProtocolTexts::load(const QString& langFilePath) {
    const LangSection s(langFilePath, QStringLiteral("Protocol"));
    ProtocolTexts t;
    t.ProtocolForm = s.text("ProtocolForm", QStringLiteral("Протокол дозирования"));
    t.labName = s.text("labName", QStringLiteral("Протокол дозирования за"));
    t.btnClose = s.text("btnClose", QStringLiteral("Закрыть"));
    t.btnPrint = s.text("btnPrint", QStringLiteral("Печать протокола"));
    t.btnOpen = s.text("btnOpen", QStringLiteral("Открыть протокол"));
    t.rbAll = s.text("rbAll", QStringLiteral("Показать все записи за сутки"));
    t.rbWith = s.text("rbWith", QStringLiteral("Показать с"));
    t.rbTo = s.text("rbTo", QStringLiteral("до"));
    t.colTime = s.text("colTime", QStringLiteral("Время"));
    t.colDate = s.text("colDate", QStringLiteral("Дата"));
    t.colDozator = s.text("colDozator", QStringLiteral("Дозатор"));
    t.colKodMat = s.text("colKodMat", QStringLiteral("Код материала"));
    t.colSkorZad = s.text("colSkorZad", QStringLiteral("Задание, кг"));
    t.colVes = s.text("colVes", QStringLiteral("Вес выгруженного материала, кг"));
    t.colRegim = s.text("colRegim", QStringLiteral("Режим работы"));
    t.lngNotChose = s.text("lngNotChose", QStringLiteral("Протокол дозирования не выбран"));
    return t;
}

JurnalTexts JurnalTexts::load(const QString& langFilePath) {
    const LangSection s(langFilePath, QStringLiteral("Jurnal"));
    JurnalTexts t;
    t.JurnalForm = s.text("JurnalForm", QStringLiteral("Журнал работы"));
    t.labName = s.text("labName", QStringLiteral("Журнал работы за"));
    t.btnClose = s.text("btnClose", QStringLiteral("Закрыть"));
    t.btnPrint = s.text("btnPrint", QStringLiteral("Печать"));
    t.colTime = s.text("colTime", QStringLiteral("Время"));
    t.colDate = s.text("colDate", QStringLiteral("Дата"));
    t.colEvent = s.text("colEvent", QStringLiteral("Событие"));
    t.lngNotChose = s.text("lngNotChose", QStringLiteral("Журнал работы не выбран"));
    return t;
}

RapDlgTexts RapDlgTexts::load(const QString& langFilePath) {
    const LangSection s(langFilePath, QStringLiteral("RapDlg"));
    RapDlgTexts t;
    t.RapDlgForm = s.text("RapDlgForm", QStringLiteral("Печать рапорта"));
    t.btnOK = s.text("btnOK", QStringLiteral("Продолжить"));
    t.btnCancel = s.text("btnCancel", QStringLiteral("Отменить"));
    t.btnOpen = s.text("btnOpen", QStringLiteral("Открыть сохраненный рапорт"));
    t.labData = s.text("labData", QStringLiteral("Дата:"));
    t.labSmena = s.text("labSmena", QStringLiteral("Смена:"));
    return t;
}

QString absentMessage(const QString& title, const QString& dateText, const MainTexts& main) {
    return title + QLatin1Char(' ') + dateText + QLatin1Char(' ') + main.lngAbsent;
}

namespace {

const QColor kHeading(0xE4, 0xE4, 0xE4);
const QColor kFooter(0xC0, 0xC0, 0xC0);

Font arial(double size, bool bold = false, bool italic = false) {
    return Font{QStringLiteral("Arial"), size, bold, italic};
}
Font bookman() {
    return Font{QStringLiteral("Bookman Old Style"), 12, false, false};
}

Memo cell(double x, double y, double w, double h, const QString& text, const Font& font,
          HAlign ha = HAlign::Left, VAlign va = VAlign::Top) {
    Memo m;
    m.rect = QRectF(x, y, w, h);
    m.text = text;
    m.font = font;
    m.hAlign = ha;
    m.vAlign = va;
    return m;
}

Memo heading(double x, double w, double h, const QString& text) {
    Memo m = cell(x, 0, w, h, text, arial(10), HAlign::Center, VAlign::Center);
    m.frames = FrameAll;
    m.fill = kHeading;
    return m;
}

Band title(double height) {
    Band b{BandKind::ReportTitle, height, {}, {}};
    b.memos.push_back(cell(22, 0, 710, height, QStringLiteral("[repName]"), arial(12, true, true),
                           HAlign::Center, VAlign::Center));
    return b;
}

Band pageFooter(double from, double to) {
    Band b{BandKind::PageFooter, 14, {}, {}};
    Memo back = cell(0, 0, 757, 14, QString(), arial(8));
    back.fill = kFooter;
    b.memos.push_back(back);
    Memo name = cell(from, 0, to - from, 14, QStringLiteral("[repName]"), arial(8), HAlign::Right,
                     VAlign::Center);
    name.fill = Qt::white;
    b.memos.push_back(name);
    return b;
}

Memo sumOf(double x, double y, const QStringList& modes) {
    Memo m = cell(x, y, 132, 24, QString(), bookman(), HAlign::Right);
    m.aggregate.func = Aggregate::Sum;
    m.aggregate.field = QStringLiteral("VES");
    if (!modes.isEmpty()) {
        m.aggregate.condField = QStringLiteral("REG_DOZ");
        m.aggregate.condValues = modes;
    }
    return m;
}

} // namespace

Template protocolTemplate() {
    Template t;
    t.bands.push_back(title(66));
    Band head{BandKind::PageHeader, 42, {}, {}};
    const struct {
        double x, w;
        const char* var;
    } heads[] = {{24, 72, "[repTime]"},  {96, 72, "[repDate]"},   {168, 64, "[repDztr]"},
                 {232, 80, "[repKodm]"}, {312, 128, "[repSkor]"}, {440, 140, "[repVVes]"},
                 {580, 140, "[repRegm]"}};
    for (const auto& h : heads)
        head.memos.push_back(heading(h.x, h.w, 38, QString::fromLatin1(h.var)));
    t.bands.push_back(head);
    Band data{BandKind::MasterData, 18, {}, {}};
    const struct {
        double x, w;
        const char* field;
        HAlign align;
    } cols[] = {{28, 64, "[TIME]", HAlign::Left},        {100, 64, "[DAT]", HAlign::Left},
                {184, 44, "[DOZATOR]", HAlign::Left},    {248, 56, "[COD_MAT]", HAlign::Left},
                {324, 100, "[SKOR_ZAD]", HAlign::Right}, {452, 112, "[VES]", HAlign::Right},
                {588, 128, "[REG_DOZ]", HAlign::Left}};
    for (const auto& c : cols)
        data.memos.push_back(
            cell(c.x, 0, c.w, 18, QString::fromLatin1(c.field), arial(10), c.align, VAlign::Top));
    t.bands.push_back(data);
    t.bands.push_back(pageFooter(324, 732));
    return t;
}

Template journalTemplate() {
    Template t;
    t.bands.push_back(title(66));
    Band head{BandKind::PageHeader, 34, {}, {}};
    head.memos.push_back(heading(24, 100, 26, QStringLiteral("[repTime]")));
    head.memos.push_back(heading(124, 100, 26, QStringLiteral("[repDate]")));
    head.memos.push_back(heading(224, 504, 26, QStringLiteral("[repEvnt]")));
    t.bands.push_back(head);
    // The printout carries no colouring: every record is printed alike.
    Band data{BandKind::MasterData, 18, {}, {}};
    data.memos.push_back(cell(32, 0, 88, 18, QStringLiteral("[TIME]"), arial(10)));
    data.memos.push_back(cell(132, 0, 88, 18, QStringLiteral("[DAT]"), arial(10)));
    data.memos.push_back(cell(228, 0, 496, 18, QStringLiteral("[REC_STR]"), arial(10)));
    t.bands.push_back(data);
    t.bands.push_back(pageFooter(324, 732));
    return t;
}

Template shiftTemplate() {
    Template t;
    Band top{BandKind::ReportTitle, 82, {}, {}};
    top.memos.push_back(cell(22, 0, 710, 26, QStringLiteral("[repName]"), arial(12, true, true),
                             HAlign::Center, VAlign::Center));
    top.memos.push_back(cell(24, 26, 706, 22, QStringLiteral("[repPeriod]"), arial(10),
                             HAlign::Center, VAlign::Center));
    t.bands.push_back(top);
    Band head{BandKind::PageHeader, 42, {}, {}};
    head.memos.push_back(heading(24, 188, 38, QStringLiteral("[repKodm]")));
    head.memos.push_back(heading(212, 196, 38, QStringLiteral("[repRegm]")));
    head.memos.push_back(heading(408, 160, 38, QStringLiteral("[repVVes]")));
    head.memos.push_back(heading(564, 160, 38, QStringLiteral("[repKalosh]")));
    t.bands.push_back(head);
    // Groups by material code; header and data bands print nothing and only feed the sums.
    t.bands.push_back(Band{BandKind::GroupHeader, 0, {}, QStringLiteral("COD_MAT")});
    t.bands.push_back(Band{BandKind::MasterData, 0, {}, {}});
    Band foot{BandKind::GroupFooter, 74, {}, {}};
    foot.memos.push_back(
        cell(24, 0, 64, 24, QStringLiteral("[COD_MAT]"), bookman(), HAlign::Right));
    foot.memos.push_back(cell(216, 0, 184, 24, QStringLiteral("[repAuto]"), bookman()));
    foot.memos.push_back(sumOf(424, 0, {QStringLiteral("Automatik")}));
    foot.memos.push_back(cell(216, 24, 184, 24, QStringLiteral("[repHand]"), bookman()));
    foot.memos.push_back(sumOf(424, 24, {QStringLiteral("Manual")}));
    foot.memos.push_back(cell(216, 48, 184, 24, QStringLiteral("[repAll]"), bookman()));
    foot.memos.push_back(sumOf(424, 48, {}));
    t.bands.push_back(foot);
    Band summary{BandKind::ReportSummary, 22, {}, {}};
    Memo count = cell(576, 0, 132, 22, QString(), bookman(), HAlign::Right);
    // Each record of an ore material is one charge.
    count.aggregate.func = Aggregate::Count;
    count.aggregate.condField = QStringLiteral("COD_MAT");
    count.aggregate.condValues = {QStringLiteral("02"), QStringLiteral("03"), QStringLiteral("04"),
                                  QStringLiteral("07")};
    summary.memos.push_back(count);
    t.bands.push_back(summary);
    t.bands.push_back(pageFooter(328, 736));
    return t;
}

Variables protocolVariables(const QString& title, const QString& dateText,
                            const QStringList& columnTitles) {
    Variables v;
    v.insert(QStringLiteral("repName"), title + QLatin1Char(' ') + dateText);
    const char* names[] = {"repTime", "repDate", "repDztr", "repKodm",
                           "repSkor", "repVVes", "repRegm"};
    for (int i = 0; i < 7; ++i)
        v.insert(QString::fromLatin1(names[i]), columnTitles.value(i));
    return v;
}

Variables journalVariables(const QString& title, const QString& dateText,
                           const QStringList& columnTitles) {
    Variables v;
    v.insert(QStringLiteral("repName"), title + QLatin1Char(' ') + dateText);
    v.insert(QStringLiteral("repTime"), columnTitles.value(0));
    v.insert(QStringLiteral("repDate"), columnTitles.value(1));
    v.insert(QStringLiteral("repEvnt"), columnTitles.value(2));
    return v;
}

QString shiftText(const MainTexts& main, int shift) {
    switch (shift) {
    case 0:
        return main.lngSmena1;
    case 1:
        return main.lngSmena2;
    default:
        return main.lngSmena3;
    }
}

Variables shiftVariables(const MainTexts& main, const QString& dateText, int shift) {
    Variables v;
    v.insert(QStringLiteral("repName"), main.lngRapName + QLatin1Char(' ') + dateText);
    v.insert(QStringLiteral("repPeriod"), shiftText(main, shift));
    v.insert(QStringLiteral("repKodm"), main.lngRapKodm);
    v.insert(QStringLiteral("repRegm"), main.lngRapRegm);
    v.insert(QStringLiteral("repVVes"), main.lngRapVVes);
    v.insert(QStringLiteral("repKalosh"), main.lngRapKalosh);
    v.insert(QStringLiteral("repAuto"), main.lngRegDozAuto);
    v.insert(QStringLiteral("repHand"), main.lngRegDozHand);
    v.insert(QStringLiteral("repAll"), main.lngRegDozAll);
    return v;
}

} // namespace views

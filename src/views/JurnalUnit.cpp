#include "JurnalUnit.h"

#include "CalendarDateEdit.h"
#include "Colours.h"
#include "DailyTables.h"
#include "DayTables.h"
#include "MainTexts.h"
#include "PreviewUnit.h"
#include "RecordTableModel.h"
#include "ViewGrid.h"
#include "ViewHooks.h"
#include "ViewWidgets.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

TJurnalForm::TJurnalForm(const QString& workDir, const QString& langFilePath, QWidget* parent)
    : QWidget(parent), workDir_(workDir) {
    setObjectName(QStringLiteral("JurnalForm"));
    setAttribute(Qt::WA_DeleteOnClose);

    btnPrint = new QPushButton(this);
    btnPrint->setObjectName(QStringLiteral("btnPrint"));
    btnClose = new QPushButton(this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    const views::DayStrip day =
        views::makeDayStrip(this, QColor(0x00, 0x80, 0xC0), {btnPrint, btnClose});
    QWidget* top = day.widget;
    labName = day.labName;
    DateEdit1 = day.DateEdit1;

    DBGrid = new ViewGrid(QColor(0xB3, 0xE7, 0xFF), this);
    DBGrid->setFittedColumns({0, 1}); // time and date
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(top);
    column->addWidget(DBGrid, 1);

    connect(DateEdit1, &CalendarDateEdit::dateAccepted, this, &TJurnalForm::DateEdit1AcceptDate);
    connect(btnPrint, &QPushButton::clicked, this, &TJurnalForm::btnPrintClick);
    connect(btnClose, &QPushButton::clicked, this, &TJurnalForm::btnCloseClick);
    LoadLanguage(langFilePath);
}

void TJurnalForm::LoadLanguage(const QString& langFilePath) {
    texts_ = views::JurnalTexts::load(langFilePath);
    setWindowTitle(texts_.JurnalForm);
    labName->setText(texts_.labName);
    btnClose->setText(texts_.btnClose);
    btnPrint->setText(texts_.btnPrint);
    report::MemTable kept = JurDS ? JurDS->records() : report::MemTable();
    delete JurDS;
    JurDS = new RecordTableModel({{QStringLiteral("TIME"), texts_.colTime, Qt::AlignHCenter},
                                  {QStringLiteral("DAT"), texts_.colDate, Qt::AlignHCenter},
                                  {QStringLiteral("REC_STR"), texts_.colEvent, Qt::AlignLeft}},
                                 this);
    JurDS->setRowColour(&TJurnalForm::rowColour);
    JurDS->setRecords(std::move(kept));
    DBGrid->setModel(JurDS);
}

QColor TJurnalForm::rowColour(const report::MemTable& records, int row) {
    const QString code = records.value(row, QStringLiteral("CODZ")).trimmed();
    if (code == QLatin1String("1"))
        return QColor(colours::kRed);
    if (code == QLatin1String("2"))
        return QColor(colours::kBlue);
    return {};
}

void TJurnalForm::DateEdit1AcceptDate(const QDate& date) {
    const QString path = daily::fileName(workDir_, daily::kJournal, date);
    open_ = false;
    JurDS->clear();
    shownDate_ = date;
    const auto main = MainTextStore::get();
    if (!QFileInfo(path).isFile()) {
        hooks.message(this, main->lngError,
                      views::absentMessage(labName->text(), views::dateText(date), *main));
        return;
    }
    QString error;
    report::MemTable table;
    if (!views::readJournal(path, &table, &error)) {
        hooks.message(this, main->lngError, error);
        return;
    }
    JurDS->setRecords(std::move(table));
    open_ = true;
}

report::PreparedReport TJurnalForm::buildReport() const {
    const report::Variables vars =
        views::journalVariables(labName->text(), views::dateText(shownDate_), JurDS->titles());
    return report::build(views::journalTemplate(), open_ ? JurDS->records() : report::MemTable(),
                         vars);
}

void TJurnalForm::btnPrintClick() {
    const auto main = MainTextStore::get();
    if (!open_) {
        hooks.message(this, main->lngError, texts_.lngNotChose);
        return;
    }
    TPreviewForm preview(this);
    preview.hooks = hooks;
    preview.setWindowTitle(main->lngPreview);
    preview.setReport(buildReport());
    hooks.showPreview(&preview);
    DBGrid->scrollToTop();
    if (JurDS->rowCount() > 0)
        DBGrid->selectRow(0);
}

void TJurnalForm::btnCloseClick() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

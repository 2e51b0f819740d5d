#include "ProtocolUnit.h"

#include "CalendarDateEdit.h"
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
#include <QRadioButton>
#include <QVBoxLayout>

TProtocolForm::TProtocolForm(const QString& workDir, const QString& langFilePath, QWidget* parent)
    : QWidget(parent), workDir_(workDir) {
    setObjectName(QStringLiteral("ProtocolForm"));
    setAttribute(Qt::WA_DeleteOnClose);

    btnClose = new QPushButton(this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    const views::DayStrip day = views::makeDayStrip(this, QColor(0x00, 0x80, 0x40), {btnClose});
    QWidget* top = day.widget;
    labName = day.labName;
    DateEdit1 = day.DateEdit1;

    auto* strip = new QWidget(this);
    strip->setFixedHeight(42);
    rbAll = new QRadioButton(strip);
    rbAll->setObjectName(QStringLiteral("rbAll"));
    rbWith = new QRadioButton(strip);
    rbWith->setObjectName(QStringLiteral("rbWith"));
    rbTo = new QLabel(strip);
    rbTo->setObjectName(QStringLiteral("rbTo"));
    Spin1 = new views::ButtonSpinBox(0, 23, 0, strip);
    Spin1->setObjectName(QStringLiteral("Spin1"));
    Spin2 = new views::ButtonSpinBox(0, 59, 0, strip);
    Spin2->setObjectName(QStringLiteral("Spin2"));
    Spin3 = new views::ButtonSpinBox(0, 24, 24, strip);
    Spin3->setObjectName(QStringLiteral("Spin3"));
    Spin4 = new views::ButtonSpinBox(0, 59, 0, strip);
    Spin4->setObjectName(QStringLiteral("Spin4"));
    btnPrint = new QPushButton(strip);
    btnPrint->setObjectName(QStringLiteral("btnPrint"));
    btnOpen = new QPushButton(strip);
    btnOpen->setObjectName(QStringLiteral("btnOpen"));
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(6, 2, 6, 2);
    row->addWidget(rbAll);
    row->addSpacing(16);
    row->addWidget(rbWith);
    row->addWidget(Spin1);
    row->addWidget(new QLabel(QStringLiteral(":"), strip));
    row->addWidget(Spin2);
    row->addWidget(rbTo);
    row->addWidget(Spin3);
    row->addWidget(new QLabel(QStringLiteral(":"), strip));
    row->addWidget(Spin4);
    row->addStretch(1);
    row->addWidget(btnPrint);
    row->addWidget(btnOpen);
    rbAll->setChecked(true);
    for (QSpinBox* s : {Spin1, Spin2, Spin3, Spin4})
        s->setEnabled(false);

    DBGrid = new ViewGrid(QColor(0xD7, 0xFF, 0xD7), this);
    DBGrid->setFittedColumns({0, 1}); // time and date

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(top);
    column->addWidget(strip);
    column->addWidget(DBGrid, 1);

    connect(DateEdit1, &QDateEdit::dateChanged, this, &TProtocolForm::DateEdit1Change);
    connect(rbAll, &QRadioButton::clicked, this, &TProtocolForm::rbAllClick);
    connect(rbWith, &QRadioButton::clicked, this, &TProtocolForm::rbWithClick);
    connect(Spin1, &QSpinBox::valueChanged, this, &TProtocolForm::Spin1Change);
    connect(Spin2, &QSpinBox::valueChanged, this, &TProtocolForm::Spin2Change);
    connect(Spin3, &QSpinBox::valueChanged, this, &TProtocolForm::Spin3Change);
    connect(Spin4, &QSpinBox::valueChanged, this, &TProtocolForm::Spin4Change);
    connect(btnPrint, &QPushButton::clicked, this, &TProtocolForm::btnPrintClick);
    connect(btnOpen, &QPushButton::clicked, this, &TProtocolForm::btnOpenClick);
    connect(btnClose, &QPushButton::clicked, this, &TProtocolForm::btnCloseClick);

    // FormCreate: the whole day, then the texts.
    window_ = TimeWindow::wholeDay();
    LoadLanguage(langFilePath);
}

void TProtocolForm::LoadLanguage(const QString& langFilePath) {
    texts_ = views::ProtocolTexts::load(langFilePath);
    setWindowTitle(texts_.ProtocolForm);
    labName->setText(texts_.labName);
    btnClose->setText(texts_.btnClose);
    btnPrint->setText(texts_.btnPrint);
    btnOpen->setText(texts_.btnOpen);
    rbAll->setText(texts_.rbAll);
    rbWith->setText(texts_.rbWith);
    rbTo->setText(texts_.rbTo);
    delete ViewDS;
    ViewDS = new RecordTableModel({{QStringLiteral("TIME"), texts_.colTime, Qt::AlignHCenter},
                                   {QStringLiteral("DAT"), texts_.colDate, Qt::AlignHCenter},
                                   {QStringLiteral("DOZATOR"), texts_.colDozator, Qt::AlignLeft},
                                   {QStringLiteral("COD_MAT"), texts_.colKodMat, Qt::AlignLeft},
                                   {QStringLiteral("SKOR_ZAD"), texts_.colSkorZad, Qt::AlignLeft},
                                   {QStringLiteral("VES"), texts_.colVes, Qt::AlignLeft},
                                   {QStringLiteral("REG_DOZ"), texts_.colRegim, Qt::AlignLeft}},
                                  this);
    DBGrid->setModel(ViewDS);
    refilter();
}

report::MemTable TProtocolForm::shownRecords() const {
    if (!open_)
        return {};
    return filterOn_ ? views::filtered(day_, window_) : day_;
}

void TProtocolForm::refilter() {
    if (ViewDS)
        ViewDS->setRecords(shownRecords());
}

void TProtocolForm::closeTable() {
    open_ = false;
    day_ = {};
    refilter();
}

void TProtocolForm::DateEdit1Change() {
    if (DateEdit1->isBlank())
        return;
    const QDate date = DateEdit1->date();
    const QString path = daily::fileName(workDir_, daily::kDosing, date);
    closeTable();
    const auto main = MainTextStore::get();
    if (!QFileInfo(path).isFile()) {
        hooks.message(this, main->lngError,
                      views::absentMessage(labName->text(), views::dateText(date), *main));
        return;
    }
    QString error;
    report::MemTable table;
    if (!views::readDosing(path, &table, &error)) {
        hooks.message(this, main->lngError, error);
        return;
    }
    day_ = std::move(table);
    open_ = true;
    refilter();
}

void TProtocolForm::rbAllClick() {
    rbAll->setChecked(true);
    filterOn_ = false;
    for (QSpinBox* s : {Spin1, Spin2, Spin3, Spin4})
        s->setEnabled(false);
    refilter();
}

void TProtocolForm::rbWithClick() {
    rbWith->setChecked(true);
    filterOn_ = true;
    for (QSpinBox* s : {Spin1, Spin2, Spin3, Spin4})
        s->setEnabled(true);
    refilter();
}

void TProtocolForm::Spin1Change() {
    window_.fromHour = Spin1->value();
    refilter();
}

void TProtocolForm::Spin2Change() {
    window_.fromMinute = Spin2->value();
    refilter();
}

void TProtocolForm::Spin3Change() {
    window_.setEnd(Spin3->value(), Spin4->value());
    refilter();
}

void TProtocolForm::Spin4Change() {
    Spin3Change();
}

report::PreparedReport TProtocolForm::buildReport() const {
    const report::Variables vars =
        views::protocolVariables(labName->text(), DateEdit1->text(), ViewDS->titles());
    return report::build(views::protocolTemplate(), shownRecords(), vars);
}

void TProtocolForm::btnPrintClick() {
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
    if (ViewDS->rowCount() > 0)
        DBGrid->selectRow(0);
}

void TProtocolForm::btnOpenClick() {
    TPreviewForm preview(this);
    preview.hooks = hooks;
    preview.setWindowTitle(MainTextStore::get()->lngPreview);
    preview.setReport(report::PreparedReport::blank());
    hooks.showPreview(&preview);
}

void TProtocolForm::btnCloseClick() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

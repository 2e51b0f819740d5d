#include "RapDlgUnit.h"

#include "CalendarDateEdit.h"
#include "DayTables.h"
#include "MainTexts.h"
#include "PreviewUnit.h"
#include "StationReports.h"
#include "ViewHooks.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TRapDlgForm::TRapDlgForm(const QString& langFilePath, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RapDlgForm"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(268, 173);

    labName = new QLabel(this);
    labName->setObjectName(QStringLiteral("labName"));
    labData = new QLabel(this);
    labData->setObjectName(QStringLiteral("labData"));
    DateEdit1 = new CalendarDateEdit(this);
    DateEdit1->setObjectName(QStringLiteral("DateEdit1"));
    DateEdit1->setFixedWidth(153);
    QFont bold = DateEdit1->font();
    bold.setBold(true);
    bold.setPixelSize(13);
    DateEdit1->setFont(bold);
    labSmena = new QLabel(this);
    labSmena->setObjectName(QStringLiteral("labSmena"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setFixedWidth(153);
    ComboBox1->setMaxVisibleItems(3);
    btnOpen = new QPushButton(this);
    btnOpen->setObjectName(QStringLiteral("btnOpen"));
    btnOpen->setFixedWidth(221);
    btnOK = new QPushButton(this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto* grid = new QGridLayout;
    grid->addWidget(labData, 0, 0);
    grid->addWidget(DateEdit1, 0, 1);
    grid->addWidget(labSmena, 1, 0);
    grid->addWidget(ComboBox1, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    buttons->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, 6, 12, 8);
    column->setSpacing(4);
    column->addWidget(labName, 0, Qt::AlignHCenter);
    column->addLayout(grid);
    column->addWidget(btnOpen, 0, Qt::AlignHCenter);
    column->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject); // Escape also cancels
    connect(btnOpen, &QPushButton::clicked, this, &TRapDlgForm::btnOpenClick);

    LoadLanguage(langFilePath);
    const auto main = MainTextStore::get();
    labName->setText(main->lngRapName);
    DateEdit1->setDate(QDate::currentDate());
    ComboBox1->addItems({main->lngSmena1, main->lngSmena2, main->lngSmena3});
    ComboBox1->setCurrentIndex(0);
    btnOK->setFocus();
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TRapDlgForm::LoadLanguage(const QString& langFilePath) {
    const views::RapDlgTexts t = views::RapDlgTexts::load(langFilePath);
    setWindowTitle(t.RapDlgForm);
    btnOK->setText(t.btnOK);
    btnCancel->setText(t.btnCancel);
    btnOpen->setText(t.btnOpen);
    labData->setText(t.labData);
    labSmena->setText(t.labSmena);
}

void TRapDlgForm::btnOpenClick() {
    {
        TPreviewForm preview(this);
        preview.hooks = hooks;
        preview.setWindowTitle(MainTextStore::get()->lngPreview);
        preview.setReport(report::PreparedReport::blank());
        hooks.showPreview(&preview);
    }
    reject();
}

void runShiftReport(const QString& workDir, const QString& langFilePath, QWidget* parent,
                    const ViewHooks& hooks) {
    TRapDlgForm dialog(langFilePath, parent);
    dialog.hooks = hooks;
    if (hooks.runDialog(&dialog) != QDialog::Accepted)
        return;
    const QDate date = dialog.DateEdit1->date();
    const int shift = dialog.ComboBox1->currentIndex();
    const auto main = MainTextStore::get();
    report::MemTable records;
    QString error;
    switch (views::collectShift(workDir, date, shift, &records, &error)) {
    case views::ShiftResult::MissingDay:
        hooks.message(parent, main->lngError,
                      views::absentMessage(main->lngRapName, views::dateText(date), *main));
        return;
    case views::ShiftResult::ReadError:
        hooks.message(parent, main->lngError, error);
        return;
    case views::ShiftResult::Ok:
        break;
    }
    TPreviewForm preview(parent);
    preview.hooks = hooks;
    preview.setWindowTitle(main->lngPreview);
    preview.setReport(report::build(views::shiftTemplate(), records,
                                    views::shiftVariables(*main, dialog.DateEdit1->text(), shift)));
    hooks.showPreview(&preview);
}

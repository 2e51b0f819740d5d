#include "HistoryUnit.h"

#include "DateText.h"

#include "CalendarDateEdit.h"
#include "DailyTables.h"
#include "HistoryChart.h"
#include "HistoryDay.h"
#include "HistoryPrint.h"
#include "HistoryRules.h"
#include "MainTexts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kDosers = 6;

QFont pixelFont(int pixels, bool bold) {
    QFont f;
    // Sizes beyond the 13-pixel strike of "MS Sans Serif" in the scalable design face.
    if (pixels > 13)
        f.setFamily(QStringLiteral("Tahoma"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QLabel* titleLabel(const char* name, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setFont(pixelFont(19, true));
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, QColor(0x48, 0x48, 0xFF));
    l->setPalette(p);
    return l;
}

QLabel* readoutLabel(const char* name, const QColor& colour, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setFont(pixelFont(16, true));
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    return l;
}

QPushButton* button(const char* name, QWidget* parent) {
    auto* b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    return b;
}
} // namespace

THistoryForm::THistoryForm(const QString& workDir, const QString& langFilePath, QWidget* parent,
                           DeskFactory deskFactory)
    : QWidget(parent), workDir_(workDir), deskFactory_(std::move(deskFactory)) {
    setObjectName(QStringLiteral("HistoryForm"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* top = new QWidget(this);
    top->setFixedHeight(33);
    labName = titleLabel("labName", top);
    DateEdit1 = new CalendarDateEdit(top);
    DateEdit1->setObjectName(QStringLiteral("DateEdit1"));
    labDozator = titleLabel("labDozator", top);
    ComboBox1 = new QComboBox(top);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setMaxVisibleItems(16);
    ComboBox1->setMinimumContentsLength(12);
    btnPrint = button("btnPrint", top);
    btnClose = button("btnClose", top);
    auto* topRow = new QHBoxLayout(top);
    topRow->setContentsMargins(6, 2, 6, 2);
    topRow->addWidget(labName);
    topRow->addWidget(DateEdit1);
    topRow->addSpacing(16);
    topRow->addWidget(labDozator);
    topRow->addWidget(ComboBox1);
    topRow->addStretch(1);
    topRow->addWidget(btnPrint);
    topRow->addWidget(btnClose);

    // The chart in a sunken bevel.
    auto* bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bevel->setLineWidth(1);
    DBChart1 = new HistoryChart(bevel);
    auto* bevelLayout = new QVBoxLayout(bevel);
    bevelLayout->setContentsMargins(1, 1, 1, 1);
    bevelLayout->addWidget(DBChart1);

    auto* bottom = new QWidget(this);
    bottom->setFixedHeight(38);
    btnZoomIn = button("btnZoomIn", bottom);
    btnZoomOut = button("btnZoomOut", bottom);
    btnReset = button("btnReset", bottom);
    labTime = readoutLabel("labTime", QColor(0, 0, 0), bottom);
    labVes = readoutLabel("labVes", QColor(0, 0, 0xFF), bottom);
    auto* bottomRow = new QHBoxLayout(bottom);
    bottomRow->setContentsMargins(6, 4, 6, 4);
    bottomRow->addWidget(btnZoomIn);
    bottomRow->addWidget(btnZoomOut);
    bottomRow->addWidget(btnReset);
    bottomRow->addSpacing(24);
    bottomRow->addWidget(labTime);
    bottomRow->addSpacing(24);
    bottomRow->addWidget(labVes);
    bottomRow->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(bevel, 1);
    layout->addWidget(bottom);

    // FormCreate: texts, the doser list with no doser chosen, today's date.
    LoadLanguage(langFilePath);
    for (int n = 1; n <= kDosers; ++n)
        ComboBox1->addItem(history::doserItemText(texts_.lngDozator, n));
    ComboBox1->setCurrentIndex(-1);
    DateEdit1->setDate(QDate::currentDate());

    connect(DateEdit1, &QDateEdit::dateChanged, this, &THistoryForm::DateEdit1Change);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &THistoryForm::DateEdit1Change);
    connect(btnZoomIn, &QPushButton::clicked, this, &THistoryForm::btnZoomInClick);
    connect(btnZoomOut, &QPushButton::clicked, this, &THistoryForm::btnZoomOutClick);
    connect(btnReset, &QPushButton::clicked, this, &THistoryForm::btnResetClick);
    connect(btnPrint, &QPushButton::clicked, this, &THistoryForm::btnPrintClick);
    connect(btnClose, &QPushButton::clicked, this, &THistoryForm::btnCloseClick);
    connect(DBChart1, &QCustomPlot::mouseMove, this, &THistoryForm::DBChart1MouseMove);
}

THistoryForm::~THistoryForm() = default;

void THistoryForm::LoadLanguage(const QString& langFilePath) {
    texts_ = HistoryTexts::load(langFilePath);
    setWindowTitle(texts_.HistoryForm);
    labName->setText(texts_.labName);
    btnClose->setText(texts_.btnClose);
    labDozator->setText(texts_.lngDozator);
    btnPrint->setText(texts_.btnPrint);
    btnZoomIn->setText(texts_.btnZoomIn);
    btnZoomOut->setText(texts_.btnZoomOut);
    btnReset->setText(texts_.btnReset);
    for (int i = 0; i < ComboBox1->count(); ++i)
        ComboBox1->setItemText(i, history::doserItemText(texts_.lngDozator, i + 1));
    DBChart1->setTexts(texts_);
    labTime->setText(history::startTimeReadout(texts_));
    labVes->setText(history::startWeightReadout(texts_));
}

void THistoryForm::DateEdit1Change() {
    const int index = ComboBox1->currentIndex();
    if (index < 0 || ComboBox1->currentText().isEmpty())
        return;
    const int doser = index + 1;
    const QDate date = DateEdit1->date();
    const QString path = daily::fileName(workDir_, daily::kArchive, date);

    DBChart1->clearDay();
    const QLocale locale;
    if (!QFileInfo(path).isFile()) {
        showError(history::missingFileMessage(texts_.labName, date, MainTextStore::get()->lngAbsent,
                                              locale));
        return;
    }

    std::unique_ptr<QWidget> desk;
    if (deskFactory_) {
        desk.reset(deskFactory_(texts_.lngWaitPlease));
        if (desk) {
            desk->show();
            desk->repaint();
        }
    }
    // Paint events may run while the day loads, but not the operator's input, so the date
    // or doser cannot change under a load in progress.
    const auto letPaintsRun = [] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    letPaintsRun();
    auto day = std::make_shared<HistoryDay>();
    QString error;
    const bool ok = loadHistoryDay(path, doser, day.get(), &error);
    letPaintsRun();
    if (ok)
        DBChart1->showDay(day,
                          ComboBox1->currentText() + QLatin1Char('\n') + stationDate(date, locale));
    letPaintsRun();
    desk.reset();
    if (!ok)
        showError(error);
}

void THistoryForm::btnZoomInClick() {
    DBChart1->zoomPercent(history::kZoomIn);
}

void THistoryForm::btnZoomOutClick() {
    DBChart1->zoomPercent(history::kZoomOut);
}

void THistoryForm::btnResetClick() {
    DBChart1->restoreZoom();
}

void THistoryForm::DBChart1MouseMove(QMouseEvent* event) {
    double x = 0;
    double y = 0;
    if (!DBChart1->valueAt(event->position(), &x, &y))
        return;
    static const HistoryDay empty;
    const HistoryDay* day = DBChart1->day();
    const auto r = history::readout(x, y, day ? *day : empty, texts_, QLocale());
    if (!r)
        return;
    labTime->setText(r->time);
    labVes->setText(r->weight);
}

void THistoryForm::btnPrintClick() {
    QPrinter* printer = printer_;
    if (!printer) {
        if (!ownPrinter_)
            ownPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer = ownPrinter_.get();
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool ok = printHistoryChart(DBChart1, printer, &error);
    QApplication::restoreOverrideCursor();
    if (!ok)
        showError(error);
}

void THistoryForm::btnCloseClick() {
    close();
}

void THistoryForm::closeEvent(QCloseEvent* event) {
    DBChart1->clearDay();
    ComboBox1->blockSignals(true);
    ComboBox1->clear();
    ComboBox1->blockSignals(false);
    event->accept();
}

void THistoryForm::showError(const QString& text) {
    QMessageBox box(QMessageBox::Critical, MainTextStore::get()->lngError, text, QMessageBox::Ok,
                    this);
    box.exec();
}

#include "TableUnit.h"

#include "BevelPanel.h"
#include "ClampSpinEdit.h"
#include "Colours.h"
#include "ProcessImage.h"
#include "ViewWidgets.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QColor kPanelColour(0xE8, 0xFF, 0xE8);
const QColor kHeaderColour(0x3E, 0x61, 0xDB);
const QColor kTitleColour(0x37, 0x6F, 0x6F);

constexpr int kTopHeight = 33;
constexpr int kLegendHeight = 144;
constexpr int kPanelWidth = 147;
constexpr int kPanelHeight = 159;
constexpr int kPanelY = 22;
constexpr std::array<int, 6> kPanelX = {10, 164, 318, 472, 626, 780};
constexpr int kHeaderHeight = 25;
constexpr int kFieldWidth = 59;
constexpr int kFieldHeight = 26;
constexpr int kPortionWidth = 301;
constexpr int kPortionHeight = 75;
constexpr std::array<int, 2> kPortionX = {164, 472};
constexpr int kPortionY = 190;
constexpr QRect kSendButton(374, 290, 191, 31);
constexpr std::array<int, 2> kSwatchX = {16, 330};
constexpr std::array<int, 5> kSwatchY = {26, 46, 66, 86, 106};
constexpr QSize kSwatch(65, 17);
constexpr int kSwatchLabelOffset = 70;

QFont boldPixelFont(const QFont& base, int pixels) {
    QFont f = base;
    // Sizes beyond the 13-pixel strike of "MS Sans Serif" in the scalable design face.
    if (pixels > 13)
        f.setFamily(QStringLiteral("Tahoma"));
    f.setBold(true);
    f.setPixelSize(pixels);
    return f;
}

} // namespace

TTableForm::TTableForm(SetpointSend& send, const QString& langFilePath, QWidget* parent)
    : QWidget(parent), send_(send) {
    setObjectName(QStringLiteral("TableForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(957, 586);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    buildTopStrip();
    column->addWidget(labName->parentWidget());
    column->addWidget(buildMiddle(), 1);
    buildLegend();
    column->addWidget(grpColor);

    for (std::size_t i = 0; i < task::kFields.size(); ++i)
        fields_[i] = findChild<ClampSpinEdit*>(QLatin1String(task::kFields[i].name));

    connect(btnRec1, &QPushButton::clicked, this, &TTableForm::btnRec1Click);
    connect(btnClose, &QPushButton::clicked, this, &TTableForm::btnCloseClick);

    LoadLanguage(langFilePath);
    FormCreate();
    // The window opens with the focus in the first setpoint field, doser 1's.
    seZad5->setFocus();
}

void TTableForm::buildTopStrip() {
    auto* top = new QWidget(this);
    top->setFixedHeight(kTopHeight);
    labName = new QLabel(top);
    labName->setObjectName(QStringLiteral("labName"));
    views::styleTitle(labName, kTitleColour);
    btnClose = new QPushButton(top);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    // Only a click or Space closes the window: Enter, also on a focused close button, is the
    // window's Enter and presses btnRec1.
    btnClose->setAutoDefault(false);
    auto* row = new QHBoxLayout(top);
    row->setContentsMargins(8, 2, 8, 2);
    row->addWidget(labName);
    row->addStretch(1);
    row->addWidget(btnClose);
}

QWidget* TTableForm::buildMiddle() {
    auto* middle = new QWidget(this);
    middle->setObjectName(QStringLiteral("panMiddle"));
    middle->setMinimumSize(kPanelX[5] + kPanelWidth + 10, kSendButton.bottom() + 12);
    for (int doser = 1; doser <= 6; ++doser)
        buildDoserPanel(middle, doser);
    for (int furnace = 1; furnace <= 2; ++furnace)
        buildPortionPanel(middle, furnace);

    btnRec1 = new QPushButton(middle);
    btnRec1->setObjectName(QStringLiteral("btnRec1"));
    btnRec1->setGeometry(kSendButton);
    btnRec1->setDefault(true);
    btnRec1->setAutoDefault(true);

    panD1 = panels_[1], panD2 = panels_[2], panD3 = panels_[3];
    panD4 = panels_[4], panD5 = panels_[5], panD6 = panels_[6];
    panDn1 = headers_[1], panDn2 = headers_[2], panDn3 = headers_[3];
    panDn4 = headers_[4], panDn5 = headers_[5], panDn6 = headers_[6];
    return middle;
}

void TTableForm::buildDoserPanel(QWidget* middle, int doser) {
    const int n = task::fieldNumberOfDoser(doser);
    auto* panel = new BevelPanel(middle);
    panel->setObjectName(QStringLiteral("panD%1").arg(doser));
    panel->setColor(kPanelColour);
    panel->setBevels(BevelPanel::Bevel::None, BevelPanel::Bevel::Lowered);
    panel->setGeometry(kPanelX[doser - 1], kPanelY, kPanelWidth, kPanelHeight);
    panels_[doser] = panel;

    auto* header = new BevelPanel(panel);
    header->setObjectName(QStringLiteral("panDn%1").arg(doser));
    header->setColor(kHeaderColour);
    header->setCaptionColor(Qt::white);
    QFont headerFont(QStringLiteral("Tahoma"));
    header->setFont(boldPixelFont(headerFont, 13));
    header->setGeometry(1, 1, kPanelWidth - 2, kHeaderHeight);
    headers_[doser] = header;

    const QFont fieldFont = boldPixelFont(font(), 13);
    const int fieldX = (kPanelWidth - kFieldWidth) / 2;
    auto* labZad = new QLabel(panel);
    labZad->setObjectName(QStringLiteral("labZad%1").arg(doser));
    labZad->setAlignment(Qt::AlignCenter);
    labZad->setGeometry(2, 34, kPanelWidth - 4, 16);
    auto* zad = new ClampSpinEdit(panel);
    zad->setObjectName(QStringLiteral("seZad%1").arg(n));
    zad->setFont(fieldFont);
    zad->setMaxLength(4);
    zad->setGeometry(fieldX, 52, kFieldWidth, kFieldHeight);

    auto* labKod = new QLabel(panel);
    labKod->setObjectName(QStringLiteral("labKod%1").arg(doser));
    labKod->setAlignment(Qt::AlignCenter);
    labKod->setGeometry(2, 90, kPanelWidth - 4, 16);
    auto* kod = new ClampSpinEdit(panel);
    kod->setObjectName(QStringLiteral("seKod%1").arg(n));
    kod->setFont(fieldFont);
    kod->setMaxLength(1);
    kod->setGeometry(fieldX, 108, kFieldWidth, kFieldHeight);
    zadLabels_[doser] = labZad;
    kodLabels_[doser] = labKod;

    const std::array<QLabel**, 7> zadLabs = {nullptr,  &labZad1, &labZad2, &labZad3,
                                             &labZad4, &labZad5, &labZad6};
    const std::array<QLabel**, 7> kodLabs = {nullptr,  &labKod1, &labKod2, &labKod3,
                                             &labKod4, &labKod5, &labKod6};
    const std::array<ClampSpinEdit**, 7> zads = {nullptr, &seZad1, &seZad2, &seZad3,
                                                 &seZad4, &seZad5, &seZad6};
    const std::array<ClampSpinEdit**, 7> kods = {nullptr, &seKod1, &seKod2, &seKod3,
                                                 &seKod4, &seKod5, &seKod6};
    *zadLabs[doser] = labZad;
    *kodLabs[doser] = labKod;
    *zads[n] = zad;
    *kods[n] = kod;

    for (const task::Field& f : task::kFields) {
        ClampSpinEdit* spin = QLatin1String(f.name) == zad->objectName()   ? zad
                              : QLatin1String(f.name) == kod->objectName() ? kod
                                                                           : nullptr;
        if (spin)
            spin->setRange(f.minimum, f.maximum);
    }
}

void TTableForm::buildPortionPanel(QWidget* middle, int furnace) {
    auto* panel = new BevelPanel(middle);
    panel->setObjectName(QStringLiteral("panPortion%1").arg(furnace));
    panel->setColor(kPanelColour);
    panel->setBevels(BevelPanel::Bevel::None, BevelPanel::Bevel::Lowered);
    panel->setGeometry(kPortionX[furnace - 1], kPortionY, kPortionWidth, kPortionHeight);

    auto* header = new BevelPanel(panel);
    header->setObjectName(QStringLiteral("panCnt%1").arg(furnace));
    header->setColor(kHeaderColour);
    header->setCaptionColor(Qt::white);
    header->setFont(boldPixelFont(QFont(QStringLiteral("Tahoma")), 13));
    header->setGeometry(1, 1, kPortionWidth - 2, kHeaderHeight);

    auto* label = new QLabel(panel);
    label->setObjectName(QStringLiteral("labPortion%1").arg(furnace));
    label->setGeometry(16, 38, 200, 20);
    auto* spin = new ClampSpinEdit(panel);
    spin->setObjectName(QStringLiteral("sePortion%1").arg(furnace));
    spin->setFont(boldPixelFont(font(), 13));
    spin->setMaxLength(1);
    spin->setRange(1, 9);
    spin->setGeometry(kPortionWidth - kFieldWidth - 24, 35, kFieldWidth, kFieldHeight);

    if (furnace == 1) {
        panPortion1 = panel, panCnt1 = header, labPortion1 = label, sePortion1 = spin;
    } else {
        panPortion2 = panel, panCnt2 = header, labPortion2 = label, sePortion2 = spin;
    }
}

void TTableForm::buildLegend() {
    grpColor = new QGroupBox(this);
    grpColor->setObjectName(QStringLiteral("grpColor"));
    grpColor->setFixedHeight(kLegendHeight);
    for (int code = 0; code < 10; ++code) {
        const int x = kSwatchX[code / 5];
        const int y = kSwatchY[code % 5];
        auto* swatch = new QFrame(grpColor);
        swatch->setObjectName(QStringLiteral("shpMat%1").arg(code));
        swatch->setFrameShape(QFrame::Box);
        swatch->setAutoFillBackground(true);
        QPalette pal = swatch->palette();
        pal.setColor(QPalette::Window, QColor::fromRgb(colours::material(code)));
        pal.setColor(QPalette::WindowText, Qt::black);
        swatch->setPalette(pal);
        swatch->setGeometry(QRect(QPoint(x, y), kSwatch));
        shpMat[code] = swatch;

        auto* label = new QLabel(grpColor);
        label->setObjectName(QStringLiteral("labMat%1").arg(code));
        label->setGeometry(x + kSwatchLabelOffset, y, 230, kSwatch.height());
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        labMat[code] = label;
    }
}

void TTableForm::LoadLanguage(const QString& langFilePath) {
    texts_ = TableTexts::load(langFilePath);
    setWindowTitle(texts_.TableForm);
    labName->setText(texts_.labName);
    btnClose->setText(texts_.btnClose);
    btnRec1->setText(texts_.btnRec1);
    for (int doser = 1; doser <= 6; ++doser) {
        headers_[doser]->setCaption(texts_.lngDozator + QStringLiteral(" %1").arg(doser));
        zadLabels_[doser]->setText(texts_.labZad1);
        const int n = task::fieldNumberOfDoser(doser);
        const QString codeField = QStringLiteral("seKod%1").arg(n);
        for (const task::Field& f : task::kFields) {
            if (codeField == QLatin1String(f.name)) {
                kodLabels_[doser]->setText(
                    texts_.labKod1 + QStringLiteral(" (%1 - %2)").arg(f.minimum).arg(f.maximum));
            }
        }
    }
    panCnt1->setCaption(texts_.panCnt1 + QStringLiteral(" 1"));
    panCnt2->setCaption(texts_.panCnt1 + QStringLiteral(" 2"));
    labPortion1->setText(texts_.labPortion1);
    labPortion2->setText(texts_.labPortion1);
    grpColor->setTitle(texts_.grpColor);
    for (int code = 0; code < 10; ++code)
        labMat[code]->setText(texts_.labMat[code]);
}

ClampSpinEdit* TTableForm::field(const task::Field& f) const {
    for (std::size_t i = 0; i < task::kFields.size(); ++i) {
        if (&task::kFields[i] == &f)
            return fields_[i];
    }
    return findChild<ClampSpinEdit*>(QLatin1String(f.name));
}

void TTableForm::FormCreate() {
    // The copy holds what the controller reported at start-up, as changed by this
    // station's successful sends; values outside a field's range are brought into it.
    const SetpointCopy copy = send_.image().setpoints();
    for (std::size_t i = 0; i < task::kFields.size(); ++i) {
        const task::Field& f = task::kFields[i];
        fields_[i]->setValue(task::clamp(f, task::rawValue(f, copy.block1, copy.block2)));
    }
}

void TTableForm::takeFieldValues(task::Block1& b1, task::Block2& b2) {
    b1.fill(0);
    b2.fill(0);
    for (std::size_t i = 0; i < task::kFields.size(); ++i) {
        // A text that is not a number stands for the minimum; the field then shows what
        // goes out.
        const int value = fields_[i]->clampedValue();
        fields_[i]->setValue(value);
        task::store(task::kFields[i], value, b1, b2);
    }
}

void TTableForm::btnRec1Click() {
    if (!hooks.confirm(this, windowTitle(), texts_.lngWantRec))
        return;

    task::Block1 block1;
    task::Block2 block2;
    takeFieldValues(block1, block2);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const SetpointSend::Result result =
        send_.send(block1, block2, [this] { hooks.wait(kSendWaitMs); });
    QApplication::restoreOverrideCursor();

    if (result.reported())
        hooks.error(this, windowTitle(), texts_.lngErrorRec);
}

void TTableForm::btnCloseClick() {
    close();
}

void TTableForm::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && btnRec1->isEnabled()) {
        event->accept();
        btnRec1->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

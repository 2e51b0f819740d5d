#include "OptUnit.h"

#include "ClampSpinEdit.h"
#include "Language.h"
#include "MainTexts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

namespace {
QIcon glyph(bool tick) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (tick) {
        p.setPen(QPen(QColor(0x00, 0x90, 0x00), 2.5));
        p.drawPolyline(QPolygonF({QPointF(2, 8), QPointF(6, 12), QPointF(14, 3)}));
    } else {
        p.setPen(QPen(QColor(0xD0, 0x00, 0x00), 2.5));
        p.drawLine(QPointF(3, 3), QPointF(13, 13));
        p.drawLine(QPointF(13, 3), QPointF(3, 13));
    }
    return QIcon(pm);
}
} // namespace

TOptForm::TOptForm(Settings& settings, const QString& workDir, QWidget* parent)
    : QDialog(parent), settings_(settings), workDir_(workDir) {
    setObjectName(QStringLiteral("OptForm"));
    setWindowTitle(QStringLiteral("Настройки"));
    setFixedSize(289, 259);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(11);
    setFont(f);

    grpCOM = new QGroupBox(QStringLiteral(" COM-порт "), this);
    grpCOM->setObjectName(QStringLiteral("grpCOM"));
    grpCOM->setGeometry(16, 8, 257, 93);
    comGroup = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        com[i] = new QRadioButton(QStringLiteral("COM %1").arg(i + 1), grpCOM);
        com[i]->setGeometry(12, 16 + i * 18, 200, 17);
        comGroup->addButton(com[i], i);
    }

    grpSpeed = new QGroupBox(QStringLiteral(" Скорость COM-порта "), this);
    grpSpeed->setObjectName(QStringLiteral("grpSpeed"));
    grpSpeed->setGeometry(16, 104, 257, 45);
    labSpeed = new QLabel(QStringLiteral("Скорость"), grpSpeed);
    labSpeed->move(16, 20);
    Box_Speed = new QComboBox(grpSpeed);
    Box_Speed->setObjectName(QStringLiteral("Box_Speed"));
    Box_Speed->setGeometry(80, 16, 93, 21);
    for (int rate : Settings::kRates)
        Box_Speed->addItem(QString::number(rate));
    labBits = new QLabel(QStringLiteral("бит/с"), grpSpeed);
    labBits->move(182, 20);

    grpArhiv = new QGroupBox(QStringLiteral(" Архив "), this);
    grpArhiv->setObjectName(QStringLiteral("grpArhiv"));
    grpArhiv->setGeometry(16, 152, 257, 45);
    labMax = new QLabel(QStringLiteral("Максимальное количество дней:"), grpArhiv);
    labMax->move(16, 20);
    SpinEdit2 = new ClampSpinEdit(grpArhiv);
    SpinEdit2->setObjectName(QStringLiteral("SpinEdit2"));
    SpinEdit2->setGeometry(196, 16, 53, 21);
    SpinEdit2->setRange(2, 100);
    SpinEdit2->setMaxLength(3);

    // The alarm horn, switched on or off for this station.
    chkHorn = new QCheckBox(QStringLiteral("Звуковая сигнализация"), this);
    chkHorn->setObjectName(QStringLiteral("chkHorn"));
    chkHorn->setGeometry(28, 203, 245, 17);

    btnOK = new QPushButton(glyph(true), QStringLiteral("Применить"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(32, 228, 93, 25);
    btnOK->setDefault(true);
    btnCancel = new QPushButton(glyph(false), QStringLiteral("Отменить"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(164, 228, 93, 25);
    connect(btnOK, &QPushButton::clicked, this, [this] {
        btnOKClick();
        accept();
    });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &TOptForm::invalidNumber, this, [this](const QString& text) {
        QMessageBox::critical(this, windowTitle(), invalidNumberText(text));
    });
}

QString TOptForm::invalidNumberText(const QString& text) {
    return MainTextStore::get()->lngBadNumber + QStringLiteral(" '") + text + QLatin1Char('\'');
}

bool TOptForm::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return QDialog::event(e);
}

void TOptForm::showEvent(QShowEvent* e) {
    // The first activation may come after the first paint; fill the controls before it.
    FormActivate();
    QDialog::showEvent(e);
}

void TOptForm::LoadLanguage(const QString& path) {
    const LangSection s(path, QStringLiteral("Option"));
    setWindowTitle(s.text(QStringLiteral("OptForm"), QStringLiteral("Настройки")));
    grpCOM->setTitle(s.text(QStringLiteral("grpCOM"), QStringLiteral("COM-порт")));
    grpSpeed->setTitle(s.text(QStringLiteral("grpSpeed"), QStringLiteral("Скорость COM-порта")));
    grpArhiv->setTitle(s.text(QStringLiteral("grpArhiv"), QStringLiteral("Архив")));
    labSpeed->setText(s.text(QStringLiteral("labSpeed"), QStringLiteral("Скорость")));
    labBits->setText(s.text(QStringLiteral("labBits"), QStringLiteral("бит/с")));
    labMax->setText(
        s.text(QStringLiteral("labMax"), QStringLiteral("Максимальное количество дней:")));
    btnOK->setText(s.text(QStringLiteral("btnOK"), QStringLiteral("Применить")));
    btnCancel->setText(s.text(QStringLiteral("btnCancel"), QStringLiteral("Отменить")));
    chkHorn->setText(s.text(QStringLiteral("chkHorn"), QStringLiteral("Звуковая сигнализация")));
    for (QLabel* l : {labSpeed, labBits, labMax})
        l->adjustSize();
}

void TOptForm::FormActivate() {
    LoadLanguage(lang::filePath(workDir_, settings_.Language));
    // A port number outside 1 to 4 read from the file leaves no choice selected.
    comGroup->setExclusive(false);
    for (QRadioButton* b : com)
        b->setChecked(false);
    comGroup->setExclusive(true);
    if (settings_.ComPort >= 1 && settings_.ComPort <= 4)
        com[settings_.ComPort - 1]->setChecked(true);
    SpinEdit2->setValue(settings_.MaxArhDay);
    Box_Speed->setCurrentIndex(Settings::rateIndex(settings_.ComSpeed));
    chkHorn->setChecked(settings_.Horn != 0);
}

void TOptForm::btnOKClick() {
    if (comGroup->checkedId() >= 0)
        settings_.ComPort = comGroup->checkedId() + 1;
    settings_.MaxArhDay = SpinEdit2->clampedValue();
    settings_.Horn = chkHorn->isChecked() ? 1 : 0;
    bool ok = false;
    const QString rate = Box_Speed->currentText();
    const int speed = rate.toInt(&ok);
    if (ok)
        settings_.ComSpeed = speed;
    else
        emit invalidNumber(rate);
}

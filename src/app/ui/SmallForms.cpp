#include "SmallForms.h"

#include "BevelPanel.h"
#include "ImageList.h"
#include "Version.h"

#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {
// The two-line title of the splash window and the about box.
QLabel* titleLabel(QWidget* parent) {
    auto* title = new QLabel(QStringLiteral("Загрузка\nдоменных печей"), parent);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(29);
    f.setBold(true);
    title->setFont(f);
    QPalette pal = title->palette();
    pal.setColor(QPalette::WindowText, QColor(0x43, 0x43, 0x8B));
    title->setPalette(pal);
    return title;
}

QLabel* pictureLabel(QWidget* parent) {
    auto* pic = new QLabel(parent);
    pic->setPixmap(furnacePicture());
    pic->resize(105, 99);
    return pic;
}
} // namespace

void centreOnScreen(QWidget* w) {
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect avail = s->availableGeometry();
        w->move(avail.center() - QPoint(w->width() / 2, w->height() / 2));
    }
}

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("SplashForm"));
    setFixedSize(470, 206);
    auto* panel = new BevelPanel(this);
    panel->setGeometry(0, 0, 470, 206);
    panel->setColor(QColor(0xA7, 0xA7, 0xD4));
    panel->setBevels(BevelPanel::Bevel::None, BevelPanel::Bevel::Lowered, 2);
    pictureLabel(panel)->move(470 - 105 - 16, 14);
    titleLabel(panel)->setGeometry(24, 24, 320, 80);
    auto* line = new QFrame(panel);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Raised);
    line->setGeometry(8, 150, 454, 4);
    auto* loading = new QLabel(QStringLiteral("Загружается..."), panel);
    QPalette pal = loading->palette();
    pal.setColor(QPalette::WindowText, QColor(0x36, 0x36, 0x70));
    loading->setPalette(pal);
    loading->setAlignment(Qt::AlignCenter);
    loading->setGeometry(8, 164, 454, 24);
    centreOnScreen(this);
}

TAboutBox::TAboutBox(const QString& workDir, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("О программе"));
    setFixedSize(478, 247);
    setAutoFillBackground(true);
    QPalette bg = palette();
    bg.setColor(QPalette::Window, QColor(0x66, 0x66, 0x9A));
    setPalette(bg);
    auto* panel = new BevelPanel(this);
    panel->setGeometry(8, 8, 462, 192);
    panel->setColor(QColor(0xA7, 0xA7, 0xD4));
    panel->setBevels(BevelPanel::Bevel::None, BevelPanel::Bevel::Lowered, 1);
    pictureLabel(panel)->move(462 - 105 - 12, 10);
    titleLabel(panel)->setGeometry(18, 18, 320, 80);
    labVersion = new QLabel(panel);
    labVersion->setObjectName(QStringLiteral("labVersion"));
    labVersion->setGeometry(0, 124, 462, 20);
    labVersion->setAlignment(Qt::AlignCenter);
    QPalette blue = labVersion->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    labVersion->setPalette(blue);
    labDate = new QLabel(panel);
    labDate->setObjectName(QStringLiteral("labDate"));
    labDate->setGeometry(0, 150, 462, 20);
    labDate->setAlignment(Qt::AlignCenter);
    // The working folder in use, for whoever looks for the station's records.
    labWorkDir = new QLabel(panel);
    labWorkDir->setObjectName(QStringLiteral("labWorkDir"));
    labWorkDir->setGeometry(8, 172, 446, 16);
    labWorkDir->setAlignment(Qt::AlignCenter);
    const QString folder = QStringLiteral("Рабочая папка: ") + QDir::toNativeSeparators(workDir);
    labWorkDir->setText(labWorkDir->fontMetrics().elidedText(folder, Qt::ElideMiddle, 446));
    labWorkDir->setToolTip(folder);
    labWorkDir->setVisible(!workDir.isEmpty());
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(478 / 2 - 37, 210, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // FormCreate: the version texts
    labVersion->setText(QStringLiteral("Version ") + QLatin1String(kKorvelVersion));
    labDate->setText(QStringLiteral("26.10.2009"));
    centreOnScreen(this);
}

TDeskForm::TDeskForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("DeskForm"));
    setWindowTitle(QStringLiteral("Повідомлення"));
    setFixedSize(417, 53);
    auto* panel = new BevelPanel(this);
    panel->setGeometry(0, 0, 417, 53);
    panel->setBevels(BevelPanel::Bevel::None, BevelPanel::Bevel::Lowered, 1);
    label_ = new QLabel(QStringLiteral("Зачекайте будь ласка..."), panel);
    label_->setGeometry(2, 2, 413, 49);
    label_->setAlignment(Qt::AlignCenter);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(24);
    label_->setFont(f);
    QPalette pal = label_->palette();
    pal.setColor(QPalette::WindowText, QColor(0x48, 0x48, 0xFF));
    label_->setPalette(pal);
    centreOnScreen(this);
}

void TDeskForm::setText(const QString& text) {
    label_->setText(text);
}
QString TDeskForm::text() const {
    return label_->text();
}

#include "AttentionUnit.h"

#include "Language.h"
#include "ProcessImage.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kWidth = 213;
constexpr int kPanelHeight = 31;
const QColor kPanelGrey(0xDF, 0xDF, 0xDE);
const QColor kMissing(0xFF, 0x00, 0x00);
const QColor kPresent(0xC0, 0xC0, 0xC0);

const QString kSection = QStringLiteral("Attention");

// Default texts of labEvent1..8; the inner double quotes are part of them.
const char* const kDefaults[8] = {
    "Нет сигнала \"Разрешение на выгрузку дозаторов\" от координатора для печи 1",
    "Нет сигнала \"Разрешение движения тележки\" от координатора для печи 1",
    "Нет пустого печного бункера печи 1",
    "Нет сигнала \"Разрешение на выгрузку дозаторов\" от координатора для печи 2",
    "Нет загрузки бункера шихты печи 2",
    "Нет пустого печного бункера печи 2",
    "В координаторе нет сигнала \"Конец выгрузки\" от печи 1",
    "В координаторе нет сигнала \"Конец выгрузки\" от печи 2",
};
} // namespace

TAttentionForm::TAttentionForm(ProcessImage& image, const QString& langFilePath, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      image_(image) {
    setObjectName(QStringLiteral("AttentionForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kWidth, kPanelHeight * 8);

    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    for (int i = 0; i < 8; ++i) {
        auto* panel = new QFrame(this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setGeometry(0, i * kPanelHeight, kWidth, kPanelHeight);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setLineWidth(1);
        QPalette pal = panel->palette();
        pal.setColor(QPalette::Window, kPanelGrey);
        panel->setPalette(pal);
        panel->setAutoFillBackground(true);

        auto* label = new QLabel(panel);
        label->setObjectName(QStringLiteral("labEvent%1").arg(i + 1));
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->setFont(font);
        label->setAutoFillBackground(false);
        auto* layout = new QVBoxLayout(panel);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(label);

        panels_[std::size_t(i)] = panel;
        labels_[std::size_t(i)] = label;
    }

    EventTimer = new QTimer(this);
    EventTimer->setObjectName(QStringLiteral("EventTimer"));
    EventTimer->setInterval(kPeriodMs);
    connect(EventTimer, &QTimer::timeout, this, &TAttentionForm::EventTimerTimer);

    FormCreate(langFilePath);
    EventTimer->start();

    // Centred on the screen the window opens on.
    if (QScreen* s = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        QRect r(QPoint(0, 0), size());
        r.moveCenter(s->availableGeometry().center());
        move(r.topLeft());
    }
}

void TAttentionForm::FormCreate(const QString& langFilePath) {
    LoadLanguage(langFilePath);
    DrawEvent();
}

void TAttentionForm::LoadLanguage(const QString& path) {
    const LangSection section(path, kSection);
    setWindowTitle(section.text(QStringLiteral("AttentionForm"), QStringLiteral("Внимание")));
    for (int i = 0; i < 8; ++i)
        labels_[std::size_t(i)]->setText(
            section.text(labels_[std::size_t(i)]->objectName(), QString::fromUtf8(kDefaults[i])));
}

void TAttentionForm::DrawEvent() {
    const std::uint8_t missing = image_.snapshot().byte(kSignalByte);
    for (int i = 0; i < 8; ++i) {
        QLabel* label = labels_[std::size_t(i)];
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, ((missing >> i) & 1) ? kMissing : kPresent);
        label->setPalette(pal);
    }
}

void TAttentionForm::EventTimerTimer() {
    DrawEvent();
}

void TAttentionForm::closeEvent(QCloseEvent* event) {
    FormClose(event);
}

void TAttentionForm::FormClose(QCloseEvent* event) {
    // The window is freed once closed (WA_DeleteOnClose); a QPointer to it becomes empty.
    EventTimer->stop();
    event->accept();
}

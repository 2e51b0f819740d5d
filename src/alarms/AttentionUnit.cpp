#include "AttentionUnit.h"

#include "Colours.h"
#include "Language.h"
#include "ProcessImage.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kWidth = 213;
constexpr int kPanelHeight = 31;
const QColor kPanelGrey(colours::kPanelGrey);
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

// Width and height a label has inside its panel's one-pixel bevel.
constexpr int kTextWidth = kWidth - 2;
constexpr int kTextHeight = kPanelHeight - 2;

QFont labelFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

bool fits(const QFont& font, const QString& text) {
    const QFontMetrics fm(font);
    const QRect r = fm.boundingRect(QRect(0, 0, kTextWidth, 1000), Qt::TextWordWrap, text);
    return r.width() <= kTextWidth && r.height() <= kTextHeight;
}

// The texts were made to wrap over two lines in the original narrow 11 px face; a wider face
// standing in for it would push the longest ones to a third line that the panel cuts off.
// Such a text is set in a narrower cut of the same face, as little narrower as it takes.
void fitTwoLines(QLabel* label) {
    QFont font = labelFont();
    for (int stretch : {100, 95, 90, 85, 80, 75}) {
        font.setStretch(stretch);
        if (fits(font, label->text()))
            break;
    }
    label->setFont(font);
}
} // namespace

TAttentionForm::TAttentionForm(const ProcessImage& image, const QString& langFilePath,
                               QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      image_(image) {
    setObjectName(QStringLiteral("AttentionForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kWidth, kPanelHeight * 8);

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
        label->setFont(labelFont());
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
    centre();
    EventTimer->start();
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
    for (QLabel* label : labels_)
        fitTwoLines(label);
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

void TAttentionForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (centred_)
        return;
    // Once shown, the frame around the client area is known: centre it, frame and all.
    centred_ = true;
    centre();
}

void TAttentionForm::centre() {
    if (QScreen* s = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(s->availableGeometry().center());
        move(frame.topLeft());
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

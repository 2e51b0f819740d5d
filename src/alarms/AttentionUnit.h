#pragma once
// The attention window: eight permission and readiness signals between the plant and its
// coordinator, each a line that turns red while the signal is missing (a bit of image byte 88).
// A stay-on-top tool window that destroys itself when closed.
#include <QWidget>
#include <array>

class ProcessImage;
class QCloseEvent;
class QShowEvent;
class QFrame;
class QLabel;
class QTimer;

class TAttentionForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSignalByte = 88;
    static constexpr int kPeriodMs = 500;

    TAttentionForm(const ProcessImage& image, const QString& langFilePath,
                   QWidget* parent = nullptr);

    // Reads the caption and the eight texts from section Attention of the language file.
    void LoadLanguage(const QString& path);
    // Colours the labels from the current image: red while a signal is missing, else silver.
    void DrawEvent();

    QLabel* label(int i) const { return labels_[std::size_t(i)]; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private slots:
    void EventTimerTimer();

private:
    void FormCreate(const QString& langFilePath);
    void FormClose(QCloseEvent* event);
    // Centres the window on its screen.
    void centre();

    const ProcessImage& image_;
    std::array<QFrame*, 8> panels_{};
    std::array<QLabel*, 8> labels_{};
    QTimer* EventTimer = nullptr;
    bool centred_ = false;
};

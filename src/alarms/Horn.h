#pragma once
// The horn: a short tone, made by the program itself (no sound file to lose), repeated every
// two seconds through the default audio output while HornLogic says it sounds. A machine
// without an audio output works the same without sound: one line on the error output, no
// message box.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class AlarmStates;
class HornLogic;
class QAudioSink;
class QBuffer;
class QTimer;

class Horn : public QObject {
    Q_OBJECT
public:
    using Warning = std::function<void(const QString&)>;
    // `warning` receives the one line told when there is no sound (default: the error output).
    Horn(const HornLogic& logic, Warning warning = {}, QObject* parent = nullptr);
    ~Horn() override;

    // Called every 500 ms by the main window: starts or stops the tone.
    void update();
    // Whether the tone is being repeated now (also without an audio output).
    bool sounding() const { return sounding_; }
    // How many tones were started, for tests and a maintainer.
    int tones() const { return tones_; }

    // 0.3 s of an 880 Hz tone, 16-bit mono at 22 050 samples a second, fading in and out.
    static QByteArray tone();

private:
    void beep();

    const HornLogic& logic_;
    Warning warning_;
    QTimer* repeat_ = nullptr;
    QBuffer* buffer_ = nullptr;
    std::unique_ptr<QAudioSink> sink_;
    bool sounding_ = false;
    bool silentTold_ = false;
    int tones_ = 0;
};

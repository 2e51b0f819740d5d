#include "Horn.h"

#include "AlarmStates.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QTextStream>
#include <QTimer>

#include <cmath>

namespace {
QtMessageHandler previousHandler = nullptr;

// The audio back end's own complaint about a missing sound server is left out: the horn
// says once, in its own words, that there is no sound.
void withoutAudioNoise(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("PulseAudioService:")))
        return;
    if (previousHandler)
        previousHandler(type, context, text);
}

QAudioDevice defaultOutput() {
    previousHandler = qInstallMessageHandler(withoutAudioNoise);
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    qInstallMessageHandler(previousHandler);
    return device;
}

constexpr int kRate = 22050;
constexpr double kSeconds = 0.3;
constexpr double kPitch = 880;
constexpr int kRepeatMs = 2000;
} // namespace

QByteArray Horn::tone() {
    const int samples = int(kRate * kSeconds);
    QByteArray pcm(samples * 2, '\0');
    auto* out = reinterpret_cast<qint16*>(pcm.data());
    const int fade = kRate / 100; // 10 ms ramps, so the tone starts and ends without a click
    for (int i = 0; i < samples; ++i) {
        const double ramp = std::min({1.0, double(i) / fade, double(samples - 1 - i) / fade});
        out[i] = qint16(std::lround(std::sin(2 * M_PI * kPitch * i / kRate) * ramp * 16000));
    }
    return pcm;
}

Horn::Horn(const HornLogic& logic, Warning warning, QObject* parent)
    : QObject(parent), logic_(logic), warning_(std::move(warning)) {
    if (!warning_)
        warning_ = [](const QString& line) { QTextStream(stderr) << line << Qt::endl; };
    repeat_ = new QTimer(this);
    repeat_->setInterval(kRepeatMs);
    connect(repeat_, &QTimer::timeout, this, &Horn::beep);
    buffer_ = new QBuffer(this);
    buffer_->setData(tone());
}

Horn::~Horn() {
    if (sink_)
        sink_->stop();
}

void Horn::update() {
    const bool want = logic_.sounding();
    if (want == sounding_)
        return;
    sounding_ = want;
    if (want) {
        beep();
        repeat_->start();
    } else {
        repeat_->stop();
        if (sink_)
            sink_->stop();
    }
}

void Horn::beep() {
    ++tones_;
    if (!sink_) {
        const QAudioDevice device = defaultOutput();
        QAudioFormat format;
        format.setSampleRate(kRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        if (device.isNull() || !device.isFormatSupported(format)) {
            if (!silentTold_)
                warning_(QStringLiteral("korvel: no audio output for the horn; alarms are "
                                        "shown without sound"));
            silentTold_ = true;
            return;
        }
        sink_ = std::make_unique<QAudioSink>(device, format);
    }
    sink_->stop();
    buffer_->close();
    buffer_->open(QIODevice::ReadOnly);
    sink_->start(buffer_);
}

#include "ComLink.h"

#include "Frame.h"
#include "MainTexts.h"
#include "PosixSerialPort.h"
#include "ProcessImage.h"

#include <QTextStream>
#include <algorithm>

ComLink::ComLink(ProcessImage& image) : image_(image) {}

ComLink::~ComLink() = default;

QString ComLink::devicePath(int port) const {
    if (!override_.isEmpty())
        return override_;
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

QString ComLink::Initial(int port, int speed) {
    portOpen_ = 0;
    // A handle still open would hold the line's lock against its own re-open.
    line_.reset();
    const auto texts = MainTextStore::get();
    const QString path = devicePath(port);
    int err = 0;
    auto serial = PosixSerialPort::open(path, nullptr, &err);
    if (!serial) {
        // The status panel shows the station's own error text; the error output tells a
        // maintainer which device failed and why (most often: not in the group dialout).
        QTextStream(stderr) << PosixSerialPort::openFailureAdvice(path, err) << Qt::endl;
        return texts->lngCOMError + QStringLiteral(" -1");
    }
    // A line whose settings cannot be read is used as it is; the port still counts as open.
    serial->configure(speed);
    line_ = std::move(serial);
    portOpen_ = 1;
    return texts->lngCOMOpen;
}

void ComLink::attach(std::unique_ptr<SerialLine> line) {
    line_ = std::move(line);
    portOpen_ = line_ ? 1 : 0;
}

void ComLink::close() {
    line_.reset();
}

std::array<quint8, 2> ComLink::Sum_CRC(const quint8* data, int count) {
    const std::uint16_t crc = frame::crc16(data, count);
    return {static_cast<quint8>(crc & 0xFF), static_cast<quint8>(crc >> 8)};
}

void ComLink::Trans(quint8 rcv, quint8 snd, quint8 func, quint8 lo, quint8 hi, quint16 count) {
    txPayload_.fill(0);
    txFrame_.fill(0);
    rx_.fill(0);
    result_ = kGood;
    waiting_ = 0;

    txPayload_[0] = rcv;
    txPayload_[1] = snd;
    txPayload_[2] = func;
    txPayload_[3] = lo;
    txPayload_[4] = hi;
    txPayload_[5] = static_cast<quint8>(count & 0xFF);
    int length = 6;
    if (func == 2) {
        const int data = std::min<int>(count, kWriteDataSize);
        std::copy_n(writeData_.begin(), data, txPayload_.begin() + 6);
        length += data;
    }
    sentReceiver_ = rcv;
    sentSender_ = snd;
    const int frameLength = frame::build(txPayload_.data(), length, txFrame_.data(), kBufSize);

    if (!line_) {
        // No port handle: nothing can be sent.
        result_ = kNoAnswer;
        return;
    }
    if (line_->write(txFrame_.data(), frameLength) != frameLength)
        result_ = kNoAnswer;

    // Answer wait: up to three checks 100 ms apart, ending at the first that finds bytes.
    const std::int64_t start = line_->nowMs();
    int waiting = 0;
    for (int i = 0; i < kChecks && waiting <= 0; ++i) {
        line_->pause(kCheckMs);
        waiting = line_->waiting();
    }
    if (waiting <= 0) {
        result_ = kNoAnswer;
        return;
    }
    if (result_ == kNoAnswer) {
        // The request did not go out whole: whatever came back is not its answer.
        drainWaiting();
        return;
    }
    answerDeadline_ = start + kChecks * kCheckMs;
    Receive();
}

void ComLink::Receive() {
    payload_.fill(0);
    int n = 0;
    // Once the first bytes are seen, go on reading until the bytes end with a complete frame
    // and nothing more waits, or the answer wait is spent, or the buffer is full.
    while (line_) {
        const int waiting = line_->waiting();
        if (waiting > 0 && n < kBufSize) {
            const long got = line_->read(rx_.data() + n, std::min(waiting, kBufSize - n));
            if (got > 0)
                n += static_cast<int>(got);
        }
        if (n >= kBufSize) {
            drainWaiting(); // an oversize answer: what is over is dropped with it
            break;
        }
        if (n > 0 && frame::endsWithCompleteFrame(rx_.data(), n) && line_->waiting() <= 0)
            break;
        const std::int64_t left = answerDeadline_ - line_->nowMs();
        if (left <= 0)
            break;
        line_->waitReadable(static_cast<int>(left));
    }
    waiting_ = n;

    int length = 0;
    switch (frame::judge(rx_.data(), n, sentReceiver_, sentSender_, payload_.data(), &length)) {
    case frame::Answer::Read:
        image_.update(payload_.data() + 3);
        break;
    case frame::Answer::Write:
        result_ = payload_[3];
        break;
    case frame::Answer::Malformed:
        result_ = kMalformed;
        break;
    }
}

void ComLink::drainWaiting() {
    // Bounded, so a line that never stops talking cannot hold the exchange.
    for (int i = 0; i < 16 && line_; ++i) {
        const int waiting = line_->waiting();
        if (waiting <= 0)
            return;
        if (line_->read(discard_.data(), std::min(waiting, kBufSize)) <= 0)
            return;
    }
}

#pragma once
// The station's side of the controller link: opens the serial port (Initial), runs one
// request-answer exchange (Trans), takes an answer apart (Receive) and stores good read
// answers in the process image. All buffers are fixed; an exchange allocates nothing.
// One exchange at a time: callers on the user-interface thread pause the poll thread first.
#include <QString>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

class ProcessImage;
class SerialLine;

class ComLink {
public:
    static constexpr int kBufSize = 256;
    static constexpr int kWriteDataSize = 13;
    // Link result codes besides the controller's own status bytes.
    static constexpr unsigned kGood = 0;
    static constexpr unsigned kNoAnswer = 5;
    static constexpr unsigned kMalformed = 6;
    // The answer wait: up to three checks, 100 ms apart, 300 ms in all.
    static constexpr int kCheckMs = 100;
    static constexpr int kChecks = 3;

    explicit ComLink(ProcessImage& image);
    ~ComLink();
    ComLink(const ComLink&) = delete;
    ComLink& operator=(const ComLink&) = delete;

    // Opens port n (/dev/ttyS<n-1>, or the device override) at the given rate. Returns the
    // status text: lngCOMOpen, or lngCOMError followed by " -1".
    QString Initial(int port, int speed);
    // One exchange; its outcome is left in result(). For a write (function 2) the caller
    // fills writeData() first; the first count bytes are sent.
    void Trans(quint8 rcv, quint8 snd, quint8 func, quint8 lo, quint8 hi, quint16 count);
    // Reads the answer of the exchange in progress and judges it. Called by Trans.
    void Receive();
    // CRC-16/MODBUS of count bytes: {low byte, high byte}.
    static std::array<quint8, 2> Sum_CRC(const quint8* data, int count);

    // Closes the port handle; the port-open flag is left to the next Initial.
    void close();
    bool portOpen() const { return portOpen_.load(); }
    unsigned result() const { return result_.load(); }
    // Bytes read for the last answer.
    int waitingCount() const { return waiting_; }
    std::array<quint8, kWriteDataSize>& writeData() { return writeData_; }

    // korvel --device PATH: every port number then opens this device.
    void setDeviceOverride(const QString& path) { override_ = path; }
    QString devicePath(int port) const;
    // Uses a line that is already open (a test line or a pseudo-terminal) as the port.
    void attach(std::unique_ptr<SerialLine> line);

private:
    void drainWaiting();

    ProcessImage& image_;
    std::unique_ptr<SerialLine> line_;
    std::atomic<int> portOpen_{0};
    std::atomic<unsigned> result_{0};
    int waiting_ = 0;
    std::int64_t answerDeadline_ = 0;
    quint8 sentReceiver_ = 0;
    quint8 sentSender_ = 0;
    std::array<quint8, kBufSize> txPayload_{};
    std::array<quint8, kBufSize> txFrame_{};
    std::array<quint8, kBufSize> rx_{};
    std::array<quint8, kBufSize> payload_{};
    std::array<quint8, kBufSize> discard_{};
    std::array<quint8, kWriteDataSize> writeData_{};
    QString override_;
};

// One exchange over a fake line: the request bytes on the wire, how answers are judged,
// and the answer wait.
#include "Frame.h"
#include "ComLink.h"
#include "FakeLine.h"
#include "ProcessImage.h"

#include <gtest/gtest.h>

namespace {

Bytes imageWith(std::initializer_list<std::pair<int, std::uint8_t>> bytes) {
    Bytes image(130, 0);
    for (auto [k, v] : bytes)
        image[k] = v;
    return image;
}

// A link on a fake line that answers every request with the given arrivals.
struct Rig {
    ProcessImage image;
    ComLink link{image};
    FakeLine* line = nullptr;

    explicit Rig(FakeLine::Responder responder) {
        auto fake = std::make_unique<FakeLine>(std::move(responder));
        line = fake.get();
        link.attach(std::move(fake));
    }
    void read() { link.Trans(1, 0, 1, 0, 0, 130); }
};

FakeLine::Responder answering(Bytes answer, int afterMs = 20) {
    return [answer, afterMs](const Bytes&) { return std::vector<Arrival>{{afterMs, answer}}; };
}

TEST(Crc, CheckValueAndLowByteFirst) {
    const std::uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(frame::crc16(digits, 9), 0x4B37);
    const auto bytes = ComLink::Sum_CRC(digits, 9);
    EXPECT_EQ(bytes[0], 0x37);
    EXPECT_EQ(bytes[1], 0x4B);
    // The table agrees with the bitwise definition on every single byte value.
    for (int b = 0; b < 256; ++b) {
        const std::uint8_t one = static_cast<std::uint8_t>(b);
        ASSERT_EQ(frame::crc16(&one, 1), referenceCrc({one})) << b;
    }
}

Bytes withPayload(const Bytes& payload) {
    return stuffed(payload, referenceCrc(payload));
}

Bytes readPayload(int dataBytes) {
    Bytes p(std::size_t(3 + dataBytes), 0x42);
    p[0] = 0x00;
    p[1] = 0x01;
    p[2] = 0x81;
    return p;
}

const Bytes kSilent = {};
const Bytes kAnyRequest = {};
const Bytes kNoData = {};

// One exchange: the request sent, the bytes that come back, and the outcome.
struct FrameCase {
    const char* name;
    quint8 func, lo;
    quint16 count;
    Bytes writeData;
    Bytes expectedRequest; // empty: not checked
    Bytes answer;          // empty: the controller stays silent
    unsigned result;
    bool stored; // the answer reached the process image
};

TEST(Frames, RequestsAnswersAndResults) {
    const Bytes image = [] {
        Bytes b(130, 0);
        b[15] = 0x55;
        return b;
    }();
    Bytes badCrc = readAnswer(image);
    badCrc[badCrc.size() - 1] ^= 0x01;
    Bytes noEtx = readAnswer(image);
    noEtx[noEtx.size() - 3] = 0x04;
    Bytes noStx = readAnswer(image);
    noStx[1] = 0x05;
    Bytes wrongAddress = readPayload(130);
    wrongAddress[0] = 0x02;
    Bytes wrongFunction = readPayload(130);
    wrongFunction[2] = 0x83;
    const Bytes block1Payload = {1, 0, 2, 130, 0, 7, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01};
    const Bytes block2Payload = {1, 0, 2, 137, 0, 13, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};

    const FrameCase cases[] = {
        {"read request, good answer",
         1,
         0,
         130,
         kNoData,
         {0x10, 0x02, 0x01, 0x00, 0x01, 0x00, 0x00, 0x82, 0x10, 0x03, 0x80, 0x57},
         readAnswer(image),
         0,
         true},
        // A setpoint of 16 kg: its 0x10 goes out doubled but enters the CRC once.
        {"payload DLE doubled",
         2,
         130,
         7,
         {0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01},
         withPayload(block1Payload),
         writeAnswer(0),
         0,
         false},
        // 17 kg gives the CRC 0x1710: its low byte 0x10 is sent once.
        {"CRC byte 0x10 not doubled",
         2,
         130,
         7,
         {0x11, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01},
         {0x10, 0x02, 0x01, 0x00, 0x02, 0x82, 0x00, 0x07, 0x11, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01,
          0x10, 0x03, 0x10, 0x17},
         writeAnswer(0),
         0,
         false},
        {"write block 2, status 2",
         2,
         137,
         13,
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
         withPayload(block2Payload),
         writeAnswer(2),
         2,
         false},
        {"write status 0x10", 2, 130, 7, kNoData, kAnyRequest, writeAnswer(0x10), 0x10, false},
        {"132 payload bytes", 1, 0, 130, kNoData, kAnyRequest, withPayload(readPayload(129)), 6,
         false},
        {"134 payload bytes", 1, 0, 130, kNoData, kAnyRequest, withPayload(readPayload(131)), 6,
         false},
        {"fewer than 6 bytes",
         1,
         0,
         130,
         kNoData,
         kAnyRequest,
         {0x10, 0x02, 0x10, 0x03, 0xFF},
         6,
         false},
        {"nothing between DLE STX and DLE ETX",
         1,
         0,
         130,
         kNoData,
         kAnyRequest,
         {0x10, 0x02, 0x10, 0x03, 0xFF, 0xFF},
         6,
         false},
        {"CRC mismatch", 1, 0, 130, kNoData, kAnyRequest, badCrc, 6, false},
        {"no DLE ETX", 1, 0, 130, kNoData, kAnyRequest, noEtx, 6, false},
        {"no DLE STX", 1, 0, 130, kNoData, kAnyRequest, noStx, 6, false},
        {"wrong receiver address", 1, 0, 130, kNoData, kAnyRequest, withPayload(wrongAddress), 6,
         false},
        {"wrong function code", 1, 0, 130, kNoData, kAnyRequest, withPayload(wrongFunction), 6,
         false},
        {"write answer one byte too long", 2, 130, 7, kNoData, kAnyRequest,
         withPayload({0x00, 0x01, 0x82, 0x00, 0x00}), 6, false},
        // A write answer is taken whichever request was sent.
        {"write answer to a read", 1, 0, 130, kNoData, kAnyRequest, writeAnswer(0), 0, false},
        {"silent controller", 1, 0, 130, kNoData, kAnyRequest, kSilent, 5, false},
    };
    for (const auto& c : cases) {
        const Bytes answer = c.answer;
        Rig rig([answer](const Bytes&) {
            return answer.empty() ? std::vector<Arrival>{} : std::vector<Arrival>{{20, answer}};
        });
        std::copy(c.writeData.begin(), c.writeData.end(), rig.link.writeData().begin());
        rig.link.Trans(1, 0, c.func, c.lo, 0, c.count);
        ASSERT_EQ(rig.line->written.size(), 1u) << c.name;
        if (!c.expectedRequest.empty()) {
            EXPECT_EQ(rig.line->written[0], c.expectedRequest) << c.name;
        }
        EXPECT_EQ(rig.link.result(), c.result) << c.name;
        EXPECT_EQ(rig.image.hasFirstAnswer(), c.stored) << c.name;
        EXPECT_EQ(rig.image.snapshot().byte(15), c.stored ? 0x55 : 0) << c.name;
    }
}

TEST(Answer, MalformedAnswerLeavesEarlierImage) {
    int n = 0;
    Rig rig([&n](const Bytes&) {
        Bytes a = readAnswer(imageWith({{15, static_cast<std::uint8_t>(n == 0 ? 7 : 9)}}));
        if (n++ > 0)
            a[5] ^= 0xFF; // corrupted in transit
        return std::vector<Arrival>{{20, a}};
    });
    rig.read();
    ASSERT_EQ(rig.link.result(), 0u);
    rig.read();
    EXPECT_EQ(rig.link.result(), 6u);
    EXPECT_EQ(rig.image.snapshot().byte(15), 7);
}

TEST(Answer, DleInDataAndCrcIsReadBack) {
    // Find an image whose answer CRC holds a 0x10 byte, with 0x10 bytes in the data too.
    Bytes image = imageWith({{0, 0x10}, {20, 0x10}, {21, 0x10}});
    for (int v = 0; v < 256; ++v) {
        image[50] = static_cast<std::uint8_t>(v);
        Bytes p(3 + image.size());
        p[1] = 0x01;
        p[2] = 0x81;
        std::copy(image.begin(), image.end(), p.begin() + 3);
        const std::uint16_t crc = referenceCrc(p);
        if ((crc & 0xFF) == 0x10 || (crc >> 8) == 0x10)
            break;
    }
    Rig rig(answering(readAnswer(image)));
    rig.read();
    ASSERT_EQ(rig.link.result(), 0u);
    const ImageData got = rig.image.snapshot();
    EXPECT_EQ(got.byte(0), 0x10);
    EXPECT_EQ(got.word(20), 0x1010);
    EXPECT_EQ(got.byte(50), image[50]);
}

TEST(AnswerWait, SilentLineGivesFiveAfterThreeChecks) {
    Rig rig([](const Bytes&) { return std::vector<Arrival>{}; });
    for (int i = 0; i < 2; ++i) {
        rig.line->pauses.clear();
        rig.read();
        EXPECT_EQ(rig.link.result(), 5u);
        EXPECT_EQ(rig.line->pauses, (std::vector<int>{100, 100, 100}));
    }
}

TEST(AnswerWait, StopsAtFirstCheckThatSeesBytes) {
    Rig rig(answering(readAnswer(imageWith({})), 150));
    rig.read();
    EXPECT_EQ(rig.link.result(), 0u);
    EXPECT_EQ(rig.line->pauses, (std::vector<int>{100, 100}));
}

// An answer that trickles in, as on a slow line: first bytes after 15 ms, then ten bytes
// every 10 ms.
std::vector<Arrival> trickle(const Bytes& answer, int firstMs, int bytesPer10Ms) {
    std::vector<Arrival> out;
    int t = firstMs;
    for (std::size_t i = 0; i < answer.size(); i += bytesPer10Ms, t += 10)
        out.push_back({t, Bytes(answer.begin() + i,
                                answer.begin() + std::min(answer.size(), i + bytesPer10Ms))});
    return out;
}

TEST(AnswerWait, SlowLineAnswerIsReadToItsEnd) {
    // 9600 bit/s: a 139-byte read answer takes some 145 ms on the line.
    const Bytes answer = readAnswer(imageWith({{15, 0xF6}, {16, 0xFF}}));
    Rig rig([&](const Bytes&) { return trickle(answer, 15, 10); });
    rig.read();
    EXPECT_EQ(rig.link.result(), 0u);
    EXPECT_EQ(rig.link.waitingCount(), static_cast<int>(answer.size()));
    EXPECT_EQ(rig.image.snapshot().sword(15), -10);
}

TEST(AnswerWait, AnswerStillArrivingAt300MsIsCutAndLinkRecovers) {
    // The first exchange's answer needs 350 ms: cut (6). Its tail then spoils the second
    // exchange (6); the third is good again.
    const Bytes answer = readAnswer(imageWith({{14, 3}}));
    int n = 0;
    Rig rig([&](const Bytes&) {
        return n++ == 0 ? trickle(answer, 210, 10) : std::vector<Arrival>{{20, answer}};
    });
    rig.read();
    EXPECT_EQ(rig.link.result(), 6u);
    EXPECT_LT(rig.link.waitingCount(), static_cast<int>(answer.size()));
    rig.line->pause(500); // the pause between cycles: the tail arrives meanwhile
    rig.read();
    EXPECT_EQ(rig.link.result(), 6u);
    EXPECT_FALSE(rig.image.hasFirstAnswer());
    rig.read();
    EXPECT_EQ(rig.link.result(), 0u);
    EXPECT_EQ(rig.image.snapshot().byte(14), 3);
}

TEST(AnswerWait, LateAnswerIsDroppedWithTheNextAndThenRecovers) {
    const Bytes answer = readAnswer(imageWith({{14, 4}}));
    int n = 0;
    Rig rig([&](const Bytes&) { return std::vector<Arrival>{{n++ == 0 ? 400 : 20, answer}}; });
    rig.read();
    EXPECT_EQ(rig.link.result(), 5u);
    rig.line->pause(500);
    rig.read(); // the late answer and this one's answer together
    EXPECT_EQ(rig.link.result(), 6u);
    rig.read();
    EXPECT_EQ(rig.link.result(), 0u);
}

TEST(AnswerWait, GarbageBeforeAnswerFailsAndNextRecovers) {
    const Bytes answer = readAnswer(imageWith({}));
    int n = 0;
    Rig rig([&](const Bytes&) {
        Bytes a = n++ == 0 ? Bytes{0x55, 0xAA, 0x10, 0x03} : Bytes{};
        a.insert(a.end(), answer.begin(), answer.end());
        return std::vector<Arrival>{{20, a}};
    });
    rig.read();
    EXPECT_EQ(rig.link.result(), 6u);
    rig.read();
    EXPECT_EQ(rig.link.result(), 0u);
}

TEST(AnswerWait, ShortWriteGivesFiveAndDropsTheAnswer) {
    Rig rig(answering(readAnswer(imageWith({{14, 5}}))));
    rig.line->limitWrite(5);
    rig.read();
    EXPECT_EQ(rig.link.result(), 5u);
    EXPECT_FALSE(rig.image.hasFirstAnswer());
    EXPECT_EQ(rig.line->waiting(), 0);
}

TEST(AnswerWait, OversizeFloodIsCutAtTheBuffer) {
    Rig rig(answering(Bytes(600, 0x10)));
    rig.read();
    EXPECT_EQ(rig.link.result(), 6u);
    EXPECT_EQ(rig.link.waitingCount(), ComLink::kBufSize);
}

TEST(Port, NoPortHandleGivesFiveWithoutWaiting) {
    ProcessImage image;
    ComLink link(image);
    link.Trans(1, 0, 1, 0, 0, 130);
    EXPECT_EQ(link.result(), 5u);
    EXPECT_FALSE(link.portOpen());
}

TEST(Port, DevicePathFollowsPortNumberOrOverride) {
    ProcessImage image;
    ComLink link(image);
    EXPECT_EQ(link.devicePath(1), "/dev/ttyS0");
    EXPECT_EQ(link.devicePath(4), "/dev/ttyS3");
    link.setDeviceOverride("/dev/ttyUSB0");
    EXPECT_EQ(link.devicePath(3), "/dev/ttyUSB0");
}

TEST(Port, FailedOpenGivesErrorTextAndPortClosed) {
    ProcessImage image;
    ComLink link(image);
    link.setDeviceOverride("/nonexistent/korvel-line");
    EXPECT_EQ(link.Initial(1, 115200), QString::fromUtf8("Ошибка COM-порта -1"));
    EXPECT_FALSE(link.portOpen());
}

} // namespace

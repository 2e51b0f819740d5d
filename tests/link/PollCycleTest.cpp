// Link supervision of the poll cycle, driven one cycle at a time over a fake line.
#include "ComLink.h"
#include "ComThread.h"
#include "FakeLine.h"
#include "ProcessImage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const QString kGood = QString::fromUtf8("Связь с ШВУ установлена");
const QString kBad = QString::fromUtf8("Сбой связи с ШВУ");

// Everything the cycle sends to the windows, in order, as short text lines.
struct Recorder {
    std::vector<std::string> all;
    std::vector<std::string> events;
    std::vector<int> icons;

    explicit Recorder(TComThread& t) {
        QObject::connect(&t, &TComThread::statusChanged, [this](QString text, QRgb c) {
            all.push_back("status " + text.toStdString() + " " + hex(c));
        });
        QObject::connect(&t, &TComThread::iconChanged, [this](int icon) {
            icons.push_back(icon);
            all.push_back("icon " + std::to_string(icon));
        });
        QObject::connect(&t, &TComThread::stopColour,
                         [this](QRgb c) { all.push_back("stop " + hex(c)); });
        QObject::connect(&t, &TComThread::attentionColour,
                         [this](QRgb c) { all.push_back("attention " + hex(c)); });
        QObject::connect(&t, &TComThread::linkEvent, [this](QString text, QRgb c) {
            events.push_back(text.toStdString() + " " + hex(c));
            all.push_back("event " + events.back());
        });
    }
    static std::string hex(QRgb c) { return QString::number(c & 0xFFFFFF, 16).toStdString(); }
};

// A controller script: one letter per cycle, G good answer, S silent, M malformed.
struct Plant {
    std::string script;
    std::size_t next = 0;
    Bytes image = Bytes(130, 0);

    FakeLine::Responder responder() {
        return [this](const Bytes&) {
            const char c = next < script.size() ? script[next] : 'G';
            ++next;
            if (c == 'S')
                return std::vector<Arrival>{};
            Bytes a = readAnswer(image);
            if (c == 'M')
                a[4] ^= 0x40;
            return std::vector<Arrival>{{20, a}};
        };
    }
};

struct Rig {
    Plant plant;
    ProcessImage image;
    ComLink link{image};
    FakeLine* line = nullptr;
    TComThread thread{link, image};
    Recorder rec{thread};

    explicit Rig(std::string script, bool open = true) {
        plant.script = std::move(script);
        if (open) {
            auto fake = std::make_unique<FakeLine>(plant.responder());
            line = fake.get();
            link.attach(std::move(fake));
        }
    }
    void cycles(int n) {
        for (int i = 0; i < n; ++i)
            thread.pollCycle();
    }
};

const std::string kBadEvent = kBad.toStdString() + " ff0000";
const std::string kGoodEvent = kGood.toStdString() + " ff";

TEST(Supervision, EventLinesForFailureSequences) {
    struct Case {
        const char* script;
        std::vector<std::string> events;
        int failures;
        int state;
    };
    const Case cases[] = {
        // Silent from the start: one red line at the fourth cycle, nothing more after.
        {"SSSSSSSS", {kBadEvent}, 4, TComThread::Lost},
        {"SSS", {}, 3, TComThread::Unknown},
        // The first good answer is reported even though the link was never lost.
        {"G", {kGoodEvent}, 0, TComThread::Good},
        // Three failures and a good answer change nothing the operator sees.
        {"GSSSG", {kGoodEvent}, 0, TComThread::Good},
        {"GMSMG", {kGoodEvent}, 0, TComThread::Good},
        // Lost after the fourth failure, restored by one good answer.
        {"GSSSSG", {kGoodEvent, kBadEvent, kGoodEvent}, 0, TComThread::Good},
        {"GMMMMMMG", {kGoodEvent, kBadEvent, kGoodEvent}, 0, TComThread::Good},
        {"SSSSGSSSS", {kBadEvent, kGoodEvent, kBadEvent}, 4, TComThread::Lost},
    };
    for (const auto& c : cases) {
        const std::string script = c.script;
        Rig rig(script);
        rig.cycles(static_cast<int>(script.size()));
        EXPECT_EQ(rig.rec.events, c.events) << script;
        EXPECT_EQ(rig.thread.failureCount(), c.failures) << script;
        EXPECT_EQ(rig.thread.linkState(), c.state) << script;
    }
}

TEST(Supervision, LostDisplayBlinksAndStaysRed) {
    Rig rig("GSSSSSS");
    rig.cycles(7);
    // Good icon steady, then from the fourth failure icon 3 and 2 alternate.
    EXPECT_EQ(rig.rec.icons, (std::vector<int>{2, 3, 2, 3}));
    const std::vector<std::string> tail(rig.rec.all.end() - 2, rig.rec.all.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{"status " + kBad.toStdString() + " ff0000", "icon 3"}));
}

TEST(Supervision, GoodCycleOrderAndColours) {
    Rig rig("GSG");
    std::vector<std::string> steps;
    rig.thread.setGoodAnswerSteps([&] { steps.push_back("VerifyAlarms"); },
                                  [&] { steps.push_back("CompleteDoza"); },
                                  [&] { steps.push_back("Arhive"); });
    rig.plant.image[76] = 0x80;
    rig.plant.image[88] = 0x01;
    rig.cycles(1);
    EXPECT_EQ(steps, (std::vector<std::string>{"VerifyAlarms", "CompleteDoza", "Arhive"}));
    EXPECT_EQ(rig.rec.all, (std::vector<std::string>{"stop ff0000", "attention ff0000",
                                                     "status " + kGood.toStdString() + " 363670",
                                                     "icon 2", "event " + kGoodEvent}));
    // A failed exchange runs no step and leaves the colours alone.
    rig.rec.all.clear();
    steps.clear();
    rig.cycles(1);
    EXPECT_TRUE(steps.empty());
    EXPECT_TRUE(rig.rec.all.empty());
    // Grey again only after a good answer with both stop bits and byte 88 clear.
    rig.plant.image[76] = 0x7F;
    rig.plant.image[25] = 0x7F;
    rig.plant.image[88] = 0x00;
    rig.cycles(1);
    EXPECT_EQ(rig.rec.all[0], "stop dfdfde");
    EXPECT_EQ(rig.rec.all[1], "attention dfdfde");
    EXPECT_EQ(rig.image.snapshot().byte(76), 0x7F);
}

TEST(Supervision, PortThatFailedToOpenSendsAndShowsNothing) {
    Rig rig("", /*open=*/false);
    rig.cycles(6);
    EXPECT_TRUE(rig.rec.all.empty());
    EXPECT_EQ(rig.thread.failureCount(), 0);
    EXPECT_EQ(rig.thread.linkState(), TComThread::Unknown);
}

TEST(Supervision, ThrowingStepIsReportedOnceAndCycleGoesOn) {
    Rig rig("GGGG");
    int arhive = 0;
    bool fail = true;
    QStringList failures;
    QObject::connect(&rig.thread, &TComThread::stepFailed,
                     [&](QString step, QString reason) { failures << step + ": " + reason; });
    rig.thread.setGoodAnswerSteps(
        [&] {
            if (fail)
                throw std::runtime_error("table locked");
        },
        [] {}, [&] { ++arhive; });
    rig.cycles(3);
    fail = false;
    rig.cycles(1);
    fail = true;
    rig.cycles(1);
    EXPECT_EQ(arhive, 5);
    EXPECT_EQ(failures, (QStringList{"VerifyAlarms: table locked", "VerifyAlarms: table locked"}));
    EXPECT_EQ(rig.rec.events, (std::vector<std::string>{kGoodEvent}));
}

} // namespace

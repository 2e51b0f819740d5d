// Alarm states: come, acknowledge and clear in every order, the link loss, the texts of the
// moment, the horn, and the evaluation keeping the states as it reports.
#include "AlarmStates.h"
#include "AlarmEvaluator.h"
#include "MainTexts.h"
#include "ProcessImage.h"

#include <gtest/gtest.h>

namespace {

using S = AlarmState;
constexpr S kNormal = S::Normal;
constexpr S kActive = S::ActiveUnacknowledged;
constexpr S kAcked = S::ActiveAcknowledged;
constexpr S kCleared = S::ClearedUnacknowledged;

enum class Step { Come, Clear, Ack };

struct Case {
    const char* name;
    int id;
    std::vector<std::pair<Step, S>> steps; // each step and the state after it
};

QDateTime at(int second) {
    return QDateTime(QDate(2010, 1, 5), QTime(10, 0, second));
}

TEST(AlarmStates, EveryPathThroughTheStates) {
    const Case cases[] = {
        {"come, ack, clear",
         7,
         {{Step::Come, kActive}, {Step::Ack, kAcked}, {Step::Clear, kNormal}}},
        {"come, clear, ack",
         7,
         {{Step::Come, kActive}, {Step::Clear, kCleared}, {Step::Ack, kNormal}}},
        {"come, clear, come again before ack",
         12,
         {{Step::Come, kActive},
          {Step::Clear, kCleared},
          {Step::Come, kActive},
          {Step::Ack, kAcked},
          {Step::Clear, kNormal}}},
        {"link loss",
         AlarmStates::kLinkLoss,
         {{Step::Come, kActive},
          {Step::Clear, kCleared},
          {Step::Come, kActive},
          {Step::Ack, kAcked},
          {Step::Clear, kNormal}}},
        {"ack and clear of a normal alarm change nothing",
         3,
         {{Step::Ack, kNormal}, {Step::Clear, kNormal}}},
        {"an active alarm coming again stays as it is",
         3,
         {{Step::Come, kActive}, {Step::Ack, kAcked}, {Step::Come, kAcked}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AlarmStates states;
        int second = 0;
        QDateTime lastCame;
        for (const auto& [step, expected] : c.steps) {
            const QDateTime t = at(++second);
            switch (step) {
            case Step::Come:
                if (states.entry(c.id).state != kActive && states.entry(c.id).state != kAcked)
                    lastCame = t;
                states.came(c.id, t);
                break;
            case Step::Clear:
                states.went(c.id, t);
                break;
            case Step::Ack:
                states.acknowledge(c.id, t, "оператор");
                break;
            }
            const AlarmEntry e = states.entry(c.id);
            EXPECT_EQ(e.state, expected) << "after step " << second;
            EXPECT_EQ(e.came, lastCame) << "after step " << second;
            if (step == Step::Clear && expected != kNormal) {
                EXPECT_EQ(e.cleared, t);
            }
            if (step == Step::Ack && expected != kNormal) {
                EXPECT_EQ(e.acknowledgedAt, t);
                EXPECT_EQ(e.acknowledgedBy, "оператор");
            }
            EXPECT_EQ(states.anyUnacknowledged(), expected == kActive || expected == kCleared);
            EXPECT_EQ(states.list().size(), expected == kNormal ? 0u : 1u);
        }
    }
}

TEST(AlarmStates, ListIsNewestFirstAndAcknowledgeAllTakesEveryUnacknowledgedOne) {
    AlarmStates states;
    states.came(0, at(1));
    states.came(40, at(2));
    states.came(AlarmStates::kLinkLoss, at(3));
    states.went(40, at(4));
    states.acknowledge(0, at(5), "оператор");
    const auto list = states.list();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].id, AlarmStates::kLinkLoss);
    EXPECT_EQ(list[1].id, 40);
    EXPECT_EQ(list[2].id, 0);
    EXPECT_EQ(states.acknowledgeAll(at(6), "оператор"),
              (std::vector<int>{AlarmStates::kLinkLoss, 40}));
    EXPECT_FALSE(states.anyUnacknowledged());
    ASSERT_EQ(states.list().size(), 2u); // the cleared one left; two active acknowledged stay
    EXPECT_EQ(states.acknowledgeAll(at(7), "оператор"), std::vector<int>{});
}

TEST(AlarmStates, TextsAreThoseOfTheMomentAndTheStatesSurviveALanguageSwitch) {
    AlarmStates states;
    states.came(7, at(1));
    MainTexts russian = MainTexts::defaults();
    MainTexts other = russian;
    other.avrZatDoz = "Gate fault of doser";
    other.lngRKO1 = "S-1";
    other.lngSviazBad = "Link lost";
    EXPECT_EQ(AlarmStates::text(7, russian), "Авария затвора дозатора 4 РКО-1");
    EXPECT_EQ(AlarmStates::text(7, other), "Gate fault of doser 4 S-1");
    EXPECT_EQ(AlarmStates::text(AlarmStates::kLinkLoss, other), "Link lost");
    EXPECT_EQ(states.entry(7).state, kActive);
}

TEST(HornLogic, SoundsUntilAcknowledgedOrSilencedAndAgainForTheNextAlarm) {
    AlarmStates states;
    HornLogic horn(states);
    EXPECT_FALSE(horn.sounding());
    states.came(1, at(1));
    EXPECT_TRUE(horn.sounding());
    horn.silence();
    EXPECT_FALSE(horn.sounding());
    EXPECT_TRUE(states.anyUnacknowledged()); // silencing acknowledges nothing
    states.came(2, at(2));
    EXPECT_TRUE(horn.sounding());
    states.acknowledgeAll(at(3), "оператор");
    EXPECT_FALSE(horn.sounding());
    states.came(3, at(4));
    horn.setEnabled(false);
    EXPECT_FALSE(horn.sounding());
    horn.setEnabled(true);
    EXPECT_TRUE(horn.sounding());
}

TEST(AlarmStates, TheEvaluationKeepsThemAsItReports) {
    AlarmStates states;
    AlarmEvaluator evaluator;
    evaluator.setStates(&states);
    const MainTexts texts = MainTexts::defaults();
    int messages = 0;
    auto report = [&](const QString&, QRgb) { ++messages; };
    ImageData image;
    image.b[24] = 0x80; // set at the first good answer: an alarm like any other
    image.b[83] = 0x01;
    evaluator.VerifyAlarms(image, texts, report);
    EXPECT_EQ(states.entry(7).state, kActive);  // byte 24 bit 7
    EXPECT_EQ(states.entry(43).state, kActive); // byte 83 bit 0
    image.b[24] = 0;
    evaluator.VerifyAlarms(image, texts, report);
    EXPECT_EQ(states.entry(7).state, kCleared);
    image.b[25] = 0x80; // a stop signal: no message, no alarm
    evaluator.VerifyAlarms(image, texts, report);
    EXPECT_EQ(messages, 3);
    EXPECT_EQ(states.list().size(), 2u);
    EXPECT_EQ(AlarmStates::text(43, texts), "Авария механизма подъемника скипового");
}

} // namespace

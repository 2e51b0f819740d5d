#include "AlarmEvaluator.h"

#include "AlarmStates.h"
#include "MainTexts.h"
#include "ProcessImage.h"

namespace {

enum class Form : std::uint8_t {
    Doser,   // text, " ", doser digit, " ", section name
    Section, // text, " ", section name
    Group,   // text, the section's doser list, section name
    Plain,   // the text alone
    Stop,    // the stop panel's text
};

enum class Sect : std::uint8_t { None, S1, S2 };

struct AlarmBit {
    std::uint8_t statusIndex; // index into kStatusBytes
    std::uint8_t bit;
    Form form;
    QString MainTexts::*text;
    char doser; // the doser digit of the doser form
    Sect section;
};

using M = MainTexts;
constexpr Form D = Form::Doser;
constexpr Form S = Form::Section;
constexpr Form G = Form::Group;
constexpr Form P = Form::Plain;

// Every evaluated bit, in the order messages are handed on: status bytes 24, 25, 73, 74, 75,
// 76, 83, 84 and, within a byte, bit 0 first. Bits missing here raise nothing: the two
// sections' stop signals (byte 25 bit 7, byte 76 bit 7) only colour the stop panel.
constexpr AlarmBit kBits[] = {
    // byte 24: dosers 1 and 4 of section 1
    {0, 0, D, &M::avrTenzo, '1', Sect::S1},
    {0, 1, D, &M::avrTenzo, '4', Sect::S1},
    {0, 2, D, &M::avrPeregruz, '1', Sect::S1},
    {0, 3, D, &M::avrPeregruz, '4', Sect::S1},
    {0, 4, D, &M::avrVpDoz, '1', Sect::S1},
    {0, 5, D, &M::avrVpDoz, '4', Sect::S1},
    {0, 6, D, &M::avrZatDoz, '1', Sect::S1},
    {0, 7, D, &M::avrZatDoz, '4', Sect::S1},
    // byte 25: section 1
    {1, 0, S, &M::avrZatTel, 0, Sect::S1},
    {1, 1, S, &M::avrTel, 0, Sect::S1},
    {1, 2, S, &M::avrNapr, 0, Sect::S1},
    {1, 3, G, &M::avrKaster, 0, Sect::S1},
    {1, 4, S, &M::avrPanel, 0, Sect::S1},
    {1, 5, S, &M::avrErrUst, 0, Sect::S1},
    {1, 6, G, &M::avrNoMat, 0, Sect::S1},
    // byte 73: dosers 5, 2, 6, 3 of section 2
    {2, 0, D, &M::avrTenzo, '5', Sect::S2},
    {2, 1, D, &M::avrTenzo, '2', Sect::S2},
    {2, 2, D, &M::avrTenzo, '6', Sect::S2},
    {2, 3, D, &M::avrTenzo, '3', Sect::S2},
    {2, 4, D, &M::avrPeregruz, '5', Sect::S2},
    {2, 5, D, &M::avrPeregruz, '2', Sect::S2},
    {2, 6, D, &M::avrPeregruz, '6', Sect::S2},
    {2, 7, D, &M::avrPeregruz, '3', Sect::S2},
    // byte 74
    {3, 0, D, &M::avrVpDoz, '5', Sect::S2},
    {3, 1, D, &M::avrVpDoz, '2', Sect::S2},
    {3, 2, D, &M::avrVpDoz, '6', Sect::S2},
    {3, 3, D, &M::avrVpDoz, '3', Sect::S2},
    {3, 4, D, &M::avrZatDoz, '5', Sect::S2},
    {3, 5, D, &M::avrZatDoz, '2', Sect::S2},
    {3, 6, D, &M::avrZatDoz, '6', Sect::S2},
    {3, 7, D, &M::avrZatDoz, '3', Sect::S2},
    // byte 75: section 2's conveyors, bunkers and cart
    {4, 0, S, &M::avrZatSh, 0, Sect::S2},
    {4, 1, S, &M::avrTransp2, 0, Sect::S2},
    {4, 2, S, &M::avrVpProm, 0, Sect::S2},
    {4, 3, S, &M::avrZatTel, 0, Sect::S2},
    {4, 4, S, &M::avrTel, 0, Sect::S2},
    {4, 6, S, &M::avrUrovSh, 0, Sect::S2},
    {4, 7, S, &M::avrUrovProm, 0, Sect::S2},
    // byte 76: section 2
    {5, 2, S, &M::avrNapr, 0, Sect::S2},
    {5, 3, G, &M::avrKaster, 0, Sect::S2},
    {5, 4, S, &M::avrPanel, 0, Sect::S2},
    {5, 5, S, &M::avrErrUst, 0, Sect::S2},
    {5, 6, G, &M::avrNoMat, 0, Sect::S2},
    // byte 83: common plant
    {6, 0, P, &M::avrSkip, 0, Sect::None},
    {6, 1, P, &M::avrTranspBig, 0, Sect::None},
    {6, 2, P, &M::avrTransp1, 0, Sect::None},
    // byte 84
    {7, 2, P, &M::avrNapr, 0, Sect::None},
    {7, 5, S, &M::avrNoCon, 0, Sect::S1},
    {7, 6, S, &M::avrNoCon, 0, Sect::S2},
    {7, 7, Form::Stop, nullptr, 0, Sect::None},
};
static_assert(std::size(kBits) == AlarmEvaluator::kBitCount);

// The bits of each status byte that are evaluated, built once from the table.
constexpr std::array<std::uint8_t, 8> evaluatedMasks() {
    std::array<std::uint8_t, 8> masks{};
    for (const AlarmBit& b : kBits)
        masks[b.statusIndex] |= std::uint8_t(1u << b.bit);
    return masks;
}

const QString& sectionName(Sect s, const MainTexts& t) {
    return s == Sect::S1 ? t.lngRKO1 : t.lngRTP2;
}

QString groupList(Sect s) {
    return s == Sect::S1 ? QStringLiteral(" 1, 4 ") : QStringLiteral(" 2, 3, 5, 6 ");
}

QString alarmText(const AlarmBit& b, const MainTexts& t) {
    switch (b.form) {
    case Form::Doser:
        return t.*b.text + u' ' + QLatin1Char(b.doser) + u' ' + sectionName(b.section, t);
    case Form::Section:
        return t.*b.text + u' ' + sectionName(b.section, t);
    case Form::Group:
        return t.*b.text + groupList(b.section) + sectionName(b.section, t);
    case Form::Plain:
        return t.*b.text;
    case Form::Stop:
        return t.StopPanel;
    }
    return {};
}

QString clearingText(const AlarmBit& b, const MainTexts& t) {
    // The clearing message of section 2's "no material" alarm has always carried a comma
    // after the last doser; journals and their readers know it in that form.
    if (b.statusIndex == 5 && b.bit == 6)
        return t.avrCancel + u' ' + t.avrNoMat + QStringLiteral(" 2, 3, 5, 6, ") + t.lngRTP2;
    return t.avrCancel + u' ' + alarmText(b, t);
}

const AlarmBit* find(int imageByte, int bit) {
    for (const AlarmBit& b : kBits)
        if (AlarmEvaluator::kStatusBytes[b.statusIndex] == imageByte && b.bit == bit)
            return &b;
    return nullptr;
}

} // namespace

void AlarmEvaluator::VerifyAlarms(const ImageData& image, const MainTexts& texts,
                                  const Report& report) {
    static constexpr std::array<std::uint8_t, 8> kMasks = evaluatedMasks();
    std::array<std::uint8_t, 8> now{};
    for (std::size_t i = 0; i < now.size(); ++i)
        now[i] = image.byte(kStatusBytes[i]);

    // A quiet plant costs one comparison per status byte; the bit table is only walked for
    // bytes whose evaluated bits changed (on the first run, for bytes with evaluated bits set).
    std::array<std::uint8_t, 8> changed{};
    bool any = false;
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (!evaluated_)
            changed[i] = now[i] & kMasks[i];
        else if (now[i] != previous_[i])
            changed[i] = (now[i] ^ previous_[i]) & kMasks[i];
        any = any || changed[i] != 0;
    }
    if (any) {
        const QDateTime moment = states_ ? QDateTime::currentDateTime() : QDateTime();
        for (int index = 0; index < kBitCount; ++index) {
            const AlarmBit& b = kBits[index];
            if (!((changed[b.statusIndex] >> b.bit) & 1))
                continue;
            const bool set = (now[b.statusIndex] >> b.bit) & 1;
            // The state first: a window that shows the message finds the alarm listed.
            if (states_)
                set ? states_->came(index, moment) : states_->went(index, moment);
            if (set)
                report(alarmText(b, texts), colours::kRed);
            else
                report(clearingText(b, texts), colours::kBlack);
        }
    }
    previous_ = now;
    evaluated_ = true;
}

void AlarmEvaluator::reset() {
    previous_ = {};
    evaluated_ = false;
}

QString AlarmEvaluator::alarmMessage(int imageByte, int bit, const MainTexts& texts) {
    const AlarmBit* b = find(imageByte, bit);
    return b ? alarmText(*b, texts) : QString();
}

QString AlarmEvaluator::clearingMessage(int imageByte, int bit, const MainTexts& texts) {
    const AlarmBit* b = find(imageByte, bit);
    return b ? clearingText(*b, texts) : QString();
}

QString AlarmEvaluator::alarmMessageOf(int index, const MainTexts& texts) {
    return index >= 0 && index < kBitCount ? alarmText(kBits[index], texts) : QString();
}

bool AlarmEvaluator::isEvaluated(int imageByte, int bit) {
    return find(imageByte, bit) != nullptr;
}

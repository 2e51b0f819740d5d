#pragma once
// Turns the controller's fault bits into alarm and clearing messages: after every good read
// answer the eight status bytes are compared with those of the previous answer, and every bit
// that became set or clear is reported, byte by byte and bit 0 first.
#include "Colours.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>

class AlarmStates;
struct ImageData;
struct MainTexts;

class AlarmEvaluator {
public:
    using Report = std::function<void(const QString& text, QRgb colour)>;

    // The alarm status bytes of the image, in the order they are evaluated.
    static constexpr std::array<int, 8> kStatusBytes = {24, 25, 73, 74, 75, 76, 83, 84};
    // Number of evaluated bits over all status bytes.
    static constexpr int kBitCount = 50;

    // Evaluates one good answer. The texts are the current language's, read while each
    // message is built; messages go to report in red (alarm) or black (cleared).
    void VerifyAlarms(const ImageData& image, const MainTexts& texts, const Report& report);
    // Start-up state: previous bytes zero, the next evaluation is the first one.
    void reset();

    bool evaluatedOnce() const { return evaluated_; }
    std::uint8_t previous(int statusIndex) const { return previous_[statusIndex]; }

    // The alarm and clearing messages of one image bit; an empty text for a bit that is not
    // evaluated.
    static QString alarmMessage(int imageByte, int bit, const MainTexts& texts);
    static QString clearingMessage(int imageByte, int bit, const MainTexts& texts);
    static bool isEvaluated(int imageByte, int bit);
    // The same by the bit's place in the evaluation order (0 to kBitCount - 1).
    static QString alarmMessageOf(int index, const MainTexts& texts);

    // Alarm states to keep up to date: every bit that becomes set comes, every bit that
    // becomes clear goes, with the time of the evaluation (none: no bookkeeping).
    void setStates(AlarmStates* states) { states_ = states; }

private:
    std::array<std::uint8_t, 8> previous_{};
    bool evaluated_ = false;
    AlarmStates* states_ = nullptr;
};

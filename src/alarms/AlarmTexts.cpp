#include "AlarmTexts.h"

#include "TextSection.h"

namespace {
const QString kSection = QStringLiteral("Alarms");

const textsection::Entry<AlarmTexts> kEntries[] = {
#define KORVEL_ALARM_TEXT_ENTRY(name, russian) {#name, russian, &AlarmTexts::name},
    KORVEL_ALARM_TEXTS(KORVEL_ALARM_TEXT_ENTRY)
#undef KORVEL_ALARM_TEXT_ENTRY
};
} // namespace

AlarmTexts AlarmTexts::defaults() {
    return textsection::defaults(kEntries);
}

AlarmTexts AlarmTexts::load(const PrivateProfile& file) {
    return textsection::load(file, kSection, kEntries);
}

const char* const* AlarmTexts::keyNames(int* count) {
    return textsection::keyNames(kEntries, count);
}

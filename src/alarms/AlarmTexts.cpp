#include "AlarmTexts.h"

#include "PrivateProfile.h"

#include <array>
#include <iterator>

namespace {
const QString kSection = QStringLiteral("Alarms");

struct Entry {
    const char* key;
    const char* def;
    QString AlarmTexts::*field;
};

using A = AlarmTexts;
const Entry kEntries[] = {
    {"ActiveAlarmsForm", "Активные аварии", &A::ActiveAlarmsForm},
    {"mnuAlarms", "Активные аварии", &A::mnuAlarms},
    {"btnAlarms", "Аварии", &A::btnAlarms},
    {"btnHornOff", "Сброс звука", &A::btnHornOff},
    {"colCame", "Возникла", &A::colCame},
    {"colCleared", "Устранена", &A::colCleared},
    {"colText", "Сообщение", &A::colText},
    {"colState", "Состояние", &A::colState},
    {"stActive", "Активна", &A::stActive},
    {"stAcked", "Квитирована", &A::stAcked},
    {"stCleared", "Устранена, не квитирована", &A::stCleared},
    {"btnAck", "Квитировать", &A::btnAck},
    {"btnAckAll", "Квитировать все", &A::btnAckAll},
    {"btnClose", "Закрыть", &A::btnClose},
    {"lngAcked", "Квитировано:", &A::lngAcked},
    {"lngOperator", "оператор", &A::lngOperator},
};

} // namespace

AlarmTexts AlarmTexts::defaults() {
    AlarmTexts t;
    for (const Entry& e : kEntries)
        t.*e.field = QString::fromUtf8(e.def);
    return t;
}

AlarmTexts AlarmTexts::load(const PrivateProfile& file) {
    AlarmTexts t;
    for (const Entry& e : kEntries)
        t.*e.field = file.read(kSection, QLatin1String(e.key), QString::fromUtf8(e.def));
    return t;
}

const char* const* AlarmTexts::keyNames(int* count) {
    static const auto names = [] {
        std::array<const char*, std::size(kEntries)> n{};
        for (std::size_t i = 0; i < n.size(); ++i)
            n[i] = kEntries[i].key;
        return n;
    }();
    *count = int(names.size());
    return names.data();
}

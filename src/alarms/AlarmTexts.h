#pragma once
// The texts of alarm management, language section "Alarms": the active-alarm window, its
// command in the main window, the horn button and the acknowledgement event.
#include <QString>

class PrivateProfile;

// Every text of section Alarms once, in the order of the section: field and key name, and the
// built-in Russian text.
#define KORVEL_ALARM_TEXTS(X)                                                                      \
    X(ActiveAlarmsForm, "Активные аварии") /* window caption */                                    \
    X(mnuAlarms, "Активные аварии")        /* menu item */                                         \
    X(btnAlarms, "Аварии")                 /* tool button */                                       \
    X(btnHornOff, "Сброс звука")                                                                   \
    X(colCame, "Возникла")                                                                         \
    X(colCleared, "Устранена")                                                                     \
    X(colText, "Сообщение")                                                                        \
    X(colState, "Состояние")                                                                       \
    X(stActive, "Активна")                                                                         \
    X(stAcked, "Квитирована")                                                                      \
    X(stCleared, "Устранена, не квитирована")                                                      \
    X(btnAck, "Квитировать")                                                                       \
    X(btnAckAll, "Квитировать все")                                                                \
    X(btnClose, "Закрыть")                                                                         \
    /* a blank and the alarm text follow: event line and journal record */                         \
    X(lngAcked, "Квитировано:")                                                                    \
    /* who acknowledges while the station has no log-in */                                         \
    X(lngOperator, "оператор")

struct AlarmTexts {
#define KORVEL_ALARM_TEXT_FIELD(name, russian) QString name;
    KORVEL_ALARM_TEXTS(KORVEL_ALARM_TEXT_FIELD)
#undef KORVEL_ALARM_TEXT_FIELD

    static AlarmTexts defaults();
    static AlarmTexts load(const PrivateProfile& file);
    // Key names in the order of the section.
    static const char* const* keyNames(int* count);
};

#pragma once
// The texts of alarm management, language section "Alarms": the active-alarm window, its
// command in the main window, the horn button and the acknowledgement event.
#include <QString>

class PrivateProfile;

struct AlarmTexts {
    QString ActiveAlarmsForm; // window caption
    QString mnuAlarms;        // menu item
    QString btnAlarms;        // tool button
    QString btnHornOff;       // "Сброс звука"
    QString colCame;
    QString colCleared;
    QString colText;
    QString colState;
    QString stActive;
    QString stAcked;
    QString stCleared;
    QString btnAck;
    QString btnAckAll;
    QString btnClose;
    QString lngAcked; // "Квитировано:", a blank and the alarm text: event line and journal record
    QString lngOperator; // who acknowledges while the station has no log-in

    static AlarmTexts defaults();
    static AlarmTexts load(const PrivateProfile& file);
    // Key names in the order of the section.
    static const char* const* keyNames(int* count);
};

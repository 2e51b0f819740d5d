#pragma once
// One doser's curves over one day, read from the day's weight archive: per record (in
// record order) the set dose, the corrected setpoint, the current weight and the time text.
#include <QByteArray>
#include <QList>
#include <QString>

struct HistoryDay {
    int doser = 0;
    QList<double> keys; // the record ordinals 0, 1, 2, ...
    QList<double> zad;  // ZADn, set dose
    QList<double> kor;  // KORn, corrected setpoint
    QList<double> ves;  // VESn, current weight
    QByteArray times;   // the TIME fields as stored, timeWidth bytes per point
    int timeWidth = 0;

    int size() const { return static_cast<int>(keys.size()); }
    // The TIME text of point i (decoded, trailing blanks removed).
    QString timeLabel(int i) const;
};

// Reads doser n's (1 to 6) fields TIME, ZADn, KORn and VESn from an archive table; records
// marked deleted are skipped. Returns false with a clear *error when the file is missing, is
// not a table or lacks one of the fields.
bool loadHistoryDay(const QString& path, int doser, HistoryDay* day, QString* error);

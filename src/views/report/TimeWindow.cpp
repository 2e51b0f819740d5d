#include "TimeWindow.h"

#include <QStringList>

void TimeWindow::setEnd(int hour, int minute) {
    if (hour >= 24) {
        toHour = 23;
        toMinute = 59;
        toSecond = 59;
    } else {
        toHour = hour;
        toMinute = minute;
        toSecond = 0;
    }
}

int TimeWindow::secondsOf(const QString& time) {
    const QStringList parts = time.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 3)
        return -1;
    int v[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const QString& p = parts[i];
        if (p.isEmpty() || p.size() > 2)
            return -1;
        for (QChar c : p) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return -1;
        }
        v[i] = p.toInt(&ok);
        if (!ok)
            return -1;
    }
    if (v[0] > 23 || v[1] > 59 || v[2] > 59)
        return -1;
    return v[0] * 3600 + v[1] * 60 + v[2];
}

bool TimeWindow::accepts(const QString& time) const {
    const int t = secondsOf(time);
    if (t < 0)
        return false;
    const int from = fromHour * 3600 + fromMinute * 60;
    const int to = toHour * 3600 + toMinute * 60 + toSecond;
    return from <= t && t <= to;
}

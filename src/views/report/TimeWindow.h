#pragma once
// The time window of the record filters (dosing protocol and shift report): a record passes
// when from-hour:from-minute:00 <= TIME <= to-hour:to-minute:to-second, both ends included.
#include <QString>

struct TimeWindow {
    int fromHour = 0;
    int fromMinute = 0;
    int toHour = 23;
    int toMinute = 59;
    int toSecond = 59;

    static TimeWindow wholeDay() { return {}; }
    static TimeWindow of(int fh, int fm, int th, int tm, int ts) { return {fh, fm, th, tm, ts}; }

    // The window's end from the to-hour and to-minute spin fields: an hour of 24 ends the
    // window at 23:59:59 whatever the minute shows; otherwise it ends at hour:minute:00.
    void setEnd(int hour, int minute);
    // A TIME text (HH:mm:ss, or H:mm:ss) that is not a time of day never passes.
    bool accepts(const QString& time) const;

    // Seconds since midnight of a TIME text, or -1.
    static int secondsOf(const QString& time);
};

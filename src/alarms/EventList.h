#pragma once
// The event list of the main window as a list model: at most 30 lines, newest first, each the
// date, the time and the event text, with a flag that marks alarms (reported in red).
#include "Colours.h"

#include <QAbstractListModel>
#include <QDateTime>
#include <QLocale>
#include <deque>

// Model role holding an entry's alarm flag (bool).
constexpr int kAlarmRole = Qt::UserRole;

struct EventEntry {
    QString text; // date, two blanks, time, two blanks, event text
    bool alarm = false;
};

class EventList : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int kCapacity = 30;

    // Date and time are shown in the locale's short date and long time formats.
    explicit EventList(QObject* parent = nullptr, const QLocale& locale = QLocale::system());

    // Puts a new line on top, dropping the oldest when the list is full; returns the line.
    const EventEntry& add(const QString& text, QRgb colour, const QDateTime& when);
    void clear();
    int size() const { return int(entries_.size()); }
    const EventEntry& at(int i) const { return entries_[std::size_t(i)]; }

    // The shown line of an event: date, "  ", time, "  ", text.
    QString lineText(const QString& text, const QDateTime& when) const;
    // Journal code of an event reported in the given colour: 1 for red, else 0.
    static int journalCode(QRgb colour) { return colours::journalCode(colour); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QLocale locale_;
    QString dateFormat_;
    QString timeFormat_;
    std::deque<EventEntry> entries_;
};

#include "EventList.h"

#include "DateText.h"

namespace {
// The long time format without its time-zone name: the station shows local wall time, as
// "14:05:09", and a zone name would only crowd the line.
QString withoutZone(const QString& format) {
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        out += c;
    }
    return out.simplified();
}
} // namespace

EventList::EventList(QObject* parent, const QLocale& locale)
    : QAbstractListModel(parent), locale_(locale), dateFormat_(stationDateFormat(locale)),
      timeFormat_(withoutZone(locale.timeFormat(QLocale::LongFormat))) {}

QString EventList::lineText(const QString& text, const QDateTime& when) const {
    return locale_.toString(when.date(), dateFormat_) + QStringLiteral("  ") +
           locale_.toString(when.time(), timeFormat_) + QStringLiteral("  ") + text;
}

const EventEntry& EventList::add(const QString& text, QRgb colour, const QDateTime& when) {
    if (size() >= kCapacity) {
        const int last = size() - 1;
        beginRemoveRows(QModelIndex(), kCapacity - 1, last);
        entries_.erase(entries_.begin() + (kCapacity - 1), entries_.end());
        endRemoveRows();
    }
    beginInsertRows(QModelIndex(), 0, 0);
    entries_.push_front(EventEntry{lineText(text, when), colours::isAlarm(colour)});
    endInsertRows();
    return entries_.front();
}

void EventList::clear() {
    beginResetModel();
    entries_.clear();
    endResetModel();
}

int EventList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : size();
}

QVariant EventList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= size())
        return {};
    const EventEntry& e = at(index.row());
    if (role == Qt::DisplayRole)
        return e.text;
    if (role == kAlarmRole)
        return e.alarm;
    return {};
}

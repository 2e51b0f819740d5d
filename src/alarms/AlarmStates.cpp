#include "AlarmStates.h"

#include "AlarmEvaluator.h"
#include "MainTexts.h"

#include <algorithm>

AlarmStates::AlarmStates() {
    for (int i = 0; i < kCount; ++i)
        entries_[std::size_t(i)].id = i;
}

void AlarmStates::came(int id, const QDateTime& when) {
    if (id < 0 || id >= kCount)
        return;
    std::lock_guard lock(mutex_);
    AlarmEntry& e = entries_[std::size_t(id)];
    if (e.state == AlarmState::ActiveUnacknowledged || e.state == AlarmState::ActiveAcknowledged)
        return;
    // A new occurrence: from normal, or again before anyone acknowledged the last one.
    e.state = AlarmState::ActiveUnacknowledged;
    e.came = when;
    e.cleared = QDateTime();
    e.acknowledgedAt = QDateTime();
    e.acknowledgedBy.clear();
    ++arrivals_;
    ++revision_;
}

void AlarmStates::went(int id, const QDateTime& when) {
    if (id < 0 || id >= kCount)
        return;
    std::lock_guard lock(mutex_);
    AlarmEntry& e = entries_[std::size_t(id)];
    if (e.state == AlarmState::ActiveUnacknowledged) {
        e.state = AlarmState::ClearedUnacknowledged;
        e.cleared = when;
    } else if (e.state == AlarmState::ActiveAcknowledged) {
        e.state = AlarmState::Normal;
        e.cleared = when;
    } else {
        return;
    }
    ++revision_;
}

bool AlarmStates::acknowledge(int id, const QDateTime& when, const QString& who) {
    if (id < 0 || id >= kCount)
        return false;
    std::lock_guard lock(mutex_);
    AlarmEntry& e = entries_[std::size_t(id)];
    if (e.state == AlarmState::ActiveUnacknowledged)
        e.state = AlarmState::ActiveAcknowledged;
    else if (e.state == AlarmState::ClearedUnacknowledged)
        e.state = AlarmState::Normal;
    else
        return false;
    e.acknowledgedAt = when;
    e.acknowledgedBy = who;
    ++revision_;
    return true;
}

std::vector<int> AlarmStates::acknowledgeAll(const QDateTime& when, const QString& who) {
    std::vector<int> done;
    for (const AlarmEntry& e : list())
        if (e.state != AlarmState::ActiveAcknowledged && acknowledge(e.id, when, who))
            done.push_back(e.id);
    return done;
}

std::vector<AlarmEntry> AlarmStates::list() const {
    std::vector<AlarmEntry> out;
    {
        std::lock_guard lock(mutex_);
        for (const AlarmEntry& e : entries_)
            if (e.state != AlarmState::Normal)
                out.push_back(e);
    }
    std::stable_sort(out.begin(), out.end(), [](const AlarmEntry& a, const AlarmEntry& b) {
        return a.came != b.came ? a.came > b.came : a.id > b.id;
    });
    return out;
}

AlarmEntry AlarmStates::entry(int id) const {
    std::lock_guard lock(mutex_);
    return id >= 0 && id < kCount ? entries_[std::size_t(id)] : AlarmEntry{};
}

bool AlarmStates::anyUnacknowledged() const {
    std::lock_guard lock(mutex_);
    return std::any_of(entries_.begin(), entries_.end(), [](const AlarmEntry& e) {
        return e.state == AlarmState::ActiveUnacknowledged ||
               e.state == AlarmState::ClearedUnacknowledged;
    });
}

std::uint64_t AlarmStates::arrivals() const {
    std::lock_guard lock(mutex_);
    return arrivals_;
}

std::uint64_t AlarmStates::revision() const {
    std::lock_guard lock(mutex_);
    return revision_;
}

QString AlarmStates::text(int id, const MainTexts& texts) {
    if (id == kLinkLoss)
        return texts.lngSviazBad;
    return AlarmEvaluator::alarmMessageOf(id, texts);
}

#pragma once
// Alarm management on top of the evaluation: each of the fifty fault bits, and the link
// loss, is in one of four states, as control systems keep them:
//   normal → (comes) active unacknowledged → (acknowledged) active acknowledged → (clears)
//   normal; or active unacknowledged → (clears) cleared unacknowledged → (acknowledged)
//   normal, and a cleared unacknowledged alarm that comes again is active unacknowledged.
// Every alarm keeps when it came, when it cleared and who acknowledged it when. The states
// are changed by the poll thread (alarms come and go) and the window thread (operators
// acknowledge); readers get copies.
#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

struct MainTexts;

enum class AlarmState { Normal, ActiveUnacknowledged, ActiveAcknowledged, ClearedUnacknowledged };

struct AlarmEntry {
    int id = 0; // 0 to 49: the fault bits in evaluation order; kLinkLoss: the link
    AlarmState state = AlarmState::Normal;
    QDateTime came;
    QDateTime cleared; // null while active
    QDateTime acknowledgedAt;
    QString acknowledgedBy;
};

class AlarmStates {
public:
    static constexpr int kFaultBits = 50;
    static constexpr int kLinkLoss = kFaultBits;
    static constexpr int kCount = kFaultBits + 1;

    AlarmStates();

    // An alarm came (its bit became set, or the link was lost) or went.
    void came(int id, const QDateTime& when);
    void went(int id, const QDateTime& when);
    // Acknowledges one alarm; false when it needed none.
    bool acknowledge(int id, const QDateTime& when, const QString& who);
    // Acknowledges every unacknowledged alarm, newest first; returns their ids in that order.
    std::vector<int> acknowledgeAll(const QDateTime& when, const QString& who);

    // Every alarm that is not normal, newest first.
    std::vector<AlarmEntry> list() const;
    AlarmEntry entry(int id) const;
    bool anyUnacknowledged() const;
    // Counts alarms that came (for the horn: silenced until the next one).
    std::uint64_t arrivals() const;
    // Changes with every change of state (for a window to redraw only then).
    std::uint64_t revision() const;

    // The alarm's text in the texts of the moment.
    static QString text(int id, const MainTexts& texts);

private:
    mutable std::mutex mutex_;
    std::array<AlarmEntry, kCount> entries_;
    std::uint64_t arrivals_ = 0;
    std::uint64_t revision_ = 0;
};

// Whether the horn sounds: while any alarm is unacknowledged, unless the operator silenced
// it after the last alarm that came, and only when the horn is switched on.
class HornLogic {
public:
    explicit HornLogic(const AlarmStates& states) : states_(states) {}
    void setEnabled(bool on) { enabled_ = on; }
    bool enabled() const { return enabled_; }
    // "Сброс звука": quiet until the next alarm comes; nothing is acknowledged.
    void silence() { silencedAt_ = states_.arrivals(); }
    bool sounding() const {
        return enabled_ && states_.anyUnacknowledged() && states_.arrivals() != silencedAt_;
    }

private:
    const AlarmStates& states_;
    bool enabled_ = true;
    std::uint64_t silencedAt_ = 0;
};

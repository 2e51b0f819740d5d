#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace mimic {

// The values made for the last N keys that were not already held (first in, first out: a key
// asked for again is not moved forward). A key not held is made and takes the place of the
// value made longest ago, so the cache never holds more than N values however many keys pass
// through it. The mimic keeps its prepared pictures and texts in these: every half-second
// frame asks for the same few, and making them anew each frame was most of the station's
// allocations.
template <typename Key, typename Value, std::size_t N> class RecentCache {
public:
    template <typename Make> const Value& get(const Key& key, Make&& make) {
        for (const Entry& entry : entries_)
            if (entry.value && entry.key == key)
                return *entry.value;
        Entry& slot = entries_[next_];
        next_ = (next_ + 1) % N;
        slot.value.reset();
        slot.value.emplace(make());
        slot.key = key;
        return *slot.value;
    }

private:
    struct Entry {
        Key key{};
        std::optional<Value> value;
    };
    std::array<Entry, N> entries_{};
    std::size_t next_ = 0;
};

} // namespace mimic

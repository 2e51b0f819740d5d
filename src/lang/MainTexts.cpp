#include "MainTexts.h"

#include "PrivateProfile.h"

#include <array>

namespace {
const QString kSection = QStringLiteral("Main");

struct Entry {
    const char* key;
    const char* def;
    QString MainTexts::*field;
};

const Entry kEntries[] = {
#define KORVEL_MAIN_TEXT_ENTRY(name, russian) {#name, russian, &MainTexts::name},
    KORVEL_MAIN_TEXTS(KORVEL_MAIN_TEXT_ENTRY)
#undef KORVEL_MAIN_TEXT_ENTRY
};
} // namespace

MainTexts MainTexts::defaults() {
    MainTexts t;
    for (const Entry& e : kEntries)
        t.*e.field = QString::fromUtf8(e.def);
    return t;
}

MainTexts MainTexts::load(const PrivateProfile& file) {
    MainTexts t;
    for (const Entry& e : kEntries)
        t.*e.field = file.read(kSection, QLatin1String(e.key), QString::fromUtf8(e.def));
    return t;
}

const char* const* MainTexts::keyNames(int* count) {
    // One list: the names in the order of the entries.
    static const auto names = [] {
        std::array<const char*, std::size(kEntries)> n{};
        for (std::size_t i = 0; i < n.size(); ++i)
            n[i] = kEntries[i].key;
        return n;
    }();
    *count = int(names.size());
    return names.data();
}

std::mutex MainTextStore::mutex_;
std::shared_ptr<const MainTexts> MainTextStore::current_ =
    std::make_shared<const MainTexts>(MainTexts::defaults());

std::shared_ptr<const MainTexts> MainTextStore::get() {
    std::lock_guard lock(mutex_);
    return current_;
}

void MainTextStore::set(MainTexts texts) {
    auto next = std::make_shared<const MainTexts>(std::move(texts));
    std::lock_guard lock(mutex_);
    current_ = std::move(next);
}

#include "MainTexts.h"

#include "TextSection.h"

namespace {
const QString kSection = QStringLiteral("Main");

const textsection::Entry<MainTexts> kEntries[] = {
#define KORVEL_MAIN_TEXT_ENTRY(name, russian) {#name, russian, &MainTexts::name},
    KORVEL_MAIN_TEXTS(KORVEL_MAIN_TEXT_ENTRY)
#undef KORVEL_MAIN_TEXT_ENTRY
};
} // namespace

MainTexts MainTexts::defaults() {
    return textsection::defaults(kEntries);
}

MainTexts MainTexts::load(const PrivateProfile& file) {
    return textsection::load(file, kSection, kEntries);
}

const char* const* MainTexts::keyNames(int* count) {
    return textsection::keyNames(kEntries, count);
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

#pragma once
// A language section read into a struct of texts. Each entry names a key, its built-in Russian
// text and the struct's field; the struct and its entries are made from one list of the
// section's texts, so a key is written once.
#include "PrivateProfile.h"

#include <QString>
#include <array>
#include <cstddef>

namespace textsection {

template <typename Texts> struct Entry {
    const char* key;
    const char* russian;
    QString Texts::*field;
};

// The built-in Russian texts.
template <typename Texts, std::size_t N> Texts defaults(const Entry<Texts> (&entries)[N]) {
    Texts t;
    for (const Entry<Texts>& e : entries)
        t.*e.field = QString::fromUtf8(e.russian);
    return t;
}

// Reads the section in the entries' order; a missing key keeps its Russian text.
template <typename Texts, std::size_t N>
Texts load(const PrivateProfile& file, const QString& section, const Entry<Texts> (&entries)[N]) {
    Texts t;
    for (const Entry<Texts>& e : entries)
        t.*e.field = file.read(section, QLatin1String(e.key), QString::fromUtf8(e.russian));
    return t;
}

// The key names in the entries' order.
template <typename Texts, std::size_t N>
const char* const* keyNames(const Entry<Texts> (&entries)[N], int* count) {
    static const auto names = [&entries] {
        std::array<const char*, N> n{};
        for (std::size_t i = 0; i < N; ++i)
            n[i] = entries[i].key;
        return n;
    }();
    *count = int(N);
    return names.data();
}

} // namespace textsection

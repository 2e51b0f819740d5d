#pragma once
// Looks into built pages: the items of a page by their text, in reading order.
#include "ReportModel.h"

#include <QStringList>

inline QStringList pageTexts(const report::Page& page) {
    QStringList out;
    for (const report::Item& item : page.items) {
        if (!item.text.isEmpty())
            out << item.text;
    }
    return out;
}

inline QStringList reportTexts(const report::PreparedReport& r) {
    QStringList out;
    for (const report::Page& p : r.pages)
        out << pageTexts(p);
    return out;
}

inline const report::Item* findItem(const report::Page& page, const QString& text) {
    for (const report::Item& item : page.items) {
        if (item.text == text)
            return &item;
    }
    return nullptr;
}

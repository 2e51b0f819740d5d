#include "HistoryTexts.h"

#include "Language.h"

HistoryTexts HistoryTexts::load(const QString& langFilePath) {
    HistoryTexts t;
    const LangSection s(langFilePath, QStringLiteral("History"));
    struct Key {
        const char* name;
        QString HistoryTexts::*field;
    };
    static const Key keys[] = {
        {"HistoryForm", &HistoryTexts::HistoryForm},
        {"labName", &HistoryTexts::labName},
        {"btnClose", &HistoryTexts::btnClose},
        {"lngDozator", &HistoryTexts::lngDozator},
        {"btnPrint", &HistoryTexts::btnPrint},
        {"btnZoomIn", &HistoryTexts::btnZoomIn},
        {"btnZoomOut", &HistoryTexts::btnZoomOut},
        {"btnReset", &HistoryTexts::btnReset},
        {"lngSeries1", &HistoryTexts::lngSeries1},
        {"lngSeries2", &HistoryTexts::lngSeries2},
        {"lngSeries3", &HistoryTexts::lngSeries3},
        {"lngVes", &HistoryTexts::lngVes},
        {"lngKg", &HistoryTexts::lngKg},
        {"lngTime", &HistoryTexts::lngTime},
        {"lngWaitPlease", &HistoryTexts::lngWaitPlease},
    };
    for (const Key& k : keys)
        t.*k.field = s.text(QLatin1String(k.name), t.*k.field);
    return t;
}

#pragma once
// The texts of the history window (language section History), with their Russian defaults.
#include <QString>

struct HistoryTexts {
    QString HistoryForm = QStringLiteral("История");
    QString labName = QStringLiteral("История за");
    QString btnClose = QStringLiteral("Закрыть");
    QString lngDozator = QStringLiteral("Дозатор");
    QString btnPrint = QStringLiteral("Печать");
    QString btnZoomIn = QStringLiteral("Увеличить");
    QString btnZoomOut = QStringLiteral("Уменьшить");
    QString btnReset = QStringLiteral("Восстановить");
    QString lngSeries1 = QStringLiteral("Заданная доза");
    QString lngSeries2 = QStringLiteral("Скор. задание");
    QString lngSeries3 = QStringLiteral("Текущий вес");
    QString lngVes = QStringLiteral("Вес");
    QString lngKg = QStringLiteral("кг");
    QString lngTime = QStringLiteral("Время");
    QString lngWaitPlease = QStringLiteral("Подождите пожалуйста...");

    // Reads section History of the language file in its fixed order; a missing file,
    // section or key keeps the default.
    static HistoryTexts load(const QString& langFilePath);
};

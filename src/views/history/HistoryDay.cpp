#include "HistoryDay.h"

#include "Cp1251.h"
#include "DayTables.h"
#include "DbfTable.h"

QString HistoryDay::timeLabel(int i) const {
    if (i < 0 || i >= size() || timeWidth <= 0)
        return QString();
    const char* p = times.constData() + static_cast<qsizetype>(i) * timeWidth;
    qsizetype n = timeWidth;
    while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\0'))
        --n;
    return cp1251::decode(p, n);
}

bool loadHistoryDay(const QString& path, int doser, HistoryDay* day, QString* error) {
    *day = HistoryDay();
    if (doser < 1 || doser > 6) {
        if (error)
            *error = QStringLiteral("Нет дозатора с номером %1").arg(doser);
        return false;
    }
    DbfReader reader;
    if (!reader.open(path, nullptr)) {
        if (error)
            *error = views::unreadableMessage(path);
        return false;
    }
    const QByteArray n = QByteArray::number(doser);
    const int fTime = reader.fieldIndex("TIME");
    const int fZad = reader.fieldIndex(QByteArray("ZAD" + n).constData());
    const int fKor = reader.fieldIndex(QByteArray("KOR" + n).constData());
    const int fVes = reader.fieldIndex(QByteArray("VES" + n).constData());
    const std::pair<int, QByteArray> needed[] = {
        {fTime, "TIME"}, {fZad, "ZAD" + n}, {fKor, "KOR" + n}, {fVes, "VES" + n}};
    for (const auto& [index, field] : needed) {
        if (index < 0) {
            if (error)
                *error = views::missingFieldMessage(path, QString::fromLatin1(field));
            return false;
        }
    }
    const int count = reader.recordCount();
    day->doser = doser;
    day->timeWidth = reader.fields()[fTime].width;
    day->keys.reserve(count);
    day->zad.reserve(count);
    day->kor.reserve(count);
    day->ves.reserve(count);
    day->times.reserve(static_cast<qsizetype>(count) * day->timeWidth);
    for (int r = 0; r < count; ++r) {
        if (reader.deleted(r))
            continue;
        day->keys.append(day->keys.size());
        day->zad.append(static_cast<double>(reader.number(r, fZad)));
        day->kor.append(static_cast<double>(reader.number(r, fKor)));
        day->ves.append(static_cast<double>(reader.number(r, fVes)));
        const QByteArrayView t = reader.raw(r, fTime);
        day->times.append(t.data(), t.size());
        if (t.size() < day->timeWidth)
            day->times.append(day->timeWidth - t.size(), ' ');
    }
    return true;
}

#include "DailyTables.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace daily {

QString fileName(const QString& workDir, const QString& prefix, const QDate& date) {
    return QStringLiteral("%1/%2%3_%4_%5.dbf")
        .arg(workDir, prefix)
        .arg(date.year())
        .arg(date.month(), 2, 10, QChar('0'))
        .arg(date.day(), 2, 10, QChar('0'));
}

const std::vector<DbfField>& dosingFields() {
    static const std::vector<DbfField> fields = {
        {"TIME", 'C', 8},    {"DAT", 'D', 8},     {"HOUR", 'N', 9},
        {"MIN", 'N', 9},     {"DOZATOR", 'C', 5}, {"SKOR_ZAD", 'N', 9},
        {"COD_MAT", 'C', 5}, {"VES", 'N', 9},     {"REG_DOZ", 'C', 15},
    };
    return fields;
}

const std::vector<DbfField>& journalFields() {
    static const std::vector<DbfField> fields = {
        {"TIME", 'C', 8},
        {"DAT", 'D', 8},
        {"REC_STR", 'C', 90},
        {"CODZ", 'N', 9},
    };
    return fields;
}

const std::vector<DbfField>& archiveFields() {
    static const std::vector<DbfField> fields = [] {
        std::vector<DbfField> f = {{"TIME", 'C', 8}, {"DAT", 'D', 8}};
        for (int doser = 1; doser <= 6; ++doser)
            for (const char* kind : {"ZAD", "KOR", "VES"})
                f.push_back({QByteArray(kind) + QByteArray::number(doser), 'N', 9});
        return f;
    }();
    return fields;
}

QDate dateOfName(const QString& name, const QString& prefix) {
    if (!name.startsWith(prefix))
        return {};
    // The date part runs up to the first "." after the prefix.
    QStringView part = QStringView(name).mid(prefix.size());
    const qsizetype dot = part.indexOf(QChar('.'));
    if (dot >= 0)
        part = part.left(dot);
    if (part.size() < 10)
        return {};
    auto number = [&](int from, int len, int* out) {
        int n = 0;
        for (int i = from; i < from + len; ++i) {
            const QChar c = part[i];
            if (c < QChar('0') || c > QChar('9'))
                return false;
            n = n * 10 + (c.unicode() - '0');
        }
        *out = n;
        return true;
    };
    int y = 0, m = 0, d = 0;
    if (!number(0, 4, &y) || !number(5, 2, &m) || !number(8, 2, &d))
        return {};
    return QDate(y, m, d); // null when not a calendar date
}

QStringList listKind(const QString& workDir, const QString& prefix) {
    QDir dir(workDir);
    dir.setFilter(QDir::Files | QDir::NoDotAndDotDot);
    dir.setNameFilters({prefix + QStringLiteral("*.dbf")});
    dir.setSorting(QDir::Unsorted);
    QStringList names = dir.entryList();
    // The filter matches without regard to case on some systems; only our own spelling counts.
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&](const QString& n) {
                                   return !n.startsWith(prefix) ||
                                          !n.endsWith(QStringLiteral(".dbf"));
                               }),
                names.end());
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return QString::compare(a, b) < 0; });
    return names;
}

QString prune(const QString& workDir, const QString& prefix, int maxFiles, const QString& keep) {
    const QString keepName = keep.isEmpty() ? QString() : QFileInfo(keep).fileName();
    int count = 0;
    QString oldest;
    QDate oldestDate;
    for (const QString& name : listKind(workDir, prefix)) {
        const QDate date = dateOfName(name, prefix);
        if (!date.isValid())
            continue; // put there by hand: no age, left alone
        ++count;
        if (name == keepName)
            continue;
        if (!oldestDate.isValid() || date < oldestDate) {
            oldestDate = date;
            oldest = name;
        }
    }
    if (count <= maxFiles || oldest.isEmpty())
        return {};
    const QString path = workDir + QLatin1Char('/') + oldest;
    // A file that cannot be deleted stays and is counted again next time.
    return QFile::remove(path) ? path : QString();
}

QString ensureTable(const QString& workDir, const QString& prefix,
                    const std::vector<DbfField>& fields, const QDate& date,
                    const std::function<int()>& maxFiles, QString* error) {
    const QString path = fileName(workDir, prefix, date);
    switch (dbf::entryAt(path)) {
    case dbf::Entry::RegularFile:
        return path;
    case dbf::Entry::Other:
        if (error)
            *error = QStringLiteral("%1: not a regular file").arg(path);
        return {};
    case dbf::Entry::Missing:
        break;
    }
    if (!dbf::create(path, fields, error, date))
        return {};
    prune(workDir, prefix, maxFiles ? maxFiles() : 45, path);
    return path;
}

} // namespace daily

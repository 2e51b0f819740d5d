#include "Recovery.h"

#include "AtomicFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace recovery {
namespace {
const QByteArray kMagic = "korvel unwritten records 1";

QString stateFolder() {
    const QString xdg = qEnvironmentVariable("XDG_STATE_HOME");
    const QString base = QDir::isAbsolutePath(xdg) ? xdg : QDir::homePath() + "/.local/state";
    return base + QStringLiteral("/korvel");
}

QByteArray escape(const QString& text) {
    QByteArray out;
    for (char c : text.toUtf8()) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString unescape(const QByteArray& field) {
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (c == '\\' && i + 1 < field.size()) {
            const char n = field[++i];
            c = n == 't' ? '\t' : n == 'n' ? '\n' : n == 'r' ? '\r' : n;
        }
        out += c;
    }
    return QString::fromUtf8(out);
}

QByteArray line(const QString& prefix, const DailyWriter::Record& r) {
    QByteArray l = escape(prefix) + '\t' + r.date.toString(Qt::ISODate).toLatin1();
    for (const QString& v : r.values)
        l += '\t' + escape(v);
    return l;
}
} // namespace

QString filePath(const QString& workDir) {
    const QString folder = QFileInfo(workDir).absoluteFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return stateFolder() + QStringLiteral("/unwritten-%1.txt").arg(QString::fromLatin1(hash));
}

bool save(const QString& workDir, const std::vector<Kind>& kinds, QString* error) {
    QByteArray text = kMagic + '\n';
    text += "folder\t" + escape(QFileInfo(workDir).absoluteFilePath()) + '\n';
    for (const Kind& k : kinds)
        for (const DailyWriter::Record& r : k.records)
            text += line(k.prefix, r) + '\n';
    if (!QDir().mkpath(stateFolder())) {
        if (error)
            *error = QStringLiteral("%1: cannot create the folder").arg(stateFolder());
        return false;
    }
    return atomicfile::write(filePath(workDir), text, atomicfile::Mode::Replace, error);
}

std::vector<Kind> load(const QString& workDir, int* skipped) {
    std::vector<Kind> kinds;
    int bad = 0;
    QFile file(filePath(workDir));
    if (file.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = file.readAll().split('\n');
        if (!lines.isEmpty() && lines.front() == kMagic) {
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const QByteArray& l = lines[i];
                if (l.isEmpty() || l.startsWith("folder\t"))
                    continue;
                const QList<QByteArray> parts = l.split('\t');
                const QDate date =
                    parts.size() >= 3
                        ? QDate::fromString(QString::fromLatin1(parts[1]), Qt::ISODate)
                        : QDate();
                if (!date.isValid()) {
                    ++bad;
                    continue;
                }
                const QString prefix = unescape(parts[0]);
                DailyWriter::Record r{date, {}};
                for (qsizetype p = 2; p < parts.size(); ++p)
                    r.values.push_back(unescape(parts[p]));
                auto it = std::find_if(kinds.begin(), kinds.end(),
                                       [&](const Kind& k) { return k.prefix == prefix; });
                if (it == kinds.end())
                    it = kinds.insert(kinds.end(), Kind{prefix, {}});
                it->records.push_back(std::move(r));
            }
        } else if (!lines.isEmpty() && !lines.front().isEmpty()) {
            ++bad;
        }
    }
    if (skipped)
        *skipped = bad;
    return kinds;
}

bool remove(const QString& workDir) {
    const QString path = filePath(workDir);
    return !QFile::exists(path) || QFile::remove(path);
}

QString describe(const QString& prefix, const DailyWriter::Record& record) {
    return QString::fromUtf8(line(prefix, record));
}
} // namespace recovery

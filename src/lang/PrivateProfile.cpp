#include "PrivateProfile.h"

#include "AtomicFile.h"
#include "Cp1251.h"

#include <QFile>

namespace {
std::vector<QByteArray> splitLines(const QByteArray& data) {
    std::vector<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= data.size(); ++i) {
        if (i == data.size() || data[i] == '\n') {
            QByteArray line = data.mid(start, i - start);
            if (line.endsWith('\r'))
                line.chop(1);
            if (i < data.size() || !line.isEmpty())
                lines.push_back(line);
            start = i + 1;
        }
    }
    return lines;
}

// The section name of a "[name]" line, or a null string for any other line.
QString sectionOf(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (t.size() < 2 || t.front() != '[')
        return {};
    const qsizetype close = t.indexOf(']');
    if (close < 0)
        return {};
    return cp1251::decode(t.mid(1, close - 1).trimmed());
}

// A caller's name trimmed the way names in the file are: of ASCII blanks only (space, tab and
// the line-break characters), so that a no-break space at an edge is part of a name on both
// sides.
QString blanksTrimmed(const QString& name) {
    const auto blank = [](QChar c) {
        return c == u' ' || (c.unicode() >= u'\t' && c.unicode() <= u'\r');
    };
    qsizetype from = 0;
    qsizetype to = name.size();
    while (from < to && blank(name[from]))
        ++from;
    while (to > from && blank(name[to - 1]))
        --to;
    return name.mid(from, to - from);
}

bool keyMatches(const QByteArray& line, const QString& key, QByteArray* value) {
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return false;
    const QString k = cp1251::decode(line.left(eq).trimmed());
    if (k.compare(blanksTrimmed(key), Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = line.mid(eq + 1).trimmed();
    return true;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(blanksTrimmed(b), Qt::CaseInsensitive) == 0;
}
} // namespace

PrivateProfile::PrivateProfile(const QString& path) {
    if (path.isEmpty())
        return;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    exists_ = true;
    lines_ = splitLines(f.readAll());
}

PrivateProfile PrivateProfile::fromData(const QByteArray& data) {
    PrivateProfile p;
    p.exists_ = true;
    p.lines_ = splitLines(data);
    return p;
}

QString PrivateProfile::read(const QString& section, const QString& key, const QString& def) const {
    bool inSection = false;
    for (const QByteArray& line : lines_) {
        const QString sec = sectionOf(line);
        if (!sec.isNull()) {
            if (inSection)
                break; // the first section of that name is the one that counts
            inSection = sameName(sec, section);
            continue;
        }
        QByteArray value;
        if (inSection && keyMatches(line, key, &value)) {
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front())
                value = value.mid(1, value.size() - 2);
            return cp1251::decode(value.left(kMaxValue));
        }
    }
    return def;
}

int PrivateProfile::readInt(const QString& section, const QString& key, int def) const {
    bool ok = false;
    const int v = read(section, key, QString()).trimmed().toInt(&ok, 10);
    return ok ? v : def;
}

bool PrivateProfile::write(const QString& path, const QString& section, const QString& key,
                           const QString& value) {
    QByteArray data;
    {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            data = f.readAll();
    }
    // Never an empty or half settings file on a full disk.
    return atomicfile::write(path, withKey(data, section, key, value), atomicfile::Mode::Replace,
                             nullptr);
}

QByteArray PrivateProfile::withKey(const QByteArray& data, const QString& section,
                                   const QString& key, const QString& value) {
    std::vector<QByteArray> lines = splitLines(data);
    const QByteArray entry = cp1251::encode(key) + '=' + cp1251::encode(value);
    bool inSection = false;
    qsizetype sectionEnd = -1; // index after the last non-blank line of the section
    bool done = false;
    for (qsizetype i = 0; i < qsizetype(lines.size()) && !done; ++i) {
        const QString sec = sectionOf(lines[i]);
        if (!sec.isNull()) {
            if (inSection)
                break;
            inSection = sameName(sec, section);
            if (inSection)
                sectionEnd = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        if (keyMatches(lines[i], key, nullptr)) {
            lines[i] = entry;
            done = true;
        } else if (!lines[i].trimmed().isEmpty()) {
            sectionEnd = i + 1;
        }
    }
    if (!done) {
        if (sectionEnd < 0) {
            if (!lines.empty() && !lines.back().trimmed().isEmpty())
                lines.push_back(QByteArray());
            lines.push_back('[' + cp1251::encode(section) + ']');
            lines.push_back(entry);
        } else {
            lines.insert(lines.begin() + sectionEnd, entry);
        }
    }
    QByteArray out;
    for (const QByteArray& l : lines) {
        out += l;
        out += '\n';
    }
    return out;
}

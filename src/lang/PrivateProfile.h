#pragma once
// Private-profile (INI) files as the station reads and writes them: sections and keys matched
// without regard to case and surrounding blanks, values trimmed and unquoted, at most 2047
// characters, Windows-1251 text. A missing file, section or key yields the caller's default.
#include <QByteArray>
#include <QString>
#include <vector>

class PrivateProfile {
public:
    static constexpr int kMaxValue = 2047;

    // Reads the whole file once; a missing or unreadable file behaves as an empty one.
    explicit PrivateProfile(const QString& path);
    PrivateProfile() = default;
    // The same lookups on a file's contents already in memory.
    static PrivateProfile fromData(const QByteArray& data);

    bool exists() const { return exists_; }
    QString read(const QString& section, const QString& key, const QString& def) const;
    // Integer value; a missing key or a value that is not a decimal integer gives def.
    int readInt(const QString& section, const QString& key, int def) const;

    // Sets a key, keeping every other line of the file as it was, and writes the file.
    // Returns false when the file cannot be written.
    static bool write(const QString& path, const QString& section, const QString& key,
                      const QString& value);
    // The contents of a file after write(): the key set in its section (added at the end of
    // the section, or in a new section at the end), every other line as it was.
    static QByteArray withKey(const QByteArray& data, const QString& section, const QString& key,
                              const QString& value);

private:
    std::vector<QByteArray> lines_;
    bool exists_ = false;
};

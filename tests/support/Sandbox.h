#pragma once
// A child process with a mount namespace of its own, where a test may fill a small file
// system or make one file read-only for everybody, root included, without touching the
// machine. The body runs in the child and returns what went wrong (empty when all is well);
// a child that hangs is killed at the deadline and that is reported too.
#include <QString>
#include <functional>
#include <sstream>
#include <string>

namespace sandbox {
std::string run(const std::function<std::string()>& body, int deadlineSeconds = 60);
// Inside run(): a tmpfs of `kib` KiB mounted on the existing folder `dir`.
bool mountTmpfs(const QString& dir, int kib);
// Inside run(): the existing file `path` becomes read-only (a read-only bind mount on itself).
bool makeReadOnly(const QString& path);
// Inside run(): a file that takes every free byte of the file system of `dir`.
bool fill(const QString& dir, const QString& name = QStringLiteral("filler"));

// What a body found wrong, collected so that it returns every finding at once.
struct Findings {
    std::ostringstream out;
    void check(bool ok, const std::string& what) {
        if (!ok)
            out << what << "; ";
    }
    std::string text() const { return out.str(); }
};
} // namespace sandbox

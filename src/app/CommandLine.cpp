#include "CommandLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
bool takeValue(const QStringList& args, int& i, QString* value, QString* error) {
    if (i + 1 >= args.size() || args[i + 1].startsWith(QLatin1String("--"))) {
        *error = QStringLiteral("%1 needs a value").arg(args[i]);
        return false;
    }
    *value = args[++i];
    return true;
}
} // namespace

CommandLine CommandLine::parse(const QStringList& args) {
    CommandLine c;
    for (int i = 1; i < args.size() && c.error.isEmpty(); ++i) {
        const QString& a = args[i];
        QString v;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            c.help = true;
        } else if (a == QLatin1String("--version")) {
            c.version = true;
        } else if (a == QLatin1String("--device")) {
            takeValue(args, i, &c.device, &c.error);
        } else if (a == QLatin1String("--mqtt")) {
            takeValue(args, i, &c.mqtt, &c.error);
        } else if (a == QLatin1String("--workdir")) {
            if (takeValue(args, i, &c.workDir, &c.error) && c.workDir.isEmpty())
                c.error = QStringLiteral("--workdir needs a folder");
        } else if (a == QLatin1String("--export")) {
            if (takeValue(args, i, &c.exportKind, &c.error) &&
                !QStringList({"protocol", "journal", "shift", "history"}).contains(c.exportKind))
                c.error = QStringLiteral("unknown report kind: %1").arg(c.exportKind);
        } else if (a == QLatin1String("--date")) {
            if (takeValue(args, i, &v, &c.error)) {
                c.date = QDate::fromString(v, Qt::ISODate);
                if (!c.date.isValid())
                    c.error = QStringLiteral("not a date (YYYY-MM-DD): %1").arg(v);
            }
        } else if (a == QLatin1String("--shift") || a == QLatin1String("--doser")) {
            if (takeValue(args, i, &v, &c.error)) {
                bool ok = false;
                const int n = v.toInt(&ok);
                const int max = a == QLatin1String("--shift") ? 3 : 6;
                if (!ok || n < 1 || n > max)
                    c.error = QStringLiteral("%1 takes 1 to %2: %3").arg(a).arg(max).arg(v);
                else
                    (a == QLatin1String("--shift") ? c.shift : c.doser) = n;
            }
        } else if (a == QLatin1String("--pdf")) {
            takeValue(args, i, &c.pdf, &c.error);
        } else {
            c.error = QStringLiteral("unknown argument: %1").arg(a);
        }
    }
    if (c.error.isEmpty() && !c.exportKind.isEmpty()) {
        if (!c.date.isValid())
            c.error = QStringLiteral("--export needs --date YYYY-MM-DD");
        else if (c.pdf.isEmpty())
            c.error = QStringLiteral("--export needs --pdf FILE");
        else if (c.exportKind == QLatin1String("shift") && c.shift == 0)
            c.error = QStringLiteral("a shift report needs --shift 1, 2 or 3");
        else if (c.exportKind == QLatin1String("history") && c.doser == 0)
            c.error = QStringLiteral("a history chart needs --doser 1 to 6");
    }
    return c;
}

QString CommandLine::usage(const QString& workDir) {
    QString text = QStringLiteral(
        "Usage: korvel [--device PATH] [--workdir DIR] [--mqtt URL]\n"
        "       korvel --export protocol|journal|shift|history --date YYYY-MM-DD\n"
        "              [--shift 1|2|3] [--doser 1-6] --pdf FILE\n"
        "\n"
        "The operator station of the charging plant of two blast furnaces.\n"
        "The working directory holds the language files and the daily tables.\n"
        "\n"
        "  --device PATH   serial device of the plant controller, in place of\n"
        "                  /dev/ttyS<n-1> for the port number n of the settings\n"
        "  --workdir DIR   the working folder (default: the folder korvel is started in);\n"
        "                  ~/ stands for the home folder; a new folder is created and\n"
        "                  given the sample language file english.ini\n"
        "  --mqtt URL      publish the plant to this MQTT broker, mqtt://host:port or\n"
        "                  mqtts://host:port, in place of Url of [Mqtt] in korvel.ini\n"
        "  --export KIND   build a report of the working directory's tables as PDF and exit:\n"
        "                  protocol, journal, shift (with --shift) or history (with --doser)\n"
        "  --date DATE     the day of the report, YYYY-MM-DD\n"
        "  --pdf FILE      where the PDF is written\n"
        "  --help          this text\n"
        "  --version       the version\n"
        "\n"
        "Settings: $XDG_CONFIG_HOME/korvel.ini (default ~/.config/korvel.ini).\n");
    if (!workDir.isEmpty())
        text += QStringLiteral("Working folder: %1\n").arg(workDir);
    return text;
}

QString CommandLine::resolveWorkDir(const QString& given) {
    if (given.isEmpty())
        return QDir::currentPath();
    QString path = given;
    if (path == QLatin1String("~"))
        path = QDir::homePath();
    else if (path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

bool CommandLine::prepareWorkDir(const QString& dir, const QString& sample, QString* error) {
    if (!QDir().mkpath(dir)) {
        if (error)
            *error = QStringLiteral("cannot create the working folder %1").arg(dir);
        return false;
    }
    if (!sample.isEmpty()) {
        const QString copy = dir + QLatin1Char('/') + QFileInfo(sample).fileName();
        if (!QFileInfo::exists(copy))
            QFile::copy(sample, copy); // a folder without it still works, in Russian
    }
    return true;
}

QString CommandLine::sampleLanguageFile() {
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    const QDir bin = QFileInfo(program).absoluteDir();
    for (const QString& candidate :
         {bin.filePath(QStringLiteral("../share/korvel/lang/english.ini")),
          bin.filePath(QStringLiteral("../lang/english.ini"))})
        if (QFileInfo::exists(candidate))
            return QDir::cleanPath(candidate);
    return {};
}

// korvel: the operator station of the charging plant of two blast furnaces.
#include "CommandLine.h"
#include "Fonts.h"
#include "HistoryExport.h"
#include "Language.h"
#include "MainTexts.h"
#include "MainUnitKorvel.h"
#include "PrivateProfile.h"
#include "ReportExport.h"
#include "SmallForms.h"
#include "StationRoot.h"
#include "WorkDirLock.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char b = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &b, 1);
}

// SIGTERM and SIGINT close the main window the orderly way: exit record, settings written,
// poll thread stopped, port closed.
void installSignalHandlers() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    // A table that reaches a file-size limit fails its write (EFBIG) like any other failed
    // write, instead of the process being killed with half a record written.
    ::signal(SIGXFSZ, SIG_IGN);
}

// One station per working folder. A second one says why and ends at once, writing nothing;
// a message box only on a real display, never holding up a start without one.
bool lockWorkDir(WorkDirLock& lock, const QString& workDir) {
    QString message;
    const WorkDirLock::Result result = lock.acquire(workDir, &message);
    if (result == WorkDirLock::Result::Unlocked)
        QTextStream(stderr) << "korvel: " << message << Qt::endl;
    if (result != WorkDirLock::Result::Busy)
        return true;
    QTextStream(stderr) << "korvel: " << message << Qt::endl;
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
        const MainTexts texts =
            MainTexts::load(PrivateProfile(lang::filePath(workDir, Settings::load().Language)));
        QMessageBox::critical(nullptr, texts.lngError, texts.lngDirBusy + QLatin1Char(' ') + workDir);
    }
    return false;
}

int runExport(const CommandLine& cl, const QString& workDir) {
    const Settings settings = Settings::load();
    const QString langPath = lang::filePath(workDir, settings.Language);
    MainTextStore::set(MainTexts::load(PrivateProfile(langPath)));
    QString message;
    const int status =
        cl.exportKind == QLatin1String("history")
            ? exportHistory(cl.date, cl.doser, cl.pdf, workDir, langPath, &message)
            : views::exportReport(cl.exportKind, cl.date, cl.shift, cl.pdf, workDir, langPath,
                                  &message);
    if (!message.isEmpty())
        QTextStream(status == 0 ? stdout : stderr) << message << Qt::endl;
    return status;
}

} // namespace

int main(int argc, char* argv[]) {
    // First of all, so that a stop request during start-up is not lost either.
    installSignalHandlers();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("korvel"));
    QApplication::setApplicationVersion(QStringLiteral("3.7"));
    const CommandLine cl = CommandLine::parse(QCoreApplication::arguments());
    if (!cl.error.isEmpty()) {
        QTextStream(stderr) << "korvel: " << cl.error << "\n\n" << CommandLine::usage();
        return 2;
    }
    if (cl.help) {
        QTextStream(stdout) << CommandLine::usage();
        return 0;
    }
    if (cl.version) {
        QTextStream(stdout) << "korvel 3.7\n";
        return 0;
    }
    installFontSubstitutions();
    const QString workDir = QDir::currentPath();
    if (!cl.exportKind.isEmpty())
        return runExport(cl, workDir);
    WorkDirLock workDirLock;
    if (!lockWorkDir(workDirLock, workDir))
        return 1;

    bool closeRequested = false;
    TMainFormKorvel* main = nullptr;
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        char b;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &b, 1);
        closeRequested = true;
        if (main)
            main->close();
    });

    // 1-2. the splash window for 3000 ms
    auto* splash = new TSplashForm;
    splash->show();
    splash->repaint();
    {
        QEventLoop wait;
        QTimer::singleShot(3000, &wait, &QEventLoop::quit);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }

    // 3. the data module; 4. the main window (its creation opens the port and starts the
    // poll thread); 5. the mimic window
    StationRoot root({workDir, cl.device, Settings::filePath()});
    TMainFormKorvel& mainForm = root.mainForm();
    main = &mainForm;

    // 6. the splash goes
    delete splash;
    if (closeRequested)
        mainForm.close();

    // 7. the message loop until the main window is closed
    const int status = app.exec();
    main = nullptr;
    return status;
}

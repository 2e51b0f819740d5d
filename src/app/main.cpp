// korvel: the operator station of the charging plant of two blast furnaces.
#include "CommandLine.h"
#include "Fonts.h"
#include "FreePages.h"
#include "HistoryExport.h"
#include "Language.h"
#include "MainTexts.h"
#include "MainUnitKorvel.h"
#include "PrivateProfile.h"
#include "ProcessSignals.h"
#include "ReportExport.h"
#include "SmallForms.h"
#include "StationRoot.h"
#include "Version.h"
#include "WorkDirLock.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <cstdio>

namespace {
// The arguments as given, read before any application object exists.
QStringList argumentList(int argc, char* argv[]) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

// A screen to show the station on: an X or Wayland display, or a platform set explicitly.
bool haveScreen() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// The export reports its outcome itself, in one line; Qt's own remarks on the way (a missing
// runtime folder, a painter that could not begin) stay out of its output.
void exportMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(text));
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
        QMessageBox::critical(nullptr, texts.lngError,
                              texts.lngDirBusy + QLatin1Char(' ') + workDir);
    }
    return false;
}

int runExport(const CommandLine& cl, const QString& workDir) {
    const Settings settings = Settings::load();
    const QString langPath = lang::filePath(workDir, settings.Language);
    MainTextStore::set(MainTexts::load(PrivateProfile(langPath)));
    QString message;
    const int status = cl.exportKind == QLatin1String("history")
                           ? exportHistory(cl.date, cl.doser, cl.pdf, workDir, langPath, &message)
                           : views::exportReport(cl.exportKind, cl.date, cl.shift, cl.pdf, workDir,
                                                 langPath, &message);
    // Success names the PDF written, whatever the kind; a failure gives its one message.
    if (status == 0)
        QTextStream(stdout) << cl.pdf << Qt::endl;
    else
        QTextStream(stderr) << message << Qt::endl;
    return status;
}

} // namespace

int main(int argc, char* argv[]) {
    // First of all, so that a stop request during start-up is not lost either.
    ProcessSignals::install();
    // A table that reaches a file-size limit fails its write (EFBIG) like any other failed
    // write, instead of the process being killed with half a record written.
    ::signal(SIGXFSZ, SIG_IGN);
    // Help, version and argument errors need no application object, so no screen either.
    const CommandLine cl = CommandLine::parse(argumentList(argc, argv));
    if (!cl.error.isEmpty()) {
        QTextStream(stderr) << "korvel: " << cl.error << "\n\n" << CommandLine::usage();
        return 2;
    }
    // The working folder: --workdir, or the folder the station is started in.
    const QString workDir = CommandLine::resolveWorkDir(cl.workDir);
    if (cl.help) {
        QTextStream(stdout) << CommandLine::usage(workDir);
        return 0;
    }
    if (cl.version) {
        QTextStream(stdout) << "korvel " << kKorvelVersion << "\n";
        return 0;
    }
    if (!cl.exportKind.isEmpty()) {
        // A scheduled export (cron, a timer, ssh) draws on the offscreen platform unless a
        // platform is set explicitly.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(exportMessages);
        QApplication app(argc, argv);
        installFontSubstitutions();
        return runExport(cl, workDir);
    }
    if (!haveScreen()) {
        std::fputs("korvel: no display to show the station on: DISPLAY is not set "
                   "(QT_QPA_PLATFORM=offscreen runs it without a screen)\n",
                   stderr);
        return 1;
    }
    freepages::keepLargeBlocksOutOfTheHeap();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("korvel"));
    QApplication::setApplicationVersion(QLatin1String(kKorvelVersion));
    installFontSubstitutions();
    // A working folder named on the command line (the menu entry's ~/korvel-station) is
    // created on first use with the sample language file, and becomes the current folder.
    if (!cl.workDir.isEmpty()) {
        QString error;
        if (!CommandLine::prepareWorkDir(workDir, CommandLine::sampleLanguageFile(), &error) ||
            !QDir::setCurrent(workDir)) {
            QTextStream(stderr) << "korvel: " << (error.isEmpty() ? workDir : error) << Qt::endl;
            return 1;
        }
    }

    // A stop request closes the main window the orderly way once it exists, and ends every
    // event loop, a modal dialog's included (also the box that tells of a busy folder).
    TMainFormKorvel* main = nullptr;
    ProcessSignals processSignals;
    processSignals.setCloseAction([&main] {
        if (main)
            main->close();
    });
    // SIGHUP opens the line again once the main window exists.
    processSignals.setReopenAction([&main] {
        if (main)
            main->reopenPort();
    });
    WorkDirLock workDirLock;
    if (!lockWorkDir(workDirLock, workDir))
        return 1;

    // 1-2. the splash window for 3000 ms; a stop request cuts the wait short
    auto* splash = new TSplashForm;
    splash->show();
    splash->repaint();
    if (!processSignals.requested()) {
        QEventLoop wait;
        QTimer::singleShot(3000, &wait, &QEventLoop::quit);
        QObject::connect(&processSignals, &ProcessSignals::stopRequested, &wait, &QEventLoop::quit);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }

    // 3. the data module; 4. the main window (its creation opens the port and starts the
    // poll thread); 5. the mimic window
    StationRoot root({workDir, cl.device, Settings::filePath(), cl.mqtt});
    TMainFormKorvel& mainForm = root.mainForm();
    main = &mainForm;

    // 6. the splash goes
    delete splash;
    // A stop requested before the message loop: the orderly close, and no loop to run.
    if (processSignals.requested()) {
        mainForm.close();
        main = nullptr;
        return 0;
    }

    // 7. the message loop until the main window is closed
    const int status = app.exec();
    main = nullptr;
    return status;
}

// The command line: the working folder option, its "~", and a new folder made ready.
#include "CommandLine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(CommandLine, WorkDirOptionAndItsResolution) {
    struct Case {
        QStringList args;
        QString workDir;
        bool error;
    };
    const Case cases[] = {
        {{"korvel"}, "", false},
        {{"korvel", "--workdir", "/srv/korvel"}, "/srv/korvel", false},
        {{"korvel", "--device", "/dev/ttyUSB0", "--workdir", "~/korvel-station"},
         "~/korvel-station",
         false},
        {{"korvel", "--workdir"}, "", true},
        {{"korvel", "--workdir", ""}, "", true},
        {{"korvel", "--export", "journal", "--date", "2010-01-05", "--pdf", "j.pdf", "--workdir",
          "/srv/k"},
         "/srv/k",
         false},
    };
    for (const Case& c : cases) {
        const CommandLine cl = CommandLine::parse(c.args);
        EXPECT_EQ(cl.workDir, c.workDir) << c.args.join(' ').toStdString();
        EXPECT_EQ(!cl.error.isEmpty(), c.error) << c.args.join(' ').toStdString();
    }
    EXPECT_EQ(CommandLine::resolveWorkDir(""), QDir::currentPath());
    EXPECT_EQ(CommandLine::resolveWorkDir("~/korvel-station"),
              QDir::homePath() + "/korvel-station");
    EXPECT_EQ(CommandLine::resolveWorkDir("~"), QDir::homePath());
    EXPECT_EQ(CommandLine::resolveWorkDir("/srv//korvel/"), "/srv/korvel");
    EXPECT_EQ(CommandLine::resolveWorkDir("rel"), QDir::currentPath() + "/rel");
    EXPECT_TRUE(CommandLine::usage("/srv/korvel").endsWith("Working folder: /srv/korvel\n"));
    EXPECT_TRUE(CommandLine::usage().contains("--workdir DIR"));
}

TEST(CommandLine, ANewWorkingFolderIsCreatedWithTheSampleLanguageFile) {
    QTemporaryDir dir;
    const QString sample = dir.filePath("english.ini");
    {
        QFile f(sample);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Main]\r\n");
    }
    const QString work = dir.filePath("a/korvel-station");
    QString error;
    ASSERT_TRUE(CommandLine::prepareWorkDir(work, sample, &error)) << error.toStdString();
    EXPECT_TRUE(QFile::exists(work + "/english.ini"));
    // An operator's own edits of the copy are kept.
    {
        QFile f(work + "/english.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("edited");
    }
    ASSERT_TRUE(CommandLine::prepareWorkDir(work, sample, &error));
    QFile f(work + "/english.ini");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "edited");
    // A folder that cannot be made is told.
    EXPECT_FALSE(CommandLine::prepareWorkDir(sample + "/sub", sample, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace

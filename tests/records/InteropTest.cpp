// Tables written by the station open in other tools with every field and the Cyrillic texts
// intact: python3-dbfread and GDAL's ogrinfo. Skipped when a tool is missing.
#include "ArchiveWriter.h"
#include "DailyTables.h"
#include "DosingRecorder.h"
#include "JournalWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Set dose, corrected setpoint and current weight of dosers 1..6: the first byte of each
// word in the 130-byte image (low byte first; the weights are signed).
constexpr int kSetDoseAt[6] = {2, 35, 41, 5, 32, 38};
constexpr int kCorrectedAt[6] = {9, 47, 51, 11, 45, 49};
constexpr int kWeightAt[6] = {15, 57, 61, 17, 55, 59};

struct ToolRun {
    bool started = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ToolRun run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    ToolRun r;
    r.started = p.waitForStarted(10000);
    if (r.started && p.waitForFinished(60000)) {
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
    }
    return r;
}

// The three tables of one day, written through the writers.
class Interop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        auto clock = [] { return QDateTime(QDate(2010, 1, 5), QTime(14, 5, 9)); };
        JournalWriter journal(
            dir.path(), [] { return 45; }, {}, clock);
        journal.Jurnal("Запуск программы", 0);
        journal.Jurnal("Авария затвора дозатора 4 РКО-1", 1);
        journal.Jurnal("Выход из программы", 2);

        DosingRecorder dosing(
            dir.path(), [] { return 45; }, {}, clock);
        ProcessImage image;
        std::array<std::uint8_t, 130> a{};
        image.update(a.data());
        dosing.CompleteDoza(image);
        // Doser 2: counter 1, setpoint 1000, code 5, weight 1012, automatic.
        const std::uint8_t entry[6] = {1, 0xE8, 0x03, 5, 0xF4, 0x03};
        std::copy(entry, entry + 6, a.begin() + 109);
        a[127] = 1;
        image.update(a.data());
        dosing.CompleteDoza(image);

        ArchiveWriter archive(
            dir.path(), [] { return 45; }, {}, clock);
        ImageData img;
        for (int d = 0; d < 6; ++d) {
            const int w = -10 * (d + 1);
            img.b[kSetDoseAt[d]] = std::uint8_t(100 + d);
            img.b[kCorrectedAt[d]] = std::uint8_t(200 + d);
            img.b[kWeightAt[d]] = std::uint8_t(w & 0xFF);
            img.b[kWeightAt[d] + 1] = std::uint8_t((w >> 8) & 0xFF);
        }
        archive.Arhive(img);
    }
    QString table(const QString& prefix) const {
        return daily::fileName(dir.path(), prefix, QDate(2010, 1, 5));
    }
    QTemporaryDir dir;
};

const char* kDbfreadScript = R"(
import sys, json, dbfread
t = dbfread.DBF(sys.argv[1], load=True)
out = {"encoding": t.encoding,
       "fields": [[f.name, f.type, f.length] for f in t.fields],
       "records": [{k: (v.strftime('%Y%m%d') if hasattr(v, 'strftime') else v)
                    for k, v in r.items()} for r in t.records]}
sys.stdout.buffer.write(json.dumps(out, ensure_ascii=False).encode('utf-8'))
)";

// A Python that has dbfread: the one on PATH, or the system's own.
QString pythonWithDbfread() {
    static const QString found = [] {
        QStringList candidates{QStandardPaths::findExecutable("python3"), "/usr/bin/python3"};
        for (const QString& py : candidates)
            if (!py.isEmpty() && run(py, {"-c", "import dbfread"}).exitCode == 0)
                return py;
        return QString();
    }();
    return found;
}

QJsonObject dbfread(const QString& path) {
    const ToolRun r = run(pythonWithDbfread(), {"-c", kDbfreadScript, path});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    return QJsonDocument::fromJson(r.out).object();
}

bool haveDbfread() {
    return !pythonWithDbfread().isEmpty();
}

QJsonArray fieldsJson(const std::vector<DbfField>& fields) {
    QJsonArray a;
    for (const DbfField& f : fields)
        a.append(QJsonArray{QString::fromLatin1(f.name), QString(QChar(f.type)), f.width});
    return a;
}

TEST_F(Interop, Dbfread) {
    if (!haveDbfread())
        GTEST_SKIP() << "python3-dbfread is not installed";

    const QJsonObject jur = dbfread(table(daily::kJournal));
    EXPECT_EQ(jur["encoding"].toString(), "cp1251");
    EXPECT_EQ(jur["fields"].toArray(), fieldsJson(daily::journalFields()));
    const QJsonArray jurRecords = jur["records"].toArray();
    ASSERT_EQ(jurRecords.size(), 3);
    const char* texts[3] = {"Запуск программы", "Авария затвора дозатора 4 РКО-1",
                            "Выход из программы"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(jurRecords[i].toObject(), (QJsonObject{{"TIME", "14:05:09"},
                                                         {"DAT", "20100105"},
                                                         {"REC_STR", QString(texts[i])},
                                                         {"CODZ", i}}));
    }

    const QJsonObject doz = dbfread(table(daily::kDosing));
    EXPECT_EQ(doz["fields"].toArray(), fieldsJson(daily::dosingFields()));
    const QJsonArray dozRecords = doz["records"].toArray();
    ASSERT_EQ(dozRecords.size(), 1);
    EXPECT_EQ(dozRecords[0].toObject(), (QJsonObject{{"TIME", "14:05:09"},
                                                     {"DAT", "20100105"},
                                                     {"HOUR", 14},
                                                     {"MIN", 5},
                                                     {"DOZATOR", "2"},
                                                     {"SKOR_ZAD", 1000},
                                                     {"COD_MAT", "05"},
                                                     {"VES", 1012},
                                                     {"REG_DOZ", "Automatik"}}));

    const QJsonObject arh = dbfread(table(daily::kArchive));
    EXPECT_EQ(arh["fields"].toArray(), fieldsJson(daily::archiveFields()));
    const QJsonArray arhRecords = arh["records"].toArray();
    ASSERT_EQ(arhRecords.size(), 1);
    QJsonObject expected{{"TIME", "14:05:09"}, {"DAT", "20100105"}};
    for (int d = 0; d < 6; ++d) {
        const QString n = QString::number(d + 1);
        expected["ZAD" + n] = 100 + d;
        expected["KOR" + n] = 200 + d;
        expected["VES" + n] = -10 * (d + 1);
    }
    EXPECT_EQ(arhRecords[0].toObject(), expected);
}

TEST_F(Interop, Ogrinfo) {
    const QString ogrinfo = QStandardPaths::findExecutable("ogrinfo");
    if (ogrinfo.isEmpty())
        GTEST_SKIP() << "GDAL's ogrinfo is not installed";

    auto dump = [&](const QString& path) {
        const ToolRun r = run(ogrinfo, {"-ro", "-al", "-q", path});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return QString::fromUtf8(r.out);
    };
    // One "NAME (Type) = value" line per field and record.
    auto lines = [](const QString& out) {
        QStringList l;
        for (const QString& line : out.split('\n'))
            if (line.contains(" = "))
                l << line.trimmed();
        return l;
    };

    const QStringList jur = lines(dump(table(daily::kJournal)));
    EXPECT_TRUE(jur.contains("REC_STR (String) = Авария затвора дозатора 4 РКО-1"))
        << jur.join('\n').toStdString();
    EXPECT_TRUE(jur.contains("REC_STR (String) = Запуск программы"));
    EXPECT_TRUE(jur.contains("CODZ (Integer) = 2"));
    EXPECT_TRUE(jur.contains("DAT (Date) = 2010/01/05"));
    EXPECT_TRUE(jur.contains("TIME (String) = 14:05:09"));
    EXPECT_EQ(jur.size(), 3 * 4);

    const QStringList doz = lines(dump(table(daily::kDosing)));
    EXPECT_EQ(doz, QStringList({"TIME (String) = 14:05:09", "DAT (Date) = 2010/01/05",
                                "HOUR (Integer) = 14", "MIN (Integer) = 5", "DOZATOR (String) = 2",
                                "SKOR_ZAD (Integer) = 1000", "COD_MAT (String) = 05",
                                "VES (Integer) = 1012", "REG_DOZ (String) = Automatik"}));

    const QStringList arh = lines(dump(table(daily::kArchive)));
    ASSERT_EQ(arh.size(), 20) << arh.join('\n').toStdString();
    for (int d = 0; d < 6; ++d) {
        EXPECT_EQ(arh[2 + 3 * d], QString("ZAD%1 (Integer) = %2").arg(d + 1).arg(100 + d));
        EXPECT_EQ(arh[3 + 3 * d], QString("KOR%1 (Integer) = %2").arg(d + 1).arg(200 + d));
        EXPECT_EQ(arh[4 + 3 * d], QString("VES%1 (Integer) = %2").arg(d + 1).arg(-10 * (d + 1)));
    }
}

} // namespace

// The dBase table module: exact bytes on disk, append order, and the tolerant reader.
#include "DbfTable.h"
#include "DailyTables.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// A 32-byte field descriptor as the dBase IV format lays it out.
QByteArray descriptor(const char* name, char type, int width) {
    QByteArray d(32, '\0');
    memcpy(d.data(), name, strlen(name));
    d[11] = type;
    d[16] = char(width);
    return d;
}

QByteArray padded(const QByteArray& s, int width) {
    return s + QByteArray(width - s.size(), ' ');
}

TEST(DbfTable, JournalTableByteForByte) {
    QTemporaryDir dir;
    const QString path = dir.filePath("jur_2010_01_05.dbf");
    QString error;
    ASSERT_TRUE(dbf::create(path, daily::journalFields(), &error, QDate(2010, 1, 5)))
        << error.toStdString();
    ASSERT_TRUE(dbf::append(path, {"14:05:09", "20100105", "Запуск программы", "0"}, &error,
                            QDate(2010, 1, 6)))
        << error.toStdString();

    QByteArray expected = QByteArray::fromHex("036e0106" // version, 2010-01-06
                                              "01000000" // one record
                                              "a100"     // header 161 bytes
                                              "7400"     // record 116 bytes
                                              "0000"
                                              "00"
                                              "00"
                                              "000000000000000000000000"
                                              "00"
                                              "c9"
                                              "0000");
    expected += descriptor("TIME", 'C', 8);
    expected += descriptor("DAT", 'D', 8);
    expected += descriptor("REC_STR", 'C', 90);
    expected += descriptor("CODZ", 'N', 9);
    expected += '\x0d';
    expected += ' '; // not deleted
    expected += "14:05:09";
    expected += "20100105";
    // "Запуск программы" in Windows-1251
    expected += padded(QByteArray::fromHex("c7e0eff3f1ea20eff0eee3f0e0ececfb"), 90);
    expected += "        0";
    expected += '\x1a';
    EXPECT_EQ(readAll(path).toHex(' '), expected.toHex(' '));
}

TEST(DbfTable, EmptyTableHasHeaderAndEndMarkerOnly) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.dbf");
    ASSERT_TRUE(dbf::create(path, daily::dosingFields(), nullptr, QDate(2009, 10, 26)));
    const QByteArray bytes = readAll(path);
    ASSERT_EQ(bytes.size(), 321 + 1);
    EXPECT_EQ(bytes.left(4).toHex(), "036d0a1a"); // 2009-10-26
    EXPECT_EQ(bytes.mid(4, 4).toHex(), "00000000");
    EXPECT_EQ(bytes.at(29), char(0xC9));
    EXPECT_EQ(bytes.at(320), '\x0d');
    EXPECT_EQ(bytes.at(321), '\x1a');
}

struct LayoutCase {
    const char* kind;
    const std::vector<DbfField>& (*fields)();
    int headerLength;
    int recordLength;
    const char* names;
};

TEST(DbfTable, TheThreeLayouts) {
    const LayoutCase cases[] = {
        {"dosing", daily::dosingFields, 321, 78,
         "TIME C8,DAT D8,HOUR N9,MIN N9,DOZATOR C5,SKOR_ZAD N9,COD_MAT C5,VES N9,REG_DOZ C15"},
        {"journal", daily::journalFields, 161, 116, "TIME C8,DAT D8,REC_STR C90,CODZ N9"},
        {"archive", daily::archiveFields, 673, 179,
         "TIME C8,DAT D8,ZAD1 N9,KOR1 N9,VES1 N9,ZAD2 N9,KOR2 N9,VES2 N9,ZAD3 N9,KOR3 N9,"
         "VES3 N9,ZAD4 N9,KOR4 N9,VES4 N9,ZAD5 N9,KOR5 N9,VES5 N9,ZAD6 N9,KOR6 N9,VES6 N9"},
    };
    QTemporaryDir dir;
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.kind);
        const QString path = dir.filePath(QString::fromLatin1(c.kind) + ".dbf");
        ASSERT_TRUE(dbf::create(path, c.fields(), nullptr));
        const QByteArray bytes = readAll(path);
        EXPECT_EQ(quint8(bytes[8]) | quint8(bytes[9]) << 8, c.headerLength);
        EXPECT_EQ(quint8(bytes[10]) | quint8(bytes[11]) << 8, c.recordLength);
        DbfReader reader;
        QString error;
        ASSERT_TRUE(reader.open(path, &error)) << error.toStdString();
        QStringList names;
        for (const DbfField& f : reader.fields())
            names << QStringLiteral("%1 %2%3")
                         .arg(QString::fromLatin1(f.name))
                         .arg(QChar(f.type))
                         .arg(f.width);
        EXPECT_EQ(names.join(','), QString::fromLatin1(c.names));
        EXPECT_EQ(reader.recordCount(), 0);
    }
}

TEST(DbfTable, FieldFormatting) {
    QTemporaryDir dir;
    const QString path = dir.filePath("d.dbf");
    ASSERT_TRUE(dbf::create(path, daily::dosingFields(), nullptr));
    // N fields right-aligned (negative too, a value wider than 9 marked with asterisks),
    // C fields cut to their width in Windows-1251, D fields as given.
    ASSERT_TRUE(dbf::append(
        path,
        {"23:59:59", "20091231", "-10", "1234567890", "Дозатор6", "65535", "07", "0", "Automatik"},
        nullptr));
    const QByteArray bytes = readAll(path);
    const QByteArray rec = bytes.mid(321, 78);
    EXPECT_EQ(rec, QByteArray(" 23:59:59"
                              "20091231"
                              "      -10"
                              "*********") +
                       QByteArray::fromHex("c4eee7e0f2") + "    65535" + "07   " + "        0" +
                       "Automatik      ");
    DbfReader r;
    ASSERT_TRUE(r.open(path, nullptr));
    EXPECT_EQ(r.number(0, r.fieldIndex("HOUR")), -10);
    EXPECT_EQ(r.number(0, r.fieldIndex("MIN")), 0); // asterisks are not a number
    EXPECT_EQ(r.text(0, r.fieldIndex("DOZATOR")), QString("Дозат"));
    EXPECT_EQ(r.text(0, r.fieldIndex("REG_DOZ")), QString("Automatik"));
    EXPECT_EQ(r.date(0, r.fieldIndex("DAT")), QDate(2009, 12, 31));
    EXPECT_EQ(r.fieldIndex("reg_doz"), 8);
    EXPECT_EQ(r.fieldIndex("NOPE"), -1);
}

TEST(DbfTable, AppendKeepsOrderAndCount) {
    QTemporaryDir dir;
    const QString path = dir.filePath("j.dbf");
    ASSERT_TRUE(dbf::create(path, daily::journalFields(), nullptr));
    for (int i = 0; i < 25; ++i)
        ASSERT_TRUE(dbf::append(
            path, {"00:00:00", "20100101", QString("event %1").arg(i), QString::number(i % 3)},
            nullptr));
    const QByteArray bytes = readAll(path);
    EXPECT_EQ(bytes.size(), 161 + 25 * 116 + 1);
    EXPECT_EQ(bytes.back(), '\x1a');
    DbfReader r;
    ASSERT_TRUE(r.open(path, nullptr));
    ASSERT_EQ(r.recordCount(), 25);
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(r.text(i, 2), QString("event %1").arg(i));
        EXPECT_EQ(r.number(i, 3), i % 3);
        EXPECT_FALSE(r.deleted(i));
    }
}

// A kill between a record and its count: a record that reached the disk whole, with the
// end marker behind it, is counted by the next append (readers already show it); anything
// less is overwritten.
TEST(DbfTable, TheRecordInFlightAtACrashIsCountedWhenWhole) {
    struct Case {
        const char* what;
        int cut; // bytes taken off the end of the file after the crash
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"whole record and end marker", 0, {"one", "in flight", "two"}},
        {"end marker missing", 1, {"one", "two"}},
        {"record cut short", 40, {"one", "two"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath("j.dbf");
        ASSERT_TRUE(dbf::create(path, daily::journalFields(), nullptr));
        ASSERT_TRUE(dbf::append(path, {"", "", "one", "0"}, nullptr));
        ASSERT_TRUE(dbf::append(path, {"", "", "in flight", "0"}, nullptr));
        // The crash came before the count was written: the header still says one record.
        QByteArray bytes = readAll(path);
        bytes[4] = 1;
        bytes.chop(c.cut);
        writeAll(path, bytes);
        ASSERT_TRUE(dbf::append(path, {"", "", "two", "0"}, nullptr));
        DbfReader r;
        ASSERT_TRUE(r.open(path, nullptr));
        std::vector<std::string> texts;
        for (int i = 0; i < r.recordCount(); ++i)
            texts.push_back(r.text(i, 2).toStdString());
        EXPECT_EQ(texts, c.expected);
        EXPECT_EQ(r.headerCount(), qint64(c.expected.size()));
        EXPECT_EQ(readAll(path).size(), 161 + qsizetype(c.expected.size()) * 116 + 1);
    }
}

TEST(DbfTable, AppendNeverLeavesAHoleWhenTheCountOverstates) {
    QTemporaryDir dir;
    const QString path = dir.filePath("j.dbf");
    ASSERT_TRUE(dbf::create(path, daily::journalFields(), nullptr));
    ASSERT_TRUE(dbf::append(path, {"", "", "one", "0"}, nullptr));
    QByteArray bytes = readAll(path);
    bytes[4] = 9; // count says nine, one is there
    writeAll(path, bytes);
    ASSERT_TRUE(dbf::append(path, {"", "", "two", "0"}, nullptr));
    DbfReader r;
    ASSERT_TRUE(r.open(path, nullptr));
    ASSERT_EQ(r.recordCount(), 2);
    EXPECT_EQ(r.headerCount(), 2);
    EXPECT_EQ(r.text(1, 2), QString("two"));
}

TEST(DbfReader, ToleratesCountBeyondTheFileAndAShortLastRecord) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.dbf");
    ASSERT_TRUE(dbf::create(path, daily::archiveFields(), nullptr));
    std::vector<QString> values(20, "5");
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(dbf::append(path, values, nullptr));
    QByteArray bytes = readAll(path);
    bytes.chop(1);                 // no end marker
    bytes += QByteArray(100, ' '); // a record cut short
    bytes[4] = char(200);          // and a count far beyond the file
    writeAll(path, bytes);
    DbfReader r;
    QString error;
    ASSERT_TRUE(r.open(path, &error)) << error.toStdString();
    EXPECT_EQ(r.headerCount(), 200);
    ASSERT_EQ(r.recordCount(), 3);
    EXPECT_EQ(r.number(2, r.fieldIndex("VES6")), 5);
    EXPECT_TRUE(r.raw(3, 0).isEmpty()); // out of range: nothing, no crash
    EXPECT_TRUE(r.text(-1, 0).isEmpty());
    EXPECT_EQ(r.number(0, 99), 0);
}

TEST(DbfReader, RejectsWhatIsNotATable) {
    QByteArray good;
    {
        QTemporaryDir dir;
        ASSERT_TRUE(dbf::create(dir.filePath("g.dbf"), daily::journalFields(), nullptr));
        good = readAll(dir.filePath("g.dbf"));
    }
    auto with = [&](int at, char byte) {
        QByteArray b = good;
        b[at] = byte;
        return b;
    };
    struct Case {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"empty file", QByteArray()},
        {"a text file", QByteArray("TIME;DAT;REC_STR\n12:00:00;20100101;hello\n")},
        {"a header alone", good.left(32)},
        {"header length beyond the file", with(9, char(0x7F))},
        {"header length too small", with(8, 0x10)},
        {"record length zero", with(10, 0).replace(11, 1, QByteArray(1, '\0'))},
        {"unknown version", with(0, 0x42)},
        {"no header terminator", with(160, 'X')},
        {"field wider than the record", with(32 + 2 * 32 + 16, char(0xF0))},
        {"field of width zero", with(32 + 16, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DbfReader r;
        QString error;
        EXPECT_FALSE(r.openData(c.bytes, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(r.recordCount(), 0);
        EXPECT_TRUE(r.fields().empty());
    }
    DbfReader r;
    QString error;
    EXPECT_TRUE(r.openData(good, &error)) << error.toStdString();
    QTemporaryDir dir;
    EXPECT_FALSE(r.open(dir.filePath("missing.dbf"), &error));
    EXPECT_TRUE(error.contains("missing.dbf"));
    EXPECT_TRUE(r.fields().empty());
}

TEST(DbfTable, AppendRefusesWhatItCannotWrite) {
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(dbf::append(dir.filePath("missing.dbf"), {"x"}, &error));
    EXPECT_TRUE(error.contains("missing.dbf"));

    const QString text = dir.filePath("text.dbf");
    writeAll(text, QByteArray(400, 'x'));
    EXPECT_FALSE(dbf::append(text, {"", "", "x", "0"}, &error));
    EXPECT_TRUE(error.contains("not a table"));
    EXPECT_EQ(readAll(text), QByteArray(400, 'x')); // untouched

    const QString table = dir.filePath("j.dbf");
    ASSERT_TRUE(dbf::create(table, daily::journalFields(), nullptr));
    const QByteArray before = readAll(table);
    EXPECT_FALSE(dbf::append(table, {"only", "three", "values"}, &error));
    EXPECT_EQ(readAll(table), before);

    EXPECT_FALSE(dbf::create(dir.filePath("bad.dbf"), {{"WAY_TOO_LONG_NAME", 'C', 5}}, &error));
    EXPECT_FALSE(dbf::create(dir.filePath("none.dbf"), {}, &error));
    EXPECT_FALSE(dbf::create(dir.filePath("no/such/dir.dbf"), daily::journalFields(), &error));
}

} // namespace

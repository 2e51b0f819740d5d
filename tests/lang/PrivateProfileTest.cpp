// Lookup rules of the language and settings files.
#include "PrivateProfile.h"
#include "Cp1251.h"
#include "Language.h"
#include "MainTexts.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}
} // namespace

TEST(PrivateProfile, LookupRules) {
    QTemporaryDir dir;
    const QByteArray text = "; comment\r\n"
                            "[Other]\r\n"
                            "btnClear=wrong section\r\n"
                            "  [ main ]  \r\n"
                            "  BTNCLEAR  =   Clear all   \r\n"
                            "dq=\"quoted text\"\r\n"
                            "sq='single'\r\n"
                            "half=\"only one\r\n"
                            "mixed=\"a'\r\n"
                            "empty=\r\n"
                            "avrTenzo=Load cell\r\n"
                            "dup=first\r\n"
                            "dup=second\r\n"
                            "[Main]\r\n"
                            "late=second section of the same name\r\n";
    const PrivateProfile ini(writeFile(dir, "a.ini", text));
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Main", "btnClear", "Clear all"},      // case and blanks ignored
        {"MAIN", "  btnclear ", "Clear all"},   // on the caller's side too
        {"Other", "btnClear", "wrong section"}, // sections are kept apart
        {"Main", "dq", "quoted text"},          // one pair of double quotes removed
        {"Main", "sq", "single"},               // or single quotes
        {"Main", "half", "\"only one"},         // an unpaired quote stays
        {"Main", "mixed", "\"a'"},              // quotes of two kinds are no pair
        {"Main", "empty", ""},                  // present but empty: not the default
        {"Main", "avrTenzo    ", "Load cell"},  // padded key names match
        {"Main", "dup", "first"},               // the first line of a key counts
        {"Main", "late", "default"},            // only the first section of a name is read
        {"Main", "missing", "default"},         // missing key
        {"Nowhere", "btnClear", "default"},     // missing section
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.read(c.section, c.key, "default").toStdString(), c.expected)
            << c.section << "/" << c.key;
}

// Only blanks and tabs are trimmed from names, in the file and in the caller's name alike: a
// no-break space (0xA0) at a name's edge is part of it on both sides, so a name asked for and
// the name in the file agree, and writing one section leaves the other alone.
TEST(PrivateProfile, NoBreakSpaceIsPartOfANameOnBothSides) {
    const QByteArray text = "[\xA0"
                            "Data]\n"
                            "Language=nbsp.ini\n"
                            "\xA0"
                            "Key=nbsp key\n"
                            "[Data]\n"
                            "Language=plain.ini\n"
                            "Key=plain key\n";
    const QString nbsp(QChar(0xA0));
    const PrivateProfile ini = PrivateProfile::fromData(text);
    EXPECT_EQ(ini.read(nbsp + "Data", "Language", "-").toStdString(), "nbsp.ini");
    EXPECT_EQ(ini.read("Data", "Language", "-").toStdString(), "plain.ini");
    EXPECT_EQ(ini.read(nbsp + "Data", nbsp + "Key", "-").toStdString(), "nbsp key");
    EXPECT_EQ(ini.read("Data", nbsp + "Key", "-").toStdString(), "-");

    const PrivateProfile after =
        PrivateProfile::fromData(PrivateProfile::withKey(text, "Data", "Language", "new.ini"));
    EXPECT_EQ(after.read("Data", "Language", "-").toStdString(), "new.ini");
    EXPECT_EQ(after.read(nbsp + "Data", "Language", "-").toStdString(), "nbsp.ini");
}

TEST(PrivateProfile, MissingFileGivesDefaults) {
    const PrivateProfile ini("/nonexistent/korvel-test.ini");
    EXPECT_FALSE(ini.exists());
    EXPECT_EQ(ini.read("Main", "btnClear", "Очистить"), QString("Очистить"));
    EXPECT_EQ(PrivateProfile(QString()).read("Main", "x", "d"), QString("d"));
}

TEST(PrivateProfile, LongValueIsCutTo2047Characters) {
    QTemporaryDir dir;
    const QByteArray value(3000, 'x');
    const PrivateProfile ini(writeFile(dir, "long.ini", "[Main]\nkey=" + value + "\n"));
    EXPECT_EQ(ini.read("Main", "key", "").size(), 2047);
}

TEST(PrivateProfile, TextIsWindows1251) {
    QTemporaryDir dir;
    const QString russian = QStringLiteral("Очистить ёЁ №");
    const PrivateProfile ini(
        writeFile(dir, "ru.ini", "[Main]\nbtnClear=" + cp1251::encode(russian) + "\n"));
    EXPECT_EQ(ini.read("Main", "btnClear", ""), russian);
    EXPECT_EQ(cp1251::decode(cp1251::encode(russian)), russian);
    EXPECT_EQ(cp1251::encode(QStringLiteral("€")), QByteArray("\x88"));
    EXPECT_EQ(cp1251::encode(QStringLiteral("漢")), QByteArray("?"));
    // every byte decodes and encodes back to itself
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(cp1251::encode(cp1251::decode(all)), all);
}

TEST(PrivateProfile, WriteKeepsOtherLinesAndReplacesInPlace) {
    QTemporaryDir dir;
    const QString path = writeFile(dir, "s.ini", "[Data]\nComPort=3\nOther=keep\n[X]\ny=1\n");
    ASSERT_TRUE(PrivateProfile::write(path, "Data", "comport", "2"));
    ASSERT_TRUE(PrivateProfile::write(path, "Data", "ComSpeed", "9600"));
    ASSERT_TRUE(PrivateProfile::write(path, "New", "k", "v"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[Data]\ncomport=2\nOther=keep\nComSpeed=9600\n[X]\ny=1\n"
                                      "\n[New]\nk=v\n"));
}

TEST(Language, PathAndLineBreaks) {
    EXPECT_EQ(lang::filePath("/w", ""), QString());
    EXPECT_EQ(lang::filePath("/w", "english.ini"), QString("/w/english.ini"));
    EXPECT_EQ(lang::multiLine("Бункер |промежуточный"), QString("Бункер \nпромежуточный"));
}

TEST(MainTexts, OnlyTheKeysInTheFileChange) {
    QTemporaryDir dir;
    const PrivateProfile ini(writeFile(dir, "one.ini", "[Main]\nbtnClear=Wipe\n"));
    const MainTexts loaded = MainTexts::load(ini);
    const MainTexts defaults = MainTexts::defaults();
    EXPECT_EQ(loaded.btnClear, QString("Wipe"));
    EXPECT_EQ(loaded.MainFormKorvel, QString("Загрузка доменных печей"));
    EXPECT_EQ(loaded.avrCancel, defaults.avrCancel);
    EXPECT_EQ(loaded.lngSviazGood, QString("Связь с ШВУ установлена"));
}

TEST(MainTexts, StoreHandsOutWholeSets) {
    MainTexts a = MainTexts::defaults();
    a.lngRKO1 = "A1";
    a.lngRTP2 = "A2";
    MainTextStore::set(a);
    const auto held = MainTextStore::get();
    MainTexts b = MainTexts::defaults();
    b.lngRKO1 = "B1";
    b.lngRTP2 = "B2";
    MainTextStore::set(b);
    // a reader keeps the set it took, whole, while a switch publishes the next one
    EXPECT_EQ(held->lngRKO1 + held->lngRTP2, QString("A1A2"));
    EXPECT_EQ(MainTextStore::get()->lngRKO1 + MainTextStore::get()->lngRTP2, QString("B1B2"));
    MainTextStore::set(MainTexts::defaults());
}

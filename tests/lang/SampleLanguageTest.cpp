// The English language file lang/english.ini, read with the station's own private-profile
// reader: every text the windows ask for is there, in English, and reads back as written.
#include "Cp1251.h"
#include "Language.h"
#include "MainTexts.h"
#include "PrivateProfile.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {
const QString kPath = QStringLiteral(KORVEL_SOURCE_DIR "/lang/english.ini");
// A default no real text has: tells a missing key from an empty or present one.
const QString kMissing = QStringLiteral("\x01missing\x01");

struct Key {
    QString name;
    QString value; // the text after "=", blanks around it removed, as written in the file
};
struct Section {
    QString name;
    std::vector<Key> keys;
};

// A plain line-by-line view of the file, independent of the station's reader.
std::vector<Section> parse(const QByteArray& bytes) {
    std::vector<Section> sections;
    for (const QString& raw : cp1251::decode(bytes).split(QStringLiteral("\r\n"))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            sections.push_back({line.mid(1, line.size() - 2).trimmed(), {}});
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || sections.empty()) {
            ADD_FAILURE() << "stray line: " << line.toStdString();
            continue;
        }
        sections.back().keys.push_back({line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
    }
    return sections;
}

bool hasCyrillic(const QString& s) {
    for (QChar c : s)
        if (c.unicode() >= 0x0400 && c.unicode() <= 0x04FF)
            return true;
    return false;
}

class SampleLanguage : public ::testing::Test {
protected:
    void SetUp() override {
        QFile f(kPath);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << kPath.toStdString();
        bytes_ = f.readAll();
        sections_ = parse(bytes_);
        ini_ = PrivateProfile(kPath);
        ASSERT_TRUE(ini_.exists());
    }
    const Section* section(const QString& name) const {
        for (const Section& s : sections_)
            if (s.name.compare(name, Qt::CaseInsensitive) == 0)
                return &s;
        return nullptr;
    }
    QByteArray bytes_;
    std::vector<Section> sections_;
    PrivateProfile ini_;
};
} // namespace

TEST_F(SampleLanguage, IsWindows1251TextWithCrLfLinesAndAHeaderComment) {
    ASSERT_FALSE(bytes_.isEmpty());
    EXPECT_TRUE(bytes_.startsWith(';')) << "the file opens with a comment saying what it is";
    EXPECT_TRUE(bytes_.endsWith("\r\n"));
    EXPECT_EQ(bytes_.count('\n'), bytes_.count("\r\n")) << "every line ends in CR LF";
    EXPECT_EQ(bytes_.count('\r'), bytes_.count("\r\n")) << "no bare CR";
    EXPECT_FALSE(bytes_.startsWith("\xEF\xBB\xBF")) << "a UTF-8 mark reads as three letters";

    // Every character must be one a language file plainly holds: printable ASCII, the
    // Cyrillic letters or the numero sign. Text saved as UTF-8 or another code page shows
    // up here as stray symbols (UTF-8 "–" reads as "вЂ“": 'Ђ' is not a letter of the page).
    const QString text = cp1251::decode(bytes_);
    EXPECT_EQ(cp1251::encode(text), bytes_);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const bool ok = (c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n' ||
                        (c >= 0x0410 && c <= 0x044F) || c == 0x0401 || c == 0x0451 || c == 0x2116;
        EXPECT_TRUE(ok) << "character U+" << std::hex << int(c) << " at offset " << std::dec << i;
    }

    // A '?' is what a text that was converted through a code page lacking its letters turns
    // into: it is only at home at the end of the one question the station asks.
    for (const Section& s : sections_)
        for (const Key& k : s.keys) {
            const bool question = s.name == QLatin1String("Table") && k.name == "lngWantRec";
            EXPECT_EQ(k.value.count(QLatin1Char('?')), question ? 1 : 0)
                << s.name.toStdString() << "/" << k.name.toStdString() << ": "
                << k.value.toStdString();
            if (question) {
                EXPECT_TRUE(k.value.endsWith(QLatin1Char('?')));
            }
        }
}

TEST_F(SampleLanguage, MainSectionHoldsEveryMainTextInReadingOrder) {
    int count = 0;
    const char* const* names = MainTexts::keyNames(&count);
    ASSERT_GT(count, 0);
    const Section* main = section(QStringLiteral("Main"));
    ASSERT_NE(main, nullptr);

    QStringList expected, written;
    for (int i = 0; i < count; ++i)
        expected << QString::fromLatin1(names[i]);
    for (const Key& k : main->keys)
        written << k.name;
    EXPECT_EQ(written, expected) << "the keys of [Main], one each, in the station's order";

    for (int i = 0; i < count; ++i) {
        const QString key = QString::fromLatin1(names[i]);
        const QString text = ini_.read(QStringLiteral("Main"), key, kMissing);
        ASSERT_NE(text, kMissing) << names[i] << " is missing";
        EXPECT_FALSE(text.trimmed().isEmpty()) << names[i];
        // Every Russian default has Cyrillic letters; an English text has none.
        EXPECT_FALSE(hasCyrillic(text)) << names[i] << ": " << text.toStdString();
    }
}

TEST_F(SampleLanguage, LoadedMainTextsReplaceTheRussianDefaults) {
    // Through the station's own loader: the texts the poll thread builds messages from and
    // the title are the file's, not the built-in ones.
    const MainTexts russian = MainTexts::defaults();
    const MainTexts english = MainTexts::load(ini_);
    const std::pair<const char*, QString MainTexts::*> fields[] = {
        {"MainFormKorvel", &MainTexts::MainFormKorvel},
        {"lngSviazBad", &MainTexts::lngSviazBad},
        {"lngSviazGood", &MainTexts::lngSviazGood},
        {"lngRKO1", &MainTexts::lngRKO1},
        {"lngRTP2", &MainTexts::lngRTP2},
        {"avrTenzo", &MainTexts::avrTenzo},
        {"avrNapr", &MainTexts::avrNapr},
        {"avrCancel", &MainTexts::avrCancel},
        {"StopPanel", &MainTexts::StopPanel},
        {"lngErrWrite", &MainTexts::lngErrWrite},
    };
    for (const auto& [name, field] : fields) {
        EXPECT_NE(english.*field, russian.*field) << name;
        EXPECT_EQ(english.*field, ini_.read(QStringLiteral("Main"), QLatin1String(name), {}))
            << name;
    }
}

TEST_F(SampleLanguage, EveryWindowHasItsSectionAndCaption) {
    const std::pair<const char*, const char*> captions[] = {
        {"Main", "MainFormKorvel"}, {"Option", "OptForm"},      {"Attention", "AttentionForm"},
        {"Mnemo", "MnemoForm"},     {"Table", "TableForm"},     {"Protocol", "ProtocolForm"},
        {"Jurnal", "JurnalForm"},   {"History", "HistoryForm"}, {"RapDlg", "RapDlgForm"},
    };
    for (const auto& [sec, key] : captions) {
        const Section* s = section(QLatin1String(sec));
        ASSERT_NE(s, nullptr) << sec;
        ASSERT_FALSE(s->keys.empty()) << sec;
        EXPECT_EQ(s->keys.front().name, QLatin1String(key)) << "the caption comes first in " << sec;
        const QString text = ini_.read(QLatin1String(sec), QLatin1String(key), kMissing);
        EXPECT_NE(text, kMissing) << sec << "/" << key;
        EXPECT_FALSE(text.trimmed().isEmpty()) << sec << "/" << key;
        EXPECT_FALSE(hasCyrillic(text)) << sec << "/" << key;
    }
}

TEST_F(SampleLanguage, EveryTextReadsBackExactlyAsWritten) {
    // The reader takes the first section and the first key of a name, strips a pair of
    // enclosing quotes and cuts at 2047 characters: a text written otherwise would silently
    // show something else (the attention texts carry quotes inside them).
    QStringList seenSections;
    for (const Section& s : sections_) {
        EXPECT_FALSE(seenSections.contains(s.name, Qt::CaseInsensitive))
            << "section " << s.name.toStdString() << " twice";
        seenSections << s.name;
        QStringList seenKeys;
        for (const Key& k : s.keys) {
            EXPECT_FALSE(seenKeys.contains(k.name, Qt::CaseInsensitive))
                << s.name.toStdString() << "/" << k.name.toStdString() << " twice";
            seenKeys << k.name;
            EXPECT_EQ(ini_.read(s.name, k.name, kMissing), k.value)
                << s.name.toStdString() << "/" << k.name.toStdString();
            EXPECT_FALSE(k.value.isEmpty()) << s.name.toStdString() << "/" << k.name.toStdString();
            EXPECT_FALSE(hasCyrillic(k.value))
                << s.name.toStdString() << "/" << k.name.toStdString();
        }
    }
}

TEST_F(SampleLanguage, LineBreaksOnlyInTheMimicTextsThatTakeThem) {
    // The mimic window turns "|" into a line break in these texts only; anywhere else the
    // bar would be shown as it is.
    const QStringList multiLine = {
        QStringLiteral("labRegRKO1"),    QStringLiteral("labRegRTP2"),
        QStringLiteral("labAvrVP12"),    QStringLiteral("labAvrZat12"),
        QStringLiteral("labRegTransp1"), QStringLiteral("labBigBunUp"),
        QStringLiteral("labBigBunDown"), QStringLiteral("labBigBun1"),
        QStringLiteral("labBigBun2"),    QStringLiteral("labRegPech1"),
        QStringLiteral("labRegPech2"),   QStringLiteral("labTenz"),
    };
    for (const QString& key : multiLine) {
        const QString text = ini_.read(QStringLiteral("Mnemo"), key, kMissing);
        ASSERT_NE(text, kMissing) << key.toStdString();
        EXPECT_TRUE(text.contains(QLatin1Char('|'))) << key.toStdString() << " fits on two lines";
        for (const QString& line : lang::multiLine(text).split(QLatin1Char('\n')))
            EXPECT_FALSE(line.trimmed().isEmpty()) << key.toStdString() << ": an empty line";
    }
    for (const Section& s : sections_)
        for (const Key& k : s.keys) {
            const bool takesBreaks = s.name == QLatin1String("Mnemo") && multiLine.contains(k.name);
            if (!takesBreaks) {
                EXPECT_FALSE(k.value.contains(QLatin1Char('|')))
                    << s.name.toStdString() << "/" << k.name.toStdString();
            }
        }
}

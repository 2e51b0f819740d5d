// The saved report file: the built pages come back unchanged, and the loader refuses damaged
// and foreign files without touching what it was given.
#include "ReportFile.h"
#include "MainTexts.h"
#include "ReportBuilder.h"
#include "StationReports.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace report;

namespace {

PreparedReport shiftReport() {
    MemTable t;
    t.fields = QStringList{"TIME", "COD_MAT", "VES", "REG_DOZ"};
    for (int i = 0; i < 30; ++i)
        t.rows.push_back({"07:00:00", QStringLiteral("%1").arg(i / 3, 2, 10, QLatin1Char('0')),
                          QString::number(100 + i), i % 2 ? "Manual" : "Automatik"});
    return build(views::shiftTemplate(), t,
                 views::shiftVariables(MainTexts::defaults(), "05.03.2010", 0));
}

} // namespace

TEST(ReportFile, SavedReportLoadsAsTheSamePages) {
    QTemporaryDir dir;
    const PreparedReport original = shiftReport();
    ASSERT_GE(original.pages.size(), 1u);
    const QString path = dir.filePath("shift.frp");
    QString error;
    ASSERT_TRUE(saveFile(path, original, &error)) << error.toStdString();
    PreparedReport loaded;
    ASSERT_TRUE(loadFile(path, &loaded, &error)) << error.toStdString();
    EXPECT_EQ(loaded, original);

    // Colours without a value, odd fonts and every alignment survive too.
    PreparedReport odd;
    Page page{100, 200, {}};
    Item a;
    a.rect = QRectF(1.5, 2.25, 30, 40);
    a.text = "ё [x] \t";
    a.font = Font{"Bookman Old Style", 7.5, true, false};
    a.hAlign = HAlign::Right;
    a.vAlign = VAlign::Bottom;
    a.frames = FrameLeft | FrameBottom;
    a.color = QColor(1, 2, 3, 4);
    page.items.push_back(a);
    odd.pages.push_back(page);
    odd.pages.push_back(Page{100, 200, {}});
    ASSERT_TRUE(deserialize(serialize(odd), &loaded, &error)) << error.toStdString();
    EXPECT_EQ(loaded, odd);
}

TEST(ReportFile, ExtensionIsAlwaysFrp) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {{"/tmp/report.txt", "/tmp/report.frp"}, {"/tmp/report", "/tmp/report.frp"},
                 {"/tmp/report.frp", "/tmp/report.frp"}, {"/tmp/a.b.pdf", "/tmp/a.b.frp"},
                 {"report.FRP", "report.frp"},           {"/tmp/dir.x/rep", "/tmp/dir.x/rep.frp"}};
    for (const auto& c : cases)
        EXPECT_EQ(withReportExtension(c.in), QString(c.out)) << c.in;
}

TEST(ReportFile, DamagedOrForeignFilesAreRefusedAndChangeNothing) {
    const PreparedReport original = shiftReport();
    const QByteArray good = serialize(original);
    const PreparedReport sentinel = PreparedReport::blank();

    auto refused = [&](const QByteArray& bytes, const char* what) {
        PreparedReport out = sentinel;
        QString error;
        EXPECT_FALSE(deserialize(bytes, &out, &error)) << what;
        EXPECT_FALSE(error.isEmpty()) << what;
        EXPECT_EQ(out, sentinel) << what;
    };
    refused(QByteArray(), "empty");
    refused("[Main]\r\nlngError=x\r\n", "a text file");
    refused(good.left(good.size() - 1), "one byte short");
    refused(good + 'x', "one byte too many");
    QByteArray flipped = good;
    flipped[good.size() / 2] = char(flipped[good.size() / 2] ^ 0x01);
    refused(flipped, "a changed byte");
    QByteArray version = good;
    version[8] = 2;
    refused(version, "a newer version");
    for (int cut = 0; cut < good.size(); cut += 7)
        refused(good.left(cut), "cut short");
}

TEST(ReportFile, ConsistentButInsaneContentIsRefused) {
    // A file whose checksum is right but whose numbers are not: rebuild the frame around a
    // payload that claims more pages than it holds.
    PreparedReport r;
    r.pages.push_back(Page{100, 100, {}});
    QByteArray bytes = serialize(r);
    // Payload starts after mark, version and length; the page count is its first word.
    bytes[16] = char(0xFF);
    bytes[17] = char(0xFF);
    // Fix the checksum so only the content check can refuse it.
    const QByteArray payload = bytes.mid(16, bytes.size() - 20);
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : payload) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    crc ^= 0xFFFFFFFFu;
    for (int i = 0; i < 4; ++i)
        bytes[bytes.size() - 4 + i] = char((crc >> (8 * i)) & 0xFF);
    PreparedReport out;
    QString error;
    EXPECT_FALSE(deserialize(bytes, &out, &error));
    EXPECT_TRUE(out.empty());
}

TEST(ReportFile, MissingFileGivesAClearError) {
    QTemporaryDir dir;
    PreparedReport out = PreparedReport::blank();
    QString error;
    EXPECT_FALSE(loadFile(dir.filePath("none.frp"), &out, &error));
    EXPECT_TRUE(error.contains("none.frp"));
    EXPECT_EQ(out, PreparedReport::blank());
}

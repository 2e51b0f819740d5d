#include "ArchiveGenerator.h"

#include "DailyTables.h"
#include "DbfTable.h"

#include <QFile>
#include <QtEndian>
#include <cstring>

namespace {
void putField(char* at, int width, const QByteArray& text, bool rightAligned) {
    std::memset(at, ' ', width);
    const int n = std::min<int>(width, text.size());
    std::memcpy(at + (rightAligned ? width - n : 0), text.constData(), n);
}
} // namespace

bool writeArchiveDay(const QString& path, int records, QString* error) {
    if (!dbf::create(path, daily::archiveFields(), error))
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite)) {
        *error = f.errorString();
        return false;
    }
    const QByteArray head = f.read(12);
    const int headerLength = qFromLittleEndian<quint16>(head.constData() + 8);
    const int recordLength = qFromLittleEndian<quint16>(head.constData() + 10);

    QByteArray body(static_cast<qsizetype>(records) * recordLength + 1, ' ');
    const QByteArray dat = QByteArrayLiteral("20240311");
    for (int r = 0; r < records; ++r) {
        char* rec = body.data() + static_cast<qsizetype>(r) * recordLength;
        rec[0] = ' ';
        const int second = static_cast<int>(static_cast<long long>(r) * 86400 / records);
        const QByteArray time = QStringLiteral("%1:%2:%3")
                                    .arg(second / 3600, 2, 10, QLatin1Char('0'))
                                    .arg(second / 60 % 60, 2, 10, QLatin1Char('0'))
                                    .arg(second % 60, 2, 10, QLatin1Char('0'))
                                    .toLatin1();
        putField(rec + 1, 8, time, false);
        putField(rec + 9, 8, dat, false);
        for (int n = 1; n <= 6; ++n) {
            const int shift = second / (4 * 3600); // setpoint changes every 4 hours
            const int zad = 2000 + 500 * n + 250 * (shift % 3);
            const int kor = zad - 30 + (r / 997 + n) % 60; // corrected by the controller
            const int cycle = 240 + 20 * n;                // records per dosing cycle
            const int phase = (r + 37 * n) % cycle;
            const int fill = cycle * 3 / 4;
            const int ves =
                phase < fill ? kor * phase / fill - 5 : kor - kor * (phase - fill) / (cycle - fill);
            char* at = rec + 17 + (n - 1) * 27;
            putField(at, 9, QByteArray::number(zad), true);
            putField(at + 9, 9, QByteArray::number(kor), true);
            putField(at + 18, 9, QByteArray::number(ves), true);
        }
    }
    body[body.size() - 1] = 0x1A;
    char count[4];
    qToLittleEndian<quint32>(static_cast<quint32>(records), count);
    if (!f.seek(headerLength) || f.write(body) != body.size() || !f.seek(4) ||
        f.write(count, 4) != 4) {
        *error = f.errorString();
        return false;
    }
    return true;
}

// libFuzzer target: any bytes handed to the table reader give a table or a clear error,
// and every field of every counted record reads without going astray.
#include "DbfTable.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DbfReader reader;
    QString error;
    if (!reader.openData(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)),
                         &error)) {
        if (error.isEmpty())
            __builtin_trap(); // a refusal always says why
        return 0;
    }
    const int fields = int(reader.fields().size());
    long long sum = 0;
    for (int r = 0; r < reader.recordCount(); ++r) {
        sum += reader.deleted(r);
        for (int f = 0; f < fields; ++f) {
            sum += reader.text(r, f).size();
            sum += reader.number(r, f);
            sum += reader.date(r, f).isValid();
            sum += reader.raw(r, f).size();
        }
    }
    // Past the ends: nothing, never a read out of bounds.
    sum += reader.raw(reader.recordCount(), 0).size() + reader.raw(0, fields).size();
    __asm__ volatile("" : : "g"(sum) : "memory"); // keep the reads
    return 0;
}

// libFuzzer target for the saved report loader: any input is either refused with a message
// and no change, or accepted as pages that save and load again unchanged.
#include "ReportFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    report::PreparedReport out = report::PreparedReport::blank();
    QString error;
    if (!report::deserialize(bytes, &out, &error)) {
        if (error.isEmpty() || !(out == report::PreparedReport::blank()))
            std::abort();
        return 0;
    }
    report::PreparedReport again;
    if (!report::deserialize(report::serialize(out), &again, &error) || !(again == out))
        std::abort();
    return 0;
}

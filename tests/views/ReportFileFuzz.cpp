// libFuzzer target for the saved report loader: any input is either refused with a message
// and no change, or accepted as pages that save and load again unchanged.
//
// Built twice. As it stands the input is the whole file, so the mark, version, length and
// CRC checks are fuzzed. With KORVEL_FUZZ_PAYLOAD the input is the payload alone and the
// target puts the file around it with a correct length and CRC, so that nearly every input
// reaches the page and item parser instead of failing the checksum.
#include "ReportFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView input(reinterpret_cast<const char*>(data), qsizetype(size));
#ifdef KORVEL_FUZZ_PAYLOAD
    const QByteArray bytes = report::wrapPayload(input);
#else
    const QByteArray bytes = input.toByteArray();
#endif
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

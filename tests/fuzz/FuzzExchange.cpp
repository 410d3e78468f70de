// The project exchange readers, one program per format (QS_FUZZ_FORMAT
// picks it at compile time): Lotus worksheets, fixed-width ASCII records,
// enhanced ASCII text and predecessor exhibit files. What a reader accepts
// writes back and reads again into the same form: written twice, the bytes
// agree.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "ProjectExchange.h"

using namespace qsexchange;

namespace {

#if QS_FUZZ_FORMAT == 1  // Lotus .wk1
void Run(const std::uint8_t* data, std::size_t size) {
    ExchangeData first;
    if (ReadWk1(data, size, first) != kExOk) return;
    std::vector<std::uint8_t> written;
    if (WriteWk1(first, written) != kExOk) return;  // too large to write back is a fair refusal
    ExchangeData second;
    QS_FUZZ_CHECK(ReadWk1(written.data(), written.size(), second) == kExOk);
    std::vector<std::uint8_t> again;
    QS_FUZZ_CHECK(WriteWk1(second, again) == kExOk && again == written);
}
#elif QS_FUZZ_FORMAT == 2  // fixed-width ASCII, the record layout from the first 29 bytes
void Run(const std::uint8_t* data, std::size_t size) {
    if (size < 30) return;
    Widths header(data, data + 18), record(data + 18, data + 29);
    const unsigned short layer = static_cast<unsigned short>(1 + data[29] % 5);
    const std::string text(reinterpret_cast<const char*>(data + 30), size - 30);
    ExchangeData first;
    if (ReadAscii(text, header, record, layer, first) != kExOk) return;
    std::string written;
    if (WriteAscii(first, header, record, written) != kExOk) return;
    ExchangeData second;
    QS_FUZZ_CHECK(ReadAscii(written, header, record, layer, second) == kExOk);
    std::string again;
    QS_FUZZ_CHECK(WriteAscii(second, header, record, again) == kExOk && again == written);
}
#elif QS_FUZZ_FORMAT == 3  // enhanced ASCII
void Run(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ExchangeData first;
    if (ReadExtAscii(text, first) != kExOk) return;
    const std::string written = WriteExtAscii(first);
    ExchangeData second;
    QS_FUZZ_CHECK(ReadExtAscii(written, second) == kExOk);
    QS_FUZZ_CHECK(WriteExtAscii(second) == written);
}
#elif QS_FUZZ_FORMAT == 4  // predecessor .pc5 (the input starts after the signature)
void Run(const std::uint8_t* data, std::size_t size) {
    ExchangeData first;
    if (ReadPC5(data, size, first) != kExOk) return;
    const std::vector<std::uint8_t> written = WritePC5(first);
    QS_FUZZ_CHECK(written.size() >= 4);
    ExchangeData second;
    QS_FUZZ_CHECK(ReadPC5(written.data() + 4, written.size() - 4, second) == kExOk);
    QS_FUZZ_CHECK(WritePC5(second) == written);
}
#else
#error "QS_FUZZ_FORMAT must be 1 to 4"
#endif

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Run(data, size);
    return 0;
}

// Factor libraries (.dfl): an accepted library writes, reads and writes to the
// same bytes.
#include <cstdint>
#include <vector>

#include "CFSLib.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFSLib library;
    if (library.FromBytes(std::vector<std::uint8_t>(data, data + size)) != 0) return 0;
    const std::vector<std::uint8_t> written = library.ToBytes();
    CFSLib again;
    QS_FUZZ_CHECK(again.FromBytes(written) == 0);
    QS_FUZZ_CHECK(again.ToBytes() == written);
    return 0;
}

// The exhibit defaults files: byte 0 picks the file (0 statistics rows,
// 1 selections, 2 interpolation set-up, 3 exhibits with statistics), the rest
// is its content. What a reader accepts writes out, reads again to the same
// values and writes out to the same bytes.
#include <cstdint>
#include <vector>

#include "ExhibitDefaultsFiles.h"
#include "FuzzCheck.h"

namespace defaults = qs::views::defaults;

namespace {

template <typename Value, typename ParseFn, typename WriteFn>
void RoundTrip(const std::vector<std::uint8_t>& bytes, Value value, ParseFn parse, WriteFn write) {
    if (!parse(bytes, value)) return;
    const std::vector<std::uint8_t> written = write(value);
    Value again{};
    QS_FUZZ_CHECK(parse(written, again));
    QS_FUZZ_CHECK(write(again) == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::vector<std::uint8_t> bytes(data + 1, data + size);
    switch (data[0] % 4) {
    case 0:
        RoundTrip(bytes, std::vector<CStatistics::Record>{}, defaults::ParseStats, defaults::StatsBytes);
        break;
    case 1:
        RoundTrip(bytes, std::array<int, 6>{}, defaults::ParseSelections, defaults::SelectionsBytes);
        break;
    case 2:
        RoundTrip(bytes, defaults::InterpolationDefaults{}, defaults::ParseInterpolation, defaults::InterpolationBytes);
        break;
    default:
        RoundTrip(bytes, QSIDArray{}, defaults::ParseExhibitStats, defaults::ExhibitStatsBytes);
        break;
    }
    return 0;
}

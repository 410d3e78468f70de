#pragma once
// The ASCII record layout: the field widths of the fixed-width header and
// data records that ASCII imports and exports read and write, kept in the
// small binary file "ascrec.dat" in the working directory.
//
// The file is a framework archive, little-endian, 33 bytes:
//   u16 0xFFFF signature | u16 version 1 | header fields 1-11 | data fields
//   1-11 | header fields 12-17 | "Use linefeeds" 0/1
// Version 0 files (26 bytes after the version: no fields 16, 17 and no
// linefeeds flag) are read too; only version 1 is written. A file that is
// missing, short, or has another signature or version leaves the defaults.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CByteArray;

namespace qs::exchange {

struct AsciiFieldSpec {
    const char* label;
    int controlId;
    std::uint8_t defaultWidth;
    std::uint8_t minimum;
};

struct AsciiRecordLayout {
    static constexpr int kHeaderFields = 17;
    static constexpr int kDataFields = 11;
    static constexpr std::uint16_t kSignature = 0xFFFF;
    static constexpr std::uint16_t kVersion = 1;
    static constexpr std::size_t kFileSize = 33;
    static constexpr int kUseLinefeedsId = 1441;
    static const std::array<AsciiFieldSpec, kHeaderFields> kHeaderSpecs;
    static const std::array<AsciiFieldSpec, kDataFields> kDataSpecs;

    std::array<std::uint8_t, kHeaderFields> header{};  // header fields 1 to 17, screen order
    std::array<std::uint8_t, kDataFields> data{};      // data fields 1 to 11
    bool useLinefeeds = true;

    static AsciiRecordLayout Defaults();

    // The kernel's lists: 18 header entries (fields 1-17, then the linefeeds
    // flag) and 11 data entries.
    void HeaderWidths(CByteArray& out) const;
    void DataWidths(CByteArray& out) const;

    // False, leaving layout untouched, when the bytes are no layout file.
    static bool Parse(const std::vector<std::uint8_t>& bytes, AsciiRecordLayout& layout);
    std::vector<std::uint8_t> Serialize() const;

    bool operator==(const AsciiRecordLayout&) const = default;
};

inline constexpr const char* kAsciiRecordFileName = "ascrec.dat";

// The layout file's path in a working directory.
std::string AsciiRecordLayoutPath(const std::string& workingDirectory);
// The defaults, or what the file holds when it is a layout file.
AsciiRecordLayout LoadAsciiRecordLayout(const std::string& path);
// Writes through a temporary file renamed over the target; false with the
// reason in error when it cannot be written (the old file is then intact).
bool SaveAsciiRecordLayout(const std::string& path, const AsciiRecordLayout& layout, std::string* error);

}  // namespace qs::exchange

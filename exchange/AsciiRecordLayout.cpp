#include "AsciiRecordLayout.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <unistd.h>

#include "ValueArrays.h"

namespace qs::exchange {

const std::array<AsciiFieldSpec, AsciiRecordLayout::kHeaderFields> AsciiRecordLayout::kHeaderSpecs = {{
    {"Filler 1", 1046, 0, 0},
    {"Num. Rows/Columns", 1137, 2, 1},
    {"Filler 2", 1138, 0, 0},
    {"First Year", 1139, 4, 1},
    {"Filler 3", 1140, 0, 0},
    {"Periods per Year", 1141, 2, 1},
    {"Filler 4", 1142, 0, 0},
    {"First Period", 1143, 3, 1},
    {"Filler 5", 1144, 0, 0},
    {"First Eval./Dev. Period", 1145, 12, 1},
    {"Filler 6", 1146, 2, 0},
    {"Num. Columns", 1161, 0, 0},
    {"Filler 7", 1162, 0, 0},
    {"Eval. Periods per Yr.", 1163, 0, 0},
    {"Filler 8", 1164, 0, 0},
    {"All Prior Row Flag", 1165, 1, 0},
    {"Filler 9", 1166, 0, 0},
}};

const std::array<AsciiFieldSpec, AsciiRecordLayout::kDataFields> AsciiRecordLayout::kDataSpecs = {{
    {"Filler 1", 1047, 0, 0},
    {"Array ID #", 1147, 2, 1},
    {"Filler 2", 1148, 0, 0},
    {"Year", 1149, 4, 1},
    {"Filler 3", 1150, 0, 0},
    {"Year Interval", 1151, 2, 1},
    {"Filler 4", 1152, 0, 0},
    {"Months of Development", 1153, 3, 1},
    {"Filler 5", 1154, 0, 0},
    {"Data", 1155, 12, 1},
    {"Filler 6", 1156, 0, 0},
}};

AsciiRecordLayout AsciiRecordLayout::Defaults() {
    AsciiRecordLayout layout;
    for (int i = 0; i < kHeaderFields; ++i) layout.header[i] = kHeaderSpecs[i].defaultWidth;
    for (int i = 0; i < kDataFields; ++i) layout.data[i] = kDataSpecs[i].defaultWidth;
    layout.useLinefeeds = true;
    return layout;
}

void AsciiRecordLayout::HeaderWidths(CByteArray& out) const {
    out.RemoveAll();
    for (std::uint8_t w : header) out.Add(w);
    out.Add(useLinefeeds ? 1 : 0);
}

void AsciiRecordLayout::DataWidths(CByteArray& out) const {
    out.RemoveAll();
    for (std::uint8_t w : data) out.Add(w);
}

namespace {
// Header fields 1-11 are stored, then the data fields, then header fields 12 on.
constexpr int kFirstHeaderBlock = 11;
}  // namespace

bool AsciiRecordLayout::Parse(const std::vector<std::uint8_t>& bytes, AsciiRecordLayout& layout) {
    if (bytes.size() < 4) return false;
    const unsigned signature = bytes[0] | (bytes[1] << 8);
    const unsigned version = bytes[2] | (bytes[3] << 8);
    if (signature != kSignature || version > 1) return false;
    // Version 0 stops after header field 15.
    const int laterHeader = version == 1 ? kHeaderFields - kFirstHeaderBlock : 4;
    const std::size_t needed = 4 + kFirstHeaderBlock + kDataFields + laterHeader + (version == 1 ? 1 : 0);
    if (bytes.size() < needed) return false;
    AsciiRecordLayout read = Defaults();
    std::size_t at = 4;
    for (int i = 0; i < kFirstHeaderBlock; ++i) read.header[i] = bytes[at++];
    for (int i = 0; i < kDataFields; ++i) read.data[i] = bytes[at++];
    for (int i = 0; i < laterHeader; ++i) read.header[kFirstHeaderBlock + i] = bytes[at++];
    if (version == 1) read.useLinefeeds = bytes[at++] != 0;
    layout = read;
    return true;
}

std::vector<std::uint8_t> AsciiRecordLayout::Serialize() const {
    std::vector<std::uint8_t> out;
    out.reserve(kFileSize);
    out.push_back(kSignature & 0xFF);
    out.push_back(kSignature >> 8);
    out.push_back(kVersion & 0xFF);
    out.push_back(kVersion >> 8);
    for (int i = 0; i < kFirstHeaderBlock; ++i) out.push_back(header[i]);
    for (std::uint8_t w : data) out.push_back(w);
    for (int i = kFirstHeaderBlock; i < kHeaderFields; ++i) out.push_back(header[i]);
    out.push_back(useLinefeeds ? 1 : 0);
    return out;
}

std::string AsciiRecordLayoutPath(const std::string& workingDirectory) {
    std::string path = workingDirectory;
    if (!path.empty() && path.back() != '/') path += '/';
    return path + kAsciiRecordFileName;
}

AsciiRecordLayout LoadAsciiRecordLayout(const std::string& path) {
    AsciiRecordLayout layout = AsciiRecordLayout::Defaults();
    std::ifstream in(path, std::ios::binary);
    if (!in) return layout;
    // A layout file is tiny; anything much larger is not one.
    std::vector<std::uint8_t> bytes;
    char c;
    while (bytes.size() < 4096 && in.get(c)) bytes.push_back(static_cast<std::uint8_t>(c));
    AsciiRecordLayout::Parse(bytes, layout);
    return layout;
}

bool SaveAsciiRecordLayout(const std::string& path, const AsciiRecordLayout& layout, std::string* error) {
    const std::vector<std::uint8_t> bytes = layout.Serialize();
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    const auto fail = [&](const char* what, int err) {
        if (error) *error = std::string(what) + ": " + std::strerror(err);
        ::unlink(temp.c_str());
        return false;
    };
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        const int err = errno;
        if (error) *error = std::string("cannot create the file: ") + std::strerror(err);
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            return fail("cannot write the file", err);
        }
        done += std::size_t(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) return fail("cannot write the file", errno);
    if (std::rename(temp.c_str(), path.c_str()) != 0) return fail("cannot replace the file", errno);
    return true;
}

}  // namespace qs::exchange

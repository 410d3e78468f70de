#pragma once
// Small helpers shared by the archive tests: build expected bytes readably.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace archive_test {

using Bytes = std::vector<uint8_t>;

inline void Append(Bytes& b, std::initializer_list<int> values)
{
    for (int v : values)
        b.push_back(static_cast<uint8_t>(v));
}
inline void AppendText(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }
inline void AppendLE(Bytes& b, uint64_t v, int n)
{
    for (int i = 0; i < n; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace archive_test

#pragma once
// Little-endian byte writer and bounds-checked reader used for the kernel's
// stored layouts (docs/kernel/storage.md). A reader never reads past its end:
// the first short read sets the failed mark, every later read returns zeros,
// and the caller turns the mark into a load status. Counts are checked against
// the bytes left, so a damaged count cannot make the loader allocate or loop
// beyond the stream.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// The 32-bit FNV-1a hash that seals the kernel's stored frames: cheap, and
// any changed byte changes it.
inline std::uint32_t KernelChecksum(const std::uint8_t* p, std::size_t n) {
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < n; ++i) {
        h ^= p[i];
        h *= 16777619u;
    }
    return h;
}

class KernelWriter {
public:
    std::vector<std::uint8_t>& Bytes() { return m_bytes; }
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

    void U8(std::uint8_t v) { m_bytes.push_back(v); }
    void U16(std::uint16_t v) { Raw(&v, 2); }
    void U32(std::uint32_t v) { Raw(&v, 4); }
    void I32(std::int32_t v) { Raw(&v, 4); }
    void F64(double v) { Raw(&v, 8); }
    void Str(const std::string& s) {
        U32(static_cast<std::uint32_t>(s.size()));
        m_bytes.insert(m_bytes.end(), s.begin(), s.end());
    }
    void Blob(const std::vector<std::uint8_t>& b) {
        U32(static_cast<std::uint32_t>(b.size()));
        m_bytes.insert(m_bytes.end(), b.begin(), b.end());
    }
    // A blob written in place: BeginBlob leaves room for the count, EndBlob fills it.
    std::size_t BeginBlob() {
        const std::size_t at = m_bytes.size();
        U32(0);
        return at;
    }
    void EndBlob(std::size_t at) {
        const auto n = static_cast<std::uint32_t>(m_bytes.size() - at - 4);
        std::memcpy(m_bytes.data() + at, &n, 4);
    }
    // Reserves room for n more bytes (growing geometrically), so callers that
    // know their size up front append without repeated reallocation.
    void Reserve(std::size_t n) {
        if (m_bytes.size() + n > m_bytes.capacity()) m_bytes.reserve(std::max(m_bytes.size() + n, 2 * m_bytes.capacity()));
    }
    // Appends n bytes for the caller to fill; the pointer is valid until the next write.
    std::uint8_t* Grow(std::size_t n) {
        Reserve(n);
        const std::size_t at = m_bytes.size();
        m_bytes.resize(at + n);
        return m_bytes.data() + at;
    }
    void Raw(const void* p, std::size_t n) {
        if (n == 0) return;
        // The kernel runs on little-endian hosts only; the layout is little-endian.
        const auto* b = static_cast<const std::uint8_t*>(p);
        m_bytes.insert(m_bytes.end(), b, b + n);
    }

private:
    std::vector<std::uint8_t> m_bytes;
};

class KernelReader {
public:
    KernelReader(const std::uint8_t* data, std::size_t size) : m_p(data), m_end(data + size) {}
    explicit KernelReader(const std::vector<std::uint8_t>& v) : KernelReader(v.data(), v.size()) {}

    bool Failed() const { return m_failed; }
    void Fail() { m_failed = true; }
    std::size_t Left() const { return m_failed ? 0 : static_cast<std::size_t>(m_end - m_p); }

    std::uint8_t U8() { std::uint8_t v = 0; Raw(&v, 1); return v; }
    std::uint16_t U16() { std::uint16_t v = 0; Raw(&v, 2); return v; }
    std::uint32_t U32() { std::uint32_t v = 0; Raw(&v, 4); return v; }
    std::int32_t I32() { std::int32_t v = 0; Raw(&v, 4); return v; }
    double F64() { double v = 0; Raw(&v, 8); return v; }
    std::string Str() {
        const std::uint32_t n = U32();
        if (n > Left()) { m_failed = true; return {}; }
        std::string s(reinterpret_cast<const char*>(m_p), n);
        m_p += n;
        return s;
    }
    std::vector<std::uint8_t> Blob() {
        const std::uint32_t n = U32();
        if (n > Left()) { m_failed = true; return {}; }
        std::vector<std::uint8_t> b(m_p, m_p + n);
        m_p += n;
        return b;
    }
    // A count of items each at least minItemBytes long; fails when the stream
    // cannot hold that many.
    std::uint32_t Count(std::size_t minItemBytes) {
        const std::uint32_t n = U32();
        if (minItemBytes && n > Left() / minItemBytes) { m_failed = true; return 0; }
        return n;
    }
    void Raw(void* out, std::size_t n) {
        if (n == 0) return;
        if (m_failed || static_cast<std::size_t>(m_end - m_p) < n) {
            m_failed = true;
            std::memset(out, 0, n);
            return;
        }
        std::memcpy(out, m_p, n);
        m_p += n;
    }

private:
    const std::uint8_t* m_p;
    const std::uint8_t* m_end;
    bool m_failed = false;
};

#include "CMemFile.h"

#include "CException.h"

#include <cerrno>
#include <cstring>

CMemFile::CMemFile(std::vector<uint8_t> bytes) : m_own(std::move(bytes)) {}

CMemFile::CMemFile(std::vector<uint8_t>* external) : m_external(external) {}

bool CMemFile::Open(const std::string&, unsigned, int* osError)
{
    // A memory file has no path to open.
    if (osError)
        *osError = EINVAL;
    return false;
}

size_t CMemFile::Read(void* buffer, size_t n)
{
    const auto& b = Bytes();
    if (m_pos >= b.size())
        return 0;
    size_t avail = static_cast<size_t>(b.size() - m_pos);
    size_t take = n < avail ? n : avail;
    if (take)
        std::memcpy(buffer, b.data() + m_pos, take);
    m_pos += take;
    return take;
}

void CMemFile::Write(const void* buffer, size_t n)
{
    if (n == 0)
        return;
    auto& b = Buf();
    if (m_pos + n > b.size())
        b.resize(static_cast<size_t>(m_pos + n));
    std::memcpy(b.data() + m_pos, buffer, n);
    m_pos += n;
}

uint64_t CMemFile::Seek(int64_t offset, SeekPosition from)
{
    int64_t base = from == begin ? 0 : from == current ? static_cast<int64_t>(m_pos)
                                                       : static_cast<int64_t>(Bytes().size());
    int64_t target = base + offset;
    if (target < 0)
        throw CFileException(CFileException::badPath, EINVAL, "<memory>", "cannot seek before the start of");
    m_pos = static_cast<uint64_t>(target);
    return m_pos;
}

void CMemFile::SetLength(uint64_t length)
{
    Buf().resize(static_cast<size_t>(length));
    if (m_pos > length)
        m_pos = length;
}

std::vector<uint8_t> CMemFile::Detach()
{
    std::vector<uint8_t> out = std::move(Buf());
    Buf().clear();
    m_pos = 0;
    return out;
}

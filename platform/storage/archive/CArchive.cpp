#include "CArchive.h"

#include <algorithm>

#include "CObArray.h"
#include "ObjectMaps.h"
#include <cstring>

namespace {
constexpr uint16_t kNullTag = 0x0000;
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint32_t kBigClassTag = 0x80000000u;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint32_t kMaxMapCount = 0x3FFFFFFE;
// Longest stored class name accepted on loading (as the framework does).
constexpr size_t kMaxClassNameLength = 63;
// Objects nested deeper than this are refused rather than risking the stack
// on a hostile file; real documents nest a handful of levels.
constexpr int kMaxObjectNesting = 1024;

thread_local int tArchiveObjectNesting = 0;

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Utf16LeToUtf8(const std::vector<uint8_t>& bytes)
{
    std::string out;
    size_t n = bytes.size() / 2;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        uint32_t u = bytes[2 * i] | (bytes[2 * i + 1] << 8);
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < n) {
            uint32_t lo = bytes[2 * i + 2] | (bytes[2 * i + 3] << 8);
            if (lo >= 0xDC00 && lo < 0xE000) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++i;
                continue;
            }
        }
        if (u >= 0xD800 && u < 0xE000)
            u = 0xFFFD;
        AppendUtf8(out, u);
    }
    return out;
}

struct NestingGuard {
    NestingGuard() { ++tArchiveObjectNesting; }
    ~NestingGuard() { --tArchiveObjectNesting; }
};
}  // namespace

CArchive::CArchive(CFile* file, unsigned mode, size_t bufferSize)
    : m_file(file), m_mode(mode), m_fileName(file ? file->GetFilePath() : std::string())
{
    if (!m_file)
        Fail(CArchiveException::genericException, "no file");
    m_buf.resize(std::max<size_t>(bufferSize, 16));
}

CArchive::CArchive(std::vector<uint8_t>& buffer, unsigned mode)
    : m_ownedFile(std::make_unique<CMemFile>(&buffer)), m_file(m_ownedFile.get()), m_mode(mode)
{
    if (IsStoring()) {
        // Unbuffered: each value lands in the vector as it is written.
        m_file->SeekToEnd();
    } else {
        m_buf.resize(4096);
    }
}

CArchive::~CArchive()
{
    if (m_file && !(m_mode & bNoFlushOnDelete)) {
        try {
            Flush();
        } catch (...) {
            // Destructors must not throw; Close() reports write errors.
        }
    }
}

void CArchive::Fail(CArchiveException::Cause cause, const std::string& detail) const
{
    throw CArchiveException(cause, detail, m_fileName);
}

void CArchive::RequireStoring() const
{
    if (!m_file)
        Fail(CArchiveException::genericException, "archive is closed");
    if (IsLoading())
        Fail(CArchiveException::readOnly, {});
}

void CArchive::RequireLoading() const
{
    if (!m_file)
        Fail(CArchiveException::genericException, "archive is closed");
    if (IsStoring())
        Fail(CArchiveException::writeOnly, {});
}

void CArchive::Flush()
{
    if (m_file && IsLoading()) {
        // Hand the file back positioned after what was consumed, not after
        // what was read ahead into the buffer.
        if (m_lim > m_cur)
            m_file->Seek(-static_cast<int64_t>(m_lim - m_cur), CFile::current);
        m_cur = m_lim = 0;
        return;
    }
    if (!m_file || m_cur == 0)
        return;
    size_t n = m_cur;
    m_cur = 0;
    m_file->Write(m_buf.data(), n);
}

void CArchive::Close()
{
    if (m_file)
        Flush();
    m_file = nullptr;
}

void CArchive::Abort()
{
    m_cur = m_lim = 0;
    m_file = nullptr;
}

void CArchive::Write(const void* data, size_t n)
{
    RequireStoring();
    if (m_buf.empty()) {
        m_file->Write(data, n);
        return;
    }
    if (m_cur + n > m_buf.size())
        Flush();
    if (n >= m_buf.size()) {
        m_file->Write(data, n);
        return;
    }
    std::memcpy(m_buf.data() + m_cur, data, n);
    m_cur += n;
}

size_t CArchive::ReadAvailable(void* data, size_t n)
{
    auto* out = static_cast<uint8_t*>(data);
    size_t done = 0;
    while (done < n) {
        size_t avail = m_lim - m_cur;
        if (avail > 0) {
            size_t take = std::min(avail, n - done);
            std::memcpy(out + done, m_buf.data() + m_cur, take);
            m_cur += take;
            done += take;
            continue;
        }
        if (n - done >= m_buf.size()) {
            size_t r = m_file->Read(out + done, n - done);
            done += r;
            break;
        }
        m_cur = 0;
        m_lim = m_file->Read(m_buf.data(), m_buf.size());
        if (m_lim == 0)
            break;
    }
    return done;
}

size_t CArchive::Read(void* data, size_t n)
{
    RequireLoading();
    return ReadAvailable(data, n);
}

void CArchive::ReadExact(void* data, size_t n)
{
    RequireLoading();
    if (ReadAvailable(data, n) != n)
        Fail(CArchiveException::endOfFile, "needed " + std::to_string(n) + " bytes");
}

void CArchive::FillAtLeast(size_t n)
{
    if (m_lim - m_cur >= n)
        return;
    std::memmove(m_buf.data(), m_buf.data() + m_cur, m_lim - m_cur);
    m_lim -= m_cur;
    m_cur = 0;
    while (m_lim < n) {
        size_t r = m_file->Read(m_buf.data() + m_lim, m_buf.size() - m_lim);
        if (r == 0)
            Fail(CArchiveException::endOfFile, "needed " + std::to_string(n) + " bytes");
        m_lim += r;
    }
}

uint64_t CArchive::GetBytesRemaining() const
{
    RequireLoading();
    uint64_t len = m_file->GetLength();
    uint64_t pos = m_file->GetPosition();
    return (m_lim - m_cur) + (len > pos ? len - pos : 0);
}

CArchive& CArchive::PutLE(uint64_t v, int bytes)
{
    uint8_t tmp[8];
    for (int i = 0; i < bytes; ++i)
        tmp[i] = static_cast<uint8_t>(v >> (8 * i));
    Write(tmp, static_cast<size_t>(bytes));
    return *this;
}

uint64_t CArchive::GetLE(int bytes)
{
    RequireLoading();
    FillAtLeast(static_cast<size_t>(bytes));
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<uint64_t>(m_buf[m_cur + i]) << (8 * i);
    m_cur += static_cast<size_t>(bytes);
    return v;
}

CArchive& CArchive::operator<<(float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return PutLE(bits, 4);
}

CArchive& CArchive::operator<<(double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    return PutLE(bits, 8);
}

CArchive& CArchive::operator>>(float& v)
{
    uint32_t bits = static_cast<uint32_t>(GetLE(4));
    std::memcpy(&v, &bits, 4);
    return *this;
}

CArchive& CArchive::operator>>(double& v)
{
    uint64_t bits = GetLE(8);
    std::memcpy(&v, &bits, 8);
    return *this;
}

void CArchive::WriteCount(size_t count)
{
    if (count < 0xFFFF) {
        PutLE(count, 2);
    } else if (count < 0xFFFFFFFFu) {
        PutLE(0xFFFF, 2);
        PutLE(count, 4);
    } else {
        Fail(CArchiveException::genericException, "count too large");
    }
}

size_t CArchive::ReadCount()
{
    uint64_t n = GetLE(2);
    if (n != 0xFFFF)
        return static_cast<size_t>(n);
    n = GetLE(4);
    if (n != 0xFFFFFFFFu)
        return static_cast<size_t>(n);
    // The 64-bit form: no count that large can be honoured here.
    n = GetLE(8);
    Fail(CArchiveException::endOfFile, "count " + std::to_string(n) + " exceeds the archive");
}

size_t CArchive::ReadCount(size_t minBytesPerElement)
{
    size_t n = ReadCount();
    if (minBytesPerElement > 0) {
        uint64_t left = GetBytesRemaining();
        if (n > left / minBytesPerElement)
            Fail(CArchiveException::endOfFile,
                 "count " + std::to_string(n) + " exceeds the " + std::to_string(left) + " bytes left");
    }
    return n;
}

void CArchive::WriteString(const std::string& s)
{
    size_t n = s.size();
    if (n < 0xFF) {
        PutLE(n, 1);
    } else if (n < 0xFFFE) {
        PutLE(0xFF, 1);
        PutLE(n, 2);
    } else if (n < 0xFFFFFFFFu) {
        PutLE(0xFF, 1);
        PutLE(0xFFFF, 2);
        PutLE(n, 4);
    } else {
        Fail(CArchiveException::genericException, "string too long");
    }
    Write(s.data(), n);
}

std::string CArchive::ReadStringValue()
{
    size_t charSize = 1;
    uint64_t n = GetLE(1);
    if (n == 0xFF) {
        n = GetLE(2);
        if (n == 0xFFFE) {
            charSize = 2;
            n = GetLE(1);
            if (n == 0xFF)
                n = GetLE(2);
        }
        if (n == 0xFFFF)
            n = GetLE(4);
        if (n == 0xFFFFFFFFu)
            Fail(CArchiveException::endOfFile, "string length exceeds the archive");
    }
    if (n * charSize > GetBytesRemaining())
        Fail(CArchiveException::endOfFile, "string of " + std::to_string(n) + " characters");
    std::vector<uint8_t> bytes(static_cast<size_t>(n * charSize));
    ReadExact(bytes.data(), bytes.size());
    if (charSize == 2)
        return Utf16LeToUtf8(bytes);
    return std::string(bytes.begin(), bytes.end());
}

void CArchive::CheckMapCount() const
{
    if (m_mapCount >= kMaxMapCount)
        Fail(CArchiveException::badIndex, "too many objects");
}

void CArchive::WriteIndexTag(uint32_t index, uint32_t bigFlag, uint16_t smallFlag)
{
    if (index < kBigObjectTag) {
        PutLE(smallFlag | index, 2);
    } else {
        PutLE(kBigObjectTag, 2);
        PutLE(bigFlag | index, 4);
    }
}

void CArchive::WriteClass(const CRuntimeClass* cls)
{
    RequireStoring();
    if (!cls || cls->m_wSchema == kNotSerializableSchema)
        Fail(CArchiveException::badClass,
             std::string("class is not serializable: ") + (cls ? cls->m_lpszClassName : "(null)"));
    auto it = m_storeMap.find(cls);
    if (it != m_storeMap.end()) {
        WriteIndexTag(it->second, kBigClassTag, kClassTag);
        return;
    }
    size_t len = std::strlen(cls->m_lpszClassName);
    PutLE(kNewClassTag, 2);
    PutLE(static_cast<uint16_t>(cls->m_wSchema), 2);
    PutLE(len, 2);
    Write(cls->m_lpszClassName, len);
    CheckMapCount();
    m_storeMap[cls] = m_mapCount++;
}

void CArchive::WriteObject(const CObject* obj)
{
    RequireStoring();
    if (!obj) {
        PutLE(kNullTag, 2);
        return;
    }
    auto it = m_storeMap.find(obj);
    if (it != m_storeMap.end()) {
        WriteIndexTag(it->second, 0, 0);
        return;
    }
    WriteClass(obj->GetRuntimeClass());
    CheckMapCount();
    m_storeMap[obj] = m_mapCount++;
    const_cast<CObject*>(obj)->Serialize(*this);
}

void CArchive::MapObject(const CObject* obj)
{
    if (!obj)
        return;
    if (IsStoring()) {
        if (m_storeMap.find(obj) == m_storeMap.end()) {
            CheckMapCount();
            m_storeMap[obj] = m_mapCount++;
        }
    } else {
        CheckMapCount();
        m_loadArray.push_back({EntryKind::Object, obj});
        ++m_mapCount;
    }
}

// Reads a class tag: a new class (entered into the reference table) or a
// reference to one read before. An object reference here is badIndex.
const CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* requested, UINT* schema)
{
    RequireLoading();
    uint16_t wTag = static_cast<uint16_t>(GetLE(2));
    uint32_t tag = wTag == kBigObjectTag ? static_cast<uint32_t>(GetLE(4))
                                         : ((wTag & kClassTag) << 16) | (wTag & ~kClassTag);
    if (!(tag & kBigClassTag))
        Fail(CArchiveException::badIndex, "expected a class, found an object reference");

    const CRuntimeClass* cls;
    UINT stored;
    if (wTag == kNewClassTag) {
        stored = static_cast<UINT>(GetLE(2));
        size_t len = static_cast<size_t>(GetLE(2));
        if (len > kMaxClassNameLength)
            Fail(CArchiveException::badClass, "class name of " + std::to_string(len) + " bytes");
        std::string name(len, '\0');
        ReadExact(name.data(), len);
        cls = CRuntimeClass::FromName(name);
        if (!cls)
            Fail(CArchiveException::badClass, "unknown class \"" + name + "\"");
        if ((cls->m_wSchema & ~VERSIONABLE_SCHEMA) != stored) {
            if (!(cls->m_wSchema & VERSIONABLE_SCHEMA))
                Fail(CArchiveException::badSchema, name + " schema " + std::to_string(stored) + ", expected " +
                                                       std::to_string(cls->m_wSchema));
            m_schemaMap[cls] = stored;
        }
        CheckMapCount();
        m_loadArray.push_back({EntryKind::Class, cls});
        ++m_mapCount;
    } else {
        uint32_t index = tag & ~kBigClassTag;
        if (index == 0 || index >= m_loadArray.size() || m_loadArray[index].kind != EntryKind::Class)
            Fail(CArchiveException::badIndex, "class reference " + std::to_string(index));
        cls = static_cast<const CRuntimeClass*>(m_loadArray[index].ptr);
        auto it = m_schemaMap.find(cls);
        stored = it != m_schemaMap.end() ? it->second : (cls->m_wSchema & ~VERSIONABLE_SCHEMA);
    }
    if (requested && !cls->IsDerivedFrom(requested))
        Fail(CArchiveException::badClass,
             std::string(cls->m_lpszClassName) + " is not a " + requested->m_lpszClassName);
    if (schema)
        *schema = stored;
    else
        m_objectSchema = stored;
    return cls;
}

void CArchive::SerializeClass(const CRuntimeClass* cls)
{
    if (IsStoring())
        WriteClass(cls);
    else
        ReadClass(cls);
}

UINT CArchive::GetObjectSchema()
{
    UINT s = m_objectSchema;
    m_objectSchema = 0xFFFFFFFFu;
    return s;
}

bool CArchive::IsLoadedSince(const CObject* obj, size_t mark) const
{
    if (obj == nullptr)
        return false;
    for (size_t i = mark; i < m_loadArray.size(); ++i)
        if (m_loadArray[i].kind == EntryKind::Object && m_loadArray[i].ptr == obj)
            return true;
    return false;
}

void CArchive::DeleteLoadedSince(const std::vector<CObject*>& objects, size_t mark)
{
    // An array or map among them owns nothing itself; the elements it took
    // from this load go too, at any depth, each once.
    std::vector<CObject*> doomed;
    std::vector<CObject*> pending(objects.begin(), objects.end());
    while (!pending.empty()) {
        CObject* obj = pending.back();
        pending.pop_back();
        if (!IsLoadedSince(obj, mark) || std::find(doomed.begin(), doomed.end(), obj) != doomed.end())
            continue;
        doomed.push_back(obj);
        if (auto* array = dynamic_cast<CObArray*>(obj))
            pending.insert(pending.end(), array->begin(), array->end());
        if (auto* byWord = dynamic_cast<CMapWordToOb*>(obj))
            for (auto& [key, element] : *byWord)
                pending.push_back(element);
        if (auto* byLong = dynamic_cast<CMapLongToOb*>(obj))
            for (auto& [key, element] : *byLong)
                pending.push_back(element);
    }
    for (CObject* obj : doomed) {
        for (size_t i = mark; i < m_loadArray.size(); ++i)
            if (m_loadArray[i].ptr == obj)
                m_loadArray[i] = {EntryKind::Null, nullptr};
        delete obj;
    }
}

CObject* CArchive::ReadObject(const CRuntimeClass* requested)
{
    RequireLoading();
    // Peek at the tag: a reference to an object read before carries no class.
    FillAtLeast(2);
    uint16_t wTag = static_cast<uint16_t>(m_buf[m_cur] | (m_buf[m_cur + 1] << 8));
    uint32_t tag;
    if (wTag == kBigObjectTag) {
        FillAtLeast(6);
        tag = static_cast<uint32_t>(m_buf[m_cur + 2] | (m_buf[m_cur + 3] << 8) | (m_buf[m_cur + 4] << 16) |
                                    (static_cast<uint32_t>(m_buf[m_cur + 5]) << 24));
    } else {
        tag = ((wTag & kClassTag) << 16) | (wTag & ~kClassTag);
    }

    if (!(tag & kBigClassTag)) {
        m_cur += wTag == kBigObjectTag ? 6 : 2;
        if (tag >= m_loadArray.size() || m_loadArray[tag].kind == EntryKind::Class)
            Fail(CArchiveException::badIndex, "object reference " + std::to_string(tag));
        auto* obj = static_cast<CObject*>(const_cast<void*>(m_loadArray[tag].ptr));
        if (obj && requested && !obj->IsKindOf(requested))
            Fail(CArchiveException::badClass,
                 std::string(obj->GetRuntimeClass()->m_lpszClassName) + " is not a " + requested->m_lpszClassName);
        return obj;
    }

    UINT schema = 0;
    const CRuntimeClass* cls = ReadClass(requested, &schema);
    if (tArchiveObjectNesting >= kMaxObjectNesting)
        Fail(CArchiveException::genericException, "objects nested too deeply");
    CObject* obj = cls->CreateObject();
    if (!obj)
        Fail(CArchiveException::badClass, std::string(cls->m_lpszClassName) + " cannot be created");
    CheckMapCount();
    size_t slot = m_loadArray.size();
    m_loadArray.push_back({EntryKind::Object, obj});
    ++m_mapCount;

    UINT savedSchema = m_objectSchema;
    m_objectSchema = schema;
    try {
        NestingGuard guard;
        obj->Serialize(*this);
    } catch (...) {
        m_objectSchema = savedSchema;
        m_loadArray[slot] = {EntryKind::Null, nullptr};
        delete obj;
        throw;
    }
    m_objectSchema = savedSchema;
    return obj;
}

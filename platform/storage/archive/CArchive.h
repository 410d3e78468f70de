#pragma once
// CArchive: the framework's binary archive. Everything is little-endian and
// unpadded, so layouts that other programs read come out byte for byte.
//
//   BYTE/char/int8           1 byte
//   WORD/int16               2 bytes
//   LONG/DWORD/int/UINT      4 bytes
//   bool                     4 bytes (a BOOL, 1 or 0; any non-zero loads as true)
//   float, double            4 / 8 bytes, IEEE 754
//
//   count (WriteCount)       WORD n when n < 0xFFFF;
//                            else WORD 0xFFFF, DWORD n
//   string (std::string,     BYTE n when n < 0xFF;
//     UTF-8 bytes, no NUL)   else BYTE 0xFF, WORD n when n < 0xFFFE;
//                            else BYTE 0xFF, WORD 0xFFFF, DWORD n;
//                            then the n bytes. (On loading, the marker
//                            BYTE 0xFF, WORD 0xFFFE announces a UTF-16LE string
//                            whose length follows in the same scheme; it is
//                            converted to UTF-8. We never write it.)
//
//   object (WriteObject)     Every archive keeps one reference table for
//                            classes and objects together; index 0 means null,
//                            the first entry gets 1, each new class and each
//                            new object the next number.
//     null                   WORD 0x0000
//     already written        WORD index (index < 0x7FFF);
//                            else WORD 0x7FFF, DWORD index
//     new object, new class  WORD 0xFFFF, WORD schema, WORD name length, the
//                            name's bytes; then the object's Serialize output
//     new object, known class  WORD 0x8000|class index (index < 0x7FFF);
//                            else WORD 0x7FFF, DWORD 0x80000000|class index;
//                            then the object's Serialize output
//
// Loading never trusts the input: reading past the end, a reference to
// nothing read so far (or to a class where an object is due), an unknown class
// name, a name of 64 bytes or more, a schema mismatch on a class that is not
// versionable, or a count that the bytes left cannot hold all throw
// CArchiveException (see CException.h). File errors throw CFileException. Both
// derive from CException; nothing else is thrown except std::bad_alloc.
//
// An archive works over a CFile (a disk file or a CMemFile) or directly over a
// std::vector<uint8_t>: a storing archive appends to the vector, a loading
// archive reads it from the start. Stored bytes reach the file on Flush() or
// Close(); the destructor also flushes (ignoring errors), so call Close() to
// learn about a failed write. Abort() drops unflushed bytes.
#include "CException.h"
#include "CFile.h"
#include "CMemFile.h"
#include "CObject.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

class CArchive {
public:
    enum Mode : unsigned { store = 0, load = 1, bNoFlushOnDelete = 2 };

    CArchive(CFile* file, unsigned mode, size_t bufferSize = 4096);
    CArchive(std::vector<uint8_t>& buffer, unsigned mode);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return (m_mode & load) != 0; }
    bool IsStoring() const { return !IsLoading(); }
    CFile* GetFile() const { return m_file; }

    // Storing: writes buffered bytes to the file. Loading: drops the
    // read-ahead and seeks the file back to the first byte not consumed.
    void Flush();
    // Flushes and detaches from the file; throws on failure.
    void Close();
    // Detaches from the file without writing what is still buffered.
    void Abort();

    // Raw bytes. Read returns how many bytes it could read (fewer at the end).
    void Write(const void* data, size_t n);
    size_t Read(void* data, size_t n);
    // Reads exactly n bytes or throws endOfFile.
    void ReadExact(void* data, size_t n);

    // Loading: the bytes not yet read (file remainder plus the buffer).
    uint64_t GetBytesRemaining() const;

    void WriteCount(size_t count);
    size_t ReadCount();
    // Reads a count and throws endOfFile unless count * minBytesPerElement bytes
    // are left, so a damaged count never drives a huge allocation.
    size_t ReadCount(size_t minBytesPerElement);

    void WriteString(const std::string& s);
    std::string ReadStringValue();

    // Objects and classes (tags as in the header comment).
    void WriteObject(const CObject* obj);
    // Reads an object reference; requested (may be null) must be a base of the
    // stored class, else badClass. Newly created objects belong to the caller;
    // if the object's own Serialize throws, it is deleted before rethrowing.
    CObject* ReadObject(const CRuntimeClass* requested);
    void WriteClass(const CRuntimeClass* cls);
    // Reads a class tag (new or known). schema (when given) receives the stored
    // schema, otherwise GetObjectSchema will return it.
    const CRuntimeClass* ReadClass(const CRuntimeClass* requested = nullptr, UINT* schema = nullptr);
    void SerializeClass(const CRuntimeClass* cls);
    // Schema of the object being loaded (once; later calls give 0xFFFFFFFF).
    UINT GetObjectSchema();
    // Enters an object into the reference table without writing or reading it,
    // so later references to it become back references on both sides.
    void MapObject(const CObject* obj);
    // Loading: a mark of the objects read so far, and whether obj was created
    // by ReadObject after that mark. A container whose load fails part-way
    // deletes the elements it created and nothing it merely refers to.
    size_t GetLoadMark() const { return m_loadArray.size(); }
    bool IsLoadedSince(const CObject* obj, size_t mark) const;
    // Deletes each distinct object of objects that IsLoadedSince(mark), with
    // the elements such an array or map took from this load, at any depth.
    void DeleteLoadedSince(const std::vector<CObject*>& objects, size_t mark);

    CArchive& operator<<(uint8_t v) { return PutLE(v, 1); }
    CArchive& operator<<(int8_t v) { return PutLE(static_cast<uint8_t>(v), 1); }
    CArchive& operator<<(char v) { return PutLE(static_cast<uint8_t>(v), 1); }
    CArchive& operator<<(uint16_t v) { return PutLE(v, 2); }
    CArchive& operator<<(int16_t v) { return PutLE(static_cast<uint16_t>(v), 2); }
    CArchive& operator<<(uint32_t v) { return PutLE(v, 4); }
    CArchive& operator<<(int32_t v) { return PutLE(static_cast<uint32_t>(v), 4); }
    CArchive& operator<<(bool v) { return PutLE(v ? 1u : 0u, 4); }
    CArchive& operator<<(float v);
    CArchive& operator<<(double v);
    CArchive& operator<<(const std::string& s) { WriteString(s); return *this; }
    CArchive& operator<<(const char* s) { WriteString(s ? std::string(s) : std::string()); return *this; }
    CArchive& operator<<(const CObject* obj) { WriteObject(obj); return *this; }

    CArchive& operator>>(uint8_t& v) { v = static_cast<uint8_t>(GetLE(1)); return *this; }
    CArchive& operator>>(int8_t& v) { v = static_cast<int8_t>(GetLE(1)); return *this; }
    CArchive& operator>>(char& v) { v = static_cast<char>(GetLE(1)); return *this; }
    CArchive& operator>>(uint16_t& v) { v = static_cast<uint16_t>(GetLE(2)); return *this; }
    CArchive& operator>>(int16_t& v) { v = static_cast<int16_t>(GetLE(2)); return *this; }
    CArchive& operator>>(uint32_t& v) { v = static_cast<uint32_t>(GetLE(4)); return *this; }
    CArchive& operator>>(int32_t& v) { v = static_cast<int32_t>(GetLE(4)); return *this; }
    CArchive& operator>>(bool& v) { v = GetLE(4) != 0; return *this; }
    CArchive& operator>>(float& v);
    CArchive& operator>>(double& v);
    CArchive& operator>>(std::string& s) { s = ReadStringValue(); return *this; }

    const std::string& GetFileName() const { return m_fileName; }

    // The document the archive is written for or read into; set by the
    // caller for the objects' Serialize, never used by the archive itself.
    void* m_pDocument = nullptr;

private:
    enum class EntryKind : uint8_t { Null, Class, Object };
    struct LoadEntry {
        EntryKind kind;
        const void* ptr;
    };

    CArchive& PutLE(uint64_t v, int bytes);
    uint64_t GetLE(int bytes);
    void FillAtLeast(size_t n);  // loading: makes n bytes available or throws
    size_t ReadAvailable(void* data, size_t n);
    void RequireStoring() const;
    void RequireLoading() const;
    void CheckMapCount() const;
    [[noreturn]] void Fail(CArchiveException::Cause cause, const std::string& detail) const;
    void WriteIndexTag(uint32_t index, uint32_t bigFlag, uint16_t smallFlag);

    std::unique_ptr<CMemFile> m_ownedFile;
    CFile* m_file;
    unsigned m_mode;
    std::string m_fileName;

    std::vector<uint8_t> m_buf;
    size_t m_cur = 0;  // loading: next unread byte; storing: bytes buffered
    size_t m_lim = 0;  // loading: end of valid bytes in m_buf

    uint32_t m_mapCount = 1;
    std::unordered_map<const void*, uint32_t> m_storeMap;
    std::vector<LoadEntry> m_loadArray{LoadEntry{EntryKind::Null, nullptr}};
    std::unordered_map<const CRuntimeClass*, UINT> m_schemaMap;  // stored schema where it differs
    UINT m_objectSchema = 0xFFFFFFFFu;
};

// Typed object extraction: ar >> pMyObject reads an object of MyClass or a
// class derived from it (badClass otherwise).
template <class T>
    requires std::is_base_of_v<CObject, T>
CArchive& operator>>(CArchive& ar, T*& obj)
{
    obj = static_cast<T*>(ar.ReadObject(RUNTIME_CLASS(T)));
    return ar;
}

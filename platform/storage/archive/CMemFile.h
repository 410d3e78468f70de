#pragma once
// A file held in memory: the byte-buffer stream that objects crossing process
// boundaries are serialized into (Write/Read/Seek/size, and an archive over it).
// It either owns its bytes or works on a caller's std::vector.
#include "CFile.h"

#include <vector>

class CMemFile : public CFile {
public:
    // Owns an empty buffer.
    CMemFile() = default;
    // Owns a copy (or a moved-in buffer) of the given bytes; position 0.
    explicit CMemFile(std::vector<uint8_t> bytes);
    // Works on *external (not owned; must outlive this file); position 0.
    explicit CMemFile(std::vector<uint8_t>* external);

    bool Open(const std::string&, unsigned, int* osError = nullptr) override;
    size_t Read(void* buffer, size_t n) override;
    void Write(const void* buffer, size_t n) override;
    uint64_t Seek(int64_t offset, SeekPosition from) override;
    uint64_t GetPosition() const override { return m_pos; }
    uint64_t GetLength() const override { return Bytes().size(); }
    void SetLength(uint64_t length) override;
    void Flush() override {}
    void Close() override {}
    void Abort() override {}
    bool IsOpen() const override { return true; }

    const std::vector<uint8_t>& Bytes() const { return m_external ? *m_external : m_own; }
    // Hands the bytes over and leaves this file empty at position 0.
    std::vector<uint8_t> Detach();

private:
    std::vector<uint8_t>& Buf() { return m_external ? *m_external : m_own; }

    std::vector<uint8_t> m_own;
    std::vector<uint8_t>* m_external = nullptr;
    uint64_t m_pos = 0;
};

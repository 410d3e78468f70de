#pragma once
// A development factor library: a name, a description and named factor sets
// (CFactorSet). File side: the library reads and writes itself as a ".dfl"
// file through an archive (Serialize) or by path (LoadFile, SaveFile).
// Database side: bound to a database manager, a library is found by name and
// its factor sets are read from the database's factor-library records.
//
// ".dfl" layout (little-endian, version 1):
//   4 bytes  "QDFL"
//   U32      format version (1)
//   U32      byte count of the body that follows
//   body:    Str library name, Str description, U32 set count, then per set:
//            Str name, Str description, U16 period count n, U16 period length
//            (1, 3, 6 or 12 months), U16 first age (months), U32 row count,
//            then per row: I32 exhibit id (layer set), Str exhibit name and n
//            cells of U8 has-value (0 or 1) + F64 value (finite)
//   U32      FNV-1a checksum of the body
// Str is a U32 byte count and that many UTF-8 bytes. Set names are unique
// without regard to case. A reader refuses a newer version, a wrong magic or
// checksum, any count the bytes cannot hold and any value out of its range.
#include <memory>
#include <string>
#include <vector>

#include "CFactorSet.h"
#include "KernelTypes.h"

class CArchive;
class IKDVDatabaseManager;

class CFSLib {
public:
    static constexpr std::uint32_t kFormatVersion = 1;
    // Statuses of LoadFile / FromBytes / SaveFile.
    static constexpr QSSTATUS kCannotOpen = 1;  // the file cannot be opened, read or written
    static constexpr QSSTATUS kDamaged = 2;     // not a library, or a damaged one
    static constexpr QSSTATUS kNewer = 3;       // written by a newer format version

    CFSLib() = default;
    CFSLib(const CFSLib& other);
    CFSLib& operator=(const CFSLib& other);
    ~CFSLib();

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    const std::string& GetDescription() const { return m_description; }
    void SetDescription(const std::string& text) { m_description = text; }
    // The library's enterprise database id; -1 until stored there.
    long GetID() const { return m_id; }
    void SetID(long id) { m_id = id; }

    // Names of all sets, in the order they were added.
    QSSTATUS GetFactorSetNames(QSStringArray& names) const;
    // The set of that name (case ignored); set stays null when there is none.
    // The pointer lives until the set is removed or the library is replaced.
    QSSTATUS GetFactorSet(const std::string& name, CFactorSet*& set);
    // Keeps a copy; fails on an empty name or one already used (case ignored).
    QSSTATUS AddFactorSet(const CFactorSet& set);
    // libraryName is the caller's library name; it is not needed on file side.
    QSSTATUS RemoveFactorSet(const std::string& setName, const std::string& libraryName);
    // Renames a set; fails when the old one is missing, the new name is empty
    // or another set has it (a change of letter case alone is allowed).
    QSSTATUS SetFSName(const std::string& oldName, const std::string& newName);
    // Reshapes every set (CFactorSet::Redim); sets that refuse stay as they were.
    void Redim(bool clear, const std::uint16_t& count, const PRDLENGTH& length, const std::uint16_t& first);
    // Blanks every set's values (CFactorSet::ClearFactorSet).
    void Clear();
    std::size_t GetCount() const { return m_sets.size(); }

    // The ".dfl" file. Storing writes the library; loading replaces it, and a
    // damaged file throws CArchiveException (badSchema for a newer version,
    // genericException otherwise) with the library unchanged.
    void Serialize(CArchive& ar);
    std::vector<std::uint8_t> ToBytes() const;
    QSSTATUS FromBytes(const std::vector<std::uint8_t>& bytes);
    // By path; SaveFile replaces the file atomically (temp file + rename).
    QSSTATUS LoadFile(const std::string& path);
    QSSTATUS SaveFile(const std::string& path) const;

    // The database side. Binding returns 0, or negative when the manager
    // keeps no factor libraries. GetDFLfromDB finds the library by name (case
    // ignored) and takes its name and id, keeping the sets it holds; false
    // when unbound or not found. LoadFactorSetsFromDB replaces the sets with
    // the stored ones of that id; false (nothing changed) when unbound,
    // missing or unreadable.
    long InitProjectWithDBManager(IKDVDatabaseManager* manager);
    bool GetDFLfromDB(const std::string& name);
    bool LoadFactorSetsFromDB(long id);

private:
    std::vector<std::unique_ptr<CFactorSet>>::iterator Find(const std::string& name);

    std::string m_name;
    std::string m_description;
    long m_id = -1;
    IKDVDatabaseManager* m_dbManager = nullptr;
    std::vector<std::unique_ptr<CFactorSet>> m_sets;
};

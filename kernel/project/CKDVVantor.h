#pragma once
// The enterprise-database side of a project: the facade CKDVVantor and its
// record stores. A project bound to the database (Mode() == RM_DATABASE)
// reaches its records through these interfaces; a project read from a file
// has none: CProject::GetCKDVVantor() and CProject::GetDBManager() return
// null, and every caller treats null as "no database" (docs/kernel/model.md).
//
// Only the interfaces are declared here, so the kernel stays free of any
// database library: dbmanager/ implements them over SQLite and PostgreSQL
// and hands its facade to the project through CProject::BindDatabase (or
// the binder behind CProject::InitProjectWithDBManager).
//
// Conventions: ids are the kernel's 32-bit object ids or the database's
// 32-bit record ids; a record operation returns true (or a non-negative
// value) on success; record payloads ("streams") are byte vectors; dates are
// CHDate serials, -1 when not available.
#include <cstdint>
#include <string>
#include <vector>

class CGraph;
class CKDVDevFactLibrary;

// The database manager a database project is bound to. Opaque here: the
// project and its stores pass it along; the enterprise layer knows it.
// Changes to several record stores go through one transaction of the
// manager (results as HRESULTs: negative is a failure); a manager that
// offers none refuses to begin one.
class IKDVDatabaseManager {
public:
    virtual ~IKDVDatabaseManager() = default;
    virtual long BeginTransaction() { return kNoTransactions; }
    virtual long CommitTransaction() { return kNoTransactions; }
    virtual long RollbackTransaction() { return kNoTransactions; }
    // The factor libraries kept in the database (CFSLib binds to them);
    // null when the manager keeps none.
    virtual CKDVDevFactLibrary* GetDevFactLibrary() { return nullptr; }

    static constexpr long kNoTransactions = -2147467263L;  // E_NOTIMPL
};

// The profile data of a database project: which query (profile) and
// evaluation date its data came from.
class CKDVData {
public:
    virtual ~CKDVData() = default;
    virtual void SetStructID(long structId) = 0;
    virtual void SetProfile(const std::string& profile) = 0;
    virtual std::string GetProfileDisplayName() = 0;
    virtual int GetDBMSType() = 0;
    virtual double GetEvalDate() = 0;  // -1 when not set
    virtual void SetEvalDate(double date) = 0;
    virtual bool SuggestEvalDateWhenNotAvailable(double& date) = 0;
    virtual bool HasDataChanged() = 0;
    virtual bool HasStructureChanged() = 0;
    virtual bool Load() = 0;
    virtual bool Save() = 0;
    virtual bool SaveAs(bool newRecord) = 0;
    virtual bool SaveDataTo(const std::string& profile, const std::string& name, int& flag) = 0;
    // The profile as chosen (GetProfileDisplayName is how it is shown).
    virtual std::string GetProfile() { return GetProfileDisplayName(); }
    // Keep and put back profile and evaluation date around a save that may fail.
    virtual void SaveProperties() {}
    virtual void RestoreProperties() {}
    // Why the last operation failed, for the user (empty: no reason known).
    virtual std::string GetLastError() { return {}; }
};

// The template record of a database project.
class CKDVTemplate {
public:
    virtual ~CKDVTemplate() = default;
    virtual void SetID(long id) = 0;
    virtual std::string GetName() = 0;
    virtual bool HasTemplateChanged() = 0;
    virtual bool Load() = 0;
    virtual bool Save() = 0;
    virtual bool SaveAs(bool newRecord) = 0;
    // Record id (0 or less: not stored yet), description and owner.
    virtual long GetID() { return 0; }
    virtual void SetName(const std::string& /*name*/) {}
    virtual std::string GetDescription() { return {}; }
    virtual void SetDescription(const std::string& /*text*/) {}
    virtual void SetUserID(long /*userId*/) {}
    // Keep and put back name, description and user id around a Save As.
    virtual void SaveProperties() {}
    virtual void RestoreProperties() {}
    // True when another stored template has that name (letter case counts);
    // its id goes to id. False when none has, or the look-up failed.
    virtual bool CheckForTemplateNameInUse(const std::string& /*name*/, long& /*id*/) { return false; }
    virtual std::string GetLastError() { return {}; }
};

// User-defined objects shared through the database.
class CKDVUdo {
public:
    virtual ~CKDVUdo() = default;
    virtual bool LoadAllUdos() = 0;
    virtual bool SaveAllUdos() = 0;
    virtual bool CheckIntegrity() = 0;
    virtual bool CheckIfLoadedUdosAreUptodate() = 0;
    virtual bool InsertUdoObjectNames(const std::vector<long>& ids) = 0;
    virtual bool UpdateUdoObjectNames(const std::vector<long>& ids) = 0;
    virtual bool DeleteUdoObjectNames(const std::vector<long>& ids) = 0;
    virtual long GetUdoidFromQsidAndType(long qsid, int type) = 0;
    virtual bool RetrieveDependentQsidsForExhibitsAndMethods(long id, std::vector<long>& ids,
                                                             std::vector<std::string>& names) = 0;
    virtual bool EditNamesOfDataObjectsFromProfiles(const std::vector<long>& ids,
                                                    const std::vector<long>& dependentIds,
                                                    const std::string& name) = 0;
    virtual bool DeleteDataObjectsFromProfiles(const std::vector<long>& ids) = 0;
};

// Graph records and their locks. Record ids are graph ids with layer 1.
class CKDVGraph {
public:
    virtual ~CKDVGraph() = default;
    virtual int Load() = 0;
    virtual bool InsertGraph(CGraph* master) = 0;
    virtual bool UpdateGraph(CGraph* master) = 0;
    virtual bool UpdateGraph(long id) = 0;
    virtual bool DeleteGraphRecord(long id) = 0;
    virtual int StartTransaction() = 0;
    virtual int Commit() = 0;
    virtual int Abort() = 0;
    virtual int CreateLock() = 0;
    virtual int CreateUnLock() = 0;
    virtual int RevertCreateGraphLock() = 0;
    virtual int GetCreateGraphLockStatus(int& lock) = 0;
    virtual int RevertRecordLock(long id) = 0;
    virtual int GetRecordLockStatus(long id, int& lock) = 0;
};

// Named chart styles kept as records (the style file's bytes).
class CKDVGraphStyle {
public:
    virtual ~CKDVGraphStyle() = default;
    virtual int SetQueryToGetGraphStyleRecords() = 0;
    virtual int GetGraphStyleRecords(long& id, std::string& name) = 0;
    virtual int MoveNextToGetGraphStyleRecords() = 0;
    virtual int GetEodToGetGraphStyleRecords(int& eod) = 0;
    virtual int CloseToGetGraphStyleRecords() = 0;
    virtual int GetGraphStyleRecord(long& id, std::string& name, std::vector<std::uint8_t>& data) = 0;
    virtual int CheckIfGraphStyleExists(const std::string& name, long& id) = 0;
    virtual int InsertGraphStyle(const std::string& name, long group, const std::vector<std::uint8_t>& data,
                                 long& newId) = 0;
    virtual int UpdateGraphStyle(long id, const std::string& name, const std::vector<std::uint8_t>& data) = 0;
    virtual int DeleteGraphStyle(long id) = 0;
    virtual int GetGraphStyleNameByID(long id, std::string& name) = 0;
};

// Print lists kept as records (the list's serialized content).
class CKDVPrintList {
public:
    virtual ~CKDVPrintList() = default;
    virtual int InsertPrintListRecord(long& newId, long ownerGroup, const std::string& name,
                                      const std::string& description, const std::vector<std::uint8_t>& data) = 0;
    virtual long GetPrintListID(const std::string& name) = 0;
};

// Summary export lists, which name user-defined objects.
class CKDVSummExportList {
public:
    virtual ~CKDVSummExportList() = default;
    virtual bool UpdateAllSummaryListsIfUdoNameIsModified(const std::vector<long>& ids,
                                                          const std::vector<std::string>& names) = 0;
    virtual bool UpdateAllSummaryListsIfUdoIsDeleted(const std::vector<long>& ids) = 0;
};

// Development factor libraries kept as records.
class CKDVDevFactLibrary {
public:
    virtual ~CKDVDevFactLibrary() = default;
    virtual int SetQueryToGetDevFactLibraryRecords() = 0;
    virtual int GetEachDevFactLibraryRecords(long& id, std::string& name, std::string& description) = 0;
    virtual int MoveNextToGetFactorSetRecords() = 0;
    virtual int GetEodToGetFactorSetRecords(int& eod) = 0;
    virtual int CloseToGetFactorSetRecords() = 0;
    // A library by name (letter case ignored): its id, or false when there
    // is none. Its factor sets in the ".dfl" layout of CFSLib (a library
    // holding them all); false when they cannot be read.
    virtual bool FindLibrary(const std::string& /*name*/, long& /*id*/) { return false; }
    virtual bool LoadLibraryBytes(long /*id*/, std::vector<std::uint8_t>& /*bytes*/) { return false; }
};

// The facade: one per database project, owning its record stores. A store
// the binding does not offer is null.
class CKDVVantor {
public:
    virtual ~CKDVVantor() = default;
    virtual CKDVData* GetData() = 0;
    virtual CKDVTemplate* GetTemplate() = 0;
    virtual CKDVUdo* GetUdo() = 0;
    virtual CKDVGraph* GetGraph() = 0;
    virtual CKDVGraphStyle* GetGraphStyle() = 0;
    virtual CKDVPrintList* GetPrintList() = 0;
    virtual CKDVSummExportList* GetSummExportList() = 0;
};

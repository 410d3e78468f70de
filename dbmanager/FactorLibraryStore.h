#pragma once
// Development factor libraries kept in the database: DFL_TBL names the
// library, FACTOR_SET_TBL holds each set (as a one-set ".dfl" body).
#include <QSqlQuery>

#include <string>
#include <vector>

#include "CKDVVantor.h"

class CFSLib;

namespace qs::db {

class DatabaseManager;

class FactorLibraryStore : public CKDVDevFactLibrary {
public:
    explicit FactorLibraryStore(DatabaseManager& manager) : m_manager(manager) {}

    // The list of libraries, record by record.
    int SetQueryToGetDevFactLibraryRecords() override;
    int GetEachDevFactLibraryRecords(long& id, std::string& name, std::string& description) override;
    int MoveNextToGetFactorSetRecords() override;
    int GetEodToGetFactorSetRecords(int& eod) override;
    int CloseToGetFactorSetRecords() override;

    bool FindLibrary(const std::string& name, long& id) override;
    bool LoadLibraryBytes(long id, std::vector<std::uint8_t>& bytes) override;

    // Stores the library whole (replacing a stored one of the same name) in
    // one transaction; its id afterwards. False, nothing changed, on failure.
    bool SaveLibrary(const CFSLib& library, long& id);
    bool DeleteLibrary(long id);
    bool DeleteFactorSet(long libraryId, const std::string& setName);

private:
    DatabaseManager& m_manager;
    QSqlQuery m_cursor;
    bool m_eod = true;
};

}  // namespace qs::db

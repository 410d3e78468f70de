#include "FactorLibraryStore.h"

#include "CFSLib.h"
#include "DatabaseManager.h"

namespace qs::db {

namespace {
QByteArray ToQ(const std::vector<std::uint8_t>& v) { return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size())); }
}  // namespace

int FactorLibraryStore::SetQueryToGetDevFactLibraryRecords() {
    if (!m_manager.Exec(m_cursor, "SELECT DFL_ID, DFL_NAME, DESCRIPTION FROM DFL_TBL ORDER BY DFL_NAME")) return -1;
    m_eod = !m_cursor.next();
    return 0;
}

int FactorLibraryStore::GetEachDevFactLibraryRecords(long& id, std::string& name, std::string& description) {
    if (m_eod) return -1;
    id = m_cursor.value(0).toInt();
    name = m_cursor.value(1).toString().toStdString();
    description = m_cursor.value(2).toString().toStdString();
    return 0;
}

int FactorLibraryStore::MoveNextToGetFactorSetRecords() {
    if (m_eod) return -1;
    m_eod = !m_cursor.next();
    return 0;
}

int FactorLibraryStore::GetEodToGetFactorSetRecords(int& eod) {
    eod = m_eod ? 1 : 0;
    return 0;
}

int FactorLibraryStore::CloseToGetFactorSetRecords() {
    m_cursor = QSqlQuery();
    m_eod = true;
    return 0;
}

bool FactorLibraryStore::FindLibrary(const std::string& name, long& id) {
    QSqlQuery q;
    if (!m_manager.Exec(q, "SELECT DFL_ID FROM DFL_TBL WHERE UPPER(DFL_NAME) = UPPER(?)", {QString::fromStdString(name)}) ||
        !q.next())
        return false;
    id = q.value(0).toInt();
    return true;
}

bool FactorLibraryStore::LoadLibraryBytes(long id, std::vector<std::uint8_t>& bytes) {
    QSqlQuery q;
    if (!m_manager.Exec(q, "SELECT DFL_NAME, DESCRIPTION FROM DFL_TBL WHERE DFL_ID = ?", {static_cast<int>(id)}) ||
        !q.next())
        return false;
    CFSLib library;
    library.SetName(q.value(0).toString().toStdString());
    library.SetDescription(q.value(1).toString().toStdString());
    if (!m_manager.Exec(q, "SELECT CONTENT FROM FACTOR_SET_TBL WHERE DFL_ID = ? ORDER BY FACTOR_SET_ID",
                        {static_cast<int>(id)}))
        return false;
    bool any = false;
    while (q.next()) {
        const QByteArray b = q.value(0).toByteArray();
        CFSLib one;
        if (one.FromBytes(std::vector<std::uint8_t>(b.begin(), b.end())) != 0 || one.GetCount() != 1) return false;
        QSStringArray names;
        one.GetFactorSetNames(names);
        CFactorSet* set = nullptr;
        one.GetFactorSet(names.at(0), set);
        if (!set || library.AddFactorSet(*set) != 0) return false;
        any = true;
    }
    if (!any) return false;  // a library without sets offers nothing to load
    bytes = library.ToBytes();
    return true;
}

bool FactorLibraryStore::SaveLibrary(const CFSLib& library, long& id) {
    if (m_manager.BeginTransaction() < 0) return false;
    auto fail = [this] {
        m_manager.RollbackTransaction();
        return false;
    };
    QSqlQuery q;
    long existing = -1;
    if (FindLibrary(library.GetName(), existing)) {
        if (!m_manager.Exec(q, "DELETE FROM FACTOR_SET_TBL WHERE DFL_ID = ?", {static_cast<int>(existing)}) ||
            !m_manager.Exec(q, "UPDATE DFL_TBL SET DESCRIPTION = ?, ROW_VERSION = ROW_VERSION + 1 WHERE DFL_ID = ?",
                            {QString::fromStdString(library.GetDescription()), static_cast<int>(existing)}))
            return fail();
        id = existing;
    } else {
        std::int32_t newId = 0;
        if (!m_manager.NextId("DFL_TBL", newId) ||
            !m_manager.Exec(q, "INSERT INTO DFL_TBL (DFL_ID, DFL_NAME, DESCRIPTION, ROW_VERSION) VALUES (?, ?, ?, 1)",
                            {newId, QString::fromStdString(library.GetName()),
                             QString::fromStdString(library.GetDescription())}))
            return fail();
        id = newId;
    }
    QSStringArray names;
    library.GetFactorSetNames(names);
    CFSLib source(library);
    for (const std::string& name : names) {
        CFactorSet* set = nullptr;
        source.GetFactorSet(name, set);
        CFSLib one;
        one.SetName(library.GetName());
        if (!set || one.AddFactorSet(*set) != 0) return fail();
        std::int32_t setId = 0;
        if (!m_manager.NextId("FACTOR_SET_TBL", setId) ||
            !m_manager.Exec(q, "INSERT INTO FACTOR_SET_TBL (FACTOR_SET_ID, DFL_ID, FACTOR_SET_NAME, CONTENT, "
                               "ROW_VERSION) VALUES (?, ?, ?, ?, 1)",
                            {setId, static_cast<int>(id), QString::fromStdString(name), ToQ(one.ToBytes())}))
            return fail();
    }
    return m_manager.CommitTransaction() >= 0;
}

bool FactorLibraryStore::DeleteLibrary(long id) {
    QSqlQuery q;
    if (m_manager.BeginTransaction() < 0) return false;
    if (!m_manager.Exec(q, "DELETE FROM FACTOR_SET_TBL WHERE DFL_ID = ?", {static_cast<int>(id)}) ||
        !m_manager.Exec(q, "DELETE FROM DFL_TBL WHERE DFL_ID = ?", {static_cast<int>(id)})) {
        m_manager.RollbackTransaction();
        return false;
    }
    return m_manager.CommitTransaction() >= 0;
}

bool FactorLibraryStore::DeleteFactorSet(long libraryId, const std::string& setName) {
    QSqlQuery q;
    return m_manager.Exec(q, "DELETE FROM FACTOR_SET_TBL WHERE DFL_ID = ? AND UPPER(FACTOR_SET_NAME) = UPPER(?)",
                          {static_cast<int>(libraryId), QString::fromStdString(setName)});
}

}  // namespace qs::db

#pragma once
// The record stores of one database project: its template, its profile
// data, its user-defined objects' names and the summary export lists that
// name them. Each works on the project it was made for, through the
// manager's connection; saves of related rows run in one transaction.
//
// Two users saving one record: every record carries ROW_VERSION; a store
// remembers the version it read, an update names it, and an update that
// finds another version changes nothing and fails with the reason in
// GetLastError ("... was changed by another user ..."). Nothing is
// overwritten silently.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string>

#include "CKDVVantor.h"

class CProject;

namespace qs::db {

class DatabaseManager;

class TemplateStore : public CKDVTemplate {
public:
    TemplateStore(DatabaseManager& manager, CProject& project) : m_manager(manager), m_project(project) {}
    // Another id: its stored version is not known (a record chosen for
    // overwriting), so the next Save does not compare versions.
    void SetID(long id) override {
        if (id != m_id) m_version = -1;
        m_id = id;
    }
    long GetID() override { return m_id; }
    std::string GetName() override { return m_name; }
    void SetName(const std::string& name) override { m_name = name; }
    std::string GetDescription() override { return m_description; }
    void SetDescription(const std::string& text) override { m_description = text; }
    void SetUserID(long userId) override { m_userId = userId; }
    long GetUserID() const { return m_userId; }
    void SaveProperties() override;
    void RestoreProperties() override;
    bool CheckForTemplateNameInUse(const std::string& name, long& id) override;
    // The project's structure differs from what was last loaded or stored.
    bool HasTemplateChanged() override;
    // Reads the record of the id into the project (replacing its structure).
    bool Load() override;
    // Updates the stored record of the id (refused when another user changed it).
    bool Save() override;
    // Stores under a new id (newRecord) or the current one; the name must be free.
    bool SaveAs(bool newRecord) override;
    std::string GetLastError() override { return m_error.toStdString(); }

private:
    bool Fail(const QString& why);
    DatabaseManager& m_manager;
    CProject& m_project;
    long m_id = 0;
    std::string m_name, m_description;
    long m_userId = 0;
    int m_version = 0;
    QByteArray m_stored;  // the template form last loaded or stored
    struct Saved {
        std::string name, description;
        long userId = 0;
    } m_saved;
    QString m_error;
};

class ProfileDataStore : public CKDVData {
public:
    ProfileDataStore(DatabaseManager& manager, CProject& project) : m_manager(manager), m_project(project) {
        Rebaseline();
    }
    // What the project holds now counts as unchanged (a template was loaded).
    void Rebaseline();
    void SetStructID(long structId) override { m_structId = structId; }
    long GetStructID() const { return m_structId; }
    void SetProfile(const std::string& profile) override { m_profile = profile; }
    std::string GetProfile() override { return m_profile; }
    // The profile without a leading separator.
    std::string GetProfileDisplayName() override;
    int GetDBMSType() override;
    double GetEvalDate() override { return m_evalDate; }
    void SetEvalDate(double date) override { m_evalDate = date; }
    // The latest evaluation date stored for the profile and template.
    bool SuggestEvalDateWhenNotAvailable(double& date) override;
    bool HasDataChanged() override;
    bool HasStructureChanged() override;
    // Reads the record of profile, date and template into the project.
    bool Load() override;
    // Updates the record it was read from (refused when another user changed it).
    bool Save() override;
    // Stores under the current profile and date: a new record (newRecord),
    // or the one already stored under that key, replacing its numbers.
    bool SaveAs(bool newRecord) override;
    // Stores a copy under another profile; name is the evaluation date as
    // mm/dd/yyyy (empty: this data's date). flag set: refused by the group
    // query (nothing stored, result true, the reason in GetLastError).
    bool SaveDataTo(const std::string& profile, const std::string& name, int& flag) override;
    void SaveProperties() override { m_saved = {m_profile, m_evalDate}; }
    void RestoreProperties() override {
        m_profile = m_saved.profile;
        m_evalDate = m_saved.evalDate;
    }
    std::string GetLastError() override { return m_error.toStdString(); }
    long GetRecordID() const { return m_recordId; }

private:
    bool Fail(const QString& why);
    bool Store(const QString& profile, double date, bool newRecord, bool keepAsCurrent);
    DatabaseManager& m_manager;
    CProject& m_project;
    long m_structId = 0;
    std::string m_profile;
    double m_evalDate = -1;
    long m_recordId = 0;
    int m_version = 0;
    QByteArray m_stored;  // the numbers last loaded or stored
    QByteArray m_shape;   // their shapes
    struct Saved {
        std::string profile;
        double evalDate = -1;
    } m_saved;
    QString m_error;
};

// Names of the user-defined objects of the project's template.
class UdoStore : public CKDVUdo {
public:
    UdoStore(DatabaseManager& manager, CProject& project, TemplateStore& templ)
        : m_manager(manager), m_project(project), m_template(templ) {}
    bool LoadAllUdos() override;
    bool SaveAllUdos() override;
    bool CheckIntegrity() override { return true; }
    bool CheckIfLoadedUdosAreUptodate() override;
    bool InsertUdoObjectNames(const std::vector<long>& ids) override;
    bool UpdateUdoObjectNames(const std::vector<long>& ids) override;
    bool DeleteUdoObjectNames(const std::vector<long>& ids) override;
    long GetUdoidFromQsidAndType(long qsid, int type) override;
    bool RetrieveDependentQsidsForExhibitsAndMethods(long id, std::vector<long>& ids,
                                                     std::vector<std::string>& names) override;
    bool EditNamesOfDataObjectsFromProfiles(const std::vector<long>& ids, const std::vector<long>& dependentIds,
                                            const std::string& name) override;
    bool DeleteDataObjectsFromProfiles(const std::vector<long>& ids) override;

private:
    bool Upsert(long id);
    DatabaseManager& m_manager;
    CProject& m_project;
    TemplateStore& m_template;
    int m_loadedCount = -1;
};

class SummExportListStore : public CKDVSummExportList {
public:
    explicit SummExportListStore(DatabaseManager& manager) : m_manager(manager) {}
    bool UpdateAllSummaryListsIfUdoNameIsModified(const std::vector<long>& ids,
                                                  const std::vector<std::string>& names) override;
    bool UpdateAllSummaryListsIfUdoIsDeleted(const std::vector<long>& ids) override;

private:
    DatabaseManager& m_manager;
};

}  // namespace qs::db

#include "RecordStores.h"

#include <QDate>
#include <QDateTime>
#include <QSqlQuery>

#include "CFormula.h"
#include "CProject.h"
#include "DatabaseManager.h"
#include "GroupQuery.h"
#include "KernelIds.h"
#include "ProjectRecords.h"

namespace qs::db {

namespace {

QString Now() { return QDateTime::currentDateTimeUtc().toString(Qt::ISODate); }

// Runs steps in one transaction of the manager: all of them or none.
template <typename Steps>
bool InTransaction(DatabaseManager& m, QString& error, Steps steps) {
    if (m.BeginTransaction() < 0) {
        error = m.LastError();
        return false;
    }
    if (!steps()) {
        if (error.isEmpty()) error = m.LastError();
        m.RollbackTransaction();
        return false;
    }
    if (m.CommitTransaction() < 0) {
        error = m.LastError();
        return false;
    }
    return true;
}

// Evaluation dates are looked up within a second of the stored one.
constexpr double kDateTolerance = 1.0 / 86400.0;

}  // namespace

// ---------------------------------------------------------------- templates

bool TemplateStore::Fail(const QString& why) {
    m_error = why;
    return false;
}

void TemplateStore::SaveProperties() { m_saved = {m_name, m_description, m_userId}; }

void TemplateStore::RestoreProperties() {
    m_name = m_saved.name;
    m_description = m_saved.description;
    m_userId = m_saved.userId;
}

bool TemplateStore::CheckForTemplateNameInUse(const std::string& name, long& id) {
    QSqlQuery q;
    if (!m_manager.Exec(q, "SELECT TEMPLATE_ID FROM TEMPLATE_TBL WHERE TEMPLATE_NAME = ?", {QString::fromStdString(name)}))
        return Fail(m_manager.LastError());
    if (!q.next()) return false;
    id = q.value(0).toInt();
    return true;
}

bool TemplateStore::HasTemplateChanged() {
    if (m_stored.isEmpty()) return true;
    return EncodeTemplate(m_project) != m_stored;
}

bool TemplateStore::Load() {
    m_error.clear();
    QSqlQuery q;
    if (!m_manager.Exec(q, "SELECT TEMPLATE_NAME, DESCRIPTION, USER_ID, CONTENT, ROW_VERSION FROM TEMPLATE_TBL "
                           "WHERE TEMPLATE_ID = ?",
                        {static_cast<int>(m_id)}))
        return Fail(m_manager.LastError());
    if (!q.next()) return Fail(QString("There is no template %1 in the database.").arg(m_id));
    if (!DecodeTemplate(q.value(3).toByteArray(), m_project))
        return Fail(QString("The template \"%1\" in the database is damaged.").arg(q.value(0).toString()));
    m_name = q.value(0).toString().toStdString();
    m_description = q.value(1).toString().toStdString();
    m_userId = q.value(2).toInt();
    m_version = q.value(4).toInt();
    m_stored = EncodeTemplate(m_project);
    if (CKDVVantor* v = m_project.GetCKDVVantor())
        if (auto* data = dynamic_cast<ProfileDataStore*>(v->GetData())) {
            data->SetStructID(m_id);
            data->Rebaseline();
        }
    return true;
}

bool TemplateStore::Save() {
    m_error.clear();
    if (m_id <= 0) return Fail("The template has not been stored yet.");
    const QByteArray content = EncodeTemplate(m_project);
    if (content.isEmpty()) return Fail("The project could not be stored as a template.");
    int newVersion = 0;
    const bool ok = InTransaction(m_manager, m_error, [&] {
        QSqlQuery q;
        if (!m_manager.Exec(q, "SELECT ROW_VERSION FROM TEMPLATE_TBL WHERE TEMPLATE_ID = ?", {static_cast<int>(m_id)}))
            return false;
        if (!q.next()) return Fail(QString("The template \"%1\" was deleted from the database by another user.")
                                       .arg(QString::fromStdString(m_name)));
        const int current = q.value(0).toInt();
        // A version of -1: the record was chosen for overwriting (another
        // template of the same name), not read; there is nothing to compare.
        QString sql = "UPDATE TEMPLATE_TBL SET TEMPLATE_NAME = ?, DESCRIPTION = ?, USER_ID = ?, CONTENT = ?, "
                      "ROW_VERSION = ?, SAVED_AT = ? WHERE TEMPLATE_ID = ? AND ROW_VERSION = ?";
        const int expected = m_version < 0 ? current : m_version;
        newVersion = current + 1;
        if (!m_manager.Exec(q, sql,
                            {QString::fromStdString(m_name), QString::fromStdString(m_description),
                             static_cast<int>(m_userId), content, newVersion, Now(), static_cast<int>(m_id), expected}))
            return false;
        if (q.numRowsAffected() != 1)
            return Fail(QString("The template \"%1\" was changed by another user since it was loaded; it was not "
                                "saved. Load it again to see the other changes.")
                            .arg(QString::fromStdString(m_name)));
        if (CKDVVantor* v = m_project.GetCKDVVantor())
            if (CKDVUdo* udo = v->GetUdo(); udo && !udo->SaveAllUdos()) return false;
        return true;
    });
    if (!ok) return false;
    m_version = newVersion;
    m_stored = content;
    return true;
}

bool TemplateStore::SaveAs(bool newRecord) {
    m_error.clear();
    if (!newRecord && m_id > 0) return Save();
    if (m_name.empty()) return Fail("A template needs a name.");
    const QByteArray content = EncodeTemplate(m_project);
    if (content.isEmpty()) return Fail("The project could not be stored as a template.");
    std::int32_t id = 0;
    const bool ok = InTransaction(m_manager, m_error, [&] {
        long other = 0;
        if (CheckForTemplateNameInUse(m_name, other))
            return Fail(QString("Another template is named \"%1\".").arg(QString::fromStdString(m_name)));
        if (!m_error.isEmpty() || !m_manager.NextId("TEMPLATE_TBL", id)) return false;
        QSqlQuery q;
        if (!m_manager.Exec(q, "INSERT INTO TEMPLATE_TBL (TEMPLATE_ID, TEMPLATE_NAME, DESCRIPTION, USER_ID, CONTENT, "
                               "ROW_VERSION, SAVED_AT) VALUES (?, ?, ?, ?, ?, 1, ?)",
                            {id, QString::fromStdString(m_name), QString::fromStdString(m_description),
                             static_cast<int>(m_userId), content, Now()}))
            return false;
        const long oldId = m_id;
        m_id = id;
        if (CKDVVantor* v = m_project.GetCKDVVantor())
            if (CKDVUdo* udo = v->GetUdo(); udo && !udo->SaveAllUdos()) {
                m_id = oldId;
                return false;
            }
        return true;
    });
    if (!ok) return false;
    m_id = id;
    m_version = 1;
    m_stored = content;
    if (CKDVVantor* v = m_project.GetCKDVVantor())
        if (auto* data = dynamic_cast<ProfileDataStore*>(v->GetData())) data->SetStructID(m_id);
    return true;
}

// ---------------------------------------------------------------- profile data

bool ProfileDataStore::Fail(const QString& why) {
    m_error = why;
    return false;
}

std::string ProfileDataStore::GetProfileDisplayName() {
    if (!m_profile.empty() && (m_profile[0] == '/' || m_profile[0] == ',')) return m_profile.substr(1);
    return m_profile;
}

int ProfileDataStore::GetDBMSType() { return m_manager.GetEngine() == Engine::SQLite ? 1 : 2; }

bool ProfileDataStore::SuggestEvalDateWhenNotAvailable(double& date) {
    QSqlQuery q;
    if (!m_manager.Exec(q, "SELECT MAX(EVAL_DATE) FROM PROFILE_DATA_TBL WHERE PROFILE_NAME = ? AND TEMPLATE_ID = ?",
                        {QString::fromStdString(m_profile), static_cast<int>(m_structId)}) ||
        !q.next() || q.value(0).isNull())
        return false;
    date = q.value(0).toDouble();
    return true;
}

bool ProfileDataStore::HasDataChanged() { return EncodeProfileData(m_project) != m_stored; }

void ProfileDataStore::Rebaseline() {
    m_stored = EncodeProfileData(m_project);
    m_shape = ProfileDataShape(m_project);
}

bool ProfileDataStore::HasStructureChanged() {
    if (m_recordId <= 0) return true;
    return ProfileDataShape(m_project) != m_shape;
}

bool ProfileDataStore::Load() {
    m_error.clear();
    QSqlQuery q;
    if (!m_manager.Exec(q, "SELECT PROFILE_DATA_ID, CONTENT, ROW_VERSION FROM PROFILE_DATA_TBL WHERE PROFILE_NAME = ? "
                           "AND TEMPLATE_ID = ? AND EVAL_DATE BETWEEN ? AND ?",
                        {QString::fromStdString(m_profile), static_cast<int>(m_structId), m_evalDate - kDateTolerance,
                         m_evalDate + kDateTolerance}))
        return Fail(m_manager.LastError());
    if (!q.next())
        return Fail(QString("There is no data for profile [%1] at that evaluation date.")
                        .arg(QString::fromStdString(GetProfileDisplayName())));
    QString why;
    if (!DecodeProfileData(q.value(1).toByteArray(), m_project, &why)) return Fail(why);
    m_recordId = q.value(0).toInt();
    m_version = q.value(2).toInt();
    m_stored = EncodeProfileData(m_project);
    m_shape = ProfileDataShape(m_project);
    return true;
}

bool ProfileDataStore::Save() {
    m_error.clear();
    if (m_recordId <= 0) return SaveAs(true);
    const QByteArray content = EncodeProfileData(m_project);
    const bool ok = InTransaction(m_manager, m_error, [&] {
        QSqlQuery q;
        if (!m_manager.Exec(q, "UPDATE PROFILE_DATA_TBL SET CONTENT = ?, USER_ID = ?, SAVED_AT = ?, ROW_VERSION = ? "
                               "WHERE PROFILE_DATA_ID = ? AND ROW_VERSION = ?",
                            {content, m_manager.Login().userId, Now(), m_version + 1, static_cast<int>(m_recordId),
                             m_version}))
            return false;
        if (q.numRowsAffected() != 1)
            return Fail(QString("The data of profile [%1] was changed or removed by another user since it was loaded; "
                                "it was not saved.")
                            .arg(QString::fromStdString(GetProfileDisplayName())));
        return true;
    });
    if (!ok) return false;
    ++m_version;
    m_stored = content;
    m_shape = ProfileDataShape(m_project);
    return true;
}

bool ProfileDataStore::Store(const QString& profile, double date, bool newRecord, bool keepAsCurrent) {
    const QByteArray content = EncodeProfileData(m_project);
    std::int32_t id = 0;
    int version = 1;
    const bool ok = InTransaction(m_manager, m_error, [&] {
        QSqlQuery q;
        if (!m_manager.Exec(q, "SELECT PROFILE_DATA_ID, ROW_VERSION FROM PROFILE_DATA_TBL WHERE PROFILE_NAME = ? AND "
                               "TEMPLATE_ID = ? AND EVAL_DATE BETWEEN ? AND ?",
                            {profile, static_cast<int>(m_structId), date - kDateTolerance, date + kDateTolerance}))
            return false;
        const bool exists = q.next();
        if (exists && !newRecord) {
            id = q.value(0).toInt();
            version = q.value(1).toInt() + 1;
            return m_manager.Exec(q, "UPDATE PROFILE_DATA_TBL SET CONTENT = ?, USER_ID = ?, SAVED_AT = ?, "
                                     "ROW_VERSION = ? WHERE PROFILE_DATA_ID = ?",
                                  {content, m_manager.Login().userId, Now(), version, id});
        }
        if (exists && !m_manager.Exec(q, "DELETE FROM PROFILE_DATA_TBL WHERE PROFILE_DATA_ID = ?", {q.value(0).toInt()}))
            return false;
        if (!m_manager.NextId("PROFILE_DATA_TBL", id)) return false;
        return m_manager.Exec(q, "INSERT INTO PROFILE_DATA_TBL (PROFILE_DATA_ID, PROFILE_NAME, EVAL_DATE, TEMPLATE_ID, "
                                 "USER_ID, CONTENT, ROW_VERSION, SAVED_AT) VALUES (?, ?, ?, ?, ?, ?, 1, ?)",
                              {id, profile, date, static_cast<int>(m_structId), m_manager.Login().userId, content, Now()});
    });
    if (!ok) return false;
    if (keepAsCurrent) {
        m_recordId = id;
        m_version = version;
        m_stored = content;
        m_shape = ProfileDataShape(m_project);
    }
    return true;
}

bool ProfileDataStore::SaveAs(bool newRecord) {
    m_error.clear();
    if (m_profile.empty()) return Fail("The data has no profile to be saved under.");
    if (m_structId <= 0) return Fail("The template of the data has not been stored yet.");
    if (m_evalDate < 0) return Fail("The data has no evaluation date.");
    return Store(QString::fromStdString(m_profile), m_evalDate, newRecord, true);
}

bool ProfileDataStore::SaveDataTo(const std::string& profile, const std::string& name, int& flag) {
    m_error.clear();
    flag = 0;
    double date = m_evalDate;
    if (!name.empty()) {
        const QDate d = QDate::fromString(QString::fromStdString(name).trimmed(), "MM/dd/yyyy");
        if (!d.isValid()) return Fail(QString("\"%1\" is not an evaluation date (mm/dd/yyyy).").arg(QString::fromStdString(name)));
        date = static_cast<double>(QDate(1899, 12, 30).daysTo(d));
    }
    if (profile.empty() || date < 0 || m_structId <= 0) return Fail("The data cannot be saved to that profile.");
    // The database decides which profiles the login's group may write.
    QString query;
    const LoginRecord& login = m_manager.Login();
    if (login.activeGroup == 0 || m_manager.GroupQuery(login.groupId, query) < 0 ||
        !MatchGroupQuery(QString::fromStdString(profile), query)) {
        flag = 1;
        m_error = QString("User has no write permissions on profile [%1].").arg(QString::fromStdString(profile));
        return true;
    }
    return Store(QString::fromStdString(profile), date, false, false);
}

// ---------------------------------------------------------------- user-defined objects

namespace {
// The user-defined objects of a project: index 501 and up in the categories
// that hold them.
std::vector<QSID> UserObjects(CProject& project) {
    std::vector<QSID> ids;
    for (const int category : {1000, 4000, 5000, 6000, 7000}) {
        QSID id = 0;
        std::string name;
        for (QSSTATUS st = project.GetFirst(category, id, name); st == 0; st = project.GetNext(category, id, name))
            if (GetIDIndex(id) >= 501) ids.push_back(id);
    }
    return ids;
}
}  // namespace

bool UdoStore::Upsert(long id) {
    const CFormula* f = m_project.FindObject(static_cast<QSID>(id));
    if (!f) return true;  // gone already: nothing to name
    const int templ = static_cast<int>(m_template.GetID());
    const int type = GetIDDOType(static_cast<QSID>(id));
    const QString name = QString::fromStdString(f->GetIDLongName());
    QSqlQuery q;
    if (!m_manager.Exec(q, "UPDATE UDO_TBL SET OBJECT_NAME = ?, ROW_VERSION = ROW_VERSION + 1 WHERE TEMPLATE_ID = ? "
                           "AND QS_ID = ? AND OBJECT_TYPE = ?",
                        {name, templ, static_cast<int>(id), type}))
        return false;
    if (q.numRowsAffected() == 1) return true;
    std::int32_t udo = 0;
    return m_manager.NextId("UDO_TBL", udo) &&
           m_manager.Exec(q, "INSERT INTO UDO_TBL (UDO_ID, TEMPLATE_ID, QS_ID, OBJECT_TYPE, OBJECT_NAME, ROW_VERSION) "
                             "VALUES (?, ?, ?, ?, ?, 1)",
                          {udo, templ, static_cast<int>(id), type, name});
}

bool UdoStore::LoadAllUdos() {
    QSqlQuery q;
    if (!m_manager.Exec(q, "SELECT COUNT(*) FROM UDO_TBL WHERE TEMPLATE_ID = ?", {static_cast<int>(m_template.GetID())}) ||
        !q.next())
        return false;
    m_loadedCount = q.value(0).toInt();
    return true;
}

bool UdoStore::SaveAllUdos() {
    if (m_template.GetID() <= 0) return true;
    for (QSID id : UserObjects(m_project))
        if (!Upsert(id)) return false;
    return LoadAllUdos();
}

bool UdoStore::CheckIfLoadedUdosAreUptodate() {
    if (m_loadedCount < 0) return true;
    QSqlQuery q;
    if (!m_manager.Exec(q, "SELECT COUNT(*) FROM UDO_TBL WHERE TEMPLATE_ID = ?", {static_cast<int>(m_template.GetID())}) ||
        !q.next())
        return false;
    return q.value(0).toInt() == m_loadedCount;
}

bool UdoStore::InsertUdoObjectNames(const std::vector<long>& ids) {
    if (m_template.GetID() <= 0) return true;
    for (long id : ids)
        if (!Upsert(id)) return false;
    return LoadAllUdos();
}

bool UdoStore::UpdateUdoObjectNames(const std::vector<long>& ids) { return InsertUdoObjectNames(ids); }

bool UdoStore::DeleteUdoObjectNames(const std::vector<long>& ids) {
    QSqlQuery q;
    for (long id : ids)
        if (!m_manager.Exec(q, "DELETE FROM UDO_TBL WHERE TEMPLATE_ID = ? AND QS_ID = ?",
                            {static_cast<int>(m_template.GetID()), static_cast<int>(id)}))
            return false;
    return LoadAllUdos();
}

long UdoStore::GetUdoidFromQsidAndType(long qsid, int type) {
    QSqlQuery q;
    if (!m_manager.Exec(q, "SELECT UDO_ID FROM UDO_TBL WHERE TEMPLATE_ID = ? AND QS_ID = ? AND OBJECT_TYPE = ?",
                        {static_cast<int>(m_template.GetID()), static_cast<int>(qsid), type}) ||
        !q.next())
        return -1;
    return q.value(0).toInt();
}

bool UdoStore::RetrieveDependentQsidsForExhibitsAndMethods(long, std::vector<long>& ids,
                                                           std::vector<std::string>& names) {
    // Dependents are read from the project's formulas by the caller; the
    // database keeps names only.
    ids.clear();
    names.clear();
    return true;
}

bool UdoStore::EditNamesOfDataObjectsFromProfiles(const std::vector<long>& ids, const std::vector<long>&,
                                                  const std::string&) {
    return UpdateUdoObjectNames(ids);
}

bool UdoStore::DeleteDataObjectsFromProfiles(const std::vector<long>& ids) { return DeleteUdoObjectNames(ids); }

// ---------------------------------------------------------------- summary export lists

bool SummExportListStore::UpdateAllSummaryListsIfUdoNameIsModified(const std::vector<long>& ids,
                                                                   const std::vector<std::string>& names) {
    if (ids.size() != names.size()) return false;
    QSqlQuery q;
    for (std::size_t i = 0; i < ids.size(); ++i)
        if (!m_manager.Exec(q, "UPDATE SUMMARY_EXPORT_ITEM_TBL SET TABLE_NAME = ? WHERE UDO_ID = ?",
                            {QString::fromStdString(names[i]), static_cast<int>(ids[i])}))
            return false;
    return true;
}

bool SummExportListStore::UpdateAllSummaryListsIfUdoIsDeleted(const std::vector<long>& ids) {
    QSqlQuery q;
    for (long id : ids)
        if (!m_manager.Exec(q, "DELETE FROM SUMMARY_EXPORT_ITEM_TBL WHERE UDO_ID = ?", {static_cast<int>(id)}))
            return false;
    return true;
}

}  // namespace qs::db

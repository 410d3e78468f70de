// Print fields, headings and the database binding of a project.
#include "CKDVVantor.h"
#include "CMethod.h"
#include "CProject.h"

void CProject::BindDatabase(CKDVVantor* vantor, IKDVDatabaseManager* manager) {
    m_vantor = vantor;
    m_dbManager = manager;
    m_mode = vantor || manager ? RM_DATABASE : RM_FILE;
}

namespace {
CProject::DatabaseBinder& ProjectDatabaseBinder() {
    static CProject::DatabaseBinder binder;
    return binder;
}
}  // namespace

void CProject::SetDatabaseBinder(DatabaseBinder binder) { ProjectDatabaseBinder() = std::move(binder); }

long CProject::InitProjectWithDBManager(IKDVDatabaseManager* manager) {
    if (!manager || !ProjectDatabaseBinder()) return -1;
    CKDVVantor* vantor = ProjectDatabaseBinder()(*this, manager);
    if (!vantor) return -1;
    BindDatabase(vantor, manager);
    return 0;
}

std::string CProject::GetIDName(int form) const {
    if (form != 0) return CFormula::GetIDName(form);
    const auto slash = m_fileName.find_last_of("/\\");
    return slash == std::string::npos ? m_fileName : m_fileName.substr(slash + 1);
}

std::string CProject::GetProfileName() const {
    CKDVData* data = m_vantor ? m_vantor->GetData() : nullptr;
    return data ? data->GetProfileDisplayName() : std::string();
}

std::string CProject::GetExhibitLabel() const {
    CKDVData* data = m_vantor ? m_vantor->GetData() : nullptr;
    if (!data) return {};
    std::string label = data->GetProfileDisplayName();
    const double date = data->GetEvalDate();
    if (date >= 0) label += " ( " + CHDate(date).Format("mm/dd/yyyy") + " )";
    return label;
}

std::string CProject::ClassItemMapLookup(const std::string& /*fieldName*/) const {
    // The item map belongs to the database record; a file project has none,
    // and the record interfaces offer no look-up by field name.
    return {};
}

QSSTATUS CProject::CreateHeader(QSID id, std::string& header) const {
    header.clear();
    if (const QSID methodId = CMethod::MethodIDFromUltID(id)) {
        const unsigned short layer = GetIDLayer(id) ? GetIDLayer(id) : static_cast<unsigned short>(NET);
        if (const CFormula* m = FindObject(methodId, layer)) {
            header = m->GetIDLongName();
            return qsk::kOk;
        }
    }
    std::string name;
    if (GetLongNameFromID(id, name) != qsk::kOk) return qsk::kUnknownId;
    header = name;
    return qsk::kOk;
}

QSSTATUS CProject::SetQSEEPrintTitles() {
    GetPageSetup().m_HeaderStrings = {"&[Company Name]", "&[Query]", "&[Evaluation Date]"};
    GetPageSetup().m_FooterStrings = {"&[Exhibit Label]", "", "Page &[Page]"};
    GetPageSetup().m_TitleStrings = {"", "&[Table Name]", ""};
    m_modified = true;
    return qsk::kOk;
}

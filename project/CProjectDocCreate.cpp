// Creating a new project through the application's set-up sheet. Without
// one (tools and tests without an application) the project gets the
// kernel's default structure: ten annual exposure and development periods
// from the current year.
#include "CProjectDoc.h"
#include "CPrjSheet.h"

#include <QDate>

#include "CDataObject.h"
#include "CProject.h"
#include "ProjectHost.h"

using qs::project::Host;

BOOL CProjectDoc::CreateProjectFile(const QString& titleSuffix) {
    if (!CreateProjectStructure(titleSuffix)) return FALSE;
    // A triangle keeps the way it is shown (cumulative or incremental) in the
    // file; a new project's triangles start as the workstation says.
    const int show = Host().defaultShow ? Host().defaultShow() : 0;
    if (show == 1 || show == 3) {
        m_pProject->ForEachObject([](QSID, unsigned short, CFormula* object) {
            if (auto* data = dynamic_cast<CDataObject*>(object); data != nullptr && data->IsCumulable()) {
                QSSTATUS status = 0;
                data->ViewCumulative(0, status, 0);
            }
        });
    }
    return TRUE;
}

BOOL CProjectDoc::CreateProjectStructure(const QString& titleSuffix) {
    if (!CDocument::OnNewDocument() || m_pProject == nullptr) return FALSE;
    if (CPrjSheet* sheet = CPrjSheet::NewProjectSheet())
        return sheet->CreateNewProject(*m_pProject, GetTitle(), titleSuffix) ? TRUE : FALSE;
    std::uint16_t generation = 5, numExp = 10, firstYear = static_cast<std::uint16_t>(QDate::currentDate().year() - 9),
                  interval = 1, numDev = 10, firstAge = 12;
    PRDLENGTH expLength = PRD_YEAR, devLength = PRD_YEAR;
    LAYERNAMES calc1 = GROSS, calc2 = ASSUMED;
    m_pProject->SetIncludesPrior(false);
    return m_pProject->Create(generation, numExp, expLength, firstYear, interval, numDev, devLength, firstAge, calc1,
                              calc2) == 0;
}

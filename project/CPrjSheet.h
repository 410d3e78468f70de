#pragma once
// The project set-up sheet: structure, information, layers, scaling factor
// and number display of a project. The application keeps one sheet for new
// projects (it remembers the last entries); the properties command builds
// its own, filled from an open project.
#include <QString>

#include <cstdint>

#include "CPrjPage1.h"
#include "CPrjPage2.h"
#include "CPrjPage3.h"
#include "CPrjPage4.h"
#include "CPrjPage5.h"
#include "CPropertySheet.h"
#include "KernelTypes.h"

class CProject;

// The structure handed to the kernel when a project is created, in the
// kernel's argument order.
struct NewProjectStructure {
    std::uint16_t generation = 5;
    std::uint16_t numExp = 0;
    PRDLENGTH expLength = PRD_YEAR;
    std::uint16_t firstYear = 0;
    std::uint16_t firstInterval = 1;
    std::uint16_t numDev = 0;
    PRDLENGTH devLength = PRD_YEAR;
    std::uint16_t startMonths = 12;
    LAYERNAMES calc1 = CEDED;
    LAYERNAMES calc2 = ASSUMED;
    bool includesPrior = false;
};

class CPrjSheet : public CPropertySheet {
public:
    static constexpr UINT kCaptionFileProperties = 61447;
    // Pages 1 to 3 are in the sheet; pages 4 and 5 are added by callers that want them.
    explicit CPrjSheet(UINT nIDCaption = kCaptionFileProperties, CWnd* pParentWnd = nullptr);
    CPrjSheet(const QString& caption, CWnd* pParentWnd, UINT iSelectPage = 0);
    ~CPrjSheet() override;

    // Fills the pages from a project (structure and layers locked); with no
    // project only the display page takes the defaults file.
    void LoadFromProject(CProject* project);
    // Writes information, scaling factor and (when its page is in the sheet)
    // display into the project. Structure and layers are creation-only.
    void ApplyToProject(CProject* project);

    // Page 1's structure and page 3's calculated layers.
    NewProjectStructure ReadStructure() const;

    // File New: runs the sheet until the user cancels or enters a structure
    // that passes CheckProjectStructure, then creates the kernel project and
    // applies the other pages. False when cancelled or when the kernel failed.
    bool CreateNewProject(CProject& project, const QString& documentTitle, const QString& titleSuffix);

    // The application's sheet for new projects (null: none, the kernel's default structure is used).
    static void SetNewProjectSheet(CPrjSheet* sheet);
    static CPrjSheet* NewProjectSheet();

    CPrjPage1 m_Page1;
    CPrjPage2 m_Page2;
    CPrjPage3 m_Page3;
    CPrjPage4 m_Page4;
    CPrjPage5 m_Page5;

protected:
    BOOL OnInitDialog() override;

private:
    void AddStandardPages();
};

// The three structure checks; a failure shows its message (stop icon, only
// while the main window is visible), logs it when no person is working the
// program, and returns false.
bool CheckProjectStructure(const NewProjectStructure& s);
// The message of the first failing check; empty when the structure passes.
QString ProjectStructureError(const NewProjectStructure& s);

#include "CPrjSheet.h"

#include <QApplication>

#include <cstdio>
#include <ctime>

#include "CPrjSheetEnvironment.h"
#include "CProject.h"
#include "CScalar.h"
#include "DisplayPreview.h"
#include "KernelGlobals.h"
#include "WaitCursor.h"

PrjSheetEnvironment& PrjSheetEnv() {
    static PrjSheetEnvironment env;
    return env;
}

namespace {

QString SheetCaption(UINT nIDCaption) {
    return nIDCaption == CPrjSheet::kCaptionFileProperties ? QStringLiteral("File Properties") : QString();
}

void WriteProjectLogLine(const QString& text) {
    const QString& path = PrjSheetEnv().logFilePath;
    if (path.isEmpty()) return;
    if (FILE* log = std::fopen(path.toLocal8Bit().constData(), "a")) {
        char stamp[64];
        const std::time_t now = std::time(nullptr);
        std::strftime(stamp, sizeof stamp, "%X  ", std::localtime(&now));
        std::fprintf(log, "%s%s\n", stamp, text.toLocal8Bit().constData());
        std::fclose(log);
    }
}

// The status-bar progress of a creation ends on every way out, so the
// status bar never keeps a progress whose owner is gone.
class CreationProgress {
public:
    explicit CreationProgress(const QString& caption) {
        if (PrjSheetEnv().beginProgress) PrjSheetEnv().beginProgress(caption);
    }
    ~CreationProgress() { End(QString()); }
    void End(const QString& text) {
        if (m_ended) return;
        m_ended = true;
        if (PrjSheetEnv().endProgress) PrjSheetEnv().endProgress(text);
    }

private:
    bool m_ended = false;
};

}  // namespace

CPrjSheet::CPrjSheet(UINT nIDCaption, CWnd* pParentWnd) : CPropertySheet(SheetCaption(nIDCaption), pParentWnd, 0) {
    AddStandardPages();
}

CPrjSheet::CPrjSheet(const QString& caption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(caption, pParentWnd, iSelectPage) {
    AddStandardPages();
}

namespace {
CPrjSheet* g_newProjectSheet = nullptr;
}  // namespace

void CPrjSheet::SetNewProjectSheet(CPrjSheet* sheet) { g_newProjectSheet = sheet; }
CPrjSheet* CPrjSheet::NewProjectSheet() { return g_newProjectSheet; }

CPrjSheet::~CPrjSheet() {
    if (g_newProjectSheet == this) g_newProjectSheet = nullptr;
}

void CPrjSheet::AddStandardPages() {
    AddPage(&m_Page1);
    AddPage(&m_Page2);
    AddPage(&m_Page3);
}

BOOL CPrjSheet::OnInitDialog() {
    const BOOL result = CPropertySheet::OnInitDialog();
    const PrjSheetEnvironment& env = PrjSheetEnv();
    if (!env.interactive && (env.applicationMode == 2 || env.applicationMode == 3)) SetActivePage(&m_Page3);
    return result;
}

void CPrjSheet::LoadFromProject(CProject* project) {
    if (!project) {
        m_Page5.SerializeDefaults(FALSE);
        return;
    }
    m_Page1.m_bLocked = 1;
    m_Page1.m_bShowEvalDate = project->Mode() == RM_DATABASE ? 1 : 0;

    std::uint16_t generation = 5, numExp = 0, firstYear = 0, firstInterval = 0, numDev = 0, startMonths = 0;
    PRDLENGTH expLength = PRD_YEAR, devLength = PRD_YEAR;
    if (project->GetInfoProject(generation, numExp, expLength, firstYear, firstInterval, numDev, devLength,
                                startMonths) == 0) {
        m_Page1.m_nNumExp = numExp;
        if (const int i = CPrjPage1::LengthIndexOf(expLength); i >= 0) m_Page1.m_nExpLength = i;
        m_Page1.m_nFirstYear = firstYear;
        m_Page1.m_nFirstInterval = firstInterval;
        m_Page1.m_nNumDev = numDev;
        if (const int i = CPrjPage1::LengthIndexOf(devLength); i >= 0) m_Page1.m_nDevLength = i;
        m_Page1.m_nStartMonths = startMonths;
    }
    m_Page1.m_bIncludesPrior = project->GetIncludesPrior() ? 1 : 0;

    m_Page2.m_strCompany = QString::fromStdString(project->GetCompanyName());
    m_Page2.m_strDescription = QString::fromStdString(project->GetDescription());
    const CHDate asOf = project->GetAsOfDate();
    m_Page2.m_strAsOfDate =
        asOf.GetSerial() > 0 ? QString::fromStdString(asOf.Format(CHDate::GetLocale().shortDate)) : QString();
    m_Page2.m_strComment = QString::fromStdString(project->GetComment());

    m_Page3.m_bLocked = 1;
    LAYERNAMES calc1 = NOLAYER, calc2 = NOLAYER;
    if (project->GetCalcedLayers(calc1, calc2) == 0) {
        if (const int r = CPrjPage3::Relation1Of(calc1); r >= 0) m_Page3.m_nRelation1 = r;
        if (const int r = CPrjPage3::Relation2Of(calc2); r >= 0) m_Page3.m_nRelation2 = r;
    }

    if (auto* scaling = dynamic_cast<CScalar*>(project->FindObject(project->GetScalingFactorID()))) {
        double value = 1.0;
        if (scaling->GetValue(value) == 0) m_Page4.m_dScalingFactor = value;
    }

    qs::project::ReadDisplaySettings(*project, m_Page5.m_display);
}

void CPrjSheet::ApplyToProject(CProject* project) {
    if (!project) return;
    project->SetIncludesPrior(m_Page1.m_bIncludesPrior != 0);
    project->SetCompanyName(m_Page2.m_strCompany.toStdString());
    project->SetModifiedFlag();
    project->SetDescription(m_Page2.m_strDescription.toStdString());
    project->SetModifiedFlag();
    const std::string asOfText = m_Page2.m_strAsOfDate.trimmed().toStdString();
    CHDate asOf;
    if (!asOfText.empty() && asOf.Parse(asOfText.c_str(), int(asOfText.size()), -1) == 0) project->SetAsOfDate(asOf);
    project->SetModifiedFlag();
    project->SetComment(m_Page2.m_strComment.toStdString());
    project->SetModifiedFlag();
    if (auto* scaling = dynamic_cast<CScalar*>(project->FindObject(project->GetScalingFactorID())))
        scaling->SetValue(m_Page4.m_dScalingFactor);
    if (GetPageIndex(&m_Page5) < 0) return;
    qs::project::WriteDisplaySettings(*project, m_Page5.m_display);
}

NewProjectStructure CPrjSheet::ReadStructure() const {
    NewProjectStructure s;
    s.numExp = std::uint16_t(m_Page1.m_nNumExp);
    s.expLength = PRDLENGTH(CPrjPage1::LengthOfIndex(m_Page1.m_nExpLength));
    s.firstYear = std::uint16_t(m_Page1.m_nFirstYear);
    s.firstInterval = std::uint16_t(m_Page1.m_nFirstInterval);
    s.numDev = std::uint16_t(m_Page1.m_nNumDev);
    s.devLength = PRDLENGTH(CPrjPage1::LengthOfIndex(m_Page1.m_nDevLength));
    s.startMonths = std::uint16_t(m_Page1.m_nStartMonths);
    s.calc1 = CPrjPage3::Relation1Layer(m_Page3.m_nRelation1);
    s.calc2 = CPrjPage3::Relation2Layer(m_Page3.m_nRelation2);
    s.includesPrior = m_Page1.m_bIncludesPrior != 0;
    return s;
}

QString ProjectStructureError(const NewProjectStructure& s) {
    if (int(s.expLength) < int(s.devLength)) return QStringLiteral("Not enough exposure periods!");
    // The development periods must reach beyond the start of the last exposure period.
    if ((int(s.numExp) - 1) * int(s.expLength) >= int(s.numDev) * int(s.devLength))
        return QStringLiteral("Invalid number of development periods!");
    const auto pair = [&s](LAYERNAMES a, LAYERNAMES b) {
        return (s.calc1 == a && s.calc2 == b) || (s.calc1 == b && s.calc2 == a);
    };
    if (s.calc1 == s.calc2 || pair(NET, CEDED) || pair(DIRECT, ASSUMED)) return QStringLiteral("Invalid calculated layer!");
    return QString();
}

bool CheckProjectStructure(const NewProjectStructure& s) {
    const QString error = ProjectStructureError(s);
    if (error.isEmpty()) return true;
    AfxMessageBoxIfVisible(error, MB_OK | MB_ICONSTOP);
    if (!PrjSheetEnv().interactive) {
        WriteProjectLogLine(error);
        gbLogFileContainsError = true;
    }
    return false;
}

bool CPrjSheet::CreateNewProject(CProject& project, const QString& documentTitle, const QString& titleSuffix) {
    PrjSheetEnvironment& env = PrjSheetEnv();
    SetTitle(documentTitle + titleSuffix);
    if (env.applicationMode == 2 || env.applicationMode == 3) m_Page1.m_bTemplate = 1;
    if (DoModal() != IDOK) return false;
    NewProjectStructure s;
    for (;;) {
        if (env.redrawMainWindow) env.redrawMainWindow();
        s = ReadStructure();
        if (CheckProjectStructure(s)) break;
        if (DoModal() != IDOK) return false;
    }

    CWaitCursor wait;
    QSSTATUS status = 0;
    try {
        CreationProgress progress(QStringLiteral("Creating ") + documentTitle);
        project.SetIncludesPrior(s.includesPrior);
        status = project.Create(s.generation, s.numExp, s.expLength, s.firstYear, s.firstInterval, s.numDev,
                                s.devLength, s.startMonths, s.calc1, s.calc2);
        if (env.defaultPageSetup) project.SetPageSetup(env.defaultPageSetup());
        progress.End(status == 0 ? documentTitle + QStringLiteral(" successfully created.") : QString());
    } catch (...) {
        return false;  // the kernel's failure; the document is discarded without a message
    }
    if (status != 0) {
        if (env.reportError) env.reportError(QStringLiteral("Error creating new file."));
        else AfxMessageBoxIfVisible(QStringLiteral("Error creating new file."), MB_OK | MB_ICONSTOP);
        return false;
    }
    ApplyToProject(&project);
    if (env.newProjectCreated) env.newProjectCreated();
    return true;
}

// The small whole-project commands: file properties, scaling factor, a new
// evaluation, the as-of date, moving a layer and copying development factors
// between the selected factors, the statistics and factor sets.
#include <QFileInfo>
#include <QWidget>

#include "CDataObject.h"
#include "CFSLib.h"
#include "CFactorSet.h"
#include "CPrjSheet.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CScalar.h"
#include "MessageBox.h"
#include "WaitCursor.h"
#include "dialogs/ProjectDialogs.h"
#include "dialogs/SmallDialogs.h"
#include "projectservices/ProjectServices.h"

namespace qs::app {

namespace {

constexpr long kHintProperties = 5;
const char* const kCompleted = "Operation completed successfully.";

void RedrawMainWindow() {
    if (QWidget* w = qs::fw::MainWindow(); w && w->isVisible()) w->repaint();
}

CScalar* ScalingFactorOf(CProject& project) {
    return dynamic_cast<CScalar*>(project.FindObject(project.GetScalingFactorID(), 0));
}

// The chosen set of the chosen library, or null after the failure report.
CFactorSet* ChosenFactorSet(CProjectDoc& doc, const FactorSetChoice& choice) {
    CFactorSet* set = nullptr;
    if (choice.library) choice.library->GetFactorSet(choice.setName.toStdString(), set);
    if (set == nullptr) doc.ReportMessage(QStringLiteral("Error: GetFactorSet failed.\n"));
    return set;
}

QString CannotOpenLibrary(const QString& path) {
    return QStringLiteral("File %1 could not be opened. If the file is open please close it.").arg(path);
}

}  // namespace

void OnFileProperties(CProjectDoc& doc) {
    CProject* project = doc.GetProject();
    if (project == nullptr) return;
    const bool database = project->Mode() == RM_DATABASE;
    CPrjSheet sheet(doc.GetTitle() + (database ? QStringLiteral(" -Project Properties") : QStringLiteral(" - File Properties")),
                    nullptr);
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    sheet.LoadFromProject(project);
    if (sheet.DoModal() != IDOK) return;
    sheet.ApplyToProject(project);
    doc.SetModifiedFlag(TRUE);
    doc.UpdateAllViews(nullptr, kHintProperties);
}

void OnScalingFactor(CProjectDoc& doc) {
    CProject* project = doc.GetProject();
    CScalar* scaling = project ? ScalingFactorOf(*project) : nullptr;
    if (scaling == nullptr) return;
    CScalingFactorDlg dialog;
    double value = 1.0;
    if (scaling->GetValue(value) != 0) value = 1.0;
    dialog.m_dValue = value;
    if (dialog.DoModal() != IDOK) return;
    if (scaling->SetValue(dialog.m_dValue) != 0) {
        doc.ReportMessage(QStringLiteral("Error: CScalar::SetValue\n"));
        return;
    }
    doc.SetModifiedFlag(TRUE);
}

void OnAddNewEvaluation(CProjectDoc& doc) {
    CProject* project = doc.GetProject();
    if (project == nullptr) return;
    if (ServicesHost().hasOpenWindows && ServicesHost().hasOpenWindows()) {
        if (AfxMessageBox(QStringLiteral("All windows must be closed before continuing.\nClose them now?"), MB_YESNO) != IDYES)
            return;
        if (ServicesHost().closeAllWindows) ServicesHost().closeAllWindows();
    }
    const int answer = AfxMessageBox(QStringLiteral("Clear all selecteds and method variables?"), MB_YESNOCANCEL);
    if (answer == IDCANCEL) return;
    int growRows = 1, growColumns = 1, clear = answer == IDYES ? 1 : 0, count = 1;
    // The progress ends on every road out, with the outcome as its text.
    doc.BeginStatusProgress(QStringLiteral("Appending new evaluation."));
    RedrawMainWindow();
    QSSTATUS status = 0;
    {
        CWaitCursor wait;
        doc.CloseObjectViews(FALSE);
        status = project->AppendNewEvaluation(growRows, growColumns, clear, count);
        doc.ReopenObjectViews();
    }
    if (status != 0) {
        doc.StepStatusProgress(QString());
        doc.ReportMessage(QStringLiteral("This operation is not available with the structure of your current data file."));
        return;
    }
    doc.SetModifiedFlag(TRUE);
    doc.StepStatusProgress(QStringLiteral("New evaluation successfully added."));
    AfxMessageBoxIfVisible(QStringLiteral("New evaluation successfully added."));
}

void OnAsOfDate(CProjectDoc& doc) {
    if (doc.GetProject() == nullptr) return;
    CAsOfDateDlg dialog;
    if (dialog.DoModal() != IDOK) return;
    doc.GetProject()->SetAsOfDate(dialog.m_date);
    doc.SetModifiedFlag(TRUE);
}

void OnMoveLayer(CProjectDoc& doc) {
    CProject* project = doc.GetProject();
    if (project == nullptr) return;
    if (ServicesHost().activeObject) ServicesHost().activeObject(doc);
    CMoveLayerDataDlg dialog(project);
    dialog.m_nFrom = doc.m_nCurrentLayer >= 1 && doc.m_nCurrentLayer <= 5 ? doc.m_nCurrentLayer - 1 : -1;
    if (dialog.DoModal() != IDOK) return;
    CWaitCursor wait;
    doc.CloseObjectViews(FALSE);
    const QSSTATUS status = project->MoveLayer(dialog.m_nSourceLayer, dialog.m_nDestinationLayer);
    doc.ReopenObjectViews();
    if (status != 0) {
        doc.ReportMessage(QStringLiteral("Error: CProject::MoveLayer\n"));
        return;
    }
    doc.SetModifiedFlag(TRUE);
    if (ServicesHost().refreshNavigator) ServicesHost().refreshNavigator();
}

void OnCopySelectedsToFactorSet(CProjectDoc& doc) {
    ProjectServicesHost& host = ServicesHost();
    CProject* project = doc.GetProject();
    if (project == nullptr || !host.chooseSelectedColumns || !host.chooseFactorSet) return;
    std::vector<std::int32_t> columns;
    if (!host.chooseSelectedColumns(doc, QStringLiteral("Copy Selecteds to Factor Set"), columns)) return;
    FactorSetChoice choice;
    if (!host.chooseFactorSet(doc, choice)) return;
    // A library open in its own window would be written under it and then
    // saved over by the window: it must be closed first.
    if (!choice.libraryPath.isEmpty() && host.findOpenLibrary && host.findOpenLibrary(choice.libraryPath)) {
        doc.ReportMessage(QStringLiteral("The development factor library %1 is open.\nPlease close it and copy the "
                                         "factors again.")
                              .arg(choice.libraryPath));
        return;
    }
    RedrawMainWindow();
    CWaitCursor wait;
    CFactorSet* set = ChosenFactorSet(doc, choice);
    if (set == nullptr) return;
    if (project->FillFSFromProj(*set, &columns) != 0) {
        doc.ReportMessage(QStringLiteral("Error: CProject::FillFSFromProj failed.\n"));
        return;
    }
    if (choice.libraryPath.isEmpty()) {
        // No database stands behind a library without a file in this program.
        doc.ReportMessage(QStringLiteral("Failed to update the dfl with factor set"));
        return;
    }
    // The library file must be there already; it is replaced whole, so a
    // failed write leaves the old one.
    if (!QFileInfo::exists(choice.libraryPath) ||
        choice.library->SaveFile(QFileInfo(choice.libraryPath).absoluteFilePath().toStdString()) != 0) {
        doc.ReportMessage(CannotOpenLibrary(choice.libraryPath));
        return;
    }
    AfxMessageBoxIfVisible(QString::fromUtf8(kCompleted));
}

void OnCopyStatisticsToSelecteds(CProjectDoc& doc) {
    ProjectServicesHost& host = ServicesHost();
    CProject* project = doc.GetProject();
    if (project == nullptr || !host.chooseStatistics) return;
    std::vector<std::uint8_t> statistic;
    std::vector<std::int32_t> columns;
    if (!host.chooseStatistics(doc, statistic, columns)) return;
    RedrawMainWindow();
    CWaitCursor wait;
    if (project->FillProjFromStat(statistic, &columns) != 0) {
        doc.ReportMessage(QStringLiteral("Error: CProject::FillProjFromStat failed.\n"));
        return;
    }
    doc.SetModifiedFlag(TRUE);
    AfxMessageBoxIfVisible(QString::fromUtf8(kCompleted));
}

void OnCopyFactorSetToSelecteds(CProjectDoc& doc) {
    ProjectServicesHost& host = ServicesHost();
    CProject* project = doc.GetProject();
    if (project == nullptr || !host.chooseSelectedColumns || !host.chooseFactorSet) return;
    FactorSetChoice choice;
    if (!host.chooseFactorSet(doc, choice)) return;
    std::vector<std::int32_t> columns;
    if (!host.chooseSelectedColumns(doc, QStringLiteral("Fill Selecteds with Factor Set"), columns)) return;
    RedrawMainWindow();
    CWaitCursor wait;
    CFactorSet* set = ChosenFactorSet(doc, choice);
    if (set == nullptr) return;
    if (project->FillProjFromFS(*set, &columns) != 0) {
        doc.ReportMessage(QStringLiteral("Error: CProject::FillProjFromFS failed.\n"));
        return;
    }
    doc.SetModifiedFlag(TRUE);
    AfxMessageBoxIfVisible(QString::fromUtf8(kCompleted));
}

}  // namespace qs::app

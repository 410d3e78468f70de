// The project's period commands: append and remove evaluations, the oldest
// exposure periods and the prior row, append a development period, and
// compress columns or rows into longer periods. The table tools' dialogs
// gather the choices; the kernel restructures the project. The object
// windows let go of their kernel objects before the change and take them up
// again after it, whatever the outcome.
#include "CProjectDoc.h"

#include "CCmdUI.h"
#include "CProject.h"
#include "MessageBox.h"
#include "ProjectHost.h"
#include "StructureDialogs.h"
#include "WaitCursor.h"
#include "QsCommandIds.h"

using qs::project::Host;

namespace {

const char* const kCannotBeUndone = "Attention!\nThis action cannot be undone!\nContinue anyway?";

// The word of a period length in the compress dialogs and messages.
QString PeriodLabel(int months) {
    switch (months) {
    case 1: return QStringLiteral("Months");
    case 3: return QStringLiteral("Quarters");
    case 6: return QStringLiteral("Half Years");
    case 12: return QStringLiteral("Years");
    default: return QString();
    }
}

// The length a compress dialog's label names; 0 for any other text.
int PeriodLength(const QString& label) {
    if (label == QLatin1String("Quarters")) return 3;
    if (label == QLatin1String("Half Years")) return 6;
    if (label == QLatin1String("Years")) return 12;
    return 0;
}

bool AskContinue() { return AfxMessageBox(QString::fromLatin1(kCannotBeUndone), MB_YESNO) == IDYES; }

// Exposure periods other than the prior row, as the labels show them.
int ExposurePeriodsBesidesPrior(const CProject& project) {
    QSStringArray exposure, development, exhibit;
    std::string title;
    if (project.GetLabels(exposure, development, exhibit, title) != 0) return 0;
    return static_cast<int>(exposure.size()) - (project.GetIncludesPrior() ? 1 : 0);
}

bool DevelopmentCanCompress(const CProject* project) {
    PRDLENGTH length = PRD_YEAR;
    return project != nullptr && project->GetLengthDevPrd(length) == 0 && length != PRD_YEAR;
}

bool ExposureCanCompress(const CProject* project) {
    PRDLENGTH length = PRD_YEAR;
    return project != nullptr && project->GetLengthExpPrd(length) == 0 && length != PRD_YEAR;
}

// A database project's captions name its evaluation, which a changed
// evaluation count moves.
void RefreshDatabaseCaptions(CProjectDoc& doc) {
    doc.UpdateAllViews(nullptr);
    if (Host().refreshNavigator) Host().refreshNavigator();
}

}  // namespace

// ---------------------------------------------------------------- evaluations

void CProjectDoc::OnAppendNewEvaluation() {
    if (m_pProject == nullptr || IsTailFactorProgramOpen()) return;
    CAppendEvalPeriodDlg dialog;
    dialog.m_bAddDevelopment = 1;
    dialog.m_bAddExposure = m_pProject->CanGrowRows() ? 1 : 0;
    if (dialog.DoModal() != IDOK) return;

    CWaitCursor wait;
    CloseObjectViews(TRUE);
    int clearSelected =
        AfxMessageBox(QStringLiteral("Clear all selecteds and method variables?"), MB_YESNO) == IDYES ? 1 : 0;
    BeginStatusProgress(QStringLiteral("Appending new evaluation."));
    RedrawMainWindow();
    int growRows = dialog.m_bAddExposure ? 1 : 0, growColumns = dialog.m_bAddDevelopment ? 1 : 0, count = 1;
    if (m_pProject->AppendNewEvaluation(growRows, growColumns, clearSelected, count) != 0) {
        ReportMessage(QStringLiteral("This operation is not available with the structure of your current data file."));
        ReopenObjectViews();
        StepStatusProgress(QStringLiteral("Append Evaluation period did not succeed."));
        return;
    }
    m_pProject->CopyCurrentUltimatesToHistoricalUltimates(growRows);
    SetModifiedFlag(TRUE);
    if (m_pProject->Mode() != RM_DATABASE) {
        // Save As runs once this command has ended, with the windows back.
        if (AfxMessageBox(QStringLiteral("New evaluation period appended successfully.\nSave file under different name?"),
                          MB_YESNO) == IDYES &&
            Host().postCommand)
            Host().postCommand(qs::cmd::kFileSaveAs, this);
    } else {
        RefreshDatabaseCaptions(*this);
    }
    ReopenObjectViews();
    StepStatusProgress(QStringLiteral("New evaluation period successfully appended."));
}

void CProjectDoc::OnRemoveLastEvaluation() {
    if (m_pProject == nullptr || IsTailFactorProgramOpen()) return;
    CRemoveEvalPeriodsDlg dialog(m_pProject);
    if (dialog.DoModal() != IDOK) return;
    const int wanted = dialog.m_nIndex + 1;

    CWaitCursor wait;
    CloseObjectViews(TRUE);
    BeginStatusProgress(wanted == 1 ? QStringLiteral("Removing last evaluation period(s).")
                                    : QStringLiteral("Removing last %1 evaluation period(s).").arg(wanted));
    int removed = 0;
    for (; removed < wanted; ++removed) {
        int count = 1;
        if (m_pProject->RemoveLastEvaluation(count) != 0) break;
        m_pProject->CopyHistoricalUltimatesToCurrentUltimates(0);
    }
    if (removed > 0) SetModifiedFlag(TRUE);
    if (removed < wanted) {
        // The evaluations removed before the refusal stay removed; say so.
        QString text = QStringLiteral("Error: Removing evaluation period(s)!");
        if (removed > 0)
            text += QStringLiteral("\n%1 of the %2 evaluation period(s) were removed.").arg(removed).arg(wanted);
        if (removed > 0 && m_pProject->Mode() == RM_DATABASE) RefreshDatabaseCaptions(*this);
        ReportMessage(text);
        ReopenObjectViews();
        StepStatusProgress(text);
        return;
    }
    if (m_pProject->Mode() == RM_DATABASE) RefreshDatabaseCaptions(*this);
    ReopenObjectViews();
    StepStatusProgress(QStringLiteral("Evaluation period(s) removed."));
}

// ---------------------------------------------------------------- exposure periods

void CProjectDoc::OnAppendOldestExposurePeriod() {
    if (m_pProject == nullptr || IsTailFactorProgramOpen()) return;
    RedrawMainWindow();
    CWaitCursor wait;
    CloseObjectViews(TRUE);
    BeginStatusProgress(QStringLiteral("Appending new exposure period..."));
    int count = 1;
    QString final;
    if (m_pProject->AppendExposurePeriod(count, 2) == 0) {
        SetModifiedFlag(TRUE);
        ShowMessageIfVisible(QStringLiteral("One exposure period appended."));
        final = QStringLiteral("New exposure period successfully appended.");
    } else {
        final = QStringLiteral("Action aborted!!");
    }
    ReopenObjectViews();
    StepStatusProgress(final);
}

void CProjectDoc::OnRemoveOldestExposurePeriod() {
    if (m_pProject == nullptr || IsTailFactorProgramOpen()) return;
    if (m_pProject->GetIncludesPrior() && ExposurePeriodsBesidesPrior(*m_pProject) <= 1) {
        ReportMessage(QStringLiteral("You cannot delete the only exposure period."));
        return;
    }
    CRemoveExposurePeriodsDlg dialog(m_pProject);
    if (dialog.DoModal() != IDOK) return;
    const int wanted = dialog.m_nIndex + 1;

    CWaitCursor wait;
    CloseObjectViews(TRUE);
    BeginStatusProgress(wanted == 1 ? QStringLiteral("Removing oldest exposure period(s).")
                                    : QStringLiteral("Removing oldest %1 exposure period(s).").arg(wanted));
    int removed = 0;
    for (; removed < wanted; ++removed) {
        int count = 1;
        if (m_pProject->RemoveExposurePeriod(count, 2) != 0) break;
    }
    if (removed > 0) SetModifiedFlag(TRUE);
    if (removed < wanted) {
        QString text = QStringLiteral("Error: Removing oldest exposure period(s)!");
        if (removed > 0)
            text += QStringLiteral("\n%1 of the %2 exposure period(s) were removed.").arg(removed).arg(wanted);
        ReportMessage(text);
        ReopenObjectViews();
        StepStatusProgress(text);
        return;
    }
    ReopenObjectViews();
    StepStatusProgress(QStringLiteral("Exposure period(s) removed."));
}

// ---------------------------------------------------------------- the prior row

void CProjectDoc::OnUpdateAppendPriorExposurePeriod(CCmdUI* ui) {
    ui->Enable(m_pProject != nullptr && !m_pProject->GetIncludesPrior());
}

void CProjectDoc::OnUpdateRemovePriorExposurePeriod(CCmdUI* ui) {
    ui->Enable(m_pProject != nullptr && m_pProject->GetIncludesPrior());
}

void CProjectDoc::OnAppendPriorExposurePeriod() {
    if (m_pProject == nullptr || IsTailFactorProgramOpen()) return;
    if (m_pProject->GetIncludesPrior()) {
        ReportMessage(QStringLiteral("Prior row already exits. Requested action cannot be applied."));
        return;
    }
    RedrawMainWindow();
    CWaitCursor wait;
    CloseObjectViews(TRUE);
    BeginStatusProgress(QStringLiteral("Appending prior exposure period ..."));
    int count = 1;
    const bool appended = m_pProject->AppendExposurePeriod(count, 0) == 0;
    if (appended) {
        SetModifiedFlag(TRUE);
        ReportMessageNoError(QStringLiteral("One prior exposure appended."));
    }
    ReopenObjectViews();
    StepStatusProgress(appended ? QStringLiteral("Prior exposure period appended.")
                                : QStringLiteral("Prior exposure period not appended."));
}

void CProjectDoc::OnRemovePriorExposurePeriod() {
    if (m_pProject == nullptr || IsTailFactorProgramOpen()) return;
    if (!m_pProject->GetIncludesPrior()) {
        ReportMessage(QStringLiteral(" Prior row does not exit. Requested action can not be applied."));
        return;
    }
    if (ExposurePeriodsBesidesPrior(*m_pProject) <= 1) {
        ReportMessage(QStringLiteral("You can not delete the only exposure period."));
        return;
    }
    if (AfxMessageBox(QStringLiteral("This action could result in loss of data\n"), MB_OKCANCEL) != IDOK) return;

    CWaitCursor wait;
    CloseObjectViews(TRUE);
    BeginStatusProgress(QStringLiteral("Removing prior exposure period ..."));
    int count = 1;
    if (m_pProject->RemoveExposurePeriod(count, 1) != 0) {
        const QString text = QStringLiteral("Error: Removing prior exposure period!");
        ReportMessage(text);
        ReopenObjectViews();
        StepStatusProgress(text);
        return;
    }
    SetModifiedFlag(TRUE);
    ReopenObjectViews();
    const QString done = QStringLiteral("Prior exposure period removed.");
    StepStatusProgress(done);
    // A success: it goes to the log without marking the log as holding an error.
    ReportMessageNoError(done);
}

// ---------------------------------------------------------------- development periods

void CProjectDoc::OnAppendDevelopmentPeriod() {
    if (m_pProject == nullptr || IsTailFactorProgramOpen()) return;
    if (!AskContinue()) return;
    RedrawMainWindow();
    CWaitCursor wait;
    BeginStatusProgress(QStringLiteral("Appending new development period..."));
    CloseObjectViews(TRUE);
    int count = 1;
    const bool appended = m_pProject->AppendDevelopmentPeriod(count) == 0;
    if (appended) {
        SetModifiedFlag(TRUE);
        ShowMessageIfVisible(QStringLiteral("One development period appended."));
    }
    ReopenObjectViews();
    StepStatusProgress(appended ? QStringLiteral("New development period successfully appended.")
                                : QStringLiteral("Development period not appended."));
}

// ---------------------------------------------------------------- compression

void CProjectDoc::OnUpdateCompressColumns(CCmdUI* ui) { ui->Enable(DevelopmentCanCompress(m_pProject)); }

void CProjectDoc::OnUpdateCompressRows(CCmdUI* ui) { ui->Enable(ExposureCanCompress(m_pProject)); }

void CProjectDoc::OnCompressColumns() {
    // Yearly columns cannot grow longer: nothing to offer (the menu says so too).
    if (!DevelopmentCanCompress(m_pProject) || IsTailFactorProgramOpen()) return;
    PRDLENGTH length = PRD_YEAR;
    m_pProject->GetLengthDevPrd(length);
    CCompressColumnsDlg dialog;
    dialog.m_nCurrentLength = length;
    dialog.m_strCurrent = PeriodLabel(length);
    if (dialog.DoModal() != IDOK) return;
    if (!AskContinue()) return;

    RedrawMainWindow();
    CWaitCursor wait;
    CloseObjectViews(TRUE);
    BeginStatusProgress(QStringLiteral("Compressing columns..."));
    int count = 1;
    const int newLength = PeriodLength(dialog.m_strChosen);
    const bool compressed = m_pProject->CompressColumns(newLength, dialog.m_bLeaveFirst, count) == 0;
    if (compressed) SetModifiedFlag(TRUE);
    const QString conflict = QStringLiteral(
        "Conflict with exposure periods.\nThis operation would result in more exposure periods than development "
        "periods, which is not allowed.");
    ReopenObjectViews();
    ReportMessageNoError(compressed ? QStringLiteral("Columns compressed.") : conflict);
    StepStatusProgress(compressed ? QStringLiteral("Columns compressed successfully.") : conflict);
}

void CProjectDoc::OnCompressRows() {
    if (!ExposureCanCompress(m_pProject) || IsTailFactorProgramOpen()) return;
    PRDLENGTH length = PRD_YEAR;
    m_pProject->GetLengthExpPrd(length);
    const QString current = PeriodLabel(length);
    CCompressRowsDlg dialog;
    dialog.m_nCurrentLength = length;
    dialog.m_strCurrent = current;
    if (dialog.DoModal() != IDOK) return;
    if (!AskContinue()) return;

    RedrawMainWindow();
    CWaitCursor wait;
    CloseObjectViews(TRUE);
    BeginStatusProgress(QStringLiteral("Compressing rows..."));
    const QString chosen = dialog.m_strChosen;
    const int newLength = PeriodLength(chosen);
    int start = static_cast<int>(dialog.m_nStartRow), stop = static_cast<int>(dialog.m_nStopRow);
    int ratio = static_cast<int>(dialog.m_nRatio);
    const QSSTATUS result = newLength == 0 ? QSSTATUS(1) : m_pProject->CompressRows(newLength, start, stop, ratio);
    if (result == 0) SetModifiedFlag(TRUE);
    ReopenObjectViews();

    QString message, final;
    const int periods = m_pProject->GetNumExpPrds();
    if (result == 0) {
        message = QStringLiteral("Rows compressed.");
        final = QStringLiteral("Rows compressed successfully.");
    } else if (result == 1) {
        message = final = QStringLiteral("Error: CProject::CompressRows");
    } else if (result == 2000) {
        message = final = QStringLiteral(
                              "We are unable to compress the %1 %2 ( excluding Prior Row )into %3 because you are "
                              "missing 1 period of data.\nSolution:\nAdd 1 new evaluation period and then compress to %4")
                              .arg(periods - 1)
                              .arg(current, chosen, chosen);
    } else {
        const int missing = result - 1;
        message = final = QStringLiteral(
                              "You cannot compress data when you do not have enough periods to start with.\nWe are "
                              "unable to compress the %1 %2 into %3 because you are missing %4 period(s) of "
                              "data.\nSolution:\nAdd %5 new evaluation period(s) and then compress to %6")
                              .arg(periods)
                              .arg(current, chosen)
                              .arg(missing)
                              .arg(missing)
                              .arg(chosen);
    }
    StepStatusProgress(final);
    if (result == 1) ReportMessage(message);
    else ReportMessageNoError(message);
}

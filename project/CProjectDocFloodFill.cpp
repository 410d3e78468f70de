// The project document's flood-fill commands: the settings dialogs of the
// ultimates, selected and interpolated development factors, the fills
// themselves, and the database edition's runs behind the busy dialog.
//
// A fill reports the tables it could not fill: the kernel goes on with the
// others and returns the first failure, and the command tells the user (or
// the log of a database project) which tables were left as they were, in
// place of announcing a completion that did not happen.
#include "CProjectDoc.h"

#include <string>
#include <vector>

#include "CCmdUI.h"
#include "CFloodFillSettingsDlg.h"
#include "CProject.h"
#include "CUltFloodFillOptionDlg.h"
#include "CWinApp.h"
#include "CWnd.h"
#include "FloodFill.h"
#include "MessageBox.h"
#include "ProjectHost.h"
#include "WaitCursor.h"
#include "WindowMessages.h"

using qs::project::Host;

namespace {

// At most this many failed tables are named in one report.
constexpr int kMaxNamedFailures = 10;

// The fill's steps go to the status line (and, behind the busy dialog, keep
// it turning); its failures are kept for the report.
class CommandProgress : public IFloodFillProgress {
public:
    explicit CommandProgress(bool busy) : m_busy(busy) {}
    void OnFloodFillStep(int, int, const std::string& target) override {
        if (!target.empty() && Host().setStatusMessage)
            Host().setStatusMessage(QStringLiteral("Flood filling ") + QString::fromStdString(target));
        if (m_busy)
            if (CWnd* main = AfxGetMainWnd()) main->SendMessage(WM_USER + 2, 0, 0);
    }
    void OnFloodFillFailed(const std::string& target, QSSTATUS status) override {
        m_failures.push_back({target, status});
    }
    struct Failure {
        std::string target;
        QSSTATUS status;
    };
    std::vector<Failure> m_failures;

private:
    bool m_busy;
};

QString FailureReason(QSSTATUS status) {
    switch (status) {
    case qsk::kUnknownId: return QStringLiteral("its table no longer exists");
    case qsk::kReadOnly: return QStringLiteral("the table cannot take input");
    case qsff::kNoSource: return QStringLiteral("the source its settings name is missing");
    case qsff::kNoStatistic: return QStringLiteral("the statistic gives no value");
    case qsff::kTailNotFitted: return QStringLiteral("factors filled, but no tail curve could be fitted");
    case qsff::kNotSupported: return QStringLiteral("this fill is not available");
    case qsff::kNoCurve: return QStringLiteral("no interpolation curve could be fitted");
    case qsff::kNoTarget: return QStringLiteral("it shows no selected ultimates");
    default: return QStringLiteral("error %1").arg(status);
    }
}

const char* FillName(CProjectDoc::FloodFillKind kind) {
    switch (kind) {
    case CProjectDoc::FloodFillKind::Ultimates: return "Ultimate";
    case CProjectDoc::FloodFillKind::SelectedFactors: return "Selected Development Factors";
    case CProjectDoc::FloodFillKind::InterpolatedFactors: return "Interpolated Development Factors";
    case CProjectDoc::FloodFillKind::MethodVariables: return "Method Variables";
    }
    return "";
}

// "<fill> Flood Fill Operation Failed!" and the tables that were not filled.
QString FailureText(CProjectDoc::FloodFillKind kind, QSSTATUS status, const CommandProgress& progress) {
    QString text = QStringLiteral("%1 Flood Fill Operation Failed!").arg(QString::fromLatin1(FillName(kind)));
    if (status == qsff::kCancelled) text += QStringLiteral("\nIt was stopped before every table was filled.");
    if (progress.m_failures.empty()) return text;
    text += QStringLiteral("\nNot filled:");
    int named = 0;
    for (const auto& f : progress.m_failures) {
        if (named == kMaxNamedFailures) {
            text += QStringLiteral("\n  ... and %1 more").arg(int(progress.m_failures.size()) - named);
            break;
        }
        const QString name = f.target.empty() ? QStringLiteral("(a table)") : QString::fromStdString(f.target);
        text += QStringLiteral("\n  %1: %2").arg(name, FailureReason(f.status));
        ++named;
    }
    return text;
}

bool IsDatabaseProject(const CProjectDoc& doc) {
    return doc.GetProject() != nullptr && doc.GetProject()->Mode() == RM_DATABASE;
}

}  // namespace

void CProjectDoc::OnUpdateDatabaseOnly(CCmdUI* ui) { ui->Enable(IsDatabaseProject(*this)); }

void CProjectDoc::OnSetUltimatesFloodFillOptions() {
    if (m_pProject == nullptr) return;
    CUltFloodFillOptionDlg dialog(m_pProject, nullptr);
    dialog.DoModal();
}

void CProjectDoc::OnSetSDFFloodFillOptions(bool interpolated) {
    // The dialog marks the project changed after OK with a change.
    if (m_pProject != nullptr) qs::views::RunFloodFillSettings(m_pProject, interpolated);
}

QSSTATUS CProjectDoc::RunFloodFill(FloodFillKind kind, bool busy, QString* failure) {
    if (m_pProject == nullptr) return qsk::kFail;
    CWaitCursor wait;
    CommandProgress progress(busy);
    QSSTATUS status = qsk::kOk;
    switch (kind) {
    case FloodFillKind::Ultimates:
        // The second pass lets a kind whose estimate reads another kind's
        // selected ultimates see them filled. A failure of the first pass
        // comes again in the second, which alone is reported.
        m_pProject->FloodFillUltimate(&progress);
        progress.m_failures.clear();
        status = m_pProject->FloodFillUltimate(&progress);
        break;
    case FloodFillKind::SelectedFactors: status = m_pProject->FloodFillSDF(&progress, SDF_SELECTED); break;
    case FloodFillKind::InterpolatedFactors: status = m_pProject->FloodFillSDF(&progress, SDF_INTERPOLATED); break;
    case FloodFillKind::MethodVariables: status = m_pProject->FloodFillMethodVariable(&progress); break;
    }
    if (Host().refreshNavigator) Host().refreshNavigator();
    if (status != qsk::kOk && failure != nullptr) *failure = FailureText(kind, status, progress);
    return status;
}

void CProjectDoc::OnExecuteFloodFill(FloodFillKind kind) {
    QString failure;
    if (RunFloodFill(kind, false, &failure) != qsk::kOk) ReportMessage(failure);
}

void CProjectDoc::OnRunFloodFill(FloodFillKind kind) {
    if (m_pProject == nullptr) return;
    CWnd* main = AfxGetMainWnd();
    if (main != nullptr) main->SendMessage(WM_USER + 2, 0, 0);
    QString failure;
    const QSSTATUS status = RunFloodFill(kind, true, &failure);
    if (main != nullptr) main->SendMessage(WM_USER, 0, 0);
    if (status != qsk::kOk) {
        ReportMessage(failure);
        return;
    }
    const QString done = QStringLiteral("%1 Flood Fill Operation Completed!").arg(QString::fromLatin1(FillName(kind)));
    AfxMessageBoxIfVisible(done, MB_OK | MB_ICONINFORMATION);
    LogMessage(done);
}

// The project document's ultimates flood fill commands.
#include "CProjectDoc.h"

#include <string>

#include "CProject.h"
#include "CUltFloodFillOptionDlg.h"
#include "FloodFill.h"
#include "MessageBox.h"
#include "ProjectHost.h"
#include "WaitCursor.h"

using qs::project::Host;

namespace {

constexpr UINT kSetUltimatesFloodFill = 33051;
constexpr UINT kExecuteUltimatesFloodFill = 33052;

// The fill's steps go to the status line.
class StatusProgress : public IFloodFillProgress {
public:
    void OnFloodFillStep(int, int, const std::string& target) override {
        if (Host().setStatusMessage) Host().setStatusMessage(QStringLiteral("Flood filling ") + QString::fromStdString(target));
    }
};

}  // namespace

void MapUltimatesFloodFillCommands(CProjectDoc& doc) {
    doc.MapCommand(kSetUltimatesFloodFill, [&doc] { doc.OnSetUltimatesFloodFillOptions(); });
    doc.MapCommand(kExecuteUltimatesFloodFill, [&doc] { doc.OnExecuteUltimatesFloodFill(); });
}

void CProjectDoc::OnSetUltimatesFloodFillOptions() {
    if (m_pProject == nullptr) return;
    CUltFloodFillOptionDlg dialog(m_pProject, nullptr);
    dialog.DoModal();
}

void CProjectDoc::OnExecuteUltimatesFloodFill() {
    if (m_pProject == nullptr) return;
    CWaitCursor wait;
    StatusProgress progress;
    // The second pass lets a kind whose estimate reads another kind's
    // selected ultimates see them filled.
    m_pProject->FloodFillUltimate(&progress);
    m_pProject->FloodFillUltimate(&progress);
    if (Host().refreshNavigator) Host().refreshNavigator();
}

void CProjectDoc::OnRunUltimatesFloodFill() {
    if (m_pProject == nullptr) return;
    BeginStatusProgress(QStringLiteral("Ultimate Flood Fill"));
    OnExecuteUltimatesFloodFill();
    const QString done = QStringLiteral("Ultimate Flood Fill Operation Completed!");
    StepStatusProgress(done);
    AfxMessageBoxIfVisible(done, MB_OK | MB_ICONINFORMATION);
}

// The project document's table math command.
#include "CProjectDoc.h"

#include "CMDIFrameWnd.h"
#include "CObjectView.h"
#include "CTableMath.h"
#include "CWinApp.h"
#include "ProjectHost.h"

using qs::project::Host;

namespace {

constexpr UINT kTableMath = 32867;

// The object and layer of the active window when it shows one of doc's objects.
void ActiveObject(CProjectDoc& doc, QSID& id, unsigned short& layer) {
    id = 0;
    layer = 0;
    CWinApp* app = AfxGetApp();
    auto* main = app ? dynamic_cast<CMDIFrameWnd*>(app->m_pMainWnd) : nullptr;
    auto* view = dynamic_cast<CObjectView*>(main ? main->GetActiveView() : nullptr);
    if (view == nullptr || view->GetDocument() != &doc) return;
    id = view->GetObjectID();
    layer = view->GetLayer();
}

}  // namespace

void MapTableToolCommands(CProjectDoc& doc) {
    doc.MapCommand(kTableMath, [&doc] { doc.OnTableMath(); });
}

void CProjectDoc::OnTableMath() {
    if (m_pProject == nullptr) return;
    QSID id = 0;
    unsigned short layer = 0;
    ActiveObject(*this, id, layer);
    CTableMathPrpSheet sheet;
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    sheet.m_pProject = m_pProject;
    sheet.m_page1.m_lCurrentId = id;
    sheet.m_page1.m_nCurrentLayer = layer;
    const INT_PTR result = sheet.DoModal();
    // A run that changed tables is shown even when the wizard was left by its Close button.
    if ((result != IDCANCEL || sheet.m_bPerformed) && Host().refreshNavigator) Host().refreshNavigator();
}

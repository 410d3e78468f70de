#include "CChildFrame.h"

#include "CDocument.h"
#include "CInfoView.h"
#include "CView.h"

namespace {

CChildFrame::OpenNewObjectFrameFn& ChildFrameOpener() {
    static CChildFrame::OpenNewObjectFrameFn fn;
    return fn;
}

CChildFrame::IsInfoViewFn& ChildFrameInfoTest() {
    static CChildFrame::IsInfoViewFn fn;
    return fn;
}

bool g_childFrameRefitting = false;

}  // namespace

CChildFrame::CChildFrame() {
    MapCommand(ID_WINDOW_NEW_FRAME, [this] { OnWindowNew(); });
    MapCommand(ID_RESIZE_WINDOW, [this] { OnResizeWindow(); });
    MapCommand(ID_CLOSE_ACTIVE_WINDOW, [this] { OnCloseActiveWindow(); });
}

void CChildFrame::SetOpenNewObjectFrame(OpenNewObjectFrameFn fn) { ChildFrameOpener() = std::move(fn); }
void CChildFrame::SetIsInfoView(IsInfoViewFn fn) { ChildFrameInfoTest() = std::move(fn); }
bool CChildFrame::IsRefitInProgress() { return g_childFrameRefitting; }

BOOL CChildFrame::PreCreateWindow(CREATESTRUCT& cs) {
    // The views write their own captions.
    cs.style &= ~DWORD(FWS_ADDTOTITLE);
    return CMDIChildWnd::PreCreateWindow(cs);
}

bool CChildFrame::ActiveViewIsInfoView() const {
    const CView* view = GetActiveView();
    if (!view) return false;
    return ChildFrameInfoTest() ? ChildFrameInfoTest()(view) : dynamic_cast<const CInfoView*>(view) != nullptr;
}

void CChildFrame::OnWindowNew() {
    if (ActiveViewIsInfoView()) return;
    CView* view = GetActiveView();
    CDocument* document = view ? view->GetDocument() : nullptr;
    if (document && ChildFrameOpener()) ChildFrameOpener()(document, nullptr);
}

void CChildFrame::OnResizeWindow() {
    MDIRestore();
    if (ActiveViewIsInfoView()) return;
    CView* view = GetActiveView();
    CDocument* document = view ? view->GetDocument() : nullptr;
    if (!document || !ChildFrameOpener()) return;
    g_childFrameRefitting = true;
    const bool opened = ChildFrameOpener()(document, this);
    g_childFrameRefitting = false;
    if (opened) SendMessage(WM_CLOSE);
}

void CChildFrame::OnCloseActiveWindow() { SendMessage(WM_CLOSE); }

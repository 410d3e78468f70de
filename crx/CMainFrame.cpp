#include "CMainFrame.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include "CrxDialogs.h"
#include "CCrxApp.h"
#include "CCurveGridWnd.h"
#include "CGraphFrame.h"
#include "CGridFrame.h"
#include "CCmdUI.h"
#include "CStatusBar.h"
#include "CToolBar.h"
#include "CrxAbout.h"
#include "CrxMessages.h"
#include "MessageBox.h"
#include "RemoteWindow.h"
#include "SpreadsheetControl.h"

UINT TfRefreshMessage() {
    static const UINT message = RegisterWindowMessage("TF_REFRESH");
    return message;
}
UINT TfGetPrecisionMessage() {
    static const UINT message = RegisterWindowMessage("TF_GET_PRECISION");
    return message;
}

CMainFrame::CMainFrame() {
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    MapMessage(MSG_RECALC, [this](WPARAM, LPARAM) { return OnRecalc(); });
    MapMessage(MSG_GET_CURVE, [](WPARAM, LPARAM) -> LRESULT {
        CCrxApp* app = CrxApp();
        if (!app || !app->m_pGridFrame) return -1;
        return app->m_pGridFrame->SendMessage(MSG_GET_CURVE);
    });
    MapMessage(MSG_REFRESH_GRAPH, [](WPARAM, LPARAM) -> LRESULT {
        if (CCrxApp* app = CrxApp(); app && app->m_pGraphFrame) app->m_pGraphFrame->PostMessage(MSG_REFRESH_GRAPH);
        return 1;
    });
    MapMessage(MSG_GET_PRECISION, [](WPARAM, LPARAM) -> LRESULT { return Precision(); });
    MapMessage(MSG_APPLY, [this](WPARAM, LPARAM) -> LRESULT {
        OnApply();
        return 1;
    });
    MapMessage(MSG_RESET, [this](WPARAM, LPARAM) -> LRESULT {
        OnReset();
        return 1;
    });
    MapMessage(MSG_CANCEL, [this](WPARAM, LPARAM) -> LRESULT {
        OnCancel();
        return 1;
    });
    MapMessage(MSG_START_WATCH, [this](WPARAM, LPARAM) -> LRESULT {
        KillTimer(kWatchTimer);
        SetTimer(kWatchTimer, kWatchPeriodMs);
        return 1;
    });
    MapCommand(ID_CRX_APPLY, [this] { OnApply(); });
    MapCommand(ID_CRX_CANCEL, [this] { OnCancel(); });
    MapCommand(ID_CRX_RESET, [this] { OnReset(); });
    MapCommand(ID_EDIT_COPY, [this] { OnEditCopy(); });
    MapCommand(ID_EDIT_PASTE, [this] { OnEditPaste(); });
    MapUpdateCommand(ID_EDIT_PASTE, [this](CCmdUI* ui) { ui->Enable(CanPaste()); });
    MapCommand(ID_APP_EXIT, [this] { SendMessage(WM_CLOSE); });
    MapCommand(ID_APP_ABOUT, [this] { CrxShowAbout(this); });
    MapCommand(ID_FILE_NEW, [] {});
    MapCommand(ID_VIEW_GRAPH, [] { CrxApp()->OpenGraphFrame(); });
    MapCommand(ID_VIEW_GRID, [] { CrxApp()->OpenGridFrame(); });
}

CMainFrame::~CMainFrame() {
    if (GetSafeHwnd()) KillTimer(kWatchTimer);
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CMDIFrameWnd::OnCreate(lpCreateStruct) == -1) return -1;
    m_toolBar = new CToolBar;
    if (!m_toolBar->CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY) ||
        !m_toolBar->LoadToolBar(IDR_MAINFRAME))
        return -1;
    m_statusBar = new CStatusBar;
    static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
    if (!m_statusBar->Create(this) || !m_statusBar->SetIndicators(indicators, 4)) return -1;
    setWindowTitle(qs::fw::LoadResourceString(IDR_MAINFRAME));
    return 0;
}

int CMainFrame::Precision() {
    CCrxApp* app = CrxApp();
    if (!app || app->CallerWindow().IsNull()) return 0;
    bool ok = false;
    const auto result = qs::automation::SendWindowMessage(app->CallerWindow(), TfGetPrecisionMessage(), 0, 0, &ok);
    // A caller that does not answer sensibly gets the program's own default.
    return ok && result >= 0 && result <= 15 ? int(result) : 0;
}

LRESULT CMainFrame::OnRecalc() {
    CCrxApp* app = CrxApp();
    CTailFactorAnalysis w = app->GetWorking();
    w.Calculate();
    app->SetWorking(w);
    if (app->m_pGridFrame) app->m_pGridFrame->PostMessage(MSG_REFRESH_GRID);
    if (app->m_pGraphFrame) app->m_pGraphFrame->PostMessage(MSG_REFRESH_GRAPH);
    return 1;
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != kWatchTimer) return CMDIFrameWnd::OnTimer(nIDEvent);
    CCrxApp* app = CrxApp();
    if (app->IsCallerAlive()) return;
    // The caller is gone: nobody will read an Apply, so the program ends
    // without asking.
    KillTimer(kWatchTimer);
    hide();
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // The window system's close box does nothing: the user leaves through
    // Apply or Cancel, so an analysis is never dropped by accident.
    if (event->spontaneous() && !m_closing) {
        event->ignore();
        return;
    }
    CMDIFrameWnd::closeEvent(event);
}

void CMainFrame::OnClose() {
    if (m_closing) return;
    OnApply();
}

void CMainFrame::OnMDIDestroy(CMDIChildWnd*) {}

void CMainFrame::OnApply() {
    CApplyDlg dialog(this);
    if (dialog.DoModal() != IDOK) return;
    CCrxApp* app = CrxApp();
    CTailFactorAnalysis w = app->GetWorking();
    for (int c = 0; c < kCurveCount; ++c) w.EnableCurve(c, dialog.m_curves[c]);
    app->SetSaved(w);
    if (!app->CallerWindow().IsNull()) qs::automation::PostWindowMessage(app->CallerWindow(), TfRefreshMessage(), 1, 0);
    CloseWithoutApply();
}

void CMainFrame::OnCancel() {
    CCrxApp* app = CrxApp();
    if (app->CallerWindow().IsNull()) return;
    if (AfxMessageBox(QStringLiteral("Are you sure you want to exit Duvi Rozire Vididaze without saving your changes?"),
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    qs::automation::PostWindowMessage(app->CallerWindow(), TfRefreshMessage(), 2, 0);
    CloseWithoutApply();
}

void CMainFrame::CloseWithoutApply() {
    CCrxApp* app = CrxApp();
    hide();
    // Nobody holds the program (started by hand, or the caller is gone): it ends.
    if (app->CallerWindow().IsNull() || !app->IsCallerAlive())
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

CTailFactorAnalysis CMainFrame::ResetCurve(int c) const {
    CCrxApp* app = CrxApp();
    const CTailFactorAnalysis s = app->GetSaved();
    CTailFactorAnalysis w = app->GetWorking();
    w.SetConstant(c, s.GetConstant(c));
    w.SetCutoff(c, s.GetCutoff(c));
    for (int i = 0; i < s.GetNumPoints(); ++i) {
        w.SetValue(c, true, i, s.GetValue(c, true, i));
        w.SetValue(c, false, i, s.GetValue(c, false, i));
        w.SetExclude(c, i, s.GetExclude(c, i));
    }
    return w;
}

void CMainFrame::OnReset() {
    CCrxApp* app = CrxApp();
    if (!app->m_pGridFrame) return;
    const LRESULT curve = SendMessage(MSG_GET_CURVE);
    if (curve < 0 || curve >= kCurveCount) return;
    app->SetWorking(ResetCurve(int(curve)));
    PostMessage(MSG_RECALC);
}

void CMainFrame::OnEditCopy() {
    CCrxApp* app = CrxApp();
    if (!app->m_pGridFrame || !app->m_pGridFrame->Grid()) return;
    app->m_pGridFrame->Grid()->Control()->EditCopy();
}

bool CMainFrame::CanPaste() const {
    CCrxApp* app = CrxApp();
    if (!app || !app->m_pGridFrame || !app->m_pGridFrame->Grid()) return false;
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (app->m_pGridFrame->Grid()->Control()->GetSelection(0, r1, c1, r2, c2) != 0) return false;
    return c1 == 3 || c2 == 4;
}

void CMainFrame::OnEditPaste() {
    CCrxApp* app = CrxApp();
    if (!CanPaste()) return;
    CCurveGridWnd* grid = app->m_pGridFrame->Grid();
    grid->Control()->EditPaste();
    const LRESULT curve = SendMessage(MSG_GET_CURVE);
    if (curve < 0 || curve >= kCurveCount) return;
    app->SetWorking(grid->ReadPasted(app->GetWorking(), int(curve)));
    PostMessage(MSG_RECALC);
}

void CMainFrame::TileVertically() {
    QMdiArea* area = GetMDIClient();
    const auto windows = area->subWindowList();
    if (windows.isEmpty()) return;
    // Side by side, each the full height, in the order they were opened.
    const int width = area->viewport()->width() / int(windows.size());
    int x = 0;
    for (QMdiSubWindow* w : windows) {
        w->showNormal();
        w->setGeometry(x, 0, width, area->viewport()->height());
        x += width;
    }
}

void CMainFrame::BringForward() {
    if (!isVisible()) showMaximized();
    raise();
    activateWindow();
    SetFocus();
}

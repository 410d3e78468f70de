#include "CFrameWnd.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "CDocTemplate.h"
#include "CDocument.h"
#include "CStatusBar.h"
#include "CToolBar.h"
#include "CView.h"
#include "CWinApp.h"

namespace {

// The prompt part of a command's string ("prompt\ntip").
QString CommandPrompt(UINT id) {
    const QString text = qs::fw::LoadResourceString(id);
    return text.section(u'\n', 0, 0);
}

// Applies what an update handler asked for to an action.
void ApplyToAction(const CCmdUI& ui, QAction* action) {
    if (ui.m_bEnableChanged) action->setEnabled(ui.m_enabled);
    if (ui.m_check) {
        action->setCheckable(true);
        action->setChecked(*ui.m_check != 0);
    }
    if (ui.m_text) action->setText(*ui.m_text);
}

}  // namespace

CFrameWnd::CFrameWnd(QWidget* parent) : QMainWindow(parent) {
    AttachWidget(this);
    SetAutoDelete(true);
}

CFrameWnd::~CFrameWnd() {
    for (const QPointer<QMenu>& old : m_retiredMenus)
        if (old) old->deleteLater();
    DetachWidget();
    for (CView* view : GetViews())
        if (view->GetDocument() != nullptr) view->GetDocument()->RemoveView(view);
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
    m_nIDHelp = nIDResource;
    CREATESTRUCT cs;
    cs.lpCreateParams = pContext;
    cs.hwndParent = pParentWnd;
    cs.style = dwDefaultStyle;
    cs.nIDResource = nIDResource;
    const QString docString = qs::fw::LoadResourceString(nIDResource);
    cs.lpszName = docString.section(u'\n', 0, 0);
    if (!PreCreateWindow(cs)) return FALSE;
    m_dwStyle = cs.style;
    if (!cs.lpszName.isEmpty()) setWindowTitle(cs.lpszName);
    if (OnCreate(&cs) == -1) return FALSE;
    LoadMenu(nIDResource);
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    return OnCreateClient(lpCreateStruct, lpCreateStruct ? lpCreateStruct->lpCreateParams : nullptr) ? 0 : -1;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) {
    if (pContext != nullptr && pContext->m_pNewViewClass != nullptr) return CreateView(pContext) != nullptr;
    return TRUE;
}

CView* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID) {
    if (pContext == nullptr || pContext->m_pNewViewClass == nullptr) return nullptr;
    CObject* object = pContext->m_pNewViewClass->CreateObject();
    auto* view = dynamic_cast<CView*>(object);
    if (view == nullptr) {
        delete object;
        return nullptr;
    }
    SetControlId(view, int(nID));
    setCentralWidget(view);
    if (pContext->m_pCurrentDoc != nullptr) pContext->m_pCurrentDoc->AddView(view);
    return view;
}

std::vector<CView*> CFrameWnd::GetViews() const {
    std::vector<CView*> views;
    for (QWidget* child : findChildren<QWidget*>())
        if (auto* view = dynamic_cast<CView*>(child))
            if (view->GetParentFrame() == this) views.push_back(view);
    return views;
}

CView* CFrameWnd::GetActiveView() const { return m_pViewActive.data(); }

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify) {
    CView* old = m_pViewActive.data();
    if (old == pViewNew) return;
    m_pViewActive = pViewNew;
    if (!bNotify) return;
    if (old != nullptr) old->OnActivateView(FALSE, pViewNew, old);
    if (pViewNew != nullptr) {
        pViewNew->OnActivateView(TRUE, pViewNew, old);
        pViewNew->setFocus();
    }
}

CDocument* CFrameWnd::GetActiveDocument() {
    CView* view = GetActiveView();
    return view ? view->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL bMakeVisible) {
    if (GetActiveView() == nullptr) {
        const std::vector<CView*> views = GetViews();
        if (!views.empty()) SetActiveView(views.front(), FALSE);
    }
    for (CView* view : GetViews()) view->SendMessage(WM_INITIALUPDATE);
    if (bMakeVisible) ActivateFrame();
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::ActivateFrame(int nCmdShow) {
    if (nCmdShow == -1) nCmdShow = (m_dwStyle & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW;
    ShowWindow(nCmdShow);
    if (nCmdShow != SW_HIDE) {
        raise();
        activateWindow();
    }
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
    if (!(m_dwStyle & FWS_ADDTOTITLE) || !bAddToTitle) return;
    CDocument* doc = GetActiveDocument();
    const QString base = qs::fw::LoadResourceString(m_nIDHelp).section(u'\n', 0, 0);
    if (doc == nullptr) {
        if (!base.isEmpty()) setWindowTitle(base);
    } else if (base.isEmpty()) {
        setWindowTitle(doc->GetTitle());
    } else {
        setWindowTitle(doc->GetTitle() + QStringLiteral(" - ") + base);
    }
}

void CFrameWnd::OnIdleUpdateCmdUI() {
    for (CToolBar* bar : m_toolBars) bar->UpdateButtons(this, m_bAutoMenuEnable);
    if (m_pStatusBar != nullptr) m_pStatusBar->UpdatePanes(this);
    // A menu's shortcuts work only while its actions are enabled: keep them
    // as the command route says, not as the menu was when last opened.
    if (m_nMenuShown != 0)
        for (QMenu* menu : menuBar()->findChildren<QMenu*>()) UpdateMenuItems(menu);
}

void CFrameWnd::UpdateMenuItems(QMenu* menu) {
    if (menu == nullptr) return;
    int index = 0;
    for (QAction* action : menu->actions()) {
        const UINT id = action->data().toUInt();
        if (action->isSeparator() || action->menu() != nullptr || id == 0) {
            ++index;
            continue;
        }
        CCmdUI ui;
        ui.m_nID = id;
        ui.m_nIndex = UINT(index++);
        ui.m_pOther = menu;
        ui.DoUpdate(this, m_bAutoMenuEnable);
        if (!ui.m_bEnableChanged && m_bAutoMenuEnable) action->setEnabled(true);
        ApplyToAction(ui, action);
        // Recent-file entries show only for the files there are.
        if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_FILE16) action->setVisible(action->isEnabled());
    }
}

QAction* CFrameWnd::FindMenuAction(UINT nID) const {
    for (QAction* action : menuBar()->findChildren<QAction*>())
        if (action->data().toUInt() == nID && action->menu() == nullptr && !action->isSeparator()) return action;
    return nullptr;
}

void CFrameWnd::LoadMenu(UINT nIDResource) {
    const std::vector<qs::fw::MenuItem>* popups = qs::fw::FindMenu(nIDResource);
    if (popups == nullptr) return;
    menuBar()->clear();
    // The popups of the menu shown before go with it. While a command chosen
    // in one of them runs, the popup's own code is still on the stack, and
    // what the command does (a busy window pumping messages, a window coming
    // forward) may load the menu: those popups wait for the command's end.
    for (QMenu* old : menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
        if (m_nMenuCommandDepth == 0) {
            delete old;
            continue;
        }
        old->setParent(nullptr);
        m_retiredMenus.emplace_back(old);
    }
    m_nMenuShown = nIDResource;
    int index = 0;
    for (const qs::fw::MenuItem& popup : *popups) {
        QMenu* menu = menuBar()->addMenu(popup.text);
        const int position = index++;
        QObject::connect(menu, &QMenu::aboutToShow, menu, [this, menu, position] {
            SendMessage(WM_INITMENUPOPUP, 0, LPARAM(position));
            UpdateMenuItems(menu);
        });
        QObject::connect(menu, &QMenu::aboutToHide, menu, [this] {
            SendMessage(WM_MENUSELECT, MAKELONG(0, 0xFFFF), 0);
        });
        AddMenuActions(menu, popup.items);
    }
}

void CFrameWnd::AddMenuActions(QMenu* menu, const std::vector<qs::fw::MenuItem>& items) {
    for (const qs::fw::MenuItem& item : items) {
        if (item.separator) {
            menu->addSeparator();
            continue;
        }
        const QString label = item.text.section(u'\t', 0, 0);
        const QString shortcut = item.text.section(u'\t', 1);
        if (!item.items.empty()) {
            QMenu* sub = menu->addMenu(label);
            QObject::connect(sub, &QMenu::aboutToShow, sub, [this, sub] { UpdateMenuItems(sub); });
            AddMenuActions(sub, item.items);
            continue;
        }
        QAction* action = menu->addAction(label);
        action->setData(item.id);
        if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
        const UINT id = item.id;
        QObject::connect(action, &QAction::triggered, menu, [this, id] {
            // A shortcut runs the command only when its update handler allows
            // it now, as a menu pick would.
            CCmdUI ui;
            ui.m_nID = id;
            ui.DoUpdate(this, m_bAutoMenuEnable);
            if (ui.m_bEnableChanged && !ui.m_enabled) return;
            const QPointer<QMainWindow> alive(this);
            ++m_nMenuCommandDepth;
            SendMessage(WM_COMMAND, id, 0);
            if (alive.isNull()) return;
            if (--m_nMenuCommandDepth == 0) {
                // The popup that ran the command returns through its own code
                // after this: popups it retired go once that is done.
                for (const QPointer<QMenu>& old : m_retiredMenus)
                    if (old) old->deleteLater();
                m_retiredMenus.clear();
            }
        });
        QObject::connect(action, &QAction::hovered, menu, [this, id, menu] {
            SendMessage(WM_MENUSELECT, MAKELONG(WORD(id), 0), LPARAM(reinterpret_cast<std::intptr_t>(menu)));
            SetMessageText(id);
        });
    }
}

void CFrameWnd::AddControlBar(CToolBar* bar) {
    if (bar != nullptr && std::find(m_toolBars.begin(), m_toolBars.end(), bar) == m_toolBars.end())
        m_toolBars.push_back(bar);
}

void CFrameWnd::SetStatusBar(CStatusBar* bar) { m_pStatusBar = bar; }

void CFrameWnd::SetMessageText(const QString& text) {
    if (m_pStatusBar != nullptr) m_pStatusBar->SetPaneText(0, text);
}

void CFrameWnd::SetMessageText(UINT nID) { SetMessageText(CommandPrompt(nID)); }

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CView* view = GetActiveView())
        if (view->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    if (DispatchOwnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

LRESULT CFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_IDLEUPDATECMDUI) {
        OnIdleUpdateCmdUI();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CFrameWnd::OnClose() {
    CDocument* doc = GetActiveDocument();
    if (doc != nullptr && !doc->CanCloseFrame(this)) return;
    CWinApp* app = AfxGetApp();
    const bool mainWindow = app != nullptr && app->m_pMainWnd == this;
    if (mainWindow) {
        if (!app->SaveAllModified()) return;
        app->CloseAllDocuments(FALSE);
        DestroyWindow();
        app->m_pMainWnd = nullptr;
        QCoreApplication::quit();
        return;
    }
    CloseFrame();
}

void CFrameWnd::CloseFrame() {
    CDocument* doc = GetActiveDocument();
    if (doc != nullptr && doc->m_bAutoDelete) {
        bool otherFrame = false;
        for (CView* view : doc->Views())
            otherFrame |= view->GetParentFrame() != this;
        doc->PreCloseFrame(this);
        if (!otherFrame) {
            doc->OnCloseDocument();
            return;
        }
    }
    DestroyWindow();
}

BOOL CFrameWnd::DestroyWindow() {
    if (GetSafeHwnd() == nullptr) return FALSE;
    // The views leave their documents now, not when the widgets are deleted,
    // so the documents' view lists are right as soon as this returns.
    for (CView* view : GetViews()) {
        if (view->GetDocument() != nullptr) view->GetDocument()->RemoveView(view);
    }
    return CWnd::DestroyWindow();
}

void CFrameWnd::closeEvent(QCloseEvent* event) {
    // The window system's close goes through WM_CLOSE like every other close.
    event->ignore();
    if (m_inClose) return;
    m_inClose = true;
    SendMessage(WM_CLOSE);
    m_inClose = false;
}

#include "CDocument.h"

#include <QFileInfo>

#include "CCmdUI.h"
#include "CDocTemplate.h"
#include "CFrameWnd.h"
#include "CView.h"
#include "CWinApp.h"
#include "CommandIds.h"
#include "MessageBox.h"
#include "WaitCursor.h"

CDocument::CDocument() {
    MapCommand(ID_FILE_CLOSE, [this] { OnFileClose(); });
    MapCommand(ID_FILE_SAVE, [this] { OnFileSave(); });
    MapCommand(ID_FILE_SAVE_AS, [this] { OnFileSaveAs(); });
    // Send Mail hands the document to the system's mail program; there is no
    // mail transport on this platform, so the command stays disabled, and a
    // caller that runs it anyway is told why.
    MapCommand(ID_FILE_SEND_MAIL, [] { AfxMessageBox(QStringLiteral("Unable to load mail system support.")); });
    MapUpdateCommand(ID_FILE_SEND_MAIL, [](CCmdUI* ui) { ui->Enable(FALSE); });
}

CDocument::~CDocument() {
    for (CView* view : m_views) view->m_pDocument = nullptr;
    if (m_pDocTemplate != nullptr) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::AddView(CView* pView) {
    if (pView == nullptr || pView->m_pDocument == this) return;
    if (pView->m_pDocument != nullptr) pView->m_pDocument->RemoveView(pView);
    m_views.push_back(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView) {
    auto found = std::find(m_views.begin(), m_views.end(), pView);
    if (found == m_views.end()) return;
    m_views.erase(found);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::OnChangedViewList() {
    // A document whose last view went away has nothing left to show it.
    if (m_views.empty() && m_bAutoDelete) OnCloseDocument();
}

POSITION CDocument::GetFirstViewPosition() const {
    return m_views.empty() ? nullptr : reinterpret_cast<POSITION>(std::uintptr_t(1));
}

CView* CDocument::GetNextView(POSITION& rPosition) const {
    const std::size_t index = reinterpret_cast<std::uintptr_t>(rPosition) - 1;
    CView* view = index < m_views.size() ? m_views[index] : nullptr;
    rPosition = index + 1 < m_views.size() ? reinterpret_cast<POSITION>(std::uintptr_t(index + 2)) : nullptr;
    return view;
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint) {
    // A view may close during an update; walk a copy and skip the departed.
    const std::vector<CView*> views = m_views;
    for (CView* view : views) {
        if (view == pSender) continue;
        if (std::find(m_views.begin(), m_views.end(), view) == m_views.end()) continue;
        view->OnUpdate(pSender, lHint, pHint);
    }
}

void CDocument::SetTitle(const QString& title) {
    m_strTitle = title;
    for (CView* view : m_views)
        if (CFrameWnd* frame = view->GetParentFrame()) frame->OnUpdateFrameTitle(TRUE);
}

void CDocument::SetPathName(const QString& path, BOOL bAddToMRU) {
    m_strPathName = path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
    SetTitle(QFileInfo(path).fileName());
    if (bAddToMRU && !path.isEmpty() && AfxGetApp() != nullptr) AfxGetApp()->AddToRecentFileList(m_strPathName);
}

BOOL CDocument::IsModified() { return m_bModified; }
void CDocument::SetModifiedFlag(BOOL bModified) { m_bModified = bModified ? TRUE : FALSE; }

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.clear();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(const QString&) {
    DeleteContents();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(const QString&) {
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument() {
    // Keep this object alive while its frames go; the views leave the list
    // as their frames are destroyed.
    const BOOL autoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (!m_views.empty()) {
        CView* view = m_views.front();
        CFrameWnd* frame = view->GetParentFrame();
        if (frame != nullptr && frame->GetSafeHwnd() != nullptr) {
            frame->DestroyWindow();
        }
        // A view without a live frame (or one the frame kept) leaves the list here.
        if (!m_views.empty() && m_views.front() == view) RemoveView(view);
    }
    DeleteContents();
    m_bAutoDelete = autoDelete;
    if (m_bAutoDelete) delete this;
}

BOOL CDocument::SaveModified() {
    if (!IsModified()) return TRUE;
    QString name = m_strTitle.isEmpty() ? QStringLiteral("Untitled") : m_strTitle;
    switch (AfxMessageBox(QStringLiteral("Save changes to %1?").arg(name), MB_YESNOCANCEL)) {
    case IDCANCEL: return FALSE;
    case IDYES: return DoFileSave();
    default: return TRUE;
    }
}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrame) {
    for (CView* view : m_views) {
        CFrameWnd* frame = view->GetParentFrame();
        if (frame != nullptr && frame != pFrame) return TRUE;  // another frame stays open
    }
    return SaveModified();
}

BOOL CDocument::DoSave(const QString& path, BOOL bReplace) {
    QString target = path;
    if (target.isEmpty()) {
        target = m_strPathName.isEmpty() ? m_strTitle : m_strPathName;
        CWinApp* app = AfxGetApp();
        if (app == nullptr || !app->DoPromptFileName(target, QStringLiteral("Save As"), FALSE, m_pDocTemplate))
            return FALSE;
    }
    CWaitCursor wait;
    if (!OnSaveDocument(target)) return FALSE;
    if (bReplace) SetPathName(target);
    return TRUE;
}

BOOL CDocument::DoFileSave() {
    if (m_strPathName.isEmpty() || (QFileInfo::exists(m_strPathName) && !QFileInfo(m_strPathName).isWritable()))
        return DoSave(QString());
    return DoSave(m_strPathName);
}

void CDocument::OnFileClose() {
    if (!SaveModified()) return;
    OnCloseDocument();
}

void CDocument::OnFileSave() { DoFileSave(); }
void CDocument::OnFileSaveAs() { DoSave(QString()); }

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (DispatchOwnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return m_pDocTemplate != nullptr && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

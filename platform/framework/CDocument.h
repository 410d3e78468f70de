#pragma once
// A document: the data behind one or more views. It knows its views, its
// path and title, whether it changed, and how it is created, opened, saved
// and closed; the document template that made it keeps it in its list.
#include <QString>

#include <vector>

#include "CCmdTarget.h"

class CView;
class CFrameWnd;
class CDocTemplate;

class CDocument : public CCmdTarget {
public:
    CDocument();
    ~CDocument() override;

    // Views, in the order they were added.
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    POSITION GetFirstViewPosition() const;
    CView* GetNextView(POSITION& rPosition) const;
    const std::vector<CView*>& Views() const { return m_views; }
    // OnUpdate(pSender, lHint, pHint) on every view but the sender, in order.
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);
    virtual void OnChangedViewList();

    const QString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const QString& title);
    const QString& GetPathName() const { return m_strPathName; }
    // Sets the path and takes its file name as the title; with bAddToMRU the
    // application's recent-file list gets it.
    virtual void SetPathName(const QString& path, BOOL bAddToMRU = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified();
    virtual void SetModifiedFlag(BOOL bModified = TRUE);

    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(const QString& path);
    virtual BOOL OnSaveDocument(const QString& path);
    // Closes every frame showing this document, then deletes it (when it
    // deletes itself, m_bAutoDelete).
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}
    virtual void OnIdle() {}

    // FALSE when the user cancelled. Asks "Save changes to <title>?" (Yes,
    // No, Cancel) for a modified document.
    virtual BOOL SaveModified();
    // A frame may close when another frame still shows the document or when
    // the document may be closed (SaveModified).
    virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
    virtual void PreCloseFrame(CFrameWnd*) {}
    // Save to path (empty: ask for a name first). FALSE on failure or cancel.
    virtual BOOL DoSave(const QString& path, BOOL bReplace = TRUE);
    virtual BOOL DoFileSave();

    // ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS.
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    BOOL m_bAutoDelete = TRUE;
    BOOL m_bEmbedded = FALSE;

protected:
    friend class CDocTemplate;
    QString m_strTitle;
    QString m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    BOOL m_bModified = FALSE;
    std::vector<CView*> m_views;
};

#pragma once
// A document template joins a document class, a frame class and a view
// class under one resource id, makes documents with their frames and views,
// and keeps the list of its open documents.
#include <QString>

#include <cstddef>
#include <vector>

#include "CCmdTarget.h"

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget {
public:
    enum DocStringIndex {
        windowTitle,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName,
    };

    CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                 const CRuntimeClass* pViewClass);
    ~CDocTemplate() override;

    UINT GetResourceId() const { return m_nIDResource; }
    const CRuntimeClass* GetDocClass() const { return m_pDocClass; }
    const CRuntimeClass* GetFrameClass() const { return m_pFrameClass; }
    const CRuntimeClass* GetViewClass() const { return m_pViewClass; }

    // The "\n"-separated document strings (window title, doc name, file-new
    // name, filter name, filter extension, file type id, file type name);
    // taken from the string resource of the template's id unless set here.
    void SetDocStrings(const QString& strings) { m_strDocStrings = strings; }
    BOOL GetDocString(QString& rString, DocStringIndex index) const;

    virtual POSITION GetFirstDocPosition() const;
    virtual CDocument* GetNextDoc(POSITION& rPos) const;
    const std::vector<CDocument*>& Documents() const { return m_docList; }
    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);

    CDocument* CreateNewDocument();
    // A frame (with the template's view) for pDoc; null on failure.
    CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);

    // A path: a new document of the template is opened from it. No path
    // (null or empty): a new empty document. Null on failure (the document's
    // own open or new step reported why).
    virtual CDocument* OpenDocumentFile(const QString& path, BOOL bMakeVisible = TRUE);
    CDocument* OpenDocumentFile(std::nullptr_t, BOOL bMakeVisible = TRUE) {
        return OpenDocumentFile(QString(), bMakeVisible);
    }
    virtual void SetDefaultTitle(CDocument* pDocument);

    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);

protected:
    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
    QString m_strDocStrings;
    std::vector<CDocument*> m_docList;
    unsigned m_nUntitledCount = 0;
};

// Several documents at once, each in its own MDI child frame.
class CMultiDocTemplate : public CDocTemplate {
public:
    using CDocTemplate::CDocTemplate;
};

// One document at a time.
class CSingleDocTemplate : public CDocTemplate {
public:
    using CDocTemplate::CDocTemplate;
    void AddDocument(CDocument* pDoc) override;
};

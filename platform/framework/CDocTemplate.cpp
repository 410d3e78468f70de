#include "CDocTemplate.h"

#include <QFileInfo>

#include "CDocument.h"
#include "CFrameWnd.h"
#include "CWinApp.h"
#include "Resources.h"
#include "WaitCursor.h"

CDocTemplate::CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                           const CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass) {}

CDocTemplate::~CDocTemplate() {
    // Documents still open go with their template.
    while (!m_docList.empty()) {
        CDocument* doc = m_docList.back();
        m_docList.pop_back();
        doc->m_pDocTemplate = nullptr;
        doc->m_bAutoDelete = FALSE;
        doc->OnCloseDocument();
        delete doc;
    }
}

BOOL CDocTemplate::GetDocString(QString& rString, DocStringIndex index) const {
    const QString strings = m_strDocStrings.isNull() ? qs::fw::LoadResourceString(m_nIDResource) : m_strDocStrings;
    rString = strings.section(u'\n', int(index), int(index));
    return !rString.isEmpty();
}

POSITION CDocTemplate::GetFirstDocPosition() const {
    return m_docList.empty() ? nullptr : reinterpret_cast<POSITION>(std::uintptr_t(1));
}

CDocument* CDocTemplate::GetNextDoc(POSITION& rPos) const {
    const std::size_t index = reinterpret_cast<std::uintptr_t>(rPos) - 1;
    CDocument* doc = index < m_docList.size() ? m_docList[index] : nullptr;
    rPos = index + 1 < m_docList.size() ? reinterpret_cast<POSITION>(std::uintptr_t(index + 2)) : nullptr;
    return doc;
}

void CDocTemplate::AddDocument(CDocument* pDoc) {
    if (pDoc == nullptr || pDoc->m_pDocTemplate == this) return;
    m_docList.push_back(pDoc);
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc) {
    auto found = std::find(m_docList.begin(), m_docList.end(), pDoc);
    if (found == m_docList.end()) return;
    m_docList.erase(found);
    pDoc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument() {
    if (m_pDocClass == nullptr) return nullptr;
    CObject* object = m_pDocClass->CreateObject();
    auto* doc = dynamic_cast<CDocument*>(object);
    if (doc == nullptr) {
        delete object;
        return nullptr;
    }
    AddDocument(doc);
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther) {
    if (m_pFrameClass == nullptr) return nullptr;
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CObject* object = m_pFrameClass->CreateObject();
    auto* frame = dynamic_cast<CFrameWnd*>(object);
    if (frame == nullptr) {
        delete object;
        return nullptr;
    }
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) {
        // Views the frame made must not stay in the document.
        for (CView* view : frame->GetViews())
            if (pDoc != nullptr) pDoc->RemoveView(view);
        delete frame;
        return nullptr;
    }
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible) {
    if (pFrame != nullptr) pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

void CDocTemplate::SetDefaultTitle(CDocument* pDocument) {
    QString name;
    if (!GetDocString(name, docName) || name.isEmpty()) name = QStringLiteral("Untitled");
    pDocument->SetTitle(name + QString::number(++m_nUntitledCount));
}

CDocument* CDocTemplate::OpenDocumentFile(const QString& path, BOOL bMakeVisible) {
    CDocument* doc = CreateNewDocument();
    if (doc == nullptr) return nullptr;
    // Until a frame holds a view, the document must not close itself.
    const BOOL autoDelete = doc->m_bAutoDelete;
    doc->m_bAutoDelete = FALSE;
    CFrameWnd* frame = CreateNewFrame(doc, nullptr);
    doc->m_bAutoDelete = autoDelete;
    if (frame == nullptr) {
        delete doc;
        return nullptr;
    }
    if (path.isEmpty()) {
        SetDefaultTitle(doc);
        if (!doc->OnNewDocument()) {
            frame->DestroyWindow();  // takes the document with it
            return nullptr;
        }
    } else {
        CWaitCursor wait;
        if (!doc->OnOpenDocument(path)) {
            frame->DestroyWindow();
            return nullptr;
        }
        doc->SetPathName(path);
    }
    InitialUpdateFrame(frame, doc, bMakeVisible);
    return doc;
}

BOOL CDocTemplate::SaveAllModified() {
    const std::vector<CDocument*> docs = m_docList;
    for (CDocument* doc : docs)
        if (!doc->SaveModified()) return FALSE;
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL) {
    while (!m_docList.empty()) {
        CDocument* doc = m_docList.front();
        const std::size_t before = m_docList.size();
        doc->OnCloseDocument();
        // A document that does not delete itself is still closed for us.
        if (m_docList.size() == before && m_docList.front() == doc) RemoveDocument(doc);
    }
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc) {
    if (!m_docList.empty() && m_docList.front() != pDoc) return;
    CDocTemplate::AddDocument(pDoc);
}

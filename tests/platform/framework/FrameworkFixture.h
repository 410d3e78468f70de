#pragma once
// A small program on the framework: an application, an MDI main frame and a
// document template with a recording document and view.
#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CDocTemplate.h"
#include "CDocument.h"
#include "CMDIChildWnd.h"
#include "CMDIFrameWnd.h"
#include "CView.h"
#include "CWinApp.h"
#include "MessageBox.h"
#include "Resources.h"

namespace fwtest {

// Everything that happened, in order, across documents and views.
inline std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

class TestDoc : public CDocument {
public:
    static inline bool s_failOpen = false;
    static inline bool s_failSave = false;
    static inline int s_alive = 0;
    TestDoc() { ++s_alive; }
    ~TestDoc() override { --s_alive; Log().push_back("doc deleted"); }
    BOOL OnNewDocument() override {
        Log().push_back("new");
        return CDocument::OnNewDocument();
    }
    BOOL OnOpenDocument(const QString& path) override {
        Log().push_back("open " + path.toStdString());
        return s_failOpen ? FALSE : CDocument::OnOpenDocument(path);
    }
    BOOL OnSaveDocument(const QString& path) override {
        Log().push_back("save " + path.toStdString());
        return s_failSave ? FALSE : CDocument::OnSaveDocument(path);
    }
};

class TestView : public CView {
public:
    int m_initialUpdates = 0;
    std::vector<LPARAM> m_hints;
    void OnInitialUpdate() override {
        ++m_initialUpdates;
        CView::OnInitialUpdate();
    }
    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override {
        m_hints.push_back(hint);
        CView::OnUpdate(sender, hint, hintObject);
    }
};

class TestChildFrame : public CMDIChildWnd {};

inline void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// An application with its main frame and one template of TestDoc.
struct TestProgram {
    CWinApp app{"Quillstone"};
    CMDIFrameWnd* main = nullptr;
    CMultiDocTemplate* tpl = nullptr;

    TestProgram() {
        Log().clear();
        TestDoc::s_failOpen = TestDoc::s_failSave = false;
        qs::fw::RegisterString(129, "\nTable\nTable\nTables (*.tbl)\n.tbl\nQuillstone.Table\nTable");
        main = new CMDIFrameWnd();
        EXPECT_TRUE(main->LoadFrame(128));
        app.m_pMainWnd = main;
        tpl = new CMultiDocTemplate(129, RUNTIME_CLASS(TestDoc), RUNTIME_CLASS(TestChildFrame), RUNTIME_CLASS(TestView));
        app.AddDocTemplate(tpl);
    }
    ~TestProgram() {
        app.CloseAllDocuments(TRUE);
        if (app.m_pMainWnd) app.m_pMainWnd->DestroyWindow();
        FlushDeletes();
        qs::fw::ClearResources();
    }
    static TestView* FirstView(CDocument* doc) {
        return doc && !doc->Views().empty() ? dynamic_cast<TestView*>(doc->Views().front()) : nullptr;
    }
};

}  // namespace fwtest

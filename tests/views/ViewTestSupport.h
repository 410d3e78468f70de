#pragma once
// A small project document for the view tests: it owns a CProject and
// records what the views ask of it.
#include <gtest/gtest.h>

#include <QString>

#include <memory>
#include <utility>
#include <vector>

#include "CDocument.h"
#include "CProject.h"
#include "IObjectViewDocument.h"

namespace qs::test {

class TestProjectDoc : public CDocument, public IObjectViewDocument {
public:
    // An annual project of numExp exposure years and numDev ages; Gross and
    // Assumed are calculated layers.
    explicit TestProjectDoc(std::uint16_t numExp = 5, std::uint16_t numDev = 5);

    CProject* GetProject() const override { return m_project.get(); }
    QSID GetPendingObjectID() const override { return m_pendingId; }
    unsigned short GetPendingLayer() const override { return m_pendingLayer; }
    QString GetDocumentTitle() const override { return QStringLiteral("Test.qsp"); }
    int OpenObjectWindow(QSID id, unsigned short layer, int, int, int) override {
        opened.emplace_back(id, layer);
        return 1;
    }

    void SetPending(QSID id, unsigned short layer) {
        m_pendingId = id;
        m_pendingLayer = layer;
    }
    // Opens a view of id in layer (creation and initial update, as the
    // document's opener does); null when creation fails.
    template <typename View>
    std::unique_ptr<View> Open(QSID id, unsigned short layer) {
        SetPending(id, layer);
        auto view = std::make_unique<View>();
        view->SetAutoDelete(false);
        AddView(view.get());
        view->resize(600, 400);
        view->show();  // in-cell editing needs a shown grid
        if (view->OnCreate() != 0) return nullptr;
        view->OnInitialUpdate();
        return view;
    }

    std::vector<std::pair<QSID, unsigned short>> opened;

private:
    std::unique_ptr<CProject> m_project;
    QSID m_pendingId = 0;
    unsigned short m_pendingLayer = 1;
};

constexpr QSID kPaidLoss = 101000001;

// The base of every view test. Views read process-wide state (the
// workstation's view settings, the exhibit dialogs' host hooks and the
// defaults files' commit hook, the calendar switch, the refresh flag), so
// each test starts and ends with all of it at its defaults and no test leans
// on what an earlier one left behind.
class ViewTest : public ::testing::Test {
protected:
    void SetUp() override { ResetViewGlobals(); }
    void TearDown() override { ResetViewGlobals(); }
    // Tables open as stored: no cumulative/incremental toggle on first open.
    static void OpenTablesAsStored();
    static void ResetViewGlobals();
};

// The text of a PDF file as pdftotext gives it (pages end with a form feed);
// empty when the file cannot be read.
QString PdfText(const QString& path);
// Pages of a PDF file (pdfinfo); -1 when it cannot be read.
int PdfPages(const QString& path);

}  // namespace qs::test

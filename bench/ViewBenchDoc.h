#pragma once
// What the view benchmarks share: the application object, a stop with a
// message, and a project document that owns one kernel project and opens a
// view of its pending object as the document's opener does (creation, then
// the initial update), at a size that shows a screenful.
#include <QString>

#include <cstdint>
#include <memory>

#include "CDocument.h"
#include "CProject.h"
#include "IObjectViewDocument.h"

namespace qs::bench {

// The QApplication of the benchmark program, offscreen unless the caller
// chose a platform; made once.
void EnsureApp();

// Ends the program with "<program>: what" on stderr: a benchmark whose input
// is not what it claims measures nothing.
[[noreturn]] void Fail(const char* what);

class ViewBenchDoc : public CDocument, public IObjectViewDocument {
public:
    // A project of size exposure periods by size development periods of the
    // given length, from firstYear, its first age firstAge; Gross and Assumed
    // are calculated layers. The process-wide view settings are put back to
    // their defaults first.
    ViewBenchDoc(std::uint16_t size, PRDLENGTH length, std::uint16_t firstYear, std::uint16_t firstAge,
                 QSID pendingId);

    CProject* GetProject() const override { return m_project.get(); }
    QSID GetPendingObjectID() const override { return m_pendingId; }
    unsigned short GetPendingLayer() const override { return NET; }
    QString GetDocumentTitle() const override { return QStringLiteral("Bench.qsp"); }
    int OpenObjectWindow(QSID, unsigned short, int, int, int) override { return 1; }

    CDataObject* Find(QSID id) const { return m_project->FindDataObject(id, NET); }

    template <typename View>
    std::unique_ptr<View> Open() {
        auto view = std::make_unique<View>();
        view->SetAutoDelete(false);
        AddView(view.get());
        view->resize(1200, 800);
        view->show();
        if (view->OnCreate() != 0) Fail("the view did not open");
        view->OnInitialUpdate();
        return view;
    }

private:
    std::unique_ptr<CProject> m_project;
    QSID m_pendingId;
};

constexpr QSID kPaidLoss = 101000001;

}  // namespace qs::bench

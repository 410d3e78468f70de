// Speed of the exhibit view on a 120 x 120 annual project: opening an
// exhibit (both layout passes, statistics, selections, cumulative and ratio
// rows), laying it out again, and one factor typed into the Selected row with
// the recalculation it starts (statistics stay, the selections' cumulative
// and ratio rows, the methods that read them and the view's reload follow).
#include "CDataObject.h"
#include "CDocument.h"
#include "CExhibit.h"
#include "CExhibitView.h"
#include "CProject.h"
#include "IObjectViewDocument.h"
#include "MethodTemplates.h"
#include "SpreadsheetControl.h"
#include "ViewSettings.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kSize = 120;
constexpr QSID kPaidLoss = 101000001;

void EnsureApp() {
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench_exhibitview";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "bench_exhibitview: %s\n", what);
    std::exit(1);
}

// One 120 x 120 annual project whose paid losses grow by factors that fall
// toward 1 with age, and whose paid exhibit has a full selection.
class BenchDoc : public CDocument, public IObjectViewDocument {
public:
    BenchDoc() : m_project(std::make_unique<CProject>()) {
        m_bAutoDelete = FALSE;
        std::uint16_t gen = 5, numExp = kSize, firstYear = 1900, interval = 1, numDev = kSize, firstAge = 12;
        PRDLENGTH expLen = PRD_YEAR, devLen = PRD_YEAR;
        LAYERNAMES c1 = GROSS, c2 = ASSUMED;
        if (m_project->Create(gen, numExp, expLen, firstYear, interval, numDev, devLen, firstAge, c1, c2) != qsk::kOk)
            Fail("cannot create the 120 x 120 project");
        CDataObject* paid = m_project->FindDataObject(kPaidLoss, NET);
        if (paid == nullptr) Fail("no paid loss triangle");
        paid->SetRecalcOn(0);
        for (int r = 0; r < kSize; ++r) {
            double v = 1000.0 + 10.0 * r;
            for (int c = 0; c < kSize - r; ++c) {
                paid->SetAt(r, c, v);
                v *= 1.0 + 0.8 / (c + 1) + 0.01 * ((r + c) % 3);
            }
        }
        paid->SetRecalcOn(1);
        CDataObject* sdf = SDF();
        if (sdf == nullptr) Fail("the paid exhibit has no selections");
        sdf->SetRecalcOn(0);
        for (int c = 0; c < kSize; ++c) sdf->SetAt(0, c, 1.0 + 0.8 / (c + 1));
        sdf->SetRecalcOn(1);
    }

    CDataObject* SDF() const {
        auto* ex = dynamic_cast<CExhibit*>(m_project->FindObject(qsmethods::StandardExhibitID(1), NET));
        CDataObject* sdf = nullptr;
        if (ex != nullptr) ex->GetSDFObject(sdf);
        return sdf;
    }
    CProject* GetProject() const override { return m_project.get(); }
    QSID GetPendingObjectID() const override { return qsmethods::StandardExhibitID(1); }
    unsigned short GetPendingLayer() const override { return NET; }
    QString GetDocumentTitle() const override { return QStringLiteral("Bench.qsp"); }
    int OpenObjectWindow(QSID, unsigned short, int, int, int) override { return 1; }

    std::unique_ptr<CExhibitView> Open() {
        auto view = std::make_unique<CExhibitView>();
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
};

BenchDoc& Doc() {
    EnsureApp();
    static BenchDoc* doc = [] {
        qs::views::Settings() = qs::views::ViewSettings{};
        return new BenchDoc;
    }();
    return *doc;
}

void BM_OpenExhibitView120(benchmark::State& state) {
    BenchDoc& doc = Doc();
    for (auto _ : state) {
        auto view = doc.Open();
        if (view->GetFirstSelectedRow() <= kSize) Fail("no Selected row below the triangle");
        state.PauseTiming();
        view.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenExhibitView120)->Unit(benchmark::kMillisecond);

void BM_RelayoutExhibitView120(benchmark::State& state) {
    BenchDoc& doc = Doc();
    auto view = doc.Open();
    for (auto _ : state)
        if (!view->OnFormat(nullptr) || !view->OnUpdateData(FALSE)) Fail("the layout failed");
}
BENCHMARK(BM_RelayoutExhibitView120)->Unit(benchmark::kMillisecond);

// A factor typed into the Selected row: stored, recalculated, shown.
void BM_EditSelectedFactor120(benchmark::State& state) {
    BenchDoc& doc = Doc();
    auto view = doc.Open();
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    const int row = view->GetFirstSelectedRow();
    int i = 0;
    for (auto _ : state) {
        const double value = 1.5 + 0.01 * (++i % 7);
        ctrl->SetSelection(row, 3, row, 3);
        ctrl->SetActiveCell(row, 3);
        ctrl->StartEdit(QString::number(value), true);
        ctrl->EndEdit();
        double stored = 0;
        std::uint8_t flags = 0;
        doc.SDF()->GetAt(0, 1, stored, flags);
        if (stored != value) Fail("the edit did not reach the kernel");
    }
}
BENCHMARK(BM_EditSelectedFactor120)->Unit(benchmark::kMillisecond);

}  // namespace

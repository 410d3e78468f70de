// Speed of the exhibit view on a 120 x 120 annual project: opening an
// exhibit (both layout passes, statistics, selections, cumulative and ratio
// rows), laying it out again, and one factor typed into the Selected row with
// the recalculation it starts (statistics stay, the selections' cumulative
// and ratio rows, the methods that read them and the view's reload follow).
#include "CDataObject.h"
#include "CExhibit.h"
#include "CExhibitView.h"
#include "CProject.h"
#include "MethodTemplates.h"
#include "SpreadsheetControl.h"
#include "ViewBenchDoc.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kSize = 120;
using qs::bench::Fail;
using qs::bench::kPaidLoss;

CDataObject* SDF(qs::bench::ViewBenchDoc& doc) {
    auto* ex = dynamic_cast<CExhibit*>(doc.GetProject()->FindObject(qsmethods::StandardExhibitID(1), NET));
    CDataObject* sdf = nullptr;
    if (ex != nullptr) ex->GetSDFObject(sdf);
    return sdf;
}

// One 120 x 120 annual project whose paid losses grow by factors that fall
// toward 1 with age, and whose paid exhibit has a full selection; the view
// opens the paid exhibit.
qs::bench::ViewBenchDoc& Doc() {
    static qs::bench::ViewBenchDoc* doc = [] {
        auto* d = new qs::bench::ViewBenchDoc(kSize, PRD_YEAR, 1900, 12, qsmethods::StandardExhibitID(1));
        CDataObject* paid = d->Find(kPaidLoss);
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
        CDataObject* sdf = SDF(*d);
        if (sdf == nullptr) Fail("the paid exhibit has no selections");
        sdf->SetRecalcOn(0);
        for (int c = 0; c < kSize; ++c) sdf->SetAt(0, c, 1.0 + 0.8 / (c + 1));
        sdf->SetRecalcOn(1);
        return d;
    }();
    return *doc;
}

void BM_OpenExhibitView120(benchmark::State& state) {
    qs::bench::ViewBenchDoc& doc = Doc();
    for (auto _ : state) {
        auto view = doc.Open<CExhibitView>();
        if (view->GetFirstSelectedRow() <= kSize) Fail("no Selected row below the triangle");
        state.PauseTiming();
        view.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenExhibitView120)->Unit(benchmark::kMillisecond);

void BM_RelayoutExhibitView120(benchmark::State& state) {
    qs::bench::ViewBenchDoc& doc = Doc();
    auto view = doc.Open<CExhibitView>();
    for (auto _ : state)
        if (!view->OnFormat(nullptr) || !view->OnUpdateData(FALSE)) Fail("the layout failed");
}
BENCHMARK(BM_RelayoutExhibitView120)->Unit(benchmark::kMillisecond);

// A factor typed into the Selected row: stored, recalculated, shown.
void BM_EditSelectedFactor120(benchmark::State& state) {
    qs::bench::ViewBenchDoc& doc = Doc();
    auto view = doc.Open<CExhibitView>();
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
        SDF(doc)->GetAt(0, 1, stored, flags);
        if (stored != value) Fail("the edit did not reach the kernel");
    }
}
BENCHMARK(BM_EditSelectedFactor120)->Unit(benchmark::kMillisecond);

}  // namespace

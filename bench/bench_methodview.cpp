// Speed of the method view on a 120 x 120 annual project: opening the paid
// chain-ladder method (layout and load of every column and summary row), and
// one input change (a paid loss cell) with the recalculation it starts
// (exhibit, selections, method) and the view's reload and redraw.
#include "CDataObject.h"
#include "CExhibit.h"
#include "CMethod.h"
#include "CMethodView.h"
#include "CProject.h"
#include "MethodTemplates.h"
#include "SpreadsheetControl.h"
#include "ViewBenchDoc.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int kSize = 120;
using qs::bench::Fail;
using qs::bench::kPaidLoss;

QSID Method() { return qsmethods::StandardMethodID(qsmethods::kPaidDevelopment); }
CDataObject* Paid(qs::bench::ViewBenchDoc& doc) { return doc.Find(kPaidLoss); }

// A 120 x 120 annual project whose paid losses grow smoothly to ultimate
// (a synthetic triangle: each year's ultimate times a development curve),
// with the volume-weighted selections; the view opens the paid method.
qs::bench::ViewBenchDoc& Doc() {
    static qs::bench::ViewBenchDoc* doc = [] {
        auto* d = new qs::bench::ViewBenchDoc(kSize, PRD_YEAR, 1900, 12, Method());
        CProject* project = d->GetProject();
        CDataObject* paid = Paid(*d);
        if (paid == nullptr) Fail("no paid loss triangle");
        paid->SetRecalcOn(0);
        for (int r = 0; r < kSize; ++r)
            for (int c = 0; c < kSize - r; ++c) {
                const double ultimate = 10000.0 + 37.0 * r + 500.0 * std::sin(r);
                const double share = 1.0 - std::exp(-0.35 * (c + 1)) + 0.002 * ((r * 7 + c * 3) % 5);
                paid->SetAt(r, c, ultimate * share);
            }
        paid->SetRecalcOn(1);
        // No tail (1.0), then the volume-weighted selections.
        auto* exhibit = dynamic_cast<CExhibit*>(project->FindObject(qsmethods::StandardExhibitID(1), NET));
        CDataObject* sdf = nullptr;
        if (exhibit == nullptr || exhibit->GetSDFObject(sdf) != 0 || sdf == nullptr) Fail("no paid exhibit");
        sdf->SetAt(0, kSize - 1, 1.0);
        if (project->FillProjFromStat({1, 1, 0, 0, 0, 0, 0, 1}, nullptr) != qsk::kOk) Fail("no selections");
        return d;
    }();
    return *doc;
}

void BM_OpenPaidDevelopmentMethod120(benchmark::State& state) {
    qs::bench::ViewBenchDoc& doc = Doc();
    for (auto _ : state) {
        auto view = doc.Open<CMethodView>();
        double v = 0;
        view->GetCtrl()->GetNumber(kSize, 3, v);
        if (v == 0) Fail("the last ultimate was not loaded");
        state.PauseTiming();
        view.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenPaidDevelopmentMethod120)->Unit(benchmark::kMillisecond);

// The newest year's paid loss changes (its one cell, on the diagonal the
// method reads): the exhibit recalculates, the method's latest, ultimate and
// unpaid columns and its summaries follow, and the view reloads through the
// kernel's notification and draws one frame.
void BM_InputChangeRecalcAndRedraw120(benchmark::State& state) {
    qs::bench::ViewBenchDoc& doc = Doc();
    auto view = doc.Open<CMethodView>();
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    QImage image(ctrl->viewport()->size(), QImage::Format_RGB32);
    CDataObject* paid = Paid(doc);
    double base = 0;
    std::uint8_t flags = 0;
    paid->GetAt(kSize - 1, 0, base, flags);
    int i = 0;
    for (auto _ : state) {
        const double value = base * (1.0 + 0.001 * (++i % 5 + 1));
        paid->SetAt(kSize - 1, 0, value);
        double shown = 0;
        ctrl->GetNumber(kSize, 1, shown);
        if (std::abs(shown - value) > 1e-6) Fail("the view did not follow the change");
        ctrl->viewport()->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
    paid->SetAt(kSize - 1, 0, base);
}
BENCHMARK(BM_InputChangeRecalcAndRedraw120)->Unit(benchmark::kMillisecond);

}  // namespace

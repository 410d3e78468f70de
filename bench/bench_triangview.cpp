// Speed of the triangle view on a 480 x 480 monthly triangle (40 years by
// month) from a kernel project: opening the view (layout and load), one
// scroll frame at the far corner, one typed edit stored in the kernel, and
// the cumulative/incremental and calendar switches.
#include "CDataObject.h"
#include "CTriangView.h"
#include "SpreadsheetControl.h"
#include "ViewBenchDoc.h"
#include "ViewSettings.h"

#include <QFile>
#include <QImage>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int kSize = 480;
using qs::bench::Fail;
using qs::bench::kPaidLoss;

CDataObject* Paid(qs::bench::ViewBenchDoc& doc) { return doc.Find(kPaidLoss); }

// One 480 x 480 monthly project whose paid losses hold the synthetic
// triangle of bench/data/tri_480.csv; tables open as stored.
qs::bench::ViewBenchDoc& Doc() {
    static qs::bench::ViewBenchDoc* doc = [] {
        auto* d = new qs::bench::ViewBenchDoc(kSize, PRD_MONTH, 1985, 1, kPaidLoss);
        CDataObject* paid = Paid(*d);
        if (paid == nullptr) Fail("no paid loss triangle");
        QFile file(QStringLiteral(QS_BENCH_DATA_DIR "/tri_480.csv"));
        if (!file.open(QIODevice::ReadOnly)) Fail("cannot read tri_480.csv");
        QSSTATUS status = qsk::kOk;
        paid->ViewCumulative(1, status, 0);
        paid->SetRecalcOn(0);
        int row = 0, cells = 0;
        while (!file.atEnd() && row < kSize) {
            const QList<QByteArray> fields = file.readLine().trimmed().split(',');
            for (int col = 0; col < fields.size() && col < kSize; ++col) {
                bool ok = false;
                const double v = fields[col].toDouble(&ok);
                if (ok && paid->LocationIsValid(row, col) && paid->SetAt(row, col, v) == qsk::kOk) ++cells;
            }
            ++row;
        }
        paid->SetRecalcOn(1);
        if (cells != kSize * (kSize + 1) / 2) Fail("the triangle did not load whole");
        qs::views::Settings().defaultShow = 1;
        g_bCalendarView = 0;
        return d;
    }();
    return *doc;
}

void RenderFrame(CTriangView& view, QImage& image) {
    view.GetCtrl()->viewport()->render(&image);
    benchmark::DoNotOptimize(image.bits());
}

// Opening: layout (formats, headings, staircase) and loading every cell.
void BM_OpenTriangView480(benchmark::State& state) {
    qs::bench::ViewBenchDoc& doc = Doc();
    for (auto _ : state) {
        auto view = doc.Open<CTriangView>();
        double v = 0;
        view->GetCtrl()->GetNumber(kSize, 1, v);
        if (v == 0) Fail("the last row was not loaded");
        state.PauseTiming();
        view.reset();  // closes the kernel object and leaves the document
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenTriangView480)->Unit(benchmark::kMillisecond);

// One frame scrolled to the far corner (alternating with the near one, so
// every frame really moves).
void BM_ScrollFrameFarCorner480(benchmark::State& state) {
    qs::bench::ViewBenchDoc& doc = Doc();
    auto view = doc.Open<CTriangView>();
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    QImage image(ctrl->viewport()->size(), QImage::Format_RGB32);
    bool far = false;
    for (auto _ : state) {
        far = !far;
        ctrl->verticalScrollBar()->setValue(far ? ctrl->verticalScrollBar()->maximum() : 1);
        ctrl->horizontalScrollBar()->setValue(far ? ctrl->horizontalScrollBar()->maximum() : 1);
        RenderFrame(*view, image);
    }
}
BENCHMARK(BM_ScrollFrameFarCorner480)->Unit(benchmark::kMillisecond);

// One typed entry in the last row's cell, stored in the kernel (the other
// cells of the view follow through the kernel's notification).
void BM_EditStoredFarCorner480(benchmark::State& state) {
    qs::bench::ViewBenchDoc& doc = Doc();
    auto view = doc.Open<CTriangView>();
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    int i = 0;
    for (auto _ : state) {
        const double value = 1000.0 + (++i % 7);
        ctrl->SetSelection(kSize, 1, kSize, 1);
        ctrl->SetActiveCell(kSize, 1);
        ctrl->StartEdit(QString::number(value), true);
        ctrl->EndEdit();
        double stored = 0;
        std::uint8_t flags = 0;
        Paid(doc)->GetAt(kSize - 1, 0, stored, flags);
        if (stored != value) Fail("the edit did not reach the kernel");
    }
}
BENCHMARK(BM_EditStoredFarCorner480)->Unit(benchmark::kMillisecond);

// Cumulative to incremental and back: the view reloads every cell each time.
void BM_SwitchCumulative480(benchmark::State& state) {
    qs::bench::ViewBenchDoc& doc = Doc();
    auto view = doc.Open<CTriangView>();
    for (auto _ : state) view->RouteCommand(ID_VIEW_CUMULATIVE);
    if (!Paid(doc)->IsViewedCumulative()) view->RouteCommand(ID_VIEW_CUMULATIVE);
}
BENCHMARK(BM_SwitchCumulative480)->Unit(benchmark::kMillisecond);

// Development to calendar layout and back: a new layout and a reload each time.
void BM_SwitchCalendar480(benchmark::State& state) {
    qs::bench::ViewBenchDoc& doc = Doc();
    auto view = doc.Open<CTriangView>();
    for (auto _ : state) {
        g_bCalendarView = !g_bCalendarView;
        view->OnUpdate(nullptr, HINT_CALENDAR, nullptr);
    }
    g_bCalendarView = 0;
}
BENCHMARK(BM_SwitchCalendar480)->Unit(benchmark::kMillisecond);

}  // namespace

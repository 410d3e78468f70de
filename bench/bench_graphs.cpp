// Speed of drawing a graph of every row of a 120 x 120 annual project's paid
// losses (120 series of up to 120 points): the chart, shown at the size of a
// graph window's chart, filled from the kernel graph with the installed
// style table and default style, then drawn into an image of that size.
// Goal: under 100 ms on one core.
#include "CDataObject.h"
#include "CGraph.h"
#include "CGraphStyleTable.h"
#include "CProject.h"
#include "ChartControl.h"
#include "GraphDefaults.h"
#include "GraphFill.h"
#include "GraphHost.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int kSize = 120;
constexpr QSID kPaidLoss = 101000001;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "bench_graphs: %s\n", what);
    std::exit(1);
}

struct Bench {
    Bench() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench_graphs";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
        if (!work.isValid() || !qs::graphs::InstallDefaultGraphFiles(work.path())) Fail("no working directory");
        qs::graphs::Host().workingDirectory = work.path();
        std::uint16_t gen = 5, numExp = kSize, firstYear = 1900, interval = 1, numDev = kSize, firstAge = 12;
        PRDLENGTH expLen = PRD_YEAR, devLen = PRD_YEAR;
        LAYERNAMES c1 = GROSS, c2 = ASSUMED;
        if (project.Create(gen, numExp, expLen, firstYear, interval, numDev, devLen, firstAge, c1, c2) != qsk::kOk)
            Fail("cannot create the 120 x 120 project");
        CDataObject* paid = project.FindDataObject(kPaidLoss, NET);
        if (paid == nullptr) Fail("no paid loss triangle");
        paid->SetRecalcOn(0);
        for (int r = 0; r < kSize; ++r)
            for (int c = 0; c < kSize - r; ++c) {
                const double ultimate = 10000.0 + 37.0 * r + 500.0 * std::sin(r);
                paid->SetAt(r, c, ultimate * (1.0 - std::exp(-0.35 * (c + 1))));
            }
        paid->SetRecalcOn(1);
        graph = project.GetGraphObject(kPaidLoss, nullptr, NET);
        if (graph == nullptr || graph->GetNumDataColumns() != kSize) Fail("no graph of every row");
        styles = std::make_unique<CGraphStyleTable>();
        chart = std::make_unique<qs::chart::ChartControl>();
        chart->resize(900, 600);
        chart->show();
        QCoreApplication::processEvents();
        if (!chart->LoadFromFile(work.path() + "/styles/DEF_ARR.RGS")) Fail("no default style");
        look = chart->GetAppearance();
    }
    std::unique_ptr<QApplication> app;
    QTemporaryDir work;
    CProject project;
    CGraph* graph = nullptr;
    std::unique_ptr<CGraphStyleTable> styles;
    std::unique_ptr<qs::chart::ChartControl> chart;
    qs::chart::Appearance look;
};

Bench& B() {
    static Bench* b = new Bench;
    return *b;
}

// The view's refresh: the style's appearance back, the fill, the drawing.
void BM_DrawGraphOfEveryRow120(benchmark::State& state) {
    Bench& b = B();
    QImage image(900, 600, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        b.chart->SetAppearance(b.look);
        qs::graphs::GraphDrawState draw;
        qs::graphs::FillChart(*b.chart, *b.graph, draw, *b.styles);
        QPainter painter(&image);
        b.chart->Render(&painter, QRectF(0, 0, 900, 600));
        painter.end();
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_DrawGraphOfEveryRow120)->Unit(benchmark::kMillisecond);

// The fill alone: the kernel's series into the chart's grid and styles.
void BM_FillGraphOfEveryRow120(benchmark::State& state) {
    Bench& b = B();
    for (auto _ : state) {
        b.chart->SetAppearance(b.look);
        qs::graphs::GraphDrawState draw;
        benchmark::DoNotOptimize(qs::graphs::FillChart(*b.chart, *b.graph, draw, *b.styles));
    }
}
BENCHMARK(BM_FillGraphOfEveryRow120)->Unit(benchmark::kMillisecond);

}  // namespace

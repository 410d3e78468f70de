// Speed of the spreadsheet grid on a 480 x 480 triangle: filling and laying
// it out as a view does, and painting it while scrolling.
#include "SpreadsheetControl.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include <benchmark/benchmark.h>

namespace {

void EnsureApp() {
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench_spreadsheet";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
}

constexpr int kSize = 480;

// Writes a development triangle the way the views do: redraw held, values,
// number format on the value area, staircase borders, autofit.
void FillTriangle(qs::ss::SpreadsheetControl& grid) {
    using namespace qs::ss;
    grid.SetRedraw(false);
    grid.SetMaxRow(kSize);
    grid.SetMaxCol(kSize);
    for (int r = 1; r <= kSize; ++r) {
        grid.SetRowHeadingText(r, QString::number(1500 + r));
        const int n = kSize - r + 1;
        for (int c = 1; c <= n; ++c) grid.SetNumber(r, c, r * 1000.25 + c * 3.5);
    }
    for (int c = 1; c <= kSize; ++c) grid.SetColHeadingText(c, QString::number(12 * c));
    grid.SetSelection(-1, -1, -1, -1);
    grid.SetAlignment(SSH_Right, false, SSV_Bottom, 0);
    grid.SetNumberFormat("#,##0.00_);(#,##0.00)");
    for (int r = 2; r <= kSize; ++r) {
        const int n = kSize - r + 1;
        grid.SetSelection(r, n + 1, r, n + 1);
        grid.SetBorder(-1, SSB_Thin, -1, SSB_Thin, -1, 0, Qt::black, Qt::black, Qt::black, Qt::black, Qt::black);
    }
    grid.FitColWidths(1, kSize);
    grid.SetSelection(1, 1, 1, 1);
    grid.SetRedraw(true);
}

void BM_FillAndLayOutTriangle(benchmark::State& state) {
    EnsureApp();
    for (auto _ : state) {
        qs::ss::SpreadsheetControl grid;
        grid.resize(1200, 800);
        FillTriangle(grid);
        benchmark::DoNotOptimize(grid.LastRow());
    }
}
BENCHMARK(BM_FillAndLayOutTriangle)->Unit(benchmark::kMillisecond);

void BM_ScrollPaintTriangle(benchmark::State& state) {
    EnsureApp();
    qs::ss::SpreadsheetControl grid;
    grid.resize(1200, 800);
    FillTriangle(grid);
    QImage image(grid.viewport()->size(), QImage::Format_RGB32);
    int step = 0;
    for (auto _ : state) {
        // Diagonal scrolling over the whole triangle, one screen per frame.
        grid.verticalScrollBar()->setValue(1 + (step * 20) % kSize);
        grid.horizontalScrollBar()->setValue(1 + (step * 7) % kSize);
        ++step;
        grid.viewport()->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScrollPaintTriangle)->Unit(benchmark::kMillisecond);

}  // namespace

// Speed of the method view on a 120 x 120 annual project: opening the paid
// chain-ladder method (layout and load of every column and summary row), and
// one input change (a paid loss cell) with the recalculation it starts
// (exhibit, selections, method) and the view's reload and redraw.
#include "CDataObject.h"
#include "CDocument.h"
#include "CExhibit.h"
#include "CMethod.h"
#include "CMethodView.h"
#include "CProject.h"
#include "IObjectViewDocument.h"
#include "MethodTemplates.h"
#include "SpreadsheetControl.h"
#include "ViewSettings.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>
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
        static char name[] = "bench_methodview";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "bench_methodview: %s\n", what);
    std::exit(1);
}

// A 120 x 120 annual project whose paid losses grow smoothly to ultimate
// (a synthetic triangle: each year's ultimate times a development curve),
// with the volume-weighted selections.
class BenchDoc : public CDocument, public IObjectViewDocument {
public:
    BenchDoc() : m_project(std::make_unique<CProject>()) {
        m_bAutoDelete = FALSE;
        std::uint16_t gen = 5, numExp = kSize, firstYear = 1900, interval = 1, numDev = kSize, firstAge = 12;
        PRDLENGTH expLen = PRD_YEAR, devLen = PRD_YEAR;
        LAYERNAMES c1 = GROSS, c2 = ASSUMED;
        if (m_project->Create(gen, numExp, expLen, firstYear, interval, numDev, devLen, firstAge, c1, c2) != qsk::kOk)
            Fail("cannot create the 120 x 120 project");
        CDataObject* paid = Paid();
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
        auto* exhibit = dynamic_cast<CExhibit*>(m_project->FindObject(qsmethods::StandardExhibitID(1), NET));
        CDataObject* sdf = nullptr;
        if (exhibit == nullptr || exhibit->GetSDFObject(sdf) != 0 || sdf == nullptr) Fail("no paid exhibit");
        sdf->SetAt(0, kSize - 1, 1.0);
        if (m_project->FillProjFromStat({1, 1, 0, 0, 0, 0, 0, 1}, nullptr) != qsk::kOk) Fail("no selections");
    }

    CDataObject* Paid() const { return m_project->FindDataObject(kPaidLoss, NET); }
    QSID Method() const { return qsmethods::StandardMethodID(qsmethods::kPaidDevelopment); }
    CProject* GetProject() const override { return m_project.get(); }
    QSID GetPendingObjectID() const override { return Method(); }
    unsigned short GetPendingLayer() const override { return NET; }
    QString GetDocumentTitle() const override { return QStringLiteral("Bench.qsp"); }
    int OpenObjectWindow(QSID, unsigned short, int, int, int) override { return 1; }

    std::unique_ptr<CMethodView> Open() {
        auto view = std::make_unique<CMethodView>();
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

void BM_OpenPaidDevelopmentMethod120(benchmark::State& state) {
    BenchDoc& doc = Doc();
    for (auto _ : state) {
        auto view = doc.Open();
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
    BenchDoc& doc = Doc();
    auto view = doc.Open();
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    QImage image(ctrl->viewport()->size(), QImage::Format_RGB32);
    CDataObject* paid = doc.Paid();
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

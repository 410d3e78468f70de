// Speed of the kernel's project model on a large generated project: 120
// monthly exposure periods by 120 monthly ages, 30 input triangles (the
// template's eleven and nineteen user arrays) in five layers, three of them
// entered. A one-cell change must recalculate well within a frame (16 ms).
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "CProject.h"

namespace {
constexpr std::uint16_t kBenchPeriods = 120;
constexpr int kBenchUserArrays = 19;

std::unique_ptr<CProject> BenchCreate() {
    auto p = std::make_unique<CProject>();
    std::uint16_t gen = 5, n = kBenchPeriods, year = 2000, interval = 1, nd = kBenchPeriods, age = 1;
    PRDLENGTH el = PRD_MONTH, dl = PRD_MONTH;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    p->Create(gen, n, el, year, interval, nd, dl, age, c1, c2);
    for (int i = 0; i < kBenchUserArrays; ++i) {
        CDataObject proto;
        proto.SetIDLongName("Generated triangle " + std::to_string(i + 1));
        proto.SetCumulable(true);
        QSID id = 0;
        p->AddNewObject(proto, id, 1);
    }
    return p;
}

std::vector<CDataObject*> BenchTriangles(const CProject& p, unsigned short layer) {
    std::vector<CDataObject*> out;
    p.ForEachObject([&](QSID, unsigned short l, CFormula* f) {
        auto* d = dynamic_cast<CDataObject*>(f);
        if (d && l == layer && d->GetVectorType() == CDataObject::VT_TRIANGLE) out.push_back(d);
    });
    return out;
}

void BenchFill(CProject& p) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> dist(0.0, 1000.0);
    for (unsigned short layer : {NET, CEDED, DIRECT}) {
        for (CDataObject* d : BenchTriangles(p, layer)) {
            std::vector<double> values(d->Values().size());
            std::vector<std::uint8_t> flags(values.size(), CDataObject::CF_VALUE);
            for (double& v : values) v = dist(rng);
            d->SetAllCells(values, flags, 1);
        }
    }
}

struct BenchWindow : IKernelWindow {
    long notices = 0;
    void XRefresh(CFormula*, int, long) override { ++notices; }
};

void BM_CreateProject(benchmark::State& state) {
    for (auto _ : state) {
        auto p = BenchCreate();
        benchmark::DoNotOptimize(p.get());
    }
}
BENCHMARK(BM_CreateProject)->Unit(benchmark::kMillisecond);

void BM_FillProject(benchmark::State& state) {
    auto p = BenchCreate();
    for (auto _ : state) BenchFill(*p);
    state.counters["triangles"] = static_cast<double>(BenchTriangles(*p, NET).size());
}
BENCHMARK(BM_FillProject)->Unit(benchmark::kMillisecond);

void BM_OneCellChange(benchmark::State& state) {
    auto p = BenchCreate();
    BenchFill(*p);
    CDataObject* net = p->FindDataObject(101000001, NET);
    BenchWindow gross, assumed;
    CFormula* g = p->OpenObject(101000001, GROSS, &gross);
    CFormula* a = p->OpenObject(101000001, ASSUMED, &assumed);
    double v = 1.0;
    for (auto _ : state) {
        net->SetAt(60, 30, v);
        v += 1.0;
    }
    state.counters["notices_per_change"] =
        static_cast<double>(gross.notices + assumed.notices) / static_cast<double>(state.iterations());
    p->CloseObject(g, &gross);
    p->CloseObject(a, &assumed);
}
BENCHMARK(BM_OneCellChange)->Unit(benchmark::kMicrosecond);

void BM_SaveProject(benchmark::State& state) {
    auto p = BenchCreate();
    BenchFill(*p);
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto b = p->SaveProject();
        bytes = b.size();
        benchmark::DoNotOptimize(b.data());
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond);

void BM_LoadProject(benchmark::State& state) {
    auto p = BenchCreate();
    BenchFill(*p);
    const auto bytes = p->SaveProject();
    for (auto _ : state) {
        CProject q;
        if (q.LoadProject(bytes.data(), bytes.size()) != 0) state.SkipWithError("load failed");
    }
}
BENCHMARK(BM_LoadProject)->Unit(benchmark::kMillisecond);
}  // namespace

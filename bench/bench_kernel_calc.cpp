// Speed of the reserving numerics on the reference and synthetic triangles:
// chain ladder (volume-weighted factors, age-to-ultimate, ultimates) on RAA,
// on large triangles and on a batch of 1,000 small ones, and tail fits.
// Before measuring, every data set's chain-ladder total is checked against
// the total published with it, so a fast wrong answer cannot pass.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "CDataObject.h"
#include "CExhibit.h"
#include "CMethod.h"
#include "CProject.h"
#include "CTailFactorAnalysis.h"
#include "ReservingMath.h"
#include "SummaryReports.h"

using namespace qs::calc;

namespace {

std::string ReadData(const std::string& name) {
    std::ifstream f(std::string(QS_BENCH_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

const Triangle& Data(const std::string& name) {
    static std::map<std::string, Triangle> cache;
    auto it = cache.find(name);
    if (it != cache.end()) return it->second;
    Triangle t;
    const std::string text = ReadData(name);
    const bool ok = name == "raa.csv" ? ParseLongCsv(text, "values", t) : ParseGridCsv(text, t);
    if (!ok) t = Triangle{};
    return cache.emplace(name, std::move(t)).first->second;
}

// One chain ladder on a triangle view, writing into caller-owned scratch.
double ChainLadderTotal(const TriangleRef& t, std::vector<double>& ldf, std::vector<unsigned char>& ok) {
    ldf.resize(t.cols > 0 ? t.cols - 1 : 0);
    ok.resize(ldf.size());
    VolumeWeightedFactors(t, ldf.data(), ok.data());
    return ChainLadder(t, ldf.data(), 1.0).ultimateTotal;
}

TriangleRef Block(const Triangle& stacked, int k) {
    const size_t off = static_cast<size_t>(k) * 10 * stacked.cols;
    return {stacked.values.data() + off, stacked.flags.data() + off, 10, stacked.cols, stacked.cols};
}

bool CheckTotal(benchmark::State& state, double actual, double expected, double tolerance) {
    if (std::fabs(actual - expected) <= tolerance) return true;
    char msg[160];
    std::snprintf(msg, sizeof msg, "ultimate total %.6f differs from the published %.6f", actual, expected);
    state.SkipWithError(msg);
    return false;
}

const std::map<std::string, double> kPublishedTotals = {
    {"raa.csv", 213122.228261},
    {"tri_50.csv", 1317566.95552},
    {"tri_100.csv", 2461415.89677},
    {"tri_480.csv", 12354535.0452},
};

void BM_ChainLadder(benchmark::State& state, const std::string& file) {
    const Triangle& t = Data(file);
    std::vector<double> ldf;
    std::vector<unsigned char> ok;
    const double expected = kPublishedTotals.at(file);
    if (!CheckTotal(state, ChainLadderTotal(t.Ref(), ldf, ok), expected, 1e-6 * expected)) return;
    for (auto _ : state) benchmark::DoNotOptimize(ChainLadderTotal(t.Ref(), ldf, ok));
    state.counters["cells"] = static_cast<double>(t.rows) * t.cols;
}
BENCHMARK_CAPTURE(BM_ChainLadder, raa_10x10, std::string("raa.csv"));
BENCHMARK_CAPTURE(BM_ChainLadder, synthetic_50, std::string("tri_50.csv"));
BENCHMARK_CAPTURE(BM_ChainLadder, synthetic_100, std::string("tri_100.csv"));
BENCHMARK_CAPTURE(BM_ChainLadder, synthetic_480, std::string("tri_480.csv"))->Unit(benchmark::kMicrosecond);

constexpr double kBatchTotal = 205990251.591;

// The 1,000 triangles as one stacked array (one object of 1,000 segments).
void BM_Batch1000_OneObject(benchmark::State& state) {
    const Triangle& all = Data("batch_10x10_1000.csv");
    std::vector<double> ldf;
    std::vector<unsigned char> ok;
    auto run = [&] {
        double total = 0.0;
        for (int k = 0; k < all.rows / 10; ++k) total += ChainLadderTotal(Block(all, k), ldf, ok);
        return total;
    };
    if (all.rows != 10000 || !CheckTotal(state, run(), kBatchTotal, 1e-3)) return;
    for (auto _ : state) benchmark::DoNotOptimize(run());
}
BENCHMARK(BM_Batch1000_OneObject)->Unit(benchmark::kMicrosecond);

// The same 1,000 triangles as separate objects, each through the owning API
// (its own factor vectors and result).
void BM_Batch1000_OneByOne(benchmark::State& state) {
    const Triangle& all = Data("batch_10x10_1000.csv");
    std::vector<Triangle> each(all.rows / 10);
    for (int k = 0; k < static_cast<int>(each.size()); ++k) {
        Triangle& t = each[k];
        t.Resize(10, all.cols);
        const TriangleRef b = Block(all, k);
        std::copy(b.values, b.values + 10 * all.cols, t.values.begin());
        std::copy(b.flags, b.flags + 10 * all.cols, t.flags.begin());
    }
    auto run = [&] {
        double total = 0.0;
        for (const Triangle& t : each) {
            std::vector<double> ldf(t.cols - 1);
            std::vector<unsigned char> ok(t.cols - 1);
            VolumeWeightedFactors(t.Ref(), ldf.data(), ok.data());
            total += ChainLadder(t.Ref(), ldf.data(), 1.0).ultimateTotal;
        }
        return total;
    };
    if (all.rows != 10000 || !CheckTotal(state, run(), kBatchTotal, 1e-3)) return;
    for (auto _ : state) benchmark::DoNotOptimize(run());
}
BENCHMARK(BM_Batch1000_OneByOne)->Unit(benchmark::kMicrosecond);

CTailFactorAnalysis AnalysisOf(const std::vector<double>& ldf) {
    CTailFactorAnalysis a(1.0, 1.0);
    a.SetNumPoints(static_cast<int>(ldf.size()));
    for (int c = 0; c < CTailFactorAnalysis::kNumCurves; ++c)
        for (int i = 0; i < a.GetNumPoints(); ++i) a.SetValue(c, true, i, ldf[i]);
    return a;
}

// The exponential tail on RAA's nine volume-weighted factors, cutoff 109.
void BM_TailFitRaa(benchmark::State& state, bool allCurves) {
    const Triangle& raa = Data("raa.csv");
    std::vector<double> ldf;
    std::vector<unsigned char> ok;
    ChainLadderTotal(raa.Ref(), ldf, ok);
    CTailFactorAnalysis a = AnalysisOf(ldf);
    a.Calculate();
    if (std::fabs(a.GetTail(1) - 1.009436) > 5e-7) {
        state.SkipWithError("RAA exponential tail differs from the published 1.009436");
        return;
    }
    for (auto _ : state) {
        if (allCurves)
            a.Calculate();
        else
            a.CalculateCurve(1);
        benchmark::DoNotOptimize(a.GetTail(1));
    }
}
BENCHMARK_CAPTURE(BM_TailFitRaa, exponential, false);
BENCHMARK_CAPTURE(BM_TailFitRaa, all_three_curves, true);

// 1,000 tail fits: one analysis per batch triangle (exponential, or all three curves).
void BM_TailFits1000(benchmark::State& state, bool allCurves) {
    const Triangle& all = Data("batch_10x10_1000.csv");
    std::vector<CTailFactorAnalysis> analyses;
    std::vector<double> ldf;
    std::vector<unsigned char> ok;
    for (int k = 0; k < all.rows / 10; ++k) {
        ChainLadderTotal(Block(all, k), ldf, ok);
        analyses.push_back(AnalysisOf(ldf));
    }
    for (auto _ : state) {
        double sum = 0.0;
        for (CTailFactorAnalysis& a : analyses) {
            if (allCurves)
                a.Calculate();
            else
                a.CalculateCurve(1);
            sum += a.GetTail(1);
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK_CAPTURE(BM_TailFits1000, exponential, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TailFits1000, all_three_curves, true)->Unit(benchmark::kMicrosecond);

// One cell of a 480 x 480 triangle edited under an exhibit with five
// statistics: the edit recalculates the factor triangle, every statistic and
// the selected rows (a view's change must come in well under a 16 ms frame).
void BM_ExhibitCellEdit480(benchmark::State& state) {
    const Triangle& t = Data("tri_480.csv");
    CDataObject source;
    std::vector<std::uint16_t> lens;
    for (int r = 0; r < t.rows; ++r) {
        int len = t.cols;
        while (len > 0 && !t.Has(r, len - 1)) --len;
        lens.push_back(static_cast<std::uint16_t>(len));
    }
    source.SetShape(static_cast<std::uint16_t>(t.rows), static_cast<std::uint16_t>(t.cols), CDataObject::VT_TRIANGLE,
                    lens);
    source.SetAllCells(t.values, t.flags, 0);
    CExhibit ex;
    ex.SetHasStatistics(true);
    ex.SetStatsDefs({{1, 1, 0, 0, 0, 0, 0, 0, 0},
                     {2, 1, 0, 0, 0, 0, 0, 1, 0},
                     {3, 1, 0, 1, 0, 0, 5, 0, 0},
                     {4, 2, 0, 0, 0, 0, 0, 0, 0},
                     {5, 4, 0, 0, 0, 0, 0, 0, 0}},
                    0, 0);
    ex.SetSource(&source);
    CStatistics* st = nullptr;
    ex.GetStatistics(st);
    double v = 0;
    char flag = 0;
    st->GetAt(1, 0, 0, v, flag);
    std::vector<double> ldf;
    std::vector<unsigned char> ok;
    ChainLadderTotal(t.Ref(), ldf, ok);
    if (std::fabs(v - ldf[0]) > 1e-12) {
        state.SkipWithError("exhibit volume average differs from the volume-weighted factor");
        return;
    }
    const double original = t.At(100, 50);
    int i = 0;
    for (auto _ : state) source.SetAt(100, 50, original + (++i & 1));
}
BENCHMARK(BM_ExhibitCellEdit480)->Unit(benchmark::kMillisecond);

// The generated project of bench_kernel_core (120 monthly exposure periods by
// 120 monthly ages; the template's eleven triangles and nineteen user ones,
// three layers entered, two calculated) with the standard exhibits and
// methods every new project carries, one more exhibit on each user triangle,
// and every exhibit's selections filled from its volume-weighted average.
struct GeneratedProject {
    std::unique_ptr<CProject> p = std::make_unique<CProject>();
    std::vector<CFormula*> exhibits, methods;

    GeneratedProject() {
        std::uint16_t gen = 5, n = 120, year = 2000, interval = 1, nd = 120, age = 1;
        PRDLENGTH el = PRD_MONTH, dl = PRD_MONTH;
        LAYERNAMES c1 = GROSS, c2 = ASSUMED;
        p->Create(gen, n, el, year, interval, nd, dl, age, c1, c2);
        for (int i = 0; i < 19; ++i) {
            CDataObject proto;
            proto.SetIDLongName("Generated triangle " + std::to_string(i + 1));
            proto.SetCumulable(true);
            QSID id = 0;
            p->AddNewObject(proto, id, 1);
            CExhibit ex;
            ex.SetIDLongName("Generated exhibit " + std::to_string(i + 1));
            ex.SetHasStatistics(true);
            ex.SetSourceID(id);
            QSID exId = 0;
            p->AddNewFormulaObject(ex, 4, 1, 5060, true, exId);
        }
        p->SetStatsDefs({{1, 1, 0, 0, 0, 0, 0, 1, 0}, {2, 1, 0, 0, 0, 0, 0, 0, 0}, {3, 1, 0, 0, 0, 0, 12, 1, 0}}, 1, 0);
        std::mt19937 rng(7);
        std::uniform_real_distribution<double> dist(1.0, 1000.0);
        p->SetRecalcOn(0);
        for (unsigned short layer : {NET, CEDED, DIRECT}) {
            p->ForEachObject([&](QSID id, unsigned short l, CFormula* f) {
                auto* d = dynamic_cast<CDataObject*>(f);
                if (!d || l != layer || d->GetVectorType() == CDataObject::VT_ROW || GetIDDOType(id) > 2) return;
                if (GetIDIndex(id) == 494 || GetIDIndex(id) == 497) return;  // adjustments: none
                std::vector<double> values(d->Values().size());
                std::vector<std::uint8_t> flags(values.size(), CDataObject::CF_VALUE);
                // Cumulative amounts: each row grows along its ages.
                std::uint16_t rows = 0, cols = 0;
                d->GetMaxRowsCols(rows, cols);
                for (int r = 0; r < rows; ++r) {
                    double run = 0;
                    for (int c = 0; c < cols; ++c) values[static_cast<size_t>(r) * cols + c] = run += dist(rng);
                }
                d->SetAllCells(values, flags, 1);
            });
        }
        p->SetRecalcOn(1);
        p->PostInit();
        p->FillProjFromStat({1, 1, 0, 0, 0, 0, 0, 1}, nullptr);
        p->ForEachObject([&](QSID, unsigned short, CFormula* f) {
            if (dynamic_cast<CExhibit*>(f)) exhibits.push_back(f);
            if (dynamic_cast<CMethod*>(f)) methods.push_back(f);
        });
    }
};

// Statistics of every exhibit and every method of the generated project,
// recalculated from scratch.
void BM_GeneratedProjectAllExhibitsAndMethods(benchmark::State& state) {
    GeneratedProject g;
    CDataObject* ult = nullptr;
    auto* paidDev = dynamic_cast<CMethod*>(g.p->FindObject(301002001, NET));
    if (!paidDev || !(ult = const_cast<CDataObject*>(paidDev->GetUltimateColumn()))) {
        state.SkipWithError("the paid development method is missing");
        return;
    }
    for (auto _ : state) {
        for (CFormula* e : g.exhibits) e->Recalculate();
        for (CFormula* m : g.methods) m->Recalculate();
    }
    state.counters["exhibits"] = static_cast<double>(g.exhibits.size());
    state.counters["methods"] = static_cast<double>(g.methods.size());
}
BENCHMARK(BM_GeneratedProjectAllExhibitsAndMethods)->Unit(benchmark::kMillisecond);

// One paid-loss cell of the Net layer edited: the calculated layers follow,
// then every exhibit and method that reads paid losses in any of them.
void BM_GeneratedProjectOneCellChange(benchmark::State& state) {
    GeneratedProject g;
    CDataObject* paid = g.p->FindDataObject(101000001, NET);
    double v = 0;
    std::uint8_t f = 0;
    paid->GetAt(60, 30, v, f);
    int i = 0;
    for (auto _ : state) paid->SetAt(60, 30, v + (++i & 1));
}
BENCHMARK(BM_GeneratedProjectOneCellChange)->Unit(benchmark::kMillisecond);

}  // namespace

// The loss summary report of the generated project gathering every method
// ultimate with straight and weighted averages (weights on the latest 12
// periods), recalculated; and the ultimates flood fill from its weighted
// average with the incurred-loss minimum.
struct GeneratedSummary {
    GeneratedProject g;
    CSummaryReport* report = nullptr;
    bool ok = false;
    GeneratedSummary() {
        QSIDArray selected, available;
        int s = 0, u = 0, w = 0, d = 0;
        CKDVUltWeightDataInfo weights(12);
        if (g.p->GetSummaryRptOptions(301003003, NET, selected, available, s, u, w, weights, d) != 0) return;
        for (QSID id : available)
            if (GetIDDataType(id) == 2) selected.push_back(id);
        for (std::size_t k = 0; k < selected.size(); ++k)
            weights.SetColData(CKDVUltWeightData(selected[k], 1.0 + k, std::vector<double>(12, 2.0 + k)));
        if (selected.empty() || g.p->SetSummaryRptOptions(301003003, NET, selected, 1, 1, 1, 1, weights) != 0) return;
        report = dynamic_cast<CSummaryReport*>(g.p->FindObject(301003003, NET));
        unsigned short layer = NET;
        ok = report && g.p->SetUltFloodFillOption(301003003, layer,
                                                  CKDVUltFloodFillData(301003003, CSummaryReport::CR_WEIGHTED, NET, "w"),
                                                  101000011, 1) == 1;
    }
};

void BM_GeneratedSummaryReport(benchmark::State& state) {
    GeneratedSummary s;
    if (!s.ok) {
        state.SkipWithError("the summary report could not be set up");
        return;
    }
    for (auto _ : state) s.report->Recalculate();
    state.counters["estimates"] = static_cast<double>(s.report->GetNumDataObjects() - 3);
}
BENCHMARK(BM_GeneratedSummaryReport)->Unit(benchmark::kMicrosecond);

void BM_GeneratedUltimateFloodFill(benchmark::State& state) {
    GeneratedSummary s;
    if (!s.ok) {
        state.SkipWithError("the summary report could not be set up");
        return;
    }
    for (auto _ : state) s.g.p->FloodFillUltimate(nullptr);
}
BENCHMARK(BM_GeneratedUltimateFloodFill)->Unit(benchmark::kMicrosecond);

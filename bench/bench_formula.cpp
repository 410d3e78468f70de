// Speed of formulas on a large generated project: 120 monthly exposure
// periods by 120 monthly ages. A one-cell change of an input triangle must
// recalculate the formula tables that read it (and only those) well within a
// frame (16 ms); the unrelated tables cost nothing.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "CProject.h"
#include "FormulaBinding.h"
#include "FormulaTestHelpers.h"

namespace {
using qs::test::FormulaTokens;
constexpr std::uint16_t kFormulaPeriods = 120;
constexpr QSID kFormulaPaid = 101000001;
constexpr QSID kFormulaIncurred = 101000011;
constexpr QSID kFormulaPremium = 101000041;

std::unique_ptr<CProject> FormulaProject(int dependent, int unrelated) {
    auto p = std::make_unique<CProject>();
    std::uint16_t gen = 5, n = kFormulaPeriods, year = 2000, interval = 1, nd = kFormulaPeriods, age = 1;
    PRDLENGTH el = PRD_MONTH, dl = PRD_MONTH;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    p->Create(gen, n, el, year, interval, nd, dl, age, c1, c2);
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> dist(1.0, 1000.0);
    for (QSID id : {kFormulaPaid, kFormulaIncurred, kFormulaPremium}) {
        CDataObject* d = p->FindDataObject(id, NET);
        std::vector<double> values(d->Values().size());
        for (double& v : values) v = dist(rng);
        d->SetAllCells(values, std::vector<std::uint8_t>(values.size(), CDataObject::CF_VALUE), 1);
    }
    auto add = [&](const std::string& name, const std::string& formula) {
        const CStringStack s = FormulaTokens(formula);
        return qs::test::AddFormulaTable(*p, name, s, s);
    };
    // A chain reading the paid triangle, and tables reading the incurred one.
    QSID prev = kFormulaPaid;
    for (int i = 0; i < dependent; ++i)
        prev = add("Paid step " + std::to_string(i), "DO" + std::to_string(prev) + " / DO" +
                                                         std::to_string(kFormulaPremium) + " \xB1% 5");
    for (int i = 0; i < unrelated; ++i)
        add("Incurred copy " + std::to_string(i), "Develop ( DO" + std::to_string(kFormulaIncurred) + " , 1.1 )");
    p->PostInit();
    return p;
}

// One Net paid cell changes; Gross and Assumed paid follow by the layer
// relations, so 10 chained tables recalculate in each of those three layers
// (30 tables of 14,400 cells); the 20 tables reading incurred do not.
void BM_FormulaOneCellChange(benchmark::State& state) {
    auto p = FormulaProject(10, 20);
    CDataObject* paid = p->FindDataObject(kFormulaPaid, NET);
    double v = 1.0;
    for (auto _ : state) {
        v += 1.0;
        paid->SetAt(5, 5, v);
    }
}
BENCHMARK(BM_FormulaOneCellChange)->Unit(benchmark::kMillisecond);

// Compiling and running a chain-ladder formula on a 120 x 120 triangle.
void BM_FormulaChainLadder(benchmark::State& state) {
    auto p = FormulaProject(0, 0);
    ProjectFormulaResolver resolver(*p, NET);
    const CStringStack s = FormulaTokens("Develop ( Diagonal ( DO101000001 ) , CumulateSDF ( WeightedAvg ( Shift ( "
                                         "DO101000001 , - 1 ) / DO101000001 , DO101000001 ) ) )");
    for (auto _ : state) {
        qsformula::Value out;
        benchmark::DoNotOptimize(qsformula::Test(s, resolver, &out));
    }
}
BENCHMARK(BM_FormulaChainLadder)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {
// The same change without formula tables: the layer relations' own share.
void BM_FormulaBaselineCellChange(benchmark::State& state) {
    auto p = FormulaProject(0, 20);
    CDataObject* paid = p->FindDataObject(kFormulaPaid, NET);
    double v = 1.0;
    for (auto _ : state) {
        v += 1.0;
        paid->SetAt(5, 5, v);
    }
}
BENCHMARK(BM_FormulaBaselineCellChange)->Unit(benchmark::kMillisecond);
}  // namespace

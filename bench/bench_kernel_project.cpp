// Where a user waits on the kernel: building a large standard project, one
// cell edited in it with everything that depends on it brought up to date,
// and saving and loading a large project through the compound file with its
// crash-safe commit (temporary file, flush, rename).
//
// The standard project is what a new project carries (the template's
// triangles, exhibits, methods and reports in five layers, two of them
// calculated) on 480 monthly exposure periods by 480 monthly ages, with the
// paid triangle of tri_480.csv entered in Net and every exhibit's selections
// filled from its all-year volume-weighted average.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "CDataObject.h"
#include "CExhibit.h"
#include "CProject.h"
#include "CompoundFile.h"
#include "ReservingMath.h"

using namespace qs::calc;

namespace {

constexpr QSID kPaid = 101000001;

const Triangle& Tri480() {
    static const Triangle t = [] {
        std::ifstream f(std::string(QS_BENCH_DATA_DIR) + "/tri_480.csv", std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        Triangle out;
        if (!ParseGridCsv(s.str(), out)) out = Triangle{};
        return out;
    }();
    return t;
}

std::unique_ptr<CProject> CreateStandard(std::uint16_t periods) {
    auto p = std::make_unique<CProject>();
    std::uint16_t gen = 5, n = periods, year = 2000, interval = 1, nd = periods, age = 1;
    PRDLENGTH el = PRD_MONTH, dl = PRD_MONTH;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    if (p->Create(gen, n, el, year, interval, nd, dl, age, c1, c2) != 0) return nullptr;
    return p;
}

// Enters the triangle into Net paid in one bulk call (cells beyond the
// project's staircase are dropped by the table itself).
bool EnterPaid(CProject& p, const Triangle& t) {
    CDataObject* paid = p.FindDataObject(kPaid, NET);
    if (!paid) return false;
    std::uint16_t rows = 0, cols = 0;
    paid->GetMaxRowsCols(rows, cols);
    if (rows != t.rows || cols != t.cols) return false;
    return paid->SetAllCells(t.values, t.flags, 1) == 0;
}

const std::vector<std::uint8_t> kVolumeAllYears = {1, 1, 0, 0, 0, 0, 0, 1};

std::unique_ptr<CProject> BuildStandard480() {
    auto p = CreateStandard(480);
    if (!p || !EnterPaid(*p, Tri480()) || p->FillProjFromStat(kVolumeAllYears, nullptr) != 0) return nullptr;
    return p;
}

// Create, bulk entry, selections filled from a statistic.
void BM_StandardProjectBuild480(benchmark::State& state) {
    if (Tri480().rows != 480) {
        state.SkipWithError("tri_480.csv is missing");
        return;
    }
    for (auto _ : state) {
        auto p = BuildStandard480();
        if (!p) {
            state.SkipWithError("the project could not be built");
            return;
        }
        benchmark::DoNotOptimize(p.get());
        state.PauseTiming();  // freeing it is not part of the wait
        p.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StandardProjectBuild480)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One Net paid cell edited; the calculated layers, the paid exhibits, the
// adjusted tables, methods and reports reading it all follow before the
// call returns.
void BM_StandardProjectCellEdit480(benchmark::State& state) {
    auto p = BuildStandard480();
    if (!p) {
        state.SkipWithError("the project could not be built");
        return;
    }
    CDataObject* paid = p->FindDataObject(kPaid, NET);
    double v = 0;
    std::uint8_t f = 0;
    paid->GetAt(200, 100, v, f);
    int i = 0;
    for (auto _ : state) paid->SetAt(200, 100, v + (++i & 1));
}
BENCHMARK(BM_StandardProjectCellEdit480)->Unit(benchmark::kMillisecond);

// The generated project of bench_kernel_core: 120 x 120 monthly, the
// template's eleven triangles and nineteen more, three layers entered
// (about 11.7 MB stored).
std::unique_ptr<CProject> Generated120() {
    auto p = CreateStandard(120);
    for (int i = 0; i < 19; ++i) {
        CDataObject proto;
        proto.SetIDLongName("Generated triangle " + std::to_string(i + 1));
        proto.SetCumulable(true);
        QSID id = 0;
        p->AddNewObject(proto, id, 1);
    }
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> dist(0.0, 1000.0);
    for (unsigned short layer : {NET, CEDED, DIRECT}) {
        p->ForEachObject([&](QSID, unsigned short l, CFormula* o) {
            auto* d = dynamic_cast<CDataObject*>(o);
            if (!d || l != layer || d->GetVectorType() != CDataObject::VT_TRIANGLE) return;
            std::vector<double> values(d->Values().size());
            std::vector<std::uint8_t> flags(values.size(), CDataObject::CF_VALUE);
            for (double& x : values) x = dist(rng);
            d->SetAllCells(values, flags, 1);
        });
    }
    return p;
}

std::string BenchFilePath() {
    return "/tmp/qs-bench-project-" + std::to_string(::getpid()) + ".qsp";
}

// Saving as the application does: the project stream, written into the
// compound file, committed through a temporary file that is flushed and
// renamed over the target.
bool SaveToFile(const CProject& p, const std::string& path, std::size_t& bytes) {
    CompoundFile file;
    if (file.Create(path) != CompoundFile::OpenResult::Ok) return false;
    std::vector<std::uint8_t> stream = p.SaveProject();
    bytes = stream.size();
    return file.WriteStream("QS1", std::move(stream)) && file.Commit();
}

void BM_SaveProjectFile(benchmark::State& state) {
    auto p = Generated120();
    const std::string path = BenchFilePath();
    std::size_t bytes = 0;
    for (auto _ : state)
        if (!SaveToFile(*p, path, bytes)) {
            state.SkipWithError("save failed");
            break;
        }
    std::remove(path.c_str());
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_SaveProjectFile)->Unit(benchmark::kMillisecond);

// Opening the saved file and loading the project from its stream.
void BM_LoadProjectFile(benchmark::State& state) {
    auto p = Generated120();
    const std::string path = BenchFilePath();
    std::size_t bytes = 0;
    if (!SaveToFile(*p, path, bytes)) {
        state.SkipWithError("save failed");
        return;
    }
    p.reset();
    for (auto _ : state) {
        CompoundFile file;
        std::vector<std::uint8_t> stream;
        CProject q;
        if (file.Open(path, CompoundFile::Mode::ReadOnly) != CompoundFile::OpenResult::Ok ||
            !file.ReadStream("QS1", stream) || q.LoadProject(stream.data(), stream.size()) != 0) {
            state.SkipWithError("load failed");
            break;
        }
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadProjectFile)->Unit(benchmark::kMillisecond);

}  // namespace

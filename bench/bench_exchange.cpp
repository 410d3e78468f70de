// Whole-project exchange at the size users wait on: the 120 x 120 monthly
// benchmark project (bench_kernel_project: the template's triangles and
// nineteen more, three layers entered) written to each outside format and
// read back into a new project. A Lotus sheet holds at most 8192 rows, so
// the Lotus pair runs on the same project with only Net entered (thirty
// tables of 121 rows); the full project is refused by the sheet's limit.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "AsciiRecordLayout.h"
#include "CDataObject.h"
#include "CFile.h"
#include "CProject.h"
#include "ValueArrays.h"

namespace {

std::unique_ptr<CProject> Generated120(std::initializer_list<unsigned short> layers) {
    auto p = std::make_unique<CProject>();
    std::uint16_t gen = 5, n = 120, year = 2000, interval = 1, age = 1;
    PRDLENGTH len = PRD_MONTH;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    if (p->Create(gen, n, len, year, interval, n, len, age, c1, c2) != 0) return nullptr;
    p->SetFileName("BENCH120.qs5");
    for (int i = 0; i < 19; ++i) {
        CDataObject proto;
        proto.SetIDLongName("Generated triangle " + std::to_string(i + 1));
        proto.SetCumulable(true);
        QSID id = 0;
        p->AddNewObject(proto, id, 1);
    }
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> dist(0.0, 1000.0);
    for (unsigned short layer : layers) {
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

const CProject& Full() {
    static const std::unique_ptr<CProject> p = Generated120({NET, CEDED, DIRECT});
    return *p;
}

const CProject& NetOnly() {
    static const std::unique_ptr<CProject> p = Generated120({NET});
    return *p;
}

std::string TempPath(const char* ext) {
    return "/tmp/qs-bench-exchange-" + std::to_string(::getpid()) + ext;
}

// Record widths wide enough for the generated values (a "Data" field of 24).
void Widths(CByteArray& header, CByteArray& data) {
    qs::exchange::AsciiRecordLayout layout = qs::exchange::AsciiRecordLayout::Defaults();
    layout.header[1] = 3;   // Num. Rows/Columns: 120
    layout.header[7] = 3;
    layout.header[9] = 4;   // First Eval./Dev. Period
    layout.header[11] = 3;  // Num. Columns
    layout.header[13] = 2;  // Eval. Periods per Yr.
    layout.data[1] = 3;
    layout.data[5] = 2;
    layout.data[7] = 4;
    layout.data[9] = 24;
    layout.HeaderWidths(header);
    layout.DataWidths(data);
}

void Report(benchmark::State& state, const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    long size = 0;
    if (f) {
        std::fseek(f, 0, SEEK_END);
        size = std::ftell(f);
        std::fclose(f);
    }
    state.counters["MB"] = double(size) / 1e6;
}

void BM_ExportLotusNet120(benchmark::State& state) {
    const std::string path = TempPath(".wk1");
    for (auto _ : state)
        if (NetOnly().ExportWK1(path, 1, 0) != 0) {
            state.SkipWithError("export failed");
            break;
        }
    Report(state, path);
    std::remove(path.c_str());
}
BENCHMARK(BM_ExportLotusNet120)->Unit(benchmark::kMillisecond);

void BM_ImportLotusNet120(benchmark::State& state) {
    const std::string path = TempPath(".wk1");
    if (NetOnly().ExportWK1(path, 1, 0) != 0) {
        state.SkipWithError("export failed");
        return;
    }
    for (auto _ : state) {
        CProject p;
        if (p.ImportWK1(path, 1, 0, 0) != 0) {
            state.SkipWithError("import failed");
            break;
        }
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ImportLotusNet120)->Unit(benchmark::kMillisecond);

void BM_ExportEnhancedAscii120(benchmark::State& state) {
    const std::string path = TempPath(".dat");
    for (auto _ : state) {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        if (Full().ExportExtAscii(file, 1) != 0) {
            state.SkipWithError("export failed");
            break;
        }
        file.Close();
    }
    Report(state, path);
    std::remove(path.c_str());
}
BENCHMARK(BM_ExportEnhancedAscii120)->Unit(benchmark::kMillisecond);

void BM_ImportEnhancedAscii120(benchmark::State& state) {
    const std::string path = TempPath(".dat");
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        if (Full().ExportExtAscii(file, 1) != 0) {
            state.SkipWithError("export failed");
            return;
        }
        file.Close();
    }
    for (auto _ : state) {
        CFile file(path, CFile::modeRead);
        CProject p;
        if (p.ImportExtAscii(file, 0, 0, 0) != 0) {
            state.SkipWithError("import failed");
            break;
        }
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ImportEnhancedAscii120)->Unit(benchmark::kMillisecond);

void BM_ExportAsciiNet120(benchmark::State& state) {
    const std::string path = TempPath(".asc");
    CByteArray header, data;
    Widths(header, data);
    for (auto _ : state)
        if (Full().ExportAscii(path, NET, 1, header, data) != 0) {
            state.SkipWithError("export failed");
            break;
        }
    Report(state, path);
    std::remove(path.c_str());
}
BENCHMARK(BM_ExportAsciiNet120)->Unit(benchmark::kMillisecond);

void BM_ImportAsciiNet120(benchmark::State& state) {
    const std::string path = TempPath(".asc");
    CByteArray header, data;
    Widths(header, data);
    if (Full().ExportAscii(path, NET, 1, header, data) != 0) {
        state.SkipWithError("export failed");
        return;
    }
    // ASCII records name tables by index only: the generated (user) tables
    // must exist, so each pass reads into an empty project of the same shape.
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<CProject> p = Generated120({});
        state.ResumeTiming();
        if (p->ImportAscii(path, NET, 1, header, data, 0, 0) != 0) {
            state.SkipWithError("import failed");
            break;
        }
        state.PauseTiming();
        p.reset();
        state.ResumeTiming();
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ImportAsciiNet120)->Unit(benchmark::kMillisecond);

// The full project in a Lotus sheet: refused at once by the sheet's limit.
void BM_ExportLotusFull120Refused(benchmark::State& state) {
    const std::string path = TempPath(".wk1");
    for (auto _ : state)
        if (Full().ExportWK1(path, 1, 0) != 23) {
            state.SkipWithError("the sheet's limit was not reported");
            break;
        }
    std::remove(path.c_str());
}
BENCHMARK(BM_ExportLotusFull120Refused)->Unit(benchmark::kMillisecond);

}  // namespace

// Writes a starting corpus for each fuzz target from the test fixtures:
//   qs_fuzz_seeds <out dir> <tests/data dir>
// makes <out>/<target>/ for project_stream, project_file, wk1, ascii,
// ext_ascii, pc5, factor_library, archive, profile and exhibit_defaults; the
// inputs that once broke a target (<tests/data>/fuzz/<target>/) join its seeds.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CArchive.h"
#include "CFSLib.h"
#include "CFactorSet.h"
#include "CFile.h"
#include "CInterpolateSelection.h"
#include "CObArray.h"
#include "CProject.h"
#include "CompoundFile.h"
#include "ExhibitDefaultsFiles.h"
#include "ValueArrays.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const fs::path& path, const std::string& text) {
    WriteAll(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

// The "QS1" stream as the stream target takes it: generation byte, body.
std::vector<std::uint8_t> StreamSeed(const std::vector<std::uint8_t>& qs1) {
    if (qs1.size() < 16) return {};
    std::vector<std::uint8_t> seed = {static_cast<std::uint8_t>(qs1[4] - 1)};
    seed.insert(seed.end(), qs1.begin() + 12, qs1.end() - 4);
    return seed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: qs_fuzz_seeds <out dir> <tests/data dir>\n");
        return 2;
    }
    const fs::path out = argv[1], data = argv[2];
    CProject raa;
    for (const char* name : {"gen.qs2", "gen.qs3", "gen.qs4", "gen.qs5"}) {
        const fs::path fixture = data / "projects" / name;
        WriteAll(out / "project_file" / name, ReadAll(fixture));
        CompoundFile file;
        std::vector<std::uint8_t> qs1;
        if (file.Open(fixture.string(), CompoundFile::Mode::ReadOnly) != CompoundFile::OpenResult::Ok ||
            !file.ReadStream("QS1", qs1))
            continue;
        WriteAll(out / "project_stream" / name, StreamSeed(qs1));
        if (std::string(name) == "gen.qs5") raa.LoadProject(qs1.data(), qs1.size());
    }

    // The exchange formats, written from the RAA project.
    const fs::path scratch = out / "scratch";
    fs::create_directories(scratch);
    if (raa.ExportWK1((scratch / "raa.wk1").string(), 1, 0) == 0)
        WriteAll(out / "wk1" / "raa.wk1", ReadAll(scratch / "raa.wk1"));
    CByteArray header, record;
    for (int i = 0; i < 17; ++i) header.Add(12);
    header.Add(1);  // line feeds
    for (int i = 0; i < 11; ++i) record.Add(12);
    if (raa.ExportAscii((scratch / "raa.asc").string(), 1, 1, header, record) == 0) {
        std::vector<std::uint8_t> seed;
        for (INT_PTR i = 0; i < header.GetSize(); ++i) seed.push_back(header[i]);
        for (INT_PTR i = 0; i < record.GetSize(); ++i) seed.push_back(record[i]);
        seed.push_back(0);  // Net
        const auto text = ReadAll(scratch / "raa.asc");
        seed.insert(seed.end(), text.begin(), text.end());
        WriteAll(out / "ascii" / "raa.seed", seed);
    }
    {
        CFile file;
        if (file.Open((scratch / "raa.dat").string(), CFile::modeCreate | CFile::modeWrite) &&
            raa.ExportExtAscii(file, 1) == 0) {
            file.Close();
            WriteAll(out / "ext_ascii" / "raa.dat", ReadAll(scratch / "raa.dat"));
        }
    }
    const auto pc5 = ReadAll(data / "exchange" / "raa.pc5");
    if (pc5.size() > 4) WriteAll(out / "pc5" / "raa.pc5", std::vector<std::uint8_t>(pc5.begin() + 4, pc5.end()));

    // A factor library with one set.
    CFSLib library;
    library.SetName("Seeds");
    library.AddFactorSet(CFactorSet("Industry", "Seed factors", 10, PRD_YEAR, 12));
    WriteAll(out / "factor_library" / "one.dfl", library.ToBytes());

    // An archive of objects: an array with two selections, one referred to twice.
    {
        std::vector<std::uint8_t> bytes;
        CInterpolateSelection a(1, CURVE_WEIBULL, INPUT_CUMULATIVE), b(2, CURVE_LINEAR, INPUT_RATIO_TO_ULTIMATE);
        CObArray array;
        array.Add(&a);
        array.Add(&b);
        array.Add(&a);
        CArchive ar(bytes, CArchive::store);
        ar << &array;
        ar << std::string("tail");
        ar.Close();
        WriteAll(out / "archive" / "array.bin", bytes);
    }

    WriteText(out / "profile" / "lf.ini", "; settings\n[Settings]\nFiles Path = /data\nDecimals=2\n\n[Recent File List]\nFile1=a.qs5\n");
    WriteText(out / "profile" / "crlf.ini", "[Settings]\r\nMode=1\r\n[Other]\r\r\nx\n");
    // The exhibit defaults files: byte 0 picks the file.
    {
        namespace defaults = qs::views::defaults;
        auto withChoice = [](std::uint8_t choice, std::vector<std::uint8_t> bytes) {
            bytes.insert(bytes.begin(), choice);
            return bytes;
        };
        WriteAll(out / "exhibit_defaults" / "stats.seed",
                 withChoice(0, defaults::StatsBytes({{1, 1, 0, 0, 0, 0, 3, 1, 1}, {2, 4, 1, 1, 2, 1, 0, 0, 0}})));
        WriteAll(out / "exhibit_defaults" / "selectns.seed", withChoice(1, defaults::SelectionsBytes({1, 0, 1, 0, 1, 12})));
        defaults::InterpolationDefaults d;
        d.selections = {CInterpolateSelection(1, CURVE_WEIBULL, INPUT_CUMULATIVE),
                        CInterpolateSelection(2, CURVE_LINEAR, INPUT_RATIO_TO_ULTIMATE)};
        d.display = 1;
        WriteAll(out / "exhibit_defaults" / "interpolation.seed", withChoice(2, defaults::InterpolationBytes(d)));
        WriteAll(out / "exhibit_defaults" / "exstats.seed", withChoice(3, defaults::ExhibitStatsBytes({501010001, 501010011})));
    }

    // Inputs that once broke a target stay among its seeds.
    std::error_code ec;
    for (const auto& target : fs::directory_iterator(data / "fuzz", ec)) {
        if (!target.is_directory()) continue;
        for (const auto& input : fs::directory_iterator(target.path(), ec))
            if (input.is_regular_file())
                WriteAll(out / target.path().filename() / input.path().filename(), ReadAll(input.path()));
    }

    fs::remove_all(scratch);
    return 0;
}

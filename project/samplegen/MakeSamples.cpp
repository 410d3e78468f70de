// Builds projects from public loss triangles (long CSV: development,
// origin, values...) with the kernel and writes them as project files.
//   qs_make_samples --samples <out dir> <triangles dir>
//       sample.qs5 (RAA, annual) and sampleinterim.qs5 (annual origins,
//       quarterly development: paid and incurred)
//   qs_make_samples --generations <out dir> <triangles dir>
//       gen.qs1 .. gen.qs5: the RAA project in each file generation
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "CDataObject.h"
#include "CExhibit.h"
#include "CKDVUltWeightData.h"
#include "CMethod.h"
#include "MethodTemplates.h"
#include "CProject.h"
#include "CompoundFile.h"

namespace {

constexpr QSID kPaidLossId = 101000001;
constexpr QSID kIncurredLossId = 101000016;

struct Row {
    int devYear = 0, devMonth = 12, origin = 0;
    std::vector<double> values;
};

std::vector<Row> ReadTriangle(const std::string& path) {
    std::vector<Row> rows;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::stringstream ss(line);
        std::string field;
        Row row;
        std::getline(ss, field, ',');
        row.devYear = std::stoi(field.substr(0, 4));
        if (field.size() > 5) row.devMonth = std::stoi(field.substr(5));
        std::getline(ss, field, ',');
        row.origin = std::stoi(field);
        while (std::getline(ss, field, ',')) row.values.push_back(std::stod(field));
        rows.push_back(row);
    }
    return rows;
}

bool CreateProject(CProject& p, std::uint16_t numExp, std::uint16_t firstYear, std::uint16_t numDev,
                   PRDLENGTH devLength) {
    std::uint16_t generation = 5, interval = 1, firstAge = static_cast<std::uint16_t>(devLength);
    PRDLENGTH expLength = PRD_YEAR;
    LAYERNAMES calc1 = GROSS, calc2 = ASSUMED;
    p.SetIncludesPrior(false);
    return p.Create(generation, numExp, expLength, firstYear, interval, numDev, devLength, firstAge, calc1, calc2) ==
           0;
}

// Fills a table from one value column; devLength months per column.
void Fill(CProject& p, QSID id, const std::vector<Row>& rows, int firstYear, int devLength, std::size_t column) {
    CDataObject* table = p.FindDataObject(id, NET);
    if (table == nullptr) return;
    for (const Row& r : rows) {
        const int months = (r.devYear - r.origin) * 12 + r.devMonth;
        table->SetAt(r.origin - firstYear, months / devLength - 1, r.values.at(column));
    }
}

bool MakeRaa(CProject& p, const std::string& triangles) {
    const std::vector<Row> rows = ReadTriangle(triangles + "/raa.csv");
    if (rows.empty() || !CreateProject(p, 10, 1981, 10, PRD_YEAR)) return false;
    Fill(p, kPaidLossId, rows, 1981, 12, 0);
    return true;
}

// A tail of 1.0 in every standard exhibit: the statistics fill keeps the
// tail the user chose, and without one no age-to-ultimate factor exists.
void SetNoTail(CProject& p) {
    for (int a : {1, 2, 10, 11, 16, 19}) {
        auto* ex = dynamic_cast<CExhibit*>(p.FindObject(qsmethods::StandardExhibitID(a), NET));
        CDataObject* sdf = nullptr;
        if (ex == nullptr || ex->GetSDFObject(sdf) != 0 || sdf == nullptr) continue;
        std::uint16_t rows = 0, cols = 0;
        sdf->GetMaxRowsCols(rows, cols);
        if (cols > 0) sdf->SetAt(0, cols - 1, 1.0);
    }
}

// The loss summary report of the RAA sample: the paid development, expected
// loss ratio and paid Bornhuetter-Ferguson ultimates side by side, with 40,000
// of earned premium a year at an expected loss ratio of 70 %, both averages,
// the selected ultimate and the weights shown: the latest years lean on the
// premium-based methods.
void SetUpLossReport(CProject& p) {
    if (CDataObject* premium = p.FindDataObject(101000041, NET))
        for (int r = 0; r < 10; ++r) premium->SetAt(r, 0, 40000);
    if (auto* elr = dynamic_cast<CMethod*>(p.FindObject(qsmethods::StandardMethodID(qsmethods::kExpectedLossRatio), NET)))
        for (int r = 0; r < 10; ++r) elr->GetDataObject(2)->SetAt(r, 0, 0.7);
    QSIDArray tables;
    for (int index : {int(qsmethods::kPaidDevelopment), int(qsmethods::kExpectedLossRatio), int(qsmethods::kPaidBF)})
        if (auto* m = dynamic_cast<CMethod*>(p.FindObject(qsmethods::StandardMethodID(index), NET)))
            tables.push_back(GetLayerNeutralID(m->GetUltID()));
    if (tables.size() != 3) return;
    CKDVUltWeightDataInfo weights(3);
    weights.SetColData(CKDVUltWeightData(tables[0], 1.0, {0.6, 0.3, 0.1}));
    weights.SetColData(CKDVUltWeightData(tables[1], 0.0, {0.1, 0.2, 0.3}));
    weights.SetColData(CKDVUltWeightData(tables[2], 0.0, {0.3, 0.5, 0.6}));
    p.SetSummaryRptOptions(301003003, NET, tables, 1, 1, 1, 1, weights);
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// A compound project file: "QS1", then the graph streams when wanted.
bool WriteCompound(const std::string& path, CProject& p, std::uint32_t generation, bool graphStreams) {
    std::remove(path.c_str());
    CompoundFile file;
    if (file.Create(path) != CompoundFile::OpenResult::Ok) return false;
    bool ok = file.WriteStream("QS1", p.SaveProject(generation));
    if (graphStreams) {
        if (!p.GraphList().empty()) ok = ok && file.WriteStream("GraphData", p.SaveGraphData());
        ok = ok && file.WriteStream("DefGraphStyles", p.SaveDefGraphStyles());
    }
    return ok && file.Commit();
}

int Fail(const std::string& what) {
    std::cerr << "qs_make_samples: " << what << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return Fail("usage: qs_make_samples --samples|--generations <out dir> <triangles dir>");
    const std::string mode = argv[1], out = argv[2], triangles = argv[3];
    if (mode == "--samples") {
        CProject raa;
        if (!MakeRaa(raa, triangles)) return Fail("cannot build the RAA project");
        raa.SetCompanyName("Reinsurance Association of America (public data)");
        // Selections from the volume-weighted averages, so the standard
        // development methods show the chain-ladder ultimates at once.
        SetNoTail(raa);
        raa.FillProjFromStat({1, 1, 0, 0, 0, 0, 0, 1}, nullptr);
        SetUpLossReport(raa);
        if (!WriteCompound(out + "/sample.qs5", raa, CProject::kStorageGeneration, true))
            return Fail("cannot write sample.qs5");

        const std::vector<Row> rows = ReadTriangle(triangles + "/quarterly.csv");
        CProject interim;
        if (rows.empty() || !CreateProject(interim, 12, 1995, 45, PRD_QUARTER))
            return Fail("cannot build the interim project");
        Fill(interim, kIncurredLossId, rows, 1995, 3, 0);
        Fill(interim, kPaidLossId, rows, 1995, 3, 1);
        SetNoTail(interim);
        interim.FillProjFromStat({1, 1, 0, 0, 0, 0, 0, 1}, nullptr);
        if (!WriteCompound(out + "/sampleinterim.qs5", interim, CProject::kStorageGeneration, true))
            return Fail("cannot write sampleinterim.qs5");
        return 0;
    }
    if (mode == "--generations") {
        CProject raa;
        if (!MakeRaa(raa, triangles)) return Fail("cannot build the RAA project");
        if (!WriteBytes(out + "/gen.qs1", raa.SaveProject(1))) return Fail("cannot write gen.qs1");
        if (!WriteCompound(out + "/gen.qs2", raa, 1, false)) return Fail("cannot write gen.qs2");
        if (!WriteCompound(out + "/gen.qs3", raa, 1, true)) return Fail("cannot write gen.qs3");
        if (!WriteCompound(out + "/gen.qs4", raa, 1, true)) return Fail("cannot write gen.qs4");
        if (!WriteCompound(out + "/gen.qs5", raa, CProject::kStorageGeneration, true))
            return Fail("cannot write gen.qs5");
        return 0;
    }
    return Fail("unknown mode " + mode);
}

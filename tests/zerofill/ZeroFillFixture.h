#pragma once
// Project files for the blanks-to-zeros tests, written by the kernel: a 4 x 4
// annual project whose user-defined triangle has blanks inside the triangle
// and past its newest diagonal, a user column with a blank, a kept graph and
// an extra default-style record.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CDataObject.h"
#include "CProject.h"
#include "CompoundFile.h"
#include "KernelIds.h"
#include "TestEnvironment.h"

namespace zftest {

struct NoWindow : IKernelWindow {
    void XRefresh(CFormula*, int, long) override {}
};

inline constexpr double B = -1e300;  // a blank cell in the tables below

struct Fixture {
    std::unique_ptr<CProject> project;
    QSID triangle = 0;  // layer-neutral ids
    QSID column = 0;
};

// Cumulative rows of the user triangle (row i holds 4 - i ages):
//   row 0: 100  150   B   200     a blank between values
//   row 1:  B    80   90          a blank before the first value
//   row 2:  50   B                a blank after the row's last value, on the
//                                 newest diagonal (rows 0 and 1 have values there)
//   row 3:  B                     a whole row blank
inline Fixture MakeProject(const std::vector<std::vector<double>>& rows = {
                               {100, 150, B, 200}, {B, 80, 90}, {50, B}, {B}}) {
    Fixture f;
    f.project = std::make_unique<CProject>();
    std::uint16_t gen = 5, numExp = 4, firstYear = 2001, interval = 1, numDev = 4, firstAge = 12;
    PRDLENGTH expLen = PRD_YEAR, devLen = PRD_YEAR;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    if (f.project->Create(gen, numExp, expLen, firstYear, interval, numDev, devLen, firstAge, c1, c2) != 0) return {};
    CDataObject tri;
    tri.SetIDLongName("Reported Counts");
    tri.SetVectorType(CDataObject::VT_TRIANGLE);
    tri.SetCumulable(true);
    if (f.project->AddNewObject(tri, f.triangle, 1) != 0) return {};
    CDataObject col;
    col.SetIDLongName("Exposure Units");
    col.SetVectorType(CDataObject::VT_COLUMN);
    if (f.project->AddNewObject(col, f.column, 1) != 0) return {};
    CDataObject* t = f.project->FindDataObject(f.triangle, NET);
    CDataObject* c = f.project->FindDataObject(f.column, NET);
    if (!t || !c) return {};
    for (int r = 0; r < int(rows.size()); ++r)
        for (int k = 0; k < int(rows[r].size()); ++k)
            if (rows[r][k] != B) t->SetAt(r, k, rows[r][k]);
    c->SetAt(0, 0, 10);
    c->SetAt(2, 0, 30);

    NoWindow window;
    CGraph* g = f.project->GetGraphObject(f.project->GetNextTempGraphID(), &window, NET);
    if (!g || f.project->SaveGraphToNavigator(g, 501, "Counts graph", "CG", -1) != 0) return {};
    f.project->ReleaseGraphObject(g, &window);
    f.project->DefGraphStyles()[7] = {1, 2, 3, 4, 5};
    return f;
}

inline void WriteCompound(const std::string& path, const CProject& p) {
    CompoundFile file;
    ASSERT_EQ(file.Create(path), CompoundFile::OpenResult::Ok);
    ASSERT_TRUE(file.WriteStream("QS1", p.SaveProject()));
    ASSERT_TRUE(file.WriteStream("GraphData", p.SaveGraphData()));
    ASSERT_TRUE(file.WriteStream("DefGraphStyles", p.SaveDefGraphStyles()));
    ASSERT_TRUE(file.Commit());
}

inline std::vector<std::uint8_t> Stream(const std::string& path, const char* name) {
    CompoundFile file;
    std::vector<std::uint8_t> bytes;
    if (file.Open(path, CompoundFile::Mode::ReadOnly) == CompoundFile::OpenResult::Ok) file.ReadStream(name, bytes);
    return bytes;
}

inline std::unique_ptr<CProject> Load(const std::string& path) {
    auto p = std::make_unique<CProject>();
    const std::vector<std::uint8_t> bytes = Stream(path, "QS1");
    if (bytes.empty() || p->LoadProject(bytes.data(), bytes.size()) != 0) return nullptr;
    return p;
}

// The cells of an object in one layer, B for a blank.
inline std::vector<std::vector<double>> Cells(const CProject& p, QSID id, unsigned short layer = NET) {
    std::vector<std::vector<double>> rows;
    const CDataObject* d = p.FindDataObject(id, layer);
    if (!d) return rows;
    std::uint16_t n = 0, cols = 0;
    d->GetMaxRowsCols(n, cols);
    for (int r = 0; r < n; ++r) {
        std::uint16_t len = 0;
        d->GetNumColsInRow(std::uint16_t(r), len);
        std::vector<double> row;
        for (int c = 0; c < len; ++c)
            row.push_back((d->Flags()[std::size_t(r) * cols + c] & CDataObject::CF_VALUE) ? d->RawValue(r, c) : B);
        rows.push_back(row);
    }
    return rows;
}

// Runs body where writing to a folder without write permission fails: as
// root (which permissions do not stop) in a child process that has given up
// its rights. Returns body's result.
inline int AsUnprivileged(const std::function<int()>& body) {
    if (::geteuid() != 0) return body();
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(100);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

// A folder under /tmp that an unprivileged child can read.
inline std::string PublicTempDir() {
    char pattern[] = "/tmp/zerofill-test-XXXXXX";
    const char* dir = ::mkdtemp(pattern);
    if (!dir) return {};
    ::chmod(dir, 0755);
    return dir;
}

}  // namespace zftest

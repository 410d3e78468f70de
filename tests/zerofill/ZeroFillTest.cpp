// The file work of the blanks-to-zeros utility: names, the conversion of one
// table, and whole files with their failures.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include "CArchive.h"
#include "MessageBox.h"
#include "ZeroFill.h"
#include "ZeroFillFixture.h"

using namespace qs::zerofill;
using zftest::B;

namespace {

std::string Read(const std::string& path) { return qs::test::ReadFile(path); }
bool Exists(const std::string& path) { return QFileInfo::exists(QString::fromStdString(path)); }

}  // namespace

TEST(ZeroFillNames, BackupOutputAndLogNames) {
    struct Case {
        const char* path;
        const char* backup;
        const char* output;
        const char* log;
    };
    const Case cases[] = {
        {"/d/Sample.qs4", "/d/Sample.BK4", "/d/Sample.qs5", "/d/Sample.log"},
        {"/d/Sample.QS5", "/d/Sample.BK5", "/d/Sample.QS5", "/d/Sample.log"},
        // Dots in folders or in the name are no extension: every file of a
        // dotted folder gets its own log beside it.
        {"/d/a.b/proj.qs1", "/d/a.b/proj.BK1", "/d/a.b/proj.qs5", "/d/a.b/proj.log"},
        {"/d/q.2024.qs3", "/d/q.2024.BK3", "/d/q.2024.qs5", "/d/q.2024.log"},
        {"/d/a.b/noext", "/d/a.b/noBKt", "/d/a.b/noex5", ""},
        {"/d/.hidden", "/d/.hidBKn", "/d/.hidde5", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BackupPathFor(c.path), c.backup) << c.path;
        EXPECT_EQ(OutputPathFor(c.path), c.output) << c.path;
        EXPECT_EQ(LogPathFor(c.path), c.log) << c.path;
    }
    EXPECT_TRUE(IsProjectFileName("/d/x.qs1"));
    EXPECT_TRUE(IsProjectFileName("/d/x.QS5"));
    EXPECT_FALSE(IsProjectFileName("/d/x.qs6"));
    EXPECT_FALSE(IsProjectFileName("/d/x.txt"));
    EXPECT_FALSE(IsProjectFileName("/d.qs5/x"));
}

// One triangle, both modes: what each blank becomes.
TEST(ZeroFillBlanks, TrianglesKeepTheirIncrementsAndTheNewestDiagonal) {
    struct Case {
        const char* what;
        std::vector<std::vector<double>> before;
        std::vector<std::vector<double>> cumulativeMode;
        std::vector<std::vector<double>> incrementalMode;
    };
    const Case cases[] = {
        {"blanks inside the triangle",
         {{100, 150, B, 200}, {B, 80, 90}, {50, B}, {B}},
         // between values: a zero increment; before the first: 0; after the
         // last: blank (cumulative mode) or a zero increment; empty row: 0
         {{100, 150, 150, 200}, {0, 80, 90}, {50, B}, {0}},
         {{100, 150, 150, 200}, {0, 80, 90}, {50, 50}, {0}}},
        {"the newest evaluation not entered yet",
         {{100, 150, 180, B}, {60, B, B}, {B, B}, {B}},
         {{100, 150, 180, B}, {60, B, B}, {0, B}, {B}},
         {{100, 150, 180, B}, {60, 60, B}, {0, B}, {B}}},
        {"nothing blank", {{1, 2, 3, 4}, {1, 2, 3}, {1, 2}, {1}}, {{1, 2, 3, 4}, {1, 2, 3}, {1, 2}, {1}},
         {{1, 2, 3, 4}, {1, 2, 3}, {1, 2}, {1}}},
    };
    for (const Case& c : cases) {
        for (bool incremental : {false, true}) {
            zftest::Fixture f = zftest::MakeProject(c.before);
            ASSERT_TRUE(f.project) << c.what;
            CDataObject* t = f.project->FindDataObject(f.triangle, NET);
            ZeroFillBlanks(*t, incremental);
            EXPECT_EQ(zftest::Cells(*f.project, f.triangle), incremental ? c.incrementalMode : c.cumulativeMode)
                << c.what << (incremental ? " (incremental)" : " (cumulative)");
            // No increment may have turned negative.
            std::uint16_t rows = 0, cols = 0;
            t->GetMaxRowsCols(rows, cols);
            QSSTATUS st = 0;
            t->ViewCumulative(0, st);
            for (int r = 0; r < rows; ++r)
                for (int k = 0; k < cols; ++k) {
                    double v = 0;
                    std::uint8_t flags = 0;
                    if (t->GetAt(r, k, v, flags) == 0) {
                        EXPECT_GE(v, 0) << c.what << " " << r << "," << k;
                    }
                }
        }
    }
}

TEST(ZeroFillBlanks, VectorsGetZerosAndEmptyTablesStayEmpty) {
    zftest::Fixture f = zftest::MakeProject();
    ASSERT_TRUE(f.project);
    EXPECT_EQ(ZeroFillBlanks(*f.project->FindDataObject(f.column, NET), false), 2);
    EXPECT_EQ(zftest::Cells(*f.project, f.column), (std::vector<std::vector<double>>{{10}, {0}, {30}, {0}}));
    EXPECT_EQ(ZeroFillBlanks(*f.project->FindDataObject(f.triangle, DIRECT), false), 0);
    EXPECT_EQ(zftest::Cells(*f.project, f.triangle, DIRECT)[0][0], B);
}

TEST(ZeroFillStreams, SaveObjectToStreamFailsWhenTheStreamCannotBeMade) {
    const std::string dir = qs::test::MakeTempDir("streams");
    const std::string path = dir + "/s.qs5";
    {
        CompoundFile file;
        ASSERT_EQ(file.Create(path), CompoundFile::OpenResult::Ok);
        const auto write = [](CArchive& ar) { ar << std::int32_t(7); };
        EXPECT_EQ(SaveObjectToStream(file, "Good", write), 1);
        EXPECT_EQ(SaveObjectToStream(file, "Bad:Name", write), 0);  // cannot be created: no success
        EXPECT_EQ(SaveObjectToStream(file, "Throws", [](CArchive&) { throw std::runtime_error("x"); }), 0);
        EXPECT_FALSE(file.HasStream("Throws"));
        ASSERT_TRUE(file.Commit());
    }
    CompoundFile readOnly;
    ASSERT_EQ(readOnly.Open(path, CompoundFile::Mode::ReadOnly), CompoundFile::OpenResult::Ok);
    EXPECT_EQ(SaveObjectToStream(readOnly, "Other", [](CArchive&) {}), 0);
}

class ZeroFillFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = qs::test::MakeTempDir("files");
        f = zftest::MakeProject();
        ASSERT_TRUE(f.project);
    }
    std::string dir;
    zftest::Fixture f;
    qs::fw::MessageBoxScript boxes;
};

TEST_F(ZeroFillFiles, ConvertsAFileKeepingGraphsStylesABackupAndTheLog) {
    const std::string path = dir + "/Sample.qs5";
    zftest::WriteCompound(path, *f.project);
    const std::string before = Read(path);
    const auto graphs = zftest::Stream(path, "GraphData");
    const auto styles = zftest::Stream(path, "DefGraphStyles");
    ASSERT_FALSE(graphs.empty());

    const FileResult r = ProcessProjectFile(QString::fromStdString(path), {});
    EXPECT_TRUE(r.converted);
    EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join("\n").toStdString();
    EXPECT_EQ(Read(dir + "/Sample.BK5"), before);
    auto p = zftest::Load(path);
    ASSERT_TRUE(p);
    EXPECT_EQ(zftest::Cells(*p, f.triangle),
              (std::vector<std::vector<double>>{{100, 150, 150, 200}, {0, 80, 90}, {50, B}, {0}}));
    EXPECT_EQ(zftest::Cells(*p, f.column), (std::vector<std::vector<double>>{{10}, {0}, {30}, {0}}));
    EXPECT_EQ(zftest::Stream(path, "GraphData"), graphs);
    EXPECT_EQ(zftest::Stream(path, "DefGraphStyles"), styles);
    // One line per converted table: its name and its id with the layer.
    QSID netTriangle = f.triangle, netColumn = f.column;
    SetIDLayer(netTriangle, NET);
    SetIDLayer(netColumn, NET);
    const std::string log = Read(dir + "/Sample.log");
    EXPECT_NE(log.find(" " + std::to_string(netTriangle) + "\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" " + std::to_string(netColumn) + "\n"), std::string::npos) << log;
    EXPECT_EQ(r.objects, 2);  // Net only: the other layers hold no data
}

TEST_F(ZeroFillFiles, AnOlderGenerationBecomesAQs5BesideIt) {
    // A plain archive file of the oldest form and a .qs4 compound file.
    const std::string qs1 = dir + "/Old.qs1";
    {
        const auto bytes = f.project->SaveProject();
        std::vector<std::uint8_t> archived;
        CArchive ar(archived, CArchive::store);
        f.project->Archive(ar, 1);
        ar.Close();
        qs::test::WriteFile(qs1, std::string(archived.begin(), archived.end()));
    }
    const std::string before = Read(qs1);
    EXPECT_TRUE(ProcessProjectFile(QString::fromStdString(qs1), {}).converted);
    EXPECT_EQ(Read(qs1), before);
    EXPECT_EQ(Read(dir + "/Old.BK1"), before);
    ASSERT_TRUE(CompoundFile::IsCompoundFile(dir + "/Old.qs5"));
    auto p = zftest::Load(dir + "/Old.qs5");
    ASSERT_TRUE(p);
    EXPECT_EQ(zftest::Cells(*p, f.triangle)[1][0], 0);
}

TEST_F(ZeroFillFiles, ADamagedProjectIsReportedAndLeftAsItWas) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    std::string truncated;
    {
        zftest::WriteCompound(dir + "/whole.qs5", *f.project);
        CompoundFile file;
        ASSERT_EQ(file.Open(dir + "/whole.qs5", CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::Ok);
        std::vector<std::uint8_t> qs1;
        file.ReadStream("QS1", qs1);
        qs1.resize(qs1.size() / 2);
        file.WriteStream("QS1", qs1);
        file.RemoveStream("GraphData");
        ASSERT_TRUE(file.Commit());
    }
    const Case cases[] = {
        {"Garbage.qs5", std::string("not a project at all")},
        {"Cut.qs5", Read(dir + "/whole.qs5")},
    };
    for (const Case& c : cases) {
        const std::string path = dir + "/" + c.name;
        qs::test::WriteFile(path, c.bytes);
        boxes.Clear();
        EXPECT_FALSE(ProcessProjectFile(QString::fromStdString(path), {}).converted) << c.name;
        ASSERT_EQ(boxes.Count(), 1u) << c.name;
        EXPECT_EQ(boxes.Last().text.toStdString(),
                  "File " + path + " could not be serialized from.  Click on OK button to continue with next file");
        EXPECT_EQ(Read(path), c.bytes);
        EXPECT_FALSE(Exists(dir + "/" + QFileInfo(c.name).completeBaseName().toStdString() + ".BK5")) << c.name;
    }
}

TEST_F(ZeroFillFiles, AFailedGraphStoreLeavesTheFileAsItWas) {
    const std::string path = dir + "/Graphs.qs5";
    zftest::WriteCompound(path, *f.project);
    const std::string before = Read(path);
    ProcessOptions options;
    options.failStream = "GraphData";
    EXPECT_FALSE(ProcessProjectFile(QString::fromStdString(path), options).converted);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes.Last().text.startsWith("Could not store the graphs into the converted file " +
                                             QString::fromStdString(path)));
    EXPECT_EQ(Read(path), before);
    EXPECT_FALSE(Exists(dir + "/Graphs.log"));

    boxes.Clear();
    options.failStream = "DefGraphStyles";
    EXPECT_FALSE(ProcessProjectFile(QString::fromStdString(path), options).converted);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, "Could not stor the default graph styles into the converted file.  Click on OK "
                                 "button to continue with next file.");
    EXPECT_EQ(Read(path), before);
}

// Sample.qs4 converts to Sample.qs5; a Sample.qs5 already there is not the
// run's and has no backup: it is replaced only on Yes.
TEST_F(ZeroFillFiles, AnOutputThatIsAnotherFileIsReplacedOnlyWhenTheUserSaysSo) {
    const std::string qs4 = dir + "/G.qs4", qs5 = dir + "/G.qs5";
    zftest::WriteCompound(qs4, *f.project);
    qs::test::WriteFile(qs5, "the user's own file");
    boxes.Answer(IDNO);
    EXPECT_FALSE(ProcessProjectFile(QString::fromStdString(qs4), {}).converted);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, QString::fromStdString("File " + qs5 + " already exists.  Do you want to replace it "
                                                        "with the converted " + qs4 +
                                                        "?  Click on No to leave it as it is and continue with next file."));
    EXPECT_EQ(Read(qs5), "the user's own file");

    boxes.Answer(IDYES);
    EXPECT_TRUE(ProcessProjectFile(QString::fromStdString(qs4), {}).converted);
    EXPECT_EQ(boxes.Count(), 2u);
    auto p = zftest::Load(qs5);
    ASSERT_TRUE(p);
    EXPECT_EQ(zftest::Cells(*p, f.triangle)[1][0], 0);

    // A .qs5 converted in place has its backup and asks nothing.
    EXPECT_TRUE(ProcessProjectFile(QString::fromStdString(qs5), {}).converted);
    EXPECT_EQ(boxes.Count(), 2u);
}

TEST_F(ZeroFillFiles, AReadOnlyTargetIsReportedAndLeftAsItWas) {
    // Sample.qs4 converts in memory and is backed up, then the read-only
    // Sample.qs5 beside it refuses the result.
    const std::string pub = zftest::PublicTempDir();
    ASSERT_FALSE(pub.empty());
    const std::string qs4 = pub + "/Sample.qs4", qs5 = pub + "/Sample.qs5";
    zftest::WriteCompound(qs4, *f.project);
    zftest::WriteCompound(qs5, *f.project);
    ::chmod(qs4.c_str(), 0666);  // the unprivileged child opens it read-write
    ::chmod(qs5.c_str(), 0444);
    ::chmod(pub.c_str(), 0777);
    const std::string before = Read(qs5);
    const int code = zftest::AsUnprivileged([&] {
        qs::fw::MessageBoxScript inner;
        const bool converted = ProcessProjectFile(QString::fromStdString(qs4), {}).converted;
        if (converted || inner.Count() != 1) {
            std::fprintf(stderr, "%s\n", qPrintable(inner.Texts().join("\n")));
            return 1;
        }
        const QString expected = "File " + QString::fromStdString(qs5) +
                                 " is read only or already open by another process.  Click on OK button to continue "
                                 "with next file";
        if (inner.Last().text != expected) std::fprintf(stderr, "%s\n", qPrintable(inner.Last().text));
        return inner.Last().text == expected ? 0 : 2;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Read(qs5), before);
    EXPECT_TRUE(Exists(pub + "/Sample.BK4"));
    std::filesystem::remove_all(pub);
}

TEST_F(ZeroFillFiles, AReadOnlyFolderIsReportedAndLeftAsItWas) {
    const std::string pub = zftest::PublicTempDir();
    ASSERT_FALSE(pub.empty());
    const std::string path = pub + "/Locked.qs5";
    zftest::WriteCompound(path, *f.project);
    ::chmod(path.c_str(), 0644);
    ::chmod(pub.c_str(), 0555);
    const std::string before = Read(path);
    const int code = zftest::AsUnprivileged([&] {
        qs::fw::MessageBoxScript inner;
        if (ProcessProjectFile(QString::fromStdString(path), {}).converted) return 1;
        if (inner.Count() != 1) return 2;
        return inner.Last().text.startsWith("File " + QString::fromStdString(path) + " is read only") ? 0 : 3;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Read(path), before);
    ::chmod(pub.c_str(), 0755);
    EXPECT_EQ(std::filesystem::directory_iterator(pub)->path().filename(), "Locked.qs5");
    std::filesystem::remove_all(pub);
}

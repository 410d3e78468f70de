// The project document's files: save and reopen, every generation, the
// read-only fallback when another process holds the file, and saves that
// fail without touching the file on disk.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QWidget>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "CArchive.h"
#include "CDataObject.h"
#include "CException.h"
#include "CFile.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CompoundFile.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ProjectFileNames.h"
#include "ProjectHost.h"
#include "TestEnvironment.h"

namespace {

constexpr QSID kPaidLoss = 101000001;
namespace text = qs::project::text;

bool MakeProject(CProject& p) {
    std::uint16_t gen = 5, numExp = 5, firstYear = 2001, interval = 1, numDev = 5, firstAge = 12;
    PRDLENGTH len = PRD_YEAR, devLen = PRD_YEAR;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    return p.Create(gen, numExp, len, firstYear, interval, numDev, devLen, firstAge, c1, c2) == 0;
}

double Cell(CProjectDoc& doc, int row, int col) {
    double value = 0;
    std::uint8_t flags = 0;
    doc.GetProject()->FindDataObject(kPaidLoss, NET)->GetAt(row, col, value, flags);
    return value;
}

// Opens a document as the framework does: open, then take the path name.
std::unique_ptr<CProjectDoc> Open(const std::string& path) {
    auto doc = std::make_unique<CProjectDoc>();
    if (!doc->OnOpenDocument(QString::fromStdString(path))) return nullptr;
    doc->SetPathName(QString::fromStdString(path), FALSE);
    return doc;
}

// A saved project with one changed cell and one graph.
std::string SaveSample(const std::string& dir, const std::string& name = "p.qs5") {
    CProjectDoc doc;
    EXPECT_TRUE(MakeProject(*doc.GetProject()));
    doc.GetProject()->FindDataObject(kPaidLoss, NET)->SetAt(1, 2, 1234.5);
    doc.GetProject()->GraphList()[GetGraphIDOf(kPaidLoss)] = {7, 8, 9};
    const std::string path = dir + "/" + name;
    EXPECT_TRUE(doc.OnSaveDocument(QString::fromStdString(path)));
    return path;
}

// Shows a main window so reports appear as (scripted) message boxes.
class ProjectDocTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_main.show();
        qs::fw::SetMainWindow(&m_main);
        m_dir = qs::test::MakeTempDir("proj");
    }
    void TearDown() override { qs::fw::SetMainWindow(nullptr); }
    QWidget m_main;
    std::string m_dir;
};

// A second process that holds a file the way another copy of the program
// would, until the test ends.
class OtherProcessHolding {
public:
    OtherProcessHolding(const std::string& path, bool compound) {
        int fds[2];
        if (pipe(fds) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            close(fds[0]);
            char ok = 0;
            if (compound) {
                CompoundFile file;
                ok = file.Open(path, CompoundFile::Mode::ReadWrite) == CompoundFile::OpenResult::Ok;
                (void)!write(fds[1], &ok, 1);
                pause();
            } else {
                CFile file;
                ok = file.Open(path, CFile::modeReadWrite | CFile::shareDenyWrite);
                (void)!write(fds[1], &ok, 1);
                pause();
            }
            _exit(0);
        }
        close(fds[1]);
        char ok = 0;
        m_holding = read(fds[0], &ok, 1) == 1 && ok;
        close(fds[0]);
    }
    ~OtherProcessHolding() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    bool Holding() const { return m_holding; }

private:
    pid_t m_pid = -1;
    bool m_holding = false;
};

TEST_F(ProjectDocTest, SavedProjectReopensWithItsCellsAndGraphs) {
    const std::string path = SaveSample(m_dir);
    CompoundFile file;
    ASSERT_EQ(file.Open(path, CompoundFile::Mode::ReadOnly), CompoundFile::OpenResult::Ok);
    EXPECT_TRUE(file.HasStream("QS1"));
    EXPECT_TRUE(file.HasStream("GraphData"));
    EXPECT_TRUE(file.HasStream("DefGraphStyles"));
    file.Close();

    qs::fw::MessageBoxScript boxes;
    auto doc = Open(path);
    ASSERT_TRUE(doc);
    EXPECT_FALSE(doc->IsReadOnly());
    EXPECT_TRUE(doc->HoldsStorage());
    EXPECT_EQ(Cell(*doc, 1, 2), 1234.5);
    EXPECT_EQ(doc->GetProject()->GraphList().at(GetGraphIDOf(kPaidLoss)), (std::vector<std::uint8_t>{7, 8, 9}));
    EXPECT_EQ(boxes.Count(), 0u);

    // Saving again in place: a project without graphs loses the stream.
    doc->GetProject()->FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 5);
    doc->GetProject()->GraphList().clear();
    ASSERT_TRUE(doc->OnSaveDocument(QString::fromStdString(path)));
    doc.reset();
    doc = Open(path);
    ASSERT_TRUE(doc);
    EXPECT_EQ(Cell(*doc, 0, 0), 5);
    EXPECT_EQ(Cell(*doc, 1, 2), 1234.5);
    doc.reset();
    ASSERT_EQ(file.Open(path, CompoundFile::Mode::ReadOnly), CompoundFile::OpenResult::Ok);
    EXPECT_FALSE(file.HasStream("GraphData"));
}

TEST_F(ProjectDocTest, EveryGenerationOpens) {
    // Fixtures written by the sample generator: ".qs1" is one archive of the
    // older kernel generation, ".qs2" to ".qs4" compound files holding it,
    // ".qs5" the current generation.
    for (const char* name : {"gen.qs1", "gen.qs2", "gen.qs3", "gen.qs4", "gen.qs5"}) {
        SCOPED_TRACE(name);
        const std::string copy = m_dir + "/" + name;
        qs::test::WriteFile(copy, qs::test::ReadFile(qs::test::DataDir() + "/projects/" + name));
        qs::fw::MessageBoxScript boxes;
        auto doc = Open(copy);
        ASSERT_TRUE(doc);
        EXPECT_EQ(boxes.Count(), 0u);
        EXPECT_FALSE(doc->IsReadOnly());
        EXPECT_EQ(Cell(*doc, 0, 0), 5012.0);  // RAA 1981 at 12 months
        const bool legacy = std::string(name) == "gen.qs1";
        EXPECT_EQ(doc->HoldsLock(), legacy);
        EXPECT_EQ(doc->HoldsStorage(), !legacy);
    }
    // The ".qs5" fixture is of the generation the kernel writes today.
    CompoundFile current;
    ASSERT_EQ(current.Open(qs::test::DataDir() + "/projects/gen.qs5", CompoundFile::Mode::ReadOnly),
              CompoundFile::OpenResult::Ok);
    std::vector<std::uint8_t> qs1;
    ASSERT_TRUE(current.ReadStream("QS1", qs1));
    ASSERT_GE(qs1.size(), 8u);
    const std::uint32_t generation = qs1[4] | qs1[5] << 8 | qs1[6] << 16 | std::uint32_t(qs1[7]) << 24;
    EXPECT_EQ(generation, CProject::kStorageGeneration);
}

TEST_F(ProjectDocTest, FileHeldByAnotherProcessOpensReadOnly) {
    const std::string path = SaveSample(m_dir);
    const std::string before = qs::test::ReadFile(path);
    OtherProcessHolding other(path, true);
    ASSERT_TRUE(other.Holding());

    qs::fw::MessageBoxScript boxes;
    auto doc = Open(path);
    ASSERT_TRUE(doc);
    EXPECT_TRUE(doc->IsReadOnly());
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, QString::fromUtf8(text::kInUse));
    EXPECT_EQ(Cell(*doc, 1, 2), 1234.5);

    // Save in place refuses; Save As to another name works and clears read-only.
    EXPECT_FALSE(doc->OnSaveDocument(QString::fromStdString(path)));
    EXPECT_EQ(boxes.Last().text, QString::fromUtf8(text::kCannotSaveReadOnly));
    EXPECT_EQ(qs::test::ReadFile(path), before);
    const std::string other2 = m_dir + "/copy.qs5";
    EXPECT_TRUE(doc->OnSaveDocument(QString::fromStdString(other2)));
    EXPECT_FALSE(doc->IsReadOnly());
    doc.reset();
    auto copy = Open(other2);
    ASSERT_TRUE(copy);
    EXPECT_EQ(Cell(*copy, 1, 2), 1234.5);
}

TEST_F(ProjectDocTest, LegacyFileIsLockedAndHeldByAnotherOpensReadOnly) {
    const std::string path = m_dir + "/old.qs1";
    qs::test::WriteFile(path, qs::test::ReadFile(qs::test::DataDir() + "/projects/gen.qs1"));
    {
        auto doc = Open(path);
        ASSERT_TRUE(doc);
        EXPECT_TRUE(doc->HoldsLock());
        CFile probe;  // another writer is refused while the document lives
        EXPECT_FALSE(probe.Open(path, CFile::modeReadWrite | CFile::shareDenyWrite));
    }
    OtherProcessHolding other(path, false);
    ASSERT_TRUE(other.Holding());
    qs::fw::MessageBoxScript boxes;
    auto doc = Open(path);
    ASSERT_TRUE(doc);
    EXPECT_TRUE(doc->IsReadOnly());
    EXPECT_FALSE(doc->HoldsLock());
    EXPECT_TRUE(boxes.Texts().contains(QString::fromUtf8(text::kInUse)));
}

TEST_F(ProjectDocTest, AReadOnlyFileOrFolderIsSaidToBeReadOnly) {
    // Permissions do not stop root, so the opening runs in a child that has
    // given up its rights (or here, for an ordinary user).
    char pattern[] = "/tmp/qs-readonly-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    const std::string file = SaveSample(dir, "locked.qs5");
    const std::string legacy = dir + "/old.qs1";
    qs::test::WriteFile(legacy, qs::test::ReadFile(qs::test::DataDir() + "/projects/gen.qs1"));
    struct Case {
        const char* what;
        std::string path;
        mode_t fileMode, dirMode;
    };
    const Case cases[] = {
        {"read-only file", file, 0444, 0755},
        {"read-only folder", file, 0644, 0555},
        {"read-only older file", legacy, 0444, 0755},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(chmod(c.path.c_str(), c.fileMode), 0);
        ASSERT_EQ(chmod(dir.c_str(), c.dirMode), 0);
        const auto body = [&] {
            qs::fw::MessageBoxScript boxes;
            auto doc = Open(c.path);
            if (!doc || !doc->IsReadOnly()) return 1;
            return boxes.Texts().contains(QString::fromUtf8(text::kReadOnlyPlace)) &&
                           !boxes.Texts().contains(QString::fromUtf8(text::kInUse))
                       ? 0
                       : 2;
        };
        int code = 0;
        if (geteuid() != 0) {
            code = body();
        } else {
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                if (setgid(65534) != 0 || setuid(65534) != 0) _exit(100);
                _exit(body());
            }
            int status = 0;
            waitpid(child, &status, 0);
            code = WIFEXITED(status) ? WEXITSTATUS(status) : 101;
        }
        EXPECT_EQ(code, 0) << c.what;
    }
    chmod(dir.c_str(), 0755);
    std::filesystem::remove_all(dir);
}

// A document whose archive fails part-way through a store.
class FailingStoreDoc : public CProjectDoc {
public:
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar << std::uint32_t{42};
            throw CArchiveException(CArchiveException::genericException, "disk full");
        }
        CProjectDoc::Serialize(ar);
    }
};

TEST_F(ProjectDocTest, FailedSaveLeavesTheFileAsItWas) {
    const std::string path = SaveSample(m_dir);
    const std::string before = qs::test::ReadFile(path);

    FailingStoreDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(QString::fromStdString(path)));
    doc.SetPathName(QString::fromStdString(path), FALSE);
    doc.GetProject()->FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 99);
    doc.GetProject()->GraphList().clear();  // the save would also drop "GraphData"
    EXPECT_FALSE(doc.OnSaveDocument(QString::fromStdString(path)));  // in place
    EXPECT_EQ(qs::test::ReadFile(path), before);
    EXPECT_TRUE(doc.IsModified());

    // Save As over another existing file leaves that one alone too.
    const std::string other = SaveSample(m_dir, "other.qs5");
    const std::string otherBefore = qs::test::ReadFile(other);
    EXPECT_FALSE(doc.OnSaveDocument(QString::fromStdString(other)));
    EXPECT_EQ(qs::test::ReadFile(other), otherBefore);
}

TEST_F(ProjectDocTest, ReadOnlyDocumentRefusesToStoreAStream) {
    const std::string path = SaveSample(m_dir);
    OtherProcessHolding other(path, true);
    ASSERT_TRUE(other.Holding());
    qs::fw::MessageBoxScript boxes;
    auto doc = Open(path);
    ASSERT_TRUE(doc && doc->IsReadOnly());
    EXPECT_FALSE(doc->WriteStorageStream("QS1", [&](CArchive& ar) { doc->Serialize(ar); }));
    EXPECT_EQ(boxes.Last().text, QString::fromUtf8(text::kReadOnlyStore));
}

TEST_F(ProjectDocTest, UnreadableGraphStreamOpensReadOnlyAndKeepsTheFile) {
    const std::string path = SaveSample(m_dir);
    {
        CompoundFile file;
        ASSERT_EQ(file.Open(path, CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::Ok);
        ASSERT_TRUE(file.WriteStream("GraphData", {1, 2, 3, 4, 5}));
        ASSERT_TRUE(file.Commit());
    }
    const std::string before = qs::test::ReadFile(path);
    qs::fw::MessageBoxScript boxes;
    auto doc = Open(path);
    ASSERT_TRUE(doc);
    EXPECT_TRUE(doc->IsReadOnly());
    EXPECT_EQ(boxes.Texts(), QStringList{QString::fromUtf8(text::kGraphsUnreadable)});
    EXPECT_EQ(Cell(*doc, 1, 2), 1234.5);
    EXPECT_FALSE(doc->OnSaveDocument(QString::fromStdString(path)));
    EXPECT_EQ(qs::test::ReadFile(path), before);
}

TEST_F(ProjectDocTest, DamagedProjectStreamReportsTheLoadStatus) {
    const std::string path = SaveSample(m_dir);
    {
        CompoundFile file;
        ASSERT_EQ(file.Open(path, CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::Ok);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(file.ReadStream("QS1", bytes));
        bytes.resize(bytes.size() / 2);
        ASSERT_TRUE(file.WriteStream("QS1", bytes));
        ASSERT_TRUE(file.Commit());
    }
    qs::fw::MessageBoxScript boxes;
    CProjectDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(QString::fromStdString(path)));
    EXPECT_EQ(boxes.Last().text,
              QString::fromStdString("\nUnable to open file: " + path + "\nAn error occurred during file load."));
}

TEST_F(ProjectDocTest, SaveUnderAnOlderExtensionAsksToConvertAndWritesNothing) {
    const std::string path = m_dir + "/old.qs3";
    qs::test::WriteFile(path, qs::test::ReadFile(qs::test::DataDir() + "/projects/gen.qs3"));
    const std::string before = qs::test::ReadFile(path);
    auto doc = Open(path);
    ASSERT_TRUE(doc);
    unsigned posted = 0;
    qs::project::Host().postCommand = [&](unsigned cmd, CProjectDoc*) { posted = cmd; };
    qs::fw::MessageBoxScript boxes({IDOK});
    EXPECT_TRUE(doc->DoSave(doc->GetPathName(), TRUE));
    EXPECT_EQ(posted, 57604u);  // Save As follows
    EXPECT_TRUE(boxes.Last().text.startsWith("This file will be saved to a new file using the QS5 format to retain"));
    EXPECT_EQ(qs::test::ReadFile(path), before);
    qs::project::Host().postCommand = nullptr;
}

// A text file under a project's name, or a file whose project stream is
// garbage, says why it does not open.
TEST_F(ProjectDocTest, FilesThatAreNoProjectSayWhy) {
    const std::string text = m_dir + "/notes.qs5";
    qs::test::WriteFile(text, "just some text\n");
    qs::fw::MessageBoxScript boxes;
    CProjectDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(QString::fromStdString(text)));
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes.Last().text.contains(QStringLiteral("This is not a Quillstone project file."))) << boxes.Last().text.toStdString();

    const std::string path = SaveSample(m_dir);
    {
        CompoundFile file;
        ASSERT_EQ(file.Open(path, CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::Ok);
        ASSERT_TRUE(file.WriteStream("QS1", std::vector<uint8_t>(64, 0xEE)));
        ASSERT_TRUE(file.Commit());
    }
    CProjectDoc damaged;
    EXPECT_FALSE(damaged.OnOpenDocument(QString::fromStdString(path)));
    ASSERT_GE(boxes.Count(), 2u);
    EXPECT_TRUE(boxes.Last().text.contains(QStringLiteral("Unable to open file: "))) << boxes.Last().text.toStdString();
}

// Save As of a new project: a name without an extension becomes a project
// file without a question; a folder that is not there is reported and the
// file chooser comes back.
TEST_F(ProjectDocTest, SaveAsNamesAProjectFileAndReportsAMissingFolder) {
    struct Case {
        const char* typed;
        const char* written;  // empty: nothing written
    };
    for (const Case& c : {Case{"trial", "trial.qs5"}, Case{"trial.qs5", "trial.qs5"}, Case{"trial.QS5", "trial.QS5"},
                          Case{"sub/trial", ""}}) {
        SCOPED_TRACE(c.typed);
        const std::string dir = qs::test::MakeTempDir("saveas");
        int asked = 0;
        qs::project::Host().chooseSaveFile = [&](QString& name, unsigned, unsigned, CDocTemplate*) {
            if (++asked > 1) return false;  // the user gives up the second time
            name = QString::fromStdString(dir + "/" + c.typed);
            return true;
        };
        QString status;
        qs::project::Host().setStatusMessage = [&](const QString& text) { status = text; };
        qs::fw::MessageBoxScript boxes;
        CProjectDoc doc;
        ASSERT_TRUE(MakeProject(*doc.GetProject()));
        const BOOL saved = doc.DoSave(QString(), TRUE);
        if (*c.written != 0) {
            EXPECT_TRUE(saved);
            EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join(QStringLiteral(" | ")).toStdString();
            EXPECT_EQ(asked, 1);
            const std::string target = dir + "/" + c.written;
            EXPECT_TRUE(std::filesystem::exists(target));
            EXPECT_EQ(doc.GetPathName(), QFileInfo(QString::fromStdString(target)).absoluteFilePath());
            EXPECT_EQ(status, QStringLiteral("Saved ") + QString::fromStdString(target));
            EXPECT_FALSE(doc.IsModified());
        } else {
            EXPECT_FALSE(saved);
            EXPECT_EQ(asked, 2) << "the chooser comes back";
            ASSERT_EQ(boxes.Count(), 1u);
            EXPECT_TRUE(boxes.Last().text.contains(QStringLiteral("does not exist"))) << boxes.Last().text.toStdString();
            EXPECT_TRUE(std::filesystem::is_empty(dir));
        }
    }
    qs::project::Host().chooseSaveFile = nullptr;
    qs::project::Host().setStatusMessage = nullptr;
}

TEST(ProjectFileNamesTest, ExtensionsAndOpenKinds) {
    using qs::project::OpenKind;
    EXPECT_TRUE(qs::project::IsStorageExtension(qs::project::ProjectExtension("a.qs5")));
    EXPECT_FALSE(qs::project::IsStorageExtension(qs::project::ProjectExtension("a.QS5 ")));
    EXPECT_FALSE(qs::project::IsStorageExtension(qs::project::ProjectExtension("a.qs1")));
    const struct {
        const char* path;
        OpenKind kind;
    } cases[] = {
        {"/x/lib.dfl", OpenKind::FactorLibrary}, {"/x/LIB.DfL", OpenKind::FactorLibrary},
        {"/x/xyzdfl", OpenKind::Project},        {"/x/old.pc5", OpenKind::Predecessor},
        {"/x/p.qs5", OpenKind::Project},
    };
    for (const auto& c : cases) EXPECT_EQ(qs::project::OpenKindOfPath(c.path), c.kind) << c.path;
}

TEST(ProjectFileNamesTest, SuggestedNamesAndPaths) {
    EXPECT_EQ(qs::project::SuggestedConvertedName("/data/v1.2/old.pc5"), "/data/v1.2/old.qs5");
    EXPECT_EQ(qs::project::SuggestedConvertedName("/data/v1.2/old"), "/data/v1.2/old.qs5");
    EXPECT_EQ(qs::project::TitleToFileName("A/B (2)", false, ".qs5", false, ""), "A_B _2.qs5");
    EXPECT_EQ(qs::project::TitleToFileName("A/B (2)", true, ".qs5", false, ""), "A.qs5");
    EXPECT_EQ(qs::project::TitleToFileName("Proj", true, ".qs5", true, "/files"), "/files/Proj.qs5");
    const QString longPath = "/" + QString(300, 'a') + "/p.qs5";
    EXPECT_EQ(qs::project::NormalizeOpenPath("\"" + longPath + "\""), longPath);
}

TEST(ProjectDocViewTest, ObjectViewDispatch) {
    using K = qs::project::ObjectViewKind;
    const struct {
        QSID id;
        K kind;
    } cases[] = {
        {0, K::Info},
        {-1, K::Update},
        {GetGraphIDOf(kPaidLoss), K::Graph},
        {MakeID(1, 1, 0, 0, 1), K::Table},
        {MakeID(2, 1, 0, 8, 3), K::Table},
        {MakeID(5, 1, 0, 1, 1), K::Scalar},
        {MakeID(5, 1, 0, 6, 1), K::Scalar},  // kind 5 wins over data type 6
        {MakeID(3, 1, 0, 6, 1), K::Table},   // data type 6 whatever the kind
        {101010494, K::Params},
        {MakeID(3, 1, 0, 1, 1), K::Exhibit},
        {MakeID(4, 1, 0, 2, 1), K::Method},
        {MakeID(3, 1, 0, 3, 1), K::Method},
        {MakeID(3, 1, 0, 5, 1), K::None},
        {101010050, K::PPA},  // the payment pattern, any layer
    };
    const QSID pattern = CProject().GetPayPatternID();
    for (const auto& c : cases) EXPECT_EQ(CProjectDoc::ChooseObjectView(c.id, pattern), c.kind) << c.id;
    // Without a special object the pattern is an ordinary vector.
    EXPECT_EQ(CProjectDoc::ChooseObjectView(101010050, 0), K::Table);
}

}  // namespace

// Under automation a project exported under a legacy name takes the legacy
// save: the lock moves from the old file to the new one, and every way out
// leaves the document locked and the files on disk as they were.
class LegacySaveTest : public ProjectDocTest {
protected:
    void SetUp() override {
        ProjectDocTest::SetUp();
        qs::project::Host().isInteractive = [] { return false; };
        qs::project::Host().postCommand = [this](unsigned cmd, CProjectDoc*) { m_posted.push_back(cmd); };
        m_path = m_dir + "/old.qs1";
        qs::test::WriteFile(m_path, qs::test::ReadFile(qs::test::DataDir() + "/projects/gen.qs1"));
        m_before = qs::test::ReadFile(m_path);
    }
    void TearDown() override {
        qs::project::Host().isInteractive = nullptr;
        qs::project::Host().postCommand = nullptr;
        ProjectDocTest::TearDown();
    }
    static bool LockedByUs(const std::string& path) {
        CFile probe;
        return !probe.Open(path, CFile::modeReadWrite | CFile::shareDenyWrite);
    }
    std::string m_path, m_before;
    std::vector<unsigned> m_posted;
};

TEST_F(LegacySaveTest, ExportGoesThroughTheLegacySaveAndKeepsTheLock) {
    auto doc = Open(m_path);
    ASSERT_TRUE(doc && doc->HoldsLock());
    const QString path = QString::fromStdString(m_path);
    {  // Cancel the export question, OK the conversion: Save As follows, the lock stays.
        qs::fw::MessageBoxScript boxes({IDCANCEL, IDOK});
        EXPECT_TRUE(doc->DoSave(path, TRUE));
        ASSERT_EQ(boxes.Count(), 2u);
        EXPECT_EQ(boxes.Boxes()[0].text, "Attention!\n\nExport File must be saved in Quillstone 5\nformat using the .qs5 extension!");
        EXPECT_TRUE(boxes.Last().text.startsWith("This file will be saved to a new file using the QS5 format, to retain historical"));
        EXPECT_EQ(m_posted, std::vector<unsigned>{57604u});
    }
    EXPECT_TRUE(doc->HoldsLock());
    EXPECT_TRUE(LockedByUs(m_path));
    EXPECT_EQ(qs::test::ReadFile(m_path), m_before);
    {  // Cancel both: nothing saved, the project's own file neither deleted nor unlocked.
        qs::fw::MessageBoxScript boxes({IDCANCEL, IDCANCEL});
        EXPECT_FALSE(doc->DoSave(path, TRUE));
    }
    EXPECT_EQ(qs::test::ReadFile(m_path), m_before);
    EXPECT_TRUE(doc->HoldsLock());
    EXPECT_TRUE(LockedByUs(m_path));
}

TEST_F(LegacySaveTest, TargetHeldElsewhereOrNoLockIsRefused) {
    const std::string target = m_dir + "/busy.qs1";
    qs::test::WriteFile(target, m_before);
    {
        // The holder starts first: a process forked later would share the document's lock.
        OtherProcessHolding other(target, false);
        ASSERT_TRUE(other.Holding());
        auto doc = Open(m_path);
        ASSERT_TRUE(doc);
        qs::fw::MessageBoxScript boxes({IDCANCEL});
        EXPECT_FALSE(doc->DoSave(QString::fromStdString(target), TRUE));
        EXPECT_EQ(boxes.Last().text, QString::fromStdString("The file:\n" + target +
                                                            "\nis already open by either another application or "
                                                            "another user.\nPlease try saving with a different name."));
        EXPECT_TRUE(doc->HoldsLock());  // locked again on the old file
        EXPECT_TRUE(LockedByUs(m_path));
    }

    // A compound project holds no lock: exporting it under a legacy name
    // makes it read-only.
    const std::string compound = SaveSample(m_dir);
    auto other = Open(compound);
    ASSERT_TRUE(other);
    qs::fw::MessageBoxScript boxes({IDCANCEL});
    EXPECT_FALSE(other->DoSave(QString::fromStdString(m_dir + "/x.qs1"), TRUE));
    EXPECT_TRUE(boxes.Last().text.startsWith("Cannot save this file with this name.\nQuillstone is missing the pointer"));
    EXPECT_TRUE(other->IsReadOnly());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(m_dir + "/x.qs1")));
}

// The six default graph styles of an opened project are checked against the
// style files of the working directory.
TEST_F(ProjectDocTest, DefaultStylesAreCompletedFromTheStyleFiles) {
    const std::string working = m_dir + "/Working";
    std::filesystem::create_directories(working + "/styles");
    qs::test::WriteFile(working + "/styles/mine.rgs", "style");  // folder and file in other case
    qs::test::WriteFile(m_dir + "/escape.rgs", "outside");
    qs::project::Host().workingDirectory = QString::fromStdString(working);

    CProjectDoc saved;
    ASSERT_TRUE(MakeProject(*saved.GetProject()));
    CGraphDefaultStyles& styles = saved.GetProject()->GetGraphDefaultStyles();
    styles.SetStyle(CGraphDefaultStyles::ARRAYS, "MINE.RGS");
    styles.SetStyle(CGraphDefaultStyles::EXHIBITS, "GONE.RGS");
    styles.SetStyle(CGraphDefaultStyles::METHODS, "../escape.rgs");
    styles.SetStyle(CGraphDefaultStyles::SDFS, "");
    const std::string path = m_dir + "/styles.qs5";
    ASSERT_TRUE(saved.OnSaveDocument(QString::fromStdString(path)));

    auto doc = Open(path);
    ASSERT_TRUE(doc);
    std::vector<std::string> names;
    for (int kind = 0; kind < CGraphDefaultStyles::kCount; ++kind)
        names.push_back(doc->GetProject()->GetGraphDefaultStyles().GetStyle(kind));
    // No default is installed: the missing names take the style that is.
    EXPECT_EQ(names, (std::vector<std::string>{"MINE.RGS", "mine.rgs", "mine.rgs", "mine.rgs", "mine.rgs", "mine.rgs"}));
    EXPECT_FALSE(doc->IsModified());
    qs::project::Host().workingDirectory.clear();
}

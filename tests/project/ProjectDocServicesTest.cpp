// Small services of the project document: default graph styles checked
// against the installed style files, the field names page setups offer, the
// user-defined test, the graph lock commands, the title rule and the close
// question.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QWidget>

#include <memory>

#include "CCmdUI.h"
#include "CKDVVantor.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ProjectHost.h"
#include "TestEnvironment.h"

namespace {

using qs::project::Host;

bool MakeProject(CProject& p) {
    std::uint16_t gen = 5, numExp = 5, firstYear = 2001, interval = 1, numDev = 5, firstAge = 12;
    PRDLENGTH len = PRD_YEAR, devLen = PRD_YEAR;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    return p.Create(gen, numExp, len, firstYear, interval, numDev, devLen, firstAge, c1, c2) == 0;
}

class ProjectDocServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = QString::fromStdString(qs::test::MakeTempDir("docservices"));
        m_saved = Host();
        Host().workingDirectory = m_dir;
    }
    void TearDown() override { Host() = m_saved; }
    void InstallStyles(const QStringList& files) {
        QDir(m_dir).mkpath("styles");
        for (const QString& f : files) {
            QFile file(m_dir + "/styles/" + f);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }
    QString m_dir;
    qs::project::ProjectHost m_saved;
};

TEST_F(ProjectDocServicesTest, OpeningReplacesStylesWhoseFilesAreMissingByInstalledOnes) {
    // Installed: the arrays' default, the columns' default and a style of the user's.
    InstallStyles({"DEF_ARR.RGS", "def_col.rgs", "Mine.rgs"});
    const QString path = m_dir + "/p.qs5";
    {
        CProjectDoc doc;
        ASSERT_TRUE(MakeProject(*doc.GetProject()));
        CGraphDefaultStyles& styles = doc.GetProject()->GetGraphDefaultStyles();
        styles.SetStyle(0, "GONE.RGS");   // missing, its default is installed
        styles.SetStyle(1, "MINE.RGS");   // installed (letter case aside): kept
        styles.SetStyle(2, "GONE.RGS");   // missing, and so is DEF_MET.RGS
        styles.SetStyle(4, "DEF_COL.RGS");
        ASSERT_TRUE(doc.OnSaveDocument(path));
    }
    CProjectDoc doc;
    qs::fw::MessageBoxScript boxes;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    const CGraphDefaultStyles& styles = doc.GetProject()->GetGraphDefaultStyles();
    EXPECT_EQ(styles.GetStyle(0), "DEF_ARR.RGS");
    EXPECT_EQ(styles.GetStyle(1), "MINE.RGS");
    // No style of the project names a file that is not there.
    EXPECT_EQ(styles.GetStyle(2), "DEF_ARR.RGS");
    EXPECT_EQ(styles.GetStyle(3), "DEF_ARR.RGS");
    EXPECT_EQ(styles.GetStyle(4), "DEF_COL.RGS");
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ProjectDocServicesTest, WithoutAnyInstalledStyleTheDefaultNameStays) {
    std::string name = "GONE.RGS";
    CProjectDoc::CheckStyleFile(name, "DEF_EXH.RGS");
    EXPECT_EQ(name, "DEF_EXH.RGS");
    InstallStyles({"Other.rgs", "readme.txt"});
    name = "GONE.RGS";
    CProjectDoc::CheckStyleFile(name, "DEF_EXH.RGS");
    EXPECT_EQ(name, "Other.rgs");
    name = "../Other.rgs";  // only a plain name lies in the folder
    CProjectDoc::CheckStyleFile(name, "DEF_EXH.RGS");
    EXPECT_EQ(name, "Other.rgs");
}

TEST_F(ProjectDocServicesTest, PrintFieldNamesOfFileAndDatabaseProjects) {
    const QStringList common = {"As of Date", "Comment", "Company Name", "Description", "Page", "Print Date", "Print Time"};
    {
        CProjectDoc doc;
        EXPECT_EQ(doc.GetPrintFieldNames(), common + QStringList({"File Date", "File Path", "File Time", "File Name"}));
    }
    Host().isInteractive = [] { return false; };
    const QStringList database = common + QStringList({"Evaluation Date", "Query", "--------------"});
    {
        CProjectDoc doc;  // no database answers: no categories
        EXPECT_EQ(doc.GetPrintFieldNames(), database);
    }
    std::string query;
    std::vector<std::string> classes = {"Line", "State"};
    int status = 0;
    Host().queryStrings = [&](CProjectDoc&, const std::string& q, std::vector<std::string>& rows) {
        query = q;
        rows = classes;
        return status;
    };
    {
        CProjectDoc doc;
        EXPECT_EQ(doc.GetPrintFieldNames(),
                  database + QStringList({"Line Type", "Line Type Description", "--", "State Type", "State Type Description"}));
        EXPECT_EQ(query, "select CLASS_NAME from CATEGORIES_TBL where IS_SYSTEM <> 1 order by upper(CLASS_NAME)");
        // Built once for the document's life.
        classes = {"Other"};
        EXPECT_EQ(doc.GetPrintFieldNames().size(), database.size() + 5);
    }
    status = 1;
    {
        CProjectDoc doc;
        EXPECT_EQ(doc.GetPrintFieldNames(), database);
    }
}

TEST_F(ProjectDocServicesTest, UserDefinedObjects) {
    const struct {
        QSID id;
        bool user;
    } cases[] = {
        {MakeID(2, 1, 1, 0, 501), true},  {MakeID(4, 1, 1, 1, 501), true},      {MakeID(6, 1, 0, 0, 501), true},
        {MakeID(1, 1, 1, 0, 1), false},   {MakeID(3, 1, 1, 1, 3), false},       {MakeID(8, 1, 0, 0, 501), true},
        {MakeID(8, 1, 0, 0, 500), false}, {GetGraphIDOf(MakeID(8, 1, 0, 0, 502)), true},
    };
    CProjectDoc doc;
    for (const auto& c : cases) {
        doc.m_nCurrentObjectId = c.id;
        EXPECT_EQ(doc.IsUserDefinedObject(), c.user) << c.id;
    }
    // Kinds 2, 4 and 6 leave the caller's flag alone.
    BOOL flag = FALSE;
    doc.m_nCurrentObjectId = MakeID(2, 1, 1, 0, 501);
    doc.CheckUserDefinedObject(flag);
    EXPECT_EQ(flag, FALSE);
}

// A graph record store that records its calls.
struct FakeGraphStore : CKDVGraph {
    int lockResult = 0;
    std::vector<long> toggled;
    int creationToggles = 0;
    int Load() override { return 7; }
    bool InsertGraph(CGraph*) override { return true; }
    bool UpdateGraph(CGraph*) override { return true; }
    bool UpdateGraph(long) override { return true; }
    bool DeleteGraphRecord(long) override { return true; }
    int StartTransaction() override { return 0; }
    int Commit() override { return 0; }
    int Abort() override { return 0; }
    int CreateLock() override { return 0; }
    int CreateUnLock() override { return 0; }
    int RevertCreateGraphLock() override { ++creationToggles; return lockResult; }
    int GetCreateGraphLockStatus(int& lock) override { lock = 1; return 0; }
    int RevertRecordLock(long id) override { toggled.push_back(id); return lockResult; }
    int GetRecordLockStatus(long, int& lock) override { lock = 1; return 0; }
};

struct FakeVantor : CKDVVantor {
    FakeGraphStore graphs;
    CKDVData* GetData() override { return nullptr; }
    CKDVTemplate* GetTemplate() override { return nullptr; }
    CKDVUdo* GetUdo() override { return nullptr; }
    CKDVGraph* GetGraph() override { return &graphs; }
    CKDVGraphStyle* GetGraphStyle() override { return nullptr; }
    CKDVPrintList* GetPrintList() override { return nullptr; }
    CKDVSummExportList* GetSummExportList() override { return nullptr; }
};

TEST_F(ProjectDocServicesTest, GraphLockCommands) {
    CProjectDoc doc;
    ASSERT_TRUE(MakeProject(*doc.GetProject()));
    auto enabled = [&](UINT id) {
        CCmdUI ui;
        ui.m_nID = id;
        doc.OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui, nullptr);
        return ui.m_enabled;
    };
    doc.m_nCurrentObjectId = MakeID(8, 1, 0, 0, 501);
    // A file project offers none of them.
    for (UINT id : {33117u, 33118u, 33119u}) EXPECT_FALSE(enabled(id)) << id;

    FakeVantor vantor;
    doc.GetProject()->BindDatabase(&vantor, nullptr);
    Host().isInteractive = [] { return false; };
    bool display = false;
    Host().displayGraphLockItem = [&] { return display; };
    EXPECT_FALSE(enabled(33117));
    {
        CCmdUI ui;
        doc.OnUpdateLockGraphCreation(&ui);
        EXPECT_FALSE(ui.m_enabled);
        EXPECT_EQ(ui.m_text, QString());  // the item shows no text
    }
    EXPECT_TRUE(enabled(33119));
    display = true;
    EXPECT_TRUE(enabled(33117));
    EXPECT_TRUE(enabled(33118));

    // Reports show while the main window is.
    QWidget main;
    main.show();
    qs::fw::SetMainWindow(&main);
    qs::fw::MessageBoxScript boxes;
    doc.m_nCurrentObjectId = MakeID(8, 1, 0, 0, 500);
    doc.OnLockGraph();
    EXPECT_TRUE(vantor.graphs.toggled.empty());
    doc.m_nCurrentObjectId = MakeID(8, 1, 3, 0, 501);
    doc.OnLockGraph();
    EXPECT_EQ(vantor.graphs.toggled, std::vector<long>{MakeID(8, 1, 1, 0, 501)});  // the record is layer 1
    EXPECT_EQ(boxes.Count(), 0u);
    // A lock the database refused is reported.
    vantor.graphs.lockResult = -1;
    doc.OnLockGraph();
    doc.OnLockGraphCreation();
    EXPECT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(doc.ReloadGraphs(), 7);
    doc.GetProject()->BindDatabase(nullptr, nullptr);
    qs::fw::SetMainWindow(nullptr);
}

TEST_F(ProjectDocServicesTest, TitleLosesTheProjectExtensionOnlyWhenAsked) {
    CProjectDoc doc;
    doc.SetPathName(m_dir + "/north.qs5", FALSE);
    EXPECT_EQ(doc.GetTitle(), "north.qs5");
    EXPECT_EQ(doc.GetProject()->GetFileName(), (m_dir + "/north.qs5").toStdString());
    Host().showExtension = [] { return 0; };
    doc.SetPathName(m_dir + "/north.qs5", FALSE);
    EXPECT_EQ(doc.GetTitle(), "north");
    doc.SetPathName(m_dir + "/north.QS3", FALSE);
    EXPECT_EQ(doc.GetTitle(), "north");
    doc.SetPathName(m_dir + "/north.txt", FALSE);
    EXPECT_EQ(doc.GetTitle(), "north.txt");
}

TEST_F(ProjectDocServicesTest, CloseQuestionNamesThePath) {
    CProjectDoc doc;
    doc.SetPathName(m_dir + "/north.qs5", FALSE);
    qs::fw::MessageBoxScript boxes{IDCANCEL, IDNO};
    EXPECT_TRUE(doc.SaveModified());  // unchanged: no question
    EXPECT_EQ(boxes.Count(), 0u);
    doc.SetModifiedFlag(TRUE);
    EXPECT_FALSE(doc.SaveModified());
    EXPECT_EQ(boxes.Last().text, "Save changes to " + m_dir + "/north.qs5?");
    EXPECT_TRUE(doc.SaveModified());
}

}  // namespace

TEST(ProjectDocCommandFrame, ObjectCategoryFollowsKindAndDataType) {
    struct Case {
        int kind, dataType;
        int category;
    };
    const Case cases[] = {
        {1, 0, 1000}, {2, 1, 1000}, {1, 7, 1000}, {2, 8, 1000}, {1, 3, 0},  // arrays
        {5, 0, 4000}, {6, 2, 4000},                                          // scalars
        {3, 1, 5000}, {4, 1, 5000}, {3, 2, 6000}, {4, 2, 6000},              // exhibits, methods
        {3, 3, 7000}, {4, 3, 7000}, {3, 0, 0},                               // reports
        {8, 0, 8000}, {0, 1, 0},                                             // graphs, navigator nodes
    };
    for (const Case& c : cases) {
        const QSID id = MakeID(c.kind, 1, 1, c.dataType, 10);
        EXPECT_EQ(CProjectDoc::GetObjectCategory(id), c.category) << "kind " << c.kind << " data type " << c.dataType;
    }
    // A table's graph is a graph, whatever its table is.
    EXPECT_EQ(CProjectDoc::GetObjectCategory(GetGraphIDOf(MakeID(3, 1, 1, 1, 10))), 8000);
}

TEST(ProjectDocCommandFrame, NoActiveViewMeansNoObjectAndClearsTheCurrentOne) {
    CProjectDoc doc;
    doc.m_nCurrentObjectId = 101010001;
    doc.m_nCurrentLayer = 2;
    EXPECT_EQ(doc.GetActiveObject(), 0);
    EXPECT_EQ(doc.m_nCurrentObjectId, 0);
    EXPECT_EQ(doc.m_nCurrentLayer, 0);
}

// The project's flood-fill commands: every fill reports the tables it could
// not fill (and never announces a completion that did not happen); the
// database edition's commands run only on a database project.
#include <gtest/gtest.h>

#include <QWidget>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "CCmdUI.h"
#include "CKDVVantor.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "FloodFill.h"
#include "KernelGlobals.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "MethodTemplates.h"
#include "ObjectMaps.h"
#include "ProjectHost.h"
#include "TestEnvironment.h"

namespace {

using qs::project::Host;

struct NoStores : CKDVVantor {
    CKDVData* GetData() override { return nullptr; }
    CKDVTemplate* GetTemplate() override { return nullptr; }
    CKDVUdo* GetUdo() override { return nullptr; }
    CKDVGraph* GetGraph() override { return nullptr; }
    CKDVGraphStyle* GetGraphStyle() override { return nullptr; }
    CKDVPrintList* GetPrintList() override { return nullptr; }
    CKDVSummExportList* GetSummExportList() override { return nullptr; }
};

class FloodFillCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = Host();
        std::uint16_t gen = 5, numExp = 5, firstYear = 2001, interval = 1, numDev = 5, firstAge = 12;
        PRDLENGTH len = PRD_YEAR, devLen = PRD_YEAR;
        LAYERNAMES c1 = GROSS, c2 = ASSUMED;
        ASSERT_EQ(Project().Create(gen, numExp, len, firstYear, interval, numDev, devLen, firstAge, c1, c2), 0);
        const std::string dir = qs::test::MakeTempDir("fills");
        m_log = dir + "/project.log";
        m_appLog = dir + "/script.log";
        Project().SetLogFileName(m_log);
        // The application's log is another file: the project's reports never go there.
        Host().logFilePath = [this] { return m_appLog; };
        Host().refreshNavigator = [this] { ++m_refreshes; };
        m_main.show();
        qs::fw::SetMainWindow(&m_main);
        gbLogFileContainsError = false;
    }
    void TearDown() override {
        qs::fw::SetMainWindow(nullptr);
        Host() = m_saved;
    }
    CProject& Project() { return *m_doc.GetProject(); }
    void Run(UINT id) { m_doc.OnCmdMsg(id, CN_COMMAND, nullptr, nullptr); }
    bool Enabled(UINT id) {
        CCmdUI ui;
        ui.m_nID = id;
        m_doc.OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui, nullptr);
        return ui.m_enabled;
    }
    std::string Log() const {
        std::ifstream in(m_log);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    QSID ExhibitKey(int array) const {
        QSID id = qsmethods::StandardExhibitID(array);
        SetIDLayer(id, NET);
        return id;
    }
    std::string ExhibitName(int array) {
        return Project().FindObject(qsmethods::StandardExhibitID(array), NET)->GetIDLongName();
    }
    // A selected-factor rule that takes a historical selection the exhibit does not have.
    void AddMissingHistoryRule(int array) {
        CKDVSDFFloodFillOption rule(CKDVSDFFloodFillOption::HISTORICAL);
        rule.GetHistData() = CFFHistorical(3, 0);
        CMapLongToOb map;
        Project().GetRegularSDFFloodFillOption(map);
        map.SetAt(ExhibitKey(array), new CKDVSDFFloodFillOption(rule));
        ASSERT_EQ(Project().SetRegularSDFFloodFillOption(map), 0);
        for (auto& [k, o] : map) delete o;
    }
    void BindDatabase() { Project().BindDatabase(&m_vantor, nullptr); }

    qs::project::ProjectHost m_saved;
    CProjectDoc m_doc;
    QWidget m_main;
    NoStores m_vantor;
    std::string m_log;
    std::string m_appLog;
    int m_refreshes = 0;
};

TEST_F(FloodFillCommandsTest, EachFillNamesTheTablesItCouldNotFill) {
    // Selected factors: exhibit 1 asks for a third historical selection.
    AddMissingHistoryRule(1);
    // Interpolated factors: a rule for an exhibit with no interpolated selections.
    {
        CMapLongToOb map;
        map.SetAt(ExhibitKey(1), new CInterpolateSDFFloodFillOption);
        ASSERT_EQ(Project().SetInterpolateSDFFloodFillOption(map), 0);
        for (auto& [k, o] : map) delete o;
    }
    // Ultimates: the loss kind takes its estimate from a table that is not there.
    unsigned short layer = NET;
    ASSERT_EQ(Project().SetUltFloodFillOption(301003003, layer, CKDVUltFloodFillData(MakeID(1, 1, 0, 0, 999), 0, NET, "Gone"),
                                              0, 0),
              1);
    const std::string lossReport = Project().FindObject(301003003, NET)->GetIDLongName();

    const struct {
        UINT id;
        const char* failed;
        std::string table;
        const char* reason;
    } cases[] = {
        {33055, "Selected Development Factors Flood Fill Operation Failed!", ExhibitName(1),
         "the source its settings name is missing"},
        {33096, "Interpolated Development Factors Flood Fill Operation Failed!", ExhibitName(1),
         "the source its settings name is missing"},
        {33052, "Ultimate Flood Fill Operation Failed!", lossReport, "it shows no selected ultimates"},
    };
    for (const auto& c : cases) {
        qs::fw::MessageBoxScript boxes;
        m_refreshes = 0;
        Run(c.id);
        ASSERT_EQ(boxes.Count(), 1u) << c.id;
        const QString text = boxes.Last().text;
        EXPECT_TRUE(text.startsWith(QString::fromLatin1(c.failed))) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromStdString(c.table) + QStringLiteral(": ") + QString::fromLatin1(c.reason)))
            << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("Completed"))) << c.id;
        EXPECT_EQ(m_refreshes, 1) << c.id;
    }
    // A file project keeps no log and no error flag.
    EXPECT_FALSE(gbLogFileContainsError);
    EXPECT_EQ(Log(), "");
}

TEST_F(FloodFillCommandsTest, ARuleThatOutlivedItsExhibitIsAFailure) {
    AddMissingHistoryRule(1);
    CMapLongToOb map;
    Project().GetRegularSDFFloodFillOption(map);
    QSID gone = MakeID(3, 1, 0, 1, 777);
    SetIDLayer(gone, NET);
    map.SetAt(gone, new CKDVSDFFloodFillOption(CKDVSDFFloodFillOption::STATISTICS));
    ASSERT_EQ(Project().SetRegularSDFFloodFillOption(map), 0);
    for (auto& [k, o] : map) delete o;

    struct Failures : IFloodFillProgress {
        void OnFloodFillStep(int, int, const std::string&) override {}
        void OnFloodFillFailed(const std::string& target, QSSTATUS status) override { seen.emplace_back(target, status); }
        std::vector<std::pair<std::string, QSSTATUS>> seen;
    } progress;
    // Both failures are told; the status is the first one's.
    const QSSTATUS status = Project().FloodFillSDF(&progress, SDF_SELECTED);
    ASSERT_EQ(progress.seen.size(), 2u);
    EXPECT_NE(status, 0);
    EXPECT_EQ(status, progress.seen.front().second);
    qs::fw::MessageBoxScript boxes;
    Run(33055);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes.Last().text.contains(QStringLiteral("(a table): its table no longer exists")));
}

TEST_F(FloodFillCommandsTest, DatabaseRunsAnnounceOnlyWhatCompleted) {
    // A file project: the database edition's commands are disabled and do nothing when sent.
    for (UINT id : {33057u, 33060u, 33061u, 33097u}) EXPECT_FALSE(Enabled(id)) << id;
    for (UINT id : {33051u, 33052u, 33055u, 33056u, 33095u, 33096u}) EXPECT_TRUE(Enabled(id)) << id;
    {
        qs::fw::MessageBoxScript boxes;
        Run(33060);
        EXPECT_EQ(boxes.Count(), 0u);
    }

    BindDatabase();
    for (UINT id : {33057u, 33060u, 33061u, 33097u}) EXPECT_TRUE(Enabled(id)) << id;
    {
        // Nothing to fill fails nothing: the completion is announced and logged
        // without marking the log as holding an error.
        qs::fw::MessageBoxScript boxes;
        Run(33060);
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().text, QStringLiteral("Selected Development Factors Flood Fill Operation Completed!"));
        EXPECT_EQ(boxes.Last().icon, UINT(MB_ICONINFORMATION));
        EXPECT_NE(Log().find("Selected Development Factors Flood Fill Operation Completed!"), std::string::npos);
        EXPECT_FALSE(gbLogFileContainsError);
    }
    AddMissingHistoryRule(11);
    {
        qs::fw::MessageBoxScript boxes;
        Run(33060);
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_TRUE(boxes.Last().text.startsWith(QStringLiteral("Selected Development Factors Flood Fill Operation Failed!")));
        EXPECT_NE(Log().find(ExhibitName(11)), std::string::npos);
        EXPECT_TRUE(gbLogFileContainsError);
    }
    // Under automation with the main window hidden: nothing shown, still logged.
    m_main.hide();
    gbLogFileContainsError = false;
    {
        qs::fw::MessageBoxScript boxes;
        Run(33061);
        EXPECT_EQ(boxes.Count(), 0u);
        EXPECT_NE(Log().find("Ultimate Flood Fill Operation Completed!"), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(m_appLog));
}

TEST_F(FloodFillCommandsTest, MethodVariablesFillOnlyInADatabaseProject) {
    CDataObject proto;
    proto.SetIDLongName("Trend Rate");
    proto.SetShape(5, 1, CDataObject::VT_COLUMN);
    QSID trend = 104;
    ASSERT_EQ(Project().AddNewObject(proto, trend, 0), 0);
    CDataObject* rates = Project().FindDataObject(trend, NET);
    ASSERT_NE(rates, nullptr);
    rates->SetAt(1, 0, 0.03);
    const auto filled = [&] {
        double v = 0;
        std::uint8_t f = 0;
        rates->GetAt(4, 0, v, f);
        return (f & CDataObject::CF_VALUE) != 0 && v == 0.03;
    };
    Run(33057);
    EXPECT_FALSE(filled());
    BindDatabase();
    qs::fw::MessageBoxScript boxes;
    Run(33057);
    EXPECT_TRUE(filled());
    EXPECT_EQ(boxes.Count(), 0u);  // success says nothing
}

}  // namespace

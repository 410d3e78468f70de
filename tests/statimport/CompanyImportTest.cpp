// The import engine fills a new project from the generated sample products
// (statengine/tools/MakeStatDb.cpp gives the formulas of their values) through
// the map files in bin/. Cells are checked one by one against those formulas.
#include <gtest/gtest.h>

#include <QWidget>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CDataObject.h"
#include "CProject.h"
#include "CWinApp.h"
#include "CWnd.h"
#include "KernelIds.h"
#include "LexigroveInterface.h"
#include "TestEnvironment.h"
#include "WindowMessages.h"

extern "C" int GetLexigroveInstance(IStatisticsDb** instance);
extern "C" int ReleaseLexigroveInstance();

namespace {

// Company indexes in database order, and rows of lob.map.
enum { kComposite = 0, kAlder = 1, kBirchwood = 2, kCobalt = 3 };
enum { kAuto = 0, kComp = 1, kHome = 2 };

class StatusRecorder : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        // The text comes as the first parameter; the second stays 0.
        if (message == WM_USER + 4 && wParam && lParam == 0) lines.emplace_back(reinterpret_cast<const char*>(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<std::string> lines;
};

class CompanyImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        qs::test::SetEnv("QS_STAT_DIR", qs::test::BinDir() + "/statistics");
        m_app.m_pszProfileName = QString::fromStdString(qs::test::MakeTempDir("ini") + "/qstone5.ini");
        m_app.WriteProfileString("Settings", "System Directory", QString::fromStdString(qs::test::BinDir()));
        m_app.WriteProfileString("Settings", "LexigroveDebug", "1");
        m_app.m_pMainWnd = &m_status;
    }
    void TearDown() override {
        ReleaseLexigroveInstance();
        m_app.m_pMainWnd = nullptr;
    }
    IStatisticsDb* Engine() {
        IStatisticsDb* db = nullptr;
        EXPECT_EQ(GetLexigroveInstance(&db), 0);
        return db;
    }
    std::unique_ptr<CProject> NewProject(bool prior, int firstYear = 1994) {
        auto p = std::make_unique<CProject>();
        p->SetIncludesPrior(prior);
        std::uint16_t gen = 5, n = prior ? 11 : 10, year = static_cast<std::uint16_t>(firstYear - (prior ? 1 : 0)),
                      interval = 1, dev = prior ? 11 : 10, age = 12;
        PRDLENGTH len = PRD_YEAR, devLen = PRD_YEAR;
        LAYERNAMES c1 = CEDED, c2 = ASSUMED;
        EXPECT_EQ(p->Create(gen, n, len, year, interval, dev, devLen, age, c1, c2), 0);
        return p;
    }
    // The cell's value, or NaN when it holds none; a triangle's cell as its
    // increment (the incremental view) unless cumulative is asked for.
    static double Cell(CProject& p, int index, int layer, int row, int col, bool cumulative = false) {
        QSID id = 101000000 + index;
        SetIDLayer(id, static_cast<unsigned short>(layer));
        CDataObject* o = p.FindDataObject(id, static_cast<unsigned short>(layer));
        if (!o) return -1e300;
        QSSTATUS status = 0;
        const bool was = o->IsViewedCumulative();
        o->ViewCumulative(cumulative ? 1 : 0, status, 0);
        double v = 0;
        std::uint8_t flags = 0;
        o->GetAt(row, col, v, flags);
        o->ViewCumulative(was ? 1 : 0, status, 0);
        return (flags & 1) ? v : std::nan("");
    }

    CWinApp m_app{"Quillstone"};
    StatusRecorder m_status;
};

TEST_F(CompanyImportTest, OneCompanyAndLineOfBusinessCellByCell) {
    IStatisticsDb* db = Engine();
    ASSERT_NE(db, nullptr);
    const char* year = nullptr;
    db->GetDataYear(&year);
    EXPECT_STREQ(year, "2003");
    auto p = NewProject(false);
    ASSERT_EQ(db->ImportCompany(p.get(), kAlder, kAuto, 0), 0);
    for (int r = 0; r < 10; ++r) {
        // Cumulative paid 1000*(r+2) + 10*age arrives as increments.
        EXPECT_DOUBLE_EQ(Cell(*p, 1, GROSS, r, 0), 1000.0 * (r + 2)) << r;
        for (int c = 1; c <= 9 - r; ++c) {
            EXPECT_DOUBLE_EQ(Cell(*p, 1, GROSS, r, c), 10.0) << r << "," << c;
            // ...and the cumulative view shows the series as the database holds it.
            EXPECT_DOUBLE_EQ(Cell(*p, 1, GROSS, r, c, true), 1000.0 * (r + 2) + 10.0 * c) << r << "," << c;
        }
        // Net: gross less the ceded set (a tenth), subtracted into the same cells.
        EXPECT_DOUBLE_EQ(Cell(*p, 1, NET, r, 0), 900.0 * (r + 2)) << r;
        if (r < 9) {
            EXPECT_DOUBLE_EQ(Cell(*p, 1, NET, r, 1), 9.0) << r;
        }
        EXPECT_DOUBLE_EQ(Cell(*p, 11, GROSS, r, 0), 1500.0 * (r + 2)) << r;
        // Premium: item i (newest first) to row 9-i of the column.
        EXPECT_DOUBLE_EQ(Cell(*p, 41, GROSS, r, 0), 4000.0 * (3 + r)) << r;
        // Closed claims on the latest diagonal.
        EXPECT_DOUBLE_EQ(Cell(*p, 3, GROSS, r, 9 - r), 5.0 * (r + 1)) << r;
        if (r < 9) {
            EXPECT_TRUE(std::isnan(Cell(*p, 3, GROSS, r, 0))) << r;
        }
    }
    EXPECT_TRUE(m_status.lines.empty());
}

TEST_F(CompanyImportTest, MissingItemsAndShortTrianglesKeepTheirPlaces) {
    IStatisticsDb* db = Engine();
    ASSERT_NE(db, nullptr);
    // Birchwood (scale 2) misses WC accident year 3 (row 2) at age 1: that
    // cell stays empty and age 2 takes the whole step from age 0.
    auto p = NewProject(false);
    ASSERT_EQ(db->ImportCompany(p.get(), kBirchwood, kComp, 0), 0);
    EXPECT_DOUBLE_EQ(Cell(*p, 1, GROSS, 2, 0), 4000.0);
    EXPECT_TRUE(std::isnan(Cell(*p, 1, GROSS, 2, 1)));
    EXPECT_DOUBLE_EQ(Cell(*p, 1, GROSS, 2, 2), 40.0);
    EXPECT_DOUBLE_EQ(Cell(*p, 1, GROSS, 2, 3), 20.0);
    // WC has nine years of premium for ten accident years: warned, skipped.
    ASSERT_EQ(m_status.lines.size(), 1u);
    EXPECT_EQ(m_status.lines[0], "WARNING: Could not find data for array #41, Gross layer.");
    for (int r = 0; r < 10; ++r) EXPECT_TRUE(std::isnan(Cell(*p, 41, GROSS, r, 0))) << r;

    // HO has only the six newest accident years: they fill rows 4..9, and
    // the column and diagonal follow that size. Its diagonal lives under
    // another array name (utility.map). Cobalt's scale is 3.
    m_status.lines.clear();
    auto q = NewProject(false);
    ASSERT_EQ(db->ImportCompany(q.get(), kCobalt, kHome, 0), 0);
    for (int r = 0; r < 4; ++r) EXPECT_TRUE(std::isnan(Cell(*q, 1, GROSS, r, 0))) << r;
    for (int r = 4; r < 10; ++r) {
        EXPECT_DOUBLE_EQ(Cell(*q, 1, GROSS, r, 0), 600.0 * (r + 2)) << r;
        EXPECT_DOUBLE_EQ(Cell(*q, 41, GROSS, r, 0), 2400.0 * (3 + r)) << r;
        EXPECT_DOUBLE_EQ(Cell(*q, 3, GROSS, r, 9 - r), 15.0 * (r + 1)) << r;
    }
    EXPECT_TRUE(std::isnan(Cell(*q, 41, GROSS, 3, 0)));
    EXPECT_TRUE(m_status.lines.empty());
}

TEST_F(CompanyImportTest, PriorRowTakesElevenRows) {
    IStatisticsDb* db = Engine();
    ASSERT_NE(db, nullptr);
    auto p = NewProject(true);
    ASSERT_EQ(db->ImportCompany(p.get(), kAlder, kAuto, 1), 0);
    // Row 0 holds all prior years and starts at column 1.
    EXPECT_TRUE(std::isnan(Cell(*p, 1, GROSS, 0, 0)));
    EXPECT_DOUBLE_EQ(Cell(*p, 1, GROSS, 0, 1), 1000.0);
    EXPECT_DOUBLE_EQ(Cell(*p, 1, GROSS, 0, 10), 10.0);
    EXPECT_DOUBLE_EQ(Cell(*p, 1, GROSS, 1, 0), 2000.0);
    EXPECT_DOUBLE_EQ(Cell(*p, 1, GROSS, 10, 0), 11000.0);
    EXPECT_DOUBLE_EQ(Cell(*p, 41, GROSS, 0, 0), 4000.0 * 2);
    EXPECT_DOUBLE_EQ(Cell(*p, 41, GROSS, 10, 0), 4000.0 * 12);

    // WC has no all-prior row: ten of eleven names fill rows 1..10, and
    // its nine premiums (one fewer is accepted) go to rows 2..10.
    auto q = NewProject(true);
    ASSERT_EQ(db->ImportCompany(q.get(), kCobalt, kComp, 1), 0);
    EXPECT_TRUE(std::isnan(Cell(*q, 1, GROSS, 0, 1)));
    EXPECT_DOUBLE_EQ(Cell(*q, 1, GROSS, 1, 0), 3000.0);
    EXPECT_TRUE(std::isnan(Cell(*q, 41, GROSS, 1, 0)));
    for (int r = 2; r <= 10; ++r) EXPECT_DOUBLE_EQ(Cell(*q, 41, GROSS, r, 0), 6000.0 * (2 + r)) << r;
    EXPECT_TRUE(m_status.lines.empty());
}

TEST_F(CompanyImportTest, CompanyListAndLinesOfBusiness) {
    IStatisticsDb* db = Engine();
    ASSERT_NE(db, nullptr);
    ICompanyList* list = nullptr;
    ASSERT_EQ(db->GetCompanyList(&list), 0);
    int count = 0;
    ASSERT_EQ(list->GetCount(&count), 0);
    ASSERT_EQ(count, 4);
    const char* name = nullptr;
    long number = -1;
    ASSERT_EQ(list->GetEntry(kComposite, &name, &number), 0);
    EXPECT_EQ(number, 0);
    EXPECT_STREQ(name, "Industry Composite");
    ASSERT_EQ(list->GetEntry(kAlder, &name, &number), 0);
    EXPECT_EQ(number, 123);
    EXPECT_EQ(list->GetNumber(4, &number), -1);
    ILOBMap* lob = nullptr;
    ASSERT_EQ(db->GetLOBMap(&lob), 0);
    ASSERT_EQ(lob->GetCount(&count), 0);
    EXPECT_EQ(count, 3);
    const char* code = nullptr;
    lob->GetColumn1(kComp, &code);
    EXPECT_STREQ(code, "WC");
    // A second request hands out the same instance.
    IStatisticsDb* again = nullptr;
    EXPECT_EQ(GetLexigroveInstance(&again), 0);
    EXPECT_EQ(again, db);
}

TEST_F(CompanyImportTest, TheCompositeIsTheSumOfTheCompanies) {
    IStatisticsDb* db = Engine();
    ASSERT_NE(db, nullptr);
    auto p = NewProject(false);
    ASSERT_EQ(db->ImportCompany(p.get(), kComposite, kAuto, 0), 0);
    EXPECT_DOUBLE_EQ(Cell(*p, 1, GROSS, 0, 0), 12000.0);  // scale 6
}

TEST_F(CompanyImportTest, OlderStatementsUseTheFirstVariableMap) {
    // Only the 1998 product: the requested one is not there, so the session
    // runs with the product that is.
    const std::string dir = qs::test::MakeTempDir("old");
    qs::test::WriteFile(dir + "/ZID_OLD.sdb", qs::test::ReadFile(qs::test::BinDir() + "/statistics/ZID_OLD.sdb"));
    qs::test::SetEnv("QS_STAT_DIR", dir);
    IStatisticsDb* db = Engine();
    ASSERT_NE(db, nullptr);
    const char* year = nullptr;
    db->GetDataYear(&year);
    EXPECT_STREQ(year, "1998");
    auto p = NewProject(false, 1989);
    ASSERT_EQ(db->ImportCompany(p.get(), kAlder, kAuto, 0), 0);
    // Every accident year carries ten items; row r reads items 9-r .. 0.
    for (int r = 0; r < 10; ++r) {
        EXPECT_DOUBLE_EQ(Cell(*p, 1, GROSS, r, 0), 1000.0 * (r + 2)) << r;
        if (r < 9) {
            EXPECT_DOUBLE_EQ(Cell(*p, 1, GROSS, r, 9 - r), 10.0) << r;
        }
    }
    // var1.map has no net row.
    EXPECT_TRUE(std::isnan(Cell(*p, 1, NET, 0, 0)));
}

TEST_F(CompanyImportTest, APairThatCannotBeImportedWholeLeavesNothingBehind) {
    const std::string dir = qs::test::MakeTempDir("maps");
    qs::test::WriteFile(dir + "/lob.map", "Version,1\nA,PPA,Auto\n");
    // The second row names an array the project does not have.
    qs::test::WriteFile(dir + "/var2.map", "Version,1\n1,2,3,0,1,T\n999,2,3,0,1,T\n");
    m_app.WriteProfileString("Settings", "System Directory", QString::fromStdString(dir));
    IStatisticsDb* db = Engine();
    ASSERT_NE(db, nullptr);
    auto p = NewProject(false);
    EXPECT_EQ(db->ImportCompany(p.get(), kAlder, kAuto, 0), -1);
    for (int r = 0; r < 10; ++r) EXPECT_TRUE(std::isnan(Cell(*p, 1, GROSS, r, 0))) << r;
}

TEST_F(CompanyImportTest, AnEmptyVariableMapImportsNothingAndSaysSo) {
    const std::string dir = qs::test::MakeTempDir("empty");
    qs::test::WriteFile(dir + "/lob.map", "Version,1\nA,PPA,Auto\n");
    m_app.WriteProfileString("Settings", "System Directory", QString::fromStdString(dir));
    IStatisticsDb* db = Engine();
    ASSERT_NE(db, nullptr);
    auto p = NewProject(false);
    EXPECT_EQ(db->ImportCompany(p.get(), kAlder, kAuto, 0), -1);
}

TEST_F(CompanyImportTest, AFailedSessionIsNeverHandedOut) {
    qs::test::SetEnv("QS_STAT_DIR", qs::test::MakeTempDir("none"));
    IStatisticsDb* db = reinterpret_cast<IStatisticsDb*>(0x1);
    EXPECT_EQ(GetLexigroveInstance(&db), -1);
    EXPECT_EQ(db, nullptr);
    db = reinterpret_cast<IStatisticsDb*>(0x1);
    EXPECT_EQ(GetLexigroveInstance(&db), -1);
    EXPECT_EQ(db, nullptr);
    EXPECT_EQ(ReleaseLexigroveInstance(), -1);  // no session to end
}

}  // namespace

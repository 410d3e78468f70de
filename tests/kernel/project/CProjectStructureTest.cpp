#include <gtest/gtest.h>

#include "ProjectFixture.h"

namespace {
// Fills Net paid loss with a value that names its cell: 1000 * (row + 1) + col.
void FillPaid(CProject& p) {
    CDataObject* d = p.FindDataObject(kPaidLoss, NET);
    std::uint16_t rows = 0, cols = 0;
    d->GetMaxRowsCols(rows, cols);
    for (int r = 0; r < rows; ++r) {
        std::uint16_t n = 0;
        d->GetNumColsInRow(static_cast<std::uint16_t>(r), n);
        for (int c = 0; c < n; ++c) d->SetAt(r, c, 1000.0 * (r + 1) + c);
    }
}

double Cell(const CProject& p, QSID id, unsigned short layer, int r, int c) {
    double v = -1;
    std::uint8_t f = 0;
    if (p.FindDataObject(id, layer)->GetAt(r, c, v, f) != 0 || !(f & CDataObject::CF_VALUE)) return -1;
    return v;
}

TEST(ProjectStructure, TriangleStaircaseFollowsTheEvaluation) {
    auto p = MakeTestProject(4, 4);
    CDataObject* d = p->FindDataObject(kPaidLoss, NET);
    std::uint16_t n = 0;
    for (int r = 0; r < 4; ++r) {
        d->GetNumColsInRow(static_cast<std::uint16_t>(r), n);
        EXPECT_EQ(n, 4 - r);
    }
    // Quarterly exposure, annual ages from 12: the newest three quarters have no age yet.
    auto q = MakeTestProject(8, 2, PRD_QUARTER, PRD_YEAR);
    CDataObject* qd = q->FindDataObject(kPaidLoss, NET);
    const std::uint16_t expected[8] = {2, 1, 1, 1, 1, 0, 0, 0};  // 24, 21, 18, 15, 12, 9, 6, 3 months
    for (int r = 0; r < 8; ++r) {
        qd->GetNumColsInRow(static_cast<std::uint16_t>(r), n);
        EXPECT_EQ(n, expected[r]) << r;
    }
}

TEST(ProjectStructure, AppendAndRemoveEvaluations) {
    auto p = MakeTestProject(4, 4);
    FillPaid(*p);
    int grow = 1, growCols = 1, clear = 0, count = 1;
    ASSERT_EQ(p->AppendNewEvaluation(grow, growCols, clear, count), 0);
    EXPECT_EQ(p->GetNumExpPrds(), 5);
    EXPECT_EQ(Cell(*p, kPaidLoss, NET, 3, 0), 4000);  // old cells stay
    EXPECT_EQ(Cell(*p, kPaidLoss, NET, 3, 1), -1);    // the new diagonal is open and blank
    EXPECT_TRUE(p->FindDataObject(kPaidLoss, NET)->LocationIsValid(3, 1));
    EXPECT_TRUE(p->FindDataObject(kPaidLoss, NET)->LocationIsValid(4, 0));
    QSStringArray exp, dev, exh;
    std::string t;
    p->GetLabels(exp, dev, exh, t);
    EXPECT_EQ(exp.back(), "2005");
    EXPECT_EQ(dev.back(), "60");

    // A new evaluation without a new row: every row sees one more age.
    grow = 0;
    growCols = 0;
    ASSERT_EQ(p->AppendNewEvaluation(grow, growCols, clear, count), 0);
    EXPECT_EQ(p->GetNumExpPrds(), 5);
    EXPECT_TRUE(p->FindDataObject(kPaidLoss, NET)->LocationIsValid(4, 1));
    EXPECT_EQ(p->GetEvaluationCount(), 6);

    count = 2;
    ASSERT_EQ(p->RemoveLastEvaluation(count), 0);
    EXPECT_EQ(p->GetNumExpPrds(), 4);
    EXPECT_EQ(Cell(*p, kPaidLoss, NET, 0, 3), 1003);
    count = 10;
    EXPECT_NE(p->RemoveLastEvaluation(count), 0);
    EXPECT_EQ(p->GetNumExpPrds(), 4);  // nothing half-done
}

TEST(ProjectStructure, ExposurePeriodsAndPriorRow) {
    auto p = MakeTestProject(4, 4);
    FillPaid(*p);
    int count = 1;
    ASSERT_EQ(p->AppendExposurePeriod(count, 2), 0);  // a period before the oldest
    EXPECT_EQ(p->GetNumExpPrds(), 5);
    EXPECT_EQ(Cell(*p, kPaidLoss, NET, 1, 0), 1000);
    EXPECT_EQ(Cell(*p, kPaidLoss, NET, 0, 0), -1);
    int m = 0, d = 0, y = 0;
    p->GetExpDate(m, d, y, 0);
    EXPECT_EQ(y, 2000);
    ASSERT_EQ(p->AppendExposurePeriod(count, 0), 0);  // the prior row
    EXPECT_TRUE(p->GetIncludesPrior());
    EXPECT_NE(p->AppendExposurePeriod(count, 0), 0);  // only one
    QSStringArray exp, dev, exh;
    std::string t;
    p->GetLabels(exp, dev, exh, t);
    EXPECT_EQ(exp[0], "Prior");
    EXPECT_EQ(Cell(*p, kPaidLoss, NET, 2, 0), 1000);
    ASSERT_EQ(p->RemoveExposurePeriod(count, 2), 0);  // oldest after the prior row
    EXPECT_EQ(Cell(*p, kPaidLoss, NET, 1, 0), 1000);
    ASSERT_EQ(p->RemoveExposurePeriod(count, 1), 0);
    EXPECT_FALSE(p->GetIncludesPrior());
    EXPECT_EQ(Cell(*p, kPaidLoss, NET, 0, 0), 1000);
    EXPECT_NE(p->RemoveExposurePeriod(count, 1), 0);
    count = 4;
    EXPECT_NE(p->RemoveExposurePeriod(count, 2), 0);  // would leave none
    count = 1;
    ASSERT_EQ(p->AppendDevelopmentPeriod(count), 0);
    std::uint16_t nd = 0, age = 0;
    PRDLENGTH dl{};
    p->GetInfoDevPrd(nd, dl, age);
    EXPECT_EQ(nd, 5);
}

struct CompressCase {
    std::uint16_t numExp;
    bool prior;
    int newLength;
    QSSTATUS expected;
};

TEST(ProjectStructure, CompressRowsResults) {
    const CompressCase cases[] = {
        {8, false, 12, 0},     // two whole years
        {7, false, 12, 2},     // one quarter missing: 2 = 1 + 1
        {6, false, 12, 3},     // two missing
        {8, true, 12, 2000},   // 7 quarters besides the prior row: one missing
        {7, true, 12, 3},      // 6 besides the prior row: two missing
        {9, true, 12, 0},
        {8, false, 6, 0},
        {8, false, 5, 1},      // not a period length
        {8, false, 3, 1},      // not longer than the current one
    };
    for (const auto& c : cases) {
        auto p = MakeTestProject(c.numExp, 12, PRD_QUARTER, PRD_QUARTER, c.prior, 3);
        int start = 0, stop = 0, ratio = 0;
        const QSSTATUS before = p->GetNumExpPrds();
        EXPECT_EQ(p->CompressRows(c.newLength, start, stop, ratio), c.expected)
            << c.numExp << (c.prior ? " with prior" : "") << " to " << c.newLength;
        if (c.expected != 0) {
            EXPECT_EQ(p->GetNumExpPrds(), before);
        }
    }
}

TEST(ProjectStructure, CompressRowsSumsPeriodsAtTheirOwnAges) {
    // Four quarters with quarterly ages from 3 months; compress to one year.
    auto p = MakeTestProject(4, 4, PRD_QUARTER, PRD_QUARTER, false, 3);
    CDataObject* d = p->FindDataObject(kPaidLoss, NET);
    // Quarter k's cumulative paid at age a (months) = 10 * (k + 1) * a / 3.
    for (int k = 0; k < 4; ++k)
        for (int c = 0; c < 4 - k; ++c) d->SetAt(k, c, 10.0 * (k + 1) * (c + 1));
    d->SetNoteInCell(0, 0, "first cell");
    p->FindDataObject(101000040, NET)->SetAt(2, 0, 500);
    p->FindDataObject(101000040, NET)->SetAt(3, 0, 250);
    int start = 0, stop = 0, ratio = 0;
    ASSERT_EQ(p->CompressRows(12, start, stop, ratio), 0);
    EXPECT_EQ(ratio, 4);
    ASSERT_EQ(p->GetNumExpPrds(), 1);
    PRDLENGTH el{};
    p->GetLengthExpPrd(el);
    EXPECT_EQ(el, PRD_YEAR);
    // At age 12 of the year: Q1 at 12, Q2 at 9, Q3 at 6, Q4 at 3.
    EXPECT_EQ(Cell(*p, kPaidLoss, NET, 0, 3), 10 * 4 + 20 * 3 + 30 * 2 + 40 * 1);
    // At age 3: only Q1 has data.
    EXPECT_EQ(Cell(*p, kPaidLoss, NET, 0, 0), 10);
    EXPECT_EQ(Cell(*p, 101000040, NET, 0, 0), 750);
    // A cell made of one period keeps that period's note.
    EXPECT_TRUE(p->FindDataObject(kPaidLoss, NET)->DoesCellHaveNote(0, 0));
}

TEST(ProjectStructure, CompressColumnsKeepsTheLongerAges) {
    auto p = MakeTestProject(3, 12, PRD_YEAR, PRD_QUARTER, false, 3);
    CDataObject* d = p->FindDataObject(kPaidLoss, NET);
    for (int c = 0; c < 12; ++c) d->SetAt(0, c, c + 1);
    int count = 0;
    ASSERT_EQ(p->CompressColumns(12, 0, count), 0);
    QSStringArray exp, dev, exh;
    std::string t;
    p->GetLabels(exp, dev, exh, t);
    EXPECT_EQ(dev, (QSStringArray{"12", "24", "36"}));
    EXPECT_EQ(Cell(*p, kPaidLoss, NET, 0, 1), 8);  // age 24 was column 7
    EXPECT_EQ(p->CompressColumns(5, 0, count), 1);
    auto q = MakeTestProject(8, 8, PRD_QUARTER, PRD_QUARTER, false, 3);
    EXPECT_EQ(q->CompressColumns(12, 0, count), 2);  // 2 ages for 8 exposure periods
}

TEST(ProjectStructure, UltimatesCopyToHistoricalAndBack) {
    auto p = MakeTestProject();
    const QSID sel = MakeID(1, 1, 0, 0, 23), hist = MakeID(1, 1, 0, 0, 33);
    p->FindDataObject(sel, NET)->SetAt(2, 0, 1234);
    EXPECT_FALSE(p->HasHistoricalUltimates());
    ASSERT_EQ(p->CopyCurrentUltimatesToHistoricalUltimates(0), 0);
    EXPECT_EQ(Cell(*p, hist, NET, 2, 0), 1234);
    EXPECT_EQ(Cell(*p, hist, GROSS, 2, 0), 1234);  // calculated layers follow
    p->FindDataObject(sel, NET)->SetAt(2, 0, 1);
    ASSERT_EQ(p->CopyHistoricalUltimatesToCurrentUltimates(0), 0);
    EXPECT_EQ(Cell(*p, sel, NET, 2, 0), 1234);
}

TEST(ProjectStructure, RedimKeepsCellsThatStillFit) {
    auto p = MakeTestProject(4, 4);
    FillPaid(*p);
    ASSERT_EQ(p->RedimProj(6, PRD_YEAR, 2001, 1, 6, PRD_YEAR, 12, GROSS, ASSUMED), 0);
    EXPECT_EQ(Cell(*p, kPaidLoss, NET, 1, 2), 2002);
    EXPECT_NE(p->RedimProj(6, PRD_YEAR, 2001, 1, 6, PRD_YEAR, 12, GROSS, GROSS), 0);
    EXPECT_EQ(p->GetNumExpPrds(), 6);
}
}  // namespace

// Starting a new evaluation afresh clears selections, never the user's own
// entered tables.
TEST(ProjectStructure, NewEvaluationClearingKeepsUserTables) {
    auto p = MakeTestProject(4, 4);
    CDataObject proto;
    proto.SetIDLongName("Case Reserves");
    proto.SetIDShortName("CR");
    QSID user = 0;
    ASSERT_EQ(p->AddNewObject(proto, user, 1), 0);
    ASSERT_GE(GetIDIndex(user), qsk::kFirstUserIndex);
    CDataObject* d = p->FindDataObject(user, NET);
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->SetAt(0, 0, 1234.0), 0);
    int grow = 1, growCols = 1, clear = 1, count = 1;
    ASSERT_EQ(p->AppendNewEvaluation(grow, growCols, clear, count), 0);
    EXPECT_EQ(Cell(*p, user, NET, 0, 0), 1234.0);
}

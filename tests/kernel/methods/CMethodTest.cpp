#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "CExhibit.h"
#include "CMethod.h"
#include "CProject.h"
#include "FormulaBinding.h"
#include "KernelIds.h"
#include "MethodTemplates.h"
#include "ProjectFixture.h"
#include "ReservingMath.h"
#include "TestEnvironment.h"

namespace {

CStringStack Stack(std::initializer_list<std::string> t) { return CStringStack(t); }

std::string Do(QSID id) { return "DO" + std::to_string(id); }

double Cell(const CDataObject& d, int r) {
    double v = 0;
    std::uint8_t f = 0;
    d.GetAt(r, 0, v, f);
    return (f & CDataObject::CF_VALUE) ? v : NAN;
}

// The RAA triangle (10 accident years 1981-1990) as Net paid loss, and a paid
// development exhibit whose selections are the volume-weighted factors with
// no tail.
struct RaaProject {
    std::unique_ptr<CProject> p = MakeTestProject(10, 10);
    QSID exhibit = 0;
    qs::calc::Triangle raa;

    RaaProject() {
        std::string err;
        const std::string text = qs::test::ReadFile(qs::test::DataDir() + "/triangles/raa.csv");
        EXPECT_TRUE(qs::calc::ParseLongCsv(text, "values", raa, &err)) << err;
        CDataObject* paid = p->FindDataObject(kPaidLoss, NET);
        for (int r = 0; r < raa.rows; ++r)
            for (int c = 0; c < raa.cols; ++c)
                if (raa.Has(r, c)) paid->SetAt(r, c, raa.At(r, c));
        CExhibit proto;
        proto.SetIDLongName("Paid Loss Development");
        proto.SetSourceID(kPaidLoss);
        EXPECT_EQ(p->AddNewFormulaObject(proto, 3, 1, 5001, true, exhibit), 0);
        std::vector<double> ldf(9);
        std::vector<unsigned char> ok(9);
        qs::calc::VolumeWeightedFactors(raa.Ref(), ldf.data(), ok.data());
        CDataObject* sdf = nullptr;
        EXPECT_EQ(Exhibit()->GetSDFObject(sdf), 0);
        for (int k = 0; k < 9; ++k) sdf->SetAt(0, k, ldf[static_cast<std::size_t>(k)]);
        sdf->SetAt(0, 9, 1.0);  // tail
    }
    CExhibit* Exhibit() const { return dynamic_cast<CExhibit*>(p->FindObject(exhibit, NET)); }
};

// Paid development: latest paid, age-to-ultimate from the exhibit's
// selections, ultimate (the ultimate column) and IBNR.
CMethod PaidDevelopment(QSID exhibit) {
    CMethod m;
    m.SetIDLongName("Paid Loss Development Method");
    m.SetIDShortName("Paid Dev");
    EXPECT_EQ(m.AddNewCol(0, "Paid Loss", Stack({"Diagonal", "(", "\"Paid Loss\"", ")"}),
                          Stack({"Diagonal", "(", Do(kPaidLoss), ")"})), 0);
    EXPECT_EQ(m.AddNewCol(1, "Age to Ultimate", Stack({"ConvertSDFToCol", "(", "\"Paid Dev\"", ")"}),
                          Stack({"ConvertSDFToCol", "(", Do(exhibit), ")"})), 0);
    const QSID c1 = m.GetObjID(0), c2 = m.GetObjID(1);
    EXPECT_EQ(m.AddNewCol(2, "Ultimate", Stack({"\"(1) Paid Loss\"", "*", "\"(2) Age to Ultimate\""}),
                          Stack({Do(c1), "*", Do(c2)})), 0);
    const QSID c3 = m.GetObjID(2);
    EXPECT_EQ(m.AddNewCol(3, "IBNR", Stack({"\"(3) Ultimate\"", "-", "\"(1) Paid Loss\""}),
                          Stack({Do(c3), "-", Do(c1)})), 0);
    for (int k : {0, 2, 3}) m.SetObjTotalType(k, CMethod::TT_SUM);
    EXPECT_EQ(m.SetUltPos(2), 0);
    return m;
}

}  // namespace

TEST(CMethod, PaidDevelopmentReproducesRaaChainLadder) {
    RaaProject raa;
    CMethod proto = PaidDevelopment(raa.exhibit);
    QSID id = 0;
    ASSERT_EQ(raa.p->AddNewObject(proto, id), 0);
    EXPECT_EQ(GetIDDOType(id), 4);
    EXPECT_EQ(GetIDDataType(id), 2);
    auto* m = dynamic_cast<CMethod*>(raa.p->FindObject(id, NET));
    ASSERT_TRUE(m);

    const double published[] = {18834, 16857.953917, 24083.370924, 28703.142163, 28926.736343,
                                19501.103184, 17749.302590, 24019.192510, 16044.984101, 18402.442529};
    const CDataObject* ult = m->GetDataObject(3);
    ASSERT_TRUE(ult);
    for (int r = 0; r < 10; ++r) EXPECT_NEAR(Cell(*ult, r), published[r], 5e-7) << r;
    std::vector<const double*> totals;
    m->GetTotals(totals);
    ASSERT_EQ(totals.size(), 4u);
    EXPECT_NEAR(*totals[0], 160987.0, 1e-9);
    EXPECT_EQ(totals[1], nullptr);  // the factors are not totalled
    EXPECT_NEAR(*totals[2], 213122.228261, 5e-7);
    EXPECT_NEAR(*totals[3], 52135.228261, 5e-7);

    // The ultimate id names the ultimate column.
    const QSID ultId = m->GetUltID();
    EXPECT_EQ(GetIDDOType(ultId), 2);
    EXPECT_EQ(GetIDDataType(ultId), 2);
    CDataObject* table = nullptr;
    ASSERT_EQ(raa.p->UltimateMapLookup(ultId, table), 0);
    EXPECT_EQ(table, ult);

    // A new selection reaches the method through the exhibit: a 1.05 tail.
    CDataObject* sdf = nullptr;
    raa.Exhibit()->GetSDFObject(sdf);
    sdf->SetAt(0, 9, 1.05);
    m->GetTotals(totals);
    EXPECT_NEAR(*totals[3], 62791.34, 5e-3);
}

TEST(CMethod, StoredWithTheProject) {
    RaaProject raa;
    CMethod proto = PaidDevelopment(raa.exhibit);
    proto.SetMethodType(CMethod::MT_DEVELOPMENT);
    proto.SetLinks({401003501});
    proto.SetColHeader(2, "Ultimate\r\nLoss");
    proto.SetObjHidden(1, true);
    proto.SetObjStats(2, true, true, false);
    proto.SetObjDecimal(1, 4);
    QSID id = 0;
    ASSERT_EQ(raa.p->AddNewObject(proto, id), 0);
    const std::vector<std::uint8_t> bytes = raa.p->SaveProject();

    CProject loaded;
    ASSERT_EQ(loaded.LoadProject(bytes.data(), bytes.size()), 0);
    auto* m = dynamic_cast<CMethod*>(loaded.FindObject(id, NET));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->GetNumDataObjects(), 4);
    EXPECT_EQ(m->GetUltPos(), 2);
    EXPECT_EQ(m->GetColName(3), "IBNR");
    EXPECT_EQ(m->GetColHeader(2), "Ultimate\r\nLoss");
    EXPECT_TRUE(m->IsObjHidden(1));
    EXPECT_EQ(m->GetObjDecimal(1), 4);
    EXPECT_EQ(m->GetObjStats(2), CMethod::ST_AVERAGE | CMethod::ST_LTREND);
    QSIDArray links;
    m->GetLinks(links);
    EXPECT_EQ(links, QSIDArray{401003501});
    std::vector<const double*> totals;
    m->GetTotals(totals);
    EXPECT_NEAR(*totals[2], 213122.228261, 5e-7);
    // The loaded method still follows its sources.
    loaded.FindDataObject(kPaidLoss, NET)->SetAt(9, 0, 2 * 2063.0);
    EXPECT_NEAR(Cell(*m->GetDataObject(3), 9), 2 * 18402.442529, 1e-6);

    // A damaged record is refused, never half read.
    std::vector<std::uint8_t> cut(bytes.begin(), bytes.end() - 40);
    CProject damaged;
    EXPECT_NE(damaged.LoadProject(cut.data(), cut.size()), 0);
}

TEST(CMethod, ColumnsReadOnlyEarlierColumnsAndKnownObjects) {
    auto p = MakeTestProject(3, 3);
    CMethod m(p.get());
    ASSERT_EQ(m.AddNewCol(0, "Paid", Stack({"Diagonal", "(", "\"Paid Loss\"", ")"}),
                          Stack({"Diagonal", "(", Do(kPaidLoss), ")"})), 0);
    const QSID c1 = m.GetObjID(0);
    // A column before the one it reads, an unknown column and an unknown object are refused.
    EXPECT_EQ(m.AddNewCol(0, "Twice", Stack({"x", "*", "2"}), Stack({Do(c1), "*", "2"})), 25);
    EXPECT_EQ(m.AddNewCol(1, "Other", Stack({"x"}), Stack({Do(c1 + 1000000)})), 25);
    EXPECT_EQ(m.AddNewCol(1, "Bad", Stack({"x"}), Stack({"DO101000999"})), 25);
    EXPECT_EQ(m.AddNewCol(1, "Syntax", Stack({"(", "1"}), Stack({"(", "1"})), 21);
    EXPECT_EQ(m.GetNumDataObjects(), 1);
    ASSERT_EQ(m.AddNewCol(1, "Twice", Stack({"x", "*", "2"}), Stack({Do(c1), "*", "2"})), 0);
    ASSERT_EQ(m.SetUltPos(1), 0);
    // Inserting before keeps ids and moves the ultimate.
    ASSERT_EQ(m.AddNewCol(0, "Note", Stack({}), Stack({})), 0);
    EXPECT_EQ(m.GetObjID(1), c1);
    EXPECT_EQ(m.GetUltPos(), 2);
    // A column read by another stays; the reader goes, then the column.
    EXPECT_NE(m.RemoveColDef(1), 0);
    EXPECT_EQ(m.GetNumDataObjects(), 3);
    EXPECT_EQ(m.RemoveColDef(2), 0);
    EXPECT_EQ(m.GetUltPos(), -1);
    EXPECT_EQ(m.RemoveColDef(1), 0);
    EXPECT_NE(m.RemoveColDef(5), 0);
}

TEST(CMethod, SummaryRows) {
    auto p = MakeTestProject(4, 4);
    CDataObject* prem = p->FindDataObject(101000041, NET);
    CDataObject* paid = p->FindDataObject(kPaidLoss, NET);
    const double premiums[] = {100, 200, 400, 800};
    const double losses[] = {50, 120, 200, 560};
    for (int r = 0; r < 4; ++r) {
        prem->SetAt(r, 0, premiums[r]);
        paid->SetAt(r, 3 - r, losses[r]);
    }
    CMethod proto;
    proto.SetIDLongName("Loss ratios");
    ASSERT_EQ(proto.AddNewCol(0, "Premium", Stack({"EP"}), Stack({Do(101000041)})), 0);
    ASSERT_EQ(proto.AddNewCol(1, "Loss", Stack({"Diagonal", "(", "PL", ")"}),
                              Stack({"Diagonal", "(", Do(kPaidLoss), ")"})), 0);
    ASSERT_EQ(proto.AddNewCol(2, "Ratio", Stack({"L", "/", "P"}), Stack({Do(proto.GetObjID(1)), "/", Do(proto.GetObjID(0))})), 0);
    proto.SetObjTotalType(0, CMethod::TT_SUM);
    proto.SetObjTotalType(2, CMethod::TT_FORMULA);
    proto.SetObjStats(0, true, true, true);
    QSID id = 0;
    ASSERT_EQ(p->AddNewObject(proto, id), 0);
    auto* m = dynamic_cast<CMethod*>(p->FindObject(id, NET));
    EXPECT_TRUE(m->HasTotals() && m->HasAverages() && m->HasLTrends() && m->HasExpCurves());
    std::vector<const double*> t, a, l, e;
    m->GetTotals(t);
    m->GetAverages(a);
    m->GetLTrends(l);
    m->GetExpCurves(e);
    EXPECT_DOUBLE_EQ(*t[0], 1500);
    EXPECT_EQ(t[1], nullptr);
    // The total of a ratio is the ratio of the totals, not a sum of ratios.
    EXPECT_NEAR(*t[2], 930.0 / 1500.0, 1e-12);
    EXPECT_DOUBLE_EQ(*a[0], 375);
    EXPECT_EQ(a[1], nullptr);
    // 100, 200, 400, 800 against 1..4: slope 230, intercept -200; doubling each period.
    EXPECT_NEAR(l[0][0], 230, 1e-9);
    EXPECT_NEAR(l[0][1], -200, 1e-9);
    EXPECT_NEAR(l[0][2], 0.92, 1e-12);  // 1150^2 / (5 x 287500)
    EXPECT_NEAR(e[0][0], 100, 1e-9);
    EXPECT_NEAR(e[0][1], 50, 1e-9);
    EXPECT_NEAR(e[0][2], 1, 1e-12);
    QSStringArray rows, cols;
    std::string title;
    ASSERT_EQ(m->GetLabels(rows, cols, title), 0);
    EXPECT_EQ(rows.size(), 4u);
    EXPECT_EQ(cols, (QSStringArray{"Premium", "Loss", "Ratio"}));
    EXPECT_EQ(title, "Loss ratios");
}

TEST(CMethod, StandardMethodsReproduceReferenceFigures) {
    RaaProject raa;  // RAA as paid loss (its own paid exhibit is replaced below)
    CProject& p = *raa.p;
    CDataObject* inc = p.FindDataObject(101000011, NET);
    CDataObject* prem = p.FindDataObject(101000041, NET);
    for (int r = 0; r < 10; ++r) {
        prem->SetAt(r, 0, 40000);
        for (int c = 0; c < 10 - r; ++c) inc->SetAt(r, c, raa.raa.At(r, c));
    }
    ASSERT_EQ(qsmethods::AddStandardExhibitsAndMethods(p), 0);
    std::vector<double> ldf(9);
    std::vector<unsigned char> ok(9);
    qs::calc::VolumeWeightedFactors(raa.raa.Ref(), ldf.data(), ok.data());
    for (int a : {1, 11}) {
        auto* ex = dynamic_cast<CExhibit*>(p.FindObject(qsmethods::StandardExhibitID(a), NET));
        ASSERT_TRUE(ex) << a;
        CDataObject* sdf = nullptr;
        ASSERT_EQ(ex->GetSDFObject(sdf), 0);
        for (int k = 0; k < 9; ++k) sdf->SetAt(0, k, ldf[static_cast<std::size_t>(k)]);
        sdf->SetAt(0, 9, 1.0);
    }
    auto method = [&](int index) { return dynamic_cast<CMethod*>(p.FindObject(qsmethods::StandardMethodID(index), NET)); };
    auto total = [&](CMethod* m, int pos) {
        std::vector<const double*> t;
        m->GetTotals(t);
        return t[static_cast<std::size_t>(pos)] ? *t[static_cast<std::size_t>(pos)] : NAN;
    };
    for (int i : {1, 2, 3, 4, 5, 6, 7, 45, 50}) {
        ASSERT_TRUE(method(i)) << i;
        EXPECT_GE(method(i)->GetUltPos(), 0) << i;
        for (int k = 0; k < method(i)->GetNumDataObjects(); ++k) EXPECT_EQ(method(i)->GetColStatus(k), 0) << i << "/" << k;
    }
    EXPECT_NEAR(total(method(qsmethods::kPaidDevelopment), 2), 213122.228261, 5e-7);
    EXPECT_NEAR(total(method(qsmethods::kIncurredDevelopment), 3), 52135.228261, 5e-7);

    // Bornhuetter-Ferguson with an expected loss ratio of 70 % on 40,000 of premium.
    CMethod* bf = method(qsmethods::kPaidBF);
    CDataObject* elr = bf->GetDataObject(2);
    ASSERT_FALSE(elr->IsReadOnly());
    EXPECT_TRUE(bf->GetDataObject(3)->IsReadOnly());
    for (int r = 0; r < 10; ++r) ASSERT_EQ(elr->SetAt(r, 0, 0.7), 0);
    EXPECT_NEAR(total(bf, 5), 75203.2355, 5e-5);
    EXPECT_NEAR(total(bf, 7), 160987.0 + 75203.2355, 5e-5);

    CMethod* elrMethod = method(qsmethods::kExpectedLossRatio);
    for (int r = 0; r < 10; ++r) elrMethod->GetDataObject(2)->SetAt(r, 0, 0.7);
    EXPECT_NEAR(total(elrMethod, 2), 280000, 1e-6);

    // Cape Cod: the loss ratio is the latest incurred over the used-up premium of all years.
    std::vector<double> atu(10);
    qs::calc::AgeToUltimate(ldf.data(), 9, 1.0, atu.data());
    double usedUp = 0, ibnr = 0;
    for (int r = 0; r < 10; ++r) usedUp += 40000 / atu[static_cast<std::size_t>(9 - r)];
    const double ccElr = 160987.0 / usedUp;
    for (int r = 0; r < 10; ++r) ibnr += 40000 * ccElr * (1 - 1 / atu[static_cast<std::size_t>(9 - r)]);
    CMethod* cc = method(qsmethods::kCapeCod);
    EXPECT_NEAR(Cell(*cc->GetDataObject(5), 0), ccElr, 1e-12);
    EXPECT_NEAR(total(cc, 5), ibnr, 1e-6);

    // Stored with the project, formulas as text a user can read.
    CStringStack raw, resolved;
    ASSERT_EQ(bf->GetColFormula(4, raw, resolved), 0);
    std::string token;
    raw.GetAt(2, token);
    EXPECT_EQ(token, "Invert");
    raw.GetAt(4, token);
    EXPECT_EQ(token, "\"(4) Age to Ultimate Factor\"");
    const std::vector<std::uint8_t> bytes = p.SaveProject();
    CProject loaded;
    ASSERT_EQ(loaded.LoadProject(bytes.data(), bytes.size()), 0);
    auto* bf2 = dynamic_cast<CMethod*>(loaded.FindObject(qsmethods::StandardMethodID(qsmethods::kPaidBF), NET));
    ASSERT_TRUE(bf2);
    EXPECT_NEAR(total(bf2, 5), 75203.2355, 5e-5);
}

// A new project's selections have no tail. Filled from a statistic, the
// exhibit and the methods cumulate them by one rule (a blank tail counts as
// 1), so every period develops; a total over a column without values is
// blank, not 0.
TEST(CMethod, FreshProjectFilledFromAStatisticDevelopsEveryPeriod) {
    RaaProject raa;
    CProject& p = *raa.p;
    ASSERT_EQ(qsmethods::AddStandardExhibitsAndMethods(p), 0);
    auto method = [&](int index) { return dynamic_cast<CMethod*>(p.FindObject(qsmethods::StandardMethodID(index), NET)); };
    std::vector<const double*> totals;
    // No incurred losses yet: the incurred method's totals are blank.
    method(qsmethods::kIncurredDevelopment)->GetTotals(totals);
    for (std::size_t k = 0; k < totals.size(); ++k) EXPECT_EQ(totals[k], nullptr) << k;

    QSID exhibit = qsmethods::StandardExhibitID(1);
    SetIDLayer(exhibit, NET);
    const QSIDArray targets{exhibit};
    ASSERT_EQ(p.FillProjFromStat({1, 1, 0, 0, 0, 0, 0, 1}, &targets), 0);  // all-year volume weighted
    auto* ex = dynamic_cast<CExhibit*>(p.FindObject(exhibit, NET));
    CDataObject* sdf = nullptr;
    ASSERT_EQ(ex->GetSDFObject(sdf), 0);
    double tail = 0;
    std::uint8_t flags = 0;
    sdf->GetAt(0, 9, tail, flags);
    EXPECT_FALSE(flags & CDataObject::CF_VALUE);  // still no tail

    CMethod* paid = method(qsmethods::kPaidDevelopment);
    const double published[] = {18834, 16857.953917, 24083.370924, 28703.142163, 28926.736343,
                                19501.103184, 17749.302590, 24019.192510, 16044.984101, 18402.442529};
    for (int r = 0; r < 10; ++r) EXPECT_NEAR(Cell(*paid->GetDataObject(3), r), published[r], 5e-7) << r;
    paid->GetTotals(totals);
    ASSERT_TRUE(totals[2] && totals[3]);
    EXPECT_NEAR(*totals[2], 213122.228261, 5e-7);
    EXPECT_NEAR(*totals[3], 52135.228261, 5e-7);
    // The exhibit's cumulative row agrees with the method's factors.
    CDataObject* cum = nullptr;
    ASSERT_EQ(ex->GetCumSDFObject(cum), 0);
    for (int r = 0; r < 10; ++r) {
        double v = 0;
        cum->GetAt(0, 9 - r, v, flags);
        EXPECT_NEAR(v, Cell(*paid->GetDataObject(2), r), 1e-12) << r;
    }
}

// With one period's premium blank, the Cape Cod loss ratio sums losses and
// used-up premium over the same periods, and the totals that leave that
// period out say so.
TEST(CMethod, PeriodWithoutPremiumIsLeftOutOfBothSumsAndNamed) {
    RaaProject raa;
    CProject& p = *raa.p;
    CDataObject* inc = p.FindDataObject(101000011, NET);
    CDataObject* prem = p.FindDataObject(101000041, NET);
    for (int r = 0; r < 10; ++r) {
        if (r > 0) prem->SetAt(r, 0, 40000);  // the oldest period has no premium
        for (int c = 0; c < 10 - r; ++c) inc->SetAt(r, c, raa.raa.At(r, c));
    }
    ASSERT_EQ(qsmethods::AddStandardExhibitsAndMethods(p), 0);
    std::vector<double> ldf(9);
    std::vector<unsigned char> ok(9);
    qs::calc::VolumeWeightedFactors(raa.raa.Ref(), ldf.data(), ok.data());
    auto* ex = dynamic_cast<CExhibit*>(p.FindObject(qsmethods::StandardExhibitID(11), NET));
    CDataObject* sdf = nullptr;
    ASSERT_EQ(ex->GetSDFObject(sdf), 0);
    for (int k = 0; k < 9; ++k) sdf->SetAt(0, k, ldf[static_cast<std::size_t>(k)]);
    auto method = [&](int index) { return dynamic_cast<CMethod*>(p.FindObject(qsmethods::StandardMethodID(index), NET)); };

    std::vector<double> atu(10);
    qs::calc::AgeToUltimate(ldf.data(), 9, 1.0, atu.data());
    double losses = 0, usedUp = 0;
    for (int r = 1; r < 10; ++r) {
        losses += raa.raa.At(r, 9 - r);
        usedUp += 40000 / atu[static_cast<std::size_t>(9 - r)];
    }
    CMethod* cc = method(qsmethods::kCapeCod);
    EXPECT_EQ(cc->GetColStatus(4), 0);
    EXPECT_NEAR(Cell(*cc->GetDataObject(5), 3), losses / usedUp, 1e-12);
    EXPECT_LT(Cell(*cc->GetDataObject(5), 3), (losses + raa.raa.At(0, 9)) / usedUp);

    // The totals of the columns blank in that period name it; the others do not.
    QSStringArray exposure, development, exhibit;
    std::string word;
    ASSERT_EQ(p.GetLabels(exposure, development, exhibit, word), 0);
    const std::string oldest = exposure.at(0);
    CMethod* elr = method(qsmethods::kExpectedLossRatio);
    for (int r = 0; r < 10; ++r) elr->GetDataObject(2)->SetAt(r, 0, 0.7);
    for (CMethod* m : {elr, cc}) {
        for (int k = 0; k < m->GetNumDataObjects(); ++k) {
            const bool blank = std::isnan(Cell(*m->GetDataObject(k + 1), 0));
            const bool summed = m->GetObjTotalType(k) == CMethod::TT_SUM;
            EXPECT_EQ(m->GetRowsLeftOutOfTotal(k), blank && summed ? std::vector<int>{0} : std::vector<int>{})
                << m->GetIDShortName() << " " << m->GetColName(k);
        }
    }
    const std::vector<std::string>& messages = elr->GetMessages();
    ASSERT_EQ(messages.size(), 3u);  // Earned Premium, Ultimate Loss, IBNR
    EXPECT_EQ(messages[1], "The total of Ultimate Loss leaves out " + oldest + ".");
    // With the premium there, nothing is left out.
    prem->SetAt(0, 0, 40000);
    EXPECT_TRUE(elr->GetMessages().empty());
    EXPECT_TRUE(cc->GetRowsLeftOutOfTotal(3).empty());
}

// Other objects' formulas read a method's ultimate column (by the method's id
// or its ultimate id) and any of its columns (by the column's reference id);
// an edit of the input recalculates the method and, after it, what reads it.
TEST(CMethod, ColumnsAreFormulaSourcesOfOtherObjects) {
    RaaProject raa;
    CProject& p = *raa.p;
    CMethod proto = PaidDevelopment(raa.exhibit);
    QSID mid = 0;
    ASSERT_EQ(p.AddNewObject(proto, mid, 1), 0);
    auto* m = dynamic_cast<CMethod*>(p.FindObject(mid, NET));
    ASSERT_TRUE(m);
    const QSID ult = MakeID(GetIDDOType(m->GetUltID()), 1, 0, 2, GetIDIndex(m->GetUltID()));
    const QSID ibnrRef = m->GetColRefID(3);
    int serial = 0;
    EXPECT_EQ(CMethod::MethodIDFromColRef(ibnrRef, serial), mid);
    EXPECT_EQ(serial, 4);

    // A second method: ultimate by ultimate id, IBNR by column reference,
    // their sum by the method's own id.
    CMethod second;
    second.SetIDLongName("Checks");
    ASSERT_EQ(second.AddNewCol(0, "Ultimate", Stack({"U"}), Stack({Do(ult)})), 0);
    ASSERT_EQ(second.AddNewCol(1, "IBNR", Stack({"I"}), Stack({Do(ibnrRef)})), 0);
    ASSERT_EQ(second.AddNewCol(2, "Half", Stack({"M"}), Stack({Do(mid), "/", "2"})), 0);
    second.SetObjTotalType(0, CMethod::TT_SUM);
    second.SetObjTotalType(1, CMethod::TT_SUM);
    second.SetUltPos(0);
    QSID sid = 0;
    ASSERT_EQ(p.AddNewObject(second, sid, 1), 0);
    auto* s = dynamic_cast<CMethod*>(p.FindObject(sid, NET));
    auto total = [](CMethod* x, int pos) {
        std::vector<const double*> t;
        x->GetTotals(t);
        return t[static_cast<std::size_t>(pos)] ? *t[static_cast<std::size_t>(pos)] : NAN;
    };
    EXPECT_NEAR(total(s, 0), 213122.228261, 5e-7);
    EXPECT_NEAR(total(s, 1), 52135.228261, 5e-7);
    EXPECT_NEAR(Cell(*s->GetDataObject(3), 0), Cell(*m->GetDataObject(3), 0) / 2, 1e-9);

    // A user table three levels down follows too.
    CStringStack raw({"C"}), resolved({Do(sid), "*", "1"});
    CUserTable table;
    table.SetIDLongName("Ultimate again");
    table.SetVectorType(CDataObject::VT_COLUMN);
    ASSERT_EQ(table.SetFormula(raw, resolved), 0);
    QSID tid = 0;
    ASSERT_EQ(p.AddNewFormulaObject(table, 2, 0, qsk::kNodeUserInput, true, tid), 0);
    p.PostInit();
    auto* t = dynamic_cast<CUserTable*>(p.FindObject(tid, NET));
    ASSERT_TRUE(t && s);
    // Editing the oldest year's latest paid moves its ultimate (factor 1 at
    // its age) in every object that reads it.
    CDataObject* paid = p.FindDataObject(kPaidLoss, NET);
    paid->SetAt(0, 9, 20000);
    EXPECT_DOUBLE_EQ(Cell(*m->GetDataObject(3), 0), 20000);
    EXPECT_DOUBLE_EQ(Cell(*s->GetDataObject(1), 0), 20000);
    double v = 0;
    std::uint8_t f = 0;
    t->GetAt(0, 0, v, f);
    EXPECT_DOUBLE_EQ(v, 20000);

    // Reading itself, or what is calculated from it, is refused.
    EXPECT_EQ(m->SetColFormula(1, Stack({"X"}), Stack({Do(sid)})), qsformula::kCircular);
    EXPECT_EQ(m->SetColFormula(1, Stack({"X"}), Stack({Do(mid)})), qsformula::kCircular);
    // A column another method reads cannot be removed; moving the ultimate
    // recalculates what reads it.
    EXPECT_NE(m->RemoveColDef(3), 0);
    EXPECT_EQ(m->GetNumDataObjects(), 4);
    ASSERT_EQ(m->SetUltPos(0), 0);  // the latest paid
    EXPECT_DOUBLE_EQ(Cell(*s->GetDataObject(1), 1), Cell(*m->GetDataObject(1), 1));
    t->GetAt(1, 0, v, f);
    EXPECT_DOUBLE_EQ(v, Cell(*m->GetDataObject(1), 1));
    // A column that does not exist names nothing.
    EXPECT_EQ(s->SetColFormula(1, Stack({"X"}), Stack({Do(MakeID(9, 77, 0, 6, GetIDIndex(mid)))})),
              qsformula::kUnknownObject);
}

TEST(CMethod, FollowsANewEvaluation) {
    RaaProject raa;
    CMethod proto = PaidDevelopment(raa.exhibit);
    QSID id = 0;
    ASSERT_EQ(raa.p->AddNewObject(proto, id), 0);
    auto* m = dynamic_cast<CMethod*>(raa.p->FindObject(id, NET));
    ASSERT_TRUE(m);
    int grow = 1, growCols = 1, clear = 1, count = 1;
    ASSERT_EQ(raa.p->AppendNewEvaluation(grow, growCols, clear, count), 0);
    // Every column takes the new exposure period.
    for (int k = 1; k <= m->GetNumDataObjects(); ++k) {
        std::uint16_t rows = 0, cols = 0;
        m->GetDataObject(k)->GetMaxRowsCols(rows, cols);
        EXPECT_EQ(rows, 11) << k;
    }
    count = 1;
    ASSERT_EQ(raa.p->RemoveLastEvaluation(count), 0);
    std::uint16_t rows = 0, cols = 0;
    m->GetDataObject(1)->GetMaxRowsCols(rows, cols);
    EXPECT_EQ(rows, 10);
    EXPECT_EQ(Cell(*m->GetDataObject(1), 0), 18834);  // the latest diagonal again
}

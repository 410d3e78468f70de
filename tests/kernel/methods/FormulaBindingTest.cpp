// Formulas on the project model: user tables calculated by their formulas,
// exactly their dependents recalculated, circular and unknown references
// refused, the formula page's probe, and the stored form.
#include <gtest/gtest.h>

#include "CScalar.h"
#include "FormulaBinding.h"
#include "FormulaTestHelpers.h"
#include "ProjectFixture.h"

namespace {

constexpr QSID kEarnedPremium = 101000041;

CStringStack Stack(std::initializer_list<std::string> t) { return CStringStack(t); }

// Adds a user triangle with the formula and returns its id.
QSID AddTable(CProject& p, const std::string& name, const CStringStack& raw, const CStringStack& resolved,
              int vectorType = CDataObject::VT_TRIANGLE) {
    QSSTATUS status = 0;
    const QSID id = qs::test::AddFormulaTable(p, name, raw, resolved, vectorType, &status);
    EXPECT_EQ(status, 0);
    p.PostInit();
    return id;
}

double Cell(CProject& p, QSID id, int r, int c, std::uint8_t* flags = nullptr) {
    CDataObject* d = p.FindDataObject(id, NET);
    double v = 0;
    std::uint8_t f = 0;
    EXPECT_EQ(d->GetAt(r, c, v, f), 0);
    if (flags) *flags = f;
    return v;
}

}  // namespace

TEST(FormulaBinding, TablesFollowTheirSourcesAndOnlyTheirDependentsRecalculate) {
    auto p = MakeTestProject(3, 3);
    CDataObject* paid = p->FindDataObject(kPaidLoss, NET);
    CDataObject* prem = p->FindDataObject(kEarnedPremium, NET);
    paid->SetAt(0, 0, 100);
    paid->SetAt(1, 0, 110);
    paid->SetAt(2, 0, 120);
    prem->SetAt(0, 0, 1000);
    prem->SetAt(1, 0, 1100);
    prem->SetAt(2, 0, 0);

    const QSID ratio = AddTable(*p, "Paid to premium", Stack({"\"Paid Loss\"", "/", "\"Earned Premiums\""}),
                                Stack({"DO101000001", "/", "DO101000041"}));
    const QSID doubled = AddTable(*p, "Doubled ratio", Stack({"\"Paid to premium\"", "*", "2"}),
                                  Stack({"DO" + std::to_string(ratio), "*", "2"}));
    const QSID other = AddTable(*p, "Incurred copy", Stack({"\"Incurred Loss and ALAE\""}),
                                Stack({"DO" + std::to_string(kIncurredLossAlae)}));

    EXPECT_DOUBLE_EQ(Cell(*p, ratio, 0, 0), 0.1);
    EXPECT_DOUBLE_EQ(Cell(*p, doubled, 1, 0), 0.2);
    std::uint8_t f = 0;
    Cell(*p, ratio, 2, 0, &f);
    EXPECT_TRUE(f & CDataObject::CF_NOTAVAIL);  // divided by a zero premium
    Cell(*p, ratio, 0, 1, &f);
    EXPECT_EQ(f & (CDataObject::CF_VALUE | CDataObject::CF_BLANK), CDataObject::CF_BLANK);  // blank paid
    EXPECT_TRUE(p->FindDataObject(ratio, NET)->IsReadOnly());
    EXPECT_TRUE(p->FindDataObject(ratio, NET)->HasValidFormula());

    RecordingWindow wRatio, wDoubled, wOther;
    p->FindDataObject(ratio, NET)->AddWindow(&wRatio);
    p->FindDataObject(doubled, NET)->AddWindow(&wDoubled);
    p->FindDataObject(other, NET)->AddWindow(&wOther);
    paid->SetAt(0, 0, 200);
    EXPECT_DOUBLE_EQ(Cell(*p, ratio, 0, 0), 0.2);
    EXPECT_DOUBLE_EQ(Cell(*p, doubled, 0, 0), 0.4);
    // Only the changed cell is reported, and the unrelated table hears nothing.
    ASSERT_EQ(wRatio.events.size(), 1u);
    EXPECT_EQ(wRatio.events[0], std::make_pair(static_cast<int>(XR_CELL), 0L));
    EXPECT_EQ(wDoubled.events.size(), 1u);
    EXPECT_TRUE(wOther.events.empty());
    // Layers: each instance reads its own layer.
    p->FindDataObject(kPaidLoss, CEDED)->SetAt(0, 0, 50);
    p->FindDataObject(kEarnedPremium, CEDED)->SetAt(0, 0, 500);
    double v = 0;
    p->FindDataObject(ratio, CEDED)->GetAt(0, 0, v, f);
    EXPECT_DOUBLE_EQ(v, 0.1);
    // The windows go before the project does.
    p->FindDataObject(ratio, NET)->RemoveWindow(&wRatio);
    p->FindDataObject(doubled, NET)->RemoveWindow(&wDoubled);
    p->FindDataObject(other, NET)->RemoveWindow(&wOther);
}

TEST(FormulaBinding, CircularAndUnknownReferencesAreRefusedAndTheOldFormulaStays) {
    auto p = MakeTestProject(3, 3);
    const QSID a = AddTable(*p, "A", Stack({"\"Paid Loss\""}), Stack({"DO101000001"}));
    const QSID b = AddTable(*p, "B", Stack({"\"A\"", "+", "1"}), Stack({"DO" + std::to_string(a), "+", "1"}));
    CFormula* tableA = p->FindObject(a, NET);
    EXPECT_EQ(tableA->SetFormula(Stack({"\"B\""}), Stack({"DO" + std::to_string(b)})), qsformula::kCircular);
    EXPECT_EQ(tableA->SetFormula(Stack({"\"A\""}), Stack({"DO" + std::to_string(a)})), qsformula::kCircular);
    EXPECT_EQ(tableA->SetFormula(Stack({"\"Nothing\""}), Stack({"DO201000999"})), qsformula::kUnknownObject);
    EXPECT_EQ(tableA->SetFormula(Stack({"1", "+"}), Stack({"1", "+"})), qsformula::kSyntax);
    CStringStack raw, resolved;
    EXPECT_EQ(tableA->GetFormula(raw, resolved), 0);
    EXPECT_EQ(resolved, Stack({"DO101000001"}));
    // Still bound to the paid losses.
    p->FindDataObject(kPaidLoss, NET)->SetAt(0, 1, 7);
    EXPECT_DOUBLE_EQ(Cell(*p, a, 0, 1), 7);
    EXPECT_DOUBLE_EQ(Cell(*p, b, 0, 1), 8);
    // Cleared: an entered table again, no longer following the paid losses.
    EXPECT_EQ(tableA->ClearFormula(), 0);
    EXPECT_FALSE(tableA->HasValidFormula());
    p->FindDataObject(kPaidLoss, NET)->SetAt(0, 1, 9);
    EXPECT_DOUBLE_EQ(Cell(*p, a, 0, 1), 7);
    // Objects without formulas.
    CScalar s;
    EXPECT_EQ(s.GetFormula(raw, resolved), 0);
    EXPECT_TRUE(raw.IsEmpty());
    EXPECT_NE(s.SetFormula(Stack({"1"}), Stack({"1"})), 0);
}

TEST(FormulaBinding, ProbeGivesResultShapeAndInterval) {
    auto p = MakeTestProject(3, 3);
    CDataObject* paid = p->FindDataObject(kPaidLoss, NET);
    CFormulaProbe probe(paid);
    struct Case {
        CStringStack resolved;
        QSSTATUS status;
        int type;
        int interval;
    } cases[] = {
        {Stack({"DO101000001", "/", "DO101000041"}), 0, 0, 12},
        {Stack({"Diagonal", "(", "DO101000001", ")"}), 0, 2, 0},
        {Stack({"CumulateSDF", "(", "DiagonalAsRow", "(", "DO101000001", ")", ")"}), 0, 1, 12},
        {Stack({"MatrixTotal", "(", "DO101000001", ")"}), 0, 3, 0},
        {Stack({"DO101000001", "+"}), qsformula::kSyntax, -1, 0},
        {Stack({"DO101000999"}), qsformula::kUnknownObject, -1, 0},
        {Stack({"Diagonal", "(", "DO101000041", ")"}), qsformula::kBadArguments, -1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(probe.Test(c.resolved, c.resolved, nullptr), c.status) << c.resolved.Join(" ");
        EXPECT_EQ(probe.GetResultVectorType(), c.type) << c.resolved.Join(" ");
        EXPECT_EQ(probe.GetResultInterval(), c.interval) << c.resolved.Join(" ");
    }
    EXPECT_EQ(CFormulaProbe(nullptr).Test(Stack({"1"}), Stack({"1"})), qsformula::kNoContext);
}

TEST(FormulaBinding, FormulaSurvivesSaveAndLoad) {
    auto p = MakeTestProject(3, 3);
    p->FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 100);
    const CStringStack raw = Stack({"\"Paid Loss\"", "\xB1%", "10"});
    const CStringStack resolved = Stack({"DO101000001", "\xB1%", "10"});
    const QSID id = AddTable(*p, "Paid plus ten", raw, resolved);
    const std::vector<std::uint8_t> bytes = p->SaveProject();

    CProject loaded;
    ASSERT_EQ(loaded.LoadProject(bytes.data(), bytes.size()), 0);
    CFormula* t = loaded.FindObject(id, NET);
    ASSERT_NE(dynamic_cast<CUserTable*>(t), nullptr);
    CStringStack r2, s2;
    ASSERT_EQ(t->GetFormula(r2, s2), 0);
    EXPECT_EQ(r2, raw);
    EXPECT_EQ(s2, resolved);
    EXPECT_NEAR(Cell(loaded, id, 0, 0), 110, 1e-9);
    loaded.FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 200);
    EXPECT_NEAR(Cell(loaded, id, 0, 0), 220, 1e-9);
}

TEST(FormulaBinding, MethodColumnsReadEarlierColumnsThroughLocalObjects) {
    // A method's columns live outside the project's map; a column formula
    // names the earlier columns by their ids.
    auto p = MakeTestProject(3, 3);
    CDataObject* paid = p->FindDataObject(kPaidLoss, NET);
    paid->SetAt(0, 2, 300);
    paid->SetAt(1, 1, 200);
    paid->SetAt(2, 0, 100);
    constexpr QSID kLatestColumn = 302045001, kUltimateColumn = 302045002;
    CDataObject latest(kLatestColumn), ultimate(kUltimateColumn);
    latest.SetShape(3, 1, CDataObject::VT_COLUMN);
    ultimate.SetShape(3, 1, CDataObject::VT_COLUMN);

    FormulaDefinition first, second;
    ASSERT_EQ(first.Set(Stack({"Diagonal", "(", "\"Paid Loss\"", ")"}), Stack({"Diagonal", "(", "DO101000001", ")"})), 0);
    ASSERT_EQ(second.Set(Stack({"\"(1) Latest\"", "*", "1.1"}), Stack({"DO302045001", "*", "1.1"})), 0);
    EXPECT_EQ(second.Dependencies(), std::vector<QSID>{kLatestColumn});

    ProjectFormulaResolver resolver(*p, NET);
    resolver.AddLocal(kLatestColumn, &latest);
    qsformula::Value v;
    ASSERT_EQ(first.Compiled().Evaluate(resolver, v), 0);
    EXPECT_EQ(StoreFormulaValue(v, latest).size(), 3u);
    ASSERT_EQ(second.Compiled().Evaluate(resolver, v), 0);
    StoreFormulaValue(v, ultimate);
    double x = 0;
    std::uint8_t f = 0;
    ultimate.GetAt(1, 0, x, f);
    EXPECT_DOUBLE_EQ(x, 220);
    // A triangle result cannot go into a column: every cell not available.
    ASSERT_EQ(qsformula::Test(Stack({"DO101000001"}), resolver, &v), 0);
    StoreFormulaValue(v, ultimate);
    ultimate.GetAt(0, 0, x, f);
    EXPECT_TRUE(f & CDataObject::CF_NOTAVAIL);
}

TEST(FormulaBinding, UserExhibitTakesItsFactorsFromItsFormula) {
    auto p = MakeTestProject(3, 3);
    CDataObject* paid = p->FindDataObject(kPaidLoss, NET);
    paid->SetAt(0, 0, 100);
    paid->SetAt(0, 1, 150);
    paid->SetAt(1, 0, 200);
    paid->SetAt(1, 1, 260);

    CUserExhibit proto;
    proto.SetIDLongName("Paid loaded by 10%");
    const CStringStack raw = Stack({"\"Paid Loss\"", "\xB1%", "10"});
    const CStringStack resolved = Stack({"DO101000001", "\xB1%", "10"});
    ASSERT_EQ(proto.SetFormula(raw, resolved), 0);  // outside the project: kept for later
    QSID id = 0;
    ASSERT_EQ(p->AddNewFormulaObject(proto, 4, 1, qsk::kCatExhibit, true, id), 0);
    p->PostInit();

    auto factor = [&](CProject& proj, int r, int c) {
        auto* ex = dynamic_cast<CUserExhibit*>(proj.FindObject(id, NET));
        CDataObject* f = nullptr;
        EXPECT_EQ(ex->GetFactorTriangle(f), 0);
        double v = 0;
        std::uint8_t fl = 0;
        f->GetAt(r, c, v, fl);
        return v;
    };
    EXPECT_NEAR(factor(*p, 0, 0), 1.5, 1e-12);
    EXPECT_NEAR(factor(*p, 1, 0), 1.3, 1e-12);
    paid->SetAt(1, 1, 300);  // the exhibit follows its formula's sources
    EXPECT_NEAR(factor(*p, 1, 0), 1.5, 1e-12);
    auto* ex = dynamic_cast<CUserExhibit*>(p->FindObject(id, NET));
    EXPECT_NEAR(ex->GetFormulaTable().RawValue(0, 1), 165, 1e-9);
    // A formula reading the exhibit itself is circular.
    EXPECT_EQ(ex->SetFormula(Stack({"x"}), Stack({"DO" + std::to_string(id)})), qsformula::kCircular);

    const std::vector<std::uint8_t> bytes = p->SaveProject();
    CProject loaded;
    ASSERT_EQ(loaded.LoadProject(bytes.data(), bytes.size()), 0);
    CStringStack r2, s2;
    ASSERT_EQ(loaded.FindObject(id, NET)->GetFormula(r2, s2), 0);
    EXPECT_EQ(s2, resolved);
    EXPECT_NEAR(factor(loaded, 1, 0), 1.5, 1e-12);
}

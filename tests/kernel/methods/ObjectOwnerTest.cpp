// Kernel objects built against a small owner instead of a whole project: what
// an object needs of its project is the owner interface (ObjectOwner.h), so
// labels, lookups, formulas and recalculation work with any owner.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "CMethod.h"
#include "FakeObjectOwner.h"
#include "FormulaBinding.h"

namespace {

constexpr QSID kPaid = 101000001;
constexpr QSID kDoubled = 102000501;

// "DO101000001 * 2" as the token stack a formula is stored as (raw and
// resolved alike: no names to resolve).
CStringStack FormulaTokens(const std::string& text) {
    CStringStack s;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t to = std::min(text.find(' ', from), text.size());
        if (to > from) s.Push(text.substr(from, to - from));
        from = to + 1;
    }
    return s;
}

double Cell(const CDataObject& d, int r, int c) {
    double v = 0;
    std::uint8_t f = 0;
    EXPECT_EQ(d.GetAt(r, c, v, f), qsk::kOk);
    return v;
}

}  // namespace

TEST(ObjectOwner, DataObjectTakesLabelsFromItsOwnerAndTellsItOfEdits) {
    FakeObjectOwner owner(3, 3);
    CDataObject* paid = owner.AddTriangle(kPaid, "Paid Loss");
    QSStringArray rows, cols;
    std::string corner;
    ASSERT_EQ(paid->GetLabels(rows, cols, corner), qsk::kOk);
    EXPECT_EQ(rows, (QSStringArray{"2001", "2002", "2003"}));
    EXPECT_EQ(cols, (QSStringArray{"12", "24", "36"}));

    const int before = owner.ModifiedCount();
    ASSERT_EQ(paid->SetAt(0, 0, 100.0), qsk::kOk);
    EXPECT_GT(owner.ModifiedCount(), before);
}

TEST(ObjectOwner, UserTableReadsTheOwnersObjectsAndFollowsThem) {
    FakeObjectOwner owner(3, 3);
    CDataObject* paid = owner.AddTriangle(kPaid, "Paid Loss");
    paid->SetAt(0, 0, 100.0);
    paid->SetAt(1, 0, 110.0);

    auto table = std::make_unique<CUserTable>();
    table->SetShape(3, 3, CDataObject::VT_TRIANGLE);
    CUserTable* doubled = owner.Add(kDoubled, std::move(table));
    ASSERT_EQ(doubled->SetFormula(FormulaTokens("DO101000001 * 2"), FormulaTokens("DO101000001 * 2")), qsk::kOk);
    EXPECT_DOUBLE_EQ(Cell(*doubled, 0, 0), 200.0);
    EXPECT_DOUBLE_EQ(Cell(*doubled, 1, 0), 220.0);

    // An edit of the source reaches the table through the recalculation graph.
    paid->SetAt(1, 0, 150.0);
    EXPECT_DOUBLE_EQ(Cell(*doubled, 1, 0), 300.0);

    // A name the owner does not know is refused, and the formula stays.
    EXPECT_EQ(doubled->SetFormula(FormulaTokens("x"), FormulaTokens("DO101000999")), qsformula::kUnknownObject);
    paid->SetAt(0, 0, 1.0);
    EXPECT_DOUBLE_EQ(Cell(*doubled, 0, 0), 2.0);
}

TEST(ObjectOwner, MethodColumnsAreShapedByTheOwnersPeriodsAndReadItsObjects) {
    FakeObjectOwner owner(3, 3);
    CDataObject* paid = owner.AddTriangle(kPaid, "Paid Loss");
    for (int r = 0; r < 3; ++r) paid->SetAt(r, 2 - r, 100.0 * (r + 1));

    CMethod method(&owner);
    ASSERT_EQ(method.AddNewCol(0, "Latest", FormulaTokens("Diagonal ( DO101000001 )"),
                               FormulaTokens("Diagonal ( DO101000001 )")),
              qsk::kOk);
    method.Recalculate();
    const CDataObject* latest = method.GetDataObject(1);
    ASSERT_NE(latest, nullptr);
    std::uint16_t rows = 0, cols = 0;
    latest->GetMaxRowsCols(rows, cols);
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(cols, 1);
    EXPECT_DOUBLE_EQ(Cell(*latest, 0, 0), 100.0);
    EXPECT_DOUBLE_EQ(Cell(*latest, 2, 0), 300.0);

    QSStringArray labels, headers;
    std::string title;
    ASSERT_EQ(method.GetLabels(labels, headers, title), qsk::kOk);
    EXPECT_EQ(labels, (QSStringArray{"2001", "2002", "2003"}));
}

#include "CellEntry.h"

#include <gtest/gtest.h>

#include "CDataObject.h"
#include "CProject.h"
#include "ViewTestSupport.h"

using qs::views::CellEntry;
using Kind = qs::views::CellEntry::Kind;

namespace {

struct EntryCase {
    const char* name;
    const char* text;
    char thousands, decimal;
    Kind kind;
    double value;
};

// Every way into a data object reads a cell this way: typing, pasting and
// the exhibit's stored rows.
const EntryCase kEntryCases[] = {
    {"empty", "", ',', '.', Kind::Blank, 0},
    {"blanks", "   ", ',', '.', Kind::Blank, 0},
    {"not available", "#N/A", ',', '.', Kind::NotAvailable, 0},
    {"not available in any case, padded", " #n/a ", ',', '.', Kind::NotAvailable, 0},
    {"grouped number", "1,234.5", ',', '.', Kind::Number, 1234.5},
    {"parentheses are negative", "(5)", ',', '.', Kind::Number, -5},
    {"trailing minus", "5-", ',', '.', Kind::Number, -5},
    {"currency before the number", "$(1,000)", ',', '.', Kind::Number, -1000},
    {"the project's own separators", "1.234,5", '.', ',', Kind::Number, 1234.5},
    {"a decimal point is no group under comma decimals", "2,5", '.', ',', Kind::Number, 2.5},
    {"no digits", "--", ',', '.', Kind::Words, 0},
    {"words", "abc", ',', '.', Kind::Words, 0},
};

}  // namespace

TEST(CellEntry, ReadsBlanksNotAvailableNumbersAndWords) {
    for (const EntryCase& c : kEntryCases) {
        const CellEntry entry =
            qs::views::ReadCellEntry(QString::fromUtf8(c.text), QChar::fromLatin1(c.thousands), QChar::fromLatin1(c.decimal));
        EXPECT_EQ(entry.kind, c.kind) << c.name;
        EXPECT_DOUBLE_EQ(entry.value, c.value) << c.name;
    }
}

struct CellEntryStore : qs::test::ViewTest {
    qs::test::TestProjectDoc doc;
    CDataObject* Paid() { return doc.GetProject()->FindDataObject(qs::test::kPaidLoss, NET); }
};

TEST_F(CellEntryStore, ANumberABlankAndNotAvailableEachReachTheCell) {
    CDataObject* paid = Paid();
    ASSERT_NE(paid, nullptr);
    double value = 0;
    std::uint8_t flags = 0;

    ASSERT_EQ(qs::views::StoreCellEntry(*paid, 0, 1, {Kind::Number, 7.5}), 0);
    ASSERT_EQ(paid->GetAt(0, 1, value, flags), 0);
    EXPECT_EQ(value, 7.5);
    EXPECT_TRUE(flags & CDataObject::CF_VALUE);

    ASSERT_EQ(qs::views::StoreCellEntry(*paid, 0, 1, {Kind::Blank, 0}), 0);
    ASSERT_EQ(paid->GetAt(0, 1, value, flags), 0);
    EXPECT_FALSE(flags & CDataObject::CF_VALUE);

    ASSERT_EQ(qs::views::StoreCellEntry(*paid, 0, 2, {Kind::NotAvailable, 0}), 0);
    ASSERT_EQ(paid->GetAt(0, 2, value, flags), 0);
    EXPECT_TRUE(flags & CDataObject::CF_NOTAVAIL);
}

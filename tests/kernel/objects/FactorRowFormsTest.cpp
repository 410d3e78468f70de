// The three forms of a row of development factors, read and written.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "CDataObject.h"
#include "FactorRowForms.h"

namespace {

const double kBlank = std::numeric_limits<double>::quiet_NaN();

CDataObject Row(std::initializer_list<double> values) {
    CDataObject r;
    r.SetShape(1, static_cast<std::uint16_t>(values.size()), CDataObject::VT_ROW);
    int k = 0;
    for (double v : values) {
        if (!std::isnan(v)) r.SetAt(0, k, v);
        ++k;
    }
    return r;
}

// The row in a form; NaN for a cell without a value.
std::vector<double> InForm(const CDataObject& row, int form) {
    std::uint16_t rows = 0, cols = 0;
    row.GetMaxRowsCols(rows, cols);
    std::vector<double> out;
    for (int c = 0; c < cols; ++c) {
        double v = 0;
        std::uint8_t f = 0;
        EXPECT_EQ(qsk::GetFactorInForm(row, form, c, v, f), 0);
        out.push_back((f & CDataObject::CF_VALUE) ? v : kBlank);
    }
    return out;
}

void ExpectRow(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (std::isnan(expected[i])) EXPECT_TRUE(std::isnan(actual[i])) << "column " << i;
        else EXPECT_NEAR(actual[i], expected[i], 1e-12) << "column " << i;
    }
}

TEST(FactorRowForms, ShowsEachForm) {
    const CDataObject row = Row({2.0, 1.5, 1.2});
    ExpectRow(InForm(row, qsk::kAgeToAge), {2.0, 1.5, 1.2});
    ExpectRow(InForm(row, qsk::kAgeToUltimate), {3.6, 1.8, 1.2});
    ExpectRow(InForm(row, qsk::kRatioToUltimate), {1 / 3.6, 1 / 1.8, 1 / 1.2});
}

TEST(FactorRowForms, BlankFactorBlanksEarlierAgesAndBlankTailCountsAsOne) {
    ExpectRow(InForm(Row({2.0, kBlank, 1.2}), qsk::kAgeToUltimate), {kBlank, kBlank, 1.2});
    ExpectRow(InForm(Row({2.0, 1.5, kBlank}), qsk::kAgeToUltimate), {3.0, 1.5, kBlank});
}

TEST(FactorRowForms, WritingInAFormKeepsLaterColumns) {
    CDataObject row = Row({2.0, 1.5, 1.2});
    ASSERT_EQ(qsk::SetFactorInForm(row, qsk::kAgeToUltimate, 1, 2.4), 0);
    ExpectRow(InForm(row, qsk::kAgeToAge), {2.0, 2.0, 1.2});
    ExpectRow(InForm(row, qsk::kAgeToUltimate), {4.8, 2.4, 1.2});

    ASSERT_EQ(qsk::SetFactorInForm(row, qsk::kRatioToUltimate, 0, 0.25), 0);
    ExpectRow(InForm(row, qsk::kAgeToUltimate), {4.0, 2.4, 1.2});

    ASSERT_EQ(qsk::SetFactorInForm(row, qsk::kAgeToUltimate, 2, 1.1), 0);  // the tail itself
    ExpectRow(InForm(row, qsk::kAgeToAge), {4.0 / 2.4, 2.0, 1.1});
}

TEST(FactorRowForms, RefusedWritesChangeNothing) {
    struct Case {
        const char* name;
        std::initializer_list<double> row;
        int form, col;
        double value;
    };
    const Case cases[] = {
        {"later factor blank", {2.0, kBlank, 1.2}, qsk::kAgeToUltimate, 0, 3.0},
        {"zero ratio", {2.0, 1.5, 1.2}, qsk::kRatioToUltimate, 1, 0.0},
        {"zero age to ultimate", {2.0, 1.5, 1.2}, qsk::kAgeToUltimate, 1, 0.0},
        {"not finite", {2.0, 1.5, 1.2}, qsk::kAgeToAge, 1, std::numeric_limits<double>::infinity()},
        {"unknown form", {2.0, 1.5, 1.2}, 3, 1, 1.0},
        {"column outside", {2.0, 1.5, 1.2}, qsk::kAgeToUltimate, 3, 1.0},
    };
    for (const Case& c : cases) {
        CDataObject row = Row(c.row);
        const std::vector<double> before = InForm(row, qsk::kAgeToAge);
        EXPECT_NE(qsk::SetFactorInForm(row, c.form, c.col, c.value), 0) << c.name;
        ExpectRow(InForm(row, qsk::kAgeToAge), before);
    }
}

}  // namespace

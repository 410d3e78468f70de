// The payment pattern view: every edit checks the pattern and sets the hint;
// only Apply writes it, after its two questions.
#include <gtest/gtest.h>

#include <optional>

#include "CDataObject.h"
#include "CPPAView.h"
#include "CProject.h"
#include "CommandIds.h"
#include "MessageBox.h"
#include "SpreadsheetControl.h"
#include "ViewSettings.h"
#include "ViewTestSupport.h"

using qs::test::TestProjectDoc;

namespace {

constexpr QSID kPattern = 101000050;

std::vector<std::optional<double>> Cells(std::initializer_list<std::optional<double>> values) {
    std::vector<std::optional<double>> cells(CPPAView::kColumns);
    std::size_t i = 0;
    for (const auto& v : values) cells[i++] = v;
    return cells;
}

struct PaymentPatternCheck : qs::test::ViewTest {};

TEST_F(PaymentPatternCheck, HintsForEachFault) {
    struct Case {
        std::vector<std::optional<double>> cells;
        bool cumulative;
        const char* hint;
        bool valid;
    } cases[] = {
        {Cells({0.5, std::nullopt, 0.5}), false, "Hint: Cannot have blanks before last value!", false},
        {Cells({0.6, 0.5, 0.1}), false, "Hint: Total reached 1 before the last period!", false},
        {Cells({0.5, 1.0, 1.0}), true, "Hint: Cannot reach 1 before the last period!", false},
        {Cells({0.25, 0.25, 0.5}), false, CPPAView::kHintOk, true},
        {Cells({0.5, 0.8, 1.0}), true, CPPAView::kHintOk, true},
        // Trailing zeros are no part of the pattern.
        {Cells({0.5, 0.5, 0.0, 0.0}), false, CPPAView::kHintOk, true},
        {Cells({}), false, CPPAView::kHintOk, true},
    };
    for (const Case& c : cases) {
        const CPPAView::Check check = CPPAView::Evaluate(c.cells, c.cumulative, 1, 5, 5);
        EXPECT_EQ(check.hint, QString::fromLatin1(c.hint)) << c.hint;
        EXPECT_EQ(check.valid, c.valid) << c.hint;
    }
    EXPECT_EQ(CPPAView::Evaluate(Cells({0.25, 0.25, 0.5}), false, 1, 5, 5).total, QStringLiteral("1.000000"));
    EXPECT_EQ(CPPAView::Evaluate(Cells({0.5, 0.5, 0.0}), false, 1, 5, 5).entered, 2);
    // Too short: (n - q) - (development periods - exposure periods x q) <= 0.
    EXPECT_EQ(CPPAView::Evaluate(Cells({1.0}), true, 1, 10, 10).hint,
              QStringLiteral("Hint: Not enough Payment Patterns entered"));
    EXPECT_TRUE(CPPAView::Evaluate(Cells({0.5, 1.0}), true, 1, 10, 10).valid);
}

struct PPAViewTest : qs::test::ViewTest {
    CDataObject* Pattern() { return doc.GetProject()->FindDataObject(kPattern, NET); }
    static void Type(CPPAView& v, int col, const QString& text) {
        qs::ss::SpreadsheetControl* ctrl = v.GetCtrl();
        ctrl->SetSelection(1, col, 1, col);
        ctrl->SetActiveCell(1, col);
        ASSERT_EQ(ctrl->StartEdit(text, true), 0);
        ctrl->EndEdit();
    }
    static bool ApplyEnabled(CPPAView& v) {
        CCmdUI ui;
        ui.m_nID = CPPAView::ID_PPA_APPLY;
        ui.DoUpdate(&v, TRUE);
        return ui.m_enabled != 0;
    }
    TestProjectDoc doc{3, 4};
};

TEST_F(PPAViewTest, TypingChecksThePatternAndOnlyApplyWritesIt) {
    auto view = doc.Open<CPPAView>(kPattern, NET);
    ASSERT_NE(view, nullptr);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    EXPECT_EQ(ctrl->MaxRow(), 1);
    EXPECT_EQ(ctrl->MaxCol(), 250);
    // Labels beyond the object's ages step by the development length.
    EXPECT_EQ(ctrl->ColHeadingText(4), QStringLiteral("48"));
    EXPECT_EQ(ctrl->ColHeadingText(5), QStringLiteral("60"));
    EXPECT_FALSE(ApplyEnabled(*view));
    ASSERT_TRUE(Pattern()->IsViewedCumulative());

    Type(*view, 1, QStringLiteral("0.5"));
    Type(*view, 3, QStringLiteral("1"));
    EXPECT_EQ(view->GetHint(), QStringLiteral("Hint: Cannot have blanks before last value!"));
    EXPECT_FALSE(ApplyEnabled(*view));
    Type(*view, 2, QStringLiteral("0.8"));
    Type(*view, 4, QStringLiteral("1"));
    EXPECT_EQ(view->GetHint(), QStringLiteral("Hint: Cannot reach 1 before the last period!"));
    ctrl->SetSelection(1, 4, 1, 4);
    view->OnEditClear();
    EXPECT_EQ(view->GetHint(), QString::fromLatin1(CPPAView::kHintOk));
    EXPECT_TRUE(ApplyEnabled(*view));
    // Nothing is in the table yet.
    double value = 0;
    std::uint8_t flags = 0;
    Pattern()->GetAt(0, 0, value, flags);
    EXPECT_FALSE(flags & CDataObject::CF_VALUE);

    // Three periods for three exposure years plus one: the length question.
    {
        qs::fw::MessageBoxScript boxes{IDNO};
        view->OnApply();
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_TRUE(boxes.Last().text.startsWith(QStringLiteral("Your payment pattern may not be long enough")));
    }
    EXPECT_EQ(view->GetHint(), QStringLiteral("Hint: Your payment pattern may not be long enough. "));
    EXPECT_FALSE(ApplyEnabled(*view));
    Pattern()->GetAt(0, 0, value, flags);
    EXPECT_FALSE(flags & CDataObject::CF_VALUE);

    Type(*view, 4, QStringLiteral("1"));
    ctrl->SetSelection(1, 3, 1, 3);
    Type(*view, 3, QStringLiteral("0.9"));
    {
        qs::fw::MessageBoxScript boxes;  // long enough and reaching 1: no question
        view->OnApply();
        EXPECT_EQ(boxes.Count(), 0u);
    }
    std::uint16_t rows = 0, cols = 0;
    Pattern()->GetMaxRowsCols(rows, cols);
    EXPECT_EQ(cols, 4);
    Pattern()->GetAt(0, 2, value, flags);
    EXPECT_DOUBLE_EQ(value, 0.9);
    EXPECT_FALSE(view->IsChanged());
    EXPECT_EQ(view->GetHint(), QStringLiteral(" "));
}

TEST_F(PPAViewTest, ATotalShortOfOneAsksAndNoKeepsTheTable) {
    auto view = doc.Open<CPPAView>(kPattern, NET);
    ASSERT_NE(view, nullptr);
    for (int c = 1; c <= 4; ++c) Type(*view, c, QString::number(0.2 * c));
    qs::fw::MessageBoxScript boxes{IDNO};
    view->OnApply();
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, QStringLiteral("Your payment pattern does not cumulate to 1.00. Do you want to continue?"));
    EXPECT_EQ(view->GetHint(), QStringLiteral("Hint: Your payment pattern does not cumulate to 1.00"));
    double value = 0;
    std::uint8_t flags = 0;
    Pattern()->GetAt(0, 0, value, flags);
    EXPECT_FALSE(flags & CDataObject::CF_VALUE);
}

TEST_F(PPAViewTest, LettersAreRefusedAndAnEmptyPatternEmptiesTheTable) {
    for (int c = 0; c < 4; ++c) Pattern()->SetAt(0, c, 0.25 * (c + 1));
    auto view = doc.Open<CPPAView>(kPattern, NET);
    ASSERT_NE(view, nullptr);
    EXPECT_DOUBLE_EQ([&] { double v = 0; view->GetCtrl()->GetNumber(1, 4, v); return v; }(), 1.0);
    {
        qs::fw::MessageBoxScript boxes;
        qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
        ctrl->SetSelection(1, 2, 1, 2);
        ctrl->SetActiveCell(1, 2);
        ctrl->StartEdit(QStringLiteral("0.4x"), true);
        ctrl->EndEdit();
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().text, QStringLiteral("Only numeric characters are allowed."));
        ctrl->CancelEdit();
    }
    {
        qs::fw::MessageBoxScript boxes{IDOK};
        view->OnEditClearAll();
        EXPECT_EQ(boxes.Last().text, QStringLiteral("Remove all data and cell notes from payment pattern?"));
    }
    qs::fw::MessageBoxScript boxes;
    view->OnApply();
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_FALSE(Pattern()->HasAnyValue());
}

}  // namespace

// The scalar view: its one cell follows the kernel scalar both ways, typed
// numbers in every negative style are read as the grid shows them, and the
// heading names the kind of number.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPrinter>
#include <QRegularExpression>

#include "CPrintPageState.h"
#include "CScalar.h"
#include "CScalarView.h"
#include "CommandIds.h"
#include "KernelIds.h"
#include "ObjectViewFormats.h"
#include "SpreadsheetControl.h"
#include "TestEnvironment.h"
#include "ViewPrinting.h"
#include "ViewSettings.h"
#include "ViewTestSupport.h"

using qs::test::TestProjectDoc;

namespace {

using ParseFormattedNumber = qs::test::ViewTest;

struct ScalarViewTest : qs::test::ViewTest {
    // A user scalar of the given display type; blank unless a value is given.
    QSID AddScalar(int displayType, bool fixed = false) {
        CScalar proto;
        proto.SetIDLongName("Trend Rate");
        proto.SetIDShortName("TR");
        proto.SetDisplayType(displayType);
        proto.SetFixed(fixed);
        proto.SetInitialized(true);
        QSID id = 0;
        EXPECT_EQ(doc.GetProject()->AddNewObject(proto, id, 1), 0);
        return id;
    }
    CScalar* Scalar(QSID id) { return dynamic_cast<CScalar*>(doc.GetProject()->FindObject(id, 0)); }
    static void Type(CScalarView& v, const QString& text) {
        qs::ss::SpreadsheetControl* ctrl = v.GetCtrl();
        ctrl->SetSelection(1, 1, 1, 1);
        ctrl->SetActiveCell(1, 1);
        ASSERT_EQ(ctrl->StartEdit(text, true), 0);
        ctrl->EndEdit();
    }
    static QString Shown(CScalarView& v) {
        QString text;
        v.GetCtrl()->GetText(1, 1, text);
        return text.trimmed();
    }
    TestProjectDoc doc;
};

TEST_F(ParseFormattedNumber, ReadsEveryNegativeStyleAndSkipsSymbols) {
    struct Case {
        const char* text;
        double value;
        bool ok;
    } cases[] = {
        {"(5)", -5, true},          {"-5", -5, true},       {"5-", -5, true},
        {"$(1,234.50)", -1234.5, true}, {"$ 1,234.50", 1234.5, true}, {"1e-3", 0.001, true},
        {"(0)", 0, true},           {"abc", 0, false},      {"", 0, false},
    };
    for (const Case& c : cases) {
        bool ok = !c.ok;
        EXPECT_DOUBLE_EQ(qs::views::ParseFormattedNumber(QString::fromLatin1(c.text), u',', u'.', &ok), c.value) << c.text;
        EXPECT_EQ(ok, c.ok) << c.text;
    }
    EXPECT_DOUBLE_EQ(qs::views::ParseFormattedNumber(QStringLiteral("(1.234,5)"), u'.', u','), -1234.5);
}

TEST_F(ScalarViewTest, HeadingWidthAndTitleNameTheScalar) {
    const QSID id = AddScalar(CFormula::DT_CURRENCY);
    auto view = doc.Open<CScalarView>(id, 1);
    ASSERT_NE(view, nullptr);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    EXPECT_EQ(ctrl->MaxRow(), 1);
    EXPECT_EQ(ctrl->MaxCol(), 1);
    EXPECT_EQ(ctrl->ColHeadingText(1), QStringLiteral("(Currency)"));
    EXPECT_DOUBLE_EQ(ctrl->GetColWidthChars(1), 13.0);
    EXPECT_TRUE(view->GetTitleText().startsWith(QString::fromStdString(Scalar(id)->GetIDName(-1)) + QStringLiteral(" (")));
    EXPECT_EQ(view->GetIconId(), 173);  // a user scalar's kind is 6
    // A fixed percentage: the later heading wins.
    const QSID fixedId = AddScalar(CFormula::DT_PERCENT, true);
    auto fixedView = doc.Open<CScalarView>(fixedId, 1);
    ASSERT_NE(fixedView, nullptr);
    EXPECT_EQ(fixedView->GetCtrl()->ColHeadingText(1), QStringLiteral("(Fixed Number)"));
}

TEST_F(ScalarViewTest, TypedEntriesReachTheKernelInEveryNegativeStyle) {
    const QSID id = AddScalar(CFormula::DT_NUMBER);
    auto view = doc.Open<CScalarView>(id, 1);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(Shown(*view).isEmpty());  // a blank scalar shows an empty cell
    struct Case {
        const char* typed;
        double stored;
    } cases[] = {{"(5)", -5}, {"-7.25", -7.25}, {"1,234.5", 1234.5}, {"12", 12}};
    for (const Case& c : cases) {
        Type(*view, QString::fromLatin1(c.typed));
        double value = 0;
        ASSERT_EQ(Scalar(id)->GetValue(value), 0) << c.typed;
        EXPECT_DOUBLE_EQ(value, c.stored) << c.typed;
    }
    // Deleting the text blanks the scalar.
    Type(*view, QString());
    EXPECT_TRUE(Scalar(id)->IsScalarBlank());
}

TEST_F(ScalarViewTest, ClearPasteAndKernelChanges) {
    const QSID id = AddScalar(CFormula::DT_NUMBER);
    Scalar(id)->SetValue(3.5);
    auto view = doc.Open<CScalarView>(id, 1);
    ASSERT_NE(view, nullptr);
    double shown = 0;
    view->GetCtrl()->GetNumber(1, 1, shown);
    EXPECT_DOUBLE_EQ(shown, 3.5);
    // A change made elsewhere reaches the cell.
    Scalar(id)->SetValue(8.0);
    view->GetCtrl()->GetNumber(1, 1, shown);
    EXPECT_DOUBLE_EQ(shown, 8.0);
    // Clear blanks the scalar and the cell.
    view->RouteCommand(ID_EDIT_CLEAR);
    EXPECT_TRUE(Scalar(id)->IsScalarBlank());
    EXPECT_TRUE(Shown(*view).isEmpty());
    // A value pasted into the blank scalar is stored, not dropped.
    QGuiApplication::clipboard()->setText(QStringLiteral("(42)"));
    view->GetCtrl()->SetSelection(1, 1, 1, 1);
    view->OnEditPaste();
    double value = 0;
    ASSERT_EQ(Scalar(id)->GetValue(value), 0);
    EXPECT_DOUBLE_EQ(value, -42.0);
}

TEST_F(ScalarViewTest, PrintsItsValueUnderItsHeading) {
    const QSID id = AddScalar(CFormula::DT_NUMBER, true);
    Scalar(id)->SetValue(-2.5);
    auto view = doc.Open<CScalarView>(id, 1);
    ASSERT_NE(view, nullptr);
    const QString pdf = QString::fromStdString(qs::test::MakeTempDir()) + QStringLiteral("/scalar.pdf");
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    CPrintPageState state;
    ASSERT_EQ(qs::views::PrintObjectView(*view, printer, state), 1);
    const QString text = qs::test::PdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("(Fixed Number)")));
    // No decimals: -2.5 shows as (3) beside the row's own number.
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("\\b1\\s+\\(3\\)"))));
    EXPECT_EQ(view->GetCtrl()->MaxRow(), 1);
    EXPECT_EQ(view->GetCtrl()->ColHeadingText(1), QStringLiteral("(Fixed Number)"));
}

}  // namespace

// Table math run page by page (constant and table operands, each
// operation), its summary and its result lines; the period and compression
// dialogs and the other small table dialogs.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

#include "CDataObject.h"
#include "CProject.h"
#include "CTableMath.h"
#include "FormulaBinding.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "StructureDialogs.h"
#include "TableDialogs.h"
#include "ViewSettings.h"
#include "ViewTestSupport.h"

using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;
using qs::test::kPaidLoss;
using qs::test::TestProjectDoc;

namespace {

constexpr QSID kIncurredLoss = 101000011;

QSID Layered(QSID id, unsigned short layer) {
    SetIDLayer(id, layer);
    return id;
}

void Fill(CProject& p, QSID id, double base) {
    CDataObject* d = p.FindDataObject(id, NET);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5 - r; ++c) d->SetAt(r, c, base + 10.0 * r + c);
}

double Cell(CProject& p, QSID id, unsigned short layer, int r, int c) {
    double v = 0;
    std::uint8_t f = 0;
    p.FindDataObject(id, layer)->GetAt(r, c, v, f);
    return v;
}

// Moves the left-list entry with that id to the right list.
void Choose(CTableMathPage1& page, QSID id) {
    page.Left()->clearSelection();
    for (int i = 0; i < page.Left()->topLevelItemCount(); ++i)
        if (page.Left()->topLevelItem(i)->data(0, Qt::UserRole).toLongLong() == id)
            page.Left()->topLevelItem(i)->setSelected(true);
    page.OnAdd();
}

// A user table calculated as the Net paid loss times factor; its layered Net id.
QSID AddPaidTimes(CProject& p, const std::string& name, double factor) {
    CUserTable proto;
    proto.SetIDLongName(name);
    const std::string f = std::to_string(factor);
    EXPECT_EQ(proto.SetFormula(CStringStack({"\"Paid Loss\"", "*", f}), CStringStack({"DO101000001", "*", f})), 0);
    QSID id = 0;
    EXPECT_EQ(p.AddNewObject(proto, id, 1), 0);
    return Layered(id, NET);
}

struct Run {
    QSIDArray targets;
    int operation;
    bool byValue;
    double value;
    QSIDArray operands;
};

// Plays the wizard; returns the sheet's result and leaves the summary text.
int PlayTableMath(CProject& p, const Run& run, QString* summary = nullptr, bool finish = true) {
    CTableMathPrpSheet sheet;
    sheet.m_pProject = &p;
    sheet.m_page1.m_lCurrentId = run.targets.front();
    sheet.m_page1.m_nCurrentLayer = GetIDLayer(run.targets.front());
    ModalScript script;
    int pages = 0;
    script.Then<CTableMathPrpSheet>([&](CTableMathPrpSheet& s) {
        // The current table starts chosen.
        EXPECT_EQ(s.m_page1.Right()->topLevelItemCount(), 1);
        for (std::size_t i = 1; i < run.targets.size(); ++i) Choose(s.m_page1, run.targets[i]);
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        s.m_page2.Operations()->button(run.operation)->click();
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        if (run.byValue) {
            s.m_page3.ValueEdit()->setText(QString::number(run.value));
        } else {
            qobject_cast<QAbstractButton*>(s.m_page3.GetDlgItem(CTableMathPage3::IDC_TABLES_RADIO))->click();
            EXPECT_FALSE(s.m_page3.ValueEdit()->isEnabled());
        }
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        if (!run.byValue) {
            ASSERT_EQ(s.GetActiveIndex(), 3);
            for (QSID o : run.operands) Choose(s.m_page4, o);
            ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        }
        ASSERT_EQ(s.GetActiveIndex(), 4);
        pages = 1;
        if (!finish) {
            if (summary) *summary = s.m_page5.m_strSummary;
            s.EndDialog(IDCANCEL);
            return;
        }
        s.PressButton(PSBTN_FINISH);
        if (summary) *summary = s.m_page5.m_strSummary;
        if (s.isVisible() && s.result() == 0) s.EndDialog(IDCANCEL);
    });
    const int result = int(sheet.DoModal());
    EXPECT_EQ(pages, 1);
    return result;
}

}  // namespace

// Each test starts from the views' default settings.
struct TableMath : qs::test::ViewTest {};
struct PeriodDialogs : qs::test::ViewTest {};
struct TableDialogs : qs::test::ViewTest {};

TEST_F(TableMath, EachOperationWithAConstantAndWithATable) {
    const QSID paid = Layered(kPaidLoss, NET), incurred = Layered(kIncurredLoss, NET);
    const struct {
        int operation;
        bool byValue;
        double expect;  // cell (1, 2): paid 112, incurred 1012
    } cases[] = {
        {0, true, 114.0}, {1, true, 110.0}, {2, true, 224.0}, {3, true, 56.0},
        {0, false, 112.0 + 1012.0}, {1, false, 112.0 - 1012.0}, {2, false, 112.0 * 1012.0}, {3, false, 112.0 / 1012.0},
    };
    for (const auto& c : cases) {
        TestProjectDoc doc;
        CProject& p = *doc.GetProject();
        Fill(p, kPaidLoss, 100);
        Fill(p, kIncurredLoss, 1000);
        MessageBoxScript boxes;
        const int result = PlayTableMath(p, {{paid}, c.operation, c.byValue, 2.0, {incurred}});
        EXPECT_EQ(result, ID_WIZFINISH) << c.operation << c.byValue;
        EXPECT_DOUBLE_EQ(Cell(p, kPaidLoss, NET, 1, 2), c.expect) << c.operation << c.byValue;
        EXPECT_DOUBLE_EQ(Cell(p, kIncurredLoss, NET, 1, 2), 1012.0);  // operands stay as they were
    }
}

TEST_F(TableMath, SummaryLinesAndFailures) {
    TestProjectDoc doc;
    CProject& p = *doc.GetProject();
    Fill(p, kPaidLoss, 100);
    Fill(p, kIncurredLoss, 1000);
    const QSID paid = Layered(kPaidLoss, NET), incurred = Layered(kIncurredLoss, NET);
    CTableMathPrpSheet names;
    names.m_pProject = &p;
    const QString paidName = names.DisplayName(paid), incName = names.DisplayName(incurred);
    EXPECT_EQ(paidName, "\"Paid Loss<Net>\"");

    QString summary;
    PlayTableMath(p, {{paid}, 2, true, 2.0, {}}, &summary, false);
    EXPECT_EQ(summary, paidName + " = " + paidName + " *   2.0000\r\n");

    // One target and three operand tables: four lines.
    const QSID ceded = Layered(kIncurredLoss, CEDED), direct = Layered(kIncurredLoss, DIRECT);
    PlayTableMath(p, {{paid}, 0, false, 0, {incurred, ceded, direct}}, &summary, false);
    EXPECT_EQ(summary, paidName + " = " + paidName + "\r\n\t + " + incName + "\r\n\t + " + names.DisplayName(ceded) +
                           "\r\n\t + " + names.DisplayName(direct) + "\r\n");

    // A calculated target is refused and listed.
    MessageBoxScript boxes;
    const QSID copy = AddPaidTimes(p, "Paid copy", 1.0);
    PlayTableMath(p, {{copy}, 0, true, 1.0, {}}, &summary);
    EXPECT_TRUE(summary.endsWith("ERROR: Target is a calculated array: " + names.DisplayName(copy) + "\r\n"))
        << summary.toStdString();

    // Division by zero changes nothing.
    PlayTableMath(p, {{paid}, 3, true, 0.0, {}}, &summary);
    EXPECT_TRUE(summary.endsWith("ERROR: Could not perform operation: " + paidName + "\r\n"));
    EXPECT_DOUBLE_EQ(Cell(p, kPaidLoss, NET, 1, 2), 112.0);
    EXPECT_EQ(CTableMathPage5::ErrorPrefix(500), "ERROR: Target cannot be found");
}

TEST_F(TableMath, SkippedTargetsAreNotedAndTheNextFinishOnlyCloses) {
    TestProjectDoc doc;
    CProject& p = *doc.GetProject();
    Fill(p, kPaidLoss, 100);
    const QSID doubled = AddPaidTimes(p, "Paid doubled", 2.0);
    CTableMathPrpSheet sheet;
    sheet.m_pProject = &p;
    sheet.m_page1.m_lCurrentId = Layered(kPaidLoss, NET);
    sheet.m_page1.m_nCurrentLayer = NET;
    ModalScript script;
    script.Then<CTableMathPrpSheet>([&](CTableMathPrpSheet& s) {
        // The paid loss and a table calculated from it alone: the latter follows.
        Choose(s.m_page1, doubled);
        ASSERT_EQ(s.m_page1.Right()->topLevelItemCount(), 2);
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        s.m_page3.ValueEdit()->setText("5");
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        EXPECT_FALSE(s.PressButton(PSBTN_FINISH));
        EXPECT_TRUE(s.m_page5.m_strSummary.contains(
            "NOTE: The following became calculated during the operation and were skipped:\r\n\t" +
            s.DisplayName(doubled)));
        EXPECT_EQ(s.Button(PSBTN_FINISH)->text(), "Close");
        const double once = Cell(p, kPaidLoss, NET, 0, 0);
        EXPECT_TRUE(s.PressButton(PSBTN_FINISH));  // closes without a second run
        EXPECT_DOUBLE_EQ(Cell(p, kPaidLoss, NET, 0, 0), once);
    });
    EXPECT_EQ(sheet.DoModal(), ID_WIZFINISH);
    EXPECT_DOUBLE_EQ(Cell(p, kPaidLoss, NET, 0, 0), 105.0);
}

TEST_F(TableMath, ListPagesInsistOnATableAndManyTargetsTakeOneOperand) {
    TestProjectDoc doc;
    CProject& p = *doc.GetProject();
    CTableMathPrpSheet sheet;
    sheet.m_pProject = &p;
    MessageBoxScript boxes;
    ModalScript script;
    script.Then<CTableMathPrpSheet>([&](CTableMathPrpSheet& s) {
        EXPECT_EQ(s.m_page1.Right()->topLevelItemCount(), 0);  // no current table
        EXPECT_FALSE(s.PressButton(PSBTN_NEXT));
        EXPECT_EQ(boxes.Last().text, "At least one Table should be selected!");
        Choose(s.m_page1, Layered(kPaidLoss, NET));
        Choose(s.m_page1, Layered(kIncurredLoss, NET));
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        EXPECT_EQ(s.m_page3.GetDlgItemText(CTableMathPage3::IDC_QUESTION), "What would you like to add to your Selected Tables:");
        qobject_cast<QAbstractButton*>(s.m_page3.GetDlgItem(CTableMathPage3::IDC_TABLES_RADIO))->click();
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        EXPECT_EQ(s.m_page4.RightCaption()->text(), "Select one table to adjust many tables.");
        Choose(s.m_page4, Layered(kPaidLoss, CEDED));
        Choose(s.m_page4, Layered(kIncurredLoss, CEDED));
        ASSERT_EQ(s.m_page4.Right()->topLevelItemCount(), 1);
        EXPECT_EQ(s.m_page4.Right()->topLevelItem(0)->data(0, Qt::UserRole).toLongLong(), Layered(kIncurredLoss, CEDED));
        s.EndDialog(IDCANCEL);
    });
    sheet.DoModal();
}

// ---------------------------------------------------------------- period dialogs

TEST_F(PeriodDialogs, RemovalListsNameTheLastPeriodRemoved) {
    TestProjectDoc doc;
    CProject& p = *doc.GetProject();
    QSStringArray calendar, exposure;
    std::string caption;
    const short all = -1;
    p.GetLabels(calendar, LBL_CALENDAR, caption, all);
    p.GetLabels(exposure, LBL_EXPOSURE, caption, all);
    {
        CRemoveEvalPeriodsDlg dlg(&p);
        ModalScript script;
        script.Then<CRemoveEvalPeriodsDlg>([&](CRemoveEvalPeriodsDlg& d) {
            ASSERT_EQ(d.List()->count(), p.GetEvaluationCount() - 1);
            EXPECT_EQ(d.List()->itemText(0).toStdString(), calendar.back());  // the newest first
            EXPECT_EQ(d.List()->currentIndex(), 0);
            d.List()->setCurrentIndex(1);
            d.OnOK();
        });
        ASSERT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.m_nIndex, 1);  // the two newest evaluations go
    }
    {
        CRemoveExposurePeriodsDlg dlg(&p);
        ModalScript script;
        script.Then<CRemoveExposurePeriodsDlg>([&](CRemoveExposurePeriodsDlg& d) {
            ASSERT_EQ(d.List()->count(), int(exposure.size()) - 1);
            EXPECT_EQ(d.List()->itemText(0).toStdString(), exposure.front());  // the oldest first
            EXPECT_EQ(d.GetDlgItemText(CRemoveExposurePeriodsDlg::IDC_WARNING),
                      "WARNING \n This action could result in loss of data");
            d.OnOK();
        });
        ASSERT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.m_nIndex, 0);
    }
    // The command removes what the dialog chose; at the last period both refuse.
    int count = p.GetEvaluationCount() - 1;
    ASSERT_EQ(p.RemoveLastEvaluation(count), 0);
    MessageBoxScript boxes;
    ModalScript none;
    CRemoveEvalPeriodsDlg eval(&p);
    EXPECT_EQ(eval.DoModal(), IDCANCEL);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, "You cannot delete any more evaluation periods.");
    CRemoveExposurePeriodsDlg expo(&p);
    EXPECT_EQ(expo.DoModal(), IDCANCEL);
    EXPECT_EQ(boxes.Last().text, "You cannot delete the only exposure period.");
    EXPECT_TRUE(none.Dialogs().empty());  // neither opened an empty list
}

TEST_F(PeriodDialogs, AppendAndCompressionChoices) {
    EXPECT_EQ(CompressionChoices(1), QStringList({"Years", "Half Years", "Quarters"}));
    EXPECT_EQ(CompressionChoices(3), QStringList({"Years", "Half Years"}));
    EXPECT_EQ(CompressionChoices(6), QStringList({"Years"}));
    EXPECT_TRUE(CompressionChoices(12).isEmpty());

    CAppendEvalPeriodDlg append;
    ModalScript script;
    script.Then<CAppendEvalPeriodDlg>([](CAppendEvalPeriodDlg& d) {
        EXPECT_FALSE(d.GetDlgItem(CAppendEvalPeriodDlg::IDC_DEVELOPMENT)->isEnabled());
        EXPECT_TRUE(d.IsDlgButtonChecked(CAppendEvalPeriodDlg::IDC_DEVELOPMENT));
        d.CheckDlgButton(CAppendEvalPeriodDlg::IDC_EXPOSURE, 1);
        d.OnOK();
    });
    ASSERT_EQ(append.DoModal(), IDOK);
    EXPECT_EQ(append.m_bAddDevelopment, 1);
    EXPECT_EQ(append.m_bAddExposure, 1);

    // A yearly length offers nothing and OK does nothing.
    CCompressColumnsDlg yearly;
    yearly.m_nCurrentLength = 12;
    script.Then<CCompressColumnsDlg>([](CCompressColumnsDlg& d) {
        EXPECT_EQ(d.List()->count(), 0);
        d.OnOK();
        EXPECT_TRUE(d.isVisible());
        d.OnCancel();
    });
    EXPECT_EQ(yearly.DoModal(), IDCANCEL);
    CCompressColumnsDlg quarterly;
    quarterly.m_nCurrentLength = 3;
    script.Then<CCompressColumnsDlg>([](CCompressColumnsDlg& d) {
        d.List()->setCurrentIndex(1);
        d.CheckDlgButton(CCompressColumnsDlg::IDC_LEAVE_FIRST, 1);
        d.OnOK();
    });
    ASSERT_EQ(quarterly.DoModal(), IDOK);
    EXPECT_EQ(quarterly.m_strChosen, "Half Years");
    EXPECT_EQ(quarterly.m_bLeaveFirst, 1);

    // Compress rows: the ratio is refused above 20 and editable only when user defined.
    MessageBoxScript boxes;
    CCompressRowsDlg rows;
    rows.m_nCurrentLength = 3;
    script.Then<CCompressRowsDlg>([&](CCompressRowsDlg& d) {
        EXPECT_FALSE(d.GetDlgItem(CCompressRowsDlg::IDC_RATIO)->isEnabled());
        qobject_cast<QAbstractButton*>(d.GetDlgItem(CCompressRowsDlg::IDC_USER))->click();
        EXPECT_TRUE(d.GetDlgItem(CCompressRowsDlg::IDC_RATIO)->isEnabled());
        d.SetDlgItemText(CCompressRowsDlg::IDC_RATIO, "21");
        d.OnOK();
        EXPECT_EQ(boxes.Last().text, "Please enter an integer between 0 and 20.");
        d.SetDlgItemText(CCompressRowsDlg::IDC_RATIO, "4");
        d.SetDlgItemText(CCompressRowsDlg::IDC_START, "2");
        d.SetDlgItemText(CCompressRowsDlg::IDC_STOP, "9");
        d.OnOK();
    });
    ASSERT_EQ(rows.DoModal(), IDOK);
    EXPECT_EQ(rows.m_nRatio, 4u);
    EXPECT_EQ(rows.m_nStartRow, 2u);
    EXPECT_EQ(rows.m_nStopRow, 9u);
    EXPECT_EQ(rows.m_strChosen, "Years");
}

// ---------------------------------------------------------------- other dialogs

TEST_F(TableDialogs, DiagonalRangeExportAnswersAndDependents) {
    MessageBoxScript boxes;
    ModalScript script;
    for (const auto& [typed, ok] : std::vector<std::pair<int, bool>>{{0, false}, {100, false}, {1, true}, {99, true}}) {
        CDiagonalSelectionDlg dlg;
        script.Then<CDiagonalSelectionDlg>([&, typed = typed](CDiagonalSelectionDlg& d) {
            qobject_cast<QSpinBox*>(d.GetDlgItem(CDiagonalSelectionDlg::IDC_EVALUATION))->setValue(typed);
            d.OnOK();
            if (d.isVisible()) d.OnCancel();
        });
        boxes.Clear();
        EXPECT_EQ(dlg.DoModal(), ok ? IDOK : IDCANCEL) << typed;
        if (ok) EXPECT_EQ(dlg.m_nEvaluation, typed);
        else EXPECT_EQ(boxes.Last().text, "Please enter an integer between 1 and 99.");
    }

    for (const auto& [button, answer] : std::vector<std::pair<int, int>>{
             {CExportFileExistsDlg::IDC_REPLACE, 0}, {CExportFileExistsDlg::IDC_RENAME, 1},
             {CExportFileExistsDlg::IDC_SKIP, 2}, {CExportFileExistsDlg::IDC_CANCEL_EXPORT, 3}, {-1, 3}}) {
        CExportFileExistsDlg dlg;
        dlg.m_strMessage = "x.wk1\nFile already exists.";
        script.Then<CExportFileExistsDlg>([button = button](CExportFileExistsDlg& d) {
            EXPECT_EQ(d.GetDlgItemText(CExportFileExistsDlg::IDC_MESSAGE), "x.wk1\nFile already exists.");
            if (button < 0) d.reject();  // Escape
            else qobject_cast<QAbstractButton*>(d.GetDlgItem(button))->click();
        });
        EXPECT_EQ(dlg.DoModal(), answer);
    }
    qs::views::Settings().fileMode = 0;
    CExportFileExistsDlg db;
    script.Then<CExportFileExistsDlg>([](CExportFileExistsDlg& d) {
        EXPECT_EQ(d.GetDlgItemText(CExportFileExistsDlg::IDC_SKIP), "&Skip Profile");
        d.reject();
    });
    db.DoModal();
    qs::views::Settings().fileMode = 1;

    CDependentsWarningDlg warning(nullptr, {"Paid Ratio", "Method 501"});
    script.Then<CDependentsWarningDlg>([](CDependentsWarningDlg& d) { d.OnGetList(); d.OnOK(); });
    script.Then<CDependentsListDlg>([](CDependentsListDlg& d) {
        EXPECT_EQ(d.ListEdit()->toPlainText(), "Paid Ratio\nMethod 501\n");
        d.OnOK();
    });
    EXPECT_EQ(warning.DoModal(), IDOK);
    CDependentsListDlg empty(nullptr, {});
    script.Then<CDependentsListDlg>([](CDependentsListDlg& d) {
        EXPECT_TRUE(d.ListEdit()->toPlainText().isEmpty());
        d.OnOK();
    });
    empty.DoModal();
    EXPECT_TRUE(script.AllHandled());
}

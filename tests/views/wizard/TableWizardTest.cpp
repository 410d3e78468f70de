// Object-name validation, the formula page and the table wizard: user
// tables, exhibits and methods built page by page, their formulas written
// through the page's tree, function and operator lists, and computed by the
// kernel. Dialogs are played by ModalScript handlers, message boxes by
// MessageBoxScript.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

#include "CAttachReportsDlg.h"
#include "CDataObject.h"
#include "CExhibit.h"
#include "CFormulaDialog.h"
#include "CMethod.h"
#include "CProject.h"
#include "CTableWizard.h"
#include "FormulaBinding.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "ObjectNameValidation.h"
#include "TableDialogs.h"
#include "ViewSettings.h"
#include "ViewTestSupport.h"

using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;
using qs::test::kPaidLoss;
using qs::test::TestProjectDoc;

namespace {

constexpr QSID kEarnedPremium = 101000041;

QTreeWidgetItem* FindItem(QTreeWidget* tree, const QString& group, const QString& text) {
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* root = tree->topLevelItem(i);
        if (root->text(0) != group) continue;
        for (int j = 0; j < root->childCount(); ++j)
            if (root->child(j)->text(0) == text) return root->child(j);
    }
    return nullptr;
}

void FillPaid(CProject& p) {
    CDataObject* paid = p.FindDataObject(kPaidLoss, NET);
    CDataObject* prem = p.FindDataObject(kEarnedPremium, NET);
    for (int r = 0; r < 5; ++r) {
        prem->SetAt(r, 0, 1000.0 * (r + 1));
        for (int c = 0; c < 5 - r; ++c) paid->SetAt(r, c, 100.0 * (r + 1) + 10.0 * c);
    }
}

}  // namespace

// ---------------------------------------------------------------- names

// Each test starts from the views' default settings.
struct ObjectNameValidation : qs::test::ViewTest {};
struct FormulaDialog : qs::test::ViewTest {};
struct TableWizard : qs::test::ViewTest {};
struct AttachReportsDlg : qs::test::ViewTest {};

TEST_F(ObjectNameValidation, TrimsAndRefusesWithItsMessages) {
    const struct {
        QString in;
        bool ok;
        QString trimmed;
        QString message;  // empty: no box
    } cases[] = {
        {"  Paid Ratio  ", true, "Paid Ratio", ""},
        {"A1 (net) & b_c-d+e", true, "A1 (net) & b_c-d+e", ""},
        {"   ", false, "", "Name cannot be empty"},
        {"Paid/Incurred", false, "", qs::views::InvalidNameCharacterText(QLatin1Char('/'))},
        {"Paid*2", false, "", qs::views::InvalidNameCharacterText(QLatin1Char('*'))},
        {"Paid\tLoss", false, "", qs::views::InvalidNameCharacterText(QLatin1Char('\t'))},
    };
    for (const auto& c : cases) {
        MessageBoxScript boxes;
        QString name = c.in;
        EXPECT_EQ(ValidateObjectName(name), c.ok) << c.in.toStdString();
        if (c.ok) {
            EXPECT_EQ(name, c.trimmed);
        }
        if (c.message.isEmpty()) {
            EXPECT_EQ(boxes.Count(), 0u);
        } else {
            ASSERT_EQ(boxes.Count(), 1u) << c.in.toStdString();
            EXPECT_EQ(boxes.Last().text, c.message);
        }
    }
    EXPECT_TRUE(qs::views::InvalidNameCharacterText(QLatin1Char('/')).startsWith("[ / ] is an invalid character in a name. A name must contain the following \ncharacters:"));
}

TEST_F(ObjectNameValidation, UniquenessNamesTheConflictingTable) {
    TestProjectDoc doc;
    CProject& p = *doc.GetProject();
    std::string name;
    p.GetLongNameFromID(kPaidLoss, name);
    MessageBoxScript boxes;
    EXPECT_EQ(qs::views::CheckNameUnique(p, "Fresh name", "", 0, 1000), qs::views::NameConflict::None);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(qs::views::CheckNameUnique(p, "Fresh name", QString::fromStdString(name), 0, 1000),
              qs::views::NameConflict::ShortName);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes.Last().text.startsWith("Name already in use.  Please use an alternate name.\n" +
                                             QString::fromStdString(name) + "conflicts with \nTABLE ID: 1 \nNAME: "));
}

// ---------------------------------------------------------------- the formula page

TEST_F(FormulaDialog, TokenisesAndHintsTheFirstDefect) {
    TestProjectDoc doc;
    CProject& p = *doc.GetProject();
    CUserTable table;
    table.SetProject(&p);
    CFormulaDialog page;
    page.SetContext(&p, 1000, &table);
    page.OnSetActive();
    const struct {
        QString text;
        int flags;
        QString hint;
    } cases[] = {
        {"\"Paid Loss", CFormulaDialog::kQuoteMissing, "A quotation mark is missing."},
        {"( \"Paid Loss\" * 2", CFormulaDialog::kParenMissing, "An opening or closing parenthesis is missing."},
        {"\"Paid Loss\" * 1.05", 0, "No formula."},
        {"\"Nonsense\" + 1", CFormulaDialog::kUnknownName, "\"Nonsense\" is not a recognized name."},
        {"\"Paid Loss\" * * 2", CFormulaDialog::kCannotExecute,
         "The formula failed to execute.  This is most likely due to missing \noperators or operands or invalid "
         "function parameters."},
        {"Sum(\"Paid Loss\")", CFormulaDialog::kDoesNotFit,
         "The resulting object calculated from the formula does not match what is being defined."},
    };
    for (const auto& c : cases) {
        page.SetFormulaText(c.text);
        EXPECT_EQ(page.HintFlags(), c.flags) << c.text.toStdString();
        EXPECT_EQ(page.HintText(), c.hint) << c.text.toStdString();
        EXPECT_EQ(page.StatusIcon(), c.flags ? CFormulaDialog::kIconBad : CFormulaDialog::kIconGood);
    }
    // Names become "DO" and the id; the plus-minus-percent operator stays one token.
    page.SetFormulaText(QStringLiteral("\"Paid Loss<Gross>\" ") + QChar(0xB1) + "% 10");
    ASSERT_EQ(page.ResolvedStack().GetSize(), 3);
    std::string t;
    page.ResolvedStack().GetAt(0, t);
    QSID gross = kPaidLoss;
    SetIDLayer(gross, GROSS);
    EXPECT_EQ(t, "DO" + std::to_string(gross));
    page.ResolvedStack().GetAt(1, t);
    EXPECT_EQ(QString::fromStdString(t), QString(QChar(0xB1)) + "%");
}

TEST_F(FormulaDialog, InsertsAtTheCaretWithoutTheClipboardAndUndoesEditsToo) {
    TestProjectDoc doc;
    CProject& p = *doc.GetProject();
    CUserTable table;
    table.SetProject(&p);
    CFormulaDialog page;
    page.SetContext(&p, 1000, &table);
    page.show();
    page.OnSetActive();
    QGuiApplication::clipboard()->setText(QStringLiteral("the user's clipboard"));

    QTreeWidgetItem* paid = FindItem(page.Tree(), "Input Data", "Paid Loss");
    ASSERT_NE(paid, nullptr);
    page.InsertTreeItem(paid);
    page.InsertPiece("*");
    page.ValueEdit()->setText("2");
    page.InsertValue();
    EXPECT_EQ(page.FormulaText(), "\"Paid Loss\" * 2 ");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "the user's clipboard");
    EXPECT_EQ(page.StatusIcon(), CFormulaDialog::kIconGood);

    // Undo after three insertions leaves the first two.
    page.OnUndo();
    EXPECT_EQ(page.FormulaText(), "\"Paid Loss\" * ");
    page.OnRedo();
    EXPECT_EQ(page.FormulaText(), "\"Paid Loss\" * 2 ");
    // A typed edit is undone as typed, not lost to a rebuild from the inserted pieces.
    page.Edit()->moveCursor(QTextCursor::End);
    page.Edit()->insertPlainText("+ 1");
    page.OnUndo();
    EXPECT_EQ(page.FormulaText(), "\"Paid Loss\" * 2 ");

    // Inserting in the middle goes where the caret is.
    QTextCursor cursor = page.Edit()->textCursor();
    cursor.setPosition(0);
    page.Edit()->setTextCursor(cursor);
    page.InsertPiece("(");
    EXPECT_TRUE(page.FormulaText().startsWith("( \"Paid Loss\""));

    // A chosen layer is written after the name inside the quotes.
    page.SetFormulaText(QString());
    page.LayerCombo()->setCurrentText("Ceded");
    page.InsertTreeItem(paid);
    EXPECT_EQ(page.FormulaText(), "\"Paid Loss<Ceded>\" ");

    // "Diagonal" asks for the evaluation and appends it.
    page.SetFormulaText(QString());
    ModalScript script;
    script.Then<CDiagonalSelectionDlg>([](CDiagonalSelectionDlg& d) {
        qobject_cast<QSpinBox*>(d.GetDlgItem(CDiagonalSelectionDlg::IDC_EVALUATION))->setValue(2);
        d.OnOK();
    });
    page.InsertFunction("Diagonal");
    EXPECT_EQ(page.FormulaText(), "Diagonal2 ");
    EXPECT_TRUE(script.AllHandled());
}

TEST_F(FormulaDialog, SharedNamesAreQualifiedByTheirGroup) {
    TestProjectDoc doc;
    CProject& p = *doc.GetProject();
    auto method = std::make_unique<CMethod>(&p);
    CFormulaDialog page;
    page.SetContext(&p, 6000, method.get());
    page.AddColumn(901000000, "Paid Loss");  // a column named as an input array
    page.OnSetActive();
    EXPECT_EQ(page.NameMap().at("Paid Loss"), 0);
    QSID paidNet = kPaidLoss;  // the tree's ids carry layer 1
    SetIDLayer(paidNet, NET);
    EXPECT_EQ(page.NameMap().at("Paid Loss (ID)"), paidNet);
    EXPECT_EQ(page.NameMap().at("Paid Loss (COL)"), 901000000);
    QTreeWidgetItem* column = FindItem(page.Tree(), "Columns", "( 1) Paid Loss");
    ASSERT_NE(column, nullptr);
    page.InsertTreeItem(column);
    EXPECT_EQ(page.FormulaText(), "\"Paid Loss (COL)\" ");
    // A loaded formula shows the shared name by the group its id names.
    CStringStack raw({"\"Paid Loss\"", "*", "2"});
    CStringStack resolved({"DO101000001", "*", "2"});
    EXPECT_EQ(page.LoadFormula(raw, resolved), 0);
    EXPECT_EQ(page.FormulaText(), "\"Paid Loss (ID)\" * 2 ");
    EXPECT_EQ(page.LoadFormula(CStringStack(), CStringStack()), 1);

    // An ambiguous name typed bare asks which one is meant.
    MessageBoxScript boxes;
    ModalScript script;
    script.Then<CSelectNewNameDlg>([](CSelectNewNameDlg& d) {
        d.Names()->setCurrentRow(0);
        d.OnOK();
    });
    page.SetFormulaText("\"Paid Loss\" * 2");
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(page.FormulaText(), "\"Paid Loss (ID)\" * 2");
}

// ---------------------------------------------------------------- the wizard

TEST_F(TableWizard, BuildsAUserArrayWithAFormulaThatTheKernelComputes) {
    TestProjectDoc doc;
    CProject& p = *doc.GetProject();
    FillPaid(p);
    MessageBoxScript boxes;
    CTableWizardPropSheet sheet(&p, 1000);
    ModalScript script;
    script.Then<CTableWizardPropSheet>([&](CTableWizardPropSheet& s) {
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));  // Array
        ASSERT_EQ(s.GetActivePage(), &s.m_page2);
        EXPECT_EQ(s.m_page2.IdEdit()->text(), "501");
        s.m_page2.NameEdit()->setText("  Paid Ratio ");
        s.m_page2.ShortNameEdit()->setText("PR");
        s.m_page2.HasFormula()->click();
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        ASSERT_EQ(s.GetActivePage(), &s.m_formula);
        EXPECT_FALSE(s.Button(PSBTN_FINISH)->isEnabled() && s.m_formula.StatusIcon() == CFormulaDialog::kIconBad);
        s.m_formula.InsertTreeItem(FindItem(s.m_formula.Tree(), "Input Data", "Paid Loss"));
        s.m_formula.InsertPiece("/");
        s.m_formula.InsertTreeItem(FindItem(s.m_formula.Tree(), "Input Data", "Earned Premiums"));
        EXPECT_EQ(s.m_formula.StatusIcon(), CFormulaDialog::kIconGood) << s.m_formula.HintText().toStdString();
        ASSERT_TRUE(s.PressButton(PSBTN_FINISH));
    });
    ASSERT_EQ(sheet.DoModal(), ID_WIZFINISH);
    ASSERT_TRUE(script.AllHandled());
    EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join("|").toStdString();
    QSID id = 0;
    ASSERT_EQ(sheet.AddToProject(id), 0);
    EXPECT_EQ(GetIDIndex(id), 501);
    CDataObject* table = p.FindDataObject(id, NET);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->GetIDLongName(), "Paid Ratio");
    double v = 0;
    std::uint8_t f = 0;
    ASSERT_EQ(table->GetAt(1, 2, v, f), 0);
    EXPECT_DOUBLE_EQ(v, 220.0 / 2000.0);
    // The table follows its sources.
    p.FindDataObject(kPaidLoss, NET)->SetAt(1, 2, 400.0);
    table->GetAt(1, 2, v, f);
    EXPECT_DOUBLE_EQ(v, 0.2);

    // Editing it again shows its definition.
    CFormula* edited = nullptr;
    ASSERT_EQ(p.BeginEditObject(id, edited), 0);
    CTableWizardPropSheet edit(&p, 1000, nullptr, 1);
    edit.SetEditObject(edited);
    ModalScript again;
    again.Then<CTableWizardPropSheet>([&](CTableWizardPropSheet& s) {
        ASSERT_EQ(s.GetActivePage(), &s.m_page2);
        EXPECT_EQ(s.m_page2.NameEdit()->text(), "Paid Ratio");
        EXPECT_TRUE(s.m_page2.IdEdit()->isReadOnly());
        EXPECT_TRUE(s.m_page2.HasFormula()->isChecked());
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));  // unchanged names do not ask the kernel
        EXPECT_EQ(s.m_formula.FormulaText(), "\"Paid Loss\" / \"Earned Premiums\" ");
        s.m_formula.SetFormulaText("\"Paid Loss\" * 2");
        ASSERT_TRUE(s.PressButton(PSBTN_FINISH));
    });
    ASSERT_EQ(edit.DoModal(), ID_WIZFINISH);
    // The edited formula reaches the project's table, not only its names.
    ASSERT_EQ(p.EndEditObject(edited, 1, 0), 0);
    table = p.FindDataObject(id, NET);
    table->GetAt(1, 2, v, f);
    EXPECT_DOUBLE_EQ(v, 800.0);
}

TEST_F(TableWizard, RefusesBadNumbersAndNames) {
    qs::views::Settings().fileMode = 0;  // the character check runs in database mode
    TestProjectDoc doc;
    CProject& p = *doc.GetProject();
    std::string paidName;
    p.GetLongNameFromID(kPaidLoss, paidName);
    CTableWizardPropSheet sheet(&p, 1000);
    MessageBoxScript boxes;
    boxes.SetResponder([](const qs::fw::MessageBoxRecord& r) { return r.defaultAnswer; });
    ModalScript script;
    script.Then<CTableWizardPropSheet>([&](CTableWizardPropSheet& s) {
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        auto next = [&](const QString& id, const QString& name) {
            s.m_page2.IdEdit()->setText(id);
            s.m_page2.NameEdit()->setText(name);
            boxes.Clear();
            s.PressButton(PSBTN_FINISH);
            EXPECT_EQ(s.GetActivePage(), &s.m_page2);
            return boxes.Count() ? boxes.Last().text : QString();
        };
        EXPECT_EQ(next("996", "Good"), "ID# must be between 501 and 995!");
        EXPECT_EQ(next("500", "Good"), "ID# must be between 501 and 995!");
        EXPECT_EQ(next("995", ""), "Name Required!");
        EXPECT_EQ(next("995", "Bad/Name"), qs::views::InvalidNameCharacterText(QLatin1Char('/')));
        EXPECT_TRUE(next("995", QString::fromStdString(paidName)).startsWith("Name already in use."));
        EXPECT_EQ(s.GetPage(0)->GetSheet(), &s);
        s.m_page2.NameEdit()->setText("Fine name");
        ASSERT_TRUE(s.PressButton(PSBTN_FINISH));
    });
    EXPECT_EQ(sheet.DoModal(), ID_WIZFINISH);
    EXPECT_EQ(sheet.m_pObject->GetIDLongName(), "Fine name");
    EXPECT_EQ(sheet.m_pObject->GetIDIndexLabel(), "995");
}

TEST_F(TableWizard, TypePageRefusesWhenNoNumberIsLeft) {
    TestProjectDoc doc;
    CProject& p = *doc.GetProject();
    for (int i = 501; i <= 995; ++i) {
        CDataObject proto;
        proto.SetIDLongName("T" + std::to_string(i));
        QSID id = i;
        ASSERT_EQ(p.AddNewObject(proto, id, 1), 0);
    }
    CTableWizardPropSheet sheet(&p, 1000);
    MessageBoxScript boxes;
    ModalScript script;
    script.Then<CTableWizardPropSheet>([&](CTableWizardPropSheet& s) {
        EXPECT_FALSE(s.PressButton(PSBTN_NEXT));
        EXPECT_EQ(s.GetActivePage(), &s.m_page1);
        s.EndDialog(IDCANCEL);
    });
    sheet.DoModal();
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text,
              "You cannot add any more [Array] tables as the maximum limit is reached!!!\nERROR!  ID# must be between "
              "501 and 995!");
}

TEST_F(TableWizard, BuildsAUserExhibitFromItsFormula) {
    TestProjectDoc doc;
    CProject& p = *doc.GetProject();
    FillPaid(p);
    MessageBoxScript boxes;
    CTableWizardPropSheet sheet(&p, 5000);
    ModalScript script;
    script.Then<CTableWizardPropSheet>([&](CTableWizardPropSheet& s) {
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        s.m_page2.NameEdit()->setText("Loaded paid");
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        ASSERT_EQ(s.GetActivePage(), &s.m_formula);
        // An empty exhibit formula is refused at Finish.
        EXPECT_FALSE(s.PressButton(PSBTN_FINISH));
        EXPECT_EQ(boxes.Last().text, "Formula is Required for Exhibits!");
        s.m_formula.SetFormulaText("\"Paid Loss\" * 2");
        ASSERT_TRUE(s.PressButton(PSBTN_FINISH));
    });
    ASSERT_EQ(sheet.DoModal(), ID_WIZFINISH);
    QSID id = 0;
    ASSERT_EQ(sheet.AddToProject(id), 0);
    auto* exhibit = dynamic_cast<CUserExhibit*>(p.FindObject(id, NET));
    ASSERT_NE(exhibit, nullptr);
    CDataObject* factors = nullptr;
    ASSERT_EQ(exhibit->GetFactorTriangle(factors), 0);
    double v = 0;
    std::uint8_t f = 0;
    factors->GetAt(0, 0, v, f);
    EXPECT_NEAR(v, 110.0 / 100.0, 1e-12);
}

TEST_F(TableWizard, BuildsAUserMethodWithTwoColumns) {
    TestProjectDoc doc;
    CProject& p = *doc.GetProject();
    FillPaid(p);
    MessageBoxScript boxes;
    CTableWizardPropSheet sheet(&p, 6000);
    ModalScript script;
    script.Then<CTableWizardPropSheet>([&](CTableWizardPropSheet& s) {
        s.m_page1.SelectCategory(6000);
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        ASSERT_EQ(s.GetActivePage(), &s.m_page22);
        CTableWizPage22& m = s.m_page22;
        EXPECT_EQ(m.InsertAfterButton()->text(), "&New");
        m.NameEdit()->setText("Premium method");
        m.MethodType()->setCurrentIndex(6);
        // Finish with no column is refused.
        EXPECT_FALSE(s.PressButton(PSBTN_FINISH));
        EXPECT_EQ(boxes.Last().text, "At least one column has to be created!");

        // Column 1: the latest paid, by formula.
        m.OnInsertAfter();
        ASSERT_EQ(s.GetActivePage(), &s.m_page3);
        s.m_page3.NameEdit()->setText("Latest");
        s.m_page3.HeaderEdit()->setText("Latest Paid");
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        ASSERT_EQ(s.GetActivePage(), &s.m_formula);
        s.m_formula.InsertFunction("Sum");
        s.m_formula.InsertPiece("(");
        s.m_formula.InsertTreeItem(FindItem(s.m_formula.Tree(), "Input Data", "Paid Loss"));
        s.m_formula.InsertPiece(")");
        EXPECT_EQ(s.m_formula.StatusIcon(), CFormulaDialog::kIconGood) << s.m_formula.HintText().toStdString();
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        ASSERT_EQ(s.GetActivePage(), &m);
        ASSERT_EQ(m.Columns()->count(), 1);

        // Column 2: the first column times two, marked ultimate.
        m.OnInsertAfter();
        s.m_page3.NameEdit()->setText("Doubled");
        s.m_page3.HeaderEdit()->setText("Doubled");
        s.m_page3.Ultimate()->setChecked(true);
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        s.m_formula.InsertTreeItem(FindItem(s.m_formula.Tree(), "Columns", "( 1) Latest"));
        s.m_formula.InsertPiece("*");
        s.m_formula.InsertPiece("2");
        EXPECT_EQ(s.m_formula.StatusIcon(), CFormulaDialog::kIconGood) << s.m_formula.HintText().toStdString();
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        ASSERT_EQ(m.Columns()->count(), 2);
        EXPECT_EQ(m.m_nUltPos, 1);
        // The first column is read by the second: it cannot go.
        m.Columns()->setCurrentRow(0);
        m.OnDelete();
        EXPECT_EQ(boxes.Last().text, "This column is used in another column's formula.");
        ASSERT_EQ(m.Columns()->count(), 2);
        ASSERT_TRUE(s.PressButton(PSBTN_FINISH));
    });
    ASSERT_EQ(sheet.DoModal(), ID_WIZFINISH);
    ASSERT_TRUE(script.AllHandled());
    QSID id = 0;
    ASSERT_EQ(sheet.AddToProject(id), 0);
    auto* method = dynamic_cast<CMethod*>(p.FindObject(id, NET));
    ASSERT_NE(method, nullptr);
    ASSERT_EQ(method->GetNumDataObjects(), 2);
    EXPECT_EQ(method->GetColHeader(0), "Latest Paid");
    EXPECT_EQ(method->GetUltPos(), 1);
    double v = 0;
    std::uint8_t f = 0;
    method->GetDataObject(2)->GetAt(1, 0, v, f);
    // Row 2 holds 200, 210, 220, 230: their sum doubled.
    EXPECT_DOUBLE_EQ(v, 2 * (200 + 210 + 220 + 230));
}

TEST_F(TableWizard, DeletingTheUltimateColumnAsksForANewOne) {
    TestProjectDoc doc;
    CProject& p = *doc.GetProject();
    MessageBoxScript boxes;
    CTableWizardPropSheet sheet(&p, 6000, nullptr, 0);
    ModalScript script;
    script.Then<CTableWizardPropSheet>([&](CTableWizardPropSheet& s) {
        s.m_page1.SelectCategory(6000);
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        CTableWizPage22& m = s.m_page22;
        m.NameEdit()->setText("Entered method");
        m.OnInsertAfter();
        s.m_page3.NameEdit()->setText("Ult");
        s.m_page3.HeaderEdit()->setText("Ult");
        s.m_page3.Ultimate()->setChecked(true);
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        s.m_formula.SetFormulaText("\"Earned Premiums\"");
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        ASSERT_EQ(m.Columns()->count(), 1);
        m.Columns()->setCurrentRow(0);
        m.OnDelete();
        EXPECT_EQ(boxes.Last().text, "Please select a new ultimate column.");
        m.OnInsertAfter();
        s.m_page3.NameEdit()->setText("Other");
        s.m_page3.HeaderEdit()->setText("Other");
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        s.m_formula.SetFormulaText("\"Earned Premiums\"");
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        EXPECT_FALSE(s.PressButton(PSBTN_FINISH));
        EXPECT_EQ(boxes.Last().text, "One column has to be Ultimate!");
        s.EndDialog(IDCANCEL);
    });
    sheet.DoModal();
}

// ---------------------------------------------------------------- attach reports

TEST_F(AttachReportsDlg, AttachesInOrderAndTellsAboutLinksThatAreGone) {
    TestProjectDoc doc;
    CProject& p = *doc.GetProject();
    QSIDArray reports;
    QSID id = 0;
    std::string name;
    for (QSSTATUS st = p.GetFirst(7000, id, name); st == 0; st = p.GetNext(7000, id, name)) reports.push_back(id);
    ASSERT_GE(reports.size(), 2u);
    CAttachReportsDlg dlg;
    dlg.m_pProject = &p;
    dlg.m_links = {reports[1], 407003999};  // the second report, and one that no longer exists
    MessageBoxScript boxes;
    ModalScript script;
    script.Then<CAttachReportsDlg>([&](CAttachReportsDlg& d) {
        EXPECT_EQ(d.Attached()->topLevelItemCount(), 1);
        EXPECT_EQ(d.Reports()->topLevelItemCount(), int(reports.size()) - 1);
        d.Reports()->topLevelItem(0)->setSelected(true);
        d.OnAttach();
        d.OnOK();
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes.Last().text.contains("no longer exist"));
    ASSERT_EQ(dlg.m_links.size(), 2u);
    EXPECT_EQ(dlg.m_links[0], reports[1]);
    EXPECT_EQ(dlg.m_links[1], reports[0]);

    // "Only with data" filters the list.
    int withData = 0;
    for (QSID r : reports) withData += p.IDHasData(r, 1) ? 1 : 0;
    CAttachReportsDlg filtered;
    filtered.m_pProject = &p;
    ModalScript again;
    again.Then<CAttachReportsDlg>([&](CAttachReportsDlg& d) {
        EXPECT_GT(d.Reports()->topLevelItemCount(), 0);
        dynamic_cast<CWnd&>(d).CheckDlgButton(CAttachReportsDlg::IDC_ONLY_WITH_DATA, 1);
        EXPECT_EQ(d.Reports()->topLevelItemCount(), withData);
        dynamic_cast<CWnd&>(d).CheckDlgButton(CAttachReportsDlg::IDC_ONLY_WITH_DATA, 0);
        EXPECT_EQ(d.Reports()->topLevelItemCount(), int(reports.size()));
        d.OnCancel();
    });
    QSIDArray before = filtered.m_links;
    EXPECT_EQ(filtered.DoModal(), IDCANCEL);
    EXPECT_EQ(filtered.m_links, before);
}

// Object windows of a project document: a triangle opened through the
// document shows the kernel's cells, a typed cell reaches the kernel and the
// calculated layer's open window follows, and the edit is saved.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QImage>
#include <QTest>
#include <QTreeWidget>

#include <memory>

#include "CDataObject.h"
#include "CDocTemplate.h"
#include "CFrameWnd.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CInfoView.h"
#include "CMethodView.h"
#include "CPPAView.h"
#include "CScalar.h"
#include "CScalarView.h"
#include "CSummaryReportOptionsDlg.h"
#include "CTriangView.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "ProjectHost.h"
#include "SpreadsheetControl.h"
#include "TestEnvironment.h"
#include "ViewIcons.h"
#include "ViewSettings.h"

namespace {

constexpr QSID kPaid = 101000001;
constexpr QSID kIncurred = 101000011;
constexpr QSID kLossReport = 301003003;  // a summary report of the standard template

template <typename View>
View* ViewIn(CFrameWnd* frame) {
    if (frame == nullptr) return nullptr;
    for (CView* view : frame->GetViews())
        if (auto* v = dynamic_cast<View*>(view)) return v;
    return nullptr;
}

bool SameIcon(const QIcon& a, const QIcon& b) {
    return !a.isNull() && !b.isNull() && a.pixmap(16, 16).toImage() == b.pixmap(16, 16).toImage();
}

bool HasView(const CProjectDoc& doc, const CView* view) {
    return std::find(doc.Views().begin(), doc.Views().end(), view) != doc.Views().end();
}

CTriangView* TriangleIn(CFrameWnd* frame) {
    if (frame == nullptr) return nullptr;
    for (CView* view : frame->GetViews())
        if (auto* t = dynamic_cast<CTriangView*>(view)) return t;
    return nullptr;
}

double GridNumber(CTriangView* view, int row, int col) {
    double value = 0;
    view->GetCtrl()->GetNumber(row, col, value);
    return value;
}

double KernelCell(CProjectDoc& doc, unsigned short layer, int row, int col) {
    double value = 0;
    std::uint8_t flags = 0;
    doc.GetProject()->FindDataObject(kPaid, layer)->GetAt(row, col, value, flags);
    return value;
}

class ProjectObjectViewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        qs::views::Settings() = qs::views::ViewSettings{};
        qs::views::Settings().defaultShow = 1;  // incremental: what is typed is what is stored
        m_template = std::make_unique<CMultiDocTemplate>(0, RUNTIME_CLASS(CProjectDoc), RUNTIME_CLASS(CFrameWnd),
                                                         RUNTIME_CLASS(CTriangView));
        m_scalarTemplate = std::make_unique<CMultiDocTemplate>(0, RUNTIME_CLASS(CProjectDoc), RUNTIME_CLASS(CFrameWnd),
                                                               RUNTIME_CLASS(CScalarView));
        m_infoTemplate = std::make_unique<CMultiDocTemplate>(0, RUNTIME_CLASS(CProjectDoc), RUNTIME_CLASS(CFrameWnd),
                                                             RUNTIME_CLASS(CInfoView));
        m_patternTemplate = std::make_unique<CMultiDocTemplate>(0, RUNTIME_CLASS(CProjectDoc),
                                                                RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(CPPAView));
        m_methodTemplate = std::make_unique<CMultiDocTemplate>(0, RUNTIME_CLASS(CProjectDoc), RUNTIME_CLASS(CFrameWnd),
                                                               RUNTIME_CLASS(CMethodView));
        qs::project::Host().viewTemplate = [this](qs::project::ObjectViewKind kind) -> CDocTemplate* {
            switch (kind) {
            case qs::project::ObjectViewKind::Table: return m_template.get();
            case qs::project::ObjectViewKind::Scalar: return m_scalarTemplate.get();
            case qs::project::ObjectViewKind::Info: return m_infoTemplate.get();
            case qs::project::ObjectViewKind::PPA: return m_patternTemplate.get();
            case qs::project::ObjectViewKind::Method: return m_methodTemplate.get();
            default: return nullptr;
            }
        };
        m_dir = qs::test::MakeTempDir("views");
    }
    void TearDown() override {
        qs::project::Host().viewTemplate = nullptr;
        qs::project::Host().refillNavigatorLists = nullptr;
        g_bObjectRefreshed = 0;
    }

    std::unique_ptr<CProjectDoc> NewDocument() {
        auto doc = std::make_unique<CProjectDoc>();
        doc->m_bAutoDelete = FALSE;  // the test owns it
        std::uint16_t gen = 5, numExp = 5, firstYear = 2001, interval = 1, numDev = 5, firstAge = 12;
        PRDLENGTH len = PRD_YEAR;
        LAYERNAMES c1 = GROSS, c2 = ASSUMED;
        EXPECT_EQ(doc->GetProject()->Create(gen, numExp, len, firstYear, interval, numDev, len, firstAge, c1, c2), 0);
        return doc;
    }

    std::unique_ptr<CMultiDocTemplate> m_template;
    std::unique_ptr<CMultiDocTemplate> m_scalarTemplate;
    std::unique_ptr<CMultiDocTemplate> m_infoTemplate;
    std::unique_ptr<CMultiDocTemplate> m_patternTemplate;
    std::unique_ptr<CMultiDocTemplate> m_methodTemplate;
    std::string m_dir;
};

TEST_F(ProjectObjectViewsTest, TriangleOpensEditsFollowsAndSaves) {
    qs::fw::MessageBoxScript boxes;
    auto doc = NewDocument();
    CProject* project = doc->GetProject();
    project->FindDataObject(kPaid, NET)->SetAt(0, 0, 100.0);
    project->FindDataObject(kPaid, CEDED)->SetAt(0, 0, 10.0);
    project->FindDataObject(kPaid, NET)->SetAt(1, 1, 7.0);

    CFrameWnd* netFrame = doc->OpenObjectView(kPaid, NET);
    CTriangView* net = TriangleIn(netFrame);
    ASSERT_NE(net, nullptr);
    EXPECT_EQ(net->GetObject(), project->FindDataObject(kPaid, NET));
    EXPECT_EQ(GridNumber(net, 1, 1), 100.0);
    EXPECT_EQ(GridNumber(net, 2, 2), 7.0);
    EXPECT_TRUE(net->GetCaption().contains(QStringLiteral("(Net)")));
    CTriangView* gross = TriangleIn(doc->OpenObjectView(kPaid, GROSS));
    ASSERT_NE(gross, nullptr);
    EXPECT_EQ(GridNumber(gross, 1, 1), 110.0);
    // Asking again activates the open window.
    EXPECT_EQ(doc->OpenObjectView(kPaid, NET), netFrame);

    // Typing into the Net grid reaches the kernel; Gross is recalculated
    // and its open window shows the new sum.
    qs::ss::SpreadsheetControl* ctrl = net->GetCtrl();
    ctrl->SetSelection(1, 1, 1, 1);
    ctrl->SetActiveCell(1, 1);
    ASSERT_EQ(ctrl->StartEdit(QStringLiteral("250"), true), 0);
    ctrl->EndEdit();
    EXPECT_EQ(KernelCell(*doc, NET, 0, 0), 250.0);
    EXPECT_EQ(KernelCell(*doc, GROSS, 0, 0), 260.0);
    EXPECT_EQ(GridNumber(gross, 1, 1), 260.0);

    // Closing a window lets go of its kernel object.
    CDataObject* grossObject = project->FindDataObject(kPaid, GROSS);
    EXPECT_EQ(grossObject->GetViewedCount(), 1);
    gross->GetParentFrame()->DestroyWindow();
    EXPECT_EQ(grossObject->GetViewedCount(), 0);

    const std::string path = m_dir + "/edited.qs5";
    ASSERT_TRUE(doc->OnSaveDocument(QString::fromStdString(path)));
    doc->OnCloseDocument();  // the Net window goes with the document
    EXPECT_EQ(project->FindDataObject(kPaid, NET)->GetViewedCount(), 0);
    doc.reset();

    auto reopened = std::make_unique<CProjectDoc>();
    reopened->m_bAutoDelete = FALSE;
    ASSERT_TRUE(reopened->OnOpenDocument(QString::fromStdString(path)));
    CTriangView* again = TriangleIn(reopened->OpenObjectView(kPaid, NET));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(GridNumber(again, 1, 1), 250.0);
    reopened->OnCloseDocument();
    EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join(QStringLiteral(" | ")).toStdString();
}

TEST_F(ProjectObjectViewsTest, ObjectThatCannotOpenLeavesNoWindowAndKeepsTheDocument) {
    auto doc = NewDocument();
    doc->m_bAutoDelete = TRUE;  // a failed window must not close the document
    EXPECT_EQ(doc->OpenObjectView(MakeID(1, 1, 0, 0, 99), NET), nullptr);
    EXPECT_TRUE(doc->Views().empty());
    EXPECT_NE(doc->GetProject(), nullptr);
    doc->m_bAutoDelete = FALSE;
}

TEST_F(ProjectObjectViewsTest, StructuralChangeDetachesAndReattachesTheWindow) {
    auto doc = NewDocument();
    doc->GetProject()->FindDataObject(kPaid, NET)->SetAt(0, 0, 42.0);
    CTriangView* net = TriangleIn(doc->OpenObjectView(kPaid, NET));
    ASSERT_NE(net, nullptr);
    QSSTATUS status = 0;
    net->GetTO()->ViewCumulative(1, status, 1);
    doc->CloseObjectViews(FALSE);
    EXPECT_EQ(net->GetObject(), nullptr);
    EXPECT_EQ(net->GetTO(), nullptr);
    doc->ReopenObjectViews();
    ASSERT_NE(net->GetTO(), nullptr);
    EXPECT_TRUE(net->GetTO()->IsViewedCumulative());  // the remembered presentation
    EXPECT_EQ(GridNumber(net, 1, 1), 42.0);
    doc->OnCloseDocument();
}

TEST_F(ProjectObjectViewsTest, ScalarAndInformationWindowsOpenOnceEach) {
    auto doc = NewDocument();
    CScalar proto;
    proto.SetIDLongName("Trend Rate");
    proto.SetIDShortName("TR");
    proto.SetInitialized(true);
    QSID id = 0;
    ASSERT_EQ(doc->GetProject()->AddNewObject(proto, id, 1), 0);
    auto* stored = dynamic_cast<CScalar*>(doc->GetProject()->FindObject(id, NET));
    ASSERT_NE(stored, nullptr);
    stored->SetValue(0.25);
    CFrameWnd* frame = doc->OpenObjectView(id, NET);
    ASSERT_NE(frame, nullptr);
    CScalarView* scalar = nullptr;
    for (CView* v : frame->GetViews())
        if ((scalar = dynamic_cast<CScalarView*>(v)) != nullptr) break;
    ASSERT_NE(scalar, nullptr);
    double value = 0;
    scalar->GetCtrl()->GetNumber(1, 1, value);
    EXPECT_DOUBLE_EQ(value, 0.25);
    EXPECT_EQ(doc->OpenObjectView(id, NET), frame);

    CFrameWnd* info = doc->OpenObjectView(0, NET);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(doc->OpenObjectView(0, GROSS), info);  // one information window per project
    doc->OnCloseDocument();
}

// Pastes, cuts and deletes in a triangle window reach the project as typing
// does: they are saved, they mark the project changed, and bad cells are
// refused before anything changes.
TEST_F(ProjectObjectViewsTest, PasteCutAndDeleteReachTheSavedProject) {
    qs::fw::MessageBoxScript boxes;
    auto doc = NewDocument();
    CProject* project = doc->GetProject();
    project->SetModifiedFlag(false);
    doc->SetModifiedFlag(FALSE);
    CTriangView* net = TriangleIn(doc->OpenObjectView(kPaid, NET));
    ASSERT_NE(net, nullptr);
    EXPECT_FALSE(doc->IsModified()) << "opening a window changes nothing";
    qs::ss::SpreadsheetControl* ctrl = net->GetCtrl();
    const auto pasteAt = [&](int row, int col, const QString& text) {
        QApplication::clipboard()->setText(text);
        ctrl->SetSelection(row, col, row, col);
        ctrl->SetActiveCell(row, col);
        QTest::keyClick(ctrl, Qt::Key_V, Qt::ControlModifier);
    };

    // A cumulative block with thousands separators and an empty cell.
    pasteAt(1, 1, QStringLiteral("1,000\t1500\t\t2000\n800\t900\n"));
    EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(KernelCell(*doc, NET, 0, 0), 1000.0);
    EXPECT_EQ(KernelCell(*doc, NET, 0, 3), 2000.0);
    EXPECT_EQ(KernelCell(*doc, NET, 1, 1), 900.0);
    EXPECT_EQ(KernelCell(*doc, GROSS, 0, 0), 1000.0) << "the calculated layer follows";
    EXPECT_TRUE(doc->IsModified());

    // Refused as a whole: a word, and a value below the staircase; the
    // message names both cells and nothing changes.
    pasteAt(4, 1, QStringLiteral("abc\t5\t7"));
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes.Last().text.contains(QStringLiteral("row 4, column 1"))) << boxes.Last().text.toStdString();
    EXPECT_TRUE(boxes.Last().text.contains(QStringLiteral("\"abc\" is not a number")));
    EXPECT_TRUE(boxes.Last().text.contains(QStringLiteral("row 4, column 3")));
    EXPECT_FALSE(boxes.Last().text.contains(QStringLiteral("column 2")));
    EXPECT_EQ(KernelCell(*doc, NET, 3, 1), 0.0);

    // Cut of (1,2) and Delete of (2,1)..(2,2).
    ctrl->SetSelection(1, 2, 1, 2);
    ctrl->SetActiveCell(1, 2);
    QTest::keyClick(ctrl, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1500"));
    ctrl->SetSelection(2, 1, 2, 2);
    QTest::keyClick(ctrl, Qt::Key_Delete);

    const std::string path = m_dir + "/pasted.qs5";
    ASSERT_TRUE(doc->OnSaveDocument(QString::fromStdString(path)));
    EXPECT_FALSE(doc->IsModified());
    doc->OnCloseDocument();
    doc.reset();

    auto reopened = std::make_unique<CProjectDoc>();
    reopened->m_bAutoDelete = FALSE;
    ASSERT_TRUE(reopened->OnOpenDocument(QString::fromStdString(path)));
    CDataObject* paid = reopened->GetProject()->FindDataObject(kPaid, NET);
    std::uint8_t flags = 0;
    double value = 0;
    EXPECT_EQ(KernelCell(*reopened, NET, 0, 0), 1000.0);
    EXPECT_EQ(KernelCell(*reopened, NET, 0, 3), 2000.0);
    for (auto [row, col] : {std::pair{0, 1}, std::pair{0, 2}, std::pair{1, 0}, std::pair{1, 1}}) {
        paid->GetAt(row, col, value, flags);
        EXPECT_FALSE(flags & 1) << "cell " << row << "," << col << " is cleared";
    }
    EXPECT_FALSE(reopened->IsModified());
    reopened->OnCloseDocument();
    EXPECT_EQ(boxes.Count(), 1u) << boxes.Texts().join(QStringLiteral(" | ")).toStdString();
}

// Copy puts exactly the selected rectangle on the clipboard: empty cells
// keep their place and numbers are plain, whatever the screen format.
TEST_F(ProjectObjectViewsTest, CopyTakesTheSelectedRectangleAsPlainNumbers) {
    auto doc = NewDocument();
    CDataObject* paid = doc->GetProject()->FindDataObject(kPaid, NET);
    paid->SetAt(1, 1, 1234567.25);
    paid->SetAt(1, 2, -103.0);
    CTriangView* net = TriangleIn(doc->OpenObjectView(kPaid, NET));
    ASSERT_NE(net, nullptr);
    qs::ss::SpreadsheetControl* ctrl = net->GetCtrl();
    ctrl->SetSelection(1, 1, 3, 3);
    ctrl->SetActiveCell(1, 1);
    QTest::keyClick(ctrl, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("\t\t\n\t1234567.25\t-103\n\t\t"));
    // Pasted one row lower, the block lands where it was copied from, shifted by one.
    ctrl->SetSelection(2, 1, 2, 1);
    ctrl->SetActiveCell(2, 1);
    QTest::keyClick(ctrl, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(KernelCell(*doc, NET, 2, 1), 1234567.25);
    doc->OnCloseDocument();
}

// Opening a project and a triangle changes nothing; the way a triangle is
// shown is the object's, stays put while windows open and close, and is
// saved with the project.
TEST_F(ProjectObjectViewsTest, CumulativeChoiceIsStableAndSaved) {
    qs::views::Settings().defaultShow = 0;
    auto doc = NewDocument();
    const std::string path = m_dir + "/shown.qs5";
    ASSERT_TRUE(doc->OnSaveDocument(QString::fromStdString(path)));
    doc->OnCloseDocument();
    doc = std::make_unique<CProjectDoc>();
    doc->m_bAutoDelete = FALSE;
    ASSERT_TRUE(doc->OnOpenDocument(QString::fromStdString(path)));
    doc->SetPathName(QString::fromStdString(path), FALSE);
    for (int round = 0; round < 3; ++round) {
        CTriangView* net = TriangleIn(doc->OpenObjectView(kPaid, NET));
        ASSERT_NE(net, nullptr);
        QApplication::processEvents();
        EXPECT_TRUE(net->GetTO()->IsViewedCumulative()) << "round " << round;
        net->GetParentFrame()->DestroyWindow();
    }
    EXPECT_FALSE(doc->IsModified());
    CTriangView* net = TriangleIn(doc->OpenObjectView(kPaid, NET));
    net->SendMessage(WM_COMMAND, ID_VIEW_CUMULATIVE, 0);
    EXPECT_FALSE(net->GetTO()->IsViewedCumulative());
    EXPECT_TRUE(net->GetCaption().endsWith(QStringLiteral(" - Incremental")));
    ASSERT_TRUE(doc->OnSaveDocument(QString::fromStdString(path)));
    doc->OnCloseDocument();
    doc = std::make_unique<CProjectDoc>();
    doc->m_bAutoDelete = FALSE;
    ASSERT_TRUE(doc->OnOpenDocument(QString::fromStdString(path)));
    net = TriangleIn(doc->OpenObjectView(kPaid, NET));
    QApplication::processEvents();
    EXPECT_FALSE(net->GetTO()->IsViewedCumulative());
    doc->OnCloseDocument();
}

// A summary report is laid out from its options, so the user confirms them
// before its window opens; Cancel opens nothing.
TEST_F(ProjectObjectViewsTest, SummaryReportOpensAfterItsOptions) {
    qs::fw::MessageBoxScript boxes;
    auto doc = NewDocument();
    ASSERT_TRUE(doc->GetProject()->IsIDSummaryReport(kLossReport));
    int refills = 0;
    qs::project::Host().refillNavigatorLists = [&](CProjectDoc& d) {
        EXPECT_EQ(&d, doc.get());
        ++refills;
    };
    const auto accept = [](bool selectedUltimate, unsigned short layer) {
        return [=](CSummaryReportOptionsDlg& d) {
            EXPECT_EQ(d.m_lReportId, kLossReport);
            EXPECT_EQ(d.m_nLayer, layer);
            d.AvailableList()->topLevelItem(0)->setSelected(true);
            d.OnAdd();
            d.SelectedUltimateBox()->setChecked(selectedUltimate);
            d.OnOK();
        };
    };
    qs::fw::ModalScript script;
    script.Then<CSummaryReportOptionsDlg>([](CSummaryReportOptionsDlg& d) { d.reject(); });
    EXPECT_EQ(doc->OpenObjectView(kLossReport, NET), nullptr);
    EXPECT_TRUE(doc->Views().empty());

    // OK with the selected ultimate on: the window opens and the
    // navigator's lists show the report's new column.
    script.Then<CSummaryReportOptionsDlg>(accept(true, NET));
    CFrameWnd* frame = doc->OpenObjectView(kLossReport, NET);
    ASSERT_NE(frame, nullptr);
    EXPECT_NE(ViewIn<CMethodView>(frame), nullptr);
    EXPECT_EQ(refills, 1);
    // The open window comes forward without asking again; a caller may skip the options.
    EXPECT_EQ(doc->OpenObjectView(kLossReport, NET), frame);
    CFrameWnd* another = doc->OpenObjectView(kLossReport, NET, FALSE, TRUE, TRUE);
    EXPECT_NE(another, nullptr);
    EXPECT_NE(another, frame);
    // Without the selected ultimate the lists stay as they are.
    script.Then<CSummaryReportOptionsDlg>(accept(false, CEDED));
    EXPECT_NE(doc->OpenObjectView(kLossReport, CEDED), nullptr);
    EXPECT_EQ(refills, 1);

    EXPECT_EQ(script.Dialogs().size(), 3u);
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join(QStringLiteral(" | ")).toStdString();
    doc->OnCloseDocument();
}

// The payment pattern opens in its own view; before a structural change its
// window and a summary report's close, while a table only lets go of its
// object and is attached again afterwards.
TEST_F(ProjectObjectViewsTest, StructuralChangeClosesPatternAndReportWindows) {
    qs::fw::MessageBoxScript boxes;
    auto doc = NewDocument();
    const QSID pattern = doc->GetProject()->GetPayPatternID();
    CFrameWnd* patternFrame = doc->OpenObjectView(pattern, NET);
    CPPAView* patternView = ViewIn<CPPAView>(patternFrame);
    ASSERT_NE(patternView, nullptr);
    EXPECT_EQ(TriangleIn(patternFrame), nullptr);
    CMethodView* report = ViewIn<CMethodView>(doc->OpenObjectView(kLossReport, NET, TRUE, TRUE, TRUE));
    ASSERT_NE(report, nullptr);
    CTriangView* net = TriangleIn(doc->OpenObjectView(kPaid, NET));
    ASSERT_NE(net, nullptr);
    ASSERT_EQ(doc->Views().size(), 3u);

    doc->CloseObjectViews(FALSE);
    EXPECT_FALSE(HasView(*doc, patternView));
    EXPECT_FALSE(HasView(*doc, report));
    ASSERT_TRUE(HasView(*doc, net));
    EXPECT_EQ(net->GetObject(), nullptr);
    doc->ReopenObjectViews();
    EXPECT_EQ(net->GetObject(), doc->GetProject()->FindDataObject(kPaid, NET));
    EXPECT_EQ(doc->Views().size(), 1u);
    EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join(QStringLiteral(" | ")).toStdString();
    doc->OnCloseDocument();
}

// A triangle the user empties returns to the uninitialized state when its
// window is left or closed after the change; it can be entered again.
TEST_F(ProjectObjectViewsTest, EmptiedTriangleIsUninitializedWhenLeftOrClosed) {
    qs::fw::MessageBoxScript boxes;
    auto doc = NewDocument();
    CProject* project = doc->GetProject();
    CDataObject* paid = project->FindDataObject(kPaid, NET);
    paid->SetAt(0, 0, 100.0);
    paid->SetAt(1, 1, 7.0);
    CTriangView* net = TriangleIn(doc->OpenObjectView(kPaid, NET));
    ASSERT_NE(net, nullptr);
    qs::ss::SpreadsheetControl* ctrl = net->GetCtrl();
    const auto deleteCells = [&](int r1, int c1, int r2, int c2) {
        ctrl->SetSelection(r1, c1, r2, c2);
        ctrl->SetActiveCell(r1, c1);
        QTest::keyClick(ctrl, Qt::Key_Delete);
    };

    // An untouched empty table is left as it is when nothing was refreshed.
    g_bObjectRefreshed = 0;
    CTriangView* incurred = TriangleIn(doc->OpenObjectView(kIncurred, NET));
    ASSERT_NE(incurred, nullptr);
    incurred->OnActivateView(FALSE, net, incurred);
    EXPECT_TRUE(project->FindDataObject(kIncurred, NET)->IsInitialized());

    // One value left: still initialized.
    deleteCells(1, 1, 1, 1);
    EXPECT_TRUE(g_bObjectRefreshed);
    net->OnActivateView(FALSE, incurred, net);
    EXPECT_TRUE(paid->IsInitialized());

    // All cleared: leaving the window uninitializes the array.
    deleteCells(1, 1, 5, 5);
    net->OnActivateView(FALSE, incurred, net);
    EXPECT_FALSE(paid->IsInitialized());
    EXPECT_FALSE(project->IDHasData(kPaid, NET));
    EXPECT_EQ(project->GetIDStatus(kPaid, NET), 0);

    // It takes typing again, and holds data again.
    net->OnActivateView(TRUE, net, incurred);
    ctrl->SetSelection(3, 2, 3, 2);
    ctrl->SetActiveCell(3, 2);
    ASSERT_EQ(ctrl->StartEdit(QStringLiteral("250"), true), 0);
    ctrl->EndEdit();
    EXPECT_TRUE(paid->IsInitialized());
    EXPECT_EQ(KernelCell(*doc, NET, 2, 1), 250.0);
    double shown = 0;
    ctrl->GetNumber(3, 2, shown);
    EXPECT_EQ(shown, 250.0);

    // Emptied again and closed without another window becoming active.
    deleteCells(3, 2, 3, 2);
    net->GetParentFrame()->DestroyWindow();
    EXPECT_FALSE(paid->IsInitialized());
    EXPECT_EQ(paid->GetViewedCount(), 0);
    EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join(QStringLiteral(" | ")).toStdString();
    doc->OnCloseDocument();
}

TEST_F(ProjectObjectViewsTest, ObjectFramesCarryTheIconOfTheirKind) {
    auto doc = NewDocument();
    CFrameWnd* table = doc->OpenObjectView(kPaid, NET);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(TriangleIn(table)->GetFrameIconId(), qs::views::kIconTable);
    EXPECT_TRUE(SameIcon(table->windowIcon(), qs::views::FrameIcon(qs::views::kIconTable)));

    CScalar proto;
    proto.SetIDLongName("Trend Rate");
    proto.SetIDShortName("TR");
    QSID id = 0;
    ASSERT_EQ(doc->GetProject()->AddNewObject(proto, id, 1), 0);
    ASSERT_TRUE(qs::views::IsUserObjectKind(GetIDDOType(id)));
    CFrameWnd* scalar = doc->OpenObjectView(id, NET);
    ASSERT_NE(scalar, nullptr);
    EXPECT_TRUE(SameIcon(scalar->windowIcon(), qs::views::FrameIcon(qs::views::kIconUserScalar)));
    EXPECT_FALSE(SameIcon(scalar->windowIcon(), table->windowIcon()));
    doc->OnCloseDocument();
}

}  // namespace

// The project navigator inside the running application: projects opened
// from files appear in it, their objects by category and layer, filters,
// opening, moving between subgroups, the context menu, GoToObject and the
// application services that ask the navigator.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "CSelectDataSourceDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>
#include <unistd.h>

#include "CArchive.h"
#include "CCmdUI.h"
#include "CDataObject.h"
#include "CGraph.h"
#include "CDocTemplate.h"
#include "CFile.h"
#include "CPageSetup.h"
#include "navigator/CPrjListView.h"
#include "CPrjSheet.h"
#include "navigator/CPrjTreeView.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CQuillstoneApp.h"
#include "startup/CSplashWindow.h"
#include "CToolBar.h"
#include "navigator/CTreeFrame.h"
#include "SmallViewDialogs.h"
#include "startup/Installation.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "navigator/NavigatorModel.h"
#include "InstalledWorkstation.h"
#include "QsCommandIds.h"
#include "TestEnvironment.h"
#include "ViewSettings.h"
#include "startup/WorkstationSettings.h"

// Readable lists of item texts in failures.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace fs = std::filesystem;
namespace nav = qs::app::nav;
using qs::fw::MessageBoxScript;

namespace {

constexpr QSID kPaidLoss = 101000001;
constexpr QSID kIncurredLoss = 101000011;
constexpr QSID kSelectedUltLoss = 101000023;

// A project file with data in Paid Loss (Net) only.
std::string SaveProject(const std::string& path) {
    CProjectDoc doc;
    std::uint16_t gen = 5, numExp = 5, firstYear = 2001, interval = 1, numDev = 5, firstAge = 12;
    PRDLENGTH len = PRD_YEAR, devLen = PRD_YEAR;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    EXPECT_EQ(doc.GetProject()->Create(gen, numExp, len, firstYear, interval, numDev, devLen, firstAge, c1, c2), 0);
    doc.GetProject()->FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 100);
    EXPECT_TRUE(doc.OnSaveDocument(QString::fromStdString(path)));
    return path;
}

QStringList Texts(const QTreeWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.topLevelItemCount(); ++i) texts << list.topLevelItem(i)->text(0);
    return texts;
}

// Object names without the table number the kernel puts before them when
// "Show Table ID#" is on.
QStringList Names(const QTreeWidget& list) {
    QStringList names;
    for (const QString& text : Texts(list))
        names << (text.contains(QStringLiteral(" - ")) ? text.section(QStringLiteral(" - "), 1) : text);
    return names;
}

QStringList Children(const QTreeWidgetItem* item) {
    QStringList texts;
    for (int i = 0; item && i < item->childCount(); ++i) texts << item->child(i)->text(0);
    return texts;
}

class NavigatorTest : public qs::test::StartedAppTest {
protected:
    void SetUp() override { Start("nav"); }

    CProjectDoc* Open(const std::string& name) {
        const std::string path = SaveProject(root + "/" + name);
        auto* doc = static_cast<CProjectDoc*>(app->OpenDocumentFile(QString::fromStdString(path)));
        QApplication::processEvents();
        return doc;
    }
    CTreeFrame* Frame() const { return app->NavigatorFrame(); }
    CPrjTreeView* Tree() const { return app->GetNavigator(); }
    CPrjListView* List() const { return Frame()->ListView(); }
    QTreeWidget& TreeCtrl() const { return Tree()->GetTreeCtrl(); }
    QTreeWidget& ListCtrl() const { return List()->GetListCtrl(); }
    QTreeWidgetItem* Node(CProjectDoc* doc, QSID id) const { return Tree()->FindNodeItem(Tree()->FindRootItem(doc), id); }
    int NavigatorFrames() const {
        int count = 0;
        for (QWidget* w : QApplication::allWidgets())
            if (auto* frame = dynamic_cast<CTreeFrame*>(w); frame && frame->GetSafeHwnd()) ++count;
        return count;
    }

    MessageBoxScript boxes;
};

TEST(NavigatorModel, KindsCategoriesAndDrops) {
    using K = nav::ObjectKind;
    const struct {
        QSID id;
        K kind;
    } kinds[] = {
        {1001, K::Subgroup},        {kPaidLoss, K::InputArray}, {201000501, K::InputArray},
        {101000008, K::InputArray}, {501000001, K::Scalar},     {601000501, K::Scalar},
        {301001001, K::Exhibit},    {401002501, K::Method},     {301003145, K::Report},
        {801000001, K::Graph},      {1101000001, K::Graph},     {101007001, K::Other},
    };
    for (const auto& c : kinds) EXPECT_EQ(nav::KindOf(c.id), c.kind) << c.id;

    EXPECT_EQ(nav::CategoryIdOfIndex(5), 8000);
    EXPECT_EQ(nav::CategoryIdOfIndex(6), 0);
    EXPECT_EQ(nav::CategoryIdOfIndex(-1), 0);
    EXPECT_EQ(nav::CategoryIndexOfCommand(33103), 5);
    EXPECT_EQ(nav::CategoryIndexOfCommand(32928), 2);
    EXPECT_EQ(nav::CategoryIndexOfCommand(32931), -1);
    // The ultimates sit in subgroups below their category.
    EXPECT_EQ(nav::CategoryIndexOfObject(kSelectedUltLoss, 9010), 4);
    EXPECT_EQ(nav::CategoryIndexOfObject(kPaidLoss, 1000), 0);
    EXPECT_EQ(nav::CategoryIndexOfObject(301001001, 5001), 1);
    EXPECT_EQ(nav::CategoryIndexOfObject(1101000001, 8000), 5);

    using D = nav::DropAction;
    EXPECT_EQ(nav::ClassifyDrop(301001001, 5022, true), D::IntoSubgroup);
    EXPECT_EQ(nav::ClassifyDrop(301001001, 5022, false), D::Refused);
    EXPECT_EQ(nav::ClassifyDrop(301001001, 301001002, false), D::AfterObject);  // two exhibits
    EXPECT_EQ(nav::ClassifyDrop(301001001, 401002501, false), D::Refused);      // exhibit onto a method
    EXPECT_EQ(nav::ClassifyDrop(5001, 5022, true), D::Refused);                 // subgroups do not move
    EXPECT_EQ(nav::ClassifyDrop(301001001, 301001001, false), D::Refused);
}

TEST_F(NavigatorTest, OpeningProjectsFillsOneNavigatorByCategoryAndLayer) {
    qs::app::Settings().workingDefaultLayer = 3;
    EXPECT_FALSE(app->NavigatorExists());
    // The installed sample first.
    auto* a = static_cast<CProjectDoc*>(
        app->OpenDocumentFile(QString::fromStdString(layout.workingDirectory + "/data/sample.qs5")));
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(app->NavigatorExists());
    EXPECT_EQ(Frame()->windowTitle(), "Navigator");
    EXPECT_TRUE(Frame()->isVisible());
    // The keyboard is in the object list once the opening event is over.
    QCoreApplication::processEvents();
    EXPECT_EQ(Frame()->window()->focusWidget(), &ListCtrl());
    // A fresh layer box takes the default layer.
    ASSERT_EQ(Frame()->LayerBox()->count(), 5);
    EXPECT_EQ(Frame()->GetSelectedLayer(), 3);
    EXPECT_EQ(Frame()->LayerBox()->itemText(0), "Net");
    // The idle update of the bar's commands leaves the box usable.
    Frame()->OnIdleUpdateCmdUI();
    EXPECT_TRUE(Frame()->LayerBox()->isEnabled());

    ASSERT_EQ(TreeCtrl().topLevelItemCount(), 1);
    QTreeWidgetItem* rootA = TreeCtrl().topLevelItem(0);
    EXPECT_EQ(rootA->text(0), a->GetTitle());
    ASSERT_EQ(rootA->childCount(), 1);
    EXPECT_EQ(rootA->child(0)->text(0), "Input Data");
    EXPECT_EQ(Children(rootA->child(0)), QStringList({"User Defined Input", "Data Adjustments", "Method Input Data"}));
    // The category is selected, so its node lists the template's arrays by name at once.
    EXPECT_EQ(Tree()->GetSelectedNode(), qsk::kCatInput);
    const QStringList names = Names(ListCtrl());
    EXPECT_TRUE(names.contains("Paid Loss"));
    // "Show Table ID#" is off by default: bare names; on, the table numbers.
    EXPECT_TRUE(Texts(ListCtrl()).contains("Paid Loss"));
    qs::app::Settings().showTableId = true;
    app->RefreshNavigator();
    ASSERT_TRUE(Tree()->SelectNode(qsk::kCatInput, nullptr, true));
    EXPECT_TRUE(Texts(ListCtrl()).contains("  1 - Paid Loss"));
    qs::app::Settings().showTableId = false;
    app->RefreshNavigator();
    ASSERT_TRUE(Tree()->SelectNode(qsk::kCatInput, nullptr, true));
    QStringList sorted = Texts(ListCtrl());
    sorted.sort(Qt::CaseSensitive);
    EXPECT_EQ(Texts(ListCtrl()), sorted);
    // The list's ids carry the layer shown.
    ASSERT_TRUE(List()->SelectObject(kPaidLoss, true));
    EXPECT_EQ(GetIDLayer(Frame()->GetSelectedListObject()), 3);

    // A second project only adds a root item; the frame its opening made goes.
    CProjectDoc* b = Open("beta.qs5");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(TreeCtrl().topLevelItemCount(), 2);
    EXPECT_EQ(NavigatorFrames(), 1);
    EXPECT_EQ(app->m_pProjectTemplate->Documents().size(), 2u);
    EXPECT_EQ(Tree()->GetCurrentProject(), b);
    // Opening it again selects it only.
    ASSERT_TRUE(Tree()->SelectProjectItem(a, true));
    EXPECT_EQ(Tree()->GetCurrentProject(), a);
    ASSERT_NE(a->OpenObjectView(kPaidLoss, NET), nullptr);
    ASSERT_NE(static_cast<CMDIChildWnd*>(app->MainFrame()->MDIGetActive()), Frame());
    EXPECT_EQ(app->OpenDocumentFile(QString::fromStdString(root + "/beta.qs5")), b);
    EXPECT_EQ(Tree()->GetCurrentProject(), b);
    EXPECT_EQ(static_cast<CMDIChildWnd*>(app->MainFrame()->MDIGetActive()), Frame());

    // A refresh in the middle of a drag ends it rather than keep items it drops.
    ASSERT_TRUE(Tree()->BeginDragObject(kPaidLoss, b));
    Tree()->DragOver(Node(b, qsk::kNodeAdjustments));
    app->RefreshNavigator();
    EXPECT_FALSE(Tree()->IsDragging());

    // A read-only project says so after its title.
    b->m_bReadOnly = TRUE;
    app->RefreshNavigator();
    EXPECT_EQ(Tree()->FindRootItem(b)->text(0), b->GetTitle() + " (Read Only)");
    EXPECT_EQ(Tree()->FindRootItem(a)->text(0), a->GetTitle());
    EXPECT_EQ(TreeCtrl().indexOfTopLevelItem(Tree()->FindRootItem(a)), 0);

    // Closing a project takes its root item and moves the views to the
    // other; closing the last takes the navigator.
    b->m_bReadOnly = FALSE;
    boxes.Answer(IDNO).Answer(IDNO);
    b->OnFileClose();
    EXPECT_EQ(TreeCtrl().topLevelItemCount(), 1);
    EXPECT_EQ(Tree()->GetCurrentProject(), a);
    a->OnFileClose();
    EXPECT_FALSE(app->NavigatorExists());
    EXPECT_TRUE(app->m_pProjectTemplate->Documents().empty());
    // The next project makes a new navigator, at once and after the old
    // one's widgets are gone.
    CProjectDoc* c = Open("gamma.qs5");
    ASSERT_TRUE(app->NavigatorExists());
    EXPECT_EQ(NavigatorFrames(), 1);
    EXPECT_EQ(TreeCtrl().topLevelItemCount(), 1);
    EXPECT_EQ(Tree()->GetCurrentProject(), c);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(app->NavigatorExists());
    EXPECT_EQ(Tree()->GetCurrentProject(), c);
}

TEST_F(NavigatorTest, NewProjectsGoToTheNavigator) {
    qs::fw::ModalScript script;
    for (int i = 0; i < 2; ++i)
        script.Then<CPrjSheet>([](CPrjSheet& sheet) { sheet.PressButton(PSBTN_OK); });
    CProjectDoc* first = app->OnFileNewProject();
    ASSERT_NE(first, nullptr) << boxes.Texts().join(" | ").toStdString();
    CProjectDoc* second = app->OnFileNewProject();
    ASSERT_NE(second, nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(NavigatorFrames(), 1);
    ASSERT_EQ(TreeCtrl().topLevelItemCount(), 2);
    EXPECT_EQ(TreeCtrl().topLevelItem(0)->text(0), first->GetTitle());
    EXPECT_EQ(TreeCtrl().topLevelItem(1)->text(0), second->GetTitle());
    EXPECT_EQ(Tree()->GetCurrentProject(), second);
}

// A new project shows its tables even when the navigator was left showing
// only tables with data, and starts with the user's default page settings.
TEST_F(NavigatorTest, ANewProjectShowsItsTablesAndTakesTheDefaultPageSetup) {
    // The installation's defaults file is empty: the kernel's defaults.
    qs::fw::ModalScript script;
    script.Then<CPrjSheet>([](CPrjSheet& sheet) { sheet.PressButton(PSBTN_OK); });
    CProjectDoc* plain = app->OnFileNewProject();
    ASSERT_NE(plain, nullptr) << boxes.Texts().join(" | ").toStdString();
    EXPECT_TRUE(plain->GetProject()->GetPageSetup() == CPageSetup());

    // The user's stored defaults, under the installation's own spelling of the name.
    CPageSetup defaults;
    defaults.m_dTopMargin = 2.5;
    defaults.m_nOrientation = 2;
    defaults.m_HeaderStrings[1] = "Reserve review";
    {
        CFile file(layout.workingDirectory + "/pagesetup.def", CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store, 4096);
        defaults.Serialize(ar);
        ar.Close();
        file.Close();
    }
    qs::app::Settings().viewDataOnly = 1;
    script.Then<CPrjSheet>([](CPrjSheet& sheet) { sheet.PressButton(PSBTN_OK); });
    CProjectDoc* doc = app->OnFileNewProject();
    ASSERT_NE(doc, nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(qs::app::Settings().viewDataOnly, 0);
    EXPECT_TRUE(doc->GetProject()->GetPageSetup() == defaults);
    ASSERT_TRUE(Tree()->SelectNode(qsk::kCatInput, doc, true));
    EXPECT_TRUE(Names(ListCtrl()).contains("Paid Loss")) << Names(ListCtrl()).join(",").toStdString();

    // Cancel creates nothing and leaves the filter alone.
    qs::app::Settings().viewDataOnly = 1;
    script.Then<CPrjSheet>([](CPrjSheet& sheet) { sheet.PressButton(PSBTN_CANCEL); });
    EXPECT_EQ(app->OnFileNewProject(), nullptr);
    EXPECT_EQ(qs::app::Settings().viewDataOnly, 1);
}

TEST_F(NavigatorTest, CategoriesKeepTheirSelectionsAndFiltersNarrowTheList) {
    CProjectDoc* doc = Open("p.qs5");
    ASSERT_NE(doc, nullptr);
    CProject* p = doc->GetProject();
    CFormula proto;
    proto.SetIDLongName("Development A");
    QSID exA = 0, exB = 0;
    ASSERT_EQ(p->AddNewFormulaObject(proto, 4, 1, 5060, true, exA), 0);
    proto.SetIDLongName("Development B");
    ASSERT_EQ(p->AddNewFormulaObject(proto, 4, 1, 5060, true, exB), 0);
    app->RefreshNavigator();

    Frame()->SendMessage(WM_COMMAND, 32927);  // View exhibits
    EXPECT_EQ(Frame()->GetCategoryId(), qsk::kCatExhibit);
    Frame()->OnIdleUpdateCmdUI();
    EXPECT_TRUE(Frame()->FrameToolBar()->ButtonAction(32927)->isChecked());
    EXPECT_FALSE(Frame()->FrameToolBar()->ButtonAction(32926)->isChecked());
    EXPECT_EQ(Tree()->FindRootItem(doc)->child(0)->text(0), "Exhibits");
    ASSERT_TRUE(Tree()->SelectNode(5060, doc, true));
    EXPECT_EQ(Names(ListCtrl()), QStringList({"Development A", "Development B"}));
    ASSERT_TRUE(List()->SelectObject(exB, true));

    Frame()->SendMessage(WM_COMMAND, 32926);  // Input Data, then back
    EXPECT_EQ(Frame()->GetCategoryId(), qsk::kCatInput);
    ASSERT_TRUE(Tree()->SelectNode(qsk::kCatInput, doc, true));
    Frame()->SendMessage(WM_COMMAND, 32927);
    EXPECT_EQ(Tree()->GetSelectedNode(), 5060);
    EXPECT_EQ(GetLayerNeutralID(Frame()->GetSelectedListObject()), exB);
    Frame()->SendMessage(WM_COMMAND, 32926);
    EXPECT_EQ(Tree()->GetSelectedNode(), qsk::kCatInput);

    // Only tables with data: Paid Loss has data in Net alone.
    Frame()->LayerBox()->setCurrentIndex(0);
    Frame()->OnLayerChange();
    ASSERT_TRUE(Names(ListCtrl()).contains("Incurred Loss"));
    Frame()->SendMessage(WM_COMMAND, CTreeFrame::kCmdViewDataOnly);
    EXPECT_EQ(Names(ListCtrl()), QStringList({"Paid Loss"}));
    Frame()->LayerBox()->setCurrentIndex(1);  // Gross: calculated, no data yet
    Frame()->OnLayerChange();
    EXPECT_FALSE(Names(ListCtrl()).contains("Incurred Loss"));
    Frame()->SendMessage(WM_COMMAND, CTreeFrame::kCmdViewAllOrData);
    EXPECT_EQ(qs::app::Settings().viewDataOnly, 0);
    // Calculated tables hidden: layer 2 (Gross) is calculated in this project.
    Frame()->SendMessage(WM_COMMAND, CTreeFrame::kCmdViewCalculated);
    EXPECT_TRUE(Names(ListCtrl()).isEmpty());
    Frame()->SendMessage(WM_COMMAND, CTreeFrame::kCmdViewCalculated);
    EXPECT_TRUE(Names(ListCtrl()).contains("Incurred Loss"));

    // The "View" dialog sets the four filters at once.
    qs::fw::ModalScript script;
    script.Then<CViewSelectionDlg>([](CViewSelectionDlg& dlg) {
        EXPECT_TRUE(dlg.Choice(0)->isChecked());
        dlg.Choice(1)->setChecked(true);
        dlg.accept();
    });
    Frame()->SendMessage(WM_COMMAND, CTreeFrame::kCmdViewSelection);
    EXPECT_EQ(qs::app::Settings().viewDataOnly, 1);
    EXPECT_EQ(qs::app::Settings().viewEntered, 1);
    EXPECT_EQ(qs::app::Settings().viewCalculated, 1);
    EXPECT_EQ(Names(ListCtrl()), QStringList({"Paid Loss"}));  // Gross follows Net
}

TEST_F(NavigatorTest, EnterAndDoubleClickOpenTheSelectedObjectInTheSelectedLayer) {
    CProjectDoc* doc = Open("p.qs5");
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(Tree()->SelectNode(qsk::kCatInput, doc, true));
    Frame()->LayerBox()->setCurrentIndex(3);
    Frame()->OnLayerChange();
    const std::size_t views = doc->Views().size();

    // Nothing selected: Enter is the list's own key.
    ListCtrl().clearSelection();
    ListCtrl().setCurrentItem(nullptr);
    QTest::keyClick(&ListCtrl(), Qt::Key_Return);
    EXPECT_EQ(doc->Views().size(), views);

    ASSERT_TRUE(List()->SelectObject(kIncurredLoss, true));
    QTest::keyClick(&ListCtrl(), Qt::Key_Return);
    EXPECT_EQ(doc->Views().size(), views + 1);
    EXPECT_EQ(GetLayerNeutralID(doc->m_nCurrentObjectId), kIncurredLoss);
    EXPECT_EQ(doc->m_nCurrentLayer, 4);
    EXPECT_TRUE(app->HasOpenDataWindows());

    ASSERT_TRUE(List()->SelectObject(kPaidLoss, true));
    QTreeWidgetItem* item = ListCtrl().currentItem();
    const QPoint at = ListCtrl().visualItemRect(item).center();
    // An item view takes a double click as the second click of a pair.
    QTest::mouseClick(ListCtrl().viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(ListCtrl().viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(GetLayerNeutralID(doc->m_nCurrentObjectId), kPaidLoss);
    EXPECT_EQ(doc->Views().size(), views + 2);
}

TEST_F(NavigatorTest, DraggingAnObjectMovesItThroughTheKernel) {
    CProjectDoc* doc = Open("p.qs5");
    ASSERT_NE(doc, nullptr);
    CProject* p = doc->GetProject();
    CDataObject proto;
    proto.SetIDLongName("Large Losses");
    proto.SetIDShortName("LL");
    QSID large = 0, small = 0;
    ASSERT_EQ(p->AddNewObject(proto, large, 1), 0);
    proto.SetIDLongName("Small Losses");
    proto.SetIDShortName("SL");
    ASSERT_EQ(p->AddNewObject(proto, small, 1), 0);
    ASSERT_EQ(p->GetSubgroupFromID(large), qsk::kNodeUserInput);
    app->RefreshNavigator();
    ASSERT_TRUE(Tree()->SelectNode(qsk::kNodeUserInput, doc, true));
    ASSERT_EQ(Names(ListCtrl()), QStringList({"Large Losses", "Small Losses"}));

    // With the mouse: from the list onto "Data Adjustments".
    QTreeWidgetItem* adjustments = Node(doc, qsk::kNodeAdjustments);
    ASSERT_NE(adjustments, nullptr);
    QWidget* from = ListCtrl().viewport();
    QWidget* to = TreeCtrl().viewport();
    const QPoint start = ListCtrl().visualItemRect(List()->FindItem(large)).center();
    const QPoint target = to->mapToGlobal(TreeCtrl().visualItemRect(adjustments).center());
    QTest::mousePress(from, Qt::LeftButton, {}, start);
    QTest::mouseMove(from, start + QPoint(30, 0));
    ASSERT_TRUE(Tree()->IsDragging());
    ASSERT_NE(Tree()->DragImage(), nullptr);
    EXPECT_TRUE(Tree()->DragImage()->isVisible());
    QTest::mouseMove(from, from->mapFromGlobal(target));
    EXPECT_EQ(Tree()->DragImage()->pos(), target - QPoint(8, 8));
    QTest::mouseRelease(from, Qt::LeftButton, {}, from->mapFromGlobal(target));
    EXPECT_FALSE(Tree()->IsDragging());
    EXPECT_TRUE(Tree()->DragImage() == nullptr || !Tree()->DragImage()->isVisible());
    EXPECT_EQ(p->GetSubgroupFromID(large), qsk::kNodeAdjustments);
    EXPECT_EQ(Names(ListCtrl()), QStringList({"Small Losses"}));
    EXPECT_EQ(boxes.Count(), 0u);

    // A node of the object's own subgroup, or of another project, refuses it.
    ASSERT_TRUE(Tree()->BeginDragObject(small, doc));
    EXPECT_FALSE(Tree()->DragOver(Node(doc, qsk::kNodeUserInput)));
    EXPECT_FALSE(Tree()->DragOver(Tree()->FindRootItem(doc)));
    EXPECT_TRUE(Tree()->DragOver(Node(doc, qsk::kNodeMethodInput)));
    Tree()->CancelDrag();
    // Subgroups themselves do not move.
    EXPECT_FALSE(Tree()->BeginDrag(adjustments));

    // The kernel refuses a move the drag allowed (the object went meanwhile):
    // the message, and the navigator shows what the kernel holds.
    ASSERT_TRUE(Tree()->BeginDragObject(small, doc));
    ASSERT_TRUE(Tree()->DragOver(Node(doc, qsk::kNodeMethodInput)));
    ASSERT_EQ(p->DeleteObject(small), 0);
    boxes.Answer(IDOK);
    Tree()->Drop(Node(doc, qsk::kNodeMethodInput));
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, CPrjTreeView::kMoveError);
    EXPECT_EQ(Tree()->GetSelectedNode(), qsk::kNodeUserInput);
    EXPECT_TRUE(Names(ListCtrl()).isEmpty());
    EXPECT_EQ(Children(Node(doc, qsk::kCatInput)),
              QStringList({"User Defined Input", "Data Adjustments", "Method Input Data"}));
}

TEST_F(NavigatorTest, CloseAllStopsAtACancelAndKeepsTheRestInTheNavigator) {
    CProjectDoc* a = Open("a.qs5");
    CProjectDoc* b = Open("b.qs5");
    CProjectDoc* c = Open("c.qs5");
    ASSERT_NE(c, nullptr);
    b->SetModifiedFlag(TRUE);
    boxes.SetResponder([](const qs::fw::MessageBoxRecord& box) {
        return box.text.contains("b.qs5") ? IDCANCEL : IDNO;
    });
    app->OnCloseAll();
    EXPECT_EQ(Tree()->FindRootItem(a), nullptr);
    EXPECT_NE(Tree()->FindRootItem(b), nullptr);
    EXPECT_NE(Tree()->FindRootItem(c), nullptr);
    EXPECT_EQ(TreeCtrl().topLevelItemCount(), 2);
    EXPECT_EQ(app->m_pProjectTemplate->Documents(), (std::vector<CDocument*>{b, c}));
    // The views went with the selection to a project that stays.
    EXPECT_EQ(Tree()->GetCurrentProject(), b);
}

TEST_F(NavigatorTest, LayerColoursAndTheTabKey) {
    qs::app::Settings().showDifferentLayerColors = true;
    qs::app::Settings().workingLayerColors[2] = 0x00FF0000;  // blue, as 0x00BBGGRR
    CProjectDoc* doc = Open("p.qs5");
    ASSERT_NE(doc, nullptr);
    Frame()->LayerBox()->setCurrentIndex(2);
    Frame()->OnLayerChange();
    EXPECT_EQ(ListCtrl().palette().color(QPalette::Text), QColor(0, 0, 255));
    EXPECT_EQ(TreeCtrl().palette().color(QPalette::Text), QColor(0, 0, 255));
    EXPECT_EQ(Frame()->LayerBox()->palette().color(QPalette::Text), QColor(0, 0, 255));
    qs::app::Settings().showDifferentLayerColors = false;
    Frame()->OnLayerChange();
    EXPECT_EQ(ListCtrl().palette().color(QPalette::Text), QColor(Qt::black));

    // Tab goes tree, list, layer box, each category button, and back to the
    // tree: the keyboard reaches everything the mouse does.
    Frame()->GetSubWindow()->mdiArea()->window()->activateWindow();
    TreeCtrl().setFocus();
    QTest::keyClick(&TreeCtrl(), Qt::Key_Tab);
    EXPECT_TRUE(ListCtrl().hasFocus());
    EXPECT_EQ(Frame()->GetActiveView(), List());
    QTest::keyClick(&ListCtrl(), Qt::Key_Tab);
    EXPECT_TRUE(Frame()->LayerBox()->hasFocus());
    int buttons = 0;
    for (int i = 0; i < 30 && !TreeCtrl().hasFocus(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() != nullptr && QApplication::focusWidget()->inherits("QToolButton")) ++buttons;
    }
    EXPECT_TRUE(TreeCtrl().hasFocus());
    EXPECT_GE(buttons, 6) << "the six category buttons";
}

TEST_F(NavigatorTest, ContextMenuCommandsGoToTheDocument) {
    CProjectDoc* doc = Open("p.qs5");
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(Tree()->SelectNode(qsk::kCatInput, doc, true));
    ASSERT_TRUE(List()->SelectObject(kPaidLoss, true));
    UINT received = 0;
    for (UINT id : {qs::cmd::kEditTable, qs::cmd::kDeleteTable, qs::cmd::kReplicateTable})
        doc->MapCommand(id, [&received, id] { received = id; });
    QStringList shown;
    CPrjListView::SetPopupChooser([&shown](const qs::fw::MenuItem& popup, const QPoint&) {
        for (const qs::fw::MenuItem& item : popup.items) shown << item.text;
        return UINT(qs::cmd::kDeleteTable);
    });
    List()->ShowContextMenu(QPoint(10, 10));
    CPrjListView::SetPopupChooser({});
    EXPECT_EQ(shown, QStringList({"&Open\tEnter", "", "&Edit", "&Delete", "&Replicate"}));
    EXPECT_EQ(received, qs::cmd::kDeleteTable);
    // Open, the menu's first entry, opens the selected object as Enter does.
    const std::size_t views = doc->Views().size();
    CPrjListView::SetPopupChooser([](const qs::fw::MenuItem&, const QPoint&) { return UINT(CPrjListView::kCmdOpenObject); });
    List()->ShowContextMenu(QPoint(10, 10));
    CPrjListView::SetPopupChooser({});
    EXPECT_EQ(doc->Views().size(), views + 1);
    // The list's commands also reach the document through the frame, while
    // the navigator is the active window (Replicate is offered only there).
    app->MainFrame()->MDIActivate(Frame());
    Frame()->SetActiveView(List());
    Frame()->SendMessage(WM_COMMAND, qs::cmd::kReplicateTable);
    EXPECT_EQ(received, qs::cmd::kReplicateTable);

    // A kept graph under automation gets the graph popup.
    CProject* p = doc->GetProject();
    CGraph* graph = p->GetGraphObject(p->GetNextTempGraphID(), nullptr, NET);
    ASSERT_NE(graph, nullptr);
    ASSERT_EQ(p->SaveGraphToNavigator(graph, 501, "Paid Graph", "", qsk::kCatGraph), 0);
    Frame()->SendMessage(WM_COMMAND, 33103);
    ASSERT_TRUE(Tree()->SelectNode(qsk::kCatGraph, doc, true));
    ASSERT_EQ(Names(ListCtrl()), QStringList({"Paid Graph"}));
    ListCtrl().setCurrentItem(ListCtrl().topLevelItem(0));
    ASSERT_NE(List()->ContextPopup(), nullptr);
    EXPECT_EQ(List()->ContextPopup()->items.front().id, CPrjListView::kCmdOpenObject);
    EXPECT_EQ(List()->ContextPopup()->items.at(2).text, "&Edit");
    app->m_bInteractive = FALSE;
    ASSERT_EQ(List()->ContextPopup()->items.size(), 6u);
    EXPECT_EQ(List()->ContextPopup()->items.at(2).text, "R&ename");
    EXPECT_EQ(List()->ContextPopup()->items.back().id, qs::cmd::kLockGraph);
    app->m_bInteractive = TRUE;
}

TEST_F(NavigatorTest, GoToObjectShowsItsCategoryLayerSubgroupAndItem) {
    CProjectDoc* a = Open("a.qs5");
    CProjectDoc* b = Open("b.qs5");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    Frame()->SendMessage(WM_COMMAND, 32929);  // Reports
    // From a table view: the object in project A (the navigator shows B).
    app->SelectNavigatorObject(kPaidLoss, 5, a, true);
    EXPECT_EQ(Tree()->GetCurrentProject(), a);
    EXPECT_EQ(Frame()->GetCategoryIndex(), 0);
    EXPECT_EQ(Frame()->GetSelectedLayer(), 5);
    EXPECT_EQ(Tree()->GetSelectedNode(), qsk::kCatInput);
    EXPECT_EQ(GetLayerNeutralID(Frame()->GetSelectedListObject()), kPaidLoss);

    // The ultimates are found under their own category.
    qs::views::Settings().selectNavigatorObject(kSelectedUltLoss, 2);
    EXPECT_EQ(Frame()->GetCategoryId(), qsk::kCatUltimate);
    EXPECT_EQ(Tree()->GetSelectedNode(), qsk::kNodeSelectedUlt);
    EXPECT_EQ(GetLayerNeutralID(Frame()->GetSelectedListObject()), kSelectedUltLoss);
    EXPECT_EQ(Frame()->GetSelectedLayer(), 2);
}

TEST_F(NavigatorTest, ServicesFollowTheNavigator) {
    CCmdUI graphUi;
    graphUi.m_nID = qs::cmd::kGraphTable;
    graphUi.DoUpdate(app.get(), TRUE);
    EXPECT_FALSE(graphUi.m_enabled);
    CProjectDoc* a = Open("a.qs5");
    CProjectDoc* b = Open("b.qs5");
    ASSERT_NE(b, nullptr);
    CCmdUI ui;
    ui.m_nID = qs::cmd::kGraphTable;
    ui.DoUpdate(app.get(), TRUE);
    EXPECT_TRUE(ui.m_enabled);

    std::vector<CProjectDoc*> docs;
    app->GetProjectDocuments(docs);
    EXPECT_EQ(docs, (std::vector<CProjectDoc*>{a, b}));
    EXPECT_FALSE(app->HasOpenDataWindows());

    // The navigator's project and layer; its current object once it has one.
    ASSERT_TRUE(Tree()->SelectProjectItem(a, true));
    Frame()->LayerBox()->setCurrentIndex(2);
    CProjectDoc* doc = nullptr;
    unsigned short layer = 0;
    QSID id = -5;
    app->GetNavigatorSelection(doc, layer, id);
    EXPECT_EQ(doc, a);
    EXPECT_EQ(layer, 3);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(app->GetActiveProject(), a->GetProject());
    a->OpenObjectView(kIncurredLoss, 4);
    app->GetNavigatorSelection(doc, layer, id);
    EXPECT_EQ(id, kIncurredLoss);
    EXPECT_EQ(layer, 4);
    EXPECT_TRUE(app->HasOpenDataWindows());

    // A new temporary graph of the navigator's project in its layer: its
    // data source dialog picks the first table there is.
    const std::size_t views = a->Views().size();
    qs::fw::ModalScript script;
    script.Then<CSelectDataSourceDlg>([](CSelectDataSourceDlg& d) {
        for (QTreeWidgetItemIterator it(d.Tree()); *it && d.ObjectList()->count() == 0; ++it)
            d.Tree()->setCurrentItem(*it);
        ASSERT_GT(d.ObjectList()->count(), 0);
        d.ObjectList()->item(0)->setSelected(true);
        d.OnSelect();
        d.OnOK();
    });
    app->OnCmdMsg(qs::cmd::kGraphTable, CN_COMMAND, nullptr, nullptr);
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(a->Views().size(), views + 1);
    EXPECT_TRUE(nav::IsGraphObject(a->m_nCurrentObjectId));
    EXPECT_EQ(a->m_nCurrentLayer, 3);

    // A kernel change reaches the navigator through the project's refresh.
    ASSERT_TRUE(Tree()->SelectNode(qsk::kNodeUserInput, a, true));
    CDataObject proto;
    proto.SetIDLongName("Added Later");
    proto.SetIDShortName("AL");
    QSID added = 0;
    ASSERT_EQ(a->GetProject()->AddNewObject(proto, added, 1), 0);
    EXPECT_TRUE(Names(ListCtrl()).isEmpty());
    qs::project::Host().refreshNavigator();
    EXPECT_EQ(Tree()->GetSelectedNode(), qsk::kNodeUserInput);
    EXPECT_EQ(Names(ListCtrl()), QStringList({"Added Later"}));

    // A table view's refresh marks the list stale; activation refills it.
    proto.SetIDLongName("Added Last");
    proto.SetIDShortName("AS");
    added = 0;
    ASSERT_EQ(a->GetProject()->AddNewObject(proto, added, 1), 0);
    g_bObjectRefreshed = 1;
    List()->OnActivateView(TRUE, List(), Tree());
    EXPECT_EQ(g_bObjectRefreshed, 0);
    EXPECT_EQ(ListCtrl().topLevelItemCount(), 2);
}

}  // namespace

// The small view dialogs, the source tables dialog, the layer colours and
// the workstation set-up dialog, and the object view's popup menu. Dialogs
// are played by ModalScript handlers, message boxes by MessageBoxScript.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

#include <functional>

#include "CDataObject.h"
#include "CLayerColorsDlg.h"
#include "CSourceTablesDlg.h"
#include "CTriangView.h"
#include "CommandIds.h"
#include "KernelIds.h"
#include "TestEnvironment.h"
#include "CWorkstationSetupDlg.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "SmallViewDialogs.h"
#include "SpreadsheetControl.h"
#include "ViewSettings.h"
#include "ViewTestSupport.h"

using qs::fw::ModalScript;
using qs::test::kPaidLoss;
using qs::test::TestProjectDoc;

namespace {

using ClearDlgTest = qs::test::ViewTest;
using ViewSelectionDlgTest = qs::test::ViewTest;
using ZoomDlgTest = qs::test::ViewTest;
using LayerColorsDlgTest = qs::test::ViewTest;
using WorkstationSetupDlgTest = qs::test::ViewTest;

QAbstractButton* Button(QDialog& dialog, int id) {
    return qobject_cast<QAbstractButton*>(dynamic_cast<CWnd&>(dialog).GetDlgItem(id));
}

// ---------------------------------------------------------------- Clear

TEST_F(ClearDlgTest, DefaultsToNotesAndClearsWhatIsChosen) {
    OpenTablesAsStored();
    TestProjectDoc doc;
    CDataObject* paid = doc.GetProject()->FindDataObject(kPaidLoss, NET);
    paid->SetAt(0, 0, 11.0);
    paid->SetAt(0, 1, 12.0);
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    view->GetCtrl()->SetSelection(1, 1, 1, 1);

    ModalScript script;
    // The dialog opens on "Cell notes"; OK clears notes only, the value stays.
    script.Then<CClearDlg>([](CClearDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Clear"));
        EXPECT_TRUE(Button(d, CClearDlg::IDC_NOTES)->isChecked());
        d.OnOK();
    });
    // Cancel leaves everything.
    script.Then<CClearDlg>([](CClearDlg& d) {
        Button(d, CClearDlg::IDC_DATA_AND_NOTES)->click();
        d.OnCancel();
    });
    // "Data and cell notes" blanks the value.
    script.Then<CClearDlg>([](CClearDlg& d) {
        Button(d, CClearDlg::IDC_DATA_AND_NOTES)->click();
        d.OnOK();
    });
    double v = 0;
    std::uint8_t flags = 0;
    view->OnEditClear();
    paid->GetAt(0, 0, v, flags);
    EXPECT_TRUE(flags & CDataObject::CF_VALUE);
    view->OnEditClear();
    paid->GetAt(0, 0, v, flags);
    EXPECT_TRUE(flags & CDataObject::CF_VALUE);
    view->OnEditClear();
    paid->GetAt(0, 0, v, flags);
    EXPECT_FALSE(flags & CDataObject::CF_VALUE);
    paid->GetAt(0, 1, v, flags);
    EXPECT_EQ(v, 12.0);  // outside the selection
    EXPECT_TRUE(script.AllHandled());
}

// ---------------------------------------------------------------- View

TEST_F(ViewSelectionDlgTest, FlagsChooseTheButtonAndOkWritesThemBack) {
    struct Case {
        int entered, calculated, withData, selected;
        int choice;     // the button the flags open on
        int after[4];   // flags after OK on that button
    };
    const Case cases[] = {
        {1, 1, 0, 0, 0, {1, 1, 0, 0}},
        {1, 1, 1, 0, 1, {1, 1, 1, 0}},
        {1, 0, 1, 0, 2, {1, 0, 0, 0}},
        {0, 1, 0, 0, 3, {0, 1, 0, 0}},
        {1, 1, 1, 1, 4, {1, 1, 1, 1}},  // selected only keeps the other three
        {0, 0, 0, 0, 0, {1, 1, 0, 0}},  // no match: the default "All tables"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.entered << c.calculated << c.withData << c.selected);
        CViewSelectionDlg dialog;
        dialog.m_bEntered = c.entered;
        dialog.m_bCalculated = c.calculated;
        dialog.m_bWithData = c.withData;
        dialog.m_bSelectedOnly = c.selected;
        ModalScript script;
        script.Then<CViewSelectionDlg>([&](CViewSelectionDlg& d) {
            EXPECT_EQ(d.SelectButton()->isEnabled(), c.choice == 4);
            d.OnOK();
        });
        ASSERT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.m_nSelection, c.choice);
        EXPECT_EQ((std::vector<int>{dialog.m_bEntered, dialog.m_bCalculated, dialog.m_bWithData, dialog.m_bSelectedOnly}),
                  (std::vector<int>{c.after[0], c.after[1], c.after[2], c.after[3]}));
    }
}

TEST_F(ViewSelectionDlgTest, OnlySelectedTablesEnablesSelectWhichRunsTheSelectionDialog) {
    int ran = 0;
    CViewSelectionDlg::DisplaySelectionRunner() = [&](CWnd*) { ++ran; };
    CViewSelectionDlg dialog;
    ModalScript script;
    script.Then<CViewSelectionDlg>([&](CViewSelectionDlg& d) {
        EXPECT_FALSE(d.SelectButton()->isEnabled());
        Button(d, CViewSelectionDlg::IDC_SELECTED)->click();
        EXPECT_TRUE(d.SelectButton()->isEnabled());
        d.SelectButton()->click();
        Button(d, CViewSelectionDlg::IDC_WITH_DATA)->click();
        EXPECT_FALSE(d.SelectButton()->isEnabled());
        d.OnCancel();
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(dialog.m_bEntered, 1);  // Cancel writes nothing back
    CViewSelectionDlg::DisplaySelectionRunner() = nullptr;
}

// ---------------------------------------------------------------- Zoom

TEST_F(ZoomDlgTest, ZoomValueChoosesTheButton) {
    const std::pair<int, int> cases[] = {{9, -1}, {10, 5},  {25, 5},  {26, 4},  {50, 4},  {51, 3}, {75, 3},
                                         {76, 2}, {100, 2}, {101, 1}, {200, 1}, {201, 0}, {400, 0}, {401, -1}};
    for (auto [zoom, index] : cases) EXPECT_EQ(CZoomDlg::IndexForZoom(zoom), index) << zoom;
}

TEST_F(ZoomDlgTest, OkTakesTheChosenValueOrKeepsAnUnchosenOne) {
    ModalScript script;
    script.Then<CZoomDlg>([](CZoomDlg& d) {
        EXPECT_TRUE(Button(d, CZoomDlg::IDC_200)->isChecked());
        Button(d, CZoomDlg::IDC_75)->click();
        d.OnOK();
    });
    script.Then<CZoomDlg>([](CZoomDlg& d) {
        for (int id : {CZoomDlg::IDC_400, CZoomDlg::IDC_200, CZoomDlg::IDC_100, CZoomDlg::IDC_75, CZoomDlg::IDC_50,
                       CZoomDlg::IDC_25})
            EXPECT_FALSE(Button(d, id)->isChecked());
        d.OnOK();
    });
    script.Then<CZoomDlg>([](CZoomDlg& d) {
        Button(d, CZoomDlg::IDC_25)->click();
        d.OnCancel();
    });
    int zoom = 200;
    EXPECT_TRUE(CZoomDlg::Run(zoom));
    EXPECT_EQ(zoom, 75);
    zoom = 401;
    EXPECT_TRUE(CZoomDlg::Run(zoom));
    EXPECT_EQ(zoom, 401);
    zoom = 100;
    EXPECT_FALSE(CZoomDlg::Run(zoom));
    EXPECT_EQ(zoom, 100);
}

// ---------------------------------------------------------------- source tables

struct SourceTablesTest : qs::test::ViewTest {
    void SetUp() override {
        ViewTest::SetUp();
        OpenTablesAsStored();
    }
    TestProjectDoc doc;
};

TEST_F(SourceTablesTest, ListsTheSourcesWithTheirLayersAndOpensTheChosenOne) {
    // Gross is calculated from Net and Ceded.
    auto view = doc.Open<CTriangView>(kPaidLoss, GROSS);
    ASSERT_NE(view, nullptr);
    ModalScript script;
    script.Then<CSourceTablesDlg>([](CSourceTablesDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Source Data for ") + QString::fromStdString(d.m_pObject->GetIDName(-1)));
        QTreeWidget* list = d.List();
        ASSERT_EQ(list->topLevelItemCount(), 2);
        QStringList layers;
        for (int i = 0; i < 2; ++i) layers << list->topLevelItem(i)->text(1);
        EXPECT_EQ(layers, (QStringList{QStringLiteral("Net"), QStringLiteral("Ceded")}));
        EXPECT_EQ(list->topLevelItem(0)->text(0), QString::fromStdString(d.m_pObject->GetIDName(-1)));
        // The first source is selected and "&Go To" enabled.
        EXPECT_TRUE(list->topLevelItem(0)->isSelected());
        EXPECT_TRUE(Button(d, IDOK)->isEnabled());
        EXPECT_EQ(Button(d, IDOK)->text(), QStringLiteral("&Go To"));
        list->clearSelection();
        EXPECT_FALSE(Button(d, IDOK)->isEnabled());
        d.OnOK();  // nothing chosen: stays open
        EXPECT_TRUE(d.isVisible());
        list->topLevelItem(1)->setSelected(true);
        EXPECT_EQ(d.m_nChosenLayer, CEDED);
        d.OnOK();
    });
    script.Then<CSourceTablesDlg>([](CSourceTablesDlg& d) { d.OnCancel(); });
    EXPECT_TRUE(view->OpenSourceTable());
    ASSERT_EQ(doc.opened.size(), 1u);
    EXPECT_EQ(doc.opened[0].first, kPaidLoss);  // the id without its layer
    EXPECT_EQ(doc.opened[0].second, CEDED);
    // "&Close": nothing opens, the command still counts as done.
    EXPECT_TRUE(view->OpenSourceTable());
    EXPECT_EQ(doc.opened.size(), 1u);
    EXPECT_TRUE(script.AllHandled());
}

TEST_F(SourceTablesTest, DoubleClickWithoutSelectionDoesNothingAndKindsHaveImages) {
    CDataObject* gross = doc.GetProject()->FindDataObject(kPaidLoss, GROSS);
    CSourceTablesDlg dialog;
    dialog.m_pProject = doc.GetProject();
    dialog.m_pObject = gross;
    ModalScript script;
    script.Then<CSourceTablesDlg>([](CSourceTablesDlg& d) {
        d.List()->clearSelection();
        emit d.List()->itemDoubleClicked(d.List()->topLevelItem(0), 0);
        EXPECT_TRUE(d.isVisible());
        d.List()->topLevelItem(0)->setSelected(true);
        emit d.List()->itemDoubleClicked(d.List()->topLevelItem(0), 0);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_nChosenLayer, NET);

    EXPECT_EQ(CSourceTablesDlg::ImageOf(MakeID(5, 1, 0, 1, 1)), 8);
    EXPECT_EQ(CSourceTablesDlg::ImageOf(kPaidLoss), 9);
    EXPECT_EQ(CSourceTablesDlg::ImageOf(MakeID(3, 1, 0, 1, 1)), 10);
    EXPECT_EQ(CSourceTablesDlg::ImageOf(MakeID(4, 1, 0, 2, 1)), 11);
    EXPECT_EQ(CSourceTablesDlg::ImageOf(MakeID(3, 1, 0, 3, 1)), 12);
    EXPECT_EQ(CSourceTablesDlg::ImageOf(MakeID(8, 1, 0, 5, 1)), 13);
    EXPECT_EQ(CSourceTablesDlg::ImageOf(MakeID(3, 1, 0, 5, 1)), -1);

    CFormula exhibit;
    exhibit.SetIDLongName("EXHIBIT triangle");
    EXPECT_EQ(CSourceTablesDlg::TitleFor(exhibit), QStringLiteral("Source Data for Exhibit"));
    CFormula twoLines;
    twoLines.SetIDLongName("Paid\r\nLoss");
    EXPECT_TRUE(CSourceTablesDlg::TitleFor(twoLines).endsWith(QStringLiteral("PaidLoss")));
}

// ---------------------------------------------------------------- layer colours

TEST_F(LayerColorsDlgTest, ChangeColorGoesToTheListedLayerAndRestoreDefaults) {
    const CLayerColorsDlg::Colors start = {1, 2, 3, 4, 5};
    CLayerColorsDlg dialog(start);
    ModalScript script;
    script.Then<CLayerColorsDlg>([](CLayerColorsDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Choose Layer Colors"));
        EXPECT_EQ(d.LayerList()->currentText(), QStringLiteral("Net"));
        d.LayerList()->setCurrentIndex(2);  // Ceded
        d.OnChangeColor();
        EXPECT_EQ(d.SwatchColor(), 0x0000FFu);  // red as 0x00BBGGRR
        d.OnOK();
    });
    script.Then<QColorDialog>([](QColorDialog& chooser) {
        chooser.setCurrentColor(QColor(255, 0, 0));
        chooser.accept();
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_colors, (CLayerColorsDlg::Colors{1, 2, 0x0000FF, 4, 5}));

    CLayerColorsDlg restore(start);
    ModalScript again;
    again.Then<CLayerColorsDlg>([](CLayerColorsDlg& d) {
        d.OnRestoreDefaults();
        EXPECT_EQ(d.m_colors, (CLayerColorsDlg::Colors{0, 25600, 26265, 6553600, 6684774}));
        d.OnCancel();
    });
    EXPECT_EQ(restore.DoModal(), IDCANCEL);
}

// ---------------------------------------------------------------- workstation setup

TEST_F(WorkstationSetupDlgTest, PendingLayerAndColorsCommitOnlyOnOk) {
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok);
        CWorkstationSetupDlg dialog;
        dialog.m_nDefaultLayer = 2;
        dialog.m_layerColors = {0, 0, 0, 0, 0};
        ModalScript script;
        script.Then<CWorkstationSetupDlg>([ok](CWorkstationSetupDlg& d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Workstation Setup"));
            EXPECT_EQ(d.DefaultLayerList()->currentText(), QStringLiteral("Gross"));
            d.DefaultLayerList()->setCurrentIndex(4);
            d.OnChooseLayerColors();
            EXPECT_EQ(d.m_nDefaultLayer, 2);  // still pending
            d.EnterMovesList()->setCurrentIndex(4);
            if (ok) d.OnOK();
            else d.OnCancel();
        });
        script.Then<CLayerColorsDlg>([](CLayerColorsDlg& d) {
            d.OnRestoreDefaults();
            d.OnOK();
        });
        EXPECT_EQ(dialog.DoModal(), ok ? IDOK : IDCANCEL);
        EXPECT_EQ(dialog.m_nDefaultLayer, ok ? 5 : 2);
        EXPECT_EQ(dialog.m_layerColors, ok ? CLayerColorsDlg::kDefaultColors : CLayerColorsDlg::Colors{});
        EXPECT_EQ(dialog.m_nEnterMoves, ok ? 4 : 0);
    }
}

TEST_F(WorkstationSetupDlgTest, ValuesTheListsCannotShowAreKept) {
    // A calendar "Default Show" (2) has no entry in the Cumulative/Incremental list.
    CWorkstationSetupDlg dialog;
    dialog.m_nDefaultShow = 2;
    dialog.m_nDefaultLayer = 6;
    ModalScript script;
    script.Then<CWorkstationSetupDlg>([](CWorkstationSetupDlg& d) {
        EXPECT_EQ(d.DefaultShowList()->currentIndex(), -1);
        EXPECT_EQ(d.DefaultLayerList()->currentText(), QStringLiteral("Net"));
        d.OnOK();
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_nDefaultShow, 2);
    EXPECT_EQ(dialog.m_nDefaultLayer, 1);
}

TEST_F(WorkstationSetupDlgTest, DefaultBackgroundAsksFirstAndDataPathTakesTheFolder) {
    CWorkstationSetupDlg dialog;
    dialog.m_nPatternFg = 0x123456;
    dialog.m_nPatternBg = 0x654321;
    dialog.m_strDataPath = QStringLiteral("/nowhere/");
    const std::string dir = qs::test::MakeTempDir("ws");
    const std::string file = dir + "/a.qs5";
    qs::test::WriteFile(file, "x");
    qs::fw::MessageBoxScript boxes{IDNO, IDYES};
    ModalScript script;
    script.Then<CWorkstationSetupDlg>([&](CWorkstationSetupDlg& d) {
        d.OnDefaultBackground();
        EXPECT_EQ(d.m_nPatternFg, 0x123456u);  // No keeps them
        d.OnDefaultBackground();
        EXPECT_EQ(d.m_nPatternFg, 65535u);
        EXPECT_EQ(d.m_nPatternBg, 16777215u);
        d.OnBrowseDataPath();
        EXPECT_EQ(d.m_strDataPath, QString::fromStdString(dir));
        EXPECT_EQ(qobject_cast<QLineEdit*>(d.GetDlgItem(CWorkstationSetupDlg::IDC_DATA_PATH))->text(),
                  QString::fromStdString(dir));
        d.OnOK();
    });
    script.Then<QFileDialog>([&](QFileDialog& f) {
        f.selectFile(QString::fromStdString(file));
        static_cast<QDialog&>(f).accept();
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Last().text, QString::fromLatin1(CWorkstationSetupDlg::kResetBackground));
    EXPECT_EQ(dialog.m_strDataPath, QString::fromStdString(dir));
}

TEST_F(WorkstationSetupDlgTest, AcceleratorsReachTheFocusedEdit) {
    CWorkstationSetupDlg::LoadAccelerators();
    ASSERT_TRUE(CWorkstationSetupDlg::AcceleratorsLoaded());
    EXPECT_FALSE(CWorkstationSetupDlg::Accelerators().empty());
}

// ---------------------------------------------------------------- popup menu

QStringList MenuTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) texts << a->text();
    return texts;
}

QAction* FindAction(QMenu* menu, UINT id) {
    for (QAction* a : menu->findChildren<QAction*>())
        if (a->data().toUInt() == id && a->menu() == nullptr) return a;
    for (QAction* a : menu->actions())
        if (a->data().toUInt() == id) return a;
    return nullptr;
}

TEST_F(SourceTablesTest, PopupMenuDropsFloodFillsInFileModeAndRoutesItsCommands) {
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    std::unique_ptr<QMenu> menu(view->BuildContextMenu(nullptr));
    EXPECT_EQ(MenuTexts(menu.get()),
              (QStringList{"Cu&t", "&Copy", "&Paste", "E&dit Cell note...", "&Exclude Factor(s) from Statistics",
                           "&Include Factor(s) in Statistics", "View &Source data", "View &Formula", "View &Navigator",
                           "Tail Fact&or Analysis"}));
    qs::views::Settings().fileMode = 0;
    std::unique_ptr<QMenu> dbMenu(view->BuildContextMenu(nullptr));
    EXPECT_TRUE(MenuTexts(dbMenu.get()).contains(QStringLiteral("&Set Flood Fill")));
    EXPECT_TRUE(MenuTexts(dbMenu.get()).contains(QStringLiteral("&Execute Flood Fill")));
    qs::views::Settings().fileMode = 1;

    // Enabled as the view's update handlers say: an entered table has no source.
    QAction* source = FindAction(menu.get(), ID_VIEW_SOURCE);
    ASSERT_NE(source, nullptr);
    QAction* cut = FindAction(menu.get(), ID_EDIT_CUT);
    ASSERT_NE(cut, nullptr);
    EXPECT_TRUE(cut->isEnabled());
    view->GetCtrl()->SetSelection(1, 1, CObjectView::kMaxGridRows, CObjectView::kMaxGridCols);
    std::unique_ptr<QMenu> whole(view->BuildContextMenu(nullptr));
    EXPECT_FALSE(FindAction(whole.get(), ID_EDIT_PASTE)->isEnabled());

    // Copy from the menu reaches the view.
    view->GetCtrl()->SetNumberFormat(QString());
    view->GetCtrl()->SetText(1, 1, QStringLiteral("x"));
    view->GetCtrl()->SetSelection(1, 1, 1, 1);
    std::unique_ptr<QMenu> again(view->BuildContextMenu(nullptr));
    FindAction(again.get(), ID_EDIT_COPY)->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("x"));
}

}  // namespace

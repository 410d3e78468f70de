// The Workstation Setup and Zoom commands of the application: the dialog
// opens on the stored settings, OK commits them, tells the open table views
// and is written to the profile at exit; Cancel changes nothing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>

#include <filesystem>
#include <unistd.h>

#include "CFrameWnd.h"
#include "CProjectDoc.h"
#include "CQuillstoneApp.h"
#include "CTriangView.h"
#include "CWorkstationSetupDlg.h"
#include "startup/Installation.h"
#include "KernelGlobals.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "QsProfile.h"
#include "SmallViewDialogs.h"
#include "SpreadsheetControl.h"
#include "InstalledWorkstation.h"
#include "QsCommandIds.h"
#include "TestEnvironment.h"
#include "ViewServices.h"
#include "ViewSettings.h"
#include "startup/WorkstationSettings.h"

namespace fs = std::filesystem;
using qs::fw::ModalScript;

namespace {

class WorkstationSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        qs::test::InstallFreshWorkstation("ws", root, layout);
        qs::views::Settings() = qs::views::ViewSettings{};
    }
    void TearDown() override { qs::test::UnsetEnv("QS_INSTALL_DIR"); }

    std::string Stored(const char* key) { return qs::profile::ReadString(layout.profile, "Settings", key, "?"); }

    std::string root;
    qs::install::Layout layout;
};

QAbstractButton* Check(CWorkstationSetupDlg& d, int id) { return qobject_cast<QAbstractButton*>(d.GetDlgItem(id)); }

TEST_F(WorkstationSetupTest, OkCommitsTellsTheViewsAndIsWrittenAtExit) {
    qs::profile::WriteString(layout.profile, "Settings", "DefaultLayer", "6");
    qs::profile::WriteString(layout.profile, "Settings", "Show Table ID#", "yes");
    qs::profile::WriteString(layout.profile, "Settings", "Default Show", "3");
    qs::fw::MessageBoxScript boxes;
    CQuillstoneApp app;
    ASSERT_TRUE(app.InitInstance());
    ASSERT_TRUE(CWorkstationSetupDlg::AcceleratorsLoaded());
    auto* doc = dynamic_cast<CProjectDoc*>(
        app.OpenDocumentFile(QString::fromStdString(layout.workingDirectory + "/data/sample.qs5")));
    ASSERT_NE(doc, nullptr);
    CFrameWnd* frame = doc->OpenObjectView(101000001, NET);
    ASSERT_NE(frame, nullptr);
    CTriangView* view = nullptr;
    for (CView* v : frame->GetViews())
        if ((view = dynamic_cast<CTriangView*>(v)) != nullptr) break;
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->GetCtrl()->EnterMovesDown());

    ModalScript script;
    // Cancel first: nothing changes.
    script.Then<CWorkstationSetupDlg>([](CWorkstationSetupDlg& d) {
        d.EnterMovesList()->setCurrentIndex(4);
        d.OnCancel();
    });
    script.Then<CWorkstationSetupDlg>([](CWorkstationSetupDlg& d) {
        EXPECT_EQ(d.DefaultLayerList()->currentText(), QStringLiteral("Net"));  // 6 in the profile
        EXPECT_TRUE(Check(d, CWorkstationSetupDlg::IDC_SHOW_TABLE_ID)->isChecked());
        EXPECT_EQ(d.DefaultShowList()->currentIndex(), -1);  // a calendar setting
        d.EnterMovesList()->setCurrentIndex(4);            // "No Movement"
        Check(d, CWorkstationSetupDlg::IDC_FULL_PRECISION)->setChecked(true);
        Check(d, CWorkstationSetupDlg::IDC_LAYER_COLORS)->setChecked(true);
        d.DefaultLayerList()->setCurrentIndex(2);
        d.OnOK();
    });
    app.OnCmdMsg(qs::cmd::kWorkstationSetup, 0, nullptr, nullptr);
    EXPECT_EQ(qs::app::Settings().enterMoves, 0);
    EXPECT_TRUE(view->GetCtrl()->EnterMovesDown());

    app.OnCmdMsg(qs::cmd::kWorkstationSetup, 0, nullptr, nullptr);
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(qs::app::Settings().enterMoves, 4);
    EXPECT_EQ(qs::views::Settings().enterMoves, 4);
    EXPECT_FALSE(view->GetCtrl()->EnterMovesDown());  // every open table view was told
    EXPECT_TRUE(bGlobalVarColumnSumFullPrecision);
    EXPECT_TRUE(qs::views::Settings().showLayerColors);
    EXPECT_EQ(qs::app::Settings().defaultLayer, 3);
    EXPECT_EQ(qs::app::Settings().defaultShow, 3);  // kept

    // Zoom: 50% reaches the open view and the setting.
    ModalScript zoom;
    zoom.Then<CZoomDlg>([](CZoomDlg& d) {
        d.m_nZoom = 4;
        d.UpdateData(FALSE);
        d.OnOK();
    });
    app.OnCmdMsg(qs::cmd::kZoom, 0, nullptr, nullptr);
    EXPECT_EQ(qs::app::Settings().scale, 50);
    EXPECT_EQ(view->GetCtrl()->ViewScale(), 50);

    app.ExitInstance();
    EXPECT_EQ(Stored("Enter Moves"), "4");
    EXPECT_EQ(Stored("ColumnSumFullPrecision"), "1");
    EXPECT_EQ(Stored("DefaultLayer"), "3");
    EXPECT_EQ(Stored("Show Table ID#"), "Yes");
    EXPECT_EQ(Stored("Scale"), "50");
    EXPECT_EQ(Stored("Default Show"), "3");
}

}  // namespace

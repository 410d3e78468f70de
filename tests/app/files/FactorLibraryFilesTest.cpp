// Factor libraries through the application: File New makes one, a ".dfl"
// opens in its own window beside the open project and lends it its sets,
// and a damaged file is refused with the reason.
#include <gtest/gtest.h>

#include <algorithm>

#include <QFile>

#include "CDFLDoc.h"
#include "CDFLView.h"
#include "CDocTemplate.h"
#include "CFSLib.h"
#include "CFactorSet.h"
#include "CProjectDoc.h"
#include "CQuillstoneApp.h"
#include "frames/CMainFrame.h"
#include "FactorLibraryLending.h"
#include "FactorLibraryResources.h"
#include "InstalledWorkstation.h"
#include "MessageBox.h"
#include "Resources.h"
#include "TestEnvironment.h"

namespace {

using qs::fw::MessageBoxScript;

class FactorLibraryFilesTest : public ::testing::Test {
protected:
    void SetUp() override { qs::test::InstallFreshWorkstation("dfl", root, layout); }
    void TearDown() override { qs::test::UnsetEnv("QS_INSTALL_DIR"); }
    std::string root;
    qs::install::Layout layout;
};

TEST_F(FactorLibraryFilesTest, LibraryOpensBesideTheProjectAndLendsItsSets) {
    const QString path = QString::fromStdString(root + "/Industry.dfl");
    {
        CFSLib library;
        library.SetDescription("Industry factors");
        library.AddFactorSet(CFactorSet("Annual", "", 10, PRD_YEAR, 12));
        ASSERT_EQ(library.SaveFile(path.toStdString()), 0);
    }
    MessageBoxScript boxes;
    CQuillstoneApp app;
    ASSERT_TRUE(app.InitInstance());
    auto* project = static_cast<CProjectDoc*>(
        app.OpenDocumentFile(QString::fromStdString(layout.workingDirectory + "/data/sample.qs5")));
    ASSERT_NE(project, nullptr) << boxes.Texts().join(" | ").toStdString();

    auto* library = dynamic_cast<CDFLDoc*>(app.OpenDocumentFile(path));
    ASSERT_NE(library, nullptr) << boxes.Texts().join(" | ").toStdString();
    // Opening it again brings its window forward, and the program's with it.
    app.MainFrame()->hide();
    EXPECT_EQ(app.OpenDocumentFile(path), library) << "an open library is not opened twice";
    EXPECT_TRUE(app.MainFrame()->isVisible());
    ASSERT_FALSE(library->Views().empty());
    EXPECT_EQ(app.MainFrame()->MDIGetActive(), library->Views().front()->GetParentFrame());
    EXPECT_EQ(library->GetProject(), project->GetProject());
    EXPECT_FALSE(library->m_ObjectIds.empty()) << "the project's exhibits are offered";
    ASSERT_EQ(library->Views().size(), 1u);
    EXPECT_NE(dynamic_cast<CDFLView*>(library->Views().front()), nullptr);
    // With the library's window active the program can still be reached:
    // New, Open and Exit in its File menu, and the Window and Help menus.
    const std::vector<qs::fw::MenuItem>* menu = qs::fw::FindMenu(qs::factors::kLibraryMenuId);
    ASSERT_NE(menu, nullptr);
    std::vector<UINT> fileIds;
    for (const auto& item : menu->front().items) fileIds.push_back(item.id);
    for (UINT id : {UINT(ID_FILE_NEW), UINT(ID_FILE_OPEN), UINT(ID_FILE_SAVE), UINT(ID_FILE_PRINT), UINT(57665)})
        EXPECT_NE(std::find(fileIds.begin(), fileIds.end(), id), fileIds.end()) << id;
    QStringList popups;
    for (const auto& popup : *menu) popups << popup.text;
    EXPECT_EQ(popups, (QStringList{"&File", "&Edit", "&View", "Wi&ndow", "&Help"}));
    EXPECT_NE(app.MainFrame()->FindMenuAction(ID_FILE_OPEN), nullptr);

    const auto lent = qs::factors::LendFactorSets(project->GetProject());
    ASSERT_EQ(lent.size(), 1u);
    EXPECT_EQ(lent.front().libraryName, QStringLiteral("Industry"));
    EXPECT_EQ(lent.front().libraryDescription, QStringLiteral("Industry factors"));
    app.ExitInstance();
}

TEST_F(FactorLibraryFilesTest, DamagedLibraryIsRefusedWithItsReason) {
    const QString path = QString::fromStdString(root + "/Broken.dfl");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("QDFL and then nothing sensible");
    }
    MessageBoxScript boxes;
    CQuillstoneApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(app.OpenDocumentFile(path), nullptr);
    EXPECT_TRUE(app.m_pDFLTemplate->Documents().empty());
    app.ExitInstance();
}

}  // namespace

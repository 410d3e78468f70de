// What start-up registers for automation clients (class keys in the
// registry's classes root and the bus activation files, all inside the
// test's own folders), the document strings of the templates, and the
// batch control window going at shutdown.
#include <gtest/gtest.h>

#include <QFile>

#include <filesystem>
#include <unistd.h>

#include "AppRegistry.h"
#include "Automation.h"
#include "CDocTemplate.h"
#include "COleObjectFactory.h"
#include "CQuillstoneApp.h"
#include "startup/Installation.h"
#include "MessageBox.h"
#include "TestEnvironment.h"
#include "startup/WorkstationSettings.h"

namespace {

namespace fs = std::filesystem;

class AppRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = qs::test::MakeTempDir("appreg");
        fs::create_directories(root + "/program");
        qs::test::SetEnv("QS_WINDOWS_DIR", root + "/windows");
        qs::test::SetEnv("QS_MACHINE_DIR", root + "/machine");
        qs::test::SetEnv("QS_DATA_DIR", root + "/data");
        qs::test::SetEnv("XDG_DATA_HOME", root + "/xdg");
        qs::test::SetEnv("HOME", root + "/home");
        qs::test::SetEnv("QS_INSTALL_DIR", root + "/program");
        qs::test::UnsetEnv("QS_DBUS_SERVICE_DIR");
        qs::test::SetEnv("QS_IPC_NAMESPACE", "qsreg" + std::to_string(::getpid()) + "_" +
                                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        qs::app::Settings() = qs::app::WorkstationSettings{};
    }
    void TearDown() override { qs::test::UnsetEnv("QS_INSTALL_DIR"); }
    void Install(unsigned long mode) {
        qs::install::Options o;
        o.mode = mode;
        o.systemDirectory = qs::test::BinDir();
        qs::install::Layout layout;
        std::vector<std::string> warnings;
        ASSERT_TRUE(qs::install::Install(o, layout, warnings));
    }
    static bool ActivationFile(const char* progId) {
        return QFile::exists(qs::automation::ServiceDirectory() + "/" + qs::automation::ServiceNameOf(progId) +
                             ".service");
    }
    std::string root;
};

TEST_F(AppRegistrationTest, EachEditionRegistersItsOwnClasses) {
    struct Case {
        unsigned long mode;
        bool project, scripting, import;
    };
    for (const Case& c : {Case{1, true, false, true}, Case{2, false, true, false}, Case{3, false, false, false}}) {
        SCOPED_TRACE(c.mode);
        SetUp();
        Install(c.mode);
        qs::fw::MessageBoxScript boxes;
        CQuillstoneApp app;
        ASSERT_TRUE(app.InitInstance());
        EXPECT_EQ(qs::app::ReadClassesRootDefault("Quillstone.Document\\CLSID"),
                  c.project ? "{82EB6738-F964-11D1-AE57-0020AF398A1D}" : "");
        EXPECT_EQ(qs::app::ReadClassesRootDefault("Quillstone.QSEE\\CLSID"),
                  c.scripting ? "{0A57B38A-5192-46D5-9A8D-793D43DBD437}" : "");
        EXPECT_EQ(qs::app::ReadClassesRootDefault("Quillstone.Automation\\CLSID"),
                  c.import ? "{71FAD140-9614-11D3-B745-00105A9A6256}" : "");
        EXPECT_EQ(ActivationFile("Quillstone.Document"), c.project);
        EXPECT_EQ(ActivationFile("Quillstone.QSEE"), c.scripting);
        EXPECT_EQ(ActivationFile("Quillstone.Automation"), c.import);
        if (c.import) {
            const std::string server =
                qs::app::ReadClassesRootDefault("CLSID\\{71FAD140-9614-11D3-B745-00105A9A6256}\\LocalServer32");
            EXPECT_TRUE(server.ends_with("/qstone /Automation")) << server;
            EXPECT_EQ(qs::app::ReadClassesRootDefault("CLSID\\{71FAD140-9614-11D3-B745-00105A9A6256}\\ProgID"),
                      "Quillstone.Automation");
            // The service file lies in the user's own data folder of this test.
            EXPECT_TRUE(qs::automation::ServiceDirectory().startsWith(QString::fromStdString(root)));
        }
        app.ExitInstance();
        EXPECT_TRUE(COleObjectFactory::Factories().empty() || !COleObjectFactory::Factories().front()->IsRegistered());
    }
}

TEST_F(AppRegistrationTest, ProjectTemplateNamesItsFilesAndTheBatchWindowGoesAtExit) {
    Install(1);
    qs::fw::MessageBoxScript boxes;
    CQuillstoneApp app;
    ASSERT_TRUE(app.InitInstance());
    QString text;
    ASSERT_TRUE(app.m_pProjectTemplate->GetDocString(text, CDocTemplate::filterName));
    EXPECT_EQ(text, "Quillstone Files (*.qs5)");
    ASSERT_TRUE(app.m_pProjectTemplate->GetDocString(text, CDocTemplate::filterExt));
    EXPECT_EQ(text, ".qs5");
    ASSERT_TRUE(app.m_pDFLTemplate->GetDocString(text, CDocTemplate::fileNewName));
    EXPECT_EQ(text, "Factor Library");

    const HWND batch = app.CreateBatchControlWindow(3);
    ASSERT_NE(batch, nullptr);
    EXPECT_EQ(app.m_nBatchControlFlag, 3);
    CWnd* window = CWnd::FromHandle(batch);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->IsWindowVisible());
    EXPECT_FALSE(window->IsWindowEnabled());
    bool destroyed = false;
    window->MapMessage(WM_DESTROY, [&](WPARAM, LPARAM) {
        destroyed = true;
        return LRESULT(0);
    });
    app.ExitInstance();
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(IsWindow(batch));
    EXPECT_EQ(app.m_hBatchControlWnd, nullptr);
}

}  // namespace

#pragma once
// A workstation installed afresh in a temporary folder, as a user's first
// start finds it: every overridable path points below root, the IPC names
// are private to the running test, and the settings start from defaults.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "CQuillstoneApp.h"
#include "startup/CSplashWindow.h"
#include "startup/Installation.h"
#include "TestEnvironment.h"
#include "startup/WorkstationSettings.h"

namespace qs::test {

// Fills root and layout; tag names the temporary folder and the IPC namespace.
inline void InstallFreshWorkstation(const std::string& tag, std::string& root, qs::install::Layout& layout) {
    root = MakeTempDir(tag);
    std::filesystem::create_directories(root + "/program");
    SetEnv("QS_WINDOWS_DIR", root + "/windows");
    SetEnv("QS_MACHINE_DIR", root + "/machine");
    SetEnv("QS_DATA_DIR", root + "/data");
    SetEnv("XDG_DATA_HOME", root + "/xdg");
    SetEnv("HOME", root + "/home");
    SetEnv("QS_INSTALL_DIR", root + "/program");
    SetEnv("QS_IPC_NAMESPACE",
           "qs" + tag + std::to_string(::getpid()) + "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    qs::app::Settings() = qs::app::WorkstationSettings{};
    qs::install::Options o;
    o.mode = 1;
    o.systemDirectory = BinDir();
    std::vector<std::string> warnings;
    ASSERT_TRUE(qs::install::Install(o, layout, warnings));
}

// The program started on a fresh workstation and left waiting for the user:
// no splash, no tip of the day, no Welcome dialog, and the navigator listing
// every table, with data or without.
class StartedAppTest : public ::testing::Test {
protected:
    void Start(const std::string& tag) {
        InstallFreshWorkstation(tag, root, layout);
        app = std::make_unique<CQuillstoneApp>();
        ASSERT_TRUE(app->InitInstance());
        qs::app::Settings().showStartDialog = 0;
        app->WriteProfileInt("Tip", "StartUp", 1);
        CSplashWindow::Hide();
        qs::app::Settings().viewDataOnly = 0;
        qs::app::Settings().viewEntered = 1;
        qs::app::Settings().viewCalculated = 1;
        qs::app::Settings().viewSelectedTables = 0;
    }
    void TearDown() override {
        if (app) app->ExitInstance();
        app.reset();
        UnsetEnv("QS_INSTALL_DIR");
    }

    std::string root;
    qs::install::Layout layout;
    std::unique_ptr<CQuillstoneApp> app;
};

}  // namespace qs::test

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "QsEnvironment.h"
#include "SystemInfo.h"
#include "TestEnvironment.h"

namespace {

namespace si = qs::sysinfo;
namespace fs = std::filesystem;

struct Shown {
    std::string text;
    std::string caption;
    si::MessageIcon icon;
};

// Records every message and points the Windows directory, the home folder
// and the drive variables at a fresh folder, so each test starts clean.
class SystemInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = qs::test::MakeTempDir("sysinfo");
        windows = root + "/windows";
        fs::create_directories(windows);
        qs::test::SetEnv("QS_WINDOWS_DIR", windows);
        qs::test::SetEnv("HOME", root + "/home");
        for (const char* v : {"QS_TERMSERV_QS", "ROOTDRIVE", "HOMEDRIVE", "HOMEPATH"}) qs::test::UnsetEnv(v);
        si::SetMessageSink([this](const std::string& t, const std::string& c, si::MessageIcon i) {
            shown.push_back({t, c, i});
        });
    }
    void TearDown() override { si::SetMessageSink({}); }

    // A machine profile naming a system and a working folder.
    std::string WriteProfile(const std::string& name, const std::string& body) {
        qs::test::WriteFile(windows + "/" + name, body);
        return windows + "/" + name;
    }
    std::string MakeDir(const std::string& rel) {
        fs::create_directories(root + "/" + rel);
        return root + "/" + rel;
    }

    std::string root, windows;
    std::vector<Shown> shown;
};

TEST_F(SystemInfoTest, TerminalServerOverrideIsExactText) {
    struct Case {
        const char* value;  // nullptr: unset
        bool expected;
    };
    for (const Case& c : {Case{nullptr, false}, Case{"YES", true}, Case{"NO", false}, Case{"yes", false},
                          Case{"", false}, Case{"TRUE", false}}) {
        if (c.value)
            qs::test::SetEnv("QS_TERMSERV_QS", c.value);
        else
            qs::test::UnsetEnv("QS_TERMSERV_QS");
        bool flag = !c.expected;
        EXPECT_TRUE(si::IsTerminalServer(flag)) << (c.value ? c.value : "(unset)");
        EXPECT_EQ(flag, c.expected) << (c.value ? c.value : "(unset)");
    }
}

TEST_F(SystemInfoTest, SystemDirectoryFromProfileWithoutRegardToCase) {
    const std::string sys = MakeDir("sys");
    // Written lower-case as the installer does; looked up as "Qstone5.ini".
    WriteProfile("qstone5.ini", "[SETTINGS]\r\nsystem directory = " + sys + "\r\nWorking Directory=" + sys + "\r\n");
    std::string found;
    ASSERT_TRUE(si::FindSystemDirectory(si::kEditionStandard, windows, found));
    EXPECT_EQ(found, sys);
    ASSERT_TRUE(si::FindWorkingDirectory(si::kEditionNetwork, windows, found));
    EXPECT_EQ(found, sys);
    EXPECT_TRUE(shown.empty());
}

TEST_F(SystemInfoTest, SystemDirectoryFailuresShowTheirTexts) {
    std::string found;
    // No profile at all.
    EXPECT_FALSE(si::FindSystemDirectory(si::kEditionEnterprise, windows, found));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Unable to locate [" + windows + "/Qstoneee.ini] ");
    EXPECT_EQ(shown[0].caption, "Unable to locate");

    WriteProfile("Qstoneee.ini", "[Settings]\nWorking Directory=/nowhere\n");
    EXPECT_FALSE(si::FindSystemDirectory(si::kEditionEnterprise, windows, found));
    EXPECT_EQ(shown.back().text, "QSEE System directory entry not found in ini file!");
    EXPECT_EQ(shown.back().caption, "Qstoneee.ini");
    EXPECT_EQ(shown.back().icon, si::MessageIcon::Exclamation);

    WriteProfile("Qstoneee.ini", "[Settings]\nSystem Directory=" + root + "/missing\nWorking Directory=/nowhere\n");
    EXPECT_FALSE(si::FindSystemDirectory(si::kEditionEnterprise, windows, found));
    EXPECT_EQ(shown.back().text, "QSEE System directory given in ini does not exist!");
    EXPECT_FALSE(si::FindWorkingDirectory(si::kEditionEnterprise, windows, found));
    EXPECT_EQ(shown.back().text, "Working directory given in ini file does not exist!");

    // A key in another section does not count.
    WriteProfile("Qstoneee.ini", "[Other]\nWorking Directory=" + root + "\n");
    EXPECT_FALSE(si::FindWorkingDirectory(si::kEditionEnterprise, windows, found));
    EXPECT_EQ(shown.back().text, "Unable to get the Working Directory from the ini file!");
    EXPECT_TRUE(found.empty());
}

TEST_F(SystemInfoTest, UserWindowsDirectorySearchOrder) {
    const std::string sys = MakeDir("sys");
    WriteProfile("Qstoneee.ini", "[Settings]\nSystem Directory=" + sys + "\n");
    WriteProfile("Qstone5.ini", "[Settings]\nSystem Directory=" + sys + "\n");
    qs::test::WriteFile(sys + "/NETWORK.INI", "[TERMINAL SERVER]\nDesignated Home Directory Path=" + root +
                                                  "/designated\nAlternate Home Directory Path=" + root + "/alt\n");
    const std::string designated = MakeDir("designated/ann/Windows");
    const std::string rootDrive = MakeDir("rootdrive/Windows");
    qs::test::SetEnv("ROOTDRIVE", root + "/rootdrive");

    std::string dir;
    // The network-ini road: a designated home that exists wins over ROOTDRIVE.
    ASSERT_TRUE(si::FindUserWindowsDirectory(si::kEditionEnterprise, "ann", dir));
    EXPECT_EQ(dir, designated);
    // The standard edition never reads network.ini.
    ASSERT_TRUE(si::FindUserWindowsDirectory(si::kEditionStandard, "ann", dir));
    EXPECT_EQ(dir, rootDrive);
    // Another user has no designated home: ROOTDRIVE.
    ASSERT_TRUE(si::FindUserWindowsDirectory(si::kEditionNetwork, "bob", dir));
    EXPECT_EQ(dir, rootDrive);

    // Without ROOTDRIVE: HOMEDRIVE + HOMEPATH, then the alternate home.
    qs::test::UnsetEnv("ROOTDRIVE");
    qs::test::SetEnv("HOMEDRIVE", root);
    qs::test::SetEnv("HOMEPATH", "/hp");
    const std::string homeDrive = MakeDir("hp/Windows");
    ASSERT_TRUE(si::FindUserWindowsDirectory(si::kEditionNetwork, "bob", dir));
    EXPECT_EQ(dir, homeDrive);
    fs::remove_all(homeDrive);
    const std::string alternate = MakeDir("alt/bob/Windows");
    ASSERT_TRUE(si::FindUserWindowsDirectory(si::kEditionNetwork, "bob", dir));
    EXPECT_EQ(dir, alternate);
    EXPECT_TRUE(shown.empty());

    // Nothing found.
    EXPECT_FALSE(si::FindUserWindowsDirectory(si::kEditionStandard, "bob", dir));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text.rfind("Unable to locate user's Terminal Server virtual Windows directory!.\n", 0), 0u);
}

TEST_F(SystemInfoTest, HomeFolderStandsInForTheHomeDrive) {
    std::string dir;
    EXPECT_FALSE(si::CheckUserWindowsDir("HOMEDRIVE", dir));
    const std::string home = MakeDir("home/Windows");
    ASSERT_TRUE(si::CheckUserWindowsDir("HOMEDRIVE", dir));
    EXPECT_EQ(dir, home);
    EXPECT_FALSE(si::CheckUserWindowsDir("PATH", dir));
    EXPECT_FALSE(si::CheckUserWindowsDir("ROOTDRIVE", dir));  // unset
}

TEST_F(SystemInfoTest, SystemInformationOffAndOnTerminalServer) {
    bool ts = true;
    std::string win, userWin = "stale";
    ASSERT_TRUE(si::GetSystemInformation(si::kEditionStandard, ts, win, userWin));
    EXPECT_FALSE(ts);
    EXPECT_EQ(win, windows);
    EXPECT_TRUE(userWin.empty());

    // On a Terminal Server the user's own Windows directory is found through
    // the system directory of the edition's profile.
    qs::test::SetEnv("QS_TERMSERV_QS", "YES");
    EXPECT_FALSE(si::GetSystemInformation(si::kEditionStandard, ts, win, userWin));
    EXPECT_EQ(shown.back().text, "Unable to locate [" + windows + "/Qstone5.ini] ");
    WriteProfile("Qstone5.ini", "[Settings]\nSystem Directory=" + MakeDir("sys") + "\n");
    const std::string home = MakeDir("home/Windows");
    ASSERT_TRUE(si::GetSystemInformation(si::kEditionStandard, ts, win, userWin));
    EXPECT_TRUE(ts);
    EXPECT_EQ(userWin, home);

    qs::test::SetEnv("QS_WINDOWS_DIR", root + "/no-such-windows");
    EXPECT_FALSE(si::GetSystemInformation(si::kEditionStandard, ts, win, userWin));
    EXPECT_EQ(shown.back().text, "Given Windows System directory does not exist!");
    EXPECT_EQ(shown.back().caption, "");
}

TEST_F(SystemInfoTest, DirectoryTestsLeaveTheCurrentDirectory) {
    const fs::path before = fs::current_path();
    std::string dir;
    MakeDir("home/Windows");
    si::CheckUserWindowsDir("HOMEDRIVE", dir);
    si::FileExists(root + "/home", false);
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(SystemInfoTest, PublishedValuesAreSeenByAnotherProcess) {
    si::PublishedSystemValues v;
    EXPECT_FALSE(si::ReadPublishedSystemValues(v));
    si::PublishSystemValues({windows, root + "/home/Windows", true});
    pid_t child = ::fork();
    if (child == 0) {
        si::PublishedSystemValues seen;
        bool ok = si::ReadPublishedSystemValues(seen) && seen.terminalServer && seen.windowsDirectory == windows &&
                  seen.profileDirectory == root + "/home/Windows";
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace

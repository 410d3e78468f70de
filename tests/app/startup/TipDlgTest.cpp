#include <gtest/gtest.h>

#include <QDialog>

#include <sys/time.h>
#include <utime.h>

#include <memory>

#include "startup/CTipDlg.h"
#include "CWinApp.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "QsProfile.h"
#include "TestEnvironment.h"

namespace {

class TipDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = qs::test::MakeTempDir("tips");
        m_app = std::make_unique<CWinApp>("Qstone");
        m_app->m_pszProfileName = QString::fromStdString(m_dir + "/qstone5.ini");
        m_app->WriteProfileString("Settings", "System Directory", QString::fromStdString(m_dir + "/ "));
        WriteTips("; tips for the reserving workstation\n"
                  "First tip\n"
                  "\n"
                  "  an indented line is no tip\n"
                  "\tnor is a tabbed one\n"
                  "Second tip\n"
                  ";last comment\n");
    }
    void WriteTips(const std::string& text, time_t mtime = 1700000000) {
        qs::test::WriteFile(TipsPath(), text);
        struct utimbuf times {mtime, mtime};
        ::utime(TipsPath().c_str(), &times);
    }
    std::string TipsPath() const { return m_dir + "/tips.txt"; }
    int Profile(const char* key, int def = -99) { return m_app->GetProfileInt("Tip", key, def); }

    std::string m_dir;
    std::unique_ptr<CWinApp> m_app;
};

TEST_F(TipDlgTest, ShowsTipLinesInOrderWrapsAndRemembersWhereItStopped) {
    {
        CTipDlg dialog;  // the System Directory's tips.txt, trailing blank trimmed
        ASSERT_TRUE(dialog.IsFileOpen());
        EXPECT_EQ(dialog.TipText(), "First tip\n");  // the line feed stays part of the tip
        QString tip;
        dialog.GetNextTipString(tip);
        EXPECT_EQ(tip, "Second tip\n");
        dialog.GetNextTipString(tip);
        EXPECT_EQ(tip, "First tip\n");
    }
    const int afterFirst = Profile("FilePos");
    EXPECT_EQ(afterFirst, int(std::string("; tips for the reserving workstation\nFirst tip\n").size()));
    CTipDlg next;
    EXPECT_EQ(next.TipText(), "Second tip\n");
}

TEST_F(TipDlgTest, TheDialogShowsTheTipAndNextTipAdvances) {
    qs::fw::ModalScript script;
    QString first, second;
    script.Then([&](QDialog& d) {
        auto& tips = dynamic_cast<CTipDlg&>(d);
        first = tips.ShownTip();
        EXPECT_TRUE(tips.StartupChecked());
        EXPECT_TRUE(tips.IsNextTipEnabled());
        tips.SendMessage(WM_COMMAND, CTipDlg::IDC_NEXTTIP);
        second = tips.ShownTip();
        tips.OnOK();
    });
    OnTipOfTheDay();
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(first, "First tip");
    EXPECT_EQ(second, "Second tip");
    EXPECT_EQ(Profile("StartUp"), 0);
}

TEST_F(TipDlgTest, SwitchedOffAtStartupNothingShowsButThePositionStillMoves) {
    {
        qs::fw::ModalScript script;
        script.Then([](QDialog& d) {
            auto& tips = dynamic_cast<CTipDlg&>(d);
            tips.CheckDlgButton(CTipDlg::IDC_STARTUP, 0);
            tips.OnOK();
        });
        ShowTipAtStartup(true);
    }
    EXPECT_EQ(Profile("StartUp"), 1);
    const int before = Profile("FilePos");

    qs::fw::ModalScript none;  // any dialog would be recorded
    ShowTipAtStartup(true);
    EXPECT_TRUE(none.Dialogs().empty());
    EXPECT_NE(Profile("FilePos"), before);  // the hidden dialog read a tip and saved its place

    ShowTipAtStartup(false);  // no splash: no dialog at all
    EXPECT_TRUE(none.Dialogs().empty());
}

TEST_F(TipDlgTest, AReplacedFileStartsAgainAtItsFirstTip) {
    { CTipDlg dialog; }
    { CTipDlg dialog; EXPECT_EQ(dialog.TipText(), "Second tip\n"); }
    WriteTips("New first\nNew second\n", 1700000999);
    CTipDlg dialog;
    EXPECT_EQ(dialog.TipText(), "New first\n");
}

TEST_F(TipDlgTest, AnOffsetBeyondTheEndWrapsToTheStart) {
    m_app->WriteProfileInt("Tip", "FilePos", 100000);
    { CTipDlg first; }  // records the file's time stamp
    m_app->WriteProfileInt("Tip", "FilePos", 100000);
    CTipDlg dialog;
    EXPECT_EQ(dialog.TipText(), "First tip\n");
}

TEST_F(TipDlgTest, AFileWithoutTipLinesGivesAnEmptyTipInsteadOfLooping) {
    WriteTips("; only comments\n\n   and blanks\n\r\n");
    CTipDlg dialog;
    EXPECT_TRUE(dialog.IsFileOpen());
    EXPECT_EQ(dialog.TipText(), "");
    dialog.OnNextTip();
    EXPECT_EQ(dialog.TipText(), "");
}

TEST_F(TipDlgTest, AMissingFileSaysSoDisablesNextTipAndWritesNoPosition) {
    std::remove(TipsPath().c_str());
    {
        qs::fw::ModalScript script;
        script.Then([](QDialog& d) {
            auto& tips = dynamic_cast<CTipDlg&>(d);
            EXPECT_EQ(tips.ShownTip(), "Tips file does not exist in the prescribed directory");
            EXPECT_FALSE(tips.IsNextTipEnabled());
            tips.OnOK();
        });
        OnTipOfTheDay();
        EXPECT_TRUE(script.AllHandled());
    }
    EXPECT_EQ(Profile("FilePos"), -99);
}

}  // namespace

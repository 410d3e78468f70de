// The project's settings commands: each runs its dialog on the project and,
// when the dialog ends with OK, the project's windows receive their update
// hint; a cancelled dialog changes nothing. And the captions of a database
// project.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QWidget>

#include "CCmdUI.h"
#include "CDefaultStylesDlg.h"
#include "CExhibitPropertySheet.h"
#include "CFileDisplayOptionsDlg.h"
#include "CKDVVantor.h"
#include "FakeDatabase.h"
#include "CLabelsPropertySheet.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CTableMath.h"
#include "CView.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "ProjectHost.h"
#include "TestEnvironment.h"

namespace {

using qs::fw::ModalScript;
using qs::project::Host;

// A window of the project that notes the hints it receives.
struct HintView : CView {
    std::vector<long> hints;
    void OnUpdate(CView*, LPARAM hint, CObject*) override { hints.push_back(long(hint)); }
};

class SettingsCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = Host();
        m_dir = QString::fromStdString(qs::test::MakeTempDir("settings"));
        Host().workingDirectory = m_dir;
        Host().refreshNavigator = [this] { ++m_refreshes; };
        std::uint16_t gen = 5, numExp = 5, firstYear = 2001, interval = 1, numDev = 5, firstAge = 12;
        PRDLENGTH len = PRD_YEAR, devLen = PRD_YEAR;
        LAYERNAMES c1 = GROSS, c2 = ASSUMED;
        ASSERT_EQ(Project().Create(gen, numExp, len, firstYear, interval, numDev, devLen, firstAge, c1, c2), 0);
        Project().SetModifiedFlag(false);
        m_doc.m_bAutoDelete = FALSE;
        m_doc.AddView(&m_view);
    }
    void TearDown() override {
        m_doc.RemoveView(&m_view);
        Host() = m_saved;
    }
    CProject& Project() { return *m_doc.GetProject(); }
    void Run(UINT id) { m_doc.OnCmdMsg(id, CN_COMMAND, nullptr, nullptr); }

    qs::project::ProjectHost m_saved;
    QString m_dir;
    CProjectDoc m_doc;
    HintView m_view;
    int m_refreshes = 0;
};

TEST_F(SettingsCommandsTest, DialogsEndedWithOkRefreshTheWindows) {
    const struct {
        UINT id;
        long hint;
    } cases[] = {{32883, 1}, {32833, 6}, {32835, 5}};
    for (const auto& c : cases) {
        for (bool ok : {false, true}) {
            m_view.hints.clear();
            ModalScript script;
            script.Then([ok](QDialog& d) {
                if (auto* sheet = dynamic_cast<CPropertySheet*>(&d)) sheet->PressButton(ok ? PSBTN_OK : PSBTN_CANCEL);
                else if (auto* dialog = dynamic_cast<CDialog*>(&d)) ok ? dialog->OnOK() : dialog->OnCancel();
            });
            Run(c.id);
            EXPECT_TRUE(script.AllHandled()) << c.id;
            if (ok) EXPECT_EQ(m_view.hints, std::vector<long>{c.hint}) << c.id;
            else EXPECT_TRUE(m_view.hints.empty()) << c.id;
        }
    }
}

TEST_F(SettingsCommandsTest, PageSetupChangesOnlyWhatDiffers) {
    const auto enabled = [&] {
        CCmdUI ui;
        ui.m_nID = 32771;
        m_doc.OnCmdMsg(32771, CN_UPDATE_COMMAND_UI, &ui, nullptr);
        return ui.m_enabled;
    };
    // Without the print subsystem's page setup dialog the command is not offered.
    EXPECT_FALSE(enabled());
    bool change = false;
    QString title;
    QStringList fields;
    Host().editPageSetup = [&](CPageSetup& setup, const QStringList& names, const QString& caption) {
        title = caption;
        fields = names;
        if (change) setup.m_HeaderStrings = {"&[Company Name]"};
        return true;
    };
    EXPECT_TRUE(enabled());
    Run(32771);
    EXPECT_EQ(title, QStringLiteral("Default Page Setup"));
    EXPECT_EQ(fields, m_doc.GetPrintFieldNames());
    EXPECT_TRUE(m_view.hints.empty());
    EXPECT_FALSE(Project().IsModified());
    change = true;
    Run(32771);
    EXPECT_EQ(m_view.hints, std::vector<long>{3});
    EXPECT_EQ(Project().GetPageSetup().m_HeaderStrings, QSStringArray{"&[Company Name]"});
    EXPECT_TRUE(Project().IsModified());
}

TEST_F(SettingsCommandsTest, TableMathRefreshesTheNavigatorUnlessCancelled) {
    for (int end : {int(IDCANCEL), int(ID_WIZFINISH)}) {
        m_refreshes = 0;
        ModalScript script;
        script.Then<CTableMathPrpSheet>([end](CTableMathPrpSheet& s) { s.EndDialog(end); });
        Run(32867);
        EXPECT_TRUE(script.AllHandled());
        EXPECT_EQ(m_refreshes, end == IDCANCEL ? 0 : 1);
    }
}

TEST_F(SettingsCommandsTest, DefaultStylesOfferTheInstalledStyleFiles) {
    QDir(m_dir).mkpath("Styles");
    for (const char* f : {"DEF_ARR.RGS", "Blue.rgs", ".hidden.rgs", "notes.txt"}) {
        QFile file(m_dir + "/Styles/" + f);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    CGraphDefaultStyles& styles = Project().GetGraphDefaultStyles();
    styles.SetStyle(0, "DEF_ARR.RGS");
    styles.SetStyle(1, "Missing.rgs");
    for (bool ok : {false, true}) {
        ModalScript script;
        script.Then<CDefaultStylesDlg>([ok](CDefaultStylesDlg& d) {
            QComboBox* arrays = d.StyleList(0);
            EXPECT_EQ(arrays->count(), 2);
            EXPECT_EQ(arrays->currentText(), QStringLiteral("DEF_ARR.RGS"));
            EXPECT_EQ(d.StyleList(1)->currentIndex(), -1);  // a style that is not installed is not chosen
            arrays->setCurrentIndex(arrays->findText(QStringLiteral("Blue.rgs")));
            ok ? d.OnOK() : d.OnCancel();
        });
        Run(33044);
        EXPECT_TRUE(script.AllHandled());
        EXPECT_EQ(styles.GetStyle(0), ok ? "Blue.rgs" : "DEF_ARR.RGS");
        EXPECT_EQ(styles.GetStyle(1), "Missing.rgs");  // no choice keeps the style
        EXPECT_EQ(Project().IsModified(), ok);
    }
    // Letter case alone is no change.
    Project().SetModifiedFlag(false);
    styles.SetStyle(0, "BLUE.RGS");
    ModalScript script;
    script.Then<CDefaultStylesDlg>([](CDefaultStylesDlg& d) {
        d.StyleList(0)->setCurrentIndex(d.StyleList(0)->findText(QStringLiteral("Blue.rgs")));
        d.OnOK();
    });
    Run(33044);
    EXPECT_FALSE(Project().IsModified());
}

using FakeVantor = qs::test::FakeDatabase;  // "Auto East", evaluated 31 December 2024

TEST_F(SettingsCommandsTest, CaptionsOfADatabaseProject) {
    FakeVantor vantor;
    Project().BindDatabase(&vantor, nullptr);
    int mode = 0;
    Host().applicationMode = [&] { return mode; };
    QString caption = QStringLiteral("unchanged");
    Host().setNavigatorCaption = [&](const QString& text) { caption = text; };
    m_doc.SetTitle(QStringLiteral("before"));

    const struct {
        int mode;
        std::string templateName;
        QString title;
        QString caption;
    } cases[] = {
        {2, "", QStringLiteral("New Template"), QStringLiteral("Navigator : Template - New Template")},
        {3, "Auto", QStringLiteral("Auto"), QStringLiteral("Navigator : Template - Auto")},
        {12, "Auto", QStringLiteral("Default-valued Template"),
         QStringLiteral("Navigator : Template - Default-valued Template")},
        {4, "Auto", QStringLiteral("before"), QStringLiteral("unchanged")},
    };
    for (const auto& c : cases) {
        mode = c.mode;
        vantor.templ.name = c.templateName;
        m_doc.SetTitle(QStringLiteral("before"));
        caption = QStringLiteral("unchanged");
        m_view.hints.clear();
        m_refreshes = 0;
        m_doc.UpdateTitle();
        EXPECT_EQ(m_doc.GetTitle(), c.title) << c.mode;
        EXPECT_EQ(caption, c.caption) << c.mode;
        // Whatever the mode, the navigator and the windows are brought up to date.
        EXPECT_EQ(m_refreshes, 1) << c.mode;
        EXPECT_EQ(m_view.hints, (std::vector<long>{0, 2})) << c.mode;
    }
    // A profile's title carries its evaluation date; the navigator keeps its caption in mode 6.
    mode = 6;
    m_doc.UpdateTitle();
    EXPECT_TRUE(m_doc.GetTitle().startsWith(QStringLiteral("Auto East ( ")));
    EXPECT_TRUE(m_doc.GetTitle().contains(QStringLiteral("24"))) << m_doc.GetTitle().toStdString();
    EXPECT_EQ(caption, QStringLiteral("unchanged"));
}

}  // namespace

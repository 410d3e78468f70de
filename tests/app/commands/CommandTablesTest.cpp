// The command tables of the running program: every command of the
// application's table and of the project document's reaches its handler,
// and its enabled state follows its rule with no project, a file project, a
// read-only one and a database project, with each kind of object active in
// the navigator or in its window. Then the small handlers of the
// application's table, the menus that reach the commands, and the rule that
// a disabled command sent as a message does not run.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QThread>
#include <QTreeWidget>

#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "CAddFactorSetsDlg.h"
#include "CCmdUI.h"
#include "CDocTemplate.h"
#include "CFSLib.h"
#include "CFactorSet.h"
#include "CFillSelectedsDlg.h"
#include "CMDIChildWnd.h"
#include "CObjectView.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CQuillstoneApp.h"
#include "CScalar.h"
#include "CommandIds.h"
#include "CommandNotAvailable.h"
#include "ExhibitDialogsHost.h"
#include "InstalledWorkstation.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "Resources.h"
#include "SmallViewDialogs.h"
#include "TestEnvironment.h"
#include "ViewSettings.h"
#include "ViewServices.h"
#include "commands/AppCommandTable.h"
#include "commands/AppMenus.h"
#include "frames/CMainFrame.h"
#include "navigator/CPrjListView.h"
#include "navigator/CTreeFrame.h"
#include "projectservices/ProjectServices.h"
#include "startup/CSplashWindow.h"
#include "startup/WorkstationSettings.h"

namespace fs = std::filesystem;
using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;

namespace {

constexpr QSID kPaidLoss = 101000001;

// The enabled state a menu would show: an update handler on the route
// decides; without one, a command somebody handles is enabled.
bool Enabled(CCmdTarget& target, UINT id) {
    CCmdUI ui;
    ui.m_nID = id;
    ui.DoUpdate(&target, TRUE);
    return !ui.m_bEnableChanged || ui.m_enabled;
}

CCmdTarget* HandlerOf(CCmdTarget& target, UINT id) {
    AFX_CMDHANDLERINFO info;
    return target.OnCmdMsg(id, CN_COMMAND, nullptr, &info) ? info.pTarget : nullptr;
}

class CommandTablesTest : public qs::test::StartedAppTest {
protected:
    void SetUp() override { Start("cmds"); }
    CProjectDoc* OpenSample() {
        const std::string sample = layout.workingDirectory + "/data/sample.qs5";
        auto* doc = static_cast<CProjectDoc*>(app->OpenDocumentFile(QString::fromStdString(sample)));
        QApplication::processEvents();
        return doc;
    }
    CMainFrame* Main() const { return app->MainFrame(); }
    // The first object of a category in the project.
    static QSID FirstOf(CProjectDoc* doc, int category) {
        QSID found = 0;
        doc->GetProject()->ForEachObject([&](QSID id, unsigned short layer, CFormula*) {
            if (found == 0 && layer == NET && CProjectDoc::GetObjectCategory(id) == category) found = id;
        });
        return found;
    }
    // Makes the navigator's list the active view with the object selected.
    void SelectInNavigator(CProjectDoc* doc, QSID id) {
        CTreeFrame* frame = app->NavigatorFrame();
        ASSERT_NE(frame, nullptr);
        frame->GoToObject(id, NET, doc);
        Main()->MDIActivate(frame);
        frame->SetActiveView(frame->ListView());
        ASSERT_EQ(Main()->GetActiveView(), frame->ListView());
    }

};

// ---- the application's table

enum class AppRule { Always, Interactive, Navigator, NavigatorInteractive, ScaleNot100, Disabled, Lexigrove, Batch,
                     BatchMode1, BatchNotMode1 };

struct AppState {
    const char* name;
    bool project;
    BOOL interactive;
    int scale;
    bool batchWindow;
    int mode;
};

bool Expected(AppRule rule, const AppState& s, const CQuillstoneApp& app) {
    switch (rule) {
    case AppRule::Always: return true;
    case AppRule::Interactive: return s.interactive == 1;
    case AppRule::Navigator: return s.project;
    case AppRule::NavigatorInteractive: return s.project && s.interactive == 1;
    case AppRule::ScaleNot100: return s.scale != 100;
    case AppRule::Disabled: return false;
    case AppRule::Lexigrove: return app.Lexigrove().IsLoaded();
    case AppRule::Batch: return s.batchWindow;
    case AppRule::BatchMode1: return s.batchWindow && s.mode == 1;
    case AppRule::BatchNotMode1: return s.batchWindow && s.mode != 1;
    }
    return false;
}

struct AppEntry {
    UINT id;
    AppRule rule;
    const char* notYet;  // the not-available message's name, or null
};

const AppEntry kAppTable[] = {
    {240, AppRule::Always, nullptr},
    {57664, AppRule::Always, nullptr},
    {57607, AppRule::NavigatorInteractive, nullptr},
    {33100, AppRule::Navigator, nullptr},
    {32840, AppRule::ScaleNot100, nullptr},
    {32828, AppRule::Always, nullptr},
    {32832, AppRule::Always, nullptr},
    {32894, AppRule::Always, nullptr},
    {32896, AppRule::Always, nullptr},
    {32895, AppRule::Always, nullptr},
    {32897, AppRule::Always, nullptr},
    {32903, AppRule::Always, nullptr},
    {32902, AppRule::Always, nullptr},
    {32925, AppRule::Interactive, nullptr},
    {57600, AppRule::Interactive, nullptr},
    {255, AppRule::Always, nullptr},
    {32892, AppRule::Always, nullptr},
    {57601, AppRule::Interactive, nullptr},
    {32931, AppRule::Navigator, nullptr},
    {32827, AppRule::Always, nullptr},
    {57608, AppRule::NavigatorInteractive, nullptr},
    {32829, AppRule::Always, nullptr},
    {32955, AppRule::Always, nullptr},
    {32877, AppRule::Disabled, nullptr},
    {32981, AppRule::Lexigrove, nullptr},
    {33034, AppRule::Navigator, "Export to Excel"},
    {33035, AppRule::Interactive, nullptr},
    {33092, AppRule::Batch, "Cancel batch run"},
    {33067, AppRule::BatchMode1, "Continue batch run"},
    {33093, AppRule::BatchNotMode1, "Exit batch run"},
    {33088, AppRule::Always, nullptr},
    {1192, AppRule::Always, nullptr},
    {57667, AppRule::Always, nullptr},
    {57665, AppRule::Always, nullptr},
    {32983, AppRule::Navigator, nullptr},
    {57606, AppRule::Always, nullptr},
};

TEST_F(CommandTablesTest, EveryApplicationCommandReachesTheApplicationAndFollowsItsRule) {
    MessageBoxScript boxes;
    const AppState states[] = {
        {"no project", false, TRUE, 100, false, 0},
        {"a project", true, TRUE, 75, false, 0},
        {"a project under automation", true, FALSE, 100, false, 0},
        {"a batch step of mode 1", true, FALSE, 100, true, 1},
        {"a batch step of mode 13", true, FALSE, 100, true, 13},
    };
    for (const AppState& s : states) {
        if (s.project && !app->NavigatorExists()) {
            ASSERT_NE(OpenSample(), nullptr);
        }
        app->m_bInteractive = s.interactive;
        app->m_nApplicationMode = s.mode;
        qs::app::Settings().scale = s.scale;
        if (s.batchWindow) app->CreateBatchControlWindow(0);
        else app->DestroyBatchControlWindow();
        for (const AppEntry& e : kAppTable) {
            EXPECT_EQ(HandlerOf(*app, e.id), app.get()) << e.id;
            EXPECT_EQ(Enabled(*app, e.id), Expected(e.rule, s, *app)) << e.id << " with " << s.name;
        }
        // Save belongs to the document; the application only offers it.
        EXPECT_EQ(Enabled(*app, 57603), s.project && s.interactive == 1) << s.name;
    }
    app->DestroyBatchControlWindow();
    app->m_bInteractive = TRUE;
}

TEST_F(CommandTablesTest, ApplicationCommandsWithoutTheirPartsSaySoPlainly) {
    for (const AppEntry& e : kAppTable) {
        if (e.notYet == nullptr) continue;
        MessageBoxScript boxes;
        app->RouteCommand(e.id);
        ASSERT_EQ(boxes.Count(), 1u) << e.id;
        EXPECT_EQ(boxes.Last().text, qs::project::CommandNotAvailableText(QString::fromUtf8(e.notYet))) << e.id;
    }
}

// ---- the project's table

enum class DocRule { Always, DatabaseOnly, Replicate, Never, DevelopmentNotYearly, ExposureNotYearly, HasPrior, NoPrior,
                     OwnRule };

struct DocEntry {
    UINT id;
    DocRule rule;
};

const DocEntry kProjectTable[] = {
    {370, DocRule::DatabaseOnly},   {32869, DocRule::Always},       {32870, DocRule::Always},
    {32874, DocRule::Always},       {32875, DocRule::Always},       {32876, DocRule::Always},
    {32883, DocRule::Always},       {32891, DocRule::Always},       {32898, DocRule::Always},
    {32905, DocRule::Always},       {32907, DocRule::Always},       {32909, DocRule::Always},
    {32933, DocRule::Replicate},    {32939, DocRule::Always},       {32940, DocRule::Always},
    {32941, DocRule::Always},       {32951, DocRule::Always},       {32964, DocRule::Always},
    {33051, DocRule::Always},       {33052, DocRule::Always},       {33056, DocRule::Always},
    {33058, DocRule::Always},       {33059, DocRule::Always},       {33086, DocRule::Always},
    {33087, DocRule::Always},       {33089, DocRule::Never},       {33090, DocRule::Always},
    {33094, DocRule::Always},       {33095, DocRule::Always},       {57602, DocRule::Always},
    {57612, DocRule::Never},
    // the periods and the user-defined tables
    {32796, DocRule::Always},       {32803, DocRule::Always},       {32804, DocRule::Always},
    {32805, DocRule::Always},       {32806, DocRule::Always},       {32807, DocRule::DevelopmentNotYearly},
    {32809, DocRule::ExposureNotYearly},                            {33053, DocRule::HasPrior},
    {33054, DocRule::NoPrior},      {32814, DocRule::OwnRule},      {32815, DocRule::OwnRule},
    {32816, DocRule::OwnRule},
    // the flood fills and the settings (page setup waits for the page setup dialog's host)
    {32771, DocRule::OwnRule},      {32833, DocRule::Always},       {32835, DocRule::Always},
    {32867, DocRule::Always},       {33044, DocRule::Always},       {33055, DocRule::Always},
    {33057, DocRule::DatabaseOnly}, {33060, DocRule::DatabaseOnly}, {33061, DocRule::DatabaseOnly},
    {33096, DocRule::Always},       {33097, DocRule::DatabaseOnly},
};

// The rules that read the project's structure.
bool StructureRule(DocRule rule, const CProject& p) {
    PRDLENGTH development = PRD_YEAR, exposure = PRD_YEAR;
    p.GetLengthDevPrd(development);
    p.GetLengthExpPrd(exposure);
    switch (rule) {
    case DocRule::DevelopmentNotYearly: return development != PRD_YEAR;
    case DocRule::ExposureNotYearly: return exposure != PRD_YEAR;
    case DocRule::HasPrior: return p.GetIncludesPrior();
    case DocRule::NoPrior: return !p.GetIncludesPrior();
    default: return true;
    }
}

// Where the user is: the navigator's list with an object of a category
// selected, or an object's own window.
struct Place {
    const char* name;
    int category;
    bool navigator;
};

TEST_F(CommandTablesTest, EveryProjectCommandReachesTheDocumentWhateverIsActive) {
    MessageBoxScript boxes;
    CProjectDoc* doc = OpenSample();
    ASSERT_NE(doc, nullptr);
    // The sample holds no scalar: one of the user's.
    CScalar scalar;
    scalar.SetIDLongName("Trend Rate");
    scalar.SetIDShortName("TR");
    scalar.SetInitialized(true);
    QSID scalarId = 0;
    ASSERT_EQ(doc->GetProject()->AddNewObject(scalar, scalarId, 1), 0);
    auto* stored = dynamic_cast<CScalar*>(doc->GetProject()->FindObject(scalarId, NET));
    ASSERT_NE(stored, nullptr);
    stored->SetValue(0.25);
    app->RefreshNavigator();
    const Place places[] = {
        {"navigator, input array", 1000, true},
        {"navigator, exhibit", 5000, true},      {"navigator, method", 6000, true},
        {"navigator, report", 7000, true},       {"table window", 1000, false},
        {"scalar window", 4000, false},          {"exhibit window", 5000, false},
        {"method window", 6000, false},          {"report window", 7000, false},
        {"information window", 0, false},
    };
    struct Project {
        const char* name;
        RUNNING_MODE mode;
        BOOL readOnly;
    } const projects[] = {{"file project", RM_FILE, FALSE},
                          {"read-only file project", RM_FILE, TRUE},
                          {"database project", RM_DATABASE, FALSE}};
    gSecAttribs.activeGroup = 1;
    for (const Place& place : places) {
        const QSID id = place.category == 4000 ? scalarId : place.category != 0 ? FirstOf(doc, place.category) : 0;
        ASSERT_TRUE(place.category == 0 || id != 0) << place.name;
        if (place.navigator) {
            SelectInNavigator(doc, id);
        } else {
            // A summary report opens without its options dialog here.
            CFrameWnd* frame = doc->OpenObjectView(id, NET, TRUE, TRUE, TRUE);
            ASSERT_NE(frame, nullptr) << place.name;
            Main()->MDIActivate(frame);
        }
        EXPECT_EQ(doc->GetActiveObject(), place.category) << place.name;
        for (const Project& p : projects) {
            doc->GetProject()->SetMode(p.mode);
            doc->m_bReadOnly = p.readOnly;
            for (const DocEntry& e : kProjectTable) {
                EXPECT_EQ(HandlerOf(*doc, e.id), doc) << e.id;
                bool expected = true;
                if (e.rule == DocRule::DatabaseOnly) expected = p.mode == RM_DATABASE;
                if (e.rule == DocRule::Replicate) expected = place.navigator;
                if (e.rule == DocRule::Never) expected = false;  // no group query, no mail
                if (e.rule == DocRule::OwnRule) continue;  // the user-defined tables' rules have their own tests
                if (e.rule >= DocRule::DevelopmentNotYearly) expected = StructureRule(e.rule, *doc->GetProject());
                EXPECT_EQ(Enabled(*doc, e.id), expected) << e.id << " in a " << p.name << ", " << place.name;
            }
        }
        doc->GetProject()->SetMode(RM_FILE);
        doc->m_bReadOnly = FALSE;
    }
    // A database user outside any group may not replicate.
    const QSID exhibit = FirstOf(doc, 5000);
    SelectInNavigator(doc, exhibit);
    doc->GetProject()->SetMode(RM_DATABASE);
    gSecAttribs.activeGroup = 0;
    EXPECT_FALSE(Enabled(*doc, 32933));
    doc->GetProject()->SetMode(RM_FILE);
    // The ultimates filter offers nothing to replicate, and the update leaves
    // the document's current object as it was.
    app->NavigatorFrame()->OnCategory(33103);
    doc->m_nCurrentObjectId = 42;
    EXPECT_FALSE(Enabled(*doc, 32933));
    EXPECT_EQ(doc->m_nCurrentObjectId, 42);
}

// A command sent as a message passes the same test as a menu pick.
TEST_F(CommandTablesTest, ADisabledCommandSentAsAMessageDoesNotRun) {
    MessageBoxScript boxes;
    CProjectDoc* doc = OpenSample();
    ASSERT_NE(doc, nullptr);
    SelectInNavigator(doc, kPaidLoss);
    Main()->SendMessage(WM_COMMAND, 370, 0);  // Manage Summary Export, a file project
    EXPECT_EQ(boxes.Count(), 0u);
    doc->GetProject()->SetMode(RM_DATABASE);
    Main()->SendMessage(WM_COMMAND, 370, 0);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, qs::project::CommandNotAvailableText("Manage Summary Export"));
    doc->GetProject()->SetMode(RM_FILE);
    // Table 100% at 100% changes nothing; at 50% it sets 100%.
    qs::app::Settings().scale = 100;
    Main()->SendMessage(WM_COMMAND, qs::cmd::kTable100, 0);
    EXPECT_EQ(qs::app::Settings().scale, 100);
    qs::app::Settings().scale = 50;
    qs::views::Settings().scale = 50;
    Main()->SendMessage(WM_COMMAND, qs::cmd::kTable100, 0);
    EXPECT_EQ(qs::app::Settings().scale, 100);
    EXPECT_EQ(qs::views::Settings().scale, 100);
}

// ---- the small handlers

TEST_F(CommandTablesTest, ZoomOpensOnItsDefaultForScalesOutOfRangeAndStoresTheChoice) {
    for (int stored : {5, 500, 150}) {
        qs::app::Settings().scale = stored;
        int shownIndex = -2;
        ModalScript script;
        script.Then<CZoomDlg>([&](CZoomDlg& d) {
            shownIndex = d.m_nZoom;
            d.m_nZoom = 3;  // 75 %
            d.UpdateData(FALSE);
            d.OnOK();
        });
        app->RouteCommand(qs::cmd::kZoom);
        EXPECT_TRUE(script.AllHandled());
        EXPECT_EQ(shownIndex, stored == 150 ? 1 : -1) << stored;
        EXPECT_EQ(qs::app::Settings().scale, 75);
    }
}

TEST_F(CommandTablesTest, CloseAllWindowsLeavesTheNavigatorAndEndsWhenAWindowRefuses) {
    MessageBoxScript boxes;
    CProjectDoc* doc = OpenSample();
    ASSERT_NE(doc, nullptr);
    // Only the navigator: nothing to close, and the loop ends.
    const auto childCount = [this] { return Main()->GetChildFrames().size(); };
    const std::size_t navigatorOnly = childCount();
    app->RouteCommand(qs::cmd::kCloseAllChildWindows);
    QApplication::processEvents();
    EXPECT_EQ(childCount(), navigatorOnly);
    EXPECT_NE(app->NavigatorFrame(), nullptr);

    // Two tables and a changed factor library whose owner cancels its save.
    ASSERT_NE(doc->OpenObjectView(kPaidLoss, NET), nullptr);
    ASSERT_NE(doc->OpenObjectView(kPaidLoss, GROSS), nullptr);
    app->RouteCommand(qs::cmd::kNewFactorLibrary);
    ASSERT_EQ(app->m_pDFLTemplate->Documents().size(), 1u);
    CDocument* library = app->m_pDFLTemplate->Documents().front();
    library->SetModifiedFlag(TRUE);
    QApplication::processEvents();
    EXPECT_EQ(childCount(), navigatorOnly + 3);
    boxes.Answer(IDCANCEL);
    app->RouteCommand(qs::cmd::kCloseAllChildWindows);
    QApplication::processEvents();
    EXPECT_EQ(childCount(), navigatorOnly + 1) << "the library's window stays";
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_NE(app->NavigatorFrame(), nullptr);
    EXPECT_EQ(app->m_pDFLTemplate->Documents().size(), 1u);
    library->SetModifiedFlag(FALSE);
}

TEST_F(CommandTablesTest, ThePdfRunnerStartsFromTheSystemDirectoryOrSaysWhyNot) {
    EXPECT_EQ(qs::app::PdfRunnerPath(QString()), "runpdf.exe");
    EXPECT_EQ(qs::app::PdfRunnerPath("RunPdf.EXE"), "RunPdf.EXE");
    EXPECT_EQ(qs::app::PdfRunnerPath("/opt/qs"), "/opt/qs/runpdf.exe");

    const QString dir = QString::fromStdString(qs::test::MakeTempDir("runpdf"));
    const QString marker = dir + "/ran";
    {
        QFile script(dir + "/runpdf.exe");
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\ntouch '%1'\n").arg(marker).toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    }
    MessageBoxScript boxes;
    app->WriteProfileString("Settings", "System Directory", dir);
    app->RouteCommand(qs::cmd::kRunPdf);
    for (int i = 0; i < 200 && !QFileInfo::exists(marker); ++i) QThread::msleep(10);
    EXPECT_TRUE(QFileInfo::exists(marker));
    EXPECT_EQ(boxes.Count(), 0u);

    struct Case {
        QString folder;
        QString caption;
    } const cases[] = {{dir + "/missing", "Path not found"}, {QString::fromStdString(root), "File not found"}};
    for (const Case& c : cases) {
        app->WriteProfileString("Settings", "System Directory", c.folder);
        app->RouteCommand(qs::cmd::kRunPdf);
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().caption, c.caption);
        EXPECT_EQ(boxes.Last().text, c.folder + "/runpdf.exe");
        EXPECT_EQ(boxes.Last().icon, UINT(MB_ICONEXCLAMATION));
        boxes.Clear();
    }
    // A file that is no program.
    QFile plain(QString::fromStdString(root) + "/plain/runpdf.exe");
    QDir().mkpath(QFileInfo(plain).absolutePath());
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    app->WriteProfileString("Settings", "System Directory", QFileInfo(plain).absolutePath());
    app->RouteCommand(qs::cmd::kRunPdf);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().caption, "Access Denied");

    EXPECT_EQ(qs::app::ShellOpenFailure(0, "x").caption, "Out of memory or resources");
    EXPECT_EQ(qs::app::ShellOpenFailure(11, "x").text, "The .exe file is invalid");
    EXPECT_EQ(qs::app::ShellOpenFailure(31, "x").caption, "No application is associated with this file type.");
    EXPECT_EQ(qs::app::ShellOpenFailure(17, "x").text, "An unknown error has occured");
}

TEST_F(CommandTablesTest, TechnicalSupportNamesItsTopicAndAMissingHelpFile) {
    EXPECT_EQ(qs::app::TechnicalSupportTopic("/help/Qstone.chm"), "/help/Qstone.chm::/Customer_Support.htm > mainwin");
    MessageBoxScript boxes;
    QFile::remove(app->m_pszHelpFilePath);
    app->RouteCommand(qs::cmd::kTechnicalSupport);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, QStringLiteral("Cannot find the help file %1.").arg(app->m_pszHelpFilePath));
}

TEST_F(CommandTablesTest, CalendarSwitchesEveryViewAndRefitsAnUnmaximisedTable) {
    CProjectDoc* doc = OpenSample();
    ASSERT_NE(doc, nullptr);
    auto* frame = dynamic_cast<CMDIChildWnd*>(doc->OpenObjectView(kPaidLoss, NET));
    ASSERT_NE(frame, nullptr);
    Main()->MDIActivate(frame);
    int refits = 0;
    frame->MapCommand(32962, [&] { ++refits; });
    const int before = g_bCalendarView;
    Main()->RouteCommand(ID_VIEW_CALENDAR);
    EXPECT_NE(g_bCalendarView, before);
    EXPECT_EQ(refits, 1);
    frame->GetSubWindow()->showMaximized();
    Main()->RouteCommand(ID_VIEW_CALENDAR);
    EXPECT_EQ(g_bCalendarView, before);
    EXPECT_EQ(refits, 1) << "a maximised window keeps its size";
}

TEST_F(CommandTablesTest, TheFactorCopiesRunTheirDialogs) {
    MessageBoxScript boxes;
    CProjectDoc* doc = OpenSample();
    ASSERT_NE(doc, nullptr);
    SelectInNavigator(doc, kPaidLoss);
    ModalScript script;
    script.Then<CFillSelectedsFactorSetDlg>([](CFillSelectedsFactorSetDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Copy Selecteds to Factor Set");
        d.reject();
    });
    Main()->RouteCommand(32941);
    // The library the factor-set chooser opens.
    const QString dfl = QString::fromStdString(root) + "/regional.dfl";
    {
        CFSLib library;
        library.SetName("Regional");
        ASSERT_EQ(library.AddFactorSet(CFactorSet("Set A", "", 5, PRD_YEAR, 12)), 0);
        ASSERT_EQ(library.SaveFile(dfl.toStdString()), 0);
    }
    qs::views::ExhibitHost().chooseLibraryFile = [dfl](const QString&, const QString&) { return dfl; };
    script.Then<CAddFactorSetsDlg>([](CAddFactorSetsDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Development Factor Sets");
        EXPECT_EQ(d.List()->topLevelItemCount(), 1);
        d.reject();
    });
    Main()->RouteCommand(32940);
    qs::views::ExhibitHost().chooseLibraryFile = nullptr;
    // Statistics into the selected factors of the first exhibit offered.
    script.Then<CFillSelectedsStatsDlg>([](CFillSelectedsStatsDlg& d) {
        QTreeWidget* available = d.Available();
        ASSERT_GT(available->topLevelItemCount(), 0);
        QTreeWidgetItem* item = available->topLevelItem(0);
        while (item->childCount() > 0) item = item->child(0);
        item->setSelected(true);
        available->setCurrentItem(item);
        d.OnAdd();
        d.OnOK();
    });
    Main()->RouteCommand(32939);
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(boxes.Texts(), QStringList({"Operation completed successfully."}));
    EXPECT_TRUE(doc->IsModified());
}

// ---- the menus

QString Mnemonic(const QString& text) {
    const int at = text.indexOf(u'&');
    return at >= 0 && at + 1 < text.size() ? text.mid(at + 1, 1).toUpper() : QString();
}

void CollectMenu(const std::vector<qs::fw::MenuItem>& items, const QString& where, std::map<UINT, QStringList>& texts) {
    std::set<QString> mnemonics;
    for (const qs::fw::MenuItem& item : items) {
        if (item.separator) continue;
        const QString label = item.text.section(u'\t', 0, 0);
        const QString key = Mnemonic(label);
        if (!key.isEmpty()) {
            EXPECT_TRUE(mnemonics.insert(key).second) << where.toStdString() << ": " << label.toStdString();
        }
        if (!item.items.empty()) CollectMenu(item.items, where + " > " + label, texts);
        else texts[item.id] << item.text;
    }
}

TEST_F(CommandTablesTest, MenusReachEveryCommandWithItsTextAndUniqueMnemonics) {
    struct Expect {
        UINT id;
        const char* text;
        UINT menu;
    } const expected[] = {
        {57607, "&Print...\tCtrl+P", 129},          {33100, "&Batch print...\tCtrl+B", 129},
        {32894, "&Lotus (*.wk1)", 129},              {32896, "&Lotus (*.wk1)", 129},
        {32895, "&Enhanced ASCII (*.dat)", 129},     {32897, "&Enhanced ASCII (*.dat)", 129},
        {32903, "&ASCII (*.asc)", 129},              {32902, "&ASCII (*.asc)", 129},
        {32925, "C&lose All", 129},                  {57600, "&New...\tCtrl+N", 128},
        {57601, "&Open...\tCtrl+O", 128},            {32931, "View &Navigator\tAlt+V", 128},
        {33034, "E&xcel (*.xls)", 129},              {57603, "&Save\tCtrl+S", 129},
        {33092, "&Cancel", 328},                     {33067, "C&ontinue", 328},
        {33093, "&Exit", 326},                       {1192, "Prin&t Setup", 128},
        {57665, "E&xit", 128},                       {57606, "Prin&t Setup...", 129},
        {32828, nullptr, 129},                       {32840, nullptr, 129},
        {32832, nullptr, 128},                       {32827, nullptr, 129},
        {32829, nullptr, 128},                       {32877, nullptr, 129},
        {32981, nullptr, 129},                       {33035, nullptr, 129},
        {57608, nullptr, 129},                       {240, nullptr, 128},
        {57664, nullptr, 128},                       {57667, nullptr, 128},
        {32983, nullptr, 129},
        // the project's table
        {370, "Manage Summary &Export", 328},        {32771, "Pa&ge Setup...", 129},
        {32833, "File &Labels...", 129},             {32867, "&Table Math...", 129},
        {32869, "File Summ&ary", 129},               {32870, "P&roperties...", 129},
        {32874, "File &Compare...", 129},            {32875, "&Add...", 129},
        {32876, "&Subtract...", 129},                {32883, "E&xhibit Options...", 129},
        {32898, "File &Update...", 129},             {32905, "&Exhibits", 129},
        {32907, "&Methods", 129},                    {32909, "&Reports", 129},
        {32933, "&Replicate", 129},                  {32939, "From &Statistics to Selected Factors", 129},
        {32940, "From &Factor Set to Selected Factors", 129},
        {32941, "From Se&lected Factors to Factor Set", 129},
        {32964, "Mo&ve Layer...", 129},              {33044, "De&fault Styles", 129},
        {33051, "Ultimate Fl&ood Fill Option...", 251},
        {33051, "Selected Ultimates...", 328},
        {33052, "&Execute Ultimates Flood Fill Options", 129},
        {33056, "&Selected Development Factors...", 328},
        {33058, "Save &Template...\tCtrl+T", 328},   {33059, "S&ave Template As...", 328},
        {33060, "&Selected Development Factors", 328},
        {33061, "S&elected Ultimates", 328},
        {33089, "&Save Data...\tCtrl+S", 328},       {33090, "Save &Data As...", 328},
        {33094, "&Print...\tCtrl+P", 328},
        {33095, "&Interpolated Development Factors...", 328},
        {33097, "&Interpolated Development Factors", 328},
        {33118, "Lock/Unlock graphs for creation", 326},
        {33119, "Refresh User Defined Graphs", 326},
        {57602, "&Close", 129},
    };
    std::map<UINT, std::map<UINT, QStringList>> menus;
    for (UINT menu : {128u, 224u, 129u, 251u, 326u, 328u}) {
        const auto* items = qs::fw::FindMenu(menu);
        ASSERT_NE(items, nullptr) << menu;
        CollectMenu(*items, QString::number(menu), menus[menu]);
    }
    for (const Expect& e : expected) {
        const QStringList& texts = menus[e.menu][e.id];
        if (e.text == nullptr) {
            EXPECT_FALSE(texts.isEmpty()) << e.id << " in menu " << e.menu;
        } else {
            EXPECT_TRUE(texts.contains(QString::fromUtf8(e.text)))
                << e.id << " in menu " << e.menu << ": " << texts.join(" | ").toStdString();
        }
    }
}

}  // namespace

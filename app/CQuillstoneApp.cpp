#include "CQuillstoneApp.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDesktopServices>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QThread>
#include <QUrl>
#include <QLocale>
#include <cstdio>
#include <ctime>

#include "commands/AppCommandTable.h"
#include "AppRegistry.h"
#include "Automation.h"
#include "CLOGFONT.h"
#include "FaultboxApi.h"
#include "CCmdUI.h"
#include "ModalScript.h"
#include "CDocTemplate.h"
#include "frames/CMainFrame.h"
#include "CKDVVantor.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "ProjectHost.h"
#include "shell/ConsoleTrace.h"
#include "startup/InstallationType.h"
#include "MessageBox.h"
#include "QsInstanceCounter.h"
#include "QsProfile.h"
#include "shell/QuitOnSignals.h"
#include "shell/ShellRegistration.h"
#include "SystemInfo.h"
#include "startup/VersionCheck.h"
#include "startup/WorkstationSettings.h"
#include "KernelGlobals.h"
#include "formats/AppSeparators.h"
#include "startup/CSplashWindow.h"
#include "shell/ShellOpenChannel.h"
#include "frames/StatusProgress.h"
#include "frames/StatusWindow.h"
#include "WindowMessages.h"
#include "formats/NumberFormatBuilders.h"
#include "CPrjSheetEnvironment.h"
#include "files/DefaultPageSetup.h"
#include "frames/CChildFrame.h"
#include "navigator/CPrjTreeView.h"
#include "navigator/CTreeFrame.h"
#include "CDFLDoc.h"
#include "CDFLView.h"
#include "CExhibitView.h"
#include "CGraphView.h"
#include "frames/GraphBinding.h"
#include "CInfoView.h"
#include "CMethodView.h"
#include "CPPAView.h"
#include "files/FactorLibraryFiles.h"
#include "CScalarView.h"
#include "CTriang2View.h"
#include "CTriang4View.h"
#include "CTriangView.h"
#include "CWorkstationSetupDlg.h"
#include "ViewServices.h"
#include "frames/CBSParamsFrame.h"
#include "frames/CGraphFrame.h"
#include "frames/CPPAFrame.h"
#include "frames/CUpdateFrame.h"

namespace si = qs::sysinfo;
using qs::app::Settings;

namespace {

CQuillstoneApp* g_currentApp = nullptr;

// The counters of the two edition families, shared by every process of the
// program; a process that dies gives its share back.
constexpr const char* kStandardCounter = "QuillstoneStandardInstances";
constexpr const char* kEnterpriseCounter = "QuillstoneEnterpriseInstances";

// The profile an application without a configured edition uses.
constexpr const char* kDefaultProfileName = "Qstone.ini";

// Resource ids of the templates: standard / enterprise.
struct TemplateIds {
    UINT standard, enterprise;
    UINT Pick(bool standardResources) const { return standardResources ? standard : enterprise; }
};
constexpr TemplateIds kProjectIds{224, 326}, kDFLIds{130, 327}, kViewIds{129, 328}, kInfoIds{128, 328},
    kUpdateIds{251, 328};
constexpr UINT kAutomationId = 300, kStandaloneId = 301;

UINT IconType(si::MessageIcon icon) {
    switch (icon) {
        case si::MessageIcon::Information: return MB_ICONINFORMATION;
        case si::MessageIcon::Exclamation: return MB_ICONEXCLAMATION;
        case si::MessageIcon::Stop: return MB_ICONSTOP;
        case si::MessageIcon::None: break;
    }
    return 0;
}

}  // namespace

CQuillstoneApp::CQuillstoneApp() : CWinApp(QStringLiteral("Qstone")) {
    g_currentApp = this;
    m_pszProfileName = QString::fromLatin1(kDefaultProfileName);
    m_showProjectInNavigator = [this](CProjectDoc* doc) { PlaceProjectInNavigator(doc); };
    qs::cmd::MapCommandTable<CQuillstoneApp>(*this, *this, qs::app::ApplicationCommands());
}

void CQuillstoneApp::OnFilePrintSetup() {
    // The choice is kept for the rest of the run, as the framework's own
    // printer settings are.
    if (!m_pPrinter) m_pPrinter = std::make_unique<QPrinter>();
    QPrintDialog dialog(m_pPrinter.get(), qs::fw::MainWindow());
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    qs::fw::RunModal(dialog);
}

void CQuillstoneApp::OnHelpContents() { ShowHelpTopic(m_pszHelpFilePath); }

void CQuillstoneApp::ShowHelpTopic(const QString& topic) {
    // The desktop's handler opens the help file at its contents: it cannot be
    // sent to one topic. A missing file is said plainly rather than left to
    // the handler.
    const QString path = topic.section(QStringLiteral("::/"), 0, 0);
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        AfxMessageBox(QStringLiteral("Cannot find the help file %1.").arg(path));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool CQuillstoneApp::CheckTailFactorAnalysisOpen() {
    static const QString kTitle = QStringLiteral("Duvi Rozire Vididaze");
    bool open = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        open |= w->windowTitle() == kTitle;
    // The program runs in its own process: its window exists while its
    // automation name has an owner.
    if (!open && QDBusConnection::sessionBus().isConnected())
        open = qs::automation::IsServerRunning(QStringLiteral("Crx.CRX_App"));
    if (open)
        AfxMessageBox(QStringLiteral("Please close the Duvi Rozire Vididaze application prior to performing this command."),
                      MB_SETFOREGROUND);
    return open;
}

void CQuillstoneApp::OnAppExitChecked() {
    if (CheckTailFactorAnalysisOpen()) return;
    OnAppExit();
}

CQuillstoneApp::~CQuillstoneApp() {
    // A damaged font record read after this goes back to standard error.
    CLOGFONT::SetErrorReporter(nullptr);
    m_heartbeat.Stop();
    m_pVersionThread.reset();
    qs::trace::CloseConsoleTrace();
    if (g_currentApp == this) g_currentApp = nullptr;
}

CQuillstoneApp* CQuillstoneApp::Current() { return g_currentApp; }

void CQuillstoneApp::ReportStartupError(const QString& text, bool onlyIfVisible) {
    if (onlyIfVisible)
        AfxMessageBoxIfVisible(text, MB_OK);
    else
        AfxMessageBox(text, MB_OK);
    if (m_bInteractive) return;
    gbLogFileContainsError = true;
    if (FILE* log = std::fopen(m_strLogFilePath.c_str(), "a")) {
        char stamp[64];
        const std::time_t now = std::time(nullptr);
        std::strftime(stamp, sizeof stamp, "%X  ", std::localtime(&now));
        std::fprintf(log, "\n%s%s", stamp, text.toUtf8().constData());
        std::fclose(log);
    }
}

// Start-up, step by step; a step that fails ends the start (FALSE).
BOOL CQuillstoneApp::InitInstance() {
    if (m_bQuitOnSignals) qs::app::InstallQuitOnSignals();
    StartTraceAndMessageSink();

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);

    if (!ReadInstallation(cmdInfo)) return FALSE;
    if (!EnsureSingleInstance(cmdInfo)) return FALSE;
    // Nothing to initialise for the automation layer before this point.
    if (!MayRunOnItsOwn(cmdInfo)) return FALSE;

    m_bShowSplash = cmdInfo.m_bShowSplash;
    CSplashWindow::Enable(m_bShowSplash);
    if (m_bInteractive) LoadStdProfileSettings(4);
    LoadWorkstationSettings();

    RegisterAutomationClasses(cmdInfo);
    if (!CreateMainWindow()) return FALSE;
    RegisterWithShell();
    BindTemplatesAndServices();
    if (!RunStartCommand(cmdInfo)) return FALSE;
    if (!CreateSpreadsheetWindow()) return FALSE;
    ReadSeparators();
    PrepareProjectSheet();
    // The status window: a document-less information view in an MDI child.
    m_pStatusFrame = qs::app::CreateStatusWindow(m_pMainFrame.data());
    StartBackgroundServices();
    return TRUE;
}

// The console trace, and the system-information layer's messages shown as
// message boxes over the main window.
void CQuillstoneApp::StartTraceAndMessageSink() {
    qs::trace::InitConsoleTrace();
    m_strLogFilePath.clear();
    si::SetMessageSink([](const std::string& text, const std::string& caption, si::MessageIcon icon) {
        MessageBox(qs::fw::MainWindow(), QString::fromStdString(text), QString::fromStdString(caption),
                   MB_OK | IconType(icon));
    });
    // A font record that cannot be read whole is told to the user; a reader
    // on another thread than the interface's still writes to standard error.
    CLOGFONT::SetErrorReporter([](const std::string& text) {
        if (qApp != nullptr && QThread::currentThread() == qApp->thread())
            AfxMessageBox(QString::fromStdString(text), MB_OK);
        else
            std::fprintf(stderr, "%s\n", text.c_str());
    });
}

// The edition, installation type and profile, from the registry's mode (or
// worked out from the installed files when no mode is set), and whether this
// is a Terminal Server session.
bool CQuillstoneApp::ReadInstallation(const CCommandLineInfo& cmdInfo) {
    const unsigned long mode = qs::app::ReadInstallationMode();
    std::string edition, profile;
    int type = 0;
    bool configured = true;
    if (mode == 1) {
        edition = si::kEditionStandard;
        type = 3;
        profile = "qstone5.ini";
        m_bStandardResources = true;
    } else if (mode == 2) {
        edition = si::kEditionEnterprise;
        type = 2;
        profile = "qstoneee.ini";
        m_bStandardResources = false;
    } else if (mode == 0) {
        qs::app::InstallationConfig config;
        if (!qs::app::ConfigureInstallationType(cmdInfo.m_bRunEmbedded, cmdInfo.m_bRunAutomated, config)) {
            AfxMessageBox(QStringLiteral("Unable to configure installation type.\nAborting the application!"),
                          MB_ICONSTOP);
            return false;
        }
        edition = config.edition;
        type = config.type;
        profile = config.profilePath;
        m_bStandardResources = config.standardResources;
        if (config.applicationMode) m_nApplicationMode = config.applicationMode;
    } else {
        configured = false;
    }
    if (configured) {
        m_strEdition = edition;
        m_nInstallationType = type;
        CWorkstationSetupDlg::LoadAccelerators();
        m_pszProfileName = QString::fromStdString(profile);
    }
    // The Terminal Server flag is taken once start-up has published it (or,
    // on the registry road, worked out here), never a value left by another
    // process.
    si::PublishedSystemValues published;
    if (si::ReadPublishedSystemValues(published) && mode == 0)
        m_bTerminalServer = published.terminalServer;
    else
        si::IsTerminalServer(m_bTerminalServer);
    return true;
}

// One interactive instance per user. A second start that names a file hands
// it to the running instance, which opens it and answers; only without an
// answer is the user told.
bool CQuillstoneApp::EnsureSingleInstance(const CCommandLineInfo& cmdInfo) {
    if (CheckSingleInstance()) return true;
    if (!cmdInfo.m_strFileName.isEmpty() &&
        qs::app::RequestShellCommand(qs::app::ShellOpenCommand(cmdInfo.m_strFileName), 60000) !=
            qs::app::kShellCommandNoInstance)
        return false;
    AfxMessageBox(QStringLiteral("Application is running."));
    return false;
}

// The embedded-only installation type runs only when started for automation.
bool CQuillstoneApp::MayRunOnItsOwn(const CCommandLineInfo& cmdInfo) {
    if (cmdInfo.m_bRunEmbedded || cmdInfo.m_bRunAutomated || m_nInstallationType != 4) return true;
    AfxMessageBox(QStringLiteral("This program only runs as a part of Quillstone Enterprise Edition!"),
                  MB_ICONINFORMATION);
    return false;
}

// The document strings, the template servers and the class factories.
void CQuillstoneApp::RegisterAutomationClasses(const CCommandLineInfo& cmdInfo) {
    RegisterDocumentStrings();
    CreateServerTemplates();
    ConnectServerTemplates(cmdInfo.m_bRunAutomated || cmdInfo.m_bRunEmbedded);
    COleObjectFactory::RegisterAll();
}

bool CQuillstoneApp::CreateMainWindow() {
    m_pMainFrame = new CMainFrame();
    if (!m_pMainFrame->LoadFrame(m_bStandardResources ? 128 : 326, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE)) {
        delete m_pMainFrame.data();
        return false;
    }
    m_pMainWnd = m_pMainFrame.data();
    qs::fw::SetMainWindow(m_pMainFrame.data());
    qs::fw::SetApplicationName(QStringLiteral("Qstone"));
    return true;
}

// Dropped files, the shell's open command and the project file types, for
// the editions a user starts from the desktop.
void CQuillstoneApp::RegisterWithShell() {
    if (!qs::app::IsStandardFamily(m_nInstallationType)) return;
    m_pMainFrame->setAcceptDrops(true);
    EnableShellOpen();
    RegisterShellFileTypes(TRUE);
    qs::app::RegisterProjectExtensions();
}

void CQuillstoneApp::BindTemplatesAndServices() {
    CreateViewTemplates();
    BindProjectFiles();
    BindNavigator();
    COleObjectFactory::UpdateRegistryAll(true);
}

// The command line's file or automation start; a plain start opens no new
// project (the Welcome dialog offers that), and shows the main window
// maximised unless automation drives the program.
bool CQuillstoneApp::RunStartCommand(CCommandLineInfo& cmdInfo) {
    if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileNew) cmdInfo.m_nShellCommand = CCommandLineInfo::FileNothing;
    if (!ProcessShellCommand(cmdInfo)) return false;
    if (!cmdInfo.m_bRunAutomated && !cmdInfo.m_bRunEmbedded) m_pMainFrame->showMaximized();
    return true;
}

// The hidden spreadsheet window the export and print code borrows.
bool CQuillstoneApp::CreateSpreadsheetWindow() {
    m_pSpreadsheetWnd = new CSpreadsheetWnd(m_pMainFrame.data());
    if (m_pSpreadsheetWnd->CreateInParent(m_pMainFrame.data())) {
        m_pSpreadsheetWnd->hide();
        return true;
    }
    delete m_pSpreadsheetWnd.data();
    m_pSpreadsheetWnd = nullptr;
    ReportStartupError(QStringLiteral("Could not create spreadsheet window.\nPlease check that all DLLs are in place."),
                       true);
    return false;
}

// The set-up sheet of new projects, and what it needs of the application.
void CQuillstoneApp::PrepareProjectSheet() {
    if (!m_pPrjSheet) {
        m_pPrjSheet = std::make_unique<CPrjSheet>(CPrjSheet::kCaptionFileProperties);
        m_pPrjSheet->m_psh.dwFlags |= PSH_NOAPPLYNOW;
        CPrjSheet::SetNewProjectSheet(m_pPrjSheet.get());
    }
    PrjSheetEnvironment& sheetEnv = PrjSheetEnv();
    sheetEnv.interactive = m_bInteractive;
    sheetEnv.applicationMode = m_nApplicationMode;
    sheetEnv.workingDirectory = QString::fromStdString(Settings().workingDirectory);
    sheetEnv.logFilePath = QString::fromStdString(m_strLogFilePath);
    sheetEnv.buildNumberFormat = [](int n, bool t, int d) { return BuildNumberFormat(n, t, d); };
    sheetEnv.buildAccountingFormat = [](int n, bool b, bool t, int d, const QString& c) {
        return BuildAccountingFormat(n, b, t, d, c);
    };
    sheetEnv.buildPercentFormat = [](int n, bool t, int d) { return BuildPercentFormat(n, t, d); };
    sheetEnv.beginProgress = [](const QString& caption) { qs::app::BeginStatusProgress(caption); };
    sheetEnv.endProgress = [](const QString& text) { qs::app::EndStatusProgress(text); };
    sheetEnv.redrawMainWindow = [] {
        if (CQuillstoneApp* app = Current(); app && app->MainFrame() && app->MainFrame()->isVisible())
            app->MainFrame()->repaint();
    };
    sheetEnv.defaultPageSetup = [] { return qs::app::LoadDefaultPageSetup(Settings().workingDirectory); };
    // A new project's tables must show in the navigator even when the user
    // last chose to see only tables with data.
    sheetEnv.newProjectCreated = [] { Settings().viewDataOnly = 0; };
    m_pPrjSheet->LoadFromProject(nullptr);
}

// From here on the program is interactive: the number-format extension, the
// column-sum precision, the document icons, the heartbeat and (for the
// desktop editions) the update check.
void CQuillstoneApp::StartBackgroundServices() {
    m_bInteractive = TRUE;
    InitNumbrixExtensionDLL();
    // The kernel's trace handle: a pipe of the message library, so that
    // traces sent with it reach the debug window and the message file.
    if (hdbg == nullptr) {
        hdbg = RegisterErrorDll();
        m_bOwnsTraceHandle = hdbg != nullptr;
    }
    LoadColumnSumFullPrecision();
    if (qs::app::IsStandardFamily(m_nInstallationType)) {
        qs::app::RegisterShellDocument("Quillstone.Document", "0");
        qs::app::RegisterShellDocument("DFL.Document", "2");
    }
    m_heartbeat.Start(m_pMainFrame.data(), 1);
    if (qs::app::IsStandardFamily(m_nInstallationType)) {
        m_pVersionThread = std::make_unique<VersionMonitorThread>();
        m_pVersionThread->InitInstance();
    }
}

BOOL CQuillstoneApp::OnIdle(LONG lCount) {
    // Each idle pass lets the main frame show the pending status text and
    // close a busy dialog that a finished step left up.
    if (m_pMainFrame) m_pMainFrame->EndBusy();
    return CWinApp::OnIdle(lCount);
}

bool CQuillstoneApp::CheckSingleInstance() {
    const char* name = qs::app::IsStandardFamily(m_nInstallationType)     ? kStandardCounter
                       : qs::app::IsEnterpriseFamily(m_nInstallationType) ? kEnterpriseCounter
                                                                          : nullptr;
    if (!name) return true;
    m_counter = std::make_unique<qs::ipc::InstanceCounter>(name);
    const int count = m_counter->Increment();
    if (count < 0) {
        // No shared counter to be had: run, but take no part in the rule.
        std::fprintf(stderr, "Qstone: instance counter unavailable\n");
        m_counter.reset();
        return true;
    }
    m_bCounted = true;
    // A Windows counter starting at -1 would now read count - 1.
    if (count - 1 != 0) return false;
    return true;
}

void CQuillstoneApp::LoadWorkstationSettings() {
    const std::string profile = ProfilePath();
    qs::app::LoadSettingsBeforeDirectories(profile);

    const std::string systemDirectory = qs::profile::ReadString(profile, "Settings", "System Directory");
    if (systemDirectory.empty())
        ReportStartupError(QStringLiteral("Unable to load the 'System Directory' from the INI file."));
    // The loader gets the cleaned folder: a trailing separator would make a
    // path with a doubled one.
    const std::string cleanSystem = qs::app::StripTrailingSeparators(systemDirectory);
    if (!cleanSystem.empty()) m_lexigrove.Load(cleanSystem);

    const std::string workingDirectory = qs::profile::ReadString(profile, "Settings", "Working Directory");
    if (workingDirectory.empty())
        ReportStartupError(QStringLiteral("Unable to load the 'Working Directory' from the INI file."));
    Settings().systemDirectory = cleanSystem;
    Settings().workingDirectory = workingDirectory;

    qs::app::LoadSettingsAfterDirectories(profile, m_nInstallationType);
    m_pszHelpFilePath = QString::fromStdString(Settings().helpFilePath);
    m_bSettingsLoaded = true;
    qs::app::SyncViewSettings();
}

void CQuillstoneApp::CreateServerTemplates() {
    using namespace qs::app::placeholder;
    const bool std = m_bStandardResources;
    m_pProjectTemplate = new CMultiDocTemplate(kProjectIds.Pick(std), RUNTIME_CLASS(CProjectDoc),
                                               RUNTIME_CLASS(CTreeFrame), RUNTIME_CLASS(CPrjTreeView));
    AddDocTemplate(m_pProjectTemplate);
    m_pDFLTemplate = new CMultiDocTemplate(kDFLIds.Pick(std), RUNTIME_CLASS(::CDFLDoc), RUNTIME_CLASS(CMDIChildWnd),
                                           RUNTIME_CLASS(::CDFLView));
    AddDocTemplate(m_pDFLTemplate);
    qs::app::BindFactorLibraries(*this);
    // The server templates are the application's own, not in its list.
    if (qs::app::IsEnterpriseFamily(m_nInstallationType))
        m_pAutomationTemplate = new CMultiDocTemplate(kAutomationId, RUNTIME_CLASS(CQuillstoneAutomationDoc),
                                                      RUNTIME_CLASS(CGraphFrame), RUNTIME_CLASS(CQuillstoneAutomationView));
    else if (qs::app::IsStandardFamily(m_nInstallationType))
        m_pStandaloneTemplate = new CMultiDocTemplate(kStandaloneId, RUNTIME_CLASS(CQuillstoneStandaloneDoc),
                                                      RUNTIME_CLASS(CGraphFrame), RUNTIME_CLASS(CQuillstoneStandaloneView));
}

void CQuillstoneApp::CreateViewTemplates() {
    using namespace qs::app::placeholder;
    const bool std = m_bStandardResources;
    auto add = [this](CMultiDocTemplate*& member, UINT id, const CRuntimeClass* frame, const CRuntimeClass* view) {
        member = new CMultiDocTemplate(id, RUNTIME_CLASS(CProjectDoc), frame, view);
        AddDocTemplate(member);
    };
    add(m_pTriangleTemplate, kViewIds.Pick(std), RUNTIME_CLASS(CChildFrame), RUNTIME_CLASS(CTriangView));
    add(m_pExhibitTemplate, kViewIds.Pick(std), RUNTIME_CLASS(CChildFrame), RUNTIME_CLASS(CExhibitView));
    add(m_pMethodTemplate, kViewIds.Pick(std), RUNTIME_CLASS(CChildFrame), RUNTIME_CLASS(::CMethodView));
    add(m_pScalarTemplate, kViewIds.Pick(std), RUNTIME_CLASS(CChildFrame), RUNTIME_CLASS(CScalarView));
    add(m_pInfoTemplate, kInfoIds.Pick(std), RUNTIME_CLASS(CChildFrame), RUNTIME_CLASS(::CInfoView));
    add(m_pUpdateTriangleTemplate, kUpdateIds.Pick(std), RUNTIME_CLASS(CUpdateFrame), RUNTIME_CLASS(::CTriang2View));
    add(m_pPPATemplate, kViewIds.Pick(std), RUNTIME_CLASS(CPPAFrame), RUNTIME_CLASS(::CPPAView));
    add(m_pParamsTemplate, kViewIds.Pick(std), RUNTIME_CLASS(CBSParamsFrame), RUNTIME_CLASS(::CTriang4View));
    add(m_pGraphTemplate, kViewIds.Pick(std), RUNTIME_CLASS(CGraphFrame), RUNTIME_CLASS(CGraphView));
    qs::app::BindGraphs(*this);
}

void CQuillstoneApp::AddToRecentFileList(const QString& path) {
    if (m_bInteractive) CWinApp::AddToRecentFileList(path);
}

void CQuillstoneApp::ReadSeparators() {
    const QLocale locale;
    const QString dec = locale.decimalPoint();
    const QString grp = locale.groupSeparator();
    m_cDecimalSeparator = dec.isEmpty() ? '.' : dec.at(0).toLatin1();
    m_cThousandsSeparator = grp.isEmpty() ? ',' : grp.at(0).toLatin1();
    // The number formats and parsers read the separators from here.
    qs::app::SetApplicationSeparators(QChar(m_cDecimalSeparator), QChar(m_cThousandsSeparator));
}

int CQuillstoneApp::ExitInstance() {
    // Documents closing from here on reach no part of the application.
    qs::project::Host() = {};
    // The statistics-import library.
    m_lexigrove.Release();
    // The hidden spreadsheet window.
    if (m_pSpreadsheetWnd) {
        delete m_pSpreadsheetWnd;
        m_pSpreadsheetWnd = nullptr;
    }
    // The set-up sheet of new projects.
    m_pPrjSheet.reset();
    // Only the last instance writes, and only settings it actually read:
    // an instance refused early would otherwise overwrite the user's file
    // with empty defaults.
    if (m_bCounted && m_counter) {
        const int left = m_counter->Decrement();
        m_bCounted = false;
        if (left >= 0 && left - 1 < 0 && m_bSettingsLoaded) qs::app::SaveSettings(ProfilePath());
    }
    m_counter.reset();
    // The classes are no longer offered to clients.
    COleObjectFactory::RevokeAll();
    // The two automation templates.
    delete m_pAutomationTemplate;
    m_pAutomationTemplate = nullptr;
    delete m_pStandaloneTemplate;
    m_pStandaloneTemplate = nullptr;
    // Windows must go while the QApplication exists, which ends before the
    // application object is destroyed: the version notice and a batch control
    // window left by a scripted step (its WM_DESTROY arrives now) go here too.
    m_pVersionThread.reset();
    DestroyBatchControlWindow();
    // The status window and the main frame go with the application's windows.
    if (m_pStatusFrame) {
        m_pStatusFrame->DestroyWindow();
        delete m_pStatusFrame.data();
    }
    if (qs::fw::MainWindow() == m_pMainFrame.data()) qs::fw::SetMainWindow(nullptr);
    if (m_pMainWnd == static_cast<CWnd*>(m_pMainFrame.data())) m_pMainWnd = nullptr;
    if (m_pMainFrame) {
        m_pMainFrame->DestroyWindow();
        delete m_pMainFrame.data();
    }
    // The kernel's trace handle goes back to the message library last.
    if (m_bOwnsTraceHandle) {
        UnRegisterErrorDll(static_cast<void**>(hdbg));
        hdbg = nullptr;
        m_bOwnsTraceHandle = false;
        CloseErrorDll();
    }
    return CWinApp::ExitInstance();
}

void CQuillstoneApp::LoadLayerColors() { qs::app::LoadLayerColors(ProfilePath()); }
void CQuillstoneApp::SaveLayerColors() { qs::app::SaveLayerColors(ProfilePath()); }
int CQuillstoneApp::LoadDefaultLayer() { return qs::app::LoadDefaultLayer(ProfilePath()); }
void CQuillstoneApp::SaveDefaultLayer() { qs::app::SaveDefaultLayer(ProfilePath()); }
bool CQuillstoneApp::LoadColumnSumFullPrecision() { return qs::app::LoadColumnSumFullPrecision(ProfilePath()); }
void CQuillstoneApp::SaveColumnSumFullPrecision() { qs::app::SaveColumnSumFullPrecision(ProfilePath()); }
void CQuillstoneApp::SetColumnSumFullPrecision(bool on) { qs::app::SetColumnSumFullPrecision(on); }
void CQuillstoneApp::LoadDisplayGraphLockItem() { qs::app::LoadDisplayGraphLockItem(ProfilePath()); }

void CQuillstoneApp::NameAutomationDocument() {
    if (m_bInteractive != 0 || m_pProjectTemplate == nullptr) return;
    const std::vector<CDocument*> docs = m_pProjectTemplate->Documents();
    if (docs.empty()) return;
    auto* doc = static_cast<CProjectDoc*>(docs.back());
    CProject* project = doc->GetProject();
    CKDVVantor* vantor = project ? project->GetCKDVVantor() : nullptr;
    CKDVTemplate* record = vantor ? vantor->GetTemplate() : nullptr;
    const QString name = record ? QString::fromStdString(record->GetName()) : QString();
    // Without a template name there is no file to name: the folder itself
    // must never become the document's path.
    if (name.isEmpty()) return;
    QString path = QString::fromStdString(Settings().filesPath);
    if (!path.endsWith(QLatin1Char('/')) && !path.endsWith(QLatin1Char('\\'))) path += QLatin1Char('/');
    path += name;
    doc->SetPathName(path, FALSE);
    // The named file joins the recent-file list although automation drives
    // the program: it is the file the export goes by, and the user finds it
    // there afterwards. (Files automation merely opens stay out of it.)
    CWinApp::AddToRecentFileList(path);
}

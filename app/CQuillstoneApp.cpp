#include "CQuillstoneApp.h"

#include <QApplication>
#include <QLocale>
#include <cstdio>
#include <ctime>

#include "AppRegistry.h"
#include "ConsoleTrace.h"
#include "InstallationType.h"
#include "MessageBox.h"
#include "QsInstanceCounter.h"
#include "QsProfile.h"
#include "ShellRegistration.h"
#include "SystemInfo.h"
#include "VersionCheck.h"
#include "WorkstationSettings.h"

bool gbLogFileContainsError = false;

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

// The thirteen document templates. Resource ids: standard / enterprise.
const DocTemplateSpec kProjectSpec{"project", 224, 326, "CProjectDoc", "CTreeFrame", "CPrjTreeView", true,
                                   "{82EB6738-F964-11D1-AE57-0020AF398A1D}"};
const DocTemplateSpec kDFLSpec{"factor library", 130, 327, "CDFLDoc", "CMDIChildWnd", "CDFLView", true, nullptr};
const DocTemplateSpec kAutomationSpec{"scripting server", 300, 300, "CQuillstoneAutomationDoc", "CGraphFrame",
                                      "CQuillstoneAutomationView", false, "{0A57B38A-5192-46D5-9A8D-793D43DBD437}"};
const DocTemplateSpec kStandaloneSpec{"import server", 301, 301, "CQuillstoneStandaloneDoc", "CGraphFrame",
                                      "CQuillstoneStandaloneView", false, "{71FAD140-9614-11D3-B745-00105A9A6256}"};
const DocTemplateSpec kViewSpecs[9] = {
    {"triangle", 129, 328, "CProjectDoc", "CChildFrame", "CTriangView", true, nullptr},
    {"exhibit", 129, 328, "CProjectDoc", "CChildFrame", "CExhibitView", true, nullptr},
    {"method", 129, 328, "CProjectDoc", "CChildFrame", "CMethodView", true, nullptr},
    {"scalar", 129, 328, "CProjectDoc", "CChildFrame", "CScalarView", true, nullptr},
    {"information", 128, 328, "CProjectDoc", "CChildFrame", "CInfoView", true, nullptr},
    {"update triangle", 251, 328, "CProjectDoc", "CUpdateFrame", "CTriang2View", true, nullptr},
    {"payment pattern", 129, 328, "CProjectDoc", "CPPAFrame", "CPPAView", true, nullptr},
    {"parameter triangle", 129, 328, "CProjectDoc", "CBSParamsFrame", "CTriang4View", true, nullptr},
    {"graph", 129, 328, "CProjectDoc", "CGraphFrame", "CGraphView", true, nullptr},
};

UINT IconType(si::MessageIcon icon) {
    switch (icon) {
        case si::MessageIcon::Information: return MB_ICONINFORMATION;
        case si::MessageIcon::Exclamation: return MB_ICONEXCLAMATION;
        case si::MessageIcon::Stop: return MB_ICONSTOP;
        case si::MessageIcon::None: break;
    }
    return 0;
}

bool IsSwitch(const QString& arg, const char* name) {
    return (arg.startsWith('/') || arg.startsWith('-')) &&
           arg.mid(arg.startsWith("--") ? 2 : 1).compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

}  // namespace

void CCommandLineInfo::Parse(const QStringList& arguments) {
    for (const QString& arg : arguments) {
        if (IsSwitch(arg, "Embedding")) {
            m_bRunEmbedded = true;
            m_bShowSplash = false;
        } else if (IsSwitch(arg, "Automation")) {
            m_bRunAutomated = true;
            m_bShowSplash = false;
        } else if (arg.startsWith('/') && arg.size() > 1 && !arg.mid(1).contains('/')) {
            // other framework switches (/p, /dde, ...) are not used by this program
        } else if (arg.startsWith('-')) {
        } else if (m_strFileName.empty()) {
            m_strFileName = arg.toStdString();
            m_nShellCommand = FileOpen;
        }
    }
    if (m_bRunEmbedded || m_bRunAutomated) m_nShellCommand = FileNothing;
}

CQuillstoneApp::CQuillstoneApp() {
    g_currentApp = this;
    m_strProfileName = kDefaultProfileName;
}

CQuillstoneApp::~CQuillstoneApp() {
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

BOOL CQuillstoneApp::InitInstance() {
    // 1.
    qs::trace::InitConsoleTrace();
    m_strLogFilePath.clear();
    si::SetMessageSink([](const std::string& text, const std::string& caption, si::MessageIcon icon) {
        MessageBox(qs::fw::MainWindow(), QString::fromStdString(text), QString::fromStdString(caption),
                   MB_OK | IconType(icon));
    });

    // 2.
    CCommandLineInfo cmdInfo;
    cmdInfo.Parse(m_arguments);

    // 3.
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
            return FALSE;
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
        m_strProfileName = profile;
    }
    // The Terminal Server flag is taken once start-up has published it (or,
    // on the registry road, worked out here), never a value left by another
    // process.
    si::PublishedSystemValues published;
    if (si::ReadPublishedSystemValues(published) && mode == 0)
        m_bTerminalServer = published.terminalServer;
    else
        si::IsTerminalServer(m_bTerminalServer);

    // 4.
    if (!CheckSingleInstance()) return FALSE;

    // 6. (5: nothing to initialise for OLE here.)
    if (!cmdInfo.m_bRunEmbedded && !cmdInfo.m_bRunAutomated && m_nInstallationType == 4) {
        AfxMessageBox(QStringLiteral("This program only runs as a part of Quillstone Enterprise Edition!"),
                      MB_ICONINFORMATION);
        return FALSE;
    }

    // 7.
    m_bShowSplash = cmdInfo.m_bShowSplash;

    // 8. A recent-file list of four entries.
    m_recentFiles.clear();
    for (int i = 1; i <= 4; ++i) {
        const std::string f =
            qs::profile::ReadString(m_strProfileName, "Recent File List", "File" + std::to_string(i));
        if (!f.empty()) m_recentFiles << QString::fromStdString(f);
    }

    // 9.
    LoadWorkstationSettings();

    // 10.
    CreateServerTemplates();

    // 11.
    m_pMainFrame = std::make_unique<CMainFrame>();
    if (!m_pMainFrame->LoadFrame(m_bStandardResources ? 128 : 326)) {
        m_pMainFrame.reset();
        return FALSE;
    }
    qs::fw::SetMainWindow(m_pMainFrame.get());
    qs::fw::SetApplicationName(QStringLiteral("Qstone"));

    // 12.
    if (qs::app::IsStandardFamily(m_nInstallationType)) {
        m_pMainFrame->setAcceptDrops(true);
        qs::app::RegisterProjectExtensions();
    }

    // 13.
    CreateViewTemplates();

    // 14.
    if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileNew) cmdInfo.m_nShellCommand = CCommandLineInfo::FileNothing;
    if (!ProcessShellCommand(cmdInfo)) return FALSE;

    // 15.
    if (!cmdInfo.m_bRunAutomated && !cmdInfo.m_bRunEmbedded) m_pMainFrame->showMaximized();

    // 16.
    m_pSpreadsheetWnd = CSpreadsheetWnd::CreateInParent(m_pMainFrame.get());
    if (!m_pSpreadsheetWnd) {
        ReportStartupError(QStringLiteral("Could not create spreadsheet window.\nPlease check that all DLLs are in place."),
                           true);
        return FALSE;
    }

    // 17.
    ReadSeparators();

    // 18.
    if (!m_pPrjSheet) {
        m_pPrjSheet = std::make_unique<CPrjSheet>();
        m_pPrjSheet->SetFlags(m_pPrjSheet->Flags() | CPrjSheet::kNoApplyNow);
    }
    m_pPrjSheet->ResetPages(nullptr);

    // 19.
    m_pStatusFrame = std::make_unique<CStatusWindowFrame>();

    // 20.
    m_bInteractive = TRUE;
    LoadColumnSumFullPrecision();

    // 21.
    if (qs::app::IsStandardFamily(m_nInstallationType)) {
        qs::app::RegisterShellDocument("Quillstone.Document", "0");
        qs::app::RegisterShellDocument("DFL.Document", "2");
    }

    // 22.
    m_heartbeat.Start(m_pMainFrame.get(), 1);

    // 23.
    if (qs::app::IsStandardFamily(m_nInstallationType)) {
        m_pVersionThread = std::make_unique<VersionMonitorThread>();
        m_pVersionThread->InitInstance();
    }

    // 24.
    return TRUE;
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
    if (count - 1 != 0) {
        AfxMessageBox(QStringLiteral("Application is running."));
        return false;
    }
    return true;
}

void CQuillstoneApp::LoadWorkstationSettings() {
    const std::string& profile = m_strProfileName;
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
    m_strHelpFilePath = Settings().helpFilePath;
    m_bSettingsLoaded = true;
}

CMultiDocTemplate* CQuillstoneApp::AddTemplate(const DocTemplateSpec& spec, bool addToApplication) {
    m_ownedTemplates.push_back(std::make_unique<CMultiDocTemplate>(spec, m_bStandardResources));
    CMultiDocTemplate* t = m_ownedTemplates.back().get();
    if (addToApplication) m_templateOrder.push_back(t);
    return t;
}

void CQuillstoneApp::CreateServerTemplates() {
    m_pProjectTemplate = AddTemplate(kProjectSpec, true);
    if (qs::app::IsStandardFamily(m_nInstallationType)) m_pProjectTemplate->SetRegistered(true);
    m_pDFLTemplate = AddTemplate(kDFLSpec, true);
    if (qs::app::IsEnterpriseFamily(m_nInstallationType)) {
        m_pAutomationTemplate = AddTemplate(kAutomationSpec, false);
        m_pAutomationTemplate->SetRegistered(true);
    } else if (qs::app::IsStandardFamily(m_nInstallationType)) {
        m_pStandaloneTemplate = AddTemplate(kStandaloneSpec, false);
        m_pStandaloneTemplate->SetRegistered(true);
    }
}

void CQuillstoneApp::CreateViewTemplates() {
    CMultiDocTemplate** targets[9] = {&m_pTriangleTemplate,       &m_pExhibitTemplate, &m_pMethodTemplate,
                                    &m_pScalarTemplate,         &m_pInfoTemplate,    &m_pUpdateTriangleTemplate,
                                    &m_pPPATemplate,            &m_pParamsTemplate,  &m_pGraphTemplate};
    for (int i = 0; i < 9; ++i) *targets[i] = AddTemplate(kViewSpecs[i], true);
}

bool CQuillstoneApp::ProcessShellCommand(const CCommandLineInfo& info) {
    switch (info.m_nShellCommand) {
        case CCommandLineInfo::FileNothing:
        case CCommandLineInfo::FileNew:
            return true;
        case CCommandLineInfo::FileOpen:
            // Opening a project from the command line needs the project
            // document, which is not part of this program yet.
            AfxMessageBox(QStringLiteral("Cannot open %1.").arg(QString::fromStdString(info.m_strFileName)));
            return false;
    }
    return false;
}

void CQuillstoneApp::ReadSeparators() {
    const QLocale locale;
    const QString dec = locale.decimalPoint();
    const QString grp = locale.groupSeparator();
    m_cDecimalSeparator = dec.isEmpty() ? '.' : dec.at(0).toLatin1();
    m_cThousandsSeparator = grp.isEmpty() ? ',' : grp.at(0).toLatin1();
}

int CQuillstoneApp::ExitInstance() {
    // 1.
    m_lexigrove.Release();
    // 2.
    if (m_pSpreadsheetWnd) {
        delete m_pSpreadsheetWnd;
        m_pSpreadsheetWnd = nullptr;
    }
    // 3.
    m_pPrjSheet.reset();
    // 4. Only the last instance writes, and only settings it actually read:
    // an instance refused early would otherwise overwrite the user's file
    // with empty defaults.
    if (m_bCounted && m_counter) {
        const int left = m_counter->Decrement();
        m_bCounted = false;
        if (left >= 0 && left - 1 < 0 && m_bSettingsLoaded) qs::app::SaveSettings(m_strProfileName);
    }
    m_counter.reset();
    // 6.
    if (m_pAutomationTemplate || m_pStandaloneTemplate) {
        std::erase_if(m_ownedTemplates, [this](const std::unique_ptr<CMultiDocTemplate>& t) {
            return t.get() == m_pAutomationTemplate || t.get() == m_pStandaloneTemplate;
        });
        m_pAutomationTemplate = nullptr;
        m_pStandaloneTemplate = nullptr;
    }
    m_pStatusFrame.reset();
    if (m_pMainFrame) {
        if (qs::fw::MainWindow() == m_pMainFrame.get()) qs::fw::SetMainWindow(nullptr);
        m_pMainFrame.reset();
    }
    return 0;
}

void CQuillstoneApp::LoadLayerColors() { qs::app::LoadLayerColors(m_strProfileName); }
void CQuillstoneApp::SaveLayerColors() { qs::app::SaveLayerColors(m_strProfileName); }
int CQuillstoneApp::LoadDefaultLayer() { return qs::app::LoadDefaultLayer(m_strProfileName); }
void CQuillstoneApp::SaveDefaultLayer() { qs::app::SaveDefaultLayer(m_strProfileName); }
bool CQuillstoneApp::LoadColumnSumFullPrecision() { return qs::app::LoadColumnSumFullPrecision(m_strProfileName); }
void CQuillstoneApp::SaveColumnSumFullPrecision() { qs::app::SaveColumnSumFullPrecision(m_strProfileName); }
void CQuillstoneApp::SetColumnSumFullPrecision(bool on) { qs::app::SetColumnSumFullPrecision(on); }
void CQuillstoneApp::LoadDisplayGraphLockItem() { qs::app::LoadDisplayGraphLockItem(m_strProfileName); }

#pragma once
// The one application object of Qstone: start-up (InitInstance), shutdown
// (ExitInstance), the workstation settings, the document templates, the
// single-instance rule per edition family and the start-up failure reports.
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "CInstanceHeartbeat.h"
#include "LexigroveLoader.h"
#include "Placeholders.h"
#include "WindowsTypes.h"

class VersionMonitorThread;
class QWidget;
namespace qs::ipc {
class InstanceCounter;
}

// The framework's standard command-line switches; the program adds none.
struct CCommandLineInfo {
    enum ShellCommand { FileNew, FileOpen, FileNothing };
    bool m_bShowSplash = true;
    bool m_bRunEmbedded = false;
    bool m_bRunAutomated = false;
    ShellCommand m_nShellCommand = FileNew;
    std::string m_strFileName;

    void Parse(const QStringList& arguments);  // arguments without the program name
};

class CQuillstoneApp {
public:
    CQuillstoneApp();
    virtual ~CQuillstoneApp();
    CQuillstoneApp(const CQuillstoneApp&) = delete;
    CQuillstoneApp& operator=(const CQuillstoneApp&) = delete;

    // The command line start-up parses (program name excluded).
    void SetCommandLine(const QStringList& arguments) { m_arguments = arguments; }

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // Workstation settings accessors.
    void LoadLayerColors();
    void SaveLayerColors();
    int LoadDefaultLayer();
    void SaveDefaultLayer();
    bool LoadColumnSumFullPrecision();
    void SaveColumnSumFullPrecision();
    void SetColumnSumFullPrecision(bool on);
    void LoadDisplayGraphLockItem();

    // The start-up failure report: a message box (only while the main window
    // is visible when onlyIfVisible), and under automation a line in the log
    // file.
    void ReportStartupError(const QString& text, bool onlyIfVisible = false);

    // State other parts read.
    BOOL m_bInteractive = TRUE;
    int m_nApplicationMode = 0;
    std::string m_strLogFilePath;
    int m_nInstallationType = 0;
    std::string m_strEdition;
    std::string m_strProfileName;  // the profile every setting goes to
    bool m_bStandardResources = true;
    bool m_bTerminalServer = false;
    bool m_bShowSplash = true;
    char m_cDecimalSeparator = 0;
    char m_cThousandsSeparator = 0;
    QStringList m_recentFiles;
    std::string m_strHelpFilePath;

    CMultiDocTemplate* m_pProjectTemplate = nullptr;
    CMultiDocTemplate* m_pDFLTemplate = nullptr;
    CMultiDocTemplate* m_pAutomationTemplate = nullptr;  // scripting server (types 2, 4)
    CMultiDocTemplate* m_pStandaloneTemplate = nullptr;  // import server (types 1, 3, 5, 6)
    CMultiDocTemplate* m_pTriangleTemplate = nullptr;
    CMultiDocTemplate* m_pExhibitTemplate = nullptr;
    CMultiDocTemplate* m_pMethodTemplate = nullptr;
    CMultiDocTemplate* m_pScalarTemplate = nullptr;
    CMultiDocTemplate* m_pInfoTemplate = nullptr;
    CMultiDocTemplate* m_pUpdateTriangleTemplate = nullptr;
    CMultiDocTemplate* m_pPPATemplate = nullptr;
    CMultiDocTemplate* m_pParamsTemplate = nullptr;
    CMultiDocTemplate* m_pGraphTemplate = nullptr;
    // The templates added to the application, in the order they were added.
    const std::vector<CMultiDocTemplate*>& Templates() const { return m_templateOrder; }

    CMainFrame* MainFrame() const { return m_pMainFrame.get(); }
    CSpreadsheetWnd* SpreadsheetWindow() const { return m_pSpreadsheetWnd; }
    CPrjSheet* ProjectSheet() const { return m_pPrjSheet.get(); }
    CStatusWindowFrame* StatusWindowFrame() const { return m_pStatusFrame.get(); }
    CInstanceHeartbeat& Heartbeat() { return m_heartbeat; }
    VersionMonitorThread* VersionThread() const { return m_pVersionThread.get(); }
    const qs::app::LexigroveLoader& Lexigrove() const { return m_lexigrove; }
    bool SettingsLoaded() const { return m_bSettingsLoaded; }

    static CQuillstoneApp* Current();

private:
    bool CheckSingleInstance();
    void LoadWorkstationSettings();
    void CreateServerTemplates();
    void CreateViewTemplates();
    CMultiDocTemplate* AddTemplate(const struct DocTemplateSpec& spec, bool addToApplication);
    bool ProcessShellCommand(const CCommandLineInfo& info);
    void ReadSeparators();

    QStringList m_arguments;
    bool m_bSettingsLoaded = false;
    bool m_bCounted = false;
    std::unique_ptr<qs::ipc::InstanceCounter> m_counter;
    std::vector<std::unique_ptr<CMultiDocTemplate>> m_ownedTemplates;
    std::vector<CMultiDocTemplate*> m_templateOrder;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    CSpreadsheetWnd* m_pSpreadsheetWnd = nullptr;  // child of the main frame
    std::unique_ptr<CPrjSheet> m_pPrjSheet;
    std::unique_ptr<CStatusWindowFrame> m_pStatusFrame;
    std::unique_ptr<VersionMonitorThread> m_pVersionThread;
    CInstanceHeartbeat m_heartbeat;
    qs::app::LexigroveLoader m_lexigrove;
};

// The kernel's flag that the last automation run logged an error.
extern bool gbLogFileContainsError;

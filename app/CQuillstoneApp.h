#pragma once
#include "KernelGlobals.h"  // gbLogFileContainsError, bGlobalVarColumnSumFullPrecision
// The one application object of Qstone: start-up (InitInstance), shutdown
// (ExitInstance), the workstation settings, the document templates, the
// single-instance rule per edition family and the start-up failure reports.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QMdiSubWindow>  // the framework headers keep QPointers to one

#include "CFrameWnd.h"
#include "shell/CInstanceHeartbeat.h"
#include "COleObjectFactory.h"
#include "frames/CMainFrame.h"
#include "CWinApp.h"
#include "KernelTypes.h"
#include "startup/LexigroveLoader.h"
#include "CPrjSheet.h"
#include "frames/Placeholders.h"

class CMultiDocTemplate;
class CPrjTreeView;
class CProject;
class CTreeFrame;
class CView;
class CDocTemplate;
class CProjectDoc;
class CFrameWnd;
class QPrinter;
class CPrintInfo;
class CFormula;
class VersionMonitorThread;
class QWidget;
namespace qs::ipc {
class InstanceCounter;
}

class CQuillstoneApp : public CWinApp {
public:
    CQuillstoneApp();
    ~CQuillstoneApp() override;

    // The command line start-up parses (program name excluded).
    void SetCommandLine(const QStringList& arguments) { m_arguments = arguments; }

    BOOL InitInstance() override;
    int ExitInstance() override;
    // Files opened under automation stay out of the recent-file list.
    void AddToRecentFileList(const QString& path) override;

    // Workstation settings accessors.
    void LoadLayerColors();
    void SaveLayerColors();
    int LoadDefaultLayer();
    void SaveDefaultLayer();
    bool LoadColumnSumFullPrecision();
    void SaveColumnSumFullPrecision();
    void SetColumnSumFullPrecision(bool on);
    void LoadDisplayGraphLockItem();
    // Under automation, gives the last project document its path under
    // "Files Path", named after its template, so that an export has a file
    // to go by, and adds that path to the recent-file list. Does nothing
    // while a user drives the program.
    void NameAutomationDocument();

    // The statistics-database import: the wizard, then the import run.
    void OnStatisticsDbImport();
    // File > Import, File > Export and Convert PC5 Files: one batch of the
    // import and export subsystem each (files/AppFileExchange.cpp). The
    // exports first give an automation document its path.
    void OnImportLotus();
    void OnImportEnhancedAscii();
    void OnImportAscii();
    void OnExportLotus();
    void OnExportEnhancedAscii();
    void OnExportAscii();
    void OnConvertPC5Files();
    // The scripting server's summary data: the named summary export list's
    // tables, exported by the project document's summary export batch. The
    // list and the batch are plugged in by the summary export
    // (m_summaryExport); the status text says "done" only when it ran.
    void GenerateSummaryData(const QString& listName, CProjectDoc* doc);
    struct SummaryExport {
        // The list's table ids and names; false when the list cannot be loaded.
        std::function<bool(const QString& listName, std::vector<QSID>& ids, QStringList& names)> loadList;
        std::function<void(CProjectDoc& doc, const std::vector<QSID>& ids, const QStringList& names)> runBatch;
    };
    SummaryExport m_summaryExport;
    void OnFilePrintSetup();
    // ---- printing (files/AppPrinting.cpp)
    // The navigator's current project document; null without one.
    CProjectDoc* NavigatorProject() const;
    // File > Print...: the default print list in the Print List dialog.
    void OnFilePrint();
    // Print Active Table: a list of the active object alone, printed.
    void OnFilePrintDirect();
    // The project's print management: the active object's list in the Print
    // List dialog (doc null: the navigator's project).
    void OnManagePrinting(CProjectDoc* doc);
    void OnBatchPrint();
    // Prints the print list of that name for doc: 1 when it was found and
    // printed to its end, else 0.
    int PrintNamedList(const QString& name, CProjectDoc* doc);
    // Header, footer and title fields ("&[Page]" ...); info, doc and object
    // may be null.
    QString ExpandPrintFields(const QString& text, CPrintInfo* info, CProjectDoc* doc, CFormula* object) const;
    // The printer of a print job: the one chosen in Print Setup, else the
    // default printer, else a PDF file the user names. False on Cancel.
    bool PreparePrinter(QPrinter& printer, CProjectDoc* doc, const QString& jobTitle) const;
    void OnHelpContents();
    // Shows a help topic ("file::/topic > window"): the help file opens with
    // the desktop's handler; a missing file is said plainly.
    void ShowHelpTopic(const QString& topic);
    // The small handlers of the command table (commands/AppCommands.cpp;
    // the table is commands/AppCommandTable.cpp).
    void OnTable100();
    void OnViewZoom();
    void OnWorkstationSetup();
    void OnViewCalendar();
    void OnTechnicalSupport();
    void OnRunPdf();
    void OnFileNewFactorLibrary();
    // Asks every window but the navigator once to close.
    void OnCloseAllChildWindows();
    void OnAppExitChecked();
    void OnGraph();
    // True when the tail-factor analysis program runs (and it then told the
    // user to close it first).
    bool CheckTailFactorAnalysisOpen();
    // The project navigator, when it exists, enables the navigator's commands.
    virtual bool NavigatorExists() const;

    // The start-up failure report: a message box (only while the main window
    // is visible when onlyIfVisible), and under automation a line in the log
    // file.
    void ReportStartupError(const QString& text, bool onlyIfVisible = false);

    // Set by the program's main: SIGTERM/SIGINT end the event loop.
    bool m_bQuitOnSignals = false;

    // State other parts read.
    BOOL m_bInteractive = TRUE;
    int m_nApplicationMode = 0;
    std::string m_strLogFilePath;
    int m_nInstallationType = 0;
    std::string m_strEdition;
    bool m_bStandardResources = true;
    bool m_bTerminalServer = false;
    bool m_bShowSplash = true;
    // 1 while a scripting or import-server document exists: New then makes a
    // project at once, asking nothing.
    int m_nAutomationActive = 0;
    // Non-zero while an import or export batch runs: its file chooser starts
    // in "Files Path" whatever it lists.
    int m_nBatchRunning = 0;
    char m_cDecimalSeparator = 0;
    char m_cThousandsSeparator = 0;

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
    // The profile every setting goes to, as qs::profile takes it.
    std::string ProfilePath() const { return m_pszProfileName.toStdString(); }

    CMainFrame* MainFrame() const { return m_pMainFrame.data(); }
    CSpreadsheetWnd* SpreadsheetWindow() const { return m_pSpreadsheetWnd; }
    CPrjSheet* ProjectSheet() const { return m_pPrjSheet.get(); }
    CFrameWnd* StatusWindowFrame() const { return m_pStatusFrame; }
    CInstanceHeartbeat& Heartbeat() { return m_heartbeat; }
    VersionMonitorThread* VersionThread() const { return m_pVersionThread.get(); }
    const qs::app::LexigroveLoader& Lexigrove() const { return m_lexigrove; }
    bool SettingsLoaded() const { return m_bSettingsLoaded; }

    static CQuillstoneApp* Current();

    // ---- project files (AppFileOpen.cpp)
    // Opens by extension: ".dfl" a factor library, ".pc5" a predecessor file
    // converted to a new ".qs5", anything else a project; an open file is
    // returned as it is.
    CDocument* OpenDocumentFile(const QString& path) override;
    CDocument* FindOpenDocument(const QString& path, CDocTemplate* tmpl) const;
    // The one chooser for project files. titleId 0 takes the title from
    // fileName. With the multi-select flag (0x200) the chosen paths go to
    // paths, otherwise to fileName. False on Cancel.
    bool ChooseProjectFiles(QString& fileName, UINT titleId, DWORD extraFlags, bool open, CDocTemplate* tmpl,
                            QStringList* paths, const QString& okCaption = QString());
    void ShowProjectInNavigator(CProjectDoc* doc);
    void OnFileNewChoice();
    CProjectDoc* OnFileNewProject();
    void OnFileOpenProjects();
    void OnCloseAll();
    // Start-up's Welcome dialog (when "Show Start Dialog" is on).
    void OnStart();
    // Closes an open update window first (it may be kept), marks projects
    // with kernel changes modified, asks, and lets the documents go.
    BOOL SaveAllModified() override;
    // Set by the navigator: places a newly opened project in it.
    std::function<void(CProjectDoc*)> m_showProjectInNavigator;

    // ---- the navigator and the services around it (AppNavigator.cpp)
    // The navigator's tree view, null until the first project is shown.
    CPrjTreeView* GetNavigator() const;
    // The tree view registers itself (and unregisters with null).
    void SetNavigator(CPrjTreeView* view);
    CTreeFrame* NavigatorFrame() const;
    void ShowNavigator();
    void SelectNavigatorObject(QSID id, unsigned short layer, CProjectDoc* doc, bool show);
    // Every view of every project document, in the template's order.
    void UpdateAllProjectViews(CView* sender, LPARAM hint = 0, CObject* pHint = nullptr);
    // A project window other than the navigator is open, or the status window shows.
    bool HasOpenDataWindows() const;
    void RefreshNavigator();
    void GetProjectDocuments(std::vector<CProjectDoc*>& docs) const;
    CProject* GetActiveProject() const;
    void GetNavigatorSelection(CProjectDoc*& doc, unsigned short& layer, QSID& objectId) const;

    // ---- automation classes and the batch step (AppOleRegistration.cpp)
    // The window that marks a scripted step waiting for the user (invisible,
    // disabled); destroyed at shutdown at the latest.
    HWND CreateBatchControlWindow(BYTE flag);
    void DestroyBatchControlWindow();
    HWND m_hBatchControlWnd = nullptr;
    BYTE m_nBatchControlFlag = 0;
    // The template servers of the project document, the scripting server and
    // the import server (unconnected unless the edition offers the class).
    COleTemplateServer m_server;
    COleTemplateServer m_automationServer;
    COleTemplateServer m_standaloneServer;

private:
    // The steps of InitInstance, in their order.
    void StartTraceAndMessageSink();
    bool ReadInstallation(const CCommandLineInfo& cmdInfo);
    bool EnsureSingleInstance(const CCommandLineInfo& cmdInfo);
    bool MayRunOnItsOwn(const CCommandLineInfo& cmdInfo);
    void RegisterAutomationClasses(const CCommandLineInfo& cmdInfo);
    bool CreateMainWindow();
    void RegisterWithShell();
    void BindTemplatesAndServices();
    bool RunStartCommand(CCommandLineInfo& cmdInfo);
    bool CreateSpreadsheetWindow();
    void PrepareProjectSheet();
    void StartBackgroundServices();

    void BindNavigator();
    void PlaceProjectInNavigator(CProjectDoc* doc);
    bool CheckSingleInstance();
    void LoadWorkstationSettings();
    void CreateServerTemplates();
    void RegisterDocumentStrings();
    void ConnectServerTemplates(bool startedForAutomation);
    void CreateViewTemplates();
    void ReadSeparators();
    void BindProjectFiles();
    BOOL OnIdle(LONG lCount) override;

    bool m_bSettingsLoaded = false;
    bool m_bCounted = false;
    // The kernel's trace handle is the message pipe this application
    // registered (and gives back at exit).
    bool m_bOwnsTraceHandle = false;
    std::unique_ptr<qs::ipc::InstanceCounter> m_counter;
    std::unique_ptr<QPrinter> m_pPrinter;
    // Frames delete themselves once destroyed (a close through the window
    // system or quit() does that), so they are only watched here.
    QPointer<CMainFrame> m_pMainFrame;
    QPointer<CSpreadsheetWnd> m_pSpreadsheetWnd;  // child of the main frame
    std::unique_ptr<CPrjSheet> m_pPrjSheet;
    QPointer<CFrameWnd> m_pStatusFrame;  // an MDI child of the main frame
    std::unique_ptr<VersionMonitorThread> m_pVersionThread;
    CInstanceHeartbeat m_heartbeat;
    qs::app::LexigroveLoader m_lexigrove;
    QPointer<CView> m_pNavigator;  // the navigator's CPrjTreeView
};


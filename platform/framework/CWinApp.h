#pragma once
// The application object: one per program, constructed before the event
// loop exists. AfxWinMain makes the QApplication, runs InitInstance, and
// when that succeeds the event loop (Run), calling OnIdle whenever the loop
// is about to wait; ExitInstance runs on the way out in either case.
//
// Settings (GetProfileString/Int, WriteProfileString/Int) go to the ini
// profile m_pszProfileName (default "<application name>.ini", a plain name
// lives in the Windows directory).
#include <QString>
#include <QStringList>

#include <vector>

#include "CCmdTarget.h"
#include "CCommandLineInfo.h"

class CDocTemplate;
class CDocument;
class CWnd;
class QApplication;

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(const QString& appName = QString());
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // The event loop; returns the exit code of ExitInstance.
    virtual int Run();
    // lCount counts the calls since the loop last had work; return TRUE to
    // be called again before the loop waits. Count 0 updates the main
    // frame's toolbars and status bar.
    virtual BOOL OnIdle(LONG lCount);
    // Runs the idle calls as the loop would (until OnIdle returns FALSE).
    void RunIdle();

    void AddDocTemplate(CDocTemplate* pTemplate);  // the application owns it
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
    const std::vector<CDocTemplate*>& DocTemplates() const { return m_templates; }
    // Opens a path with the first template (programs override to choose by extension).
    virtual CDocument* OpenDocumentFile(const QString& path);
    virtual void AddToRecentFileList(const QString& path);
    // Asked before the documents close (programs add their own checks).
    virtual BOOL SaveAllModified();
    void CloseAllDocuments(BOOL bEndSession);

    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    // Does what the command line asked; FALSE ends the program (after a
    // failure, and after printing, registering or unregistering).
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    // ID_FILE_NEW, ID_FILE_OPEN, ID_APP_EXIT, ID_FILE_MRU_FILE1..16.
    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();
    BOOL OnOpenRecentFile(UINT nID);

    // A file chooser (modal, scriptable like any dialog). FALSE on cancel.
    virtual BOOL DoPromptFileName(QString& fileName, const QString& title, BOOL bOpenFileDialog,
                                  CDocTemplate* pTemplate);

    // The recent-file list: LoadStdProfileSettings(n) keeps n entries,
    // stored in section "Recent File List" as "File1".."Filen".
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void SaveStdProfileSettings();
    const QStringList& RecentFiles() const { return m_recentFiles; }

    QString GetProfileString(const QString& section, const QString& entry, const QString& defaultValue = QString());
    int GetProfileInt(const QString& section, const QString& entry, int defaultValue);
    BOOL WriteProfileString(const QString& section, const QString& entry, const QString& value);
    BOOL WriteProfileInt(const QString& section, const QString& entry, int value);

    // Shell integration is done by the program's own desktop registration;
    // these keep start-up's calls meaningful and do nothing.
    void EnableShellOpen() {}
    void RegisterShellFileTypes(BOOL = FALSE) {}
    void UnregisterShellFileTypes() {}

    void DoWaitCursor(int nCode);

    // The command line the program was started with (without the program name).
    QStringList m_arguments;
    QString m_pszAppName;
    QString m_pszExeName;
    QString m_pszProfileName;
    QString m_pszHelpFilePath;
    int m_nCmdShow = 5;  // SW_SHOW
    CWnd* m_pMainWnd = nullptr;

protected:
    std::vector<CDocTemplate*> m_templates;
    QStringList m_recentFiles;
    UINT m_nMaxMRU = 0;

private:
    friend int AfxWinMain(int argc, char** argv);
    bool m_inIdle = false;
    bool m_idleWanted = true;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// The program's entry: QApplication, InitInstance, Run / ExitInstance.
int AfxWinMain(int argc, char** argv);

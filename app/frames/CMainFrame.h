#pragma once
// The main window: an MDI frame with the toolbar, the status bar and the MDI
// client, and the hub of the program's progress reporting. Long operations
// report through the free functions below and the frame's private messages:
//
//   WM_USER      idle flush (the application sends it on every idle pass):
//                the pending text goes to pane 0 and the frame's own busy
//                dialog goes.
//   WM_USER+2    one step: the registered progress control steps, a busy
//                dialog comes up when none is, the pending text becomes its
//                message and the interface is kept alive (PumpMessages).
//   WM_USER+3    wParam = number of steps: SetProgressRange.
//   WM_USER+4    wParam = const char* (UTF-8), lParam = 0: a line for the
//                status window; send it, never post it (the text is read
//                during the call).
//   WM_USER+5/6  the application's batch continue / batch exit handlers.
//
// A file open that the running instance receives from a second start of the
// program (the shell channel) runs here, after which the caller gets the
// result; while automation drives the program the request is refused and
// the caller is told so at once.
#include <QMdiSubWindow>  // CMDIFrameWnd.h keeps a QPointer to one
#include <QPointer>
#include <QProgressBar>
#include <QString>

#include <functional>
#include <memory>

#include "CMDIFrameWnd.h"
#include "CStatusBar.h"
#include "CToolBar.h"
#include "MDIChildCloseRule.h"
#include "frames/StatusSink.h"

class CBusyDialog;
class CNumberFormat;

class QTimer;

namespace qs::app {
class ShellOpenServer;
}

// Pane ids of the status bar.
enum : UINT {
    ID_INDICATOR_FREE = 33120,  // the data views write this pane
    ID_INDICATOR_DATE = 112,    // the date and current-cell pane
};

// A data view that can tell the displayed text of its spreadsheet's current
// cell (false when it has no spreadsheet window).
class IDataViewCurrentCell {
public:
    virtual ~IDataViewCurrentCell() = default;
    virtual bool CurrentCellText(QString* text) const = 0;
};

class CMainFrame : public CMDIFrameWnd, public qs::app::StatusSink {
public:
    static constexpr UINT kStandardResource = 128;
    static constexpr UINT kEnterpriseToolBar = 326;
    static constexpr int kIndicatorCount = 5;
    static constexpr UINT kPaneTimerId = 4096;
    static constexpr int kPaneTimerMs = 60 * 1000;

    CMainFrame();
    ~CMainFrame() override;

    BOOL LoadFrame(UINT nIDResource = kStandardResource,
                   DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* pParentWnd = nullptr,
                   CCreateContext* pContext = nullptr) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL DestroyWindow() override;
    void OnMDIDestroy(CMDIChildWnd* pChild) override;
    // The menu switch also hooks the prompt pane and the window list.
    void LoadMenu(UINT nIDResource) override;

    // Position of a pane id among the five fixed indicators, -1 when absent
    // (the appended date pane is not among them).
    static int FindIndicatorIndex(UINT nID);

    CStatusBar& StatusBar() { return *m_wndStatusBar; }
    CToolBar& ToolBar() { return *m_wndToolBar; }
    int ResourceId() const { return static_cast<int>(GetResourceId()); }
    bool AcceptsDroppedFiles() const { return acceptDrops(); }
    CNumberFormat* NumberFormat() const { return m_pNumberFormat.get(); }
    const QString& PendingStatusText() const { return m_strPendingStatus; }
    QProgressBar* ProgressCtrl() const { return m_pProgressCtrl.data(); }
    unsigned RemainingSteps() const { return m_nRemainingSteps; }
    bool IsMenuActive() const { return m_bMenuActive; }

    // The progress protocol (also reachable through the free functions).
    void SetProgressCtrl(QProgressBar* progress);
    void ClearProgressCtrl();
    void SetStatusMessage(const QString& text);
    void SetProgressRange(unsigned steps);
    void OnIdleFlush();
    void OnStep();
    // The status sink (the same protocol).
    void SetStatusText(const QString& text) override { SetStatusMessage(text); }
    void SetProgressSteps(unsigned steps) override { SetProgressRange(steps); }
    void Step() override { OnStep(); }
    void EndBusy() override { OnIdleFlush(); }

    // A shell command (an "open" from a second start of the program); the
    // result is what the caller receives.
    int OnShellCommand(const QString& command);
    // Files dropped on the frame open only while a user drives the program.
    void OnDropFiles(const QStringList& paths);
    void DragAcceptFiles(bool accept = true);

    // Menu prompts in pane 0: a popup opening, a menu item browsed or the
    // menu closing (flags 0xFFFF and no menu).
    void OnInitMenuPopup();
    void OnMenuSelect(UINT nItemID, UINT nFlags, void* hMenu);

    // The date / current-cell pane's update.
    void OnUpdatePane112(CCmdUI* pCmdUI);

    // The running instance's shell channel, started by OnCreate when the bus
    // is there (false otherwise).
    bool IsShellChannelStarted() const;

    // Hooks for the application's batch handlers (WM_USER+5 and +6).
    static void SetBatchHandlers(std::function<void()> onContinue, std::function<void()> onExit);

    // Set while the input-array update frame is open.
    QWidget* m_pUpdateFrame = nullptr;
    bool m_bOldWindows = false;
    bool m_bTailFactorAvailable = false;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void SetIndicators();
    void HookMenus();
    void MapWindowCommands();
    // Lists the open windows at the end of the Window menu.
    void FillWindowList(QMenu* menu);
    bool OnCloseRequest();

    unsigned m_nIndicators = 0;
    CStatusBar* m_wndStatusBar;  // children of the frame
    CToolBar* m_wndToolBar;
    QString m_strPendingStatus;
    QPointer<QProgressBar> m_pProgressCtrl;
    unsigned m_nRemainingSteps = 0;
    UINT m_nSavedPaneId = 0;
    UINT m_nSavedPaneStyle = 0;
    int m_nSavedPaneWidth = -1;
    bool m_bMenuActive = false;
    std::unique_ptr<CNumberFormat> m_pNumberFormat;
    CBusyDialog* m_pOwnBusyDialog = nullptr;  // made by a step, deleted by the idle flush
    QTimer* m_pPaneTimer = nullptr;
    int m_nPumping = 0;  // a step is keeping the interface alive
    std::unique_ptr<qs::app::ShellOpenServer> m_pShellChannel;
};

// The progress protocol on the application's main frame.
void SetProgressCtrl(QProgressBar* progress);
void ClearProgressCtrl();
void SetStatusMessage(const QString& text);
void SetStatusMessageIfNotBusy(const QString& text);
void SetProgressRange(unsigned steps);

// True when the tail-factor program's window is up (its window title, or its
// server on the bus); the message box then asks the user to close it first.
bool IsTailFactorProgramOpen();

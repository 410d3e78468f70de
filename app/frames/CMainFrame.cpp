#include "frames/CMainFrame.h"

#include "Automation.h"
#include "commands/AppMenus.h"
#include "frames/CBusyDialog.h"
#include "CCmdUI.h"
#include "CInfoView.h"
#include "CMDIChildWnd.h"
#include "formats/CNumberFormat.h"
#include "startup/CSplashWindow.h"
#include "MessageBox.h"
#include "Resources.h"
#include "shell/ShellOpenChannel.h"
#include "shell/ShellReport.h"
#include "shell/ShellStrings.h"
#include "frames/StatusWindow.h"

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QDate>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QLocale>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QUrl>

namespace {

// The five fixed indicators; the date pane is appended at creation.
constexpr UINT kIndicators[CMainFrame::kIndicatorCount] = {
    ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL, ID_INDICATOR_FREE};

constexpr int kMaxShellCommand = 519;
constexpr int kMaxCellText = 255;
constexpr int kMenuPromptWidth = 16384;
constexpr const char* kTailFactorTitle = "Duvi Rozire Vididaze";
constexpr const char* kTailFactorProgId = "Crx.CRX_App";

CMainFrame* gMainFrame = nullptr;

std::function<void()>& BatchContinue() {
    static std::function<void()> handler;
    return handler;
}

std::function<void()>& BatchExit() {
    static std::function<void()> handler;
    return handler;
}

// The frame the progress protocol works on: the application's main window.
CMainFrame* ProtocolFrame() {
    if (auto* frame = dynamic_cast<CMainFrame*>(qs::fw::MainWindow())) return frame;
    return gMainFrame;
}

int ApplicationMode();

// Toolbars of the two resource sets, registered unless the program has its own.
void RegisterDefaultToolBars() {
    const std::vector<qs::fw::ToolButton> buttons = {
        {qs::cmd::kFileNew, QStringLiteral("New"), {}},     {qs::cmd::kFileOpen, QStringLiteral("Open"), {}},
        {qs::cmd::kFileSave, QStringLiteral("Save"), {}},   {ID_SEPARATOR, {}, {}},
        {qs::cmd::kPrint, QStringLiteral("Print"), {}},     {ID_SEPARATOR, {}, {}},
        {qs::cmd::kShowNavigator, QStringLiteral("Navigator"), {}}, {qs::cmd::kAbout, QStringLiteral("About"), {}},
    };
    if (!qs::fw::FindToolBar(CMainFrame::kStandardResource)) qs::fw::RegisterToolBar(CMainFrame::kStandardResource, buttons);
    if (!qs::fw::FindToolBar(CMainFrame::kEnterpriseToolBar)) qs::fw::RegisterToolBar(CMainFrame::kEnterpriseToolBar, buttons);
}

CView* ViewOfChild(CMDIChildWnd* child) {
    if (CView* view = child->GetActiveView()) return view;
    const std::vector<CView*> views = child->GetViews();
    return views.empty() ? nullptr : views.front();
}

}  // namespace

#include "CQuillstoneApp.h"
#include "QsCommandIds.h"

namespace {
int ApplicationMode() {
    const CQuillstoneApp* app = CQuillstoneApp::Current();
    return app ? app->m_nApplicationMode : 0;
}
}  // namespace

bool IsTailFactorProgramOpen() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == QLatin1String(kTailFactorTitle)) return true;
    return QDBusConnection::sessionBus().isConnected() &&
           qs::automation::IsServerRunning(QString::fromUtf8(kTailFactorProgId));
}

CMainFrame::CMainFrame()
    : m_wndStatusBar(new CStatusBar), m_wndToolBar(new CToolBar), m_pNumberFormat(std::make_unique<CNumberFormat>()) {
    // The application object owns its main frame (and deletes it after its
    // shutdown steps); a close only destroys the window.
    SetAutoDelete(false);
    setObjectName("MainFrame");
    setWindowTitle(QStringLiteral("Quillstone"));
    // The restored size fits the screen it opens on.
    QSize size(1024, 768);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 0.95);
    resize(size);
    m_wndStatusBar->setParent(this);
    m_wndToolBar->setParent(this);
    m_bTailFactorAvailable = QDBusConnection::sessionBus().isConnected() &&
                             qs::automation::IsServerKnown(QString::fromUtf8(kTailFactorProgId));
    MapUpdateCommand(ID_INDICATOR_DATE, [this](CCmdUI* ui) { OnUpdatePane112(ui); });
    MapWindowCommands();
}

CMainFrame::~CMainFrame() {
    if (gMainFrame == this) gMainFrame = nullptr;
    m_pShellChannel.reset();
    delete m_pOwnBusyDialog;
    m_pOwnBusyDialog = nullptr;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style = WS_OVERLAPPEDWINDOW | WS_MAXIMIZE | FWS_ADDTOTITLE;
    return TRUE;
}

BOOL CMainFrame::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
    qs::app::RegisterAppMenus();
    return CMDIFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext);
}

void CMainFrame::LoadMenu(UINT nIDResource) {
    CMDIFrameWnd::LoadMenu(nIDResource);
    HookMenus();
    for (QMenu* menu : menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        if (menu->title() == QLatin1String("&Window"))
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillWindowList(menu); });
}

void CMainFrame::FillWindowList(QMenu* menu) {
    for (QAction* action : menu->actions())
        if (action->data().toUInt() >= qs::cmd::kFirstWindow) delete action;
    const std::vector<CMDIChildWnd*> children = GetChildFrames();
    CMDIChildWnd* active = MDIGetActive();
    bool separated = false;
    int number = 0;
    for (CMDIChildWnd* child : children) {
        QMdiSubWindow* sub = child->GetSubWindow();
        if (sub == nullptr || !sub->isVisible()) continue;
        if (!separated) {
            QAction* gap = menu->addSeparator();
            gap->setData(qs::cmd::kFirstWindow);
            separated = true;
        }
        ++number;
        const QString title = sub->windowTitle().isEmpty() ? child->windowTitle() : sub->windowTitle();
        QAction* action = menu->addAction(number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title) : title);
        action->setData(qs::cmd::kFirstWindow + UINT(number));
        action->setCheckable(true);
        action->setChecked(child == active);
        QPointer<QWidget> alive(child);
        connect(action, &QAction::triggered, this, [this, child, alive] {
            if (alive) MDIActivate(child);
        });
    }
}

void CMainFrame::MapWindowCommands() {
    MapCommand(ID_VIEW_TOOLBAR, [this] { m_wndToolBar->setVisible(!m_wndToolBar->isVisible()); });
    MapUpdateCommand(ID_VIEW_TOOLBAR, [this](CCmdUI* ui) { ui->SetCheck(m_wndToolBar->isVisible() ? 1 : 0); });
    MapCommand(ID_VIEW_STATUS_BAR, [this] { m_wndStatusBar->setVisible(!m_wndStatusBar->isVisible()); });
    MapUpdateCommand(ID_VIEW_STATUS_BAR, [this](CCmdUI* ui) { ui->SetCheck(m_wndStatusBar->isVisible() ? 1 : 0); });
    MapCommand(qs::cmd::kNextWindow, [this] { MDINext(); });
    MapCommand(qs::cmd::kPrevWindow, [this] { MDIPrev(); });
    MapUpdateCommandRange(qs::cmd::kFirstWindow, qs::cmd::kFirstWindow + 0xFF, [](CCmdUI* ui) { ui->Enable(); });
    const auto anyWindow = [this](CCmdUI* ui) { ui->Enable(MDIGetActive() != nullptr); };
    for (UINT id : {UINT(qs::cmd::kNextWindow), UINT(qs::cmd::kPrevWindow), UINT(ID_WINDOW_CASCADE),
                    UINT(ID_WINDOW_TILE_HORZ), UINT(ID_WINDOW_ARRANGE)})
        MapUpdateCommand(id, anyWindow);
    // Ctrl+W closes the active window as Ctrl+F4 (the menu's) does.
    auto* closeWindow = new QAction(this);
    closeWindow->setShortcut(QKeySequence(QStringLiteral("Ctrl+W")));
    connect(closeWindow, &QAction::triggered, this, [this] {
        if (MDIGetActive() != nullptr) SendMessage(WM_COMMAND, qs::cmd::kCloseWindow, 0);
    });
    addAction(closeWindow);
    // The desktop's keys for the active window: Ctrl+F10 maximizes it,
    // Ctrl+F5 restores it.
    const auto sizeKey = [this](const char* keys, bool maximize) {
        auto* action = new QAction(this);
        action->setShortcut(QKeySequence(QString::fromLatin1(keys)));
        connect(action, &QAction::triggered, this, [this, maximize] {
            CMDIChildWnd* child = MDIGetActive();
            if (child == nullptr) return;
            if (maximize) child->MDIMaximize();
            else child->MDIRestore();
        });
        addAction(action);
    };
    sizeKey("Ctrl+F10", true);
    sizeKey("Ctrl+F5", false);
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CMDIFrameWnd::OnCreate(lpCreateStruct) == -1) return -1;

    // The splash shows unless the shell started us for a DDE-style open.
    const QStringList args = CSplashWindow::CommandLine();
    if (args.isEmpty() || args.front().compare(QStringLiteral("/dde"), Qt::CaseInsensitive) != 0)
        CSplashWindow::Show(this);

    RegisterDefaultToolBars();
    if (!m_wndToolBar->CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR) ||
        !m_wndToolBar->LoadToolBar(ApplicationMode() == 16 ? kEnterpriseToolBar : kStandardResource))
        return -1;
    m_wndToolBar->SetBarStyle(m_wndToolBar->GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);

    if (!m_wndStatusBar->Create(this, WS_CHILD | WS_VISIBLE, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar->SetIndicators(kIndicators, kIndicatorCount))
        return -1;
    SetIndicators();

    if (QDBusConnection::sessionBus().isConnected()) {
        m_pShellChannel = std::make_unique<qs::app::ShellOpenServer>(
            [this](const QString& command) { return OnShellCommand(command); });
        if (!m_pShellChannel->Start()) m_pShellChannel.reset();
    }
    gMainFrame = this;
    return 0;
}

void CMainFrame::SetIndicators() {
    UINT indicators[kIndicatorCount + 1];
    std::copy(std::begin(kIndicators), std::end(kIndicators), indicators);
    indicators[kIndicatorCount] = ID_INDICATOR_DATE;
    m_nIndicators = kIndicatorCount;
    m_wndStatusBar->SetIndicators(indicators, kIndicatorCount + 1);
    m_wndStatusBar->SetPaneText(FindIndicatorIndex(ID_INDICATOR_FREE), QStringLiteral(" "));
    // The panes (and the date) refresh at least once a minute without input.
    m_pPaneTimer = new QTimer(this);
    m_pPaneTimer->setInterval(kPaneTimerMs);
    connect(m_pPaneTimer, &QTimer::timeout, this, [this] { m_wndStatusBar->UpdatePanes(this); });
    m_pPaneTimer->start();
}

int CMainFrame::FindIndicatorIndex(UINT nID) {
    for (int i = 0; i < kIndicatorCount; ++i)
        if (kIndicators[i] == nID) return i;
    return -1;
}

bool CMainFrame::IsShellChannelStarted() const { return m_pShellChannel && m_pShellChannel->IsStarted(); }

void CMainFrame::SetBatchHandlers(std::function<void()> onContinue, std::function<void()> onExit) {
    BatchContinue() = std::move(onContinue);
    BatchExit() = std::move(onExit);
}

// ---------------------------------------------------------------- messages

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_USER:
        OnIdleFlush();
        return 0;
    case WM_USER + 2:
        OnStep();
        return 0;
    case WM_USER + 3:
        SetProgressRange(static_cast<unsigned>(wParam));
        return 0;
    case WM_USER + 4:
        if (wParam != 0) StatusWindowWrite(QString::fromUtf8(reinterpret_cast<const char*>(wParam)));
        return 0;
    case WM_USER + 5:
        if (BatchContinue()) BatchContinue()();
        return 0;
    case WM_USER + 6:
        if (BatchExit()) BatchExit()();
        return 0;
    case WM_CLOSE:
        if (OnCloseRequest()) return 1;
        break;
    case WM_MENUSELECT:
        OnMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<void*>(lParam));
        break;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup();
        break;
    default:
        break;
    }
    return CMDIFrameWnd::WindowProc(message, wParam, lParam);
}

bool CMainFrame::OnCloseRequest() {
    if (!IsTailFactorProgramOpen()) return false;
    AfxMessageBox(ShellString(61484), MB_OK | MB_SETFOREGROUND);
    return true;
}

BOOL CMainFrame::DestroyWindow() {
    if (m_pPaneTimer) m_pPaneTimer->stop();
    delete m_pOwnBusyDialog;
    m_pOwnBusyDialog = nullptr;
    m_pShellChannel.reset();
    return CMDIFrameWnd::DestroyWindow();
}

// ---------------------------------------------------------------- progress protocol

void CMainFrame::SetProgressCtrl(QProgressBar* progress) {
    m_pProgressCtrl = progress;
    m_nRemainingSteps = 0;
    if (progress) progress->hide();  // until a range arrives
}

void CMainFrame::ClearProgressCtrl() {
    m_pProgressCtrl = nullptr;
    m_nRemainingSteps = 0;
}

void CMainFrame::SetStatusMessage(const QString& text) { m_strPendingStatus = text; }

void CMainFrame::SetProgressRange(unsigned steps) {
    QProgressBar* progress = m_pProgressCtrl.data();
    if (!progress) return;
    m_nRemainingSteps = steps;
    // A range of 0 keeps the bar at its start (Qt would show 0..0 as "busy").
    progress->setRange(0, static_cast<int>(std::max(steps, 1u)));
    progress->setValue(0);
    progress->show();
}

void CMainFrame::OnIdleFlush() {
    if (!m_strPendingStatus.isEmpty()) {
        m_wndStatusBar->SetPaneText(0, m_strPendingStatus);
        m_wndStatusBar->repaint();
        m_strPendingStatus.clear();
    }
    // Only the dialog a step made goes here; an operation's own busy dialog
    // is the operation's to end. Never while a step is still pumping in it.
    if (m_pOwnBusyDialog && m_nPumping == 0) {
        delete m_pOwnBusyDialog;
        m_pOwnBusyDialog = nullptr;
    }
}

void CMainFrame::OnStep() {
    if (QProgressBar* progress = m_pProgressCtrl.data(); progress && m_nRemainingSteps > 0) {
        progress->setValue(progress->value() + 1);
        --m_nRemainingSteps;
    }
    if (!CBusyDialog::Current()) {
        auto* busy = new CBusyDialog;
        if (busy->Create(this, false)) m_pOwnBusyDialog = busy;
        else delete busy;
    }
    CBusyDialog* busy = CBusyDialog::Current();
    if (!busy) return;
    if (!m_strPendingStatus.isEmpty()) {
        busy->SetMessage(m_strPendingStatus);
        m_strPendingStatus.clear();
    }
    ++m_nPumping;
    busy->PumpMessages();
    --m_nPumping;
}

// ---------------------------------------------------------------- status panes

void CMainFrame::OnUpdatePane112(CCmdUI* pCmdUI) {
    QString text;
    bool cellShown = false;
    if (CMDIChildWnd* child = MDIGetActive()) {
        if (const auto* cell = dynamic_cast<const IDataViewCurrentCell*>(child->GetActiveView())) {
            QString cellText;
            if (cell->CurrentCellText(&cellText)) {
                text = m_pNumberFormat->InsertThousandsSeparators(cellText.left(kMaxCellText));
                cellShown = true;
            }
        }
    }
    if (!cellShown) {
        text = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
        m_wndStatusBar->SetPaneText(FindIndicatorIndex(ID_INDICATOR_FREE), QString());
    }
    if (text.isEmpty()) text = QString(12, u' ');

    const int index = m_wndStatusBar->CommandToIndex(ID_INDICATOR_DATE);
    if (index >= 0) {
        UINT id = 0, style = 0;
        int width = 0;
        m_wndStatusBar->GetPaneInfo(index, id, style, width);
        m_wndStatusBar->SetPaneInfo(index, id, style, QFontMetrics(m_wndStatusBar->font()).horizontalAdvance(text));
    }
    pCmdUI->SetText(text);
    pCmdUI->Enable(TRUE);
}

void CMainFrame::OnInitMenuPopup() {
    if (!m_bMenuActive || m_nSavedPaneWidth != -1) return;
    m_wndStatusBar->GetPaneInfo(0, m_nSavedPaneId, m_nSavedPaneStyle, m_nSavedPaneWidth);
    m_wndStatusBar->SetPaneInfo(0, m_nSavedPaneId, SBPS_NOBORDERS | SBPS_STRETCH, kMenuPromptWidth);
}

void CMainFrame::OnMenuSelect(UINT, UINT nFlags, void* hMenu) {
    if (nFlags == 0xFFFF && hMenu == nullptr && m_nSavedPaneWidth != -1) {
        m_wndStatusBar->SetPaneInfo(0, m_nSavedPaneId, m_nSavedPaneStyle, m_nSavedPaneWidth);
        m_nSavedPaneWidth = -1;
        m_bMenuActive = false;
        return;
    }
    m_bMenuActive = true;
}

void CMainFrame::HookMenus() {
    // Qt's menus tell of browsing and closing through signals; they reach the
    // frame as the menu messages the prompt pane reacts to.
    for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            SendMessage(WM_MENUSELECT, 0, reinterpret_cast<LPARAM>(menu));
            SendMessage(WM_INITMENUPOPUP, 0, reinterpret_cast<LPARAM>(menu));
        });
        connect(menu, &QMenu::hovered, this, [this, menu](QAction* action) {
            const UINT id = action->data().toUInt();
            SendMessage(WM_MENUSELECT, id, reinterpret_cast<LPARAM>(menu));
            if (id != 0) SetMessageText(id);
        });
        connect(menu, &QMenu::aboutToHide, this, [this] {
            SendMessage(WM_MENUSELECT, WPARAM(0xFFFF) << 16, 0);
        });
    }
}

// ---------------------------------------------------------------- shell and drops

int CMainFrame::OnShellCommand(const QString& command) {
    if (!qs::app::IsInteractive()) return qs::app::kShellCommandRefused;
    return qs::app::ExecuteShellCommand(command.left(kMaxShellCommand)) ? qs::app::kShellCommandDone
                                                                        : qs::app::kShellCommandFailed;
}

void CMainFrame::DragAcceptFiles(bool accept) { setAcceptDrops(accept); }

void CMainFrame::OnDropFiles(const QStringList& paths) {
    if (!qs::app::IsInteractive()) return;
    activateWindow();
    for (const QString& path : paths) qs::app::OpenShellDocument(path);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    event->acceptProposedAction();
    OnDropFiles(paths);
}

// ---------------------------------------------------------------- MDI client rule

void CMainFrame::OnMDIDestroy(CMDIChildWnd* pChild) {
    if (!pChild) return;
    const std::vector<CMDIChildWnd*> children = GetChildFrames();
    if (std::find(children.begin(), children.end(), pChild) == children.end()) {
        pChild->DestroyWindow();
        return;
    }
    // A frame without any view closes like any other.
    if (CView* view = ViewOfChild(pChild)) {
        if (auto* rule = dynamic_cast<IMDIChildCloseRule*>(view); rule && rule->KeepOnMDIDestroy()) return;
        if (auto* info = dynamic_cast<CInfoView*>(view); info && info->GetDocument() == nullptr) {
            // The status window: hidden, so it comes back with its text.
            if (MDIGetActive() == pChild) MDINext();
            if (QMdiSubWindow* sub = pChild->GetSubWindow()) sub->hide();
            else pChild->ShowWindow(SW_HIDE);
            return;
        }
    }
    pChild->EnableWindow(FALSE);
    if (QMdiSubWindow* sub = pChild->GetSubWindow()) sub->hide();
    pChild->DestroyWindow();
}

// ---------------------------------------------------------------- free functions

void SetProgressCtrl(QProgressBar* progress) {
    if (CMainFrame* frame = ProtocolFrame()) frame->SetProgressCtrl(progress);
}

void ClearProgressCtrl() {
    if (CMainFrame* frame = ProtocolFrame()) frame->ClearProgressCtrl();
}

void SetStatusMessage(const QString& text) {
    if (CMainFrame* frame = ProtocolFrame()) frame->SetStatusMessage(text);
}

void SetStatusMessageIfNotBusy(const QString& text) {
    if (CBusyDialog::Current()) return;
    SetStatusMessage(text);
}

void SetProgressRange(unsigned steps) {
    if (CMainFrame* frame = ProtocolFrame()) frame->SetProgressRange(steps);
}

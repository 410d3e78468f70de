#include "CWinApp.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

#include "CDocTemplate.h"
#include "CDocument.h"
#include "CFrameWnd.h"
#include "CommandIds.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "QsProfile.h"
#include "WaitCursor.h"

namespace {
CWinApp* g_theApp = nullptr;

// Watches the application's events for those after which command states may
// have changed: input, focus and activation, windows opening and closing,
// and the framework's own window messages. Painting, timers and the repaints
// an idle pass causes itself do not count, so a program left alone waits
// instead of running idle passes over and over.
class IdleWaker : public QObject {
public:
    explicit IdleWaker(bool& wanted, const bool& inIdle) : m_wanted(wanted), m_inIdle(inIdle) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_inIdle && Wakes(event->type())) m_wanted = true;
        return QObject::eventFilter(watched, event);
    }

private:
    static bool Wakes(QEvent::Type type) {
        switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::FocusIn:
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::Close:
        case QEvent::Drop:
            return true;
        default: return type >= QEvent::User && type <= QEvent::MaxUser;
        }
    }
    bool& m_wanted;
    const bool& m_inIdle;
};
}  // namespace

CWinApp* AfxGetApp() { return g_theApp; }
CWnd* AfxGetMainWnd() { return g_theApp ? g_theApp->m_pMainWnd : nullptr; }

CWinApp::CWinApp(const QString& appName) : m_pszAppName(appName) {
    g_theApp = this;
    MapCommand(ID_FILE_NEW, [this] { OnFileNew(); });
    MapCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
    MapCommand(ID_APP_EXIT, [this] { OnAppExit(); });
    MapCommandRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, [this](UINT id) { OnOpenRecentFile(id); });
    MapUpdateCommandRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, [this](CCmdUI* ui) {
        const int index = int(ui->m_nID - ID_FILE_MRU_FILE1);
        ui->Enable(index < m_recentFiles.size());
        if (index < m_recentFiles.size())
            ui->SetText(QStringLiteral("&%1 %2").arg(index + 1).arg(QFileInfo(m_recentFiles[index]).fileName()));
    });
}

CWinApp::~CWinApp() {
    for (auto it = m_templates.rbegin(); it != m_templates.rend(); ++it) delete *it;
    m_templates.clear();
    if (g_theApp == this) g_theApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() {
    if (m_nMaxMRU > 0) SaveStdProfileSettings();
    return 0;
}

int CWinApp::Run() {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    QMetaObject::Connection idle;
    IdleWaker waker(m_idleWanted, m_inIdle);
    m_idleWanted = true;
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(&waker);
    // One idle pass each time the loop runs out of work after something
    // happened, as the platform's message loop does.
    if (dispatcher != nullptr)
        idle = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [this] {
            if (!m_idleWanted) return;
            m_idleWanted = false;
            RunIdle();
        });
    // With no main window there is nothing to wait for.
    const int code = m_pMainWnd != nullptr ? QCoreApplication::exec() : 0;
    QObject::disconnect(idle);
    const int exitCode = ExitInstance();
    return code != 0 ? code : exitCode;
}

BOOL CWinApp::OnIdle(LONG lCount) {
    if (lCount <= 0) {
        if (m_pMainWnd != nullptr) m_pMainWnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
        for (CDocTemplate* tpl : m_templates)
            for (CDocument* doc : tpl->Documents()) doc->OnIdle();
    }
    return lCount < 1;
}

void CWinApp::RunIdle() {
    // A modal loop inside an idle handler must not start another idle pass.
    if (m_inIdle) return;
    m_inIdle = true;
    for (LONG count = 0; count < 64 && OnIdle(count); ++count) {
    }
    m_inIdle = false;
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate) {
    if (pTemplate != nullptr) m_templates.push_back(pTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const {
    return m_templates.empty() ? nullptr : reinterpret_cast<POSITION>(std::uintptr_t(1));
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const {
    const std::size_t index = reinterpret_cast<std::uintptr_t>(pos) - 1;
    CDocTemplate* tpl = index < m_templates.size() ? m_templates[index] : nullptr;
    pos = index + 1 < m_templates.size() ? reinterpret_cast<POSITION>(std::uintptr_t(index + 2)) : nullptr;
    return tpl;
}

CDocument* CWinApp::OpenDocumentFile(const QString& path) {
    if (m_templates.empty()) return nullptr;
    return m_templates.front()->OpenDocumentFile(path);
}

void CWinApp::AddToRecentFileList(const QString& path) {
    if (m_nMaxMRU == 0 || path.isEmpty()) return;
    const QString full = QFileInfo(path).absoluteFilePath();
    m_recentFiles.removeIf([&full](const QString& p) { return p.compare(full, Qt::CaseInsensitive) == 0; });
    m_recentFiles.prepend(full);
    while (m_recentFiles.size() > int(m_nMaxMRU)) m_recentFiles.removeLast();
}

BOOL CWinApp::SaveAllModified() {
    for (CDocTemplate* tpl : m_templates)
        if (!tpl->SaveAllModified()) return FALSE;
    return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession) {
    for (CDocTemplate* tpl : m_templates) tpl->CloseAllDocuments(bEndSession);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
    QStringList args = m_arguments;
    if (args.isEmpty() && QCoreApplication::instance() != nullptr) args = QCoreApplication::arguments().mid(1);
    rCmdInfo.ParseArguments(args);
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo) {
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr)) OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    case CCommandLineInfo::FilePrintTo:
    case CCommandLineInfo::FilePrint: {
        m_nCmdShow = SW_HIDE;
        CDocument* doc = OpenDocumentFile(rCmdInfo.m_strFileName);
        if (doc != nullptr && m_pMainWnd != nullptr) m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
        return FALSE;  // the program ends after printing
    }
    case CCommandLineInfo::FileDDE:
        return TRUE;
    case CCommandLineInfo::AppRegister:
        RegisterShellFileTypes(TRUE);
        return FALSE;
    case CCommandLineInfo::AppUnregister:
        UnregisterShellFileTypes();
        return FALSE;
    default:
        return TRUE;
    }
}

void CWinApp::OnFileNew() {
    if (m_templates.empty()) return;
    m_templates.front()->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {
    QString name;
    if (!DoPromptFileName(name, QStringLiteral("Open"), TRUE, nullptr)) return;
    OpenDocumentFile(name);
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd != nullptr) m_pMainWnd->SendMessage(WM_CLOSE);
    else QCoreApplication::quit();
}

BOOL CWinApp::OnOpenRecentFile(UINT nID) {
    const int index = int(nID - ID_FILE_MRU_FILE1);
    if (index < 0 || index >= m_recentFiles.size()) return FALSE;
    const QString path = m_recentFiles[index];
    if (OpenDocumentFile(path) == nullptr) {
        m_recentFiles.removeAt(index);
        return FALSE;
    }
    return TRUE;
}

BOOL CWinApp::DoPromptFileName(QString& fileName, const QString& title, BOOL bOpenFileDialog, CDocTemplate* pTemplate) {
    QFileDialog dialog(m_pMainWnd ? m_pMainWnd->GetWidget() : nullptr, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);  // drivable by a ModalScript
    dialog.setAcceptMode(bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(bOpenFileDialog ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QString filterName, filterExt;
    if (pTemplate && pTemplate->GetDocString(filterName, CDocTemplate::filterName) &&
        pTemplate->GetDocString(filterExt, CDocTemplate::filterExt)) {
        dialog.setNameFilters({filterName, QStringLiteral("All Files (*)")});
        dialog.setDefaultSuffix(filterExt.startsWith(u'.') ? filterExt.mid(1) : filterExt);
    }
    if (!fileName.isEmpty()) dialog.selectFile(fileName);
    if (qs::fw::RunModal(dialog) != IDOK) return FALSE;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return FALSE;
    fileName = chosen.front();
    return TRUE;
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU) {
    m_nMaxMRU = std::min<UINT>(nMaxMRU, 16);
    m_recentFiles.clear();
    for (UINT i = 1; i <= m_nMaxMRU; ++i) {
        const QString path = GetProfileString(QStringLiteral("Recent File List"), QStringLiteral("File%1").arg(i));
        if (!path.isEmpty()) m_recentFiles << path;
    }
}

void CWinApp::SaveStdProfileSettings() {
    for (UINT i = 1; i <= m_nMaxMRU; ++i) {
        const int index = int(i) - 1;
        const QString key = QStringLiteral("File%1").arg(i);
        if (index < m_recentFiles.size())
            WriteProfileString(QStringLiteral("Recent File List"), key, m_recentFiles[index]);
        else
            qs::profile::DeleteKey(m_pszProfileName.toStdString(), "Recent File List", key.toStdString());
    }
}

namespace {
std::string ProfileOf(const CWinApp& app) {
    const QString name = app.m_pszProfileName.isEmpty() ? app.m_pszAppName + QStringLiteral(".ini") : app.m_pszProfileName;
    return name.toStdString();
}
}  // namespace

QString CWinApp::GetProfileString(const QString& section, const QString& entry, const QString& defaultValue) {
    return QString::fromStdString(
        qs::profile::ReadString(ProfileOf(*this), section.toStdString(), entry.toStdString(), defaultValue.toStdString()));
}

int CWinApp::GetProfileInt(const QString& section, const QString& entry, int defaultValue) {
    return qs::profile::ReadInt(ProfileOf(*this), section.toStdString(), entry.toStdString(), defaultValue);
}

BOOL CWinApp::WriteProfileString(const QString& section, const QString& entry, const QString& value) {
    return qs::profile::WriteString(ProfileOf(*this), section.toStdString(), entry.toStdString(), value.toStdString());
}

BOOL CWinApp::WriteProfileInt(const QString& section, const QString& entry, int value) {
    return qs::profile::WriteInt(ProfileOf(*this), section.toStdString(), entry.toStdString(), value);
}

void CWinApp::DoWaitCursor(int nCode) { qs::fw::DoWaitCursor(nCode); }

int AfxWinMain(int argc, char** argv) {
    QApplication application(argc, argv);
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return 1;
    if (app->m_pszAppName.isEmpty()) app->m_pszAppName = QCoreApplication::applicationName();
    app->m_pszExeName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (app->m_arguments.isEmpty()) app->m_arguments = QCoreApplication::arguments().mid(1);
    qs::fw::SetApplicationName(app->m_pszAppName);
    if (!app->InitInstance()) {
        // A failed start-up still runs the exit steps (counters, settings).
        app->ExitInstance();
        return 0;
    }
    return app->Run();
}

// The small handlers of the application's command table (zoom, Table 100%,
// Close All Windows, Workstation Setup, Technical Support, the document
// runner and the calendar switch) and the pieces of them tests reach without
// a running program.
#include "CQuillstoneApp.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <functional>

#include "CCmdUI.h"
#include "CDocTemplate.h"
#include "CMDIChildWnd.h"
#include "CObjectView.h"
#include "CSpreadsheetWnd.h"
#include "CommandIds.h"
#include "CommandNotAvailable.h"
#include "MessageBox.h"
#include "ViewServices.h"
#include "ViewSettings.h"
#include "commands/AppCommandTable.h"
#include "commands/AppMenus.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "navigator/CTreeFrame.h"
#include "startup/CAboutDlg.h"
#include "startup/CTipDlg.h"
#include "startup/WorkstationSettings.h"

namespace qs::app {

namespace {

constexpr const char* kPdfRunner = "runpdf.exe";

}  // namespace

QString PdfRunnerPath(const QString& systemDirectory) {
    const QString runner = QString::fromLatin1(kPdfRunner);
    if (systemDirectory.isNull()) return runner;
    if (systemDirectory.compare(runner, Qt::CaseInsensitive) == 0) return systemDirectory;
    return systemDirectory + QLatin1Char('/') + runner;
}

int ShellOpenProgram(const QString& path) {
    constexpr int kStarted = 42, kFileNotFound = 2, kPathNotFound = 3, kAccessDenied = 5, kBadFormat = 11;
    QString program = path;
    if (!path.contains(QLatin1Char('/'))) {
        program = QStandardPaths::findExecutable(path);
        if (program.isEmpty()) return kFileNotFound;
    } else {
        const QFileInfo info(path);
        if (!info.absoluteDir().exists()) return kPathNotFound;
        if (!info.exists()) return kFileNotFound;
        if (info.isDir() || !info.isExecutable()) return kAccessDenied;
    }
    return QProcess::startDetached(program, {}) ? kStarted : kBadFormat;
}

ShellFailure ShellOpenFailure(int answer, const QString& path) {
    switch (answer) {
    case 0: return {QStringLiteral("Out of memory or resources"), QStringLiteral("The operating system is out of memory or resources.")};
    case 2: return {QStringLiteral("File not found"), path};
    case 3: return {QStringLiteral("Path not found"), path};
    case 5: return {QStringLiteral("Access Denied"), path};
    case 8: return {QStringLiteral("Out of Memory"), QStringLiteral("There was not enough memory to complete the operation.")};
    case 11: return {QStringLiteral("Bad Format"), QStringLiteral("The .exe file is invalid")};
    case 26: return {QStringLiteral("Sharing Violation"), QStringLiteral("A sharing violation occurred.")};
    case 27: return {QStringLiteral("Association Incomplete"), QStringLiteral("The file name association is incomplete or invalid.")};
    case 28:
        return {QStringLiteral("DDE timed out"),
                QStringLiteral("The DDE transaction could not be completed because the request timed out.")};
    case 29: return {QStringLiteral("DDE Failed"), QStringLiteral("The DDE transaction failed.")};
    case 30:
        return {QStringLiteral("DDE Busy Error"),
                QStringLiteral("The DDE transaction could not be completed because other DDE transactions were being "
                               "processed.")};
    case 31:
        return {QStringLiteral("No application is associated with this file type."),
                QStringLiteral("No application is associated with this file.")};
    case 32: return {QStringLiteral("DLL not found"), QStringLiteral("The specified dynamic-link library was not found.")};
    default: return {QStringLiteral("Unknown Error."), QStringLiteral("An unknown error has occured")};
    }
}

QString TechnicalSupportTopic(const QString& helpFilePath) {
    return helpFilePath + QStringLiteral("::/") + QStringLiteral("Customer_Support.htm") + QStringLiteral(" > mainwin");
}

}  // namespace qs::app

void CQuillstoneApp::OnTable100() {
    qs::app::Settings().scale = 100;
    qs::views::Settings().scale = 100;
    UpdateAllProjectViews(nullptr, HINT_SCALE, nullptr);
}

void CQuillstoneApp::OnViewZoom() { qs::app::RunZoom(MainFrame()); }

void CQuillstoneApp::OnWorkstationSetup() { qs::app::RunWorkstationSetup(MainFrame()); }

void CQuillstoneApp::OnViewCalendar() {
    g_bCalendarView = g_bCalendarView ? 0 : 1;
    UpdateAllProjectViews(nullptr, HINT_CALENDAR, nullptr);
    // A table window that is not maximised takes the size of its table in
    // the new layout.
    CMainFrame* main = MainFrame();
    BOOL maximized = FALSE;
    CMDIChildWnd* child = main ? main->MDIGetActive(&maximized) : nullptr;
    if (child == nullptr || maximized) return;
    const auto* view = dynamic_cast<const CObjectView*>(child->GetActiveView());
    if (view == nullptr || view->GetHost() == nullptr || view->GetHost()->GetSafeHwnd() == nullptr) return;
    child->SendMessage(WM_COMMAND, qs::cmd::kResizeWindow, 0);
}

void CQuillstoneApp::OnTechnicalSupport() { ShowHelpTopic(qs::app::TechnicalSupportTopic(m_pszHelpFilePath)); }

void CQuillstoneApp::OnRunPdf() {
    const QString path = qs::app::PdfRunnerPath(
        GetProfileString(QStringLiteral("Settings"), QStringLiteral("System Directory"), QString()));
    const int answer = qs::app::ShellOpenProgram(path);
    if (answer > 32) return;
    const qs::app::ShellFailure failure = qs::app::ShellOpenFailure(answer, path);
    ::MessageBox(nullptr, failure.text, failure.caption, MB_OK | MB_ICONEXCLAMATION);
}

void CQuillstoneApp::OnFileNewFactorLibrary() {
    if (m_pDFLTemplate == nullptr || m_pDFLTemplate->OpenDocumentFile(QString(), TRUE) == nullptr)
        ReportStartupError(QStringLiteral("Failed to create empty document."), true);
}

void CQuillstoneApp::OnCloseAllChildWindows() {
    CMainFrame* main = MainFrame();
    if (main == nullptr) return;
    // Each window but the navigator is asked once to close. The question is
    // posted, so a window that asks about unsaved changes does so after this
    // loop, and one that refuses stays. The loop walks the windows by
    // activating the next one and ends once it has gone round without
    // finding a window it has not asked, or met the navigator twice.
    std::vector<QPointer<CMDIChildWnd>> asked;
    std::size_t skipped = 0;
    bool navigatorSeen = false;
    for (;;) {
        if (skipped > asked.size() + 1) break;
        ++skipped;
        CMDIChildWnd* active = main->MDIGetActive();
        if (active == nullptr) break;
        if (dynamic_cast<CTreeFrame*>(active) != nullptr) {
            if (navigatorSeen) break;
            navigatorSeen = true;
            main->MDINext();
            continue;
        }
        if (std::find(asked.begin(), asked.end(), active) != asked.end()) {
            main->MDINext();
            continue;
        }
        active->PostMessage(WM_CLOSE);
        asked.emplace_back(active);
        skipped = 0;
    }
}

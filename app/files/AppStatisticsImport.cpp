// The statistics-database import command: the wizard, then the import run
// with the program's own dialogs and documents.
#include "CQuillstoneApp.h"

#include <QDir>

#include "CDocTemplate.h"
#include "dialogs/CLXPropSheet.h"
#include "files/StatisticsImportRun.h"
#include "frames/CMainFrame.h"
#include "frames/StatusWindow.h"

void CQuillstoneApp::OnStatisticsDbImport() {
    if (!m_lexigrove.IsLoaded()) return;
    qs::app::StatisticsImportChoices choices;
    {
        CLXPropSheet sheet(MainFrame(), m_lexigrove.GetInstance(), m_lexigrove.ReleaseInstance(), MainFrame());
        if (sheet.DoModal() != ID_WIZFINISH) return;
        choices.companies = sheet.m_companies;
        choices.lobs = sheet.m_lobs;
        choices.folder = QDir::fromNativeSeparators(sheet.m_folder);
        choices.oneFilePerPair = sheet.m_fileMode == 1;
        choices.summaryFileName = sheet.m_summaryFileName;
        choices.priorRow = sheet.m_priorRow != 0;
    }  // the sheet hands the engine back; the run starts a session of its own
    if (!StatusWindowOpen(QStringLiteral("Statistics Database Import Status"))) return;
    qs::app::StatisticsImportHost host;
    host.get = m_lexigrove.GetInstance();
    host.release = m_lexigrove.ReleaseInstance();
    host.isOpen = [this](const QString& path) { return FindOpenDocument(path, m_pProjectTemplate) != nullptr; };
    host.askConflict = [this](const QString& message) {
        CStatsImportConflictDlg dlg(MainFrame());
        dlg.SetMessage(message);
        return static_cast<int>(dlg.DoModal());
    };
    host.openProject = [this](const QString& path) { OpenDocumentFile(path); };
    host.write = [](const QString& line) { StatusWindowWrite(line); };
    host.status = MainFrame();
    qs::app::RunStatisticsImport(choices, host);
}

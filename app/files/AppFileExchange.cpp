// The File > Import and File > Export commands and Convert PC5 Files: each
// makes the batch object of its format, hands it the program's services and
// runs one driver of the import and export subsystem. The summary data of
// the scripting server (GenerateSummaryData) is here too.
#include "CQuillstoneApp.h"

#include <QProgressBar>

#include <exception>

#include "BatchContexts.h"
#include "CDocTemplate.h"
#include "CProjectDoc.h"
#include "ProjectHost.h"
#include "ViewSettings.h"
#include "files/CConvertPC5Dlg.h"
#include "frames/CBusyDialog.h"
#include "frames/CMainFrame.h"
#include "frames/StatusWindow.h"
#include "navigator/CPrjTreeView.h"

namespace {

// The run's busy window: over the main window, Cancel polled between files,
// its progress bar the main frame's while a kernel call runs.
class BusyWindow : public qs::exchange::BatchBusy {
public:
    explicit BusyWindow(CMainFrame* main) : m_main(main) {}
    ~BusyWindow() override {
        if (m_main && m_registered) m_main->ClearProgressCtrl();
        m_dialog.DestroyWindow();
    }
    bool Create(const QString& caption, bool showCancel) {
        m_dialog.m_strCancelCaption = QStringLiteral("Cancel batch");
        if (!m_dialog.Create(m_main, showCancel)) return false;
        m_dialog.setWindowTitle(caption);
        return true;
    }
    bool CheckCancel() override {
        m_dialog.PumpMessages();
        return m_dialog.CheckCancel();
    }
    void SetPosLower() override { m_dialog.SetPosLower(); }
    void SetPosUpper() override { m_dialog.SetPosUpper(); }
    void RegisterProgress() override {
        if (m_main == nullptr) return;
        m_main->SetProgressCtrl(m_dialog.ProgressBar());
        m_registered = true;
    }
    void UnregisterProgress() override {
        if (m_main && m_registered) m_main->ClearProgressCtrl();
        m_registered = false;
    }

private:
    CMainFrame* m_main;
    CBusyDialog m_dialog;
    bool m_registered = false;
};

// The program's services as a batch run needs them.
qs::exchange::BatchHost MakeBatchHost(CQuillstoneApp& app) {
    qs::exchange::BatchHost host;
    CMainFrame* main = app.MainFrame();
    host.mainWindow = main;
    host.projectTemplate = app.m_pProjectTemplate;
    host.flushStatus = [main] {
        if (main) main->SendMessage(WM_USER, 0, 0);
    };
    host.openStatusWindow = [](const QString& title) { return StatusWindowOpen(title); };
    host.writeStatus = [](const QString& text) { StatusWindowWrite(text); };
    host.setStatusMessage = [main](const QString& text) {
        if (main) main->SetStatusMessage(text);
    };
    host.openBusy = [main](const QString& caption, bool showCancel) -> std::unique_ptr<qs::exchange::BatchBusy> {
        auto busy = std::make_unique<BusyWindow>(main);
        if (!busy->Create(caption, showCancel)) return nullptr;
        return busy;
    };
    host.redrawMainWindow = [main] {
        if (main && main->GetWidget() && main->GetWidget()->isVisible()) main->GetWidget()->repaint();
    };
    host.openForEditing = [&app](const QString& path) { app.OpenDocumentFile(path); };
    // The active window's project; with the navigator (or the status
    // window) in front, the project selected in the navigator.
    host.activeDocument = [&app, main]() -> CProjectDoc* {
        if (main)
            if (auto* doc = dynamic_cast<CProjectDoc*>(main->GetActiveDocument())) return doc;
        CPrjTreeView* navigator = app.GetNavigator();
        return navigator ? navigator->GetCurrentProject() : nullptr;
    };
    host.chooseExportSources = [&app](QStringList& paths) {
        QString title = QStringLiteral("Export file(s)");
        return app.ChooseProjectFiles(title, 0, 0x81200, true, app.m_pProjectTemplate, &paths,
                                      QStringLiteral("Export"));
    };
    host.selectProjectItem = [&app](CProjectDoc* doc) {
        CPrjTreeView* navigator = app.GetNavigator();
        return navigator == nullptr || navigator->SelectProjectItem(doc, false);
    };
    host.saveDocumentAs = [](CProjectDoc* doc) { doc->DoSave(QString(), TRUE); };
    host.conversionOptions = [main] {
        CConvertPC5Dlg dialog;
        (void)main;
        return dialog.DoModal() == IDOK;
    };
    host.setBatchRunning = [&app](bool running) { app.m_nBatchRunning = running ? 1 : 0; };
    host.fileProjects = qs::views::Settings().fileMode;
    const qs::project::ProjectHost& project = qs::project::Host();
    host.filesPath = project.filesPath;
    host.lastProjectFolder = project.lastProjectFolder;
    host.useFilesPath = project.folderNotChosen || project.lastProjectFolder.isEmpty();
    return host;
}

}  // namespace

void CQuillstoneApp::OnImportLotus() {
    qs::exchange::BatchHost host = MakeBatchHost(*this);
    CLotusBatchContext batch(host);
    batch.BatchImport();
}

void CQuillstoneApp::OnImportEnhancedAscii() {
    qs::exchange::BatchHost host = MakeBatchHost(*this);
    CEnhancedAsciiBatchContext batch(host);
    batch.BatchImportEnhancedAscii();
}

void CQuillstoneApp::OnImportAscii() {
    qs::exchange::BatchHost host = MakeBatchHost(*this);
    CAsciiBatchContext batch(host);
    batch.BatchImport();
}

void CQuillstoneApp::OnConvertPC5Files() {
    qs::exchange::BatchHost host = MakeBatchHost(*this);
    CConvertPC5BatchContext batch(host);
    batch.BatchImport();
}

void CQuillstoneApp::OnExportLotus() {
    NameAutomationDocument();
    qs::exchange::BatchHost host = MakeBatchHost(*this);
    CLotusBatchContext batch(host);
    batch.BatchExport();
}

void CQuillstoneApp::OnExportEnhancedAscii() {
    NameAutomationDocument();
    qs::exchange::BatchHost host = MakeBatchHost(*this);
    CEnhancedAsciiBatchContext batch(host);
    batch.BatchExport();
}

void CQuillstoneApp::OnExportAscii() {
    NameAutomationDocument();
    qs::exchange::BatchHost host = MakeBatchHost(*this);
    CAsciiBatchContext batch(host);
    batch.BatchExport();
}

void CQuillstoneApp::GenerateSummaryData(const QString& listName, CProjectDoc* doc) {
    CMainFrame* main = MainFrame();
    const auto status = [main](const QString& text) {
        if (main) main->SetStatusMessage(text);
    };
    status(QStringLiteral("Generating Summary Data..."));
    try {
        std::vector<QSID> ids;
        QStringList names;
        if (!m_summaryExport.loadList || !m_summaryExport.loadList(listName, ids, names))
            throw std::runtime_error("the summary export list could not be loaded");
        if (ids.empty()) {
            status(QStringLiteral("No tables to export."));
            return;
        }
        if (doc == nullptr || !m_summaryExport.runBatch) throw std::runtime_error("no summary export batch");
        m_summaryExport.runBatch(*doc, ids, names);
    } catch (const std::exception&) {
        // A run that stopped is never reported as done.
        ReportStartupError(QStringLiteral("Error: Summary data generation abnormal termination!\n"));
        return;
    }
    status(QStringLiteral("Summary data generation done."));
}

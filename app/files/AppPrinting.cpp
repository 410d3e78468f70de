// The application's print commands (Print, Print Active Table, Batch
// print, the project's Print and print management), the named-list print
// of the automation server, the print-field expansion, and the printing
// host: what the printing subsystem asks of the running program.
#include <QFileInfo>
#include <QPrinter>
#include <QStatusBar>

#include "files/AppPrinting.h"

#include "CBatchJob.h"
#include "CDocTemplate.h"
#include "CEditPageSetup.h"
#include "CObjectView.h"
#include "CPrintList.h"
#include "CPrintListDlg.h"
#include "CProjectDoc.h"
#include "CQuillstoneApp.h"
#include "PrintFields.h"
#include "PrintHost.h"
#include "ProjectHost.h"
#include "ViewSettings.h"
#include "frames/CMainFrame.h"
#include "shell/ConsoleTrace.h"
#include "navigator/CPrjTreeView.h"
#include "projectservices/ProjectServices.h"
#include "startup/WorkstationSettings.h"

namespace {

using App = CQuillstoneApp;

// Documents a batch run opened, held until the run closes them.
std::vector<std::unique_ptr<CProjectDoc>>& BatchDocuments() {
    static std::vector<std::unique_ptr<CProjectDoc>> docs;
    return docs;
}

void EnableMainWindow(bool enable) {
    if (App* a = App::Current(); a != nullptr && a->m_pMainWnd != nullptr)
        if (QWidget* w = a->m_pMainWnd->GetWidget()) w->setEnabled(enable);
}

}  // namespace

namespace qs::app {

// Settings the printing host reads that the user may change while the
// program runs (the working directory, the file mode).
void SyncPrintHost() {
    qs::print::PrintHost& host = qs::print::Host();
    host.workingDirectory = QString::fromStdString(Settings().workingDirectory);
    host.fileStorage = qs::views::Settings().fileMode == 1;
}

void BindPrinting(CQuillstoneApp& app) {
    (void)app;
    qs::print::PrintHost& host = qs::print::Host();
    SyncPrintHost();
    host.isInteractive = [] { return App::Current() == nullptr || App::Current()->m_bInteractive == 1; };
    host.applicationMode = [] { return App::Current() ? App::Current()->m_nApplicationMode : 0; };
    host.expandPrintFields = [](const QString& text, CPrintInfo* info, CProjectDoc* doc, CFormula* object) {
        App* a = App::Current();
        return a ? a->ExpandPrintFields(text, info, doc, object)
                 : qs::print::ExpandPrintFields(text, info, doc, object, true);
    };
    // The table views' titles and footnotes go through the same routine.
    qs::views::Settings().expandPrintFields = [](const QString& text, CPrintInfo* info, CObjectView* view) {
        auto* doc = view != nullptr ? dynamic_cast<CProjectDoc*>(view->GetDocument()) : nullptr;
        App* a = App::Current();
        CFormula* object = view != nullptr ? view->GetObject() : nullptr;
        return a ? a->ExpandPrintFields(text, info, doc, object)
                 : qs::print::ExpandPrintFields(text, info, doc, object, true);
    };
    host.preparePrinter = [](QPrinter& printer, CProjectDoc* doc, const QString& title) {
        App* a = App::Current();
        return a ? a->PreparePrinter(printer, doc, title) : qs::print::PrepareDefaultPrinter(printer, doc, title);
    };
    host.printerSetup = [] {
        if (App* a = App::Current()) a->OnFilePrintSetup();
    };
    host.enableMainWindow = EnableMainWindow;
    host.defaultPageSetup = [](CProjectDoc* doc) {
        if (doc != nullptr) doc->OnPageSetup();
    };
    // The console trace, while the machine's configuration turns it on.
    host.traceScope = [](const char* text) -> std::shared_ptr<void> {
        if (!qs::trace::IsConsoleTraceEnabled()) return nullptr;
        return std::make_shared<CTraceScope>("%s", text);
    };
    host.traceLine = [](const std::shared_ptr<void>& scope, const QString& line) {
        ConsoleTrace(*static_cast<CTraceScope*>(scope.get()), "%s", qPrintable(line));
    };
    host.jobPrinted = [](int pages, const QString& where) {
        if (auto& status = qs::views::Settings().statusMessage)
            status(QStringLiteral("Printed %1 page(s) to %2").arg(pages).arg(where));
    };
    host.openProjectForBatch = [](const QString& path, bool& opened) -> CProjectDoc* {
        App* a = App::Current();
        if (a == nullptr) return nullptr;
        for (CDocument* open : a->m_pProjectTemplate->Documents())
            if (open->GetPathName().compare(path, Qt::CaseInsensitive) == 0) return dynamic_cast<CProjectDoc*>(open);
        std::unique_ptr<CProjectDoc> doc = OpenProjectWithoutWindow(path);
        if (!doc) return nullptr;
        doc->m_bAutoDelete = FALSE;
        opened = true;
        BatchDocuments().push_back(std::move(doc));
        return BatchDocuments().back().get();
    };
    host.closeBatchProject = [](CProjectDoc* doc) {
        auto& docs = BatchDocuments();
        for (auto it = docs.begin(); it != docs.end(); ++it)
            if (it->get() == doc) {
                doc->CloseObjectViews(TRUE);
                docs.erase(it);
                break;
            }
        // The main window learns that a document went (its menus and title).
        if (App* a = App::Current(); a != nullptr && a->m_pMainWnd != nullptr) a->m_pMainWnd->PostMessage(WM_USER, 0, 0);
    };
    host.chooseProjectFiles = [](QStringList& paths) {
        auto& choose = ServicesHost().chooseProjectFiles;
        return choose && choose(QStringLiteral("Select Files to print"), QStringLiteral("Select"), paths);
    };
    host.writeProjectInfo = [](CProjectDoc* doc, const QString& path) {
        return doc != nullptr && WriteProjectInfo(*doc, path, INFO_SUMMARY);
    };
    // The project's Default Page Setup command.
    qs::project::Host().editPageSetup = [](CPageSetup& setup, const QStringList& fieldNames, const QString& title) {
        SyncPrintHost();
        CEditPageSetup edited(setup, &fieldNames);
        if (!edited.Edit(qs::fw::MainWindow(), title)) return false;
        setup = edited;
        return true;
    };
}

}  // namespace qs::app

CProjectDoc* CQuillstoneApp::NavigatorProject() const {
    CPrjTreeView* navigator = GetNavigator();
    return navigator != nullptr ? navigator->GetCurrentProject() : nullptr;
}

void CQuillstoneApp::OnFilePrint() {
    CProjectDoc* doc = NavigatorProject();
    if (doc == nullptr) return;
    qs::app::SyncPrintHost();
    std::unique_ptr<CPrintList> list = CPrintList::createDefaultPrintList(doc);
    list->edit();
}

void CQuillstoneApp::OnFilePrintDirect() {
    CProjectDoc* doc = NavigatorProject();
    if (doc == nullptr) return;
    qs::app::SyncPrintHost();
    std::unique_ptr<CPrintList> list = CPrintList::createDirectPrintList(doc);
    // No current object: nothing to print.
    if (list->entryCount() == 0) return;
    list->print();
}

void CQuillstoneApp::OnManagePrinting(CProjectDoc* doc) {
    if (doc == nullptr) doc = NavigatorProject();
    if (doc == nullptr) return;
    qs::app::SyncPrintHost();
    std::unique_ptr<CPrintList> list = CPrintList::createDirectPrintList(doc);
    CPrintListDlg dialog(list.get(), qs::fw::MainWindow());
    dialog.DoModal();
}

void CQuillstoneApp::OnBatchPrint() {
    CProjectDoc* doc = NavigatorProject();
    if (doc == nullptr) return;
    qs::app::SyncPrintHost();
    CBatchJob job(doc);
    job.EditJob();
}

int CQuillstoneApp::PrintNamedList(const QString& name, CProjectDoc* doc) {
    if (doc == nullptr) return 0;
    qs::app::SyncPrintHost();
    std::unique_ptr<CPrintList> list = CPrintList::createNewPrintList(doc);
    // A list that does not exist, or does not print to its end, is a failure.
    if (!list->loadByName(name)) return 0;
    return list->print() ? 1 : 0;
}

bool CQuillstoneApp::PreparePrinter(QPrinter& printer, CProjectDoc* doc, const QString& jobTitle) const {
    if (m_pPrinter && m_pPrinter->isValid() && m_pPrinter->outputFormat() == QPrinter::NativeFormat &&
        !m_pPrinter->printerName().isEmpty()) {
        printer.setPrinterName(m_pPrinter->printerName());
        printer.setPageSize(m_pPrinter->pageLayout().pageSize());
        return true;
    }
    return qs::print::PrepareDefaultPrinter(printer, doc, jobTitle);
}

QString CQuillstoneApp::ExpandPrintFields(const QString& text, CPrintInfo* info, CProjectDoc* doc,
                                          CFormula* object) const {
    return qs::print::ExpandPrintFields(text, info, doc, object, m_bInteractive == 1);
}

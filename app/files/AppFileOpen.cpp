// The application's side of project files: opening by extension, the one
// project-file chooser, New, Open, Close All, the save-all check at exit,
// and the project document's hooks into the application.
#include "CQuillstoneApp.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QListWidget>
#include <QVBoxLayout>

#include "files/AppPrinting.h"
#include "files/CConvertPC5Dlg.h"
#include "CMultiFileDialogUnlimited.h"
#include "dialogs/ProjectDialogs.h"
#include "CDocTemplate.h"
#include "CFrameWnd.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CView.h"
#include "startup/CTipDlg.h"
#include "startup/CWelcomeDlg.h"
#include "WindowMessages.h"
#include "startup/WorkstationSettings.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "ProjectFileNames.h"
#include "ProjectHost.h"
#include "QsCommandIds.h"
#include "projectservices/ProjectServices.h"
#include "ViewSettings.h"
#include "frames/CBusyDialog.h"
#include "frames/CChildFrame.h"
#include "frames/StatusProgress.h"
#include "frames/StatusWindow.h"
#include "navigator/CPrjListView.h"
#include "navigator/CPrjTreeView.h"
#include "navigator/CTreeFrame.h"

namespace {

constexpr DWORD kOfnAllowMultiSelect = 0x200;
constexpr DWORD kOfnFileMustExist = 0x1000;

QString ChooserTitle(UINT id) {
    switch (id) {
    case 61440: return QStringLiteral("Open");
    case 61441: return QStringLiteral("Save As");
    case 61444: return QStringLiteral("Save Copy As");
    case 33091: return QStringLiteral("Export to...");
    default: return QString();
    }
}

QString TemplateFilter(CDocTemplate* tmpl) {
    QString name, ext;
    if (tmpl == nullptr || !tmpl->GetDocString(name, CDocTemplate::filterName) ||
        !tmpl->GetDocString(ext, CDocTemplate::filterExt) || name.isEmpty() || ext.isEmpty())
        return QString();
    // Qt reads the pattern from the parentheses of the display name.
    return name.contains(QLatin1Char('(')) ? name : name + QStringLiteral(" (*") + ext + QLatin1Char(')');
}

}  // namespace

// The New File choice: the project template's new-file name and the factor
// library's, the first selected.
class CNewFileDlg : public QDialog {
public:
    explicit CNewFileDlg(const QStringList& names, QWidget* parent = nullptr) : QDialog(parent) {
        setWindowTitle(QStringLiteral("New File"));
        auto* layout = new QVBoxLayout(this);
        m_list = new QListWidget(this);
        m_list->addItems(names);
        m_list->setCurrentRow(0);
        layout->addWidget(m_list);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);  // as OK
        layout->addWidget(buttons);
    }
    QListWidget* List() const { return m_list; }
    int Selected() const { return m_list->currentRow(); }

private:
    QListWidget* m_list;
};

void CQuillstoneApp::BindProjectFiles() {
    // The hooks outlive no application: documents that close while the
    // application object is going away find none and do without.
    using App = CQuillstoneApp;
    qs::project::ProjectHost& host = qs::project::Host();
    host.isInteractive = [] { return App::Current() == nullptr || App::Current()->m_bInteractive != 0; };
    host.applicationMode = [] { return App::Current() ? App::Current()->m_nApplicationMode : 0; };
    host.setInteractive = [](bool on) {
        if (App::Current()) App::Current()->m_bInteractive = on ? TRUE : FALSE;
    };
    host.saveTemplateAsDialog = [](QString& name, QString& description) {
        CSaveTemplateAsDlg dialog(name, description);
        if (dialog.DoModal() != IDOK) return false;
        name = dialog.m_strName;
        description = dialog.m_strDescription;
        return true;
    };
    host.setApplicationMode = [](int mode) {
        if (App::Current()) App::Current()->m_nApplicationMode = mode;
    };
    host.logFilePath = [] { return App::Current() ? App::Current()->m_strLogFilePath : std::string(); };
    host.setStatusMessage = [](const QString& text) {
        if (App::Current() && App::Current()->MainFrame()) App::Current()->MainFrame()->SetStatusMessage(text);
    };
    host.defaultShow = [] { return qs::views::Settings().defaultShow; };
    host.chooseSaveFile = [](QString& name, unsigned titleId, unsigned flags, CDocTemplate* tmpl) {
        return App::Current() && App::Current()->ChooseProjectFiles(name, titleId, flags, false, tmpl, nullptr);
    };
    host.postCommand = [](unsigned command, CProjectDoc* doc) {
        if (command != qs::cmd::kFileSaveAs || doc == nullptr) return;
        QMetaObject::invokeMethod(
            qApp, [doc] { doc->DoSave(QString(), TRUE); }, Qt::QueuedConnection);
    };
    host.viewTemplate = [](qs::project::ObjectViewKind kind) -> CDocTemplate* {
        App* app = App::Current();
        if (app == nullptr) return nullptr;
        using K = qs::project::ObjectViewKind;
        switch (kind) {
        case K::Info: return app->m_pInfoTemplate;
        case K::Graph: return app->m_pGraphTemplate;
        case K::Update: return app->m_pUpdateTriangleTemplate;
        case K::PPA: return app->m_pPPATemplate;
        case K::Scalar: return app->m_pScalarTemplate;
        case K::Params: return app->m_pParamsTemplate;
        case K::Table: return app->m_pTriangleTemplate;
        case K::Exhibit: return app->m_pExhibitTemplate;
        case K::Method: return app->m_pMethodTemplate;
        case K::None: break;
        }
        return nullptr;
    };
    host.refillNavigatorLists = [](CProjectDoc& doc) {
        for (CView* view : doc.Views())
            if (auto* list = dynamic_cast<CPrjListView*>(view)) list->FillProjectList();
    };
    host.navigatorSelection = [](const CView* view, int& layer, QSID& id) {
        if (dynamic_cast<const CPrjTreeView*>(view) == nullptr && dynamic_cast<const CPrjListView*>(view) == nullptr)
            return false;
        auto* frame = dynamic_cast<CTreeFrame*>(view->GetParentFrame());
        if (frame == nullptr) return false;
        layer = frame->GetSelectedLayer();
        id = frame->GetSelectedListObject();
        return true;
    };
    // New Window and Resize Window of the object frames.
    CChildFrame::SetOpenNewObjectFrame([](CDocument* document, CChildFrame* oldFrame) {
        auto* project = dynamic_cast<CProjectDoc*>(document);
        return project != nullptr && project->OpenNewObjectFrame(oldFrame) != nullptr;
    });
    host.tailFactorProgramOpen = [] { return App::Current() && App::Current()->CheckTailFactorAnalysisOpen(); };
    host.beginProgress = [](const QString& caption) { qs::app::BeginStatusProgress(caption); };
    host.endProgress = [](const QString& text) { qs::app::EndStatusProgress(text); };
    host.openBusyWindow = [](const QString& title, const QString& message) -> std::shared_ptr<void> {
        auto busy = std::make_unique<CBusyDialog>();
        if (!busy->Create(App::Current() ? App::Current()->MainFrame() : nullptr, false)) return nullptr;
        busy->setWindowTitle(title);
        busy->SetMessage(message);
        busy->SetPosLower();
        return std::shared_ptr<void>(busy.release(), [](void* p) {
            auto* dialog = static_cast<CBusyDialog*>(p);
            dialog->SetPosUpper();
            dialog->DestroyWindow();
            delete dialog;
        });
    };
    host.statusWindowVisible = [] { return qs::app::IsStatusWindowVisible(); };
    host.openStatusWindow = [](const QString& title) { return StatusWindowOpen(title); };
    host.writeStatusWindow = [](const QString& text) { StatusWindowWrite(text); };
    // The folders the document works with, as the settings gave them.
    host.filesPath = QString::fromStdString(qs::app::Settings().filesPath);
    host.workingDirectory = QString::fromStdString(qs::app::Settings().workingDirectory);
    qs::app::BindProjectServices(*this);
    qs::app::BindPrinting(*this);
}

CDocument* CQuillstoneApp::FindOpenDocument(const QString& path, CDocTemplate* tmpl) const {
    if (tmpl == nullptr) return nullptr;
    const QString full = qs::project::NormalizeOpenPath(path);
    for (CDocument* doc : tmpl->Documents())
        if (!doc->GetPathName().isEmpty() && QFileInfo(doc->GetPathName()).absoluteFilePath() == full) return doc;
    return nullptr;
}

CDocument* CQuillstoneApp::OpenDocumentFile(const QString& path) {
    using qs::project::OpenKind;
    const OpenKind kind = qs::project::OpenKindOfPath(path);
    if (kind == OpenKind::FactorLibrary) {
        if (CDocument* open = FindOpenDocument(path, m_pDFLTemplate)) {
            if (!open->Views().empty())
                if (CFrameWnd* frame = open->Views().front()->GetParentFrame()) {
                    frame->ActivateFrame();
                    // The library's window is brought forward together with the program.
                    if (CMainFrame* main = MainFrame(); main != nullptr && main != frame) main->ActivateFrame();
                }
            return open;
        }
        CDocument* doc = m_pDFLTemplate ? m_pDFLTemplate->OpenDocumentFile(path, TRUE) : nullptr;
        if (doc == nullptr) ReportStartupError(QStringLiteral("Error: Open DF Library file failed."), true);
        return doc;
    }

    QString convertedName;
    if (kind == OpenKind::Predecessor) {
        ReportStartupError(QStringLiteral("This is an PLATECRAFT5 file.\nPlease supply a new file path/name so that "
                                          "Quillstone may save the converted file using the new format."),
                           true);
        convertedName = qs::project::SuggestedConvertedName(path);
        for (;;) {
            if (!DoPromptFileName(convertedName, QStringLiteral("Save As"), FALSE, m_pProjectTemplate)) return nullptr;
            if (FindOpenDocument(convertedName, m_pProjectTemplate) == nullptr) break;
            ReportStartupError(QStringLiteral("Cannot save this file the same name as an open Document"), true);
        }
        // Where the predecessor's direct/assumed data go; the conversion reads the choice.
        CConvertPC5Dlg options;
        if (options.DoModal() != IDOK) return nullptr;
    }

    if (CDocument* open = FindOpenDocument(path, m_pProjectTemplate)) {
        if (qs::project::Host().selectInNavigator)
            qs::project::Host().selectInNavigator(static_cast<CProjectDoc*>(open));
        ShowNavigator();
        return open;
    }
    if (m_pProjectTemplate == nullptr) return nullptr;
    auto* doc = static_cast<CProjectDoc*>(m_pProjectTemplate->OpenDocumentFile(path, FALSE));
    if (doc == nullptr) return nullptr;
    if (!convertedName.isEmpty()) doc->DoSave(convertedName, TRUE);
    ShowProjectInNavigator(doc);
    qs::project::Host().lastProjectFolder = qs::project::FolderOfPath(doc->GetPathName());
    // Clashing table names are listed by their plain names: the table-number
    // display is off while they are gathered.
    if (CProject* project = doc->GetProject()) {
        const int showTableId = project->GetShowTableID();
        project->SetShowTableID(0);
        doc->CheckDuplicateTableNames(path.toUpper());
        if (qs::app::IsStatusWindowVisible())
            if (CMainFrame* main = MainFrame(); main != nullptr && qs::app::StatusWindowFrame() != nullptr)
                main->MDIActivate(qs::app::StatusWindowFrame());
        project->SetShowTableID(showTableId);
    }
    qs::project::Host().folderNotChosen = false;
    return doc;
}

void CQuillstoneApp::ShowProjectInNavigator(CProjectDoc* doc) {
    if (doc == nullptr) return;
    // The navigator keeps the project open when its last window closes.
    doc->m_bAutoDelete = FALSE;
    if (m_showProjectInNavigator) {
        m_showProjectInNavigator(doc);
        return;
    }
    if (!doc->Views().empty())
        if (CFrameWnd* frame = doc->Views().front()->GetParentFrame())
            m_pProjectTemplate->InitialUpdateFrame(frame, doc, TRUE);
}

bool CQuillstoneApp::ChooseProjectFiles(QString& fileName, UINT titleId, DWORD extraFlags, bool open,
                                        CDocTemplate* tmpl, QStringList* paths, const QString& okCaption) {
    QString title = ChooserTitle(titleId);
    if (titleId == 0) {
        title = fileName;
        fileName.clear();
    }
    // The name without its extension (only the file name's own).
    QString start = fileName;
    const int dot = start.lastIndexOf(QLatin1Char('.'));
    if (dot > start.lastIndexOf(QLatin1Char('/'))) start.truncate(dot);

    // Any number of files: a selection longer than the dialog's buffer is
    // held by the dialog itself.
    CMultiFileDialogUnlimited dialog(okCaption, open ? TRUE : FALSE, QString(), QString(),
                                     OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | extraFlags, QString(), m_pMainWnd);
    dialog.m_ofn.lpstrTitle = title;

    QStringList filters;
    if (open) filters << QStringLiteral("All Quillstone Files (*.qs?)");
    if (tmpl != nullptr) {
        if (const QString f = TemplateFilter(tmpl); !f.isEmpty()) filters << f;
    } else {
        if (const QString f = TemplateFilter(m_pProjectTemplate); !f.isEmpty()) filters << f;
        if (const QString f = TemplateFilter(m_pDFLTemplate); !f.isEmpty()) filters << f;
    }
    if (open) {
        for (const char* g : {"1", "2", "3", "4", "5"})
            filters << QStringLiteral("Quillstone Files (*.qs%1)").arg(QLatin1String(g));
        if (tmpl == nullptr || tmpl == m_pProjectTemplate) filters << QStringLiteral("PLATECRAFT5 Files (*.pc5)");
        filters << QStringLiteral("All Files (*)");
    }
    dialog.setNameFilters(filters);

    qs::project::ProjectHost& host = qs::project::Host();
    QString folder;
    if (!host.folderNotChosen || !host.lastProjectFolder.isEmpty()) {
        folder = host.lastProjectFolder;
    } else {
        host.folderNotChosen = false;
        if (tmpl == nullptr || tmpl == m_pProjectTemplate || tmpl == m_pDFLTemplate || m_nBatchRunning == 1)
            folder = host.filesPath;
    }
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    if (!start.isEmpty()) dialog.selectFile(start);

    if (dialog.DoModal() != IDOK) return false;
    const QStringList chosen = dialog.ChosenPaths();
    if (chosen.isEmpty()) return false;
    if (extraFlags & kOfnAllowMultiSelect) {
        if (paths) *paths = chosen;
    } else {
        fileName = chosen.front();
    }
    return true;
}

void CQuillstoneApp::OnFileNewChoice() {
    // A scripting or import-server session wants a project, asking nothing.
    if (m_nAutomationActive) {
        OnFileNewProject();
        return;
    }
    QString project, library;
    if (m_pProjectTemplate) m_pProjectTemplate->GetDocString(project, CDocTemplate::fileNewName);
    if (m_pDFLTemplate) m_pDFLTemplate->GetDocString(library, CDocTemplate::fileNewName);
    CNewFileDlg dialog({project, library}, m_pMainWnd ? m_pMainWnd->GetWidget() : nullptr);
    if (qs::fw::RunModal(dialog) != IDOK) return;
    if (dialog.Selected() == 1) {
        OnFileNewFactorLibrary();
        return;
    }
    OnFileNewProject();
}

CProjectDoc* CQuillstoneApp::OnFileNewProject() {
    if (m_pProjectTemplate == nullptr) return nullptr;
    auto* doc = static_cast<CProjectDoc*>(m_pProjectTemplate->OpenDocumentFile(QString(), FALSE));
    if (doc) ShowProjectInNavigator(doc);
    return doc;
}

void CQuillstoneApp::OnFileOpenProjects() {
    QString name;
    QStringList paths;
    if (!ChooseProjectFiles(name, 61440, kOfnFileMustExist | kOfnAllowMultiSelect, true, nullptr, &paths)) return;
    for (const QString& path : paths)
        if (OpenDocumentFile(path) == nullptr) break;
}

void CQuillstoneApp::OnCloseAll() {
    if (m_pProjectTemplate == nullptr) return;
    const std::vector<CDocument*> docs = m_pProjectTemplate->Documents();
    for (CDocument* d : docs) {
        auto* doc = static_cast<CProjectDoc*>(d);
        if (qs::project::Host().selectInNavigator) qs::project::Host().selectInNavigator(doc);
        if (doc->GetProject() && doc->GetProject()->IsModified()) doc->SetModifiedFlag(TRUE);
        if (!doc->SaveModified()) return;
        bool stop = false;
        if (qs::project::Host().removeFromNavigator && !qs::project::Host().removeFromNavigator(doc)) {
            ReportStartupError(QStringLiteral("Error: CPrjTreeView::RemoveProject\n"), true);
            stop = true;
        }
        doc->m_bAutoDelete = TRUE;
        doc->OnCloseDocument();
        if (stop) return;
    }
}

BOOL CQuillstoneApp::SaveAllModified() {
    // An open input-array update must be finished first; the user may keep it.
    if (CMainFrame* main = MainFrame(); main && main->m_pUpdateFrame) {
        if (CWnd* update = CWnd::FromWidget(main->m_pUpdateFrame)) update->SendMessage(WM_COMMAND, qs::cmd::kCloseWindow, 0);
        if (main->m_pUpdateFrame) return FALSE;
    }
    if (m_pProjectTemplate) {
        for (CDocument* d : m_pProjectTemplate->Documents()) {
            auto* doc = static_cast<CProjectDoc*>(d);
            if (doc->GetProject() && doc->GetProject()->IsModified()) doc->SetModifiedFlag(TRUE);
        }
    }
    if (!CWinApp::SaveAllModified()) return FALSE;
    if (m_pProjectTemplate)
        for (CDocument* d : m_pProjectTemplate->Documents()) d->m_bAutoDelete = TRUE;
    return TRUE;
}

void CQuillstoneApp::OnStart() {
    // The tip of the day comes first, when the start showed the splash and
    // the user has not switched tips off; then the Welcome dialog.
    ShowTipAtStartup(m_bShowSplash);
    if (qs::app::Settings().showStartDialog == 0) return;
    CWelcomeDlg dialog(m_recentFiles, m_pMainWnd ? m_pMainWnd->GetWidget() : nullptr);
    const int result = qs::fw::RunModal(dialog);
    // The check box counts on Cancel too.
    qs::app::Settings().showStartDialog = dialog.DoNotShow()->isChecked() ? 0 : 1;
    if (result != IDOK || m_pMainWnd == nullptr) return;
    UINT command = 0;
    if (dialog.Choice() == 0)
        command = qs::cmd::kFileNewProject;
    else if (dialog.SelectedText() == QLatin1String(CWelcomeDlg::kMoreFiles))
        command = qs::cmd::kFileOpen;
    else if (dialog.SelectedIndex() >= 0 && dialog.SelectedIndex() <= 3)
        command = 57616 + UINT(dialog.SelectedIndex());  // the recent-file commands 1 to 4
    if (command != 0) m_pMainWnd->PostMessage(WM_COMMAND, command, 0);
}

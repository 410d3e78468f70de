// The project document's settings commands: page setup, exhibit options,
// labels, display options, table math and default graph styles, each
// followed by what brings the project's windows up to date; and the captions
// of a database project.
#include "CProjectDoc.h"

#include <QDate>
#include <QLocale>
#include <QWidget>

#include "CCmdUI.h"
#include "CDefaultStylesDlg.h"
#include "CExhibitPropertySheet.h"
#include "CFileDisplayOptionsDlg.h"
#include "CHDate.h"
#include "CKDVVantor.h"
#include "CLabelsPropertySheet.h"
#include "CMDIChildWnd.h"
#include "CMDIFrameWnd.h"
#include "CMethodView.h"
#include "CProject.h"
#include "CTableMath.h"
#include "CWinApp.h"
#include "MessageBox.h"
#include "ObjectViewLink.h"
#include "ProjectHost.h"
#include "WaitCursor.h"
#include "WindowMessages.h"
#include "QsCommandIds.h"

using qs::project::Host;
using qs::project::ObjectViewKind;
using qs::project::ObjectViewLink;

namespace {

// Update hints of the settings commands.
constexpr long kHintCaption = 0;
constexpr long kHintExhibitOptions = 1;
constexpr long kHintCaption2 = 2;
constexpr long kHintPageSetup = 3;
constexpr long kHintDisplayOptions = 5;
constexpr long kHintLabels = 6;

// A CHDate serial as the user's short date; empty when not set.
QString ShortDateText(double serial) {
    if (serial < 1) return QString();
    const CHDate date(serial);
    return QLocale().toString(QDate(date.Year(), date.Month(), date.Day()), QLocale::ShortFormat);
}

}  // namespace

void CProjectDoc::OnPageSetup() {
    if (m_pProject == nullptr || !Host().editPageSetup) return;
    CPageSetup edited = m_pProject->GetPageSetup();
    if (!Host().editPageSetup(edited, GetPrintFieldNames(), QStringLiteral("Default Page Setup"))) return;
    if (!(edited != m_pProject->GetPageSetup())) return;
    m_pProject->SetPageSetup(edited);
    UpdateAllViews(nullptr, kHintPageSetup);
}

void CProjectDoc::OnExhibitOptions() {
    if (!qs::views::RunExhibitOptions(m_pProject)) return;
    CWaitCursor wait;
    UpdateAllViews(nullptr, kHintExhibitOptions);
    // The active window rebuilds its grid to the new rows.
    if (auto* main = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd()))
        if (CMDIChildWnd* child = main->MDIGetActive()) child->SendMessage(WM_COMMAND, qs::cmd::kResizeWindow, 0);
    ReloadMethodAndGraphViews();
}

void CProjectDoc::ReloadMethodAndGraphViews() {
    if (m_pProject == nullptr) return;
    const std::vector<CView*> views = Views();
    for (CView* view : views) {
        auto* link = dynamic_cast<ObjectViewLink*>(view);
        if (link == nullptr || link->KernelLink() == nullptr) continue;
        const bool method = dynamic_cast<CMethodView*>(view) != nullptr;
        const int dataType = GetIDDataType(link->ViewObjectId());
        const bool graph = link->ViewKind() == ObjectViewKind::Graph && (dataType == 2 || dataType == 3);
        if (!method && !graph) continue;
        m_pProject->CloseObject(link->KernelLink(), link->KernelWindow());
        link->SetKernelLink(nullptr);
        CFormula* object = m_pProject->OpenObject(link->ViewObjectId(), link->ViewLayer(), link->KernelWindow(), 0);
        link->SetKernelLink(object);
        if (object == nullptr) continue;
        if (method) {
            auto* objectView = static_cast<CMethodView*>(view);
            if (objectView->OnFormat(nullptr)) objectView->OnUpdateData(FALSE);
        } else {
            object->NotifyAll(XR_RELOAD);  // the graph redraws from its reopened object
        }
    }
}

void CProjectDoc::OnFileLabels() {
    if (m_pProject == nullptr) return;
    CLabelsPropertySheet sheet(m_pProject);
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    // The pages write into the project while the user works: Cancel puts
    // back what was there.
    const qs::project::LabelSettings before = qs::project::TakeLabelSettings(*m_pProject);
    if (sheet.DoModal() == IDOK) {
        UpdateAllViews(nullptr, kHintLabels);
        m_pProject->UpdateAllObjects();
        return;
    }
    RedrawMainWindow();
    if (!sheet.m_bLabelsChanged) return;
    CWaitCursor wait;
    qs::project::RestoreLabelSettings(*m_pProject, before);
}

void CProjectDoc::OnFileDisplayOptions() {
    if (m_pProject == nullptr) return;
    CFileDisplayOptionsDlg dialog(m_pProject);
    if (dialog.DoModal() == IDOK) UpdateAllViews(nullptr, kHintDisplayOptions);
}

void CProjectDoc::OnTableMath() {
    if (m_pProject == nullptr) return;
    GetActiveObject();
    bool performed = false;
    const int result = qs::views::RunTableMath(*m_pProject, m_nCurrentObjectId, m_nCurrentLayer, &performed);
    // A wizard closed after it changed tables has changed them all the same.
    if ((result != IDCANCEL || performed) && Host().refreshNavigator) Host().refreshNavigator();
}

void CProjectDoc::OnDefaultStyles() {
    if (m_pProject == nullptr) return;
    CDefaultStylesDlg dialog(m_pProject);
    dialog.DoModal();
}

void CProjectDoc::UpdateTitle() {
    if (m_pProject == nullptr) return;
    CKDVVantor* vantor = m_pProject->GetCKDVVantor();
    CKDVData* data = vantor ? vantor->GetData() : nullptr;
    CKDVTemplate* templ = vantor ? vantor->GetTemplate() : nullptr;
    const QString templateName = templ ? QString::fromStdString(templ->GetName()) : QString();
    const auto profileTitle = [data] {
        if (data == nullptr) return QString();
        return QString::fromStdString(data->GetProfileDisplayName()) + QStringLiteral(" ( ") +
               ShortDateText(data->GetEvalDate()) + QStringLiteral(" )");
    };
    const QString navigatorPrefix = QStringLiteral("Navigator : Template - ");
    QString title, caption;
    bool setTitle = true, setCaption = true;
    switch (const int mode = qs::project::ApplicationMode()) {
    case 1:
        title = profileTitle();
        caption = navigatorPrefix + templateName;
        break;
    case 2: {
        const QString name = templateName.isEmpty() ? QStringLiteral("New Template") : templateName;
        title = name;
        caption = navigatorPrefix + name;
        break;
    }
    case 3:
        title = templateName;
        caption = navigatorPrefix + templateName;
        break;
    case 6:
        title = profileTitle();
        setCaption = false;
        break;
    default:
        if (mode >= 9 && mode <= 14) {
            title = QStringLiteral("Default-valued Template");
            caption = navigatorPrefix + title;
        } else {
            setTitle = setCaption = false;
        }
        break;
    }
    if (setTitle) SetTitle(title);
    if (setCaption && Host().setNavigatorCaption) Host().setNavigatorCaption(caption);
    if (Host().refreshNavigator) Host().refreshNavigator();
    if (QWidget* main = qs::fw::MainWindow(); main != nullptr && main->isVisible()) {
        main->showMaximized();
        main->activateWindow();
    }
    UpdateAllViews(nullptr, kHintCaption);
    UpdateAllViews(nullptr, kHintCaption2);
}

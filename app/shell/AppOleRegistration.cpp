// The application's classes for automation clients: the document strings of
// its templates, the three template servers and their registration, and the
// batch control window that marks a scripted step waiting for the user.
#include "CQuillstoneApp.h"

#include <QLineEdit>

#include "CDocTemplate.h"
#include "COleObjectFactory.h"
#include "startup/InstallationType.h"
#include "Resources.h"

namespace {

// Class ids of the project document and of the two automation servers.
constexpr char kProjectClassId[] = "{82EB6738-F964-11D1-AE57-0020AF398A1D}";
constexpr char kScriptingClassId[] = "{0A57B38A-5192-46D5-9A8D-793D43DBD437}";
constexpr char kImportClassId[] = "{71FAD140-9614-11D3-B745-00105A9A6256}";

// The document strings: window title, document name, new-file name, filter
// name, extension, registered type id and its readable name.
struct DocumentStrings {
    UINT id;
    const char* text;
};
constexpr DocumentStrings kDocumentStrings[] = {
    {224, "\nQuillstone\nQuillstone File\nQuillstone Files (*.qs5)\n.qs5\nQuillstone.Document\nQuillstone Document"},
    {326, "\nQuillstone\nQuillstone File\nQuillstone Files (*.qs5)\n.qs5\nQuillstone.Document\nQuillstone Document"},
    {130, "\nFactor Library\nFactor Library\nFactor Library (*.dfl)\n.dfl\nDFL.Document\nFactor Library"},
    {327, "\nFactor Library\nFactor Library\nFactor Library (*.dfl)\n.dfl\nDFL.Document\nFactor Library"},
    {300, "\nQSEE\n\n\n\nQuillstone.QSEE\nQuillstone Scripting Server"},
    {301, "\nAutomation\n\n\n\nQuillstone.Automation\nQuillstone Import Server"},
};

// The batch control window: an invisible, disabled edit without parent.
class BatchControlWindow : public QLineEdit, public CWnd {
public:
    BatchControlWindow() {
        AttachWidget(this);
        SetAutoDelete(true);
        setEnabled(false);
        setFixedSize(0, 0);
        hide();
    }
    ~BatchControlWindow() override { DetachWidget(); }
};

QString TemplateString(UINT id, CDocTemplate::DocStringIndex index) {
    return qs::fw::LoadResourceString(id).section(u'\n', int(index), int(index));
}

}  // namespace

void CQuillstoneApp::RegisterDocumentStrings() {
    // A string some other part already registered (a test, a translation) stays.
    for (const DocumentStrings& s : kDocumentStrings)
        if (!qs::fw::HasResourceString(s.id)) qs::fw::RegisterString(s.id, QString::fromUtf8(s.text));
}

void CQuillstoneApp::ConnectServerTemplates(bool startedForAutomation) {
    // A program started for a client ends with the bus; one a person started does not.
    COleObjectFactory::SetQuitWithBus(startedForAutomation);
    auto connect = [](COleTemplateServer& server, const char* clsid, UINT resource) {
        server.ConnectTemplate(QString::fromLatin1(clsid), TemplateString(resource, CDocTemplate::regFileTypeId),
                               TemplateString(resource, CDocTemplate::regFileTypeName), false);
    };
    // The project class is offered only by the standard family.
    if (qs::app::IsStandardFamily(m_nInstallationType))
        connect(m_server, kProjectClassId, m_bStandardResources ? 224 : 326);
    if (m_pAutomationTemplate) connect(m_automationServer, kScriptingClassId, 300);
    if (m_pStandaloneTemplate) connect(m_standaloneServer, kImportClassId, 301);
}

HWND CQuillstoneApp::CreateBatchControlWindow(BYTE flag) {
    m_nBatchControlFlag = flag;
    DestroyBatchControlWindow();
    auto* window = new BatchControlWindow;
    m_hBatchControlWnd = window->GetSafeHwnd();
    return m_hBatchControlWnd;
}

void CQuillstoneApp::DestroyBatchControlWindow() {
    // Destroying delivers WM_DESTROY to the window and frees it.
    if (m_hBatchControlWnd != nullptr && ::IsWindow(m_hBatchControlWnd))
        if (CWnd* window = CWnd::FromHandle(m_hBatchControlWnd)) window->DestroyWindow();
    m_hBatchControlWnd = nullptr;
}

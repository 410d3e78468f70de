#include "CCrxApp.h"

#include <QCoreApplication>
#include <QIcon>
#include <QMdiSubWindow>
#include <QTimer>

#include <vector>

#include "AutomationClient.h"
#include "AutomationObject.h"
#include "CArchive.h"
#include "CGraphFrame.h"
#include "CGridFrame.h"
#include "CMainFrame.h"
#include "COleObjectFactory.h"
#include "CrxMessages.h"
#include "CrxScriptedUser.h"
#include "MessageBox.h"
#include "QsRegistry.h"
#include "Resources.h"

namespace {

QString HResultText(HRESULT hr, const QString& text) {
    return QStringLiteral("0x%1 %2").arg(quint32(hr), 8, 16, QLatin1Char('0')).arg(text);
}

}  // namespace

CCrxApp* CrxApp() { return dynamic_cast<CCrxApp*>(AfxGetApp()); }

CCrxApp::CCrxApp() : CWinApp(QStringLiteral("crx")) {}

CCrxApp::~CCrxApp() = default;

CCrxApp::ServerCommand CCrxApp::FindServerCommand(const QString& commandLine) {
    for (int at = 0; at < commandLine.size(); ++at) {
        if (commandLine[at] != '-' && commandLine[at] != '/') continue;
        const QString rest = commandLine.mid(at + 1);
        if (rest.compare(QLatin1String("UnregServer"), Qt::CaseInsensitive) == 0) return ServerCommand::Unregister;
        if (rest.compare(QLatin1String("RegServer"), Qt::CaseInsensitive) == 0) return ServerCommand::Register;
    }
    return ServerCommand::None;
}

bool CCrxApp::UpdateRegistration(bool enrol, const QString& program) {
    COleObjectFactory factory(QString::fromLatin1(kClassId), QString::fromLatin1(kProgId),
                              QStringLiteral("CRX_App Class"), true);
    COleObjectFactory::SetServerProgram(program);
    bool ok = factory.UpdateRegistry(enrol);
    const std::string versioned = std::string(kProgId) + ".1";
    const std::string classKey = std::string("CLSID\\") + kClassId;
    if (!enrol) return qs::registry::DeleteTree(HKEY_CLASSES_ROOT, versioned) && ok;
    ok = qs::registry::WriteString(HKEY_CLASSES_ROOT, versioned, "", "CRX_App Class") && ok;
    ok = qs::registry::WriteString(HKEY_CLASSES_ROOT, versioned + "\\CLSID", "", kClassId) && ok;
    ok = qs::registry::WriteString(HKEY_CLASSES_ROOT, std::string(kProgId) + "\\CurVer", "", versioned) && ok;
    ok = qs::registry::WriteString(HKEY_CLASSES_ROOT, classKey + "\\ProgID", "", versioned) && ok;
    ok = qs::registry::WriteString(HKEY_CLASSES_ROOT, classKey + "\\VersionIndependentProgID", "", kProgId) && ok;
    return ok;
}

void CCrxApp::RegisterResources() {
    using qs::fw::MenuItem;
    qs::fw::RegisterString(IDR_MAINFRAME, QStringLiteral("Duvi Rozire Vididaze"));
    qs::fw::RegisterString(IDR_GRAPHFRAME, QStringLiteral("\nDuvi Rozire Vididaze - Graph View\nDuvi Rozire Vididaze"));
    qs::fw::RegisterString(IDR_GRIDFRAME, QStringLiteral("\nDuvi Rozire Vididaze - Grid View\nDuvi Rozire Vididaze"));
    qs::fw::RegisterString(ID_CRX_APPLY, QStringLiteral("Save the Duvi Rozire Vididaze and return to Quillstone\nApply Analysis"));
    qs::fw::RegisterString(ID_CRX_CANCEL, QStringLiteral("Cancel the Duvi Rozire Vididaze and return to Quillstone\nCancel Analysis"));
    qs::fw::RegisterString(ID_CRX_RESET, QStringLiteral("Reset the Duvi Rozire Vididaze to the original values.\nReset Analysis"));
    qs::fw::RegisterString(ID_VIEW_GRAPH, QStringLiteral("Show the graph\nGraph"));
    qs::fw::RegisterString(ID_VIEW_GRID, QStringLiteral("Show the grid\nGrid"));
    const MenuItem help(QStringLiteral("&Help"), {MenuItem(QStringLiteral("&About Duvi Rozire Vididaze..."), ID_APP_ABOUT)});
    qs::fw::RegisterMenu(IDR_MAINFRAME,
                         {MenuItem(QStringLiteral("&File"),
                                   {MenuItem(QStringLiteral("&Reset Duvi Rozire Vididaze"), ID_CRX_RESET),
                                    MenuItem(QStringLiteral("&Cancel Duvi Rozire Vididaze"), ID_CRX_CANCEL),
                                    MenuItem(QStringLiteral("&Apply Duvi Rozire Vididaze"), ID_CRX_APPLY),
                                    MenuItem::Separator(), MenuItem(QStringLiteral("E&xit"), ID_APP_EXIT)}),
                          MenuItem(QStringLiteral("&View"), {MenuItem(QStringLiteral("&Grid"), ID_VIEW_GRID),
                                                            MenuItem(QStringLiteral("G&raph"), ID_VIEW_GRAPH)}),
                          help});
    qs::fw::RegisterMenu(IDR_CRXTYPE,
                         {MenuItem(QStringLiteral("&File"),
                                   {MenuItem(QStringLiteral("&Apply Analysis..."), ID_CRX_APPLY),
                                    MenuItem(QStringLiteral("Canc&el Analysis"), ID_CRX_CANCEL),
                                    MenuItem(QStringLiteral("&Reset Analysis"), ID_CRX_RESET), MenuItem::Separator(),
                                    MenuItem(QStringLiteral("E&xit"), ID_APP_EXIT)}),
                          MenuItem(QStringLiteral("&Edit"), {MenuItem(QStringLiteral("&Copy\tCtrl+C"), ID_EDIT_COPY),
                                                            MenuItem(QStringLiteral("&Paste\tCtrl+V"), ID_EDIT_PASTE)}),
                          MenuItem(QStringLiteral("&View"), {MenuItem(QStringLiteral("&Grid"), ID_VIEW_GRID),
                                                            MenuItem(QStringLiteral("G&raph"), ID_VIEW_GRAPH)}),
                          help});
    qs::fw::RegisterToolBar(IDR_MAINFRAME, {{ID_VIEW_GRID, QStringLiteral("Grid"), {}},
                                            {ID_VIEW_GRAPH, QStringLiteral("Graph"), {}},
                                            {ID_SEPARATOR, {}, {}},
                                            {ID_EDIT_CUT, QStringLiteral("Cut"), {}},
                                            {ID_EDIT_COPY, QStringLiteral("Copy"), {}},
                                            {ID_EDIT_PASTE, QStringLiteral("Paste"), {}},
                                            {ID_SEPARATOR, {}, {}},
                                            {ID_CRX_RESET, QStringLiteral("Reset"), {}},
                                            {ID_CRX_CANCEL, QStringLiteral("Cancel"), {}},
                                            {ID_CRX_APPLY, QStringLiteral("Apply"), {}}});
}

BOOL CCrxApp::InitInstance() {
    RegisterResources();
    const QString line = m_arguments.join(QLatin1Char(' '));
    switch (FindServerCommand(line)) {
    case ServerCommand::Register: UpdateRegistration(true, QCoreApplication::applicationFilePath()); return FALSE;
    case ServerCommand::Unregister: UpdateRegistration(false, QCoreApplication::applicationFilePath()); return FALSE;
    case ServerCommand::None: break;
    }
    bool automated = false;
    for (const QString& a : m_arguments)
        automated |= qs::automation::IsAutomationSwitch(a) || qs::automation::IsEmbeddingSwitch(a);
    QString error;
    if (!StartServer(automated, &error)) {
        qWarning("crx: %s", qPrintable(error));
        return FALSE;
    }
    auto* frame = new CMainFrame;
    if (!frame->LoadFrame(IDR_MAINFRAME)) {
        delete frame;
        return FALSE;
    }
    m_pMainWnd = frame;
    frame->ShowWindow(SW_SHOWMAXIMIZED);
    frame->UpdateWindow();
    return TRUE;
}

int CCrxApp::ExitInstance() {
    m_factory.reset();
    return CWinApp::ExitInstance();
}

bool CCrxApp::StartServer(bool quitWithBus, QString* error) {
    COleObjectFactory::SetQuitWithBus(quitWithBus);
    m_factory = std::make_unique<COleObjectFactory>(QString::fromLatin1(kClassId), QString::fromLatin1(kProgId),
                                                    QStringLiteral("CRX_App Class"), true);
    if (!m_factory->Register()) {
        if (error) *error = QStringLiteral("cannot serve %1 on the session bus").arg(kProgId);
        m_factory.reset();
        return false;
    }
    AddServerMethods();
    return true;
}

void CCrxApp::AddServerMethods() {
    using qs::automation::AutomationCall;
    auto& object = m_factory->Server()->Object();
    object.AddMethod("Test", [this](AutomationCall&) {
        Test();
        return QVariant();
    });
    object.AddMethod("get_Data", [this](AutomationCall&) { return QVariant(GetData()); });
    object.AddMethod("put_Data", [this](AutomationCall& call) {
        QString error;
        const HRESULT hr = PutData(call.args.value(0), &error);
        if (FAILED(hr)) call.Fail(HResultText(hr, error));
        return QVariant();
    });
    object.AddMethod("RunAnalysis", [this](AutomationCall& call) {
        if (FAILED(RunAnalysis())) call.Fail(HResultText(E_FAIL, QStringLiteral("the windows could not be opened")));
        return QVariant();
    });
    object.AddMethod("RegisterCallback", [this](AutomationCall& call) {
        if (FAILED(RegisterCallback(call.args.value(0).toString())))
            call.Fail(HResultText(E_FAIL, QStringLiteral("not a window")));
        return QVariant();
    });
    object.AddMethod("Display", [this](AutomationCall&) {
        Display();
        return QVariant();
    });
    object.AddMethod("IsDataDirty", [this](AutomationCall&) { return QVariant(IsDataDirty()); });
    object.AddMethod("Release", [this](AutomationCall&) {
        ReleaseClient();
        return QVariant();
    });
    if (crx::ScriptedUserWanted()) crx::AddScriptedUser(object);
}

void CCrxApp::Test() { AfxMessageBox(QStringLiteral("Test succeeded"), MB_OK); }

QByteArray CCrxApp::GetData() const { return StreamOf(m_saved); }

QByteArray CCrxApp::StreamOf(CTailFactorAnalysis copy) {
    std::vector<uint8_t> bytes;
    {
        CArchive ar(bytes, CArchive::store);
        copy.Serialize(ar);
        ar.Close();
    }
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

HRESULT CCrxApp::PutData(const QVariant& stream, QString* error) {
    auto fail = [error](const QString& text) {
        if (error) *error = text;
        return E_INVALIDARG;
    };
    if (!stream.isValid() || stream.metaType().id() != QMetaType::QByteArray)
        return fail(QStringLiteral("the argument is not an analysis stream"));
    const QByteArray raw = stream.toByteArray();
    std::vector<uint8_t> bytes(raw.begin(), raw.end());
    CTailFactorAnalysis in;
    try {
        CArchive ar(bytes, CArchive::load);
        in.Serialize(ar);
    } catch (const CException&) {
        return fail(QStringLiteral("the analysis cannot be read"));
    }
    // Rows are laid out by stepping the age: a step that is not positive
    // would never reach the cutoff.
    if (!(in.GetAgeIncrement() > 0)) return fail(QStringLiteral("the age step of the analysis is not positive"));
    for (int c = 0; c < kCurveCount; ++c)
        for (int i = 0; i < in.GetNumPoints(); ++i)
            if (!in.IsValueValid(in.GetEffectiveValue(c, i))) in.SetExclude(c, i, true);
    m_saved = in;
    m_working = in;
    return S_OK;
}

HRESULT CCrxApp::RunAnalysis() {
    CMainFrame* frame = MainFrame();
    if (!frame) return E_FAIL;
    OpenGraphFrame();
    OpenGridFrame();
    frame->TileVertically();
    frame->PostMessage(MSG_RECALC);
    return S_OK;
}

HRESULT CCrxApp::RegisterCallback(const QString& window) {
    const auto handle = qs::automation::WindowHandle::FromString(window);
    if (!IsWindowAlive(handle)) return E_FAIL;
    m_caller = handle;
    if (CMainFrame* frame = MainFrame()) frame->PostMessage(MSG_START_WATCH);
    return S_OK;
}

HRESULT CCrxApp::Display() {
    if (CMainFrame* frame = MainFrame()) frame->BringForward();
    return S_OK;
}

void CCrxApp::ReleaseClient() {
    // The caller let go of the object: after Apply or Cancel, after a failed
    // hand-over, or because its window closed. Nobody is left to answer, so
    // the program ends.
    m_caller = {};
    if (CMainFrame* frame = MainFrame()) {
        frame->KillTimer(CMainFrame::kWatchTimer);
        frame->hide();
    }
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

bool CCrxApp::IsCallerAlive() const { return IsWindowAlive(m_caller); }

bool CCrxApp::IsWindowAlive(const qs::automation::WindowHandle& window) {
    // The caller's connection may outlive its window: the window is alive
    // while the object it exported still answers.
    return !window.IsNull() && qs::automation::IsWindow(window) &&
           qs::automation::AutomationClient(window).GetDispatchId(QStringLiteral("PostMessage")) >= 0;
}

CMainFrame* CCrxApp::MainFrame() const { return dynamic_cast<CMainFrame*>(m_pMainWnd); }

namespace {

// A child frame carries its resource's title and cannot be closed by itself.
void DressChild(CMDIChildWnd* frame, UINT resource) {
    const QString title = qs::fw::LoadResourceString(resource).section(QLatin1Char('\n'), 1, 1);
    frame->setWindowTitle(title);
    if (QMdiSubWindow* sub = frame->GetSubWindow()) {
        sub->setWindowTitle(title);
        sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowMinMaxButtonsHint);
        sub->setSystemMenu(nullptr);
        sub->setWindowIcon(QIcon());
    }
}

}  // namespace

void CCrxApp::OpenGraphFrame() {
    if (m_pGraphFrame) {
        m_pGraphFrame->MDIActivate();
        return;
    }
    auto* frame = new CGraphFrame;
    if (!frame->LoadFrame(IDR_GRAPHFRAME, WS_OVERLAPPEDWINDOW, m_pMainWnd)) {
        delete frame;
        return;
    }
    m_pGraphFrame = frame;
    DressChild(frame, IDR_GRAPHFRAME);
    frame->ActivateFrame();
}

void CCrxApp::OpenGridFrame() {
    if (m_pGridFrame) {
        m_pGridFrame->MDIActivate();
        return;
    }
    auto* frame = new CGridFrame;
    if (!frame->LoadFrame(IDR_GRIDFRAME, WS_OVERLAPPEDWINDOW, m_pMainWnd)) {
        delete frame;
        return;
    }
    m_pGridFrame = frame;
    DressChild(frame, IDR_GRIDFRAME);
    frame->ActivateFrame();
}

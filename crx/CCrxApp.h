#pragma once
// The tail program's application object. It keeps the two copies of the
// analysis (the saved one the caller gets back, the working one every window
// shows and edits), the caller's window, the child frames, and serves the
// automation class "Crx.CRX_App" whose methods are the ICRX_App calls below.
#include <QByteArray>
#include <QVariant>

#include <memory>

#include "Automation.h"
#include "CTailFactorAnalysis.h"
#include "CWinApp.h"
#include "HResult.h"

class CGraphFrame;
class CGridFrame;
class CMainFrame;
class COleObjectFactory;

class CCrxApp : public CWinApp {
public:
    static constexpr char kProgId[] = "Crx.CRX_App";
    static constexpr char kClassId[] = "{7E209D34-E2FF-11D3-95F8-00C04F227A14}";

    CCrxApp();
    ~CCrxApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // The first "-"/"/" token of a command line that is exactly "RegServer" or
    // "UnregServer" (any case, the whole rest of the line).
    enum class ServerCommand { None, Register, Unregister };
    static ServerCommand FindServerCommand(const QString& commandLine);
    // Writes (or removes) the class registration and the activation file.
    static bool UpdateRegistration(bool enrol, const QString& program);

    // Copies in and out: nothing holds a reference into either analysis.
    CTailFactorAnalysis GetSaved() const { return m_saved; }
    void SetSaved(const CTailFactorAnalysis& analysis) { m_saved = analysis; }
    CTailFactorAnalysis GetWorking() const { return m_working; }
    void SetWorking(const CTailFactorAnalysis& analysis) { m_working = analysis; }

    // The ICRX_App methods.
    void Test();
    QByteArray GetData() const;
    // An analysis as the hand-over stream holds it.
    static QByteArray StreamOf(CTailFactorAnalysis analysis);
    // The stream as bytes. A null or non-byte argument, a damaged analysis or
    // one whose age step is not positive: E_INVALIDARG, nothing changed.
    HRESULT PutData(const QVariant& stream, QString* error = nullptr);
    HRESULT RunAnalysis();
    HRESULT RegisterCallback(const QString& window);
    HRESULT Display();
    bool IsDataDirty() const { return m_saved.IsDataDirty() != 0; }
    // The caller let go of the object: the program ends.
    void ReleaseClient();

    const qs::automation::WindowHandle& CallerWindow() const { return m_caller; }
    bool IsCallerAlive() const;
    static bool IsWindowAlive(const qs::automation::WindowHandle& window);
    CMainFrame* MainFrame() const;

    // Opens or activates a child frame (commands 32771 and 32772).
    void OpenGraphFrame();
    void OpenGridFrame();
    CGraphFrame* m_pGraphFrame = nullptr;
    CGridFrame* m_pGridFrame = nullptr;

    // Exports the server object (a program started for automation also
    // quits with its bus). False without a bus or when the name is taken.
    bool StartServer(bool quitWithBus, QString* error = nullptr);

    // Registers menus, toolbars and strings (once per process).
    static void RegisterResources();

private:
    void AddServerMethods();

    CTailFactorAnalysis m_saved;
    CTailFactorAnalysis m_working;
    qs::automation::WindowHandle m_caller;
    std::unique_ptr<COleObjectFactory> m_factory;
};

CCrxApp* CrxApp();

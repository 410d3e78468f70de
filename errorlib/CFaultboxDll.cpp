#include "CFaultboxDll.h"

#include <QWidget>

#include <memory>
#include <mutex>
#include <vector>

#include "CDebugMessagePipe.h"
#include "DebugOutput.h"
#include "FaultboxSystemInfo.h"
#include "MessageBox.h"
#include "MessageFormat.h"
#include "QsProfile.h"
#include "SharedMessageOptions.h"

using faultbox::DebugOutput;

namespace {

// Values are read into a buffer of this size, as the options always were.
constexpr int kOptionBuffer = 200;

std::string& ProcessFileName() {
    static std::string name;
    return name;
}

struct ApplicationHolder {
    std::unique_ptr<CFaultboxDll> app;
    bool started = false;
    // Runs at unload (or process exit): the application object's exit, then
    // its destructor. Pipes still registered are not shut down.
    ~ApplicationHolder() {
        if (app && started) app->ExitInstance();
    }
};

ApplicationHolder& Holder() {
    static ApplicationHolder holder;
    return holder;
}

// A value read into a buffer of `size` chars, as the options always were.
std::string ReadProfileString(const char* section, const char* key, const char* defaultValue, std::uint32_t size,
                              const std::string& file) {
    std::string buffer(size, '\0');
    std::uint32_t n = GetPrivateProfileString(section, key, defaultValue, buffer.data(), size, file.c_str());
    buffer.resize(n);
    return buffer;
}

int ShowBox(QWidget* owner, const std::string& text, const std::string& caption, UINT type) {
    return MessageBox(owner, QString::fromStdString(text), QString::fromStdString(caption), type);
}

}  // namespace

namespace faultbox {

std::string SystemIniPath() {
    const std::string& dir = OptionsDirectory();
    return dir.empty() ? std::string("system.ini") : dir + "/system.ini";
}

bool UpdateBootDriversLine(bool add) {
    // The whole value is read: a long drivers line must come back intact.
    std::string line = qs::profile::ReadString(SystemIniPath(), "boot", "drivers");
    if (!EditDriversLine(line, kOwnFileName, add)) return true;
    return qs::profile::WriteString(SystemIniPath(), "boot", "drivers", line);
}

}  // namespace faultbox

CFaultboxDll::CFaultboxDll() { DebugOutput("CFaultboxDll::CFaultboxDll()\n"); }

CFaultboxDll::~CFaultboxDll() {
    DebugOutput("CFaultboxDll::~CFaultboxDll()\n");
    // The list goes; the pipes in it are left alone, as the server they may
    // still hold must not be shut down from here. They stay reachable to the
    // end of the process (a client that never unregistered is no leak of ours).
    static std::vector<CDebugMessagePipe*>* const left = new std::vector<CDebugMessagePipe*>;
    left->insert(left->end(), m_pipes.begin(), m_pipes.end());
    m_pipes.clear();
}

CFaultboxDll* CFaultboxDll::Instance() {
    static std::once_flag once;
    std::call_once(once, [] {
        ApplicationHolder& h = Holder();
        h.app = std::make_unique<CFaultboxDll>();
        h.started = h.app->InitInstance();
    });
    ApplicationHolder& h = Holder();
    return h.started ? h.app.get() : nullptr;
}

bool CFaultboxDll::InitInstance() {
    if (!faultbox::DetectEdition()) {
        ShowBox(nullptr, "Failed to perform system intialization in Errordll module!", std::string(), MB_ICONHAND);
        return false;
    }
    DebugOutput("BOOL CFaultboxDll::InitInstance(): Beginning\n");
    LoadOptions();
    m_optionsPending = 0;
    DebugOutput("BOOL CFaultboxDll::InitInstance(): Finished Successfully\n");
    return true;
}

void CFaultboxDll::LoadOptions() {
    using faultbox::SystemIniPath;
    faultbox::SharedMessageOptions& o = faultbox::SharedOptions();
    const char* section = o.SectionName;
    // An empty value counts as on: only a leading '0' turns a switch off.
    auto flag = [&](const char* key) {
        std::string v = ReadProfileString(section, key, "0", kOptionBuffer, SystemIniPath());
        return (v.empty() || v[0] != '0') ? 1 : 0;
    };
    o.CErrorsDebugWin = flag("CErrorsDebugWin");
    o.CErrorsMsgBox = flag("CErrorsMsgBox");
    o.AlertMsgBox = flag("AlertMsgBox");
    o.AlertDebugWin = flag("AlertDebugWin");
    o.TraceMsgs = flag("TraceMsgs");
    std::string priority = ReadProfileString(section, "ShowPriority", "0", kOptionBuffer, SystemIniPath());
    o.ShowPriority = priority.empty() ? '\0' : priority[0];
    o.ErrorFile = flag("ErrorFile");
    o.AlertFile = flag("AlertFile");
    o.TraceFile = flag("TraceFile");
    std::string name = ReadProfileString(section, "FileName", o.DefaultFileName, kOptionBuffer, SystemIniPath());
    ProcessFileName() = name.empty() ? std::string(o.DefaultFileName) : name;
}

int CFaultboxDll::ExitInstance() {
    DebugOutput("int CFaultboxDll::ExitInstance()\n");
    return 0;
}

const std::string& CFaultboxDll::MessageFileName() { return ProcessFileName(); }
void CFaultboxDll::SetMessageFileName(const std::string& name) { ProcessFileName() = name; }

CDebugMessagePipe* CFaultboxDll::FindPipe(void** hdbg) const {
    for (CDebugMessagePipe* pipe : m_pipes)
        if (reinterpret_cast<void**>(pipe) == hdbg) return pipe;
    return nullptr;
}

void** CFaultboxDll::RegisterErrorDll() {
    DebugOutput("LPHANDLE CFaultboxDll::RegisterErrorDll()");
    CDebugMessagePipe* pipe = new (std::nothrow) CDebugMessagePipe;
    if (!pipe) {
        DebugOutput(": ERROR; Create Failed\n");
        return nullptr;
    }
    m_pipes.push_front(pipe);
    ++m_count;
    DebugOutput(": Success! Pipe Created\n");
    return reinterpret_cast<void**>(pipe);
}

void CFaultboxDll::UnRegisterErrorDll(void** hdbg) {
    DebugOutput("void CFaultboxDll::UnRegisterErrorDll(LPHANDLE hdbg)");
    CDebugMessagePipe* pipe = FindPipe(hdbg);
    if (!pipe) {
        DebugOutput(": ERROR;Pipe not found for UnRegister call\n");
        return;
    }
    m_pipes.remove(pipe);
    if (m_count == 1) {
        pipe->CloseScreen();
        pipe->CloseFile();
        pipe->ShutDown();
    }
    pipe->ReleaseDriver();
    delete pipe;
    --m_count;
    DebugOutput(": Pipe Deleted Successfully\n");
}

void CFaultboxDll::CloseErrorDll() { DebugOutput("void CFaultboxDll::CloseErrorDll()\n"); }

void CFaultboxDll::OutScreenMessage(void** hdbg, const std::string& text) {
    DebugOutput("void CFaultboxDll::OutScreenMessage(LPHANDLE hdbg, LPCSTR lpcstr)");
    if (CDebugMessagePipe* pipe = FindPipe(hdbg)) pipe->AddMessage(text);
    else DebugOutput("ERROR: Could not find specified pipe ID for OutMessage\n");
}

void CFaultboxDll::OutFileMessage(void** hdbg, const std::string& text) {
    DebugOutput("void CFaultboxDll::OutFileMessage(LPHANDLE hdbg, LPCSTR lpcstr)\n");
    if (CDebugMessagePipe* pipe = FindPipe(hdbg)) pipe->AddFileMessage(text);
    else DebugOutput("ERROR: Could not find specified pipe ID for OutMessage\n");
}

void CFaultboxDll::ChangeToInit() {
    DebugOutput("void CFaultboxDll::ChangeToInit()\n");
    m_optionsPending = 1;
}

void CFaultboxDll::ApplyPendingOptions() {
    if (m_optionsPending != 1) return;
    if (!m_pipes.empty()) m_pipes.front()->ApplyOptions();
    m_optionsPending = 0;
}

void CFaultboxDll::ErrorMessage(void** hdbg, const char* message, const char* file, int line, const char* date,
                                const char* time, QWidget* owner) {
    ApplyPendingOptions();
    const faultbox::SharedMessageOptions& o = faultbox::SharedOptions();
    if (o.CErrorsMsgBox == 0 && o.CErrorsDebugWin == 0 && o.ErrorFile == 0) return;
    if (o.CErrorsMsgBox == 1)
        ShowBox(owner, faultbox::ErrorBoxText(message, file, line, date, time), "ERROR MESSAGE BOX", MB_TASKMODAL);
    const std::string out = faultbox::RightMost(faultbox::ErrorLine(message, file, line, date, time));
    if (o.CErrorsDebugWin == 1) OutScreenMessage(hdbg, out);
    if (o.ErrorFile == 1) OutFileMessage(hdbg, out);
}

void CFaultboxDll::AlertMessage(void** hdbg, char priority, const char* message, const char* file, int line,
                                const char* date, const char* time, QWidget* owner) {
    ApplyPendingOptions();
    const faultbox::SharedMessageOptions& o = faultbox::SharedOptions();
    if (o.TraceMsgs == 1) OutScreenMessage(hdbg, "TRACE_MSG: Entered [faultbox.dll] AlertMessage()\n");
    if (o.AlertMsgBox == 0 && o.AlertDebugWin == 0 && o.AlertFile == 0) return;
    if (!faultbox::AlertPriorityShown(priority, o.ShowPriority)) return;
    if (o.AlertMsgBox == 1)
        ShowBox(owner, faultbox::AlertBoxText(priority, message, file, line, date, time), "ALERT MESSAGE BOX",
                MB_TASKMODAL);
    const std::string out = faultbox::RightMost(faultbox::AlertLine(priority, message, file, line, date, time));
    if (o.AlertDebugWin == 1) OutScreenMessage(hdbg, out);
    if (o.AlertFile == 1) OutFileMessage(hdbg, out);
}

void CFaultboxDll::TraceMessage(void** hdbg, const char* message, const char* file, int line, const char* date,
                                const char* time) {
    ApplyPendingOptions();
    const faultbox::SharedMessageOptions& o = faultbox::SharedOptions();
    if (o.TraceMsgs == 0 && o.TraceFile == 0) return;
    const std::string out = faultbox::RightMost(faultbox::TraceLine(message, file, line, date, time));
    if (o.TraceMsgs == 1) OutScreenMessage(hdbg, out);
    if (o.TraceFile == 1) OutFileMessage(hdbg, out);
}

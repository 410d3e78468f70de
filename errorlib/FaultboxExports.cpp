// The exported functions: thin entries into the process's application
// object. Each does nothing when the library failed to start in this process.
#include <cstring>

#include <QWidget>

#include "CFaultboxDll.h"
#include "DebugOutput.h"
#include "FaultboxApi.h"
#include "MessageFormat.h"
#include "SharedMessageOptions.h"

namespace {

QWidget* AsWidget(void* window) { return static_cast<QWidget*>(window); }

void CopyText(char* target, std::size_t size, const char* text) {
    std::strncpy(target, text, size - 1);
    target[size - 1] = '\0';
}

}  // namespace

extern "C" {

void AlertMessage(void** handle, char priority, const char* message, const char* file, int line, const char* date,
                  const char* time, void* owner) {
    if (CFaultboxDll* app = CFaultboxDll::Instance())
        app->AlertMessage(handle, priority, message, file, line, date, time, AsWidget(owner));
}

void CloseErrorDll(void) {
    if (CFaultboxDll* app = CFaultboxDll::Instance()) app->CloseErrorDll();
}

void DebugDriverMessage(const char* message, long lParam1, long lParam2) {
    if (CFaultboxDll::Instance() == nullptr) return;
    if (faultbox::SharedOptions().TraceMsgs == 0) return;
    faultbox::DebugOutput(faultbox::DriverMessageLine(message, lParam1, lParam2));
}

void ErrorMessage(void** handle, const char* message, const char* file, int line, const char* date,
                  const char* time, void* owner) {
    if (CFaultboxDll* app = CFaultboxDll::Instance())
        app->ErrorMessage(handle, message, file, line, date, time, AsWidget(owner));
}

int FilterDllMsg(void*) { return 1; }

void ProcessDllIdle(void) {}

void** RegisterErrorDll(void) {
    CFaultboxDll* app = CFaultboxDll::Instance();
    return app ? app->RegisterErrorDll() : nullptr;
}

void ShowErrors(const FaultboxErrorList* errors, void* parent) {
    CFaultboxDll* app = CFaultboxDll::Instance();
    if (!app) return;
    DebugDriverMessage("Inside ShowErrors\t", 0, 0);
    app->ShowErrors(errors, AsWidget(parent));
    DebugDriverMessage("Now Leaving ShowErrors\t", 0, 0);
}

void TraceMessage(void** handle, const char* message, const char* file, int line, const char* date,
                  const char* time) {
    if (CFaultboxDll* app = CFaultboxDll::Instance()) app->TraceMessage(handle, message, file, line, date, time);
}

void UnRegisterErrorDll(void** handle) {
    if (CFaultboxDll* app = CFaultboxDll::Instance()) app->UnRegisterErrorDll(handle);
}

int UpdateBootDrivers(int add) {
    if (CFaultboxDll::Instance() == nullptr) return 0;
    return faultbox::UpdateBootDriversLine(add != 0) ? 1 : 0;
}

long CPlApplet(void* hwnd, unsigned int message, long /*lParam1*/, long lParam2) {
    switch (message) {
    case CPL_INIT: return 1;
    case CPL_GETCOUNT: return 1;
    case CPL_DBLCLK:
        if (CFaultboxDll* app = CFaultboxDll::Instance()) app->RunOptionsApplet(AsWidget(hwnd));
        return 0;
    case CPL_NEWINQUIRE: {
        auto* info = reinterpret_cast<NEWCPLINFO*>(lParam2);
        if (!info) return 0;
        std::memset(info, 0, sizeof *info);
        info->dwSize = sizeof(NEWCPLINFO);
        info->hIcon = 103;
        CopyText(info->szName, sizeof info->szName, "PCRFT Err Hndlr");
        CopyText(info->szInfo, sizeof info->szInfo, "PCraftr Error Handler Configuration");
        return 0;
    }
    default: return 0;
    }
}

}  // extern "C"

static_assert(sizeof(NEWCPLINFO) == 244, "the applet record keeps its size");

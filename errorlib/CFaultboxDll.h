#pragma once
// The library's application object: one per process, made on the first call
// into the library. It holds this process's registered pipes, its message
// file name and the pending-options mark; the switches themselves are shared
// by every process (SharedMessageOptions).
#include <cstdint>
#include <list>
#include <string>

#include "FaultboxApi.h"

class CDebugMessagePipe;
class QWidget;

class CFaultboxDll {
public:
    CFaultboxDll();
    ~CFaultboxDll();
    CFaultboxDll(const CFaultboxDll&) = delete;
    CFaultboxDll& operator=(const CFaultboxDll&) = delete;

    // The process's application object, made and started on first use; null
    // when start-up failed (the library then does nothing, as if it had not
    // loaded; the failure was shown once).
    static CFaultboxDll* Instance();

    bool InitInstance();
    int ExitInstance();

    void** RegisterErrorDll();
    void UnRegisterErrorDll(void** hdbg);
    void CloseErrorDll();
    void ShowErrors(const FaultboxErrorList* errors, QWidget* parent);

    void OutScreenMessage(void** hdbg, const std::string& text);
    void OutFileMessage(void** hdbg, const std::string& text);
    void ChangeToInit();

    void ErrorMessage(void** hdbg, const char* message, const char* file, int line, const char* date,
                      const char* time, QWidget* owner);
    void AlertMessage(void** hdbg, char priority, const char* message, const char* file, int line,
                      const char* date, const char* time, QWidget* owner);
    void TraceMessage(void** hdbg, const char* message, const char* file, int line, const char* date,
                      const char* time);

    // The options applet: the options dialog over `parent`, then the
    // switches go to every process and to system.ini.
    void RunOptionsApplet(QWidget* parent);

    // This process's message file name (not shared between processes).
    static const std::string& MessageFileName();
    static void SetMessageFileName(const std::string& name);

    int RegisteredCount() const { return m_count; }

    // The library's dialogs are light grey (192, 192, 192) with black text.
    static void SetDialogColours(QWidget* dialog);

private:
    CDebugMessagePipe* FindPipe(void** hdbg) const;
    void ApplyPendingOptions();
    void LoadOptions();

    std::list<CDebugMessagePipe*> m_pipes;  // newest first
    std::int32_t m_count = 0;
    std::int32_t m_optionsPending = 0;
};

namespace faultbox {

// <options directory>/system.ini, or the bare name when the directory is not
// known; built afresh for each use.
std::string SystemIniPath();

// Reads and edits the "drivers" line of section "boot" of system.ini; true
// unless the changed line could not be written.
bool UpdateBootDriversLine(bool add);

}  // namespace faultbox

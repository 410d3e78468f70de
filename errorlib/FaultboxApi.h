#pragma once
// The message library's exported functions, for programs that link it or
// load it with dlopen and look the functions up by name.
//
// A handle is the address the library hands out for one registered message
// pipe; callers keep it opaque. A null or unknown handle is accepted: the
// message then only reaches the message box, if that switch is on.
//
// Window arguments (`owner`, `parent`, `hwnd`) are QWidget pointers of the
// calling process, or null.
#ifdef __cplusplus
extern "C" {
#endif

// The collected error texts that ShowErrors lists; null stands for no list.
typedef struct FaultboxErrorList {
    const char* const* strings;
    int count;
} FaultboxErrorList;

// Control-panel messages answered by CPlApplet.
enum {
    CPL_INIT = 1,
    CPL_GETCOUNT = 2,
    CPL_INQUIRE = 3,
    CPL_SELECT = 4,
    CPL_DBLCLK = 5,
    CPL_STOP = 6,
    CPL_EXIT = 7,
    CPL_NEWINQUIRE = 8
};

// The record CPL_NEWINQUIRE fills (lParam2 points at it). Its layout keeps
// the 244 bytes the size field reports; `hIcon` carries the icon's resource
// number (103), found among the library's Qt resources as ":/faultbox/103.png".
typedef struct NEWCPLINFO {
    unsigned int dwSize;
    unsigned int dwFlags;
    unsigned int dwHelpContext;
    int lData;
    unsigned int hIcon;
    char szName[32];
    char szInfo[64];
    char szHelpFile[128];
} NEWCPLINFO;

long CPlApplet(void* hwnd, unsigned int message, long lParam1, long lParam2);

void AlertMessage(void** handle, char priority, const char* message, const char* file, int line, const char* date,
                  const char* time, void* owner);
void CloseErrorDll(void);
void DebugDriverMessage(const char* message, long lParam1, long lParam2);
void ErrorMessage(void** handle, const char* message, const char* file, int line, const char* date,
                  const char* time, void* owner);
int FilterDllMsg(void* msg);
void ProcessDllIdle(void);
void** RegisterErrorDll(void);
void ShowErrors(const FaultboxErrorList* errors, void* parent);
void TraceMessage(void** handle, const char* message, const char* file, int line, const char* date,
                  const char* time);
void UnRegisterErrorDll(void** handle);
int UpdateBootDrivers(int add);

#ifdef __cplusplus
}
#endif

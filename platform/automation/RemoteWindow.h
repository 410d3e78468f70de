#pragma once
// A window that another process can reach. The owner exports a RemoteWindow
// that forwards "SendMessage" and "PostMessage" calls to its own window
// (the framework's CWnd::SendMessage / PostMessage), and passes Handle() to
// the other process. That process sends (waits for the result, its own
// event loop running) or posts (does not wait; posts from one process
// arrive in order). Registered message numbers agree across processes
// because RegisterWindowMessage derives them from the name.
#include <QObject>

#include <cstdint>
#include <functional>

#include "AutomationObject.h"

namespace qs::automation {

class RemoteWindow {
public:
    using Send = std::function<std::intptr_t(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)>;
    using Post = std::function<bool(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)>;

    RemoteWindow(Send send, Post post);
    // Exports at path (e.g. "/org/quillstone/windows/<n>"); false when taken or no bus.
    bool Export(const QString& path);
    void Unexport() { m_object.Unexport(); }
    WindowHandle Handle() const;

private:
    AutomationObject m_object;
};

// False in *ok when the window is gone or the call failed (the result is then 0).
std::intptr_t SendWindowMessage(const WindowHandle& window, unsigned message, std::uintptr_t wParam = 0,
                                std::intptr_t lParam = 0, bool* ok = nullptr);
bool PostWindowMessage(const WindowHandle& window, unsigned message, std::uintptr_t wParam = 0,
                       std::intptr_t lParam = 0);

}  // namespace qs::automation

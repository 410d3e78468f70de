#pragma once
// Calls into another automation object. The caller's event loop keeps
// running while it waits (QDBus::BlockWithGui), so the server may call back
// into this process (a "window" of ours) during the call and be answered.
#include <QString>
#include <QVariant>

#include "Automation.h"

namespace qs::automation {

struct CallResult {
    bool ok = false;
    QVariant value;        // invalid for a method without a result
    QVariantList byRef;    // the arguments as the method left them
    QString error;         // bus or method error text when !ok
};

class AutomationClient {
public:
    AutomationClient() = default;
    // A client of the object behind a window handle.
    explicit AutomationClient(const WindowHandle& target) : m_target(target) {}

    // The stand-in for creating a dispatch object by ProgID: starts the
    // server when needed and binds to its application object.
    bool CreateDispatch(const QString& progId, QString* error = nullptr);
    // Binds only to a server that runs already (nothing is started).
    bool AttachRunning(const QString& progId);
    void Release() { m_target = {}; }
    bool IsBound() const { return !m_target.IsNull(); }
    const WindowHandle& Target() const { return m_target; }

    // The call waits at most timeoutMs (default ten minutes: a scripted
    // batch step can be long) with the event loop running.
    CallResult Call(const QString& method, const QVariantList& args = {}, int timeoutMs = 600000) const;
    // -1 when the server does not know the name or cannot be reached.
    int GetDispatchId(const QString& method) const;

private:
    WindowHandle m_target;
};

}  // namespace qs::automation

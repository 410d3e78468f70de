#include "AutomationObject.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace qs::automation {

AutomationObject::AutomationObject(QObject* parent) : QObject(parent) {}

AutomationObject::~AutomationObject() { Unexport(); }

void AutomationObject::AddMethod(const QString& name, Method method) {
    auto found = m_methods.find(name);
    if (found != m_methods.end()) {
        found->second.method = std::move(method);
        return;
    }
    m_order << name;
    m_methods.emplace(name, Entry{int(m_order.size()), std::move(method)});
}

bool AutomationObject::Export(const QString& path) {
    Unexport();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    if (!bus.registerObject(path, this, QDBusConnection::ExportAllSlots)) return false;
    m_path = path;
    return true;
}

void AutomationObject::Unexport() {
    if (m_path.isEmpty()) return;
    QDBusConnection::sessionBus().unregisterObject(m_path);
    m_path.clear();
}

QVariant AutomationObject::CallLocal(const QString& method, QVariantList& args, QString* error) {
    auto found = m_methods.find(method);
    if (found == m_methods.end()) {
        if (error) *error = QStringLiteral("Unknown method: %1").arg(method);
        return {};
    }
    AutomationCall call{method, args, QString(), QString()};
    if (calledFromDBus()) call.callerBusName = message().service();
    QVariant result = found->second.method(call);
    args = call.args;
    if (error) *error = call.errorText;
    return call.errorText.isEmpty() ? result : QVariant();
}

QVariantList AutomationObject::Invoke(const QString& method, const QVariantList& args, QVariantList& byRef) {
    byRef = args;
    QString error;
    const QVariant result = CallLocal(method, byRef, &error);
    if (!error.isEmpty()) {
        if (calledFromDBus()) sendErrorReply(QStringLiteral("org.quillstone.Automation.Error"), error);
        byRef.clear();
        return {};
    }
    // D-Bus carries no empty variant: an empty list stands for "no result".
    return result.isValid() ? QVariantList{result} : QVariantList{};
}

int AutomationObject::GetDispatchId(const QString& method) {
    auto found = m_methods.find(method);
    return found == m_methods.end() ? -1 : found->second.dispatchId;
}

QStringList AutomationObject::MethodNames() { return m_order; }

}  // namespace qs::automation

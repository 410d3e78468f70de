#include "AutomationClient.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

namespace qs::automation {

namespace {

// Values inside an "av" may arrive wrapped; unwrap what the bus wrapped.
QVariant Unwrap(const QVariant& value) {
    if (value.canConvert<QDBusVariant>() && value.metaType() == QMetaType::fromType<QDBusVariant>())
        return value.value<QDBusVariant>().variant();
    return value;
}

QVariantList UnwrapList(const QVariant& value) {
    QVariantList list;
    if (value.metaType() == QMetaType::fromType<QDBusArgument>()) {
        const QDBusArgument arg = value.value<QDBusArgument>();
        arg >> list;
    } else {
        list = value.toList();
    }
    for (QVariant& v : list) v = Unwrap(v);
    return list;
}

QDBusMessage MakeCall(const WindowHandle& target, const QString& method) {
    return QDBusMessage::createMethodCall(target.busName, target.path, QString::fromLatin1(kInterface), method);
}

}  // namespace

bool AutomationClient::CreateDispatch(const QString& progId, QString* error) {
    m_target = {};
    if (!ActivateServer(progId, 25000, error)) return false;
    m_target = {ServiceNameOf(progId), QString::fromLatin1(kApplicationPath)};
    return true;
}

bool AutomationClient::AttachRunning(const QString& progId) {
    m_target = {};
    if (!IsServerRunning(progId)) return false;
    m_target = {ServiceNameOf(progId), QString::fromLatin1(kApplicationPath)};
    return true;
}

CallResult AutomationClient::Call(const QString& method, const QVariantList& args, int timeoutMs) const {
    CallResult result;
    if (m_target.IsNull()) {
        result.error = QStringLiteral("not bound to a server");
        return result;
    }
    for (const QVariant& arg : args) {
        if (!arg.isValid()) {
            result.error = QStringLiteral("an argument has no value");
            return result;
        }
    }
    QDBusMessage call = MakeCall(m_target, QStringLiteral("Invoke"));
    call << method << QVariant::fromValue(args);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::BlockWithGui, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        result.error = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
        return result;
    }
    const QVariantList out = reply.arguments();
    if (out.size() >= 1) {
        const QVariantList value = UnwrapList(out[0]);
        if (!value.isEmpty()) result.value = value.front();
    }
    if (out.size() >= 2) result.byRef = UnwrapList(out[1]);
    result.ok = true;
    return result;
}

int AutomationClient::GetDispatchId(const QString& method) const {
    if (m_target.IsNull()) return -1;
    QDBusMessage call = MakeCall(m_target, QStringLiteral("GetDispatchId"));
    call << method;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::BlockWithGui, 25000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return -1;
    return reply.arguments().front().toInt();
}

}  // namespace qs::automation

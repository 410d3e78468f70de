#include "DebugServerLink.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QRegularExpression>
#include <QStringList>

namespace faultbox {

namespace {

constexpr const char* kObjectPath = "/";
constexpr int kCallTimeoutMs = 10000;

bool BusUsable() { return QCoreApplication::instance() != nullptr && QDBusConnection::sessionBus().isConnected(); }

}  // namespace

struct DebugServerLink::Impl {
    QString service;
    QStringList methods;  // index = id
};

DebugServerLink::DebugServerLink() = default;
DebugServerLink::~DebugServerLink() = default;

bool DebugServerLink::IsRunning(const std::string& progId) {
    if (!BusUsable()) return false;
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (!bus) return false;
    QDBusReply<bool> r = bus->isServiceRegistered(QString::fromStdString(progId));
    return r.isValid() && r.value();
}

bool DebugServerLink::AttachRunning(const std::string& progId) {
    if (!IsRunning(progId)) return false;
    m_impl = std::make_unique<Impl>();
    m_impl->service = QString::fromStdString(progId);
    return true;
}

bool DebugServerLink::CreateInstance(const std::string& progId) {
    if (!BusUsable()) return false;
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (!bus) return false;
    QDBusReply<void> started = bus->startService(QString::fromStdString(progId));
    if (!started.isValid()) return false;
    return AttachRunning(progId);
}

bool DebugServerLink::Attached() const { return m_impl != nullptr; }

void DebugServerLink::Release() { m_impl.reset(); }

int DebugServerLink::IdOfName(const std::string& name) {
    if (!m_impl) return kUnknownId;
    QString method = QString::fromStdString(name);
    if (m_impl->methods.isEmpty()) {
        QDBusMessage call = QDBusMessage::createMethodCall(m_impl->service, kObjectPath,
                                                           "org.freedesktop.DBus.Introspectable", "Introspect");
        QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, kCallTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            static const QRegularExpression methodTag(R"re(<method\s+name="([^"]+)")re");
            auto it = methodTag.globalMatch(reply.arguments().constFirst().toString());
            while (it.hasNext()) m_impl->methods << it.next().captured(1);
        }
    }
    int id = static_cast<int>(m_impl->methods.indexOf(method));
    return id < 0 ? kUnknownId : id;
}

void DebugServerLink::Invoke(int id, const std::vector<std::string>& arguments) {
    if (!m_impl || id < 0 || id >= m_impl->methods.size()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(m_impl->service, kObjectPath, QString(), m_impl->methods.at(id));
    QList<QVariant> args;
    for (const std::string& a : arguments) args << QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()));
    call.setArguments(args);
    call.setAutoStartService(false);
    QDBusConnection::sessionBus().call(call, QDBus::Block, kCallTimeoutMs);
}

}  // namespace faultbox

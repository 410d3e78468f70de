#include "AutomationServer.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTimer>

namespace qs::automation {

AutomationServer::AutomationServer(const QString& progId, QObject* parent)
    : QObject(parent), m_progId(progId) {}

AutomationServer::~AutomationServer() { Stop(); }

bool AutomationServer::Start(QString* error) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (error) *error = QStringLiteral("no session bus");
        return false;
    }
    if (!m_object.Export(QString::fromLatin1(kApplicationPath))) {
        if (error) *error = QStringLiteral("cannot export the application object");
        return false;
    }
    if (!bus.registerService(ServiceNameOf(m_progId))) {
        if (error) *error = bus.lastError().message();
        m_object.Unexport();
        return false;
    }
    // The library turns the closing of the connection into this local signal
    // (empty sender). A timer backs it up: the check is cheap and a missed
    // signal would leave the process running forever.
    bus.connect(QString(), QStringLiteral("/org/freedesktop/DBus/Local"),
                QStringLiteral("org.freedesktop.DBus.Local"), QStringLiteral("Disconnected"), this,
                SLOT(OnBusDisconnected()));
    auto* check = new QTimer(this);
    connect(check, &QTimer::timeout, this, [this] {
        if (!QDBusConnection::sessionBus().isConnected()) OnBusDisconnected();
    });
    check->start(1000);
    m_started = true;
    return true;
}

void AutomationServer::Stop() {
    if (!m_started) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(ServiceNameOf(m_progId));
    m_object.Unexport();
    m_started = false;
}

void AutomationServer::OnBusDisconnected() {
    if (m_disconnectSeen) return;
    m_disconnectSeen = true;
    emit Disconnected();
    if (m_quitOnDisconnect && QCoreApplication::instance() != nullptr) QCoreApplication::quit();
}

}  // namespace qs::automation

#include "NameWatch.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace qs::automation {

NameWatch::NameWatch(const QString& busName, QObject* parent)
    : QObject(parent),
      m_busName(busName),
      m_watcher(busName, QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForUnregistration) {
    connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this,
            [this](const QString& name) { emit Vanished(name); });
}

bool NameWatch::IsAlive() const {
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(m_busName).value();
}

}  // namespace qs::automation

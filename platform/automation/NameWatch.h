#pragma once
// Tells when the connection behind a window handle (or any bus name) leaves
// the bus: the liveness side of "is window".
#include <QDBusServiceWatcher>
#include <QObject>

#include "Automation.h"

namespace qs::automation {

class NameWatch : public QObject {
    Q_OBJECT

public:
    explicit NameWatch(const QString& busName, QObject* parent = nullptr);
    explicit NameWatch(const WindowHandle& handle, QObject* parent = nullptr)
        : NameWatch(handle.busName, parent) {}

    const QString& BusName() const { return m_busName; }
    bool IsAlive() const;

signals:
    void Vanished(const QString& busName);

private:
    QString m_busName;
    QDBusServiceWatcher m_watcher;
};

}  // namespace qs::automation

#pragma once
// The server side of a ProgID: owns the bus name and the application object,
// and ends the program's event loop when the bus goes away (an activated
// server would otherwise outlive its bus).
#include <QObject>

#include "AutomationObject.h"

namespace qs::automation {

class AutomationServer : public QObject {
    Q_OBJECT

public:
    explicit AutomationServer(const QString& progId, QObject* parent = nullptr);
    ~AutomationServer() override;

    AutomationObject& Object() { return m_object; }
    const QString& ProgId() const { return m_progId; }

    // Exports the application object and takes the ProgID's name. False when
    // there is no bus or another process owns the name.
    bool Start(QString* error = nullptr);
    void Stop();
    bool IsStarted() const { return m_started; }

    // Calls QCoreApplication::quit when the bus connection closes (on by default).
    void SetQuitOnDisconnect(bool on) { m_quitOnDisconnect = on; }

signals:
    void Disconnected();

private slots:
    void OnBusDisconnected();

private:
    QString m_progId;
    AutomationObject m_object;
    bool m_started = false;
    bool m_quitOnDisconnect = true;
    bool m_disconnectSeen = false;
};

}  // namespace qs::automation

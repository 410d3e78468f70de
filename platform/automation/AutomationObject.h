#pragma once
// An object this process exports on the session bus, answering late-bound
// calls by method name. A ProgID server exports one at kApplicationPath; a
// client that must answer call-backs exports one at a path of its own and
// passes LocalWindowHandle(path) to the server.
#include <QDBusContext>
#include <QObject>
#include <QVariant>

#include <functional>
#include <map>

#include "Automation.h"

namespace qs::automation {

// One call as a method sees it.
struct AutomationCall {
    QString method;
    QVariantList args;         // in; a method may change them to return by-reference values
    QString callerBusName;     // the caller's unique name (empty for a call from this process)
    QString errorText;         // set by Fail
    void Fail(const QString& text) { errorText = text; }
    WindowHandle Caller(const QString& path) const { return {callerBusName, path}; }
};

class AutomationObject : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.quillstone.Automation")

public:
    using Method = std::function<QVariant(AutomationCall&)>;

    explicit AutomationObject(QObject* parent = nullptr);
    ~AutomationObject() override;

    // Dispatch ids follow the order of registration, from 1.
    void AddMethod(const QString& name, Method method);

    // Exports this object at path on the session bus; false when the path is taken.
    bool Export(const QString& path);
    void Unexport();
    QString Path() const { return m_path; }

    // Runs a method in this process (what a remote call does, without the bus).
    QVariant CallLocal(const QString& method, QVariantList& args, QString* error = nullptr);

public slots:
    // The bus interface. The result list holds nothing for a method without a result.
    QVariantList Invoke(const QString& method, const QVariantList& args, QVariantList& byRef);
    int GetDispatchId(const QString& method);
    QStringList MethodNames();

private:
    struct Entry {
        int dispatchId;
        Method method;
    };
    std::map<QString, Entry> m_methods;
    QStringList m_order;
    QString m_path;
};

}  // namespace qs::automation

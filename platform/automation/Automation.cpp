#include "Automation.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QRegularExpression>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "QsEnvironment.h"

namespace qs::automation {

QString ServiceNameOf(const QString& progId) {
    QString element;
    element.reserve(progId.size());
    for (QChar c : progId)
        element += (c.isLetterOrNumber() && c.unicode() < 128) ? c : QChar(u'_');
    // An element may not start with a digit.
    if (element.isEmpty() || element.front().isDigit()) element.prepend(u'_');
    return QStringLiteral("org.quillstone.") + element;
}

QString ServiceDirectory() {
    const std::string overridden = qs::env::Get("QS_DBUS_SERVICE_DIR");
    if (!overridden.empty()) return QString::fromStdString(overridden);
    return QString::fromStdString(qs::env::XdgDataHome()) + QStringLiteral("/dbus-1/services");
}

namespace {

QString ServiceFilePath(const QString& progId) {
    return ServiceDirectory() + u'/' + ServiceNameOf(progId) + QStringLiteral(".service");
}

// The Exec line splits on blanks; quote what needs it.
QString QuoteExecArgument(const QString& arg) {
    if (!arg.isEmpty() && !arg.contains(QRegularExpression(QStringLiteral("[\\s\"'\\\\]")))) return arg;
    QString quoted = arg;
    quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + quoted + u'"';
}

void ReloadBusConfig() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    QDBusMessage reload = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ReloadConfig"));
    bus.call(reload, QDBus::Block, 5000);
}

}  // namespace

bool RegisterServer(const QString& progId, const QString& program, const QStringList& arguments,
                    QString* error) {
    const QString dir = ServiceDirectory();
    if (!QDir().mkpath(dir)) {
        if (error) *error = QStringLiteral("cannot create %1").arg(dir);
        return false;
    }
    QString exec = QuoteExecArgument(QFileInfo(program).absoluteFilePath());
    for (const QString& arg : arguments) exec += u' ' + QuoteExecArgument(arg);
    const QString text = QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2\n").arg(ServiceNameOf(progId), exec);
    QSaveFile file(ServiceFilePath(progId));
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    ReloadBusConfig();
    return true;
}

bool UnregisterServer(const QString& progId) {
    const QString path = ServiceFilePath(progId);
    const bool removed = !QFile::exists(path) || QFile::remove(path);
    ReloadBusConfig();
    return removed;
}

bool IsServerRunning(const QString& progId) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    return bus.interface()->isServiceRegistered(ServiceNameOf(progId)).value();
}

bool IsServerKnown(const QString& progId) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    const QString name = ServiceNameOf(progId);
    QDBusReply<QStringList> activatable = bus.interface()->activatableServiceNames();
    if (activatable.isValid() && activatable.value().contains(name)) return true;
    return bus.interface()->isServiceRegistered(name).value();
}

bool ActivateServer(const QString& progId, int timeoutMs, QString* error) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (error) *error = QStringLiteral("no session bus");
        return false;
    }
    const QString name = ServiceNameOf(progId);
    if (bus.interface()->isServiceRegistered(name).value()) return true;
    // StartServiceByName waits for the started program to take its name.
    QDBusMessage start = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("StartServiceByName"));
    start << name << 0u;
    const QDBusMessage reply = bus.call(start, QDBus::BlockWithGui, timeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        if (error) *error = reply.errorMessage();
        return false;
    }
    return bus.interface()->isServiceRegistered(name).value();
}

bool UpdateActivationEnvironment(const QStringList& names) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QMap<QString, QString> environment;
    for (const QString& name : names) {
        const QByteArray value = qgetenv(name.toLocal8Bit().constData());
        if (!value.isNull()) environment.insert(name, QString::fromLocal8Bit(value));
    }
    // The bus takes a{ss}: the map type must be known to the marshaller.
    qDBusRegisterMetaType<QMap<QString, QString>>();
    QDBusMessage update = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("UpdateActivationEnvironment"));
    update << QVariant::fromValue(environment);
    return bus.call(update, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}

QString WindowHandle::ToString() const { return IsNull() ? QString() : busName + u' ' + path; }

WindowHandle WindowHandle::FromString(const QString& text) {
    const QStringList parts = text.trimmed().split(u' ', Qt::SkipEmptyParts);
    if (parts.size() != 2) return {};
    return {parts[0], parts[1]};
}

WindowHandle LocalWindowHandle(const QString& path) {
    return {QDBusConnection::sessionBus().baseService(), path};
}

bool IsWindow(const WindowHandle& handle) {
    if (handle.IsNull()) return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    return bus.interface()->isServiceRegistered(handle.busName).value();
}

bool IsAutomationSwitch(const QString& argument) {
    return argument.compare(QLatin1String("/Automation"), Qt::CaseInsensitive) == 0 ||
           argument.compare(QLatin1String("-Automation"), Qt::CaseInsensitive) == 0;
}

bool IsEmbeddingSwitch(const QString& argument) {
    return argument.compare(QLatin1String("/Embedding"), Qt::CaseInsensitive) == 0 ||
           argument.compare(QLatin1String("-Embedding"), Qt::CaseInsensitive) == 0;
}

}  // namespace qs::automation

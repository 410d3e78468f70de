#include "RemoteWindow.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include "AutomationClient.h"

namespace qs::automation {

RemoteWindow::RemoteWindow(Send send, Post post) {
    m_object.AddMethod("SendMessage", [send](AutomationCall& call) {
        return QVariant(qint64(send(call.args.value(0).toUInt(), std::uintptr_t(call.args.value(1).toULongLong()),
                                    std::intptr_t(call.args.value(2).toLongLong()))));
    });
    m_object.AddMethod("PostMessage", [post](AutomationCall& call) {
        return QVariant(post(call.args.value(0).toUInt(), std::uintptr_t(call.args.value(1).toULongLong()),
                             std::intptr_t(call.args.value(2).toLongLong())));
    });
}

bool RemoteWindow::Export(const QString& path) { return m_object.Export(path); }

WindowHandle RemoteWindow::Handle() const {
    return m_object.Path().isEmpty() ? WindowHandle{} : LocalWindowHandle(m_object.Path());
}

std::intptr_t SendWindowMessage(const WindowHandle& window, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam, bool* ok) {
    const CallResult result = AutomationClient(window).Call(
        QStringLiteral("SendMessage"), {message, qulonglong(wParam), qlonglong(lParam)}, 60000);
    if (ok) *ok = result.ok;
    return result.ok ? std::intptr_t(result.value.toLongLong()) : 0;
}

bool PostWindowMessage(const WindowHandle& window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (window.IsNull()) return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(window.busName, window.path, QString::fromLatin1(kInterface),
                                                       QStringLiteral("Invoke"));
    call << QStringLiteral("PostMessage") << QVariant::fromValue(QVariantList{message, qulonglong(wParam), qlonglong(lParam)});
    call.setAutoStartService(false);
    // Queued without waiting for the answer; messages from one connection keep their order.
    return IsWindow(window) && bus.send(call);
}

}  // namespace qs::automation

#include "TailFactorLink.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include <vector>

#include "CArchive.h"
#include "CTailFactorAnalysis.h"

namespace {

QString Reason(const QString& busText) {
    // crx prefixes a failed call's text with its result code.
    const QString text = busText.trimmed();
    return text.isEmpty() ? QStringLiteral("<Unknown error>") : text;
}

}  // namespace

TailFactorLink& TailFactorLink::Shared() {
    static TailFactorLink link;
    return link;
}

bool TailFactorLink::IsAvailable() {
    if (m_available < 0) m_available = qs::automation::IsServerKnown(QString::fromLatin1(kProgId)) ? 1 : 0;
    return m_available == 1;
}

QString TailFactorLink::FailureText(HRESULT hr, const QString& detail) {
    QString system;
    switch (hr) {
    case REGDB_E_CLASSNOTREG: system = QStringLiteral("Class not registered"); break;
    case CO_E_SERVER_EXEC_FAILURE: system = QStringLiteral("Server execution failed"); break;
    case E_INVALIDARG: system = QStringLiteral("The parameter is incorrect"); break;
    case E_FAIL: system = QStringLiteral("Unspecified error"); break;
    default: system = QStringLiteral("<Unknown error>"); break;
    }
    if (!detail.isEmpty()) system += QStringLiteral(" (%1)").arg(detail);
    return QStringLiteral("Could not establish a connection to the CRX server.  The error returned by the CRX server "
                          "is:\r\n%1.")
        .arg(system);
}

TailFactorLink::Connect TailFactorLink::Open(const void* owner, HRESULT* hr, QString* error) {
    if (IsOpen()) return Connect::AlreadyOpen;
    auto fail = [&](HRESULT code, const QString& text) {
        if (hr) *hr = code;
        if (error) *error = text;
        return Connect::Failed;
    };
    if (!qs::automation::IsServerKnown(QString::fromLatin1(kProgId)))
        return fail(REGDB_E_CLASSNOTREG, QStringLiteral("crx is not registered"));
    QString why;
    if (!m_client.CreateDispatch(QString::fromLatin1(kProgId), &why)) {
        m_client.Release();
        return fail(CO_E_SERVER_EXEC_FAILURE, why);
    }
    // Bound to the process that answered, as an interface pointer is: a call
    // after that process ended fails instead of starting a new one.
    const QString unique =
        QDBusConnection::sessionBus().interface()->serviceOwner(m_client.Target().busName).value();
    if (unique.isEmpty()) {
        m_client.Release();
        return fail(CO_E_SERVER_EXEC_FAILURE, QStringLiteral("the server left the bus"));
    }
    m_client = qs::automation::AutomationClient({unique, m_client.Target().path});
    m_owner = owner;
    if (hr) *hr = S_OK;
    return Connect::Connected;
}

bool TailFactorLink::Send(const CTailFactorAnalysis& analysis, const qs::automation::WindowHandle& window,
                          QString* error) {
    if (!IsOpen()) {
        if (error) *error = QStringLiteral("no connection");
        return false;
    }
    CTailFactorAnalysis copy = analysis;
    std::vector<uint8_t> bytes;
    {
        CArchive ar(bytes, CArchive::store);
        copy.Serialize(ar);
        ar.Close();
    }
    const QByteArray stream(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    for (const auto& [method, args] :
         std::vector<std::pair<QString, QVariantList>>{{QStringLiteral("put_Data"), {stream}},
                                                       {QStringLiteral("RegisterCallback"), {window.ToString()}},
                                                       {QStringLiteral("RunAnalysis"), {}}}) {
        const auto result = m_client.Call(method, args);
        if (!result.ok) {
            if (error) *error = method + QStringLiteral(": ") + Reason(result.error);
            Drop();
            return false;
        }
    }
    return true;
}

bool TailFactorLink::Display() { return IsOpen() && m_client.Call(QStringLiteral("Display")).ok; }

bool TailFactorLink::ReadBack(CTailFactorAnalysis* into, bool* dirty, QString* error) {
    if (!IsOpen() || !into) return false;
    const auto data = m_client.Call(QStringLiteral("get_Data"));
    if (!data.ok || data.value.metaType().id() != QMetaType::QByteArray) {
        if (error) *error = QStringLiteral("get_Data: ") + Reason(data.error);
        return false;
    }
    const QByteArray raw = data.value.toByteArray();
    std::vector<uint8_t> bytes(raw.begin(), raw.end());
    CTailFactorAnalysis loaded;
    try {
        CArchive ar(bytes, CArchive::load);
        loaded.Serialize(ar);
    } catch (const CException&) {
        if (error) *error = QStringLiteral("the analysis that came back cannot be read");
        return false;
    }
    *into = loaded;
    const auto flag = m_client.Call(QStringLiteral("IsDataDirty"));
    if (flag.ok && dirty) *dirty = flag.value.toBool();
    return true;
}

bool TailFactorLink::IsOpenFor(const void* owner) {
    if (!IsOpen() || owner != m_owner) return false;
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface()->isServiceRegistered(m_client.Target().busName).value()) return true;
    Drop();
    return false;
}

void TailFactorLink::Release(const void* owner) {
    if (!IsOpen() || owner != m_owner) return;
    Drop();
}

void TailFactorLink::Drop() {
    // The stand-in for the last reference going: crx ends once its window
    // is closed. A crx that is gone already needs no telling.
    if (m_client.IsBound()) m_client.Call(QStringLiteral("Release"), {}, 5000);
    m_client.Release();
    m_owner = nullptr;
}

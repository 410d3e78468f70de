#include "DebugServerLink.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include "Automation.h"
#include "AutomationClient.h"

namespace faultbox {

namespace {

// A line for the debug window must not hold its program up for long when the
// server hangs.
constexpr int kCallTimeoutMs = 30000;

bool BusUsable() { return QCoreApplication::instance() != nullptr && QDBusConnection::sessionBus().isConnected(); }

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

DebugServerLink::DebugServerLink() : m_client(std::make_unique<qs::automation::AutomationClient>()) {}
DebugServerLink::~DebugServerLink() = default;

bool DebugServerLink::IsRunning(const std::string& progId) {
    return BusUsable() && qs::automation::IsServerRunning(Q(progId));
}

bool DebugServerLink::AttachRunning(const std::string& progId) {
    return BusUsable() && m_client->AttachRunning(Q(progId));
}

bool DebugServerLink::CreateInstance(const std::string& progId) {
    return BusUsable() && qs::automation::IsServerKnown(Q(progId)) && m_client->CreateDispatch(Q(progId));
}

void DebugServerLink::Release() {
    m_client->Release();
    m_names.clear();
}

int DebugServerLink::IdOfName(const std::string& name) {
    if (!m_client->IsBound()) return kUnknownId;
    const int id = m_client->GetDispatchId(Q(name));
    if (id < 0) return kUnknownId;
    m_names[id] = name;
    return id;
}

void DebugServerLink::Invoke(int id, const std::vector<std::string>& arguments) {
    auto it = m_names.find(id);
    if (!m_client->IsBound() || it == m_names.end()) return;
    QVariantList args;
    for (const std::string& a : arguments) args << Q(a);
    m_client->Call(Q(it->second), args, kCallTimeoutMs);
}

}  // namespace faultbox

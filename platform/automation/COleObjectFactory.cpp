#include "COleObjectFactory.h"

#include <QFileInfo>

#include <algorithm>
#include <string>

#include "Automation.h"
#include "QsEnvironment.h"
#include "QsRegistry.h"

namespace {

// Never destroyed: a factory may be a member of an object made before the
// list (the application object) and so be destroyed after the list's own
// static destructor would have run.
std::vector<COleObjectFactory*>& FactoryList() {
    static auto* factories = new std::vector<COleObjectFactory*>;
    return *factories;
}

QString& FactoryServerProgram() {
    static QString program;
    return program;
}

bool g_factoryQuitWithBus = false;

std::string Utf8(const QString& text) { return text.toStdString(); }

}  // namespace

COleObjectFactory::COleObjectFactory(const QString& clsid, const QString& progId, const QString& typeName,
                                     bool multiInstance) {
    SetClass(clsid, progId, typeName, multiInstance);
}

void COleObjectFactory::SetClass(const QString& clsid, const QString& progId, const QString& typeName,
                                 bool multiInstance) {
    m_clsid = clsid;
    m_progId = progId;
    m_typeName = typeName;
    m_multiInstance = multiInstance;
    auto& list = FactoryList();
    if (std::find(list.begin(), list.end(), this) == list.end()) list.push_back(this);
}

COleObjectFactory::~COleObjectFactory() {
    Revoke();
    auto& list = FactoryList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

std::vector<COleObjectFactory*> COleObjectFactory::Factories() { return FactoryList(); }

void COleObjectFactory::SetServerProgram(const QString& program) { FactoryServerProgram() = program; }

QString COleObjectFactory::ServerProgram() {
    if (!FactoryServerProgram().isEmpty()) return FactoryServerProgram();
    return QString::fromStdString(qs::env::ExecutableDirectory()) + QStringLiteral("/qstone");
}

void COleObjectFactory::SetQuitWithBus(bool on) { g_factoryQuitWithBus = on; }

bool COleObjectFactory::RegisterAll() {
    bool all = true;
    for (COleObjectFactory* factory : Factories())
        if (!factory->IsRegistered()) all = factory->Register() && all;
    return all;
}

void COleObjectFactory::RevokeAll() {
    for (COleObjectFactory* factory : Factories()) factory->Revoke();
}

bool COleObjectFactory::UpdateRegistryAll(bool bRegister) {
    bool all = true;
    for (COleObjectFactory* factory : Factories()) all = factory->UpdateRegistry(bRegister) && all;
    return all;
}

bool COleObjectFactory::Register() {
    if (m_progId.isEmpty()) return false;
    if (m_server) return true;
    auto server = std::make_unique<qs::automation::AutomationServer>(m_progId);
    server->SetQuitOnDisconnect(g_factoryQuitWithBus);
    if (!server->Start()) return false;
    m_server = std::move(server);
    return true;
}

void COleObjectFactory::Revoke() {
    if (!m_server) return;
    m_server->Stop();
    m_server.reset();
}

bool COleObjectFactory::UpdateRegistry(bool bRegister) {
    if (m_progId.isEmpty() || m_clsid.isEmpty()) return false;
    const HKEY root = HKEY_CLASSES_ROOT;
    const std::string progKey = Utf8(m_progId);
    const std::string classKey = "CLSID\\" + Utf8(m_clsid);
    if (!bRegister) {
        const bool a = qs::registry::DeleteTree(root, progKey);
        const bool b = qs::registry::DeleteTree(root, classKey);
        const bool c = qs::automation::UnregisterServer(m_progId);
        return a && b && c;
    }
    const QString program = QFileInfo(ServerProgram()).absoluteFilePath();
    bool ok = qs::registry::WriteString(root, progKey, "", Utf8(m_typeName));
    ok = qs::registry::WriteString(root, progKey + "\\CLSID", "", Utf8(m_clsid)) && ok;
    ok = qs::registry::WriteString(root, classKey, "", Utf8(m_typeName)) && ok;
    ok = qs::registry::WriteString(root, classKey + "\\ProgID", "", progKey) && ok;
    ok = qs::registry::WriteString(root, classKey + "\\LocalServer32", "", Utf8(program) + " /Automation") && ok;
    ok = qs::automation::RegisterServer(m_progId, program) && ok;
    return ok;
}

COleTemplateServer::COleTemplateServer() = default;

void COleTemplateServer::ConnectTemplate(const QString& clsid, const QString& progId, const QString& typeName,
                                         bool bMultiInstance) {
    SetClass(clsid, progId, typeName, bMultiInstance);
}

bool COleTemplateServer::UpdateRegistry(bool bRegister) {
    return IsConnected() && COleObjectFactory::UpdateRegistry(bRegister);
}

bool COleTemplateServer::Register() { return IsConnected() && COleObjectFactory::Register(); }

#pragma once
// The class objects a program offers to automation clients, as the class
// library keeps them. Each names a class id, the ProgID clients ask for, the
// type's readable name, and whether one server process serves one client
// (single instance) or many.
//
//   RegisterAll        every factory's server takes its ProgID's name on the
//                      session bus, so clients reach the running program. No
//                      bus, or a name another process owns, leaves that
//                      factory unregistered; nothing else happens.
//   UpdateRegistryAll  writes what a client's look-up needs: in the
//                      registry's classes root "<ProgID>" (the type name)
//                      with "CLSID", and "CLSID\<class id>" with "ProgID" and
//                      "LocalServer32" (the program and its automation
//                      switch); and the bus activation file that starts the
//                      program for the ProgID. FALSE removes them again.
#include <QString>

#include <memory>
#include <vector>

#include "AutomationServer.h"

class COleObjectFactory {
public:
    COleObjectFactory(const QString& clsid, const QString& progId, const QString& typeName, bool multiInstance);
    virtual ~COleObjectFactory();
    COleObjectFactory(const COleObjectFactory&) = delete;
    COleObjectFactory& operator=(const COleObjectFactory&) = delete;

    static bool RegisterAll();
    static void RevokeAll();
    static bool UpdateRegistryAll(bool bRegister = true);
    // Every factory alive, in construction order.
    static std::vector<COleObjectFactory*> Factories();

    virtual bool Register();
    void Revoke();
    virtual bool UpdateRegistry(bool bRegister = true);
    bool IsRegistered() const { return m_server != nullptr; }

    const QString& GetClassID() const { return m_clsid; }
    const QString& GetProgID() const { return m_progId; }
    const QString& GetTypeName() const { return m_typeName; }
    bool IsMultiInstance() const { return m_multiInstance; }
    // The running server of a registered factory (its object takes the
    // class's methods); null when not registered.
    qs::automation::AutomationServer* Server() const { return m_server.get(); }

    // The program the activation file and "LocalServer32" name (default: the
    // "qstone" beside this executable).
    static void SetServerProgram(const QString& program);
    static QString ServerProgram();
    // A program started for automation ends when its bus goes; one a person
    // started keeps running (default: keeps running).
    static void SetQuitWithBus(bool on);

protected:
    COleObjectFactory() = default;
    void SetClass(const QString& clsid, const QString& progId, const QString& typeName, bool multiInstance);

private:
    QString m_clsid;
    QString m_progId;
    QString m_typeName;
    bool m_multiInstance = false;
    std::unique_ptr<qs::automation::AutomationServer> m_server;
};

// The factory of a document template: the class library's template server.
// It knows the template only by the strings the registration needs.
class COleTemplateServer : public COleObjectFactory {
public:
    COleTemplateServer();
    // Ties the server to a template's class: its id, the ProgID (the
    // template's registered file type) and the readable type name.
    void ConnectTemplate(const QString& clsid, const QString& progId, const QString& typeName, bool bMultiInstance);
    bool IsConnected() const { return !GetClassID().isEmpty(); }
    bool UpdateRegistry(bool bRegister = true) override;
    bool Register() override;
};

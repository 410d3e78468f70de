#pragma once
// The facade of one database project: its record stores, made for the
// project and the manager it is bound to. Graph, graph-style and print-list
// records are not kept by this manager yet: those stores are null.
#include "CKDVVantor.h"
#include "RecordStores.h"

class CProject;

namespace qs::db {

class DatabaseManager;

class DatabaseVantor : public CKDVVantor {
public:
    DatabaseVantor(DatabaseManager& manager, CProject& project)
        : m_template(manager, project), m_data(manager, project), m_udo(manager, project, m_template),
          m_exportLists(manager) {}
    CKDVData* GetData() override { return &m_data; }
    CKDVTemplate* GetTemplate() override { return &m_template; }
    CKDVUdo* GetUdo() override { return &m_udo; }
    CKDVGraph* GetGraph() override { return nullptr; }
    CKDVGraphStyle* GetGraphStyle() override { return nullptr; }
    CKDVPrintList* GetPrintList() override { return nullptr; }
    CKDVSummExportList* GetSummExportList() override { return &m_exportLists; }

    TemplateStore& Template() { return m_template; }
    ProfileDataStore& Data() { return m_data; }

private:
    TemplateStore m_template;
    ProfileDataStore m_data;
    UdoStore m_udo;
    SummExportListStore m_exportLists;
};

}  // namespace qs::db

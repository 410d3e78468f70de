#pragma once
// A database binding for tests: a profile with an evaluation date and a
// template with a name, each present or not, and nothing else behind them.
#include <string>

#include "CKDVVantor.h"

namespace qs::test {

struct FakeDatabaseData : CKDVData {
    std::string profile = "Auto East";
    double eval = 45656;  // 31 December 2024; -1 for none
    void SetStructID(long) override {}
    void SetProfile(const std::string&) override {}
    std::string GetProfileDisplayName() override { return profile; }
    int GetDBMSType() override { return 0; }
    double GetEvalDate() override { return eval; }
    void SetEvalDate(double d) override { eval = d; }
    bool SuggestEvalDateWhenNotAvailable(double&) override { return false; }
    bool HasDataChanged() override { return false; }
    bool HasStructureChanged() override { return false; }
    bool Load() override { return true; }
    bool Save() override { return true; }
    bool SaveAs(bool) override { return true; }
    bool SaveDataTo(const std::string&, const std::string&, int&) override { return true; }
};

struct FakeDatabaseTemplate : CKDVTemplate {
    std::string name;
    void SetID(long) override {}
    std::string GetName() override { return name; }
    bool HasTemplateChanged() override { return false; }
    bool Load() override { return true; }
    bool Save() override { return true; }
    bool SaveAs(bool) override { return true; }
};

struct FakeDatabase : CKDVVantor {
    FakeDatabaseData data;
    FakeDatabaseTemplate templ;
    bool hasData = true, hasTemplate = true;
    CKDVData* GetData() override { return hasData ? &data : nullptr; }
    CKDVTemplate* GetTemplate() override { return hasTemplate ? &templ : nullptr; }
    CKDVUdo* GetUdo() override { return nullptr; }
    CKDVGraph* GetGraph() override { return nullptr; }
    CKDVGraphStyle* GetGraphStyle() override { return nullptr; }
    CKDVPrintList* GetPrintList() override { return nullptr; }
    CKDVSummExportList* GetSummExportList() override { return nullptr; }
};

}  // namespace qs::test

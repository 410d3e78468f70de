#pragma once
// What a host sees of the statistics-import engine libLexgrv.so: the two
// entry points it looks up by name after loading the library, and the
// interface object with its maps. Objects are the library's: the host only
// calls through these interfaces and never creates or deletes them.
class CProject;

class ILOBMap {
public:
    virtual int GetCount(int* count) = 0;                        // 0
    virtual int GetColumn3(int row, const char** text) = 0;      // the texts the wizard shows...
    virtual int GetColumn1(int row, const char** code) = 0;      // ...the code in variable names
    virtual int GetColumn2(int row, const char** text) = 0;

protected:
    ~ILOBMap() = default;
};

class ICompanyList {
public:
    // -1 when the list was never built, else 0; the others -1 for an index
    // at or past the count. Number and entry are -1 too for a company that
    // cannot be imported; GetProblem then gives the reason (and is -1 for
    // every company that can).
    virtual int GetCount(int* count) = 0;
    virtual int GetName(int index, const char** name) = 0;
    virtual int GetNumber(int index, long* number) = 0;
    virtual int GetEntry(int index, const char** name, long* number) = 0;
    virtual int GetProblem(int index, const char** text) = 0;

protected:
    ~ICompanyList() = default;
};

class IStatisticsDb {
public:
    // Imports one company (index into the company list) and one line of
    // business (row of the line-of-business map) into project: 0, or -1.
    virtual int ImportCompany(CProject* project, int companyIndex, int lobIndex, int priorRowFlag) = 0;
    virtual int GetLOBMap(ILOBMap** map) = 0;
    virtual int GetCompanyList(ICompanyList** list) = 0;
    // The data year: four characters, owned by the instance.
    virtual int GetDataYear(const char** year) = 0;
    // Why the last ImportCompany failed: one line, owned by the instance
    // (empty when it did not fail or gave no reason).
    virtual int GetImportError(const char** text) = 0;

protected:
    ~IStatisticsDb() = default;
};

// int GetLexigroveInstance(IStatisticsDb** instance): 0, or -1 when the
// session could not start. int ReleaseLexigroveInstance(): 0, or -1 when the
// statistics session did not end cleanly; the instance is gone either way.
using GetLexigroveInstanceFn = int (*)(IStatisticsDb**);
using ReleaseLexigroveInstanceFn = int (*)();

#pragma once
// The import engine's one instance per process: the statistics session, the
// maps, the company list and the import of one company and line of business
// into a project's data objects.
#include <memory>
#include <string>
#include <vector>

#include "CCompanyList.h"
#include "ImportMaps.h"
#include "LexigroveInterface.h"

class CDataObject;
class CWnd;

class CStatisticsDbInterface final : public IStatisticsDb {
public:
    CStatisticsDbInterface();
    ~CStatisticsDbInterface();

    int ImportCompany(CProject* project, int companyIndex, int lobIndex, int priorRowFlag) override;
    int GetLOBMap(ILOBMap** map) override;
    int GetCompanyList(ICompanyList** list) override;
    int GetDataYear(const char** year) override;
    int GetImportError(const char** text) override;

    // Runs once, from the first GetLexigroveInstance: 0, or -1.
    int OpenSession();
    bool SessionOpen() const { return m_sessionOpen; }

    // The names of one name set: P<array><code><sub><index> (sub 0: no sub),
    // rewritten by the utility map. 10 names for 'T' (11 with the prior row),
    // 1 for 'C' and 'D', none for any other kind.
    std::vector<std::string> BuildCellNames(int arrayNo, const std::string& code, int subNo, int firstIndex,
                                            char kind) const;
    // Adds (sign other than '-') or subtracts one name set's series into the
    // object's cells; 1 when it filled cells, 0 when the database holds no
    // data for them, -1 when the database could not give what it holds (the
    // import of the pair then fails, ImportError() says why).
    int FillArray(CDataObject* object, const std::vector<std::string>& names, long companyNumber, char kind,
                  char sign);
    void ReportMissingData(CDataObject* object);

    const std::string& StatisticsFolder() const { return m_statisticsFolder; }
    int DataYear() const { return m_dataYear; }
    const std::string& ImportError() const { return m_importError; }
    CWnd* WarningWindow() const { return m_warningWindow; }

private:
    int ReadDataYear();
    void CloseTables();
    // A cell write that can be taken back when the import of a pair fails.
    // With incremental set, value and delta are the cell's increment over the
    // row's previous cell that holds a value (the triangles' series); else
    // the cell's own value (columns and diagonals).
    // False (with the reason kept) when the cell cannot take the sum.
    bool AddToCell(CDataObject* object, int row, int column, double delta, bool incremental);
    // Keeps the reason of a failed import; returns -1 for FillArray to pass on.
    int Fail(std::string reason);
    std::string CompanyText(long companyNumber) const;
    void RollBack();

    char m_dataYearText[8] = {};
    int m_dataYear = 0;
    std::unique_ptr<CCompanyList> m_companyList;
    std::unique_ptr<CLOBMap> m_lobMap;
    std::unique_ptr<CVarMap> m_varMap;
    std::string m_statisticsFolder;
    int m_mainTable = 0;
    int m_entitiesTable = 0;
    int m_triangleSize = -1;
    CWnd* m_warningWindow = nullptr;
    std::unique_ptr<CUtilityMap> m_utilityMap;
    int m_priorRowFlag = 0;
    bool m_sessionOpen = false;
    std::string m_importError;

    struct Undo {
        CDataObject* object;
        int row, column;
        double value;
        bool hadValue;
        bool incremental;
    };
    std::vector<Undo> m_undo;
};

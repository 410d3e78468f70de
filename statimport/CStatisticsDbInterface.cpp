#include "CStatisticsDbInterface.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QWidget>

#include "CDataObject.h"
#include "CProject.h"
#include "CWinApp.h"
#include "CWnd.h"
#include "KernelIds.h"
#include "Ktb.h"
#include "QsEnvironment.h"
#include "WindowMessages.h"

namespace {

// The product the session asks for; KtbInit writes back the product actually
// mapped (up to ten characters and the terminator).
char g_product[11] = "ZID_IVI";

constexpr const char* kDatabase = "VEZIR";

}  // namespace

CStatisticsDbInterface::CStatisticsDbInterface() {
    CWinApp* app = AfxGetApp();
    const QString system = app ? app->GetProfileString("Settings", "System Directory", "") : QString();
    if (!system.isEmpty()) {
        m_statisticsFolder = system.toStdString() + "/";
    } else {
        const std::string exe = qs::env::ExecutableDirectory();
        m_statisticsFolder = exe.empty() ? std::string() : exe + "/";
    }
    m_warningWindow = AfxGetMainWnd();
    const QString debug = app ? app->GetProfileString("Settings", "LexigroveDebug", "") : QString();
    if (debug != QLatin1String("1")) m_warningWindow = nullptr;
}

CStatisticsDbInterface::~CStatisticsDbInterface() = default;

void CStatisticsDbInterface::CloseTables() {
    if (m_mainTable) KtbCloseTable(m_mainTable);
    if (m_entitiesTable) KtbCloseTable(m_entitiesTable);
    m_mainTable = m_entitiesTable = 0;
}

int CStatisticsDbInterface::OpenSession() {
    const int status = KtbInit(g_product, 0);
    if (status != KTB_SUCCESS && status != KTB_INVALID_PRODUCT) return -1;
    if (ReadDataYear() != 0) return -1;
    m_dataYear = std::atoi(m_dataYearText);
    if (!m_varMap) {
        m_varMap = std::make_unique<CVarMap>();
        m_varMap->Load(m_statisticsFolder + (m_dataYear < 1999 ? "var1.map" : "var2.map"));
    }
    if (!m_utilityMap) {
        m_utilityMap = std::make_unique<CUtilityMap>();
        m_utilityMap->Load(m_statisticsFolder + "utility.map");
    }
    m_sessionOpen = true;
    return 0;
}

int CStatisticsDbInterface::ReadDataYear() {
    auto fail = [&] {
        CloseTables();
        return -1;
    };
    if (KtbOpenTable(kDatabase, "Entities", &m_entitiesTable) != KTB_SUCCESS) return fail();
    if (KtbOpenTable(kDatabase, "Main", &m_mainTable) != KTB_SUCCESS) return fail();
    if (KtbAddVar(m_mainTable, "P3D11") != KTB_SUCCESS) return fail();
    KtbFindKeyInTable(m_entitiesTable, "PCOMP");
    char key[46] = {};
    if (KtbGetInfo(m_entitiesTable, 0, 2, key) != KTB_SUCCESS) return fail();
    if (KtbClearEntityMain(m_mainTable) != KTB_SUCCESS || KtbAddEntityMain(m_mainTable, key) != KTB_SUCCESS)
        return fail();
    int rows = 0, columns = 0;
    if (KtbGetInfo(m_mainTable, 0, 1, &rows) != KTB_SUCCESS || rows != 1) return fail();
    if (KtbGetInfo(m_mainTable, 0, 6, &columns) != KTB_SUCCESS || columns != 1) return fail();
    CVarSeries series;
    if (series.Read(m_mainTable, 0) != 0) return fail();
    std::memcpy(m_dataYearText, series.Label(), 4);
    m_dataYearText[4] = 0;
    CloseTables();
    return 0;
}

int CStatisticsDbInterface::GetLOBMap(ILOBMap** map) {
    int result = 0;
    if (!m_lobMap) {
        m_lobMap = std::make_unique<CLOBMap>();
        result = m_lobMap->Load(m_statisticsFolder + "lob.map");
    }
    if (map) *map = m_lobMap.get();
    return result;
}

int CStatisticsDbInterface::GetCompanyList(ICompanyList** list) {
    int result = 0;
    if (!m_companyList) {
        m_companyList = std::make_unique<CCompanyList>();
        result = m_companyList->Build();
    }
    if (list) *list = m_companyList.get();
    return result;
}

int CStatisticsDbInterface::GetDataYear(const char** year) {
    if (year) *year = m_dataYearText;
    return 0;
}

int CStatisticsDbInterface::GetImportError(const char** text) {
    if (text) *text = m_importError.c_str();
    return 0;
}

int CStatisticsDbInterface::Fail(std::string reason) {
    if (m_importError.empty()) m_importError = std::move(reason);
    return -1;
}

std::string CStatisticsDbInterface::CompanyText(long companyNumber) const {
    if (companyNumber == 0) return "the industry composite";
    char text[40];
    std::snprintf(text, sizeof text, "company %05ld", companyNumber);
    return text;
}

namespace {
std::string StatusText(int status) {
    char text[50] = {};
    KtbGetErrText(status, text);
    return text[0] ? std::string(text) : "status " + std::to_string(status);
}
}  // namespace

std::vector<std::string> CStatisticsDbInterface::BuildCellNames(int arrayNo, const std::string& code, int subNo,
                                                                int firstIndex, char kind) const {
    int count = 0;
    if (kind == 'C' || kind == 'D') count = 1;
    if (kind == 'T') count = m_priorRowFlag ? 11 : 10;
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        std::string name = "P" + std::to_string(arrayNo) + code;
        if (subNo != 0) name += std::to_string(subNo);
        name += std::to_string(firstIndex + i);
        if (m_utilityMap) m_utilityMap->Expand(name);
        names.push_back(name);
    }
    return names;
}

void CStatisticsDbInterface::ReportMissingData(CDataObject* object) {
    const QSID id = object->GetIDNum();
    static const char* const kLayers[] = {"Unknown", "Net", "Gross", "Ceded", "Direct", "Assumed"};
    const unsigned short layer = GetIDLayer(id);
    char text[256];
    std::snprintf(text, sizeof text, "WARNING: Could not find data for array #%d, %s layer.", GetIDIndex(id),
                  kLayers[layer <= 5 ? layer : 0]);
    if (m_warningWindow) m_warningWindow->SendMessage(WM_USER + 4, reinterpret_cast<WPARAM>(text), 0);
}

namespace {
// The kernel keeps a triangle's cells cumulative and shows them as
// increments in its incremental view; the import adds increments, so it
// reads and writes a triangle's cells through that view for the time of
// one cell, and leaves the user's choice of view as it was.
class IncrementalAccess {
public:
    IncrementalAccess(CDataObject* object, bool on)
        : m_object(object), m_restore(on && object->IsViewedCumulative()) {
        QSSTATUS status = 0;
        if (m_restore) object->ViewCumulative(0, status, 0);
        if (status != 0) m_restore = false;
    }
    ~IncrementalAccess() {
        QSSTATUS status = 0;
        if (m_restore) m_object->ViewCumulative(1, status, 0);
    }
    IncrementalAccess(const IncrementalAccess&) = delete;
    IncrementalAccess& operator=(const IncrementalAccess&) = delete;

private:
    CDataObject* m_object;
    bool m_restore;
};
}  // namespace

bool CStatisticsDbInterface::AddToCell(CDataObject* object, int row, int column, double delta, bool incremental) {
    IncrementalAccess view(object, incremental);
    double old = 0.0;
    std::uint8_t flags = 0;
    object->GetAt(row, column, old, flags);
    const bool hadValue = (flags & 1) != 0;
    if (!hadValue) old = 0.0;
    // A sum past the largest number would be kept as a blank cell: the pair
    // fails instead of arriving with a hole.
    const double sum = old + delta;
    if (!std::isfinite(sum) || object->SetAt(row, column, sum, 1) != 0) {
        char text[160];
        std::snprintf(text, sizeof text, "A value of array #%d does not fit its cell (row %d, column %d).",
                      GetIDIndex(object->GetIDNum()), row + 1, column + 1);
        Fail(text);
        return false;
    }
    m_undo.push_back({object, row, column, old, hadValue, incremental});
    return true;
}

void CStatisticsDbInterface::RollBack() {
    for (auto it = m_undo.rbegin(); it != m_undo.rend(); ++it) {
        IncrementalAccess view(it->object, it->incremental);
        if (it->hadValue)
            it->object->SetAt(it->row, it->column, it->value, 1);
        else
            it->object->SetCellBlank(it->row, it->column, 1);
    }
    m_undo.clear();
}

int CStatisticsDbInterface::FillArray(CDataObject* object, const std::vector<std::string>& names, long companyNumber,
                                      char kind, char sign) {
    KtbClearVarList(m_mainTable);
    for (const std::string& n : names) KtbAddVar(m_mainTable, n.c_str());
    char key[32];
    if (companyNumber == 0)
        std::strcpy(key, "PCOMP");
    else
        std::snprintf(key, sizeof key, "%05ld", companyNumber);
    // The company's row: a company the list names but the database does not
    // hold, or a row that cannot be read, fails the pair (an empty project
    // is not an import).
    if (KtbFindKeyInTable(m_entitiesTable, key) != KTB_SUCCESS)
        return Fail("The statistics database holds no data for " + CompanyText(companyNumber) + ".");
    char current[46] = {};
    int rows = 0;
    int st = KtbGetInfo(m_entitiesTable, 0, 2, current);
    if (st == KTB_SUCCESS) st = KtbClearEntityMain(m_mainTable);
    if (st == KTB_SUCCESS) st = KtbAddEntityMain(m_mainTable, current);
    if (st == KTB_SUCCESS) st = KtbGetInfo(m_mainTable, 0, 1, &rows);
    if (st != KTB_SUCCESS || rows != 1)
        return Fail("The statistics database could not give the data of " + CompanyText(companyNumber) + ": " +
                    StatusText(st == KTB_SUCCESS ? KTB_NO_VALUE : st) + ".");
    int found = 0;  // names the database found
    if (const int st6 = KtbGetInfo(m_mainTable, 0, 6, &found); st6 != KTB_SUCCESS)
        return Fail("The statistics database could not give the data of " + CompanyText(companyNumber) + ": " +
                    StatusText(st6) + ".");
    // A series that cannot be read, or that holds no numbers, fails the pair.
    auto readSeries = [&](CVarSeries& series, int column) {
        if (series.Read(m_mainTable, column) != 0) {
            char label[46] = {};
            KtbGetInfo(m_mainTable, column, 4, label);
            Fail("The series \"" + std::string(label) + "\" of " + CompanyText(companyNumber) +
                 " could not be read from the statistics database: " + StatusText(series.Status()) + ".");
            return false;
        }
        if (series.DataType() != 1) {
            Fail("The series \"" + std::string(series.Label()) + "\" of " + CompanyText(companyNumber) +
                 " in the statistics database holds no numbers.");
            return false;
        }
        return true;
    };
    const double factor = sign == '-' ? -1.0 : 1.0;
    const int e = m_priorRowFlag ? 11 : 10;
    std::uint16_t maxRows = 0, maxCols = 0;
    object->GetMaxRowsCols(maxRows, maxCols);
    // Cells outside the object are skipped: a series longer than its row, or
    // a diagonal running past the first column, never wraps to another cell.
    auto inside = [&](int row, int column) { return row >= 0 && column >= 0 && row < maxRows && column < maxCols; };

    if (kind == 'T') {
        if (found < 1) {
            ReportMissingData(object);
            return 0;
        }
        m_triangleSize = found;
        for (int k = 0; k < found; ++k) {
            const int r = e - found + k;
            CVarSeries series;
            if (!readSeries(series, k)) return -1;
            const int start = m_priorRowFlag && r == 0 ? 1 : 0;
            int last = series.Count() - 1;
            if (m_dataYear < 1999) last = series.Count() - 1 - (m_priorRowFlag && r >= 1 ? r - 1 : r);
            double prev = 0.0;
            int column = start;
            for (int i = last; i >= 0; --i, ++column) {
                if (series.IsNA(i)) continue;
                const double item = series.Number(i);
                if (inside(r, column) && !AddToCell(object, r, column, factor * (item - prev), true)) return -1;
                prev = item;
            }
        }
        return 1;
    }
    if (found != 1 || m_triangleSize == -1) return 0;
    CVarSeries series;
    if (!readSeries(series, 0)) return -1;
    int o = series.Count() - m_triangleSize;
    if (m_priorRowFlag && o == -1) {
        o = 0;
    } else if (o < 0) {
        ReportMissingData(object);
        return 0;
    }
    int r = o + e - series.Count();
    std::uint16_t cols = 0;
    object->GetNumColsInRow(static_cast<std::uint16_t>(std::max(r, 0)), cols);
    int column = static_cast<int>(cols) - 1;
    for (int i = series.Count() - o - 1; i >= 0; --i, ++r) {
        if (!series.IsNA(i) && inside(r, column) && !AddToCell(object, r, column, factor * series.Number(i), false))
            return -1;
        if (kind == 'D') --column;
    }
    return 1;
}

int CStatisticsDbInterface::ImportCompany(CProject* project, int companyIndex, int lobIndex, int priorRowFlag) {
    m_importError.clear();
    if (!project || !m_sessionOpen) return -1;
    // A map without rows names nothing to import: that is a failure, not an empty success.
    if (!m_varMap || m_varMap->Rows().empty()) return Fail("The variable map names nothing to import.");
    ILOBMap* lob = nullptr;
    ICompanyList* companies = nullptr;
    const char* code = nullptr;
    long number = 0;
    if (GetLOBMap(&lob) != 0 || !lob || lob->GetColumn1(lobIndex, &code) != 0) return -1;
    if (GetCompanyList(&companies) != 0 || !companies) return -1;
    if (companies->GetNumber(companyIndex, &number) != 0) {
        const char* problem = nullptr;
        if (companies->GetProblem(companyIndex, &problem) == 0 && problem) Fail(problem);
        return -1;
    }
    if (const int st = KtbOpenTable(kDatabase, "Entities", &m_entitiesTable); st != KTB_SUCCESS)
        return Fail("The statistics database could not be opened: " + StatusText(st) + ".");
    if (const int st = KtbOpenTable(kDatabase, "Main", &m_mainTable); st != KTB_SUCCESS) {
        CloseTables();
        return Fail("The statistics database could not be opened: " + StatusText(st) + ".");
    }
    m_priorRowFlag = priorRowFlag;
    // Each company's triangles set their own size; another company's never carries over.
    m_triangleSize = -1;
    m_undo.clear();
    for (const CVarMapRow& row : m_varMap->Rows()) {
        QSID id = row.idIndex + 101000000;
        SetIDLayer(id, static_cast<unsigned short>(row.layer));
        int first = row.firstIndex, first2 = row.firstIndex2;
        if (m_priorRowFlag && row.kind == 'T') {
            --first;
            --first2;
        }
        const auto names = BuildCellNames(row.arrayNo, code, row.subNo, first, row.kind);
        CFormula* formula = project->OpenObject(id, 0, nullptr);
        auto* object = dynamic_cast<CDataObject*>(formula);
        if (!object) {
            if (formula) project->CloseObject(formula, nullptr);
            Fail("The project has no array #" + std::to_string(row.idIndex) + " to import into.");
            // Nothing of a pair that cannot be imported whole stays behind.
            RollBack();
            CloseTables();
            return -1;
        }
        object->SetRecalcOn(0);
        int filled = FillArray(object, names, number, row.kind, '+');
        if (filled >= 0 && row.sign2 != 0)
            filled = FillArray(object, BuildCellNames(row.arrayNo2, code, row.subNo2, first2, row.kind), number,
                               row.kind, row.sign2);
        object->SetRecalcOn(1);
        project->CloseObject(object, nullptr);
        // What the database could not give fails the whole pair: nothing of
        // it stays behind, and it is never saved as if it were complete.
        if (filled < 0) {
            RollBack();
            CloseTables();
            return -1;
        }
    }
    CloseTables();
    // A pair that brought no figures at all makes no project.
    if (m_undo.empty()) {
        const char* lobName = nullptr;
        lob->GetColumn3(lobIndex, &lobName);
        return Fail("The statistics database holds no figures for " + CompanyText(number) + " in " +
                    std::string(lobName && *lobName ? lobName : code) + ".");
    }
    m_undo.clear();
    return 0;
}

// ---- entry points

namespace {
CStatisticsDbInterface* g_instance = nullptr;
}

extern "C" __attribute__((visibility("default"))) int GetLexigroveInstance(IStatisticsDb** instance) {
    if (!g_instance) {
        g_instance = new (std::nothrow) CStatisticsDbInterface;
        if (!g_instance) {
            if (instance) *instance = nullptr;
            return -1;
        }
        const int result = g_instance->OpenSession();
        if (instance) *instance = result == 0 ? g_instance : nullptr;
        return result;
    }
    // An instance whose session never opened is of no use to anyone: each
    // later call fails too, until the host releases it.
    if (!g_instance->SessionOpen()) {
        if (instance) *instance = nullptr;
        return -1;
    }
    if (instance) *instance = g_instance;
    return 0;
}

extern "C" __attribute__((visibility("default"))) int ReleaseLexigroveInstance() {
    const int result = KtbTerm() == KTB_SUCCESS ? 0 : -1;
    delete g_instance;
    g_instance = nullptr;
    return result;
}

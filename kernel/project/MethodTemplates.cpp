#include "MethodTemplates.h"

#include <string>
#include <vector>

#include "CExhibit.h"
#include "CMethod.h"
#include "FormulaBinding.h"
#include "KernelIds.h"

namespace qsmethods {

namespace {

constexpr QSID kArr(int index) { return 101000000 + index; }
constexpr int kPaidAdjustmentsIndex = 494;
constexpr int kIncurredAdjustmentsIndex = 497;

struct ExhibitSpec {
    int arrayIndex;
    QSID subgroup;
    const char* name;
    const char* shortName;
};
const ExhibitSpec kStandardExhibits[] = {
    {1, 5001, "Paid Loss Development", "PL Dev"},
    {2, 5001, "Paid ALAE Development", "PA Dev"},
    {11, 5022, "Incurred Loss Development", "IL Dev"},
    {10, 5022, "Incurred ALAE Development", "IA Dev"},
    {16, 5022, "Incurred Loss and ALAE Development", "ILA Dev"},
    {19, 5032, "Reported Claims Development", "RC Dev"},
};

// The two stacks of a formula over project objects: "@<id>" names a project
// object (raw: its quoted name); anything else is written as it is.
void ObjectStacks(const CProject& p, std::initializer_list<std::string> tokens, CStringStack& raw,
                  CStringStack& resolved) {
    for (const std::string& t : tokens) {
        if (t.size() > 1 && t[0] == '@') {
            const QSID id = std::stoi(t.substr(1));
            std::string n;
            p.GetLongNameFromID(id, n);
            raw.Push("\"" + n + "\"");
            resolved.Push("DO" + std::to_string(id));
        } else {
            raw.Push(t);
            resolved.Push(t);
        }
    }
}

// Builds a column's two stacks from tokens: "@<id>" names a project object
// (raw: its quoted name), "#<n>" the method's n-th column (raw: "(n) name"),
// "%<method index>:<column number>" a column of a standard method, anything
// else is written as it is in both stacks. The builder keeps its first
// error: once a column fails, later Add calls do nothing, so a method's
// columns read as one list and the failure is asked for once at the end.
class ColumnBuilder {
public:
    ColumnBuilder(const CProject& p, CMethod& m) : m_p(p), m_m(m) {}

    ColumnBuilder& Add(const std::string& name, std::initializer_list<std::string> tokens, int totalType = 0,
                       int display = CFormula::DT_CURRENCY, short decimals = 0) {
        if (m_status) return *this;
        CStringStack raw, resolved;
        for (const std::string& t : tokens) {
            if (t.size() > 1 && t[0] == '@') {
                const QSID id = std::stoi(t.substr(1));
                std::string n;
                m_p.GetLongNameFromID(id, n);
                raw.Push("\"" + n + "\"");
                resolved.Push("DO" + std::to_string(id));
            } else if (t.size() > 1 && t[0] == '%') {
                const std::size_t colon = t.find(':');
                const int index = std::stoi(t.substr(1, colon - 1)), k = std::stoi(t.substr(colon + 1)) - 1;
                const auto* other = dynamic_cast<const CMethod*>(m_p.FindObject(StandardMethodID(index), NET));
                if (!other || !other->GetColRefID(k)) {
                    m_status = qsformula::kUnknownObject;
                    return *this;
                }
                raw.Push("\"" + other->GetIDLongName() + " (" + std::to_string(k + 1) + ") " + other->GetColName(k) + "\"");
                resolved.Push("DO" + std::to_string(other->GetColRefID(k)));
            } else if (t.size() > 1 && t[0] == '#') {
                const int k = std::stoi(t.substr(1)) - 1;
                raw.Push("\"(" + std::to_string(k + 1) + ") " + m_m.GetColName(k) + "\"");
                resolved.Push("DO" + std::to_string(m_m.GetObjID(k)));
            } else {
                raw.Push(t);
                resolved.Push(t);
            }
        }
        const int pos = m_m.GetNumDataObjects();
        m_status = m_m.AddNewCol(pos, name, raw, resolved);
        if (m_status) return *this;
        m_m.SetObjTotalType(pos, totalType);
        m_m.SetObjDisplayType(pos, display);
        m_m.SetObjDecimal(pos, decimals);
        return *this;
    }

    // 0, or the status of the first column that failed.
    QSSTATUS Status() const { return m_status; }

private:
    const CProject& m_p;
    CMethod& m_m;
    QSSTATUS m_status = qsk::kOk;
};

constexpr int kSum = CMethod::TT_SUM;
constexpr int kTotalFormula = CMethod::TT_FORMULA;
constexpr int kFactor = CFormula::DT_NUMBER;
constexpr int kPct = CFormula::DT_PERCENT;

std::string Ex(int arrayIndex) { return "@" + std::to_string(StandardExhibitID(arrayIndex)); }
std::string Arr(int index) { return "@" + std::to_string(kArr(index)); }

// ---------------------------------------------------------------- exhibits

// An exhibit prototype with the project's statistics definitions (at first
// all-year volume-weighted, simple and 3-year volume-weighted averages).
void PrepareExhibit(const CProject& p, CExhibit& proto, const char* name, const char* shortName) {
    proto.SetIDLongName(name);
    proto.SetIDShortName(shortName);
    proto.SetDisplayType(CFormula::DT_NUMBER);
    proto.SetDecimals(3);
    proto.SetHasStatistics(true);
    std::vector<CStatistics::Record> defs;
    int excludePrior = 1, abbreviate = 0;
    p.GetStatsDefs(defs, excludePrior, abbreviate);
    proto.SetStatsDefs(defs, excludePrior, abbreviate);
}

// Bound to its source at once, so the exhibit is stored as it will load.
void BindExhibitLayers(CProject& p, QSID id) {
    for (unsigned short l = 1; l <= kLayerCount; ++l)
        if (auto* ex = dynamic_cast<CExhibit*>(p.FindObject(id, l))) ex->AfterLoad();
}

QSSTATUS AddDevelopmentExhibits(CProject& p) {
    for (const ExhibitSpec& e : kStandardExhibits) {
        QSID id = StandardExhibitID(e.arrayIndex);
        if (p.IDExists(id)) continue;
        CExhibit proto;
        PrepareExhibit(p, proto, e.name, e.shortName);
        proto.SetSourceID(kArr(e.arrayIndex));
        if (const QSSTATUS st = p.AddNewFormulaObject(proto, 3, 1, e.subgroup, true, id)) return st;
        BindExhibitLayers(p, id);
    }
    return qsk::kOk;
}

// Development of the adjusted triangles: paid losses times the paid
// data adjustments (a factor per cell; blank: none), and incurred losses
// with case reserves restated at the base evaluation's average case
// reserve by the incurred data adjustments (an annual severity trend per
// cell). Both tables' footnotes choose the base diagonal and the cut-off.
QSSTATUS AddAdjustedExhibits(CProject& p) {
    struct AdjustedSpec {
        int index;
        QSID subgroup;
        const char* name;
        const char* shortName;
    };
    const AdjustedSpec adjusted[] = {
        {kPaidAdjustmentsIndex, 5001, "Adjusted Paid Loss Development", "Adj PL Dev"},
        {kIncurredAdjustmentsIndex, 5022, "Adjusted Incurred Loss Development", "Adj IL Dev"},
    };
    for (const AdjustedSpec& e : adjusted) {
        QSID id = StandardExhibitID(e.index);
        if (p.IDExists(id)) continue;
        CUserExhibit proto;
        PrepareExhibit(p, proto, e.name, e.shortName);
        CStringStack raw, resolved;
        if (e.index == kPaidAdjustmentsIndex)
            ObjectStacks(p, {"Sum", "(", Arr(1), ",", Arr(1), "*", "(", Arr(e.index), "-", "1", ")", ")"}, raw, resolved);
        else
            ObjectStacks(p, {"AdjAvgCaseLoss", "(", Arr(1), ",", Arr(11), ",", Arr(19), "-", Arr(3), ",", Arr(e.index), ")"},
                         raw, resolved);
        if (const QSSTATUS st = proto.SetFormula(raw, resolved)) return st;
        if (const QSSTATUS st = p.AddNewFormulaObject(proto, 3, 1, e.subgroup, true, id)) return st;
        BindExhibitLayers(p, id);
    }
    return qsk::kOk;
}

// ---------------------------------------------------------------- method builders

// Development: latest diagonal, age-to-ultimate at its age, ultimate, reserve.
void BuildDevelopment(ColumnBuilder& b, int array, int exhibit, const char* latest, const char* reserve) {
    b.Add(latest, {"Diagonal", "(", Arr(array), ")"}, kSum)
        .Add("Age to Ultimate Factor", {"ConvertSDFToCol", "(", Ex(exhibit), ")"}, 0, kFactor, 4)
        .Add("Ultimate Loss", {"#1", "*", "#2"}, kSum)
        .Add(reserve, {"#3", "-", "#1"}, kSum);
}

// Bornhuetter-Ferguson: premium, the user's expected loss ratio (entered),
// expected losses, age-to-ultimate factor, the share still to emerge,
// expected emergence of the reserve, reported and ultimate.
void BuildBF(ColumnBuilder& b, int array, int exhibit, const char* reported) {
    b.Add("Earned Premium", {Arr(41)}, kSum)
        .Add("Expected Loss Ratio", {}, 0, kPct, 1)
        .Add("Expected Loss", {"#1", "*", "#2"}, kSum)
        .Add("Age to Ultimate Factor", {"ConvertSDFToCol", "(", Ex(exhibit), ")"}, 0, kFactor, 4)
        .Add("Percent Unreported", {"1", "-", "Invert", "(", "#4", ")"}, 0, kPct, 1)
        .Add("Expected Unreported Loss", {"#3", "*", "#5"}, kSum)
        .Add(reported, {"Diagonal", "(", Arr(array), ")"}, kSum)
        .Add("Ultimate Loss", {"#7", "+", "#6"}, kSum);
}

void BuildPaidDevelopment(ColumnBuilder& b) { BuildDevelopment(b, 1, 1, "Paid Loss", "Unpaid Loss"); }
void BuildIncurredDevelopment(ColumnBuilder& b) { BuildDevelopment(b, 11, 11, "Incurred Loss", "IBNR"); }
void BuildPaidBF(ColumnBuilder& b) { BuildBF(b, 1, 1, "Paid Loss"); }
void BuildIncurredBF(ColumnBuilder& b) { BuildBF(b, 11, 11, "Incurred Loss"); }

void BuildExpectedLossRatio(ColumnBuilder& b) {
    b.Add("Earned Premium", {Arr(41)}, kSum)
        .Add("Expected Loss Ratio", {}, 0, kPct, 1)
        .Add("Ultimate Loss", {"#1", "*", "#2"}, kSum)
        .Add("Incurred Loss", {"Diagonal", "(", Arr(11), ")"}, kSum)
        .Add("IBNR", {"#3", "-", "#4"}, kSum);
}

// The expected loss ratio is the reported losses over the premium already
// "used up" by development, over all periods together: both sums run over
// the periods that have both (a period without premium, or without a
// factor, has no used-up premium, so its losses must not count either;
// x + 0 * y is x where y has a value and blank where it has none).
void BuildCapeCod(ColumnBuilder& b) {
    b.Add("Earned Premium", {Arr(41)}, kSum)
        .Add("Incurred Loss", {"Diagonal", "(", Arr(11), ")"}, kSum)
        .Add("Age to Ultimate Factor", {"ConvertSDFToCol", "(", Ex(11), ")"}, 0, kFactor, 4)
        .Add("Used-Up Premium", {"#1", "/", "#3"}, kSum)
        .Add("Cape Cod Loss Ratio",
             {"Sum", "(", "#2", "+", "0", "*", "#4", ")", "/", "Sum", "(", "#4", "+", "0", "*", "#2", ")"}, 0, kPct, 1)
        .Add("Expected Unreported Loss", {"#1", "*", "#5", "*", "(", "1", "-", "Invert", "(", "#3", ")", ")"}, kSum)
        .Add("Ultimate Loss", {"#2", "+", "#6"}, kSum);
}

// Ultimate claims by reported-claims development times the user's selected
// ultimate severity (entered).
void BuildFrequencySeverity(ColumnBuilder& b) {
    b.Add("Reported Claims", {"Diagonal", "(", Arr(19), ")"}, kSum, kFactor)
        .Add("Claims Age to Ultimate Factor", {"ConvertSDFToCol", "(", Ex(19), ")"}, 0, kFactor, 4)
        .Add("Ultimate Claims", {"#1", "*", "#2"}, kSum, kFactor)
        .Add("Selected Severity", {}, 0)
        .Add("Ultimate Loss", {"#3", "*", "#4"}, kSum);
}

// Latest paid as reported and as adjusted, developed by the adjusted
// exhibit's selections.
void BuildAdjustedPaid(ColumnBuilder& b) {
    b.Add("Paid Loss", {"Diagonal", "(", Arr(1), ")"}, kSum)
        .Add("Adjusted Paid Loss",
             {"Diagonal", "(", "Sum", "(", Arr(1), ",", Arr(1), "*", "(", Arr(kPaidAdjustmentsIndex), "-", "1", ")",
              ")", ")"},
             kSum)
        .Add("Age to Ultimate Factor", {"ConvertSDFToCol", "(", Ex(kPaidAdjustmentsIndex), ")"}, 0, kFactor, 4)
        .Add("Ultimate Loss", {"#2", "*", "#3"}, kSum)
        .Add("Unpaid Loss", {"#4", "-", "#1"}, kSum);
}

// Incurred with case reserves restated at the base evaluation's average,
// developed by the adjusted exhibit's selections.
void BuildAdjustedIncurred(ColumnBuilder& b) {
    b.Add("Incurred Loss", {"Diagonal", "(", Arr(11), ")"}, kSum)
        .Add("Adjusted Incurred Loss",
             {"Diagonal", "(", "AdjAvgCaseLoss", "(", Arr(1), ",", Arr(11), ",", Arr(19), "-", Arr(3), ",",
              Arr(kIncurredAdjustmentsIndex), ")", ")"},
             kSum)
        .Add("Age to Ultimate Factor", {"ConvertSDFToCol", "(", Ex(kIncurredAdjustmentsIndex), ")"}, 0, kFactor, 4)
        .Add("Ultimate Loss", {"#2", "*", "#3"}, kSum)
        .Add("IBNR", {"#4", "-", "#1"}, kSum);
}

// The standard methods, each with its column builder and the position of
// its ultimate column.
struct MethodSpec {
    int index;
    const char* name;
    const char* shortName;
    int type;
    void (*build)(ColumnBuilder&);
    int ultimatePosition;
};
const MethodSpec kStandardMethods[] = {
    {kPaidDevelopment, "Paid Loss Development Method", "Paid Dev", CMethod::MT_DEVELOPMENT, BuildPaidDevelopment, 2},
    {kIncurredDevelopment, "Incurred Loss Development Method", "Inc Dev", CMethod::MT_DEVELOPMENT,
     BuildIncurredDevelopment, 2},
    {kExpectedLossRatio, "Expected Loss Ratio Method", "ELR", CMethod::MT_EXPECTED_LOSS_RATIO, BuildExpectedLossRatio,
     2},
    {kPaidBF, "Paid Bornhuetter-Ferguson Method", "Paid BF", CMethod::MT_BORNHUETTER_FERGUSON, BuildPaidBF, 7},
    {kIncurredBF, "Incurred Bornhuetter-Ferguson Method", "Inc BF", CMethod::MT_BORNHUETTER_FERGUSON,
     BuildIncurredBF, 7},
    {kCapeCod, "Cape Cod Method", "Cape Cod", CMethod::MT_CAPE_COD, BuildCapeCod, 6},
    {kFrequencySeverity, "Frequency-Severity Method", "Freq-Sev", CMethod::MT_FREQUENCY_SEVERITY,
     BuildFrequencySeverity, 4},
    {kAdjustedPaid, "Paid Development on Adjusted Paid Losses", "Adj Paid Dev", CMethod::MT_CASE_ADJUSTMENT,
     BuildAdjustedPaid, 3},
    {kAdjustedIncurred, "Incurred Development on Adjusted Case Reserves", "Adj Inc Dev", CMethod::MT_CASE_ADJUSTMENT,
     BuildAdjustedIncurred, 3},
};

QSSTATUS AddStandardMethods(CProject& p) {
    for (const MethodSpec& s : kStandardMethods) {
        QSID id = StandardMethodID(s.index);
        if (p.IDExists(id)) continue;
        // Built apart from the project (each column would bind and calculate
        // the prototype); the project binds and calculates each layer once.
        CMethod m;
        m.SetIDLongName(s.name);
        m.SetIDShortName(s.shortName);
        m.SetMethodType(s.type);
        ColumnBuilder b(p, m);
        s.build(b);
        if (const QSSTATUS st = b.Status()) return st;
        m.SetUltPos(s.ultimatePosition);
        m.SetProject(nullptr);
        if (const QSSTATUS st = p.AddNewObject(m, id, 0)) return st;
    }
    return qsk::kOk;
}

// ---------------------------------------------------------------- reports of the data-adjustment methods

// By exposure period: the latest amounts and age-to-ultimate factors as
// reported and as adjusted (reports 145 and 150), and the ultimates of the
// plain and the adjusted method (245 and 250).
QSSTATUS AddAdjustmentReports(CProject& p) {
    struct ReportSpec {
        int index;
        int method;
        const char* name;
        const char* shortName;
    };
    const ReportSpec reports[] = {
        {145, kAdjustedPaid, "Paid Data Adjustment Comparison", "Paid Adj"},
        {245, kAdjustedPaid, "Paid Ultimates With and Without Data Adjustment", "Paid Adj Ult"},
        {150, kAdjustedIncurred, "Incurred Data Adjustment Comparison", "Inc Adj"},
        {250, kAdjustedIncurred, "Incurred Ultimates With and Without Data Adjustment", "Inc Adj Ult"},
    };
    for (const ReportSpec& r : reports) {
        QSID id = MakeID(3, 1, 0, 3, r.index);
        if (p.IDExists(id)) continue;
        const bool paid = r.method == kAdjustedPaid;
        const int plain = paid ? kPaidDevelopment : kIncurredDevelopment;
        const std::string m = std::to_string(r.method), pl = std::to_string(plain);
        CMethod report;
        report.SetReport(true);
        report.SetIDLongName(r.name);
        report.SetIDShortName(r.shortName);
        ColumnBuilder b(p, report);
        if (r.index < 200) {
            b.Add(paid ? "Paid Loss" : "Incurred Loss", {"%" + m + ":1"}, kSum)
                .Add(paid ? "Adjusted Paid Loss" : "Adjusted Incurred Loss", {"%" + m + ":2"}, kSum)
                .Add("Adjustment", {"#2", "-", "#1"}, kSum)
                .Add("Age to Ultimate Factor", {"%" + pl + ":2"}, 0, kFactor, 4)
                .Add("Adjusted Age to Ultimate Factor", {"%" + m + ":3"}, 0, kFactor, 4);
        } else {
            b.Add("Ultimate Loss", {"@" + std::to_string(StandardMethodID(plain))}, kSum)
                .Add("Adjusted Ultimate Loss", {"@" + std::to_string(StandardMethodID(r.method))}, kSum)
                .Add("Difference", {"#2", "-", "#1"}, kSum)
                .Add("Ratio", {"#2", "/", "#1"}, kTotalFormula, kPct, 1);
        }
        if (const QSSTATUS st = b.Status()) return st;
        if (const QSSTATUS st = p.AddNewObject(report, id, 0)) return st;
    }
    return qsk::kOk;
}

// Each data-adjustment method lists its two reports as attached reports
// (unless the user has chosen others).
void LinkAdjustmentReports(CProject& p) {
    for (int method : {kAdjustedPaid, kAdjustedIncurred}) {
        const QSIDArray links{MakeID(3, 1, 0, 3, 100 + method), MakeID(3, 1, 0, 3, 200 + method)};
        for (unsigned short l = 1; l <= kLayerCount; ++l)
            if (auto* m = dynamic_cast<CMethod*>(p.FindObject(StandardMethodID(method), l))) {
                QSIDArray current;
                m->GetLinks(current);
                if (current.empty()) m->SetLinks(links);
            }
    }
}

}  // namespace

QSID StandardExhibitID(int arrayIndex) { return MakeID(3, 1, 0, 1, arrayIndex); }
QSID StandardMethodID(int index) { return MakeID(3, 1, 0, 2, index); }

QSSTATUS AddStandardExhibitsAndMethods(CProject& p) {
    if (const QSSTATUS st = AddDevelopmentExhibits(p)) return st;
    if (const QSSTATUS st = AddAdjustedExhibits(p)) return st;
    if (const QSSTATUS st = AddStandardMethods(p)) return st;
    if (const QSSTATUS st = AddAdjustmentReports(p)) return st;
    LinkAdjustmentReports(p);
    return qsk::kOk;
}

}  // namespace qsmethods

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
// anything else is written as it is in both stacks.
class ColumnBuilder {
public:
    ColumnBuilder(const CProject& p, CMethod& m) : m_p(p), m_m(m) {}

    QSSTATUS Add(const std::string& name, std::initializer_list<std::string> tokens, int totalType = 0,
                 int display = CFormula::DT_CURRENCY, short decimals = 0) {
        CStringStack raw, resolved;
        for (const std::string& t : tokens) {
            if (t.size() > 1 && t[0] == '@') {
                const QSID id = std::stoi(t.substr(1));
                std::string n;
                m_p.GetLongNameFromID(id, n);
                raw.Push("\"" + n + "\"");
                resolved.Push("DO" + std::to_string(id));
            } else if (t.size() > 1 && t[0] == '%') {
                // "%<method index>:<column number>": a column of a standard method.
                const std::size_t colon = t.find(':');
                const int index = std::stoi(t.substr(1, colon - 1)), k = std::stoi(t.substr(colon + 1)) - 1;
                const auto* other = dynamic_cast<const CMethod*>(m_p.FindObject(StandardMethodID(index), NET));
                if (!other || !other->GetColRefID(k)) return qsformula::kUnknownObject;
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
        const QSSTATUS st = m_m.AddNewCol(pos, name, raw, resolved);
        if (st) return st;
        m_m.SetObjTotalType(pos, totalType);
        m_m.SetObjDisplayType(pos, display);
        m_m.SetObjDecimal(pos, decimals);
        return qsk::kOk;
    }

private:
    const CProject& m_p;
    CMethod& m_m;
};

constexpr int kSum = CMethod::TT_SUM;
constexpr int kTotalFormula = CMethod::TT_FORMULA;
constexpr int kFactor = CFormula::DT_NUMBER;
constexpr int kPct = CFormula::DT_PERCENT;

std::string Ex(int arrayIndex) { return "@" + std::to_string(StandardExhibitID(arrayIndex)); }
std::string Arr(int index) { return "@" + std::to_string(kArr(index)); }

// Development: latest diagonal, age-to-ultimate at its age, ultimate, reserve.
QSSTATUS BuildDevelopment(ColumnBuilder& b, int array, int exhibit, const char* latest, const char* reserve) {
    QSSTATUS st = b.Add(latest, {"Diagonal", "(", Arr(array), ")"}, kSum);
    if (!st) st = b.Add("Age to Ultimate Factor", {"ConvertSDFToCol", "(", Ex(exhibit), ")"}, 0, kFactor, 4);
    if (!st) st = b.Add("Ultimate Loss", {"#1", "*", "#2"}, kSum);
    if (!st) st = b.Add(reserve, {"#3", "-", "#1"}, kSum);
    return st;
}

// Bornhuetter-Ferguson: premium, the user's expected loss ratio (entered),
// expected losses, age-to-ultimate factor, the share still to emerge,
// expected emergence of the reserve, reported and ultimate.
QSSTATUS BuildBF(ColumnBuilder& b, CMethod& m, int array, int exhibit, const char* reported) {
    QSSTATUS st = b.Add("Earned Premium", {Arr(41)}, kSum);
    if (!st) st = b.Add("Expected Loss Ratio", {}, 0, kPct, 1);
    if (!st) st = b.Add("Expected Loss", {"#1", "*", "#2"}, kSum);
    if (!st) st = b.Add("Age to Ultimate Factor", {"ConvertSDFToCol", "(", Ex(exhibit), ")"}, 0, kFactor, 4);
    if (!st) st = b.Add("Percent Unreported", {"1", "-", "Invert", "(", "#4", ")"}, 0, kPct, 1);
    if (!st) st = b.Add("Expected Unreported Loss", {"#3", "*", "#5"}, kSum);
    if (!st) st = b.Add(reported, {"Diagonal", "(", Arr(array), ")"}, kSum);
    if (!st) st = b.Add("Ultimate Loss", {"#7", "+", "#6"}, kSum);
    (void)m;
    return st;
}

}  // namespace

QSID StandardExhibitID(int arrayIndex) { return MakeID(3, 1, 0, 1, arrayIndex); }
QSID StandardMethodID(int index) { return MakeID(3, 1, 0, 2, index); }

QSSTATUS AddStandardExhibitsAndMethods(CProject& p) {
    for (const ExhibitSpec& e : kStandardExhibits) {
        if (p.IDExists(StandardExhibitID(e.arrayIndex))) continue;
        CExhibit proto;
        proto.SetIDLongName(e.name);
        proto.SetIDShortName(e.shortName);
        proto.SetDisplayType(CFormula::DT_NUMBER);
        proto.SetDecimals(3);
        proto.SetHasStatistics(true);
        // All-year volume-weighted, simple and 3-year volume-weighted averages.
        // The project's statistics (at first all-year volume-weighted, simple
        // and 3-year volume-weighted averages).
        std::vector<CStatistics::Record> defs;
        int excludePrior = 1, abbreviate = 0;
        p.GetStatsDefs(defs, excludePrior, abbreviate);
        proto.SetStatsDefs(defs, excludePrior, abbreviate);
        proto.SetSourceID(kArr(e.arrayIndex));
        QSID id = StandardExhibitID(e.arrayIndex);
        const QSSTATUS st = p.AddNewFormulaObject(proto, 3, 1, e.subgroup, true, id);
        if (st) return st;
        // Bound to its source at once, so the exhibit is stored as it will load.
        for (unsigned short l = 1; l <= kLayerCount; ++l)
            if (auto* ex = dynamic_cast<CExhibit*>(p.FindObject(id, l))) ex->AfterLoad();
    }

    // Development of the adjusted triangles: paid losses times the paid
    // data adjustments (a factor per cell; blank: none), and incurred losses
    // with case reserves restated at the base evaluation's average case
    // reserve by the incurred data adjustments (an annual severity trend per
    // cell). Both tables' footnotes choose the base diagonal and the cut-off.
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
        proto.SetIDLongName(e.name);
        proto.SetIDShortName(e.shortName);
        proto.SetDisplayType(CFormula::DT_NUMBER);
        proto.SetDecimals(3);
        proto.SetHasStatistics(true);
        std::vector<CStatistics::Record> defs;
        int excludePrior = 1, abbreviate = 0;
        p.GetStatsDefs(defs, excludePrior, abbreviate);
        proto.SetStatsDefs(defs, excludePrior, abbreviate);
        CStringStack raw, resolved;
        if (e.index == kPaidAdjustmentsIndex)
            ObjectStacks(p, {"Sum", "(", Arr(1), ",", Arr(1), "*", "(", Arr(e.index), "-", "1", ")", ")"}, raw, resolved);
        else
            ObjectStacks(p, {"AdjAvgCaseLoss", "(", Arr(1), ",", Arr(11), ",", Arr(19), "-", Arr(3), ",", Arr(e.index), ")"},
                         raw, resolved);
        if (const QSSTATUS st = proto.SetFormula(raw, resolved)) return st;
        if (const QSSTATUS st = p.AddNewFormulaObject(proto, 3, 1, e.subgroup, true, id)) return st;
        for (unsigned short l = 1; l <= kLayerCount; ++l)
            if (auto* ex = dynamic_cast<CExhibit*>(p.FindObject(id, l))) ex->AfterLoad();
    }

    struct MethodSpec {
        int index;
        const char* name;
        const char* shortName;
        int type;
    };
    const MethodSpec specs[] = {
        {kPaidDevelopment, "Paid Loss Development Method", "Paid Dev", CMethod::MT_DEVELOPMENT},
        {kIncurredDevelopment, "Incurred Loss Development Method", "Inc Dev", CMethod::MT_DEVELOPMENT},
        {kExpectedLossRatio, "Expected Loss Ratio Method", "ELR", CMethod::MT_EXPECTED_LOSS_RATIO},
        {kPaidBF, "Paid Bornhuetter-Ferguson Method", "Paid BF", CMethod::MT_BORNHUETTER_FERGUSON},
        {kIncurredBF, "Incurred Bornhuetter-Ferguson Method", "Inc BF", CMethod::MT_BORNHUETTER_FERGUSON},
        {kCapeCod, "Cape Cod Method", "Cape Cod", CMethod::MT_CAPE_COD},
        {kFrequencySeverity, "Frequency-Severity Method", "Freq-Sev", CMethod::MT_FREQUENCY_SEVERITY},
        {kAdjustedPaid, "Paid Development on Adjusted Paid Losses", "Adj Paid Dev", CMethod::MT_CASE_ADJUSTMENT},
        {kAdjustedIncurred, "Incurred Development on Adjusted Case Reserves", "Adj Inc Dev",
         CMethod::MT_CASE_ADJUSTMENT},
    };
    for (const MethodSpec& s : specs) {
        if (p.IDExists(StandardMethodID(s.index))) continue;
        // Built apart from the project (each column would bind and calculate
        // the prototype); the project binds and calculates each layer once.
        CMethod m;
        m.SetIDLongName(s.name);
        m.SetIDShortName(s.shortName);
        m.SetMethodType(s.type);
        ColumnBuilder b(p, m);
        QSSTATUS st = 0;
        int ult = 0;
        switch (s.index) {
        case kPaidDevelopment:
            st = BuildDevelopment(b, 1, 1, "Paid Loss", "Unpaid Loss");
            ult = 2;
            break;
        case kIncurredDevelopment:
            st = BuildDevelopment(b, 11, 11, "Incurred Loss", "IBNR");
            ult = 2;
            break;
        case kExpectedLossRatio:
            st = b.Add("Earned Premium", {Arr(41)}, kSum);
            if (!st) st = b.Add("Expected Loss Ratio", {}, 0, kPct, 1);
            if (!st) st = b.Add("Ultimate Loss", {"#1", "*", "#2"}, kSum);
            if (!st) st = b.Add("Incurred Loss", {"Diagonal", "(", Arr(11), ")"}, kSum);
            if (!st) st = b.Add("IBNR", {"#3", "-", "#4"}, kSum);
            ult = 2;
            break;
        case kPaidBF:
            st = BuildBF(b, m, 1, 1, "Paid Loss");
            ult = 7;
            break;
        case kIncurredBF:
            st = BuildBF(b, m, 11, 11, "Incurred Loss");
            ult = 7;
            break;
        case kCapeCod:
            // The expected loss ratio is the reported losses over the premium
            // already "used up" by development, over all periods together.
            st = b.Add("Earned Premium", {Arr(41)}, kSum);
            if (!st) st = b.Add("Incurred Loss", {"Diagonal", "(", Arr(11), ")"}, kSum);
            if (!st) st = b.Add("Age to Ultimate Factor", {"ConvertSDFToCol", "(", Ex(11), ")"}, 0, kFactor, 4);
            if (!st) st = b.Add("Used-Up Premium", {"#1", "/", "#3"}, kSum);
            if (!st) st = b.Add("Cape Cod Loss Ratio", {"Sum", "(", "#2", ")", "/", "Sum", "(", "#4", ")"}, 0, kPct, 1);
            if (!st) st = b.Add("Expected Unreported Loss", {"#1", "*", "#5", "*", "(", "1", "-", "Invert", "(", "#3", ")", ")"}, kSum);
            if (!st) st = b.Add("Ultimate Loss", {"#2", "+", "#6"}, kSum);
            ult = 6;
            break;
        case kFrequencySeverity:
            // Ultimate claims by reported-claims development times the
            // user's selected ultimate severity (entered).
            st = b.Add("Reported Claims", {"Diagonal", "(", Arr(19), ")"}, kSum, kFactor);
            if (!st) st = b.Add("Claims Age to Ultimate Factor", {"ConvertSDFToCol", "(", Ex(19), ")"}, 0, kFactor, 4);
            if (!st) st = b.Add("Ultimate Claims", {"#1", "*", "#2"}, kSum, kFactor);
            if (!st) st = b.Add("Selected Severity", {}, 0);
            if (!st) st = b.Add("Ultimate Loss", {"#3", "*", "#4"}, kSum);
            ult = 4;
            break;
        case kAdjustedPaid:
            // Latest paid as reported and as adjusted, developed by the
            // adjusted exhibit's selections.
            st = b.Add("Paid Loss", {"Diagonal", "(", Arr(1), ")"}, kSum);
            if (!st) st = b.Add("Adjusted Paid Loss",
                                {"Diagonal", "(", "Sum", "(", Arr(1), ",", Arr(1), "*", "(", Arr(kPaidAdjustmentsIndex), "-",
                                 "1", ")", ")", ")"}, kSum);
            if (!st) st = b.Add("Age to Ultimate Factor", {"ConvertSDFToCol", "(", Ex(kPaidAdjustmentsIndex), ")"}, 0, kFactor, 4);
            if (!st) st = b.Add("Ultimate Loss", {"#2", "*", "#3"}, kSum);
            if (!st) st = b.Add("Unpaid Loss", {"#4", "-", "#1"}, kSum);
            ult = 3;
            break;
        case kAdjustedIncurred:
            // Incurred with case reserves restated at the base evaluation's
            // average, developed by the adjusted exhibit's selections.
            st = b.Add("Incurred Loss", {"Diagonal", "(", Arr(11), ")"}, kSum);
            if (!st) st = b.Add("Adjusted Incurred Loss",
                                {"Diagonal", "(", "AdjAvgCaseLoss", "(", Arr(1), ",", Arr(11), ",", Arr(19), "-", Arr(3), ",",
                                 Arr(kIncurredAdjustmentsIndex), ")", ")"}, kSum);
            if (!st) st = b.Add("Age to Ultimate Factor", {"ConvertSDFToCol", "(", Ex(kIncurredAdjustmentsIndex), ")"}, 0, kFactor, 4);
            if (!st) st = b.Add("Ultimate Loss", {"#2", "*", "#3"}, kSum);
            if (!st) st = b.Add("IBNR", {"#4", "-", "#1"}, kSum);
            ult = 3;
            break;
        default:
            break;
        }
        if (st) return st;
        m.SetUltPos(ult);
        m.SetProject(nullptr);
        QSID id = StandardMethodID(s.index);
        st = p.AddNewObject(m, id, 0);
        if (st) return st;
    }

    // The reports of the data-adjustment methods, by exposure period: the
    // latest amounts and age-to-ultimate factors as reported and as adjusted
    // (reports 145 and 150), and the ultimates of the plain and the adjusted
    // method (245 and 250). Each method lists its two as attached reports.
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
        QSSTATUS st = 0;
        if (r.index < 200) {
            st = b.Add(paid ? "Paid Loss" : "Incurred Loss", {"%" + m + ":1"}, kSum);
            if (!st) st = b.Add(paid ? "Adjusted Paid Loss" : "Adjusted Incurred Loss", {"%" + m + ":2"}, kSum);
            if (!st) st = b.Add("Adjustment", {"#2", "-", "#1"}, kSum);
            if (!st) st = b.Add("Age to Ultimate Factor", {"%" + pl + ":2"}, 0, kFactor, 4);
            if (!st) st = b.Add("Adjusted Age to Ultimate Factor", {"%" + m + ":3"}, 0, kFactor, 4);
        } else {
            st = b.Add("Ultimate Loss", {"@" + std::to_string(StandardMethodID(plain))}, kSum);
            if (!st) st = b.Add("Adjusted Ultimate Loss", {"@" + std::to_string(StandardMethodID(r.method))}, kSum);
            if (!st) st = b.Add("Difference", {"#2", "-", "#1"}, kSum);
            if (!st) st = b.Add("Ratio", {"#2", "/", "#1"}, kTotalFormula, kPct, 1);
        }
        if (st) return st;
        st = p.AddNewObject(report, id, 0);
        if (st) return st;
    }
    for (int method : {kAdjustedPaid, kAdjustedIncurred}) {
        const QSIDArray links{MakeID(3, 1, 0, 3, 100 + method), MakeID(3, 1, 0, 3, 200 + method)};
        for (unsigned short l = 1; l <= kLayerCount; ++l)
            if (auto* m = dynamic_cast<CMethod*>(p.FindObject(StandardMethodID(method), l))) {
                QSIDArray current;
                m->GetLinks(current);
                if (current.empty()) m->SetLinks(links);
            }
    }
    return qsk::kOk;
}

}  // namespace qsmethods

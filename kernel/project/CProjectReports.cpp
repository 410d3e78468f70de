// The text reports of CProject: the file summary, the formulas of its
// exhibits, methods and reports, and the comparison with another project
// (docs/kernel/reports.md gives their layout). Lines end in "\n"; whoever
// shows the text decides its line ends.
#include <cstdio>
#include <sstream>

#include "CMethod.h"
#include "CProject.h"
#include "CStringStack.h"
#include "ProjectReplicate.h"

namespace {

const char* PeriodName(PRDLENGTH length) {
    switch (length) {
    case PRD_MONTH: return "monthly";
    case PRD_QUARTER: return "quarterly";
    case PRD_HALFYEAR: return "semi-annual";
    default: return "annual";
    }
}

const char* CategoryHeading(QSID category) {
    switch (category) {
    case qsk::kCatInput: return "Input arrays";
    case qsk::kCatScalar: return "Scalars";
    case qsk::kCatExhibit: return "Exhibits";
    case qsk::kCatMethod: return "Methods";
    case qsk::kCatReport: return "Reports";
    case qsk::kCatGraph: return "Graphs";
    default: return "Other objects";
    }
}

// A formula as the user typed it: its display tokens, one blank apart.
std::string FormulaText(const CStringStack& raw) {
    std::string text;
    for (const std::string& token : raw.Tokens()) {
        if (!text.empty()) text += ' ';
        text += token;
    }
    return text;
}

const CFormula* FirstInstance(const ProjectObjectEntry& e) {
    if (e.layered && e.inst[1]) return e.inst[1].get();
    for (const auto& inst : e.inst)
        if (inst) return inst.get();
    return nullptr;
}

}  // namespace

std::string CProject::DumpStructText(int kind) const {
    std::ostringstream os;
    std::string layerName;
    if (kind == INFO_SUMMARY) {
        const QSStructure& s = GetStructure();
        os << "File summary\n";
        os << "File: " << m_fileName << "\n";
        os << "Company: " << m_company << "\n";
        os << "Description: " << m_description << "\n";
        if (m_asOfSerial > 0) os << "As of date: " << GetAsOfDate().Format("mm/dd/yyyy") << "\n";
        os << "Exposure periods: " << s.numExp << " " << PeriodName(s.expLength) << " from " << s.firstYear
           << " period " << s.firstInterval << (s.prior ? ", with a prior row" : "") << "\n";
        os << "Development periods: " << s.numDev << " " << PeriodName(s.devLength) << " from age " << s.firstDevAge
           << " months\n";
        std::string entered;
        for (unsigned short l = 1; l <= kLayerCount; ++l) {
            if (l == s.calc1 || l == s.calc2) continue;
            GetNameLayer(layerName, l);
            entered += (entered.empty() ? "" : ", ") + layerName;
        }
        std::string c1, c2;
        GetNameLayer(c1, s.calc1);
        GetNameLayer(c2, s.calc2);
        os << "Entered layers: " << entered << "\n";
        os << "Calculated layers: " << c1 << ", " << c2 << "\n";
        // Objects by category, each with the layers in which it holds data.
        for (QSID category : {qsk::kCatInput, qsk::kCatScalar, qsk::kCatExhibit, qsk::kCatMethod, qsk::kCatReport,
                              qsk::kCatGraph}) {
            bool headed = false;
            for (const auto& [id, e] : m_store) {
                if (GetCategoryOfID(id) != category) continue;
                const CFormula* f = FirstInstance(e);
                if (!f) continue;
                if (!headed) {
                    os << "\n" << CategoryHeading(category) << "\n";
                    headed = true;
                }
                os << f->GetIDName(-1);
                if (!f->GetIDShortName().empty()) os << " (" << f->GetIDShortName() << ")";
                std::string layers;
                for (unsigned short l = e.layered ? 1 : 0; l <= (e.layered ? kLayerCount : 0); ++l) {
                    if (!IDHasData(id, l)) continue;
                    if (l == 0) {
                        layers = "data";
                        break;
                    }
                    GetNameLayer(layerName, l);
                    layers += (layers.empty() ? "" : ", ") + layerName;
                }
                os << "\t" << (layers.empty() ? "no data" : layers) << "\n";
            }
        }
        return os.str();
    }
    const QSID category = kind == INFO_EXHIBITS  ? qsk::kCatExhibit
                          : kind == INFO_METHODS ? qsk::kCatMethod
                                                 : qsk::kCatReport;
    os << (kind == INFO_EXHIBITS ? "Exhibit" : kind == INFO_METHODS ? "Method" : "Report") << " formulas\n";
    for (const auto& [id, e] : m_store) {
        if (GetCategoryOfID(id) != category) continue;
        const CFormula* f = FirstInstance(e);
        if (!f) continue;
        os << "\n" << f->GetIDName(-1);
        if (!f->GetIDShortName().empty()) os << " (" << f->GetIDShortName() << ")";
        os << "\n";
        if (const auto* m = dynamic_cast<const CMethod*>(f)) {
            for (int c = 0; c < m->GetNumDataObjects(); ++c) {
                CStringStack raw, resolved;
                os << "\t" << (c + 1) << "  " << m->GetColName(c);
                if (m->GetColFormula(c, raw, resolved) == qsk::kOk && !raw.IsEmpty())
                    os << " = " << FormulaText(raw);
                else
                    os << " (entered)";
                os << "\n";
            }
            continue;
        }
        CStringStack raw, resolved;
        if (f->GetFormula(raw, resolved) == qsk::kOk && !raw.IsEmpty()) os << "\t= " << FormulaText(raw) << "\n";
        for (QSID s : GetObjectsReadBy(*this, id)) {
            std::string n;
            if (GetNameFromID(s, n) == qsk::kOk) os << "\treads " << n << "\n";
        }
    }
    return os.str();
}

QSSTATUS CProject::DumpStruct(std::FILE* file, int kind) const {
    if (!file || kind < INFO_SUMMARY || kind > INFO_REPORTS) return qsk::kFail;
    const std::string text = DumpStructText(kind);
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) return qsk::kFail;
    return std::fflush(file) == 0 ? qsk::kOk : qsk::kFail;
}

std::string CProject::CompProjectText(const CProject& other) const {
    static const struct {
        std::uint32_t bit;
        const char* text;
    } kStructureTexts[] = {
        {MP_LAYERS, "different calculated layers"},
        {MP_EXP_LENGTH, "different exposure period length"},
        {MP_DEV_LENGTH, "different development period length"},
        {MP_EXP_DATES, "different exposure dates"},
        {MP_DEV_DATES, "different development ages"},
        {MP_FIRST_DEV, "different first development age"},
        {MP_FIRST_EXP, "different first exposure period"},
        {MP_INTERVAL, "exposure periods that do not line up"},
        {MP_STRUCTURE, "different structures (prior row)"},
        {MP_UNKNOWN, "an unknown difference"},
        {MP_OFFSET_WARN, "exposure periods offset from each other"},
        {MP_NUM_EXP_WARN, "different number of exposure periods"},
        {MP_DEV_PERIODS_WARN, "different number of development periods"},
    };
    std::ostringstream os;
    os << "Comparing " << m_fileName << " with " << other.m_fileName << "\n";
    const std::uint32_t bits = MatchProject(other);
    if (bits == 0) {
        os << "Structure: the same\n";
    } else {
        os << "Structure:";
        const char* sep = " ";
        for (const auto& t : kStructureTexts)
            if (bits & t.bit) {
                os << sep << t.text;
                sep = "; ";
            }
        os << "\n";
    }
    if (m_company != other.m_company) os << "Company: " << m_company << " / " << other.m_company << "\n";

    int compared = 0, differing = 0;
    std::string layerName;
    for (const auto& [id, e] : m_store) {
        const CFormula* f = FirstInstance(e);
        if (!f) continue;
        const ObjectEntry* oe = other.FindEntry(id);
        if (!oe) {
            os << f->GetIDName(-1) << ": only in " << m_fileName << "\n";
            ++differing;
            continue;
        }
        ++compared;
        bool differs = false;
        if (const CFormula* of = FirstInstance(*oe); of && of->GetIDLongName() != f->GetIDLongName()) {
            os << f->GetIDName(-1) << ": named " << of->GetIDLongName() << " in " << other.m_fileName << "\n";
            differs = true;
        }
        for (unsigned short l = 0; l <= kLayerCount; ++l) {
            auto* a = dynamic_cast<const CDataObject*>(e.inst[l].get());
            auto* b = dynamic_cast<const CDataObject*>(oe->inst[l].get());
            if (!a || !b) continue;
            std::uint16_t rows = 0, cols = 0, orows = 0, ocols = 0;
            a->GetMaxRowsCols(rows, cols);
            b->GetMaxRowsCols(orows, ocols);
            std::string where;
            if (l != 0) {
                GetNameLayer(layerName, l);
                where = " <" + layerName + ">";
            }
            if (rows != orows || cols != ocols) {
                os << f->GetIDName(-1) << where << ": " << rows << " x " << cols << " cells against " << orows << " x "
                   << ocols << "\n";
                differs = true;
                continue;
            }
            int count = 0, firstRow = 0, firstCol = 0;
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < cols; ++c) {
                    double va = 0.0, vb = 0.0;
                    std::uint8_t fa = 0, fb = 0;
                    a->GetAt(r, c, va, fa);
                    b->GetAt(r, c, vb, fb);
                    const bool ha = fa & CDataObject::CF_VALUE, hb = fb & CDataObject::CF_VALUE;
                    if (ha == hb && (!ha || va == vb)) continue;
                    if (count++ == 0) {
                        firstRow = r;
                        firstCol = c;
                    }
                }
            if (count == 0) continue;
            os << f->GetIDName(-1) << where << ": " << count << (count == 1 ? " cell differs" : " cells differ")
               << ", first at row " << firstRow + 1 << ", column " << firstCol + 1 << "\n";
            differs = true;
        }
        if (differs) ++differing;
    }
    for (const auto& [id, e] : other.m_store)
        if (!FindEntry(id))
            if (const CFormula* f = FirstInstance(e)) {
                os << f->GetIDName(-1) << ": only in " << other.m_fileName << "\n";
                ++differing;
            }
    os << "Objects in both files: " << compared << "; objects that differ: " << differing << "\n";
    return os.str();
}

QSSTATUS CProject::CompProject(const CProject& other, std::FILE* file) const {
    if (!file) return qsk::kFail;
    const std::string text = CompProjectText(other);
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) return qsk::kFail;
    return std::fflush(file) == 0 ? qsk::kOk : qsk::kFail;
}

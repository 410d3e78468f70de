#include "CFormula.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <unordered_map>
#include <unordered_set>

#include "CArchive.h"
#include "KernelIds.h"
#include "KernelStream.h"

IMPLEMENT_DYNAMIC(CFormula, CObject)

namespace {
std::map<int, CFormula::Factory>& FormulaFactories() {
    static std::map<int, CFormula::Factory> factories;
    return factories;
}
}  // namespace

void CFormula::RegisterFactory(int tag, Factory factory) { FormulaFactories()[tag] = factory; }

std::unique_ptr<CFormula> CFormula::CreateFromTag(int tag) {
    auto it = FormulaFactories().find(tag);
    return it == FormulaFactories().end() ? nullptr : it->second();
}

CFormula::CFormula(QSID id) : m_id(id), m_names(std::make_shared<QSObjectNames>()) {}

CFormula::CFormula(const CFormula& o)
    : m_id(o.m_id),
      m_names(std::make_shared<QSObjectNames>(*o.m_names)),
      m_displayType(o.m_displayType),
      m_decimals(o.m_decimals),
      m_footnote(o.m_footnote),
      m_initialized(o.m_initialized),
      m_readOnly(o.m_readOnly),
      m_fixed(o.m_fixed),
      m_messages(o.m_messages),
      m_pOwner(o.m_pOwner) {}

CFormula& CFormula::operator=(const CFormula& o) {
    if (this == &o) return *this;
    m_id = o.m_id;
    *m_names = *o.m_names;
    m_displayType = o.m_displayType;
    m_decimals = o.m_decimals;
    m_footnote = o.m_footnote;
    m_initialized = o.m_initialized;
    m_readOnly = o.m_readOnly;
    m_fixed = o.m_fixed;
    m_messages = o.m_messages;
    return *this;
}

CFormula::~CFormula() { DetachGraph(); }

std::unique_ptr<CFormula> CFormula::Clone() const { return std::make_unique<CFormula>(*this); }

unsigned short CFormula::GetLayer() const { return GetIDLayer(m_id); }

std::string CFormula::GetIDName(int form) const {
    if (form == 0) return m_names->longName;
    if (form == 1) return m_names->shortName;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%3d - ", GetIDIndex(m_id));
    return buf + m_names->longName;
}

std::string CFormula::GetIDIndexLabel() const { return std::to_string(GetIDIndex(m_id)); }

QSSTATUS CFormula::SetIDIndexLabel(const std::string& text) {
    const auto b = text.find_first_not_of(' ');
    const auto e = text.find_last_not_of(' ');
    if (b == std::string::npos) return qsk::kFail;
    const std::string digits = text.substr(b, e - b + 1);
    if (digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos) return qsk::kFail;
    SetIDIndex(m_id, std::stoi(digits));
    return qsk::kOk;
}

QSSTATUS CFormula::SetIDLongName(const std::string& name) {
    if (name.empty()) return qsk::kFail;
    m_names->longName = name;
    return qsk::kOk;
}

QSSTATUS CFormula::SetIDShortName(const std::string& name) {
    m_names->shortName = name;
    return qsk::kOk;
}

QSSTATUS CFormula::SetDecimals(short decimals) {
    if (decimals < 0 || decimals > 12) return qsk::kFail;
    m_decimals = decimals;
    return qsk::kOk;
}

void CFormula::AddWindow(IKernelWindow* window) {
    if (window && std::find(m_windows.begin(), m_windows.end(), window) == m_windows.end())
        m_windows.push_back(window);
}

void CFormula::RemoveWindow(IKernelWindow* window) {
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), window), m_windows.end());
}

void CFormula::NotifyAll(int kind, long code) {
    // A window may close itself while being told; walk a copy.
    const std::vector<IKernelWindow*> windows = m_windows;
    for (IKernelWindow* w : windows)
        if (std::find(m_windows.begin(), m_windows.end(), w) != m_windows.end()) w->XRefresh(this, kind, code);
}

void CFormula::AddSource(CFormula* source) {
    if (!source || source == this) return;
    if (std::find(m_sources.begin(), m_sources.end(), source) != m_sources.end()) return;
    m_sources.push_back(source);
    source->m_dependents.push_back(this);
}

void CFormula::RemoveSource(CFormula* source) {
    auto it = std::find(m_sources.begin(), m_sources.end(), source);
    if (it == m_sources.end()) return;
    m_sources.erase(it);
    auto& d = source->m_dependents;
    d.erase(std::remove(d.begin(), d.end(), this), d.end());
}

void CFormula::ClearSources() {
    while (!m_sources.empty()) RemoveSource(m_sources.back());
}

void CFormula::DetachGraph() {
    ClearSources();
    for (CFormula* d : m_dependents) {
        auto& s = d->m_sources;
        s.erase(std::remove(s.begin(), s.end(), this), s.end());
    }
    m_dependents.clear();
}

QSSTATUS CFormula::SetRecalcOn(int on) {
    m_recalcOn = on != 0;
    if (m_recalcOn && m_heldChange) {
        m_heldChange = false;
        PropagateChanges({this});
    }
    return qsk::kOk;
}

void CFormula::Changed() {
    if (!m_recalcOn) {
        m_heldChange = true;
        return;
    }
    PropagateChanges({this});
}

void CFormula::Changed(std::vector<std::uint32_t> cells) {
    if (!m_recalcOn) {
        m_heldChange = true;
        return;
    }
    std::vector<Change> what;
    what.push_back(Change::Cells(std::move(cells)));
    PropagateChanges({this}, std::move(what));
}

namespace {
// The changes of the walk in progress (walks may nest: an object's
// recalculation can change another object and start its own walk).
const std::unordered_map<const CFormula*, CFormula::Change>* gWalkChanges = nullptr;
}  // namespace

const CFormula::Change* CFormula::SourceChange(const CFormula* source) {
    if (!gWalkChanges) return nullptr;
    auto it = gWalkChanges->find(source);
    return it == gWalkChanges->end() ? nullptr : &it->second;
}

void CFormula::PropagateChanges(const std::vector<CFormula*>& changed) {
    PropagateChanges(changed, std::vector<Change>(changed.size()));
}

void CFormula::PropagateLayoutChange(const std::vector<CFormula*>& changed) {
    PropagateChanges(changed, std::vector<Change>(changed.size()), true);
}

void CFormula::PropagateChanges(const std::vector<CFormula*>& changed, std::vector<Change> what) {
    PropagateChanges(changed, std::move(what), false);
}

void CFormula::PropagateChanges(const std::vector<CFormula*>& changed, std::vector<Change> what, bool whole) {
    // Post-order walk over dependents gives a reverse topological order; each
    // object is recalculated once even when reached along several paths. A
    // cycle (which the formula checker refuses) is cut where it closes.
    std::vector<CFormula*> order;
    std::unordered_map<CFormula*, int> state;  // 1 on the stack, 2 done
    std::vector<std::pair<CFormula*, size_t>> stack;
    for (CFormula* start : changed) {
        if (!start || state[start]) continue;
        stack.emplace_back(start, 0);
        state[start] = 1;
        while (!stack.empty()) {
            auto& [node, next] = stack.back();
            if (next < node->m_dependents.size()) {
                CFormula* d = node->m_dependents[next++];
                if (!state[d]) {
                    state[d] = 1;
                    stack.emplace_back(d, 0);
                }
            } else {
                state[node] = 2;
                order.push_back(node);
                stack.pop_back();
            }
        }
    }
    std::unordered_map<const CFormula*, Change> changes;
    for (std::size_t i = 0; i < changed.size(); ++i) {
        if (!changed[i]) continue;
        Change w = i < what.size() ? std::move(what[i]) : Change{};
        auto [at, inserted] = changes.try_emplace(changed[i]);
        if (inserted) {
            at->second = std::move(w);
        } else if (w.all || at->second.all) {
            at->second = Change{};
        } else {
            at->second.cells.insert(at->second.cells.end(), w.cells.begin(), w.cells.end());
        }
    }
    const auto* outer = gWalkChanges;
    gWalkChanges = &changes;
    struct Restore {
        const std::unordered_map<const CFormula*, Change>* outer;
        ~Restore() { gWalkChanges = outer; }
    } restore{outer};
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        CFormula* node = *it;
        if (whole) {
            // Starts too: in a project every object is a start, and a method
            // or an exhibit must take the new shape as much as what reads it.
            node->Recalculate();
            changes[node] = Change{};
            continue;
        }
        if (changes.count(node)) continue;  // a start
        bool reached = false;
        for (const CFormula* s : node->m_sources) {
            auto c = changes.find(s);
            if (c != changes.end() && c->second.Any()) {
                reached = true;
                break;
            }
        }
        // Nothing it reads changed (what it was reached through changed nothing).
        changes.emplace(node, reached ? node->RecalculateChanges() : Change::None());
    }
}

void CFormula::Write(KernelWriter& w) const {
    w.I32(m_displayType);
    w.U16(static_cast<std::uint16_t>(m_decimals));
    w.Str(m_footnote);
    w.U8(static_cast<std::uint8_t>((m_initialized ? 1 : 0) | (m_readOnly ? 2 : 0) | (m_fixed ? 4 : 0)));
}

void CFormula::Read(KernelReader& r, int /*version*/) {
    m_displayType = r.I32();
    m_decimals = static_cast<short>(r.U16());
    m_footnote = r.Str();
    const std::uint8_t f = r.U8();
    m_initialized = f & 1;
    m_readOnly = f & 2;
    m_fixed = f & 4;
}

void CFormula::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        KernelWriter w;
        Write(w);
        ar.WriteCount(w.Bytes().size());
        ar.Write(w.Bytes().data(), w.Bytes().size());
    } else {
        const std::size_t n = ar.ReadCount(1);
        std::vector<std::uint8_t> bytes(n);
        ar.ReadExact(bytes.data(), n);
        KernelReader r(bytes);
        Read(r, 0);
        if (r.Failed()) throw CArchiveException(CArchiveException::badSchema, "damaged kernel object");
    }
}

// Incremental recalculation against the whole one: random edit sequences on
// a generated project (entered layers, calculated layers, the standard
// exhibits, adjusted tables, methods and reports, user tables with formulas
// that work cell by cell and formulas that do not), after which every table
// must hold bit for bit what a whole recalculation of a freshly loaded copy
// gives.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

#include "CExhibit.h"
#include "CMethod.h"
#include "FormulaBinding.h"
#include "KernelIds.h"
#include "ProjectFixture.h"

namespace {

CStringStack Tokens(const std::string& text) {
    CStringStack s;
    std::istringstream in(text);
    std::string t;
    while (in >> t) s.Push(t);
    return s;
}

QSID AddUserTable(CProject& p, const std::string& name, const std::string& formula) {
    CUserTable proto;
    proto.SetIDLongName(name);
    const CStringStack s = Tokens(formula);
    proto.SetFormula(s, s);
    QSID id = 0;
    EXPECT_EQ(p.AddNewFormulaObject(proto, 2, 0, qsk::kNodeUserInput, true, id), 0) << formula;
    return id;
}

// Every cell of every table the project shows, keyed by object, layer and
// part, as exact bit patterns.
using Snapshot = std::map<std::string, std::vector<std::uint64_t>>;

void AddCells(Snapshot& snap, const std::string& key, const CDataObject& d) {
    std::vector<std::uint64_t>& out = snap[key];
    for (std::size_t i = 0; i < d.Values().size(); ++i) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &d.Values()[i], sizeof bits);
        out.push_back(bits);
        out.push_back(d.Flags()[i]);
    }
}

Snapshot Take(const CProject& p) {
    Snapshot snap;
    p.ForEachObject([&](QSID id, unsigned short layer, CFormula* f) {
        const std::string key = std::to_string(id) + "/" + std::to_string(layer);
        if (auto* d = dynamic_cast<CDataObject*>(f)) AddCells(snap, key, *d);
        if (auto* ex = dynamic_cast<CExhibit*>(f)) {
            CDataObject* part = nullptr;
            if (ex->GetFactorTriangle(part) == 0 && part) AddCells(snap, key + " factors", *part);
            if (ex->GetSDFObject(part) == 0 && part) AddCells(snap, key + " sdf", *part);
            if (ex->GetCumSDFObject(part) == 0 && part) AddCells(snap, key + " cum", *part);
            if (ex->GetRatioSDFObject(part) == 0 && part) AddCells(snap, key + " ratio", *part);
            if (auto* ut = dynamic_cast<CUserExhibit*>(ex)) AddCells(snap, key + " table", ut->GetFormulaTable());
            CStatistics* st = nullptr;
            if (ex->GetStatistics(st) == 0 && st) {
                std::vector<std::uint64_t>& out = snap[key + " stats"];
                unsigned short n = 0, cols = 0;
                st->GetNumStats(n);
                st->GetMaxCols(cols);
                for (unsigned short s = 0; s < n; ++s) {
                    unsigned short rows = 0;
                    st->GetNumRows(s, rows);
                    for (unsigned short r = 0; r < rows; ++r)
                        for (unsigned short c = 0; c < cols; ++c) {
                            double v = 0;
                            char flag = 0;
                            st->GetAt(s, r, c, v, flag);
                            std::uint64_t bits = 0;
                            std::memcpy(&bits, &v, sizeof bits);
                            out.push_back(bits);
                            out.push_back(static_cast<std::uint8_t>(flag));
                        }
                }
            }
        }
        if (auto* m = dynamic_cast<CMethod*>(f))
            for (int k = 1; k <= m->GetNumDataObjects(); ++k)
                if (const CDataObject* col = m->GetDataObject(k)) AddCells(snap, key + " col" + std::to_string(k), *col);
    });
    return snap;
}

// The whole recalculation: a copy loaded from the saved project, every
// object recalculated whole, sources before dependents.
std::unique_ptr<CProject> WholeRecalculation(const CProject& p) {
    auto q = std::make_unique<CProject>();
    const std::vector<std::uint8_t> bytes = p.SaveProject();
    if (q->LoadProject(bytes.data(), bytes.size()) != 0) return nullptr;
    std::vector<CFormula*> all;
    q->ForEachObject([&](QSID, unsigned short, CFormula* f) { all.push_back(f); });
    std::unordered_map<const CFormula*, int> state;
    std::vector<CFormula*> order;
    std::function<void(CFormula*)> visit = [&](CFormula* f) {
        if (state[f]) return;
        state[f] = 1;
        for (CFormula* s : f->GetSources()) visit(s);
        order.push_back(f);
    };
    for (CFormula* f : all) visit(f);
    for (CFormula* f : order) f->Recalculate();
    return q;
}

void ExpectSame(const Snapshot& incremental, const Snapshot& whole, const std::string& when) {
    ASSERT_EQ(incremental.size(), whole.size()) << when;
    for (const auto& [key, cells] : whole) {
        auto it = incremental.find(key);
        ASSERT_NE(it, incremental.end()) << when << ": " << key;
        ASSERT_EQ(it->second.size(), cells.size()) << when << ": " << key;
        for (std::size_t i = 0; i < cells.size(); ++i)
            ASSERT_EQ(it->second[i], cells[i]) << when << ": " << key << " cell " << i / 2 << (i % 2 ? " flags" : " value");
    }
}

struct Generated {
    std::unique_ptr<CProject> p;
    std::vector<CDataObject*> entered;  // triangles the edits write to
    std::vector<CExhibit*> exhibits;
};

Generated Generate(std::uint16_t n, PRDLENGTH len, bool prior, std::mt19937& rng) {
    Generated g;
    g.p = MakeTestProject(n, n, len, len, prior, len == PRD_YEAR ? 12 : 3);
    CProject& p = *g.p;
    std::uniform_real_distribution<double> amount(1.0, 1000.0);
    const std::vector<int> arrays = {1, 2, 3, 10, 11, 16, 19, 494, 497};
    for (unsigned short layer : {NET, CEDED, DIRECT})
        for (int index : arrays) {
            CDataObject* d = p.FindDataObject(MakeID(1, 1, 0, 0, index), layer);
            if (!d) continue;
            std::uint16_t rows = 0, cols = 0;
            d->GetMaxRowsCols(rows, cols);
            std::vector<double> values(d->Values().size());
            std::vector<std::uint8_t> flags(values.size(), CDataObject::CF_VALUE);
            for (int r = 0; r < rows; ++r) {
                double run = 0;
                for (int c = 0; c < cols; ++c) {
                    const std::size_t i = static_cast<std::size_t>(r) * cols + c;
                    // Adjustments: a factor or a trend rate in some cells only.
                    if (index >= 494) {
                        const bool has = (r + c) % 3 != 0;
                        values[i] = !has ? 0.0 : index == 494 ? 1.0 + (r % 4) * 0.05 : 0.02 * (c % 3);
                        flags[i] = has ? CDataObject::CF_VALUE : CDataObject::CF_BLANK;
                    } else {
                        values[i] = run += amount(rng);
                    }
                }
            }
            d->SetAllCells(values, flags, 1);
            if (index >= 494) g.entered.push_back(d);
            else if (index != 10 && index != 2) g.entered.push_back(d);
        }
    // The paid adjustments of Net apply up to a base diagonal and a cut-off.
    QSStringArray calendar;
    std::string caption;
    p.GetLabels(calendar, LBL_CALENDAR, caption, -1);
    if (calendar.size() > 2)
        p.FindDataObject(MakeID(1, 1, 0, 0, 494), NET)
            ->SetFootnoteString("Data Adjustment using Diagonal=[" + calendar[calendar.size() - 2] +
                                "] and cut off after [" + std::to_string(len == PRD_YEAR ? 60 : 15) + "] months");
    const QSID plain = AddUserTable(p, "Cellwise", "DO101000001 * 2 + DO101000011 / DO101000019 - 3");
    AddUserTable(p, "Reads cellwise", "Sum ( DO" + std::to_string(plain) + " , DO101000494 ) \xB1% 5");
    AddUserTable(p, "Develops", "Develop ( DO101000001 , 1.1 )");
    AddUserTable(p, "Diagonal of cells", "Diagonal ( Abs ( DO101000011 - DO101000001 ) )");
    p.PostInit();  // binds the tables' formulas
    p.FillProjFromStat({1, 1, 0, 0, 0, 0, 0, 1}, nullptr);
    p.ForEachObject([&](QSID, unsigned short, CFormula* f) {
        if (auto* ex = dynamic_cast<CExhibit*>(f)) g.exhibits.push_back(ex);
    });
    return g;
}

// One random edit of an entered cell, an outlier mark, a selection, a view
// switch or a fill of the selections.
void RandomEdit(Generated& g, std::mt19937& rng) {
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const int kind = pick(20);
    if (kind < 13) {
        CDataObject* d = g.entered[pick(static_cast<int>(g.entered.size()))];
        std::uint16_t rows = 0, cols = 0;
        d->GetMaxRowsCols(rows, cols);
        const int r = pick(rows);
        std::uint16_t len = 0;
        d->GetNumColsInRow(static_cast<std::uint16_t>(r), len);
        if (len == 0) return;
        const int c = pick(len);
        const int how = pick(10);
        if (how == 0) {
            d->SetCellBlank(r, c);
        } else if (how == 1) {
            d->SetCellNotAvail(r, c);
        } else if (how == 2) {
            d->SetAt(r, c, 0.0);
        } else if (how == 3) {
            // Typed in the incremental view: the rest of the row moves.
            QSSTATUS st = 0;
            d->ViewCumulative(0, st);
            d->SetAt(r, c, std::uniform_real_distribution<double>(-50.0, 500.0)(rng));
            d->ViewCumulative(1, st);
        } else {
            double v = 0;
            std::uint8_t f = 0;
            d->GetAt(r, c, v, f);
            d->SetAt(r, c, v * std::uniform_real_distribution<double>(0.5, 1.5)(rng) + pick(3));
        }
    } else if (kind < 16) {
        CExhibit* ex = g.exhibits[pick(static_cast<int>(g.exhibits.size()))];
        CDataObject* marks = nullptr;
        if (ex->GetOutliersObject(marks) != 0 || !marks) return;
        std::uint16_t rows = 0, cols = 0;
        marks->GetMaxRowsCols(rows, cols);
        if (!rows || !cols) return;
        const int r = pick(rows), c = pick(cols);
        if (pick(2)) marks->SetAt(r, c, 1.0);
        else marks->SetCellBlank(r, c);
    } else if (kind < 19) {
        CExhibit* ex = g.exhibits[pick(static_cast<int>(g.exhibits.size()))];
        CDataObject* sdf = nullptr;
        if (ex->GetSDFObject(sdf) != 0 || !sdf) return;
        std::uint16_t rows = 0, cols = 0;
        sdf->GetMaxRowsCols(rows, cols);
        if (cols) sdf->SetAt(0, pick(cols), std::uniform_real_distribution<double>(0.9, 2.0)(rng));
    } else {
        g.p->FillProjFromStat({1, 1, 0, 0, 0, 0, static_cast<std::uint8_t>(pick(4)), static_cast<std::uint8_t>(pick(3))},
                              nullptr);
    }
}

struct Case {
    std::uint16_t periods;
    PRDLENGTH length;
    bool prior;
    unsigned seed;
};

class IncrementalRecalc : public ::testing::TestWithParam<Case> {};

TEST_P(IncrementalRecalc, RandomEditsMatchWholeRecalculationBitForBit) {
    const Case c = GetParam();
    std::mt19937 rng(c.seed);
    Generated g = Generate(c.periods, c.length, c.prior, rng);
    ASSERT_FALSE(g.entered.empty());
    ASSERT_FALSE(g.exhibits.empty());
    {
        auto whole = WholeRecalculation(*g.p);
        ASSERT_TRUE(whole);
        ExpectSame(Take(*g.p), Take(*whole), "after building");
    }
    for (int step = 1; step <= 240; ++step) {
        RandomEdit(g, rng);
        if (step % 40 == 0) {
            auto whole = WholeRecalculation(*g.p);
            ASSERT_TRUE(whole);
            ExpectSame(Take(*g.p), Take(*whole), "after edit " + std::to_string(step));
            if (HasFatalFailure()) return;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(GeneratedProjects, IncrementalRecalc,
                         ::testing::Values(Case{12, PRD_YEAR, false, 1}, Case{10, PRD_YEAR, true, 2},
                                           Case{16, PRD_QUARTER, false, 3}));

// A one-cell edit reaches only what reads the cell: a table nobody reads
// from the edited triangle is not recalculated, and a cell-by-cell table
// changes in that cell alone.
TEST(IncrementalRecalcScope, OneCellEditChangesOnlyTheCellsItReaches) {
    auto p = MakeTestProject(6, 6);
    CDataObject* paid = p->FindDataObject(kPaidLoss, NET);
    std::vector<double> values(paid->Values().size(), 10.0);
    paid->SetAllCells(values, std::vector<std::uint8_t>(values.size(), CDataObject::CF_VALUE), 1);
    const QSID twice = AddUserTable(*p, "Twice", "DO101000001 * 2");
    p->PostInit();
    auto* table = dynamic_cast<CDataObject*>(p->FindObject(twice, NET));
    ASSERT_TRUE(table);
    RecordingWindow w;
    p->OpenObject(twice, NET, &w);
    paid->SetAt(2, 1, 25.0);
    ASSERT_EQ(w.events.size(), 1u);
    EXPECT_EQ(w.events[0], std::make_pair(static_cast<int>(XR_CELL), 2L * 10000 + 1));
    double v = 0;
    std::uint8_t f = 0;
    table->GetAt(2, 1, v, f);
    EXPECT_EQ(v, 50.0);
    table->GetAt(2, 0, v, f);
    EXPECT_EQ(v, 20.0);
    p->CloseObject(table, &w);
}

}  // namespace

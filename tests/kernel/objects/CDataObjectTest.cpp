#include <gtest/gtest.h>

#include <cmath>

#include "CDataObject.h"

namespace {
struct RecordingWindow : IKernelWindow {
    std::vector<std::pair<int, long>> events;
    void XRefresh(CFormula*, int kind, long code) override { events.emplace_back(kind, code); }
};

// A 3-row staircase: rows of 3, 2 and 1 cells.
CDataObject Triangle() {
    CDataObject d(101010001);
    d.SetShape(3, 3, CDataObject::VT_TRIANGLE, {3, 2, 1});
    d.SetCumulable(true);
    return d;
}

TEST(DataObject, CellsFlagsAndValidity) {
    CDataObject d = Triangle();
    double v = -1;
    std::uint8_t f = 0;
    ASSERT_EQ(d.GetAt(0, 0, v, f), 0);
    EXPECT_EQ(f, CDataObject::CF_BLANK);
    EXPECT_EQ(d.SetAt(1, 1, 42.5), 0);
    d.GetAt(1, 1, v, f);
    EXPECT_EQ(v, 42.5);
    EXPECT_EQ(f, CDataObject::CF_VALUE);
    EXPECT_FALSE(d.LocationIsValid(1, 2));
    EXPECT_NE(d.SetAt(1, 2, 1.0), 0);  // beyond the diagonal
    EXPECT_NE(d.SetAt(3, 0, 1.0), 0);
    EXPECT_NE(d.GetAt(-1, 0, v, f), 0);
    std::uint16_t n = 0;
    d.GetNumColsInRow(2, n);
    EXPECT_EQ(n, 1);
    d.GetNumRowsInCol(1, n);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(d.SetCellNotAvail(0, 0), 0);
    d.GetAt(0, 0, v, f);
    EXPECT_EQ(f, CDataObject::CF_BLANK | CDataObject::CF_NOTAVAIL);
    EXPECT_FALSE(d.IsCellAvail(0, 0));
    d.SetCellBlank(1, 1);
    d.GetAt(1, 1, v, f);
    EXPECT_EQ(f, CDataObject::CF_BLANK);
    d.SetCellHasFFMin(0, 1);
    EXPECT_TRUE(d.GetFFMinInCell(0, 1));
    EXPECT_NE(d.SetMark(0, 1, CDataObject::CF_VALUE, true), 0);  // marks never forge a value
}

// A cell holds finite numbers only: NaN and infinities are refused with a
// status, also where the incremental view would make a stored sum infinite,
// and a bulk store with one of them changes nothing.
TEST(DataObject, NonFiniteValuesAreRefused) {
    CDataObject d = Triangle();
    ASSERT_EQ(d.SetAt(0, 0, 5.0), 0);
    for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        EXPECT_EQ(d.SetAt(0, 0, bad), qsk::kNotFinite);
        EXPECT_EQ(d.SetAt(1, 0, bad), qsk::kNotFinite);
    }
    double v = 0;
    std::uint8_t f = 0;
    d.GetAt(0, 0, v, f);
    EXPECT_EQ(v, 5.0);
    d.GetAt(1, 0, v, f);
    EXPECT_EQ(f, CDataObject::CF_BLANK);

    ASSERT_EQ(d.SetAt(0, 1, 1e308), 0);
    QSSTATUS st = 0;
    d.ViewCumulative(0, st);
    EXPECT_EQ(d.SetAt(0, 2, 1e308), qsk::kNotFinite);  // 1e308 + 1e308 stored
    d.GetAt(0, 2, v, f);
    EXPECT_EQ(f, CDataObject::CF_BLANK);
    d.ViewCumulative(1, st);

    std::vector<double> values = d.Values();
    std::vector<std::uint8_t> flags = d.Flags();
    values[0] = std::nan("");
    EXPECT_EQ(d.SetAllCells(values, flags), qsk::kNotFinite);
    d.GetAt(0, 0, v, f);
    EXPECT_EQ(v, 5.0);
    flags[0] = CDataObject::CF_BLANK;  // a blank cell's value slot is not a value
    EXPECT_EQ(d.SetAllCells(values, flags), 0);
}

TEST(DataObject, IncrementalViewShowsAndTakesDifferences) {
    CDataObject d = Triangle();
    d.SetAt(0, 0, 100);
    d.SetAt(0, 1, 150);
    d.SetAt(0, 2, 175);
    QSSTATUS st = 0;
    d.ViewCumulative(0, st);
    ASSERT_EQ(st, 0);
    double v = 0;
    std::uint8_t f = 0;
    d.GetAt(0, 1, v, f);
    EXPECT_EQ(v, 50);
    d.SetAt(0, 1, 60);  // incremental 60 moves the later cumulative cells too
    EXPECT_EQ(d.RawValue(0, 1), 160);
    EXPECT_EQ(d.RawValue(0, 2), 185);
    d.ViewCumulative(1, st);
    d.GetAt(0, 2, v, f);
    EXPECT_EQ(v, 185);
    d.Decumulate();
    EXPECT_EQ(d.RawValue(0, 2), 25);
    d.Cumulate();
    EXPECT_EQ(d.RawValue(0, 2), 185);
    // Typed into an empty earlier cell, an increment leaves the later
    // increments as they were: 1000 at 24 months, then 5 at 12 is 5, 1005.
    d.ViewCumulative(0, st);
    d.SetAt(1, 1, 1000);
    d.SetAt(1, 0, 5);
    EXPECT_EQ(d.RawValue(1, 0), 5);
    EXPECT_EQ(d.RawValue(1, 1), 1005);
    CDataObject column(101000040);
    column.SetShape(3, 1, CDataObject::VT_COLUMN);
    EXPECT_NE(column.ViewCumulative(0, st), 0);  // a vector has no incremental view
}

TEST(DataObject, WindowsHearOfExactlyTheChangedCells) {
    CDataObject d = Triangle();
    RecordingWindow w;
    d.AddWindow(&w);
    d.SetAt(2, 0, 5);
    d.SetAt(2, 0, 5);  // no change, no notice
    d.SetAt(1, 1, 7, 0);  // flag 0: quiet
    ASSERT_EQ(w.events.size(), 1u);
    EXPECT_EQ(w.events[0], std::make_pair(static_cast<int>(XR_CELL), 20000L));
    d.RemoveWindow(&w);
    d.SetAt(0, 0, 1);
    EXPECT_EQ(w.events.size(), 1u);
}

TEST(DataObject, NotesZeroBlanksAndRemoveAll) {
    CDataObject d = Triangle();
    EXPECT_EQ(d.SetNoteInCell(0, 2, "checked"), 0);
    EXPECT_NE(d.SetNoteInCell(2, 2, "x"), 0);
    std::string note;
    EXPECT_EQ(d.GetNoteInCell(0, 2, note), 0);
    EXPECT_EQ(note, "checked");
    d.SetAt(0, 0, 3);
    d.ZeroOutBlanks();
    double v = -1;
    std::uint8_t f = 0;
    d.GetAt(2, 0, v, f);
    EXPECT_EQ(f, CDataObject::CF_VALUE);
    EXPECT_EQ(v, 0);
    d.RemoveAll();
    EXPECT_FALSE(d.HasAnyValue());
    EXPECT_TRUE(d.DoesCellHaveNote(0, 2));  // notes outlive the values
    d.Resize(2, 2);
    EXPECT_FALSE(d.DoesCellHaveNote(0, 2));
    d.Deinitialize();
    EXPECT_FALSE(d.IsInitialized());
    // Not initialized, but still of its shape: the next entry initializes it.
    std::uint16_t rows = 0, cols = 0;
    d.GetMaxRowsCols(rows, cols);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(cols, 2);
    EXPECT_EQ(d.SetAt(1, 1, 5), qsk::kOk);
    EXPECT_TRUE(d.IsInitialized());
}

TEST(DataObject, LayerRelationFollowsSourcesOnce) {
    CDataObject net = Triangle(), ceded = Triangle(), gross = Triangle();
    gross.SetLayerRelation(&net, &ceded, +1);
    RecordingWindow w;
    gross.AddWindow(&w);
    net.SetAt(0, 0, 10);
    ceded.SetAt(0, 0, 5);
    double v = 0;
    std::uint8_t f = 0;
    gross.GetAt(0, 0, v, f);
    EXPECT_EQ(v, 15);
    EXPECT_EQ(gross.SetAt(0, 0, 1), qsk::kReadOnly);
    EXPECT_EQ(w.events.size(), 2u);  // one notice per change
    // Held recalculation runs once when resumed.
    w.events.clear();
    net.SetRecalcOn(0);
    net.SetAt(0, 1, 1);
    net.SetAt(0, 2, 2);
    EXPECT_TRUE(w.events.empty());
    net.SetRecalcOn(1);
    EXPECT_EQ(w.events.size(), 2u);
    gross.GetAt(0, 2, v, f);
    EXPECT_EQ(v, 2);
}
}  // namespace

TEST(DataObjectSDF, CumulateAndRatioFromTheTail) {
    struct Case {
        std::vector<double> sdf;  // NaN: blank
        std::vector<double> cumulative;
    };
    const double n = std::nan("");
    const Case cases[] = {
        {{2.0, 1.5, 1.2, 1.1}, {3.96, 1.98, 1.32, 1.1}},
        {{2.0, 1.5, 1.2, n}, {3.6, 1.8, 1.2, 1.0}},  // a blank tail counts as 1
        {{2.0, n, 1.2, 1.1}, {n, n, 1.32, 1.1}},     // a blank factor ends the product
    };
    for (const auto& c : cases) {
        CDataObject row;
        ASSERT_EQ(row.SetShape(1, 4, CDataObject::VT_ROW), 0);
        for (int k = 0; k < 4; ++k)
            if (!std::isnan(c.sdf[k])) row.SetAt(0, k, c.sdf[k]);
        CDataObject ratio(row);
        ASSERT_EQ(row.CumulateSDF(), 0);
        ASSERT_EQ(ratio.RatioSDF(), 0);
        for (int k = 0; k < 4; ++k) {
            double v = 0, r = 0;
            std::uint8_t f = 0, g = 0;
            row.GetAt(0, k, v, f);
            ratio.GetAt(0, k, r, g);
            if (std::isnan(c.cumulative[k])) {
                EXPECT_FALSE(f & CDataObject::CF_VALUE) << k;
                EXPECT_FALSE(g & CDataObject::CF_VALUE) << k;
            } else {
                EXPECT_NEAR(v, c.cumulative[k], 1e-12) << k;
                EXPECT_NEAR(r, 1.0 / c.cumulative[k], 1e-12) << k;
            }
        }
    }
    CDataObject triangle;
    triangle.SetShape(3, 3, CDataObject::VT_TRIANGLE);
    EXPECT_NE(triangle.CumulateSDF(), 0);
}

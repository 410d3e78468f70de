// The object store on its own: finding instances by id and layer, shaping
// data objects to a structure, and relating the layers of a data object.
#include <gtest/gtest.h>

#include "CDataObject.h"
#include "CScalar.h"
#include "KernelIds.h"
#include "ProjectObjectStore.h"
#include "ProjectPeriods.h"

namespace {
constexpr QSID kTable = 101000001;
constexpr QSID kScalar = 501000001;

struct ProjectObjectStoreTest : ::testing::Test {
    void SetUp() override {
        QSStructure s;
        s.numExp = 3;
        s.numDev = 3;
        s.firstYear = 2001;
        periods.Reset(s);
    }
    // A triangle in all five layers, or only in those asked for.
    void AddTable(QSID id, std::initializer_list<unsigned short> layers = {1, 2, 3, 4, 5}) {
        ProjectObjectEntry e;
        e.baseId = id;
        e.layered = true;
        for (unsigned short l : layers) {
            auto d = std::make_unique<CDataObject>();
            d->SetIDLongName("Table");
            d->SetVectorType(CDataObject::VT_TRIANGLE);
            e.inst[l] = std::move(d);
        }
        store.Install(std::move(e), nullptr);
        store.ApplyShapes(periods.Structure(), periods.Staircase());
    }
    CDataObject* Layer(unsigned short l) { return dynamic_cast<CDataObject*>(store.FindObject(kTable, l)); }
    double Cell(unsigned short l, int r, int c) {
        double v = -1;
        std::uint8_t f = 0;
        Layer(l)->GetAt(r, c, v, f);
        return (f & CDataObject::CF_VALUE) ? v : -1;
    }
    void Relate(QSID only = 0) {
        store.RelateLayers(GROSS, ASSUMED, only);
        CFormula::PropagateChanges(store.EnteredInstances(GROSS, ASSUMED, only));
    }

    ProjectPeriods periods;
    ProjectObjectStore store;
};

TEST_F(ProjectObjectStoreTest, FindsInstancesByIdAndLayer) {
    AddTable(kTable);
    ProjectObjectEntry scalar;
    scalar.baseId = kScalar;
    scalar.layered = false;
    scalar.inst[0] = std::make_unique<CScalar>();
    store.Install(std::move(scalar), nullptr);

    QSID inCeded = kTable;
    SetIDLayer(inCeded, CEDED);
    ASSERT_NE(Layer(CEDED), nullptr);
    EXPECT_EQ(store.FindObject(inCeded), Layer(CEDED));
    EXPECT_EQ(Layer(CEDED)->GetIDNum(), inCeded);  // Install gave it its layered id
    EXPECT_EQ(store.FindObject(kTable, 0), nullptr);  // a layer-neutral id names no instance
    EXPECT_EQ(store.FindObject(kTable, 6), nullptr);
    // An unlayered object is found under any layer.
    EXPECT_NE(store.FindObject(kScalar, ASSUMED), nullptr);
    EXPECT_EQ(store.FindObject(kScalar, ASSUMED), store.FindObject(kScalar, 0));
    EXPECT_TRUE(store.Contains(inCeded));
    EXPECT_FALSE(store.Contains(101000002));
}

TEST_F(ProjectObjectStoreTest, ShapesFollowTheStructure) {
    AddTable(kTable);
    std::uint16_t rows = 0, cols = 0;
    Layer(NET)->GetMaxRowsCols(rows, cols);
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(cols, 3);
    EXPECT_EQ(Layer(NET)->GetRowLengths(), (std::vector<std::uint16_t>{3, 2, 1}));
    QSStructure wider = periods.Structure();
    wider.numDev = 4;
    wider.evalExtra = 12;
    periods.Reset(wider);
    store.ApplyShapes(periods.Structure(), periods.Staircase());
    EXPECT_EQ(Layer(GROSS)->GetRowLengths(), (std::vector<std::uint16_t>{4, 3, 2}));
}

TEST_F(ProjectObjectStoreTest, CalculatedLayersFollowTheirSources) {
    AddTable(kTable);
    Relate();
    Layer(NET)->SetAt(0, 0, 100.0);
    Layer(CEDED)->SetAt(0, 0, 20.0);
    Layer(DIRECT)->SetAt(0, 0, 70.0);
    CFormula::PropagateChanges({Layer(NET), Layer(CEDED), Layer(DIRECT)});
    EXPECT_DOUBLE_EQ(Cell(GROSS, 0, 0), 120.0);   // Net + Ceded
    EXPECT_DOUBLE_EQ(Cell(ASSUMED, 0, 0), 50.0);  // Gross - Direct
    EXPECT_TRUE(Layer(GROSS)->IsCalculated());
    EXPECT_FALSE(Layer(NET)->IsCalculated());

    // The entered instances are what a recalculation starts from.
    const std::vector<CFormula*> entered = store.EnteredInstances(GROSS, ASSUMED);
    EXPECT_EQ(entered.size(), 3u);
}

TEST_F(ProjectObjectStoreTest, AnIncompleteObjectTakesNoRelation) {
    AddTable(kTable, {NET, CEDED});
    Relate(kTable);
    EXPECT_EQ(Layer(GROSS), nullptr);
    EXPECT_FALSE(Layer(NET)->IsCalculated());
    EXPECT_FALSE(Layer(CEDED)->IsCalculated());
}

TEST_F(ProjectObjectStoreTest, ErasingAndClearingDropTheLinksFirst) {
    // Two related objects in an order where a source goes before the
    // instance calculated from it: nothing may read freed cells.
    AddTable(kTable);
    AddTable(101000002);
    Relate();
    store.Erase(kTable);
    EXPECT_FALSE(store.Contains(kTable));
    EXPECT_EQ(store.size(), 1u);
    store.Clear();
    EXPECT_EQ(store.size(), 0u);
}

TEST_F(ProjectObjectStoreTest, TakeIfMovesMatchingEntriesOut) {
    AddTable(kTable);
    ProjectObjectEntry scalar;
    scalar.baseId = kScalar;
    scalar.layered = false;
    scalar.inst[0] = std::make_unique<CScalar>();
    store.Install(std::move(scalar), nullptr);
    auto taken = store.TakeIf([](const ProjectObjectEntry& e) { return !e.layered; });
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken.begin()->first, kScalar);
    EXPECT_FALSE(store.Contains(kScalar));
    store.Restore(kScalar, std::move(taken.begin()->second));
    EXPECT_TRUE(store.Contains(kScalar));
}
}  // namespace

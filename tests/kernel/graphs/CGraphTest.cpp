// Graphs: working copies, the catalogue of series and points, selections,
// kept graphs and their stored form.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "CGraph.h"
#include "CGraphIterators.h"
#include "ProjectFixture.h"

namespace {

// Fills paid loss (Net and Ceded) with r * 100 + c + 1 (Ceded a tenth of it).
void FillPaid(CProject& p) {
    for (unsigned short layer : {NET, CEDED}) {
        CDataObject* d = p.FindDataObject(kPaidLoss, layer);
        ASSERT_NE(d, nullptr);
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 5; ++c)
                if (d->LocationIsValid(r, c))
                    d->SetAt(r, c, (r * 100 + c + 1) * (layer == NET ? 1.0 : 0.1));
    }
}

struct Receiver : CGraphAttrEvent {
    std::vector<int> events;
    void OnGraphLocked(CGraph*) override { events.push_back(1); }
    void OnGraphUnlocked(CGraph*) override { events.push_back(2); }
    void OnGraphChanged(CGraph*) override { events.push_back(3); }
    void OnGraphCatalogued(CGraph*) override { events.push_back(4); }
    void OnGraphModified(CGraph*) override { events.push_back(5); }
};

// Name -> (label -> value) of every data series, with hidden series marked.
struct Drawn {
    std::vector<std::string> names;
    std::vector<bool> hidden;
    std::vector<std::vector<double>> values;  // NaN where the series has no point
};

Drawn Draw(CGraph* g) {
    Drawn d;
    QSStringArray labels;
    g->GetRowLabels(labels);
    CDataSeriesIter it(g);
    CDataSeriesAdapter* a = nullptr;
    while (it.GetNext(a)) {
        d.names.push_back(a->GetName());
        d.hidden.push_back(a->IsHidden());
        std::vector<double> v;
        for (const auto& l : labels) {
            double x = 0;
            v.push_back(a->GetNextPoint(x, l) ? std::nan("") : x);
        }
        d.values.push_back(v);
    }
    return d;
}

class GraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        p = MakeTestProject();
        ASSERT_TRUE(p);
        FillPaid(*p);
    }
    std::unique_ptr<CProject> p;
    RecordingWindow window;
};

TEST_F(GraphTest, TableGraphDrawsTheTriangleByRowsColumnsAndDiagonals) {
    CGraph* g = p->GetGraphObject(kPaidLoss, &window, NET);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->GetGraphID(), GetGraphIDOf(kPaidLoss));
    EXPECT_EQ(g->GetMaster(), nullptr);
    EXPECT_FALSE(g->IsDirty());
    EXPECT_FALSE(g->HasName());
    EXPECT_TRUE(g->IsLayerDependent());
    EXPECT_FALSE(g->IsGraphMultiTables());
    EXPECT_TRUE(g->IsDataTriangular());
    EXPECT_TRUE(g->CanForceComposite());

    // By rows: one series per exposure year, points along the ages.
    QSStringArray labels;
    g->GetRowLabels(labels);
    EXPECT_EQ(labels, (QSStringArray{"12", "24", "36", "48", "60"}));
    std::string axis;
    g->GetXAxisLabel(axis, false);
    EXPECT_EQ(axis, "Age");
    Drawn d = Draw(g);
    ASSERT_EQ(d.names.size(), 5u);
    EXPECT_EQ(d.values[0], (std::vector<double>{1, 2, 3, 4, 5}));
    EXPECT_EQ(d.values[4][0], 401);  // the newest year has one age
    EXPECT_TRUE(std::isnan(d.values[4][1]));

    // By columns: one series per age, points along the years.
    ASSERT_TRUE(g->SetSeriesType(SERIES_COLUMNS, true));
    d = Draw(g);
    ASSERT_EQ(d.names.size(), 5u);
    EXPECT_EQ(d.names[1], "24");
    EXPECT_EQ(d.values[1][0], 2);
    EXPECT_EQ(d.values[1][3], 302);
    EXPECT_TRUE(std::isnan(d.values[1][4]));

    // By diagonals, oldest first: the latest diagonal is the last series.
    ASSERT_TRUE(g->SetSeriesType(SERIES_DIAGONALS, true));
    d = Draw(g);
    ASSERT_EQ(d.names.size(), 5u);
    EXPECT_EQ(d.values[4], (std::vector<double>{5, 104, 203, 302, 401}));
    EXPECT_EQ(d.values[0][0], 1);
    EXPECT_TRUE(std::isnan(d.values[0][1]));
    EXPECT_TRUE(g->IsDirty());
    EXPECT_EQ(p->ReleaseGraphObject(g, &window), 0);
}

TEST_F(GraphTest, RefusesUnknownIdsAndLayers) {
    EXPECT_EQ(p->GetGraphObject(MakeID(2, 1, 0, 0, 700), &window, NET), nullptr);  // no such table
    EXPECT_EQ(p->GetGraphObject(MakeID(8, 1, 0, 0, 600), &window, NET), nullptr);  // no such kept graph
    EXPECT_EQ(p->GetGraphObject(kPaidLoss, &window, 6), nullptr);
    EXPECT_EQ(p->GetGraphObject(0, &window, NET), nullptr);
    CGraph stray;
    EXPECT_NE(p->ReleaseGraphObject(&stray, &window), 0);
    CGraph* g = p->GetGraphObject(kPaidLoss, &window, NET);
    EXPECT_FALSE(g->SaveToMaster(-1));                              // no master yet
    EXPECT_FALSE(g->SaveToMaster(MakeID(2, 1, 0, 0, 700)));         // not a table of the project
    EXPECT_FALSE(g->SetSeriesType(static_cast<SeriesTypeEnum>(7), true));
    EXPECT_FALSE(g->SetCompositeMode(3, true));
    EXPECT_TRUE(p->GraphList().empty());
}

TEST_F(GraphTest, FollowsItsTablesAcrossCalculatedLayers) {
    // Gross is calculated (Net + Ceded): a change in Net reaches a Gross graph.
    CGraph* g = p->GetGraphObject(kPaidLoss, &window, GROSS);
    Receiver rec;
    g->SetEventReceiver(&rec);
    EXPECT_DOUBLE_EQ(Draw(g).values[0][0], 1.1);
    window.events.clear();
    p->FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 10.0);
    EXPECT_DOUBLE_EQ(Draw(g).values[0][0], 10.1);
    ASSERT_FALSE(window.events.empty());
    EXPECT_EQ(window.events.back().first, XR_RELOAD);
    EXPECT_EQ(rec.events, (std::vector<int>{3}));
    EXPECT_FALSE(g->IsDirty());  // new values are no change of the graph
    g->RemoveEventReceiver(&rec);
    p->ReleaseGraphObject(g, &window);
}

TEST_F(GraphTest, SelectionsHideSeriesAndPointsAndPrintingRestoresThem) {
    CGraph* g = p->GetGraphObject(kPaidLoss, &window, NET);
    CSeriesIteratorImpl series(g);
    ASSERT_EQ(series.GetCount(), 5u);
    CSeriesAdapter* s = nullptr;
    series.GetNext(s);
    EXPECT_TRUE(s->IsSelected());
    s->Select(false);
    EXPECT_FALSE(s->IsSelected());
    CLabelIterator points(g);
    CLabelAdapter* l = nullptr;
    points.GetNext(l);
    l->Select(false);
    EXPECT_EQ(g->GetNumDataRows(), 4);
    Drawn d = Draw(g);
    EXPECT_TRUE(d.hidden[0]);
    EXPECT_FALSE(d.hidden[1]);
    EXPECT_EQ(d.values[1][0], 102);  // the 12-month point is not drawn

    // Printing by orientation selects the first or last n series, then restores.
    g->SaveSelections();
    EXPECT_FALSE(g->SetSeriesForPrinting(SERIES_COLUMNS, 0, false));
    EXPECT_FALSE(g->SetSeriesForPrinting(SERIES_COLUMNS, -2, false));  // not the shown orientation
    ASSERT_TRUE(g->SetSeriesForPrinting(SERIES_COLUMNS, 2, true));
    d = Draw(g);
    EXPECT_EQ(d.hidden, (std::vector<bool>{true, true, true, false, false}));
    EXPECT_TRUE(g->SetSeriesForPrinting(SERIES_COLUMNS, -1, false));
    g->RestoreSelections();
    EXPECT_EQ(g->GetSeriesType(), SERIES_ROWS);
    EXPECT_EQ(g->GetNumDataRows(), 4);
    EXPECT_TRUE(Draw(g).hidden[0]);
    p->ReleaseGraphObject(g, &window);
}

TEST_F(GraphTest, SeveralTablesDrawOneChosenSeriesEach) {
    const QSID temp = p->GetNextTempGraphID();
    EXPECT_EQ(GetIDDOType(temp), 8);
    EXPECT_EQ(GetIDInstance(temp), 0);
    EXPECT_NE(p->GetNextTempGraphID(), temp);
    CGraph* g = p->GetGraphObject(temp, &window, NET);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->GetNumTables(), 0);
    Receiver rec;
    g->SetEventReceiver(&rec);
    QSID ceded = kPaidLoss;
    SetIDLayer(ceded, CEDED);
    CGraphTableInserter& ins = g->GetTableInserter();
    ins.Add(kPaidLoss);  // current layer
    ins.Add(ceded);
    ins.Add(ceded);      // the same table and layer once
    ins.Finalize();
    EXPECT_EQ(rec.events, (std::vector<int>{4, 3, 5}));
    ASSERT_EQ(g->GetNumTables(), 2);
    EXPECT_TRUE(g->IsGraphMultiTables());
    EXPECT_FALSE(g->CanForceComposite());

    CTableIterator tables(g);
    CTableAdapter* t = nullptr;
    ASSERT_TRUE(tables.GetNext(t));
    EXPECT_EQ(t->GetLayerName(), "Current");
    ASSERT_TRUE(tables.GetNext(t));
    EXPECT_EQ(t->GetLayerName(), "Ceded");
    EXPECT_NE(t->GetName().find("(Ceded)"), std::string::npos);

    // Composite: the choices are the rows; each table draws the chosen one.
    EXPECT_EQ(g->GetSeriesChoices().size(), 5u);
    EXPECT_EQ(g->GetSeriesName(), "2001");
    ASSERT_TRUE(g->SetSeries(1));
    Drawn d = Draw(g);
    ASSERT_EQ(d.names.size(), 2u);
    EXPECT_EQ(d.values[0][0], 101);
    EXPECT_DOUBLE_EQ(d.values[1][0], 10.1);
    EXPECT_FALSE(g->SetSeries(5));

    int count = 0;
    ASSERT_TRUE(g->SetSeriesForPrinting(0, true, count));  // the last row
    EXPECT_EQ(count, 5);
    EXPECT_EQ(g->GetSeries(), 4);
    EXPECT_FALSE(g->SetSeriesForPrinting(5, false, count));

    // The composite limits span every choice, so the axis holds while choosing.
    QSStringArray labels;
    g->GetRowLabels(labels);
    double mx = std::numeric_limits<double>::quiet_NaN(), mn = mx;
    ASSERT_TRUE(g->GetCompositeMaxMin(0, labels, mx, mn));
    EXPECT_EQ(mx, 401);
    EXPECT_EQ(mn, 1);
    g->RemoveEventReceiver(&rec);
    p->ReleaseGraphObject(g, &window);
}

TEST_F(GraphTest, OneTableCanBeForcedIntoCompositeMode) {
    CGraph* g = p->GetGraphObject(kPaidLoss, &window, NET);
    ASSERT_TRUE(g->SetCompositeMode(1, true));
    EXPECT_TRUE(g->IsGraphMultiTables());
    EXPECT_EQ(g->GetNumDataColumns(), 1);
    ASSERT_TRUE(g->SetCompositeMode(2, true));
    EXPECT_EQ(g->GetNumDataColumns(), 5);
    // A scalar has no triangle to choose series from.
    CGraph* s = p->GetGraphObject(p->GetScalingFactorID(), &window, NET);
    ASSERT_NE(s, nullptr);
    EXPECT_FALSE(s->SetCompositeMode(1, true));
    EXPECT_EQ(s->GetNumDataColumns(), 1);
    EXPECT_EQ(s->GetNumDataRows(), 1);
    auto* scaling = dynamic_cast<CScalar*>(p->FindObject(p->GetScalingFactorID(), 0));
    ASSERT_NE(scaling, nullptr);
    scaling->SetValueBlank();
    EXPECT_TRUE(std::isnan(Draw(s).values[0][0]));  // a blank scalar draws a null point
    scaling->SetValue(1000.0);
    EXPECT_EQ(Draw(s).values[0][0], 1000.0);
    p->ReleaseGraphObject(s, &window);
    p->ReleaseGraphObject(g, &window);
}

TEST_F(GraphTest, ElementCodesChooseWhatIsDrawn) {
    CGraph* g = p->GetGraphObject(kPaidLoss, &window, NET);
    CGraphData* data = g->GetTableData(0);
    ASSERT_NE(data, nullptr);
    const long triangle = CGraphData::MakeCode(PART_TRIANGLE);
    EXPECT_EQ(data->GetIndexForCode(triangle), 0);
    EXPECT_EQ(CGraphData::GetPartOfCode(CGraphData::MakeCode(PART_STATISTIC, 7, true)), PART_STATISTIC);
    EXPECT_EQ(CGraphData::GetIndexOfCode(CGraphData::MakeCode(PART_STATISTIC, 7, true)), 7);
    data->Clear();
    data->AddCode(CGraphData::MakeCode(PART_SDF));  // an array has no SDF: nothing to draw
    g->SetSaveAsNewGraph();
    g->CatalogData();
    EXPECT_EQ(g->GetNumDataColumns(), 0);
    EXPECT_EQ(g->GetNumDataRows(), 0);
    EXPECT_TRUE(g->ShouldSaveAsNewGraph());
    p->ReleaseGraphObject(g, &window);
}

TEST_F(GraphTest, TableGraphSavedToItsMasterSurvivesSaveAndLoad) {
    CGraph* g = p->GetGraphObject(kPaidLoss, &window, NET);
    g->SetSeriesType(SERIES_COLUMNS, true);
    g->SetStyleName("mine.rgs");
    g->GetData().SetName("Paid development");
    g->SetAdjustYAxis(1);
    ASSERT_TRUE(g->SaveToMaster(kPaidLoss));
    EXPECT_FALSE(g->IsDirty());
    ASSERT_NE(g->GetMaster(), nullptr);
    EXPECT_EQ(g->GetMaster(), p->GetTableGraph(kPaidLoss));
    EXPECT_EQ(p->GraphList().count(GetGraphIDOf(kPaidLoss)), 1u);
    g->SetSeriesType(SERIES_DIAGONALS, true);
    ASSERT_TRUE(g->SaveToMaster(-1));
    p->ReleaseGraphObject(g, &window);

    const auto qs1 = p->SaveProject();
    const auto graphs = p->SaveGraphData();
    auto q = std::make_unique<CProject>();
    ASSERT_EQ(q->LoadProject(qs1.data(), qs1.size()), CProject::LS_OK);
    ASSERT_EQ(q->LoadGraphData(graphs.data(), graphs.size()), CProject::LS_OK);
    CGraph* h = q->GetGraphObject(kPaidLoss, &window, CEDED);
    ASSERT_NE(h, nullptr);
    ASSERT_NE(h->GetMaster(), nullptr);
    EXPECT_EQ(h->GetSeriesType(), SERIES_DIAGONALS);
    EXPECT_EQ(h->GetStyleName(), "mine.rgs");
    EXPECT_EQ(h->GetData().GetName(), "Paid development");
    EXPECT_EQ(h->GetAdjustYAxis(), 1);
    EXPECT_EQ(h->GetViewLayer(), CEDED);
    EXPECT_DOUBLE_EQ(Draw(h).values[4][0], 0.5);  // the latest diagonal in Ceded
    q->ReleaseGraphObject(h, &window);
}

TEST_F(GraphTest, NavigatorGraphsAreKeptNamedAndStored) {
    CGraph* g = p->GetGraphObject(p->GetNextTempGraphID(), &window, NET);
    g->GetTableInserter().Add(kPaidLoss);
    g->GetTableInserter().Finalize();

    // Refusals change nothing.
    struct Case { int index; const char* name; const char* abbrev; QSID node; bool ok; };
    const Case cases[] = {
        {500, "Paid", "", -1, false}, {996, "Paid", "", -1, false}, {501, "  ", "", -1, false},
        {501, "Paid", "", 1000, false}, {501, "Paid", "Paid", -1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(p->SaveGraphToNavigator(g, c.index, c.name, c.abbrev, c.node) == 0, c.ok) << c.index << c.name;
    EXPECT_TRUE(p->GraphList().empty());

    ASSERT_EQ(p->SaveGraphToNavigator(g, 501, " Paid graph ", "PG", -1), 0);
    const QSID id = MakeID(8, 1, 0, 0, 501);
    EXPECT_EQ(g->GetGraphID(), id);
    EXPECT_EQ(g->GetIDLongName(), "Paid graph");
    ASSERT_NE(g->GetMaster(), nullptr);
    EXPECT_FALSE(p->IsIndexAvail(qsk::kCatGraph, "501"));
    EXPECT_NE(p->SaveGraphToNavigator(g, 501, "Other", "", -1), 0);       // index taken
    EXPECT_NE(p->SaveGraphToNavigator(g, 502, "paid GRAPH", "", -1), 0);  // name taken
    EXPECT_NE(p->SaveGraphToNavigator(g, 502, "Other", "pg", -1), 0);     // abbreviation taken
    std::string next;
    ASSERT_EQ(p->GetNextAvailIndex(qsk::kCatGraph, 501, next), 0);
    EXPECT_EQ(next, "502");
    QSStringArray names;
    QSIDArray ids;
    ASSERT_EQ(p->GetNodeObjects(qsk::kCatGraph, names, ids, NET, 0, 1, 1, 0), 0);
    EXPECT_EQ(ids, QSIDArray{id});
    EXPECT_EQ(names, QSStringArray{"501 - Paid graph"});

    // Renaming through the kept object, as the rename dialog does.
    CFormula* kept = p->OpenObject(id, 0, &window);
    ASSERT_NE(kept, nullptr);
    kept->SetIDLongName("Paid losses");
    p->CloseObject(kept, &window);

    // Stored in "GraphData", not in the project stream; both loads keep it.
    const auto qs1 = p->SaveProject();
    const auto graphs = p->SaveGraphData();
    auto q = std::make_unique<CProject>();
    ASSERT_EQ(q->LoadGraphData(graphs.data(), graphs.size()), CProject::LS_OK);
    ASSERT_EQ(q->LoadProject(qs1.data(), qs1.size()), CProject::LS_OK);
    std::string name;
    ASSERT_EQ(q->GetNameFromID(id, name), 0);
    EXPECT_EQ(name, "501 - Paid losses");
    CGraph* h = q->GetGraphObject(id, &window, NET);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(h->HasName());
    EXPECT_EQ(h->GetNumTables(), 1);
    EXPECT_EQ(h->GetNumDataColumns(), 5);

    // Deleting the kept graph leaves the working copy without a master.
    ASSERT_EQ(q->DeleteObject(id), 0);
    EXPECT_EQ(h->GetMaster(), nullptr);
    EXPECT_TRUE(q->GraphList().empty());
    EXPECT_NE(q->GetNameFromID(id, name), 0);
    q->ReleaseGraphObject(h, &window);
    auto r = std::make_unique<CProject>();
    ASSERT_EQ(r->LoadGraphData(graphs.data(), graphs.size()), CProject::LS_OK);
    CGraph* w2 = r->GetGraphObject(id, &window, NET);
    ASSERT_EQ(r->CleanUpUdoGraphs(), 0);
    EXPECT_EQ(w2->GetMaster(), nullptr);
    EXPECT_FALSE(w2->SaveToMaster(-1));
    EXPECT_TRUE(r->GraphList().empty());
    r->ReleaseGraphObject(w2, &window);
    p->ReleaseGraphObject(g, &window);
}

TEST_F(GraphTest, DamagedOrForeignGraphRecords) {
    CGraph* g = p->GetGraphObject(kPaidLoss, &window, NET);
    ASSERT_TRUE(g->SaveToMaster(kPaidLoss));
    p->ReleaseGraphObject(g, &window);
    const QSID foreign = GetGraphIDOf(101000002);
    p->GraphList()[foreign] = {1, 2, 3};  // not a graph record: kept as it came
    const auto good = p->SaveGraphData();

    auto q = std::make_unique<CProject>();
    ASSERT_EQ(q->LoadGraphData(good.data(), good.size()), CProject::LS_OK);
    EXPECT_NE(q->GetTableGraph(kPaidLoss), nullptr);
    EXPECT_EQ(q->GetTableGraph(101000002), nullptr);
    EXPECT_EQ(q->GraphList().at(foreign), (std::vector<std::uint8_t>{1, 2, 3}));
    const auto again = q->SaveGraphData();
    EXPECT_EQ(again, good);

    // A graph record cut short inside a well-framed stream: damaged, nothing changes.
    CGraph rec(MakeID(8, 1, 0, 0, 501));
    rec.SetIDLongName("Cut");
    std::vector<std::uint8_t> bytes = rec.ToRecord();
    bytes.resize(bytes.size() - 3);
    auto r = std::make_unique<CProject>();
    r->GraphList()[MakeID(8, 1, 0, 0, 501)] = bytes;
    const auto bad = r->SaveGraphData();
    EXPECT_EQ(q->LoadGraphData(bad.data(), bad.size()), CProject::LS_DAMAGED);
    EXPECT_NE(q->GetTableGraph(kPaidLoss), nullptr);
    // A graph record under an id that does not match it.
    CGraph other(MakeID(8, 1, 0, 0, 502));
    other.SetIDLongName("Moved");
    r->GraphList()[MakeID(8, 1, 0, 0, 501)] = other.ToRecord();
    const auto moved = r->SaveGraphData();
    EXPECT_EQ(q->LoadGraphData(moved.data(), moved.size()), CProject::LS_DAMAGED);
}

TEST_F(GraphTest, StructuralChangesReachWorkingGraphsAndViewsRelink) {
    CGraph* g = p->GetGraphObject(kPaidLoss, &window, NET);
    ASSERT_EQ(g->GetNumDataColumns(), 5);
    // The document detaches its views around a structural change and opens them again.
    ASSERT_EQ(p->CloseObject(g, &window), 0);
    int grow = 1, growCols = 1, clear = 0, count = 1;
    ASSERT_EQ(p->AppendNewEvaluation(grow, growCols, clear, count), 0);
    EXPECT_EQ(g->GetNumDataColumns(), 6);  // a new exposure year, a new row series
    CFormula* link = p->OpenObject(GetGraphIDOf(kPaidLoss), NET, &window);
    EXPECT_EQ(link, g);
    EXPECT_EQ(g->GetViewedCount(), 1);
    // A graph id with no working graph left falls back to the kept objects.
    EXPECT_EQ(p->OpenObject(GetGraphIDOf(kPaidLoss), CEDED, &window), nullptr);
    window.events.clear();
    p->UpdateAllObjects();
    ASSERT_FALSE(window.events.empty());
    EXPECT_EQ(window.events.back().first, XR_RELOAD);
    p->ReleaseGraphObject(g, &window);
}

TEST_F(GraphTest, LockingAndEvents) {
    CGraph* g = p->GetGraphObject(kPaidLoss, &window, NET);
    Receiver a, b;
    g->SetEventReceiver(&a);
    g->SetEventReceiver(&b);
    g->SetEventReceiver(&a);  // once
    ASSERT_TRUE(g->Lock());
    ASSERT_TRUE(g->Lock());
    g->Unlock();
    g->Unlock();
    g->Unlock();  // no lock left: nothing
    EXPECT_EQ(a.events, (std::vector<int>{1, 2}));
    g->RemoveEventReceiver(&b);
    g->SetAdjustYAxis(1);
    EXPECT_EQ(a.events, (std::vector<int>{1, 2, 3, 5}));
    EXPECT_EQ(b.events, (std::vector<int>{1, 2}));
    g->RemoveEventReceiver(&a);
    p->ReleaseGraphObject(g, &window);
}

TEST(GraphDefaultStylesTest, DefaultsStoreAndStyleOfData) {
    auto p = MakeTestProject();
    CGraphDefaultStyles& s = p->GetGraphDefaultStyles();
    EXPECT_EQ(s.GetStyle(CGraphDefaultStyles::ARRAYS), "DEF_ARR.RGS");
    EXPECT_EQ(s.GetStyle(CGraphDefaultStyles::SDFS), "DEF_SDF.RGS");
    EXPECT_EQ(s.GetStyle(6), "");
    EXPECT_FALSE(s.SetStyle(-1, "x"));
    ASSERT_TRUE(s.SetStyle(CGraphDefaultStyles::EXHIBITS, "MyExh.rgs"));
    p->DefGraphStyles()[100] = {9, 9};  // a key this kernel does not use is kept

    struct Case { QSID id; const char* style; };
    const Case cases[] = {
        {kPaidLoss, "DEF_ARR.RGS"},          {MakeID(3, 1, 1, 1, 5), "MyExh.rgs"},
        {MakeID(4, 1, 0, 2, 501), "DEF_MET.RGS"}, {301003003, "DEF_REP.RGS"},
        {101000023, "DEF_COL.RGS"},          {101000033, "DEF_COL.RGS"},
        {MakeID(1, 1, 0, 1, 1), "DEF_SDF.RGS"},
    };
    for (const auto& c : cases) EXPECT_EQ(CGraphData(c.id).GetStyleName(p.get()), c.style) << c.id;

    const auto bytes = p->SaveDefGraphStyles();
    auto q = std::make_unique<CProject>();
    ASSERT_EQ(q->LoadDefGraphStyles(bytes.data(), bytes.size()), CProject::LS_OK);
    EXPECT_EQ(q->GetGraphDefaultStyles(), p->GetGraphDefaultStyles());
    EXPECT_EQ(q->DefGraphStyles().at(100), (std::vector<std::uint8_t>{9, 9}));
    auto cut = bytes;
    cut.pop_back();
    EXPECT_EQ(q->LoadDefGraphStyles(cut.data(), cut.size()), CProject::LS_DAMAGED);
    EXPECT_EQ(q->GetGraphDefaultStyles().GetStyle(CGraphDefaultStyles::EXHIBITS), "MyExh.rgs");
}

}  // namespace

// The graphs part on its own: table graph keys and records, working graphs
// and the ids of graphs not kept yet.
#include <gtest/gtest.h>

#include "CGraph.h"
#include "KernelIds.h"
#include "ProjectGraphs.h"

namespace {
constexpr QSID kTable = 101000001;

TEST(ProjectGraphs, TableGraphsAreKeptLayerNeutralWithARecordKey) {
    ProjectGraphs graphs;
    QSID inCeded = kTable;
    SetIDLayer(inCeded, CEDED);
    const QSID key = ProjectGraphs::TableKey(inCeded);
    EXPECT_EQ(key, ProjectGraphs::TableKey(kTable));
    EXPECT_EQ(key, ProjectGraphs::TableKey(GetGraphIDOf(kTable)));
    EXPECT_TRUE(IsGraphID(key));

    CGraph* kept = graphs.KeepTableGraph(key, std::make_unique<CGraph>(key));
    EXPECT_EQ(graphs.TableGraph(key), kept);
    EXPECT_EQ(graphs.Records().count(key), 1u);
    graphs.DropTableGraph(key);
    EXPECT_EQ(graphs.TableGraph(key), nullptr);
    EXPECT_EQ(graphs.Records().count(key), 0u);
    graphs.DropTableGraph(key);  // dropping twice is harmless
}

TEST(ProjectGraphs, TemporaryIdsCycleThroughTheIndexes) {
    ProjectGraphs graphs;
    const QSID first = graphs.NextTempID();
    EXPECT_EQ(GetIDDOType(first), 8);
    EXPECT_EQ(GetIDInstance(first), 0);
    EXPECT_EQ(GetIDIndex(first), 1);
    QSID last = first;
    for (int i = 0; i < 998; ++i) last = graphs.NextTempID();
    EXPECT_EQ(GetIDIndex(last), 999);
    EXPECT_EQ(graphs.NextTempID(), first);
}

TEST(ProjectGraphs, WorkingGraphsGoWithTheirLastWindow) {
    struct Window : IKernelWindow {
        void XRefresh(CFormula*, int, long) override {}
    } a, b;
    ProjectGraphs graphs;
    CGraph* g = graphs.AddWorking(std::make_unique<CGraph>(MakeID(8, 0, 0, 0, 1)));
    g->AddWindow(&a);
    g->AddWindow(&b);
    EXPECT_TRUE(graphs.ReleaseWorking(g, &a));
    EXPECT_EQ(graphs.WorkingCount(), 1u);
    EXPECT_TRUE(graphs.ReleaseWorking(g, &b));
    EXPECT_EQ(graphs.WorkingCount(), 0u);
    CGraph stranger;
    EXPECT_FALSE(graphs.ReleaseWorking(&stranger, &a));
    EXPECT_FALSE(graphs.ReleaseWorking(nullptr, &a));
}
}  // namespace

// The New Graph, data source and element dialogs on the sample project,
// played as a person would: their refusals, offers and what reaches the
// kernel graph on OK (and nothing on Cancel).
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>

#include "CChooseGraphElementsDlg.h"
#include "CGraphIterators.h"
#include "CNewGraphDlg.h"
#include "CScalar.h"
#include "GraphTestSupport.h"

using namespace qs::test;
using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;

namespace {

class GraphDialogsTest : public SampleGraphTest {
protected:
    // A kept graph of the paid losses under index.
    void KeepGraph(int index, const std::string& name) {
        CGraph* g = Project()->GetGraphObject(kPaidLoss, nullptr, NET);
        ASSERT_NE(g, nullptr);
        ASSERT_EQ(Project()->SaveGraphToNavigator(g, index, name, "", -1), 0);
        Project()->ReleaseGraphObject(g, nullptr);
    }
    // Runs the dialog in new mode with the fields set and presses OK; a
    // dialog that stays open is given up. The boxes go to the caller's script.
    int RunNew(const QString& id, const QString& name) {
        CNewGraphDlg dialog(Project(), 0);
        ModalScript script;
        script.Then<CNewGraphDlg>([&](CNewGraphDlg& d) {
            if (!id.isEmpty()) d.IdEdit()->setText(id);
            d.NameEdit()->setText(name);
            d.OnOK();
            if (d.result() == 0) d.reject();  // still open: the person gives up
        });
        return int(dialog.DoModal());
    }
};

TEST_F(GraphDialogsTest, NewGraphIndexMustLieBetween501And995) {
    const struct {
        const char* id;
        bool accepted;
    } cases[] = {{"500", false}, {"996", false}, {"501", true}, {"995", true}, {"x1", false}};
    for (const auto& c : cases) {
        MessageBoxScript boxes{IDOK};
        EXPECT_EQ(RunNew(c.id, "A graph"), c.accepted ? IDOK : IDCANCEL) << c.id;
        if (!c.accepted) {
            EXPECT_TRUE(boxes.Last().text == "ID# must be between 501 and 995!" ||
                        boxes.Last().text == "Please enter an integer.")
                << c.id;
        }
    }
}

TEST_F(GraphDialogsTest, AnIndexInUseOffersTheNextFreeOne) {
    KeepGraph(501, "First");
    KeepGraph(502, "Second");
    {
        MessageBoxScript boxes{IDNO};
        EXPECT_EQ(RunNew("501", "Third"), IDCANCEL);
        EXPECT_EQ(boxes.Last().text, "ID# already in use.\nNext available ID# is 503.\nUse this ID#?");
    }
    MessageBoxScript boxes{IDYES};
    CNewGraphDlg dialog(Project(), 0);
    ModalScript script;
    script.Then<CNewGraphDlg>([](CNewGraphDlg& d) {
        d.IdEdit()->setText("501");
        d.NameEdit()->setText("Third");
        d.OnOK();
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_nIndex, 503);
    EXPECT_EQ(dialog.m_nNode, -1);
}

TEST_F(GraphDialogsTest, NamesMustBeValidAndUniqueButAGraphKeepsItsOwn) {
    KeepGraph(501, "Paid triangle");
    {
        MessageBoxScript boxes{IDOK};
        EXPECT_EQ(RunNew("", "paid TRIANGLE"), IDCANCEL);
        EXPECT_EQ(boxes.Last().text, "'paid TRIANGLE' already in use.  Please use an alternate name.");
    }
    {
        MessageBoxScript boxes{IDOK};
        EXPECT_EQ(RunNew("", "Bad*name"), IDCANCEL);
        EXPECT_EQ(boxes.Count(), 1u);
    }
    // Rename mode: its own name is no conflict; the new names reach the object.
    const QSID kept = MakeID(8, 1, 0, 0, 501);
    CNewGraphDlg dialog(Project(), kept);
    ModalScript script;
    script.Then<CNewGraphDlg>([](CNewGraphDlg& d) {
        EXPECT_TRUE(d.IdEdit()->isReadOnly());
        EXPECT_EQ(d.IdEdit()->text(), "501");
        EXPECT_EQ(d.NameEdit()->text(), "Paid triangle");
        d.AbbreviatedNameEdit()->setText("PT");
        d.OnOK();
    });
    MessageBoxScript boxes;
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(Project()->FindObject(kept)->GetIDShortName(), "PT");
}

TEST_F(GraphDialogsTest, DataSourceListsEachTableAndLayerOnceInOrder) {
    CGraph graph;
    CSelectDataSourceDlg dialog(Project(), nullptr, &graph.GetTableInserter());
    ModalScript script;
    script.Then<CSelectDataSourceDlg>([](CSelectDataSourceDlg& d) {
        ASSERT_TRUE(ChooseInDataSource(d, kPaidLoss));
        d.SetLayer(0);
        d.OnSelect();
        d.OnSelect();  // the same table and layer again: listed once
        d.SetLayer(3);
        d.OnSelect();  // Ceded: a second entry
        ASSERT_EQ(d.SelectedList()->topLevelItemCount(), 2);
        EXPECT_EQ(d.SelectedList()->topLevelItem(0)->text(1), "Current");
        EXPECT_EQ(d.SelectedList()->topLevelItem(1)->text(1), "Ceded");
        // Down moves the first below the second, keeping it selected.
        d.SelectedList()->setCurrentItem(d.SelectedList()->topLevelItem(0));
        d.SelectedList()->topLevelItem(0)->setSelected(true);
        d.OnMove(1);
        EXPECT_EQ(d.SelectedList()->topLevelItem(1)->text(1), "Current");
        EXPECT_TRUE(d.SelectedList()->topLevelItem(1)->isSelected());
        d.OnOK();
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    const std::vector<QSID>& ids = graph.GetTableInserter().Pending();
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(GetIDLayer(ids[0]), CEDED);
    EXPECT_EQ(GetIDLayer(ids[1]), 0);
    EXPECT_EQ(CSelectDataSourceDlg::LayerName(9), "Unknown");
}

TEST_F(GraphDialogsTest, CancellingTheDialogsChangesNothing) {
    CGraphView* view = Open(GetGraphIDOf(kPaidLoss));
    ASSERT_NE(view, nullptr);
    CGraph* graph = view->GetGraph();
    const std::vector<long> codes = graph->GetTables()[0].GetCodes();
    ModalScript script;
    script.Then([](QDialog& d) { d.reject(); });
    script.Then([](QDialog& d) { d.reject(); });
    view->OnDataSource();
    CTableIterator tables(graph);
    CTableAdapter* table = nullptr;
    ASSERT_TRUE(tables.GetNext(table));
    CChooseGraphElementsDlg chooser(&tables, table);
    EXPECT_EQ(chooser.DoModal(), IDCANCEL);
    EXPECT_EQ(graph->GetNumTables(), 1);
    EXPECT_EQ(graph->GetTables()[0].GetCodes(), codes);
    EXPECT_FALSE(graph->IsDirty());
}

TEST_F(GraphDialogsTest, ElementsChosenBecomeTheTablesPartCodes) {
    CGraphView* view = NewGraphOfTwoTables();
    ASSERT_NE(view, nullptr);
    CGraph* graph = view->GetGraph();
    CTableIterator tables(graph);
    CTableAdapter* first = nullptr;
    ASSERT_TRUE(tables.GetNext(first));
    // The exhibit offers its factors and its statistics.
    CTableAdapter* exhibit = nullptr;
    ASSERT_TRUE(tables.GetNext(exhibit));
    const auto offered = CChooseGraphElementsDlg::ElementsOf(*exhibit);
    ASSERT_GE(offered.size(), 2u);
    EXPECT_EQ(offered[0].code, CGraphData::MakeCode(PART_EXHIBIT));
    EXPECT_EQ(CGraphData::GetPartOfCode(offered[1].code), PART_STATISTIC);
    CChooseGraphElementsDlg dialog(&tables, exhibit);
    ModalScript script;
    script.Then<CChooseGraphElementsDlg>([&](CChooseGraphElementsDlg& d) {
        ASSERT_EQ(d.ElementList()->count(), int(offered.size()));
        EXPECT_EQ(d.ElementList()->item(0)->checkState(), Qt::Checked);  // already drawn
        EXPECT_TRUE(d.SetChecked(offered[1].text, true));
        d.OnOK();
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(graph->GetTables()[1].GetCodes(), (std::vector<long>{offered[0].code, offered[1].code}));
    EXPECT_EQ(graph->GetTables()[0].GetCodes(), (std::vector<long>{CGraphData::MakeCode(PART_TRIANGLE)}));
    EXPECT_TRUE(graph->ShouldSaveAsNewGraph());
}

TEST_F(GraphDialogsTest, ABlankScalarOffersBlank) {
    QSID scalar = 0;
    CScalar* blank = nullptr;
    Project()->ForEachObject([&](QSID id, unsigned short, CFormula* f) {
        if (auto* s = dynamic_cast<CScalar*>(f); s != nullptr && scalar == 0) {
            scalar = GetLayerNeutralID(id);
            blank = s;
        }
    });
    ASSERT_NE(blank, nullptr);
    SetIDLayer(scalar, NET);
    dynamic_cast<CScalar*>(Project()->FindObject(scalar, NET))->SetValueBlank();
    CGraph* graph = Project()->GetGraphObject(scalar, nullptr, NET);
    ASSERT_NE(graph, nullptr);
    CTableIterator tables(graph);
    CTableAdapter* table = nullptr;
    ASSERT_TRUE(tables.GetNext(table));
    const auto offered = CChooseGraphElementsDlg::ElementsOf(*table);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].text, "(Blank)");
    Project()->ReleaseGraphObject(graph, nullptr);
}

}  // namespace

// Compiling a print list against the sample project (its paid-loss triangle
// has data in the layers 1, 2 and 5): layers, the All Arrays and All
// Exhibits entries, graphs, markers and the iteration over them, and the
// list's own operations (entry texts, equality, copies).
#include <gtest/gtest.h>

#include <vector>

#include "CPrintList.h"
#include "KernelIds.h"
#include "PrintListFixture.h"
#include "PrintListIds.h"

using namespace qs::print;
using qs::test::kPaid;

namespace {

QSID Layered(QSID id, unsigned short layer) {
    SetIDLayer(id, layer);
    return id;
}

struct PrintListModelTest : qs::test::PrintListFixture {
    std::vector<QSID> Compile(CPrintList& list) {
        list.compilePrintList();
        return list.compiledIds();
    }
    // The paid-loss exhibits the project lists (its development exhibits).
    std::vector<QSID> PaidExhibits(unsigned short layer) {
        QSIDArray ids;
        m_doc->GetProject()->GetAllTypeIDsFromID(kPaid, qsk::kCatExhibit, ids);
        std::vector<QSID> out;
        for (QSID id : ids)
            if (m_doc->GetProject()->IDHasData(Layered(id, layer), layer)) out.push_back(Layered(id, layer));
        return out;
    }
};

TEST_F(PrintListModelTest, AnEntryOfAllLayersExpandsToTheLayersWithDataInOrder) {
    CFilePrintList list(m_doc.get());
    list.addEntry(kPaid, "  1 - Paid Loss");
    list.addEntry(Layered(kPaid, 3), "  1 - Paid Loss");  // no data in layer 3: left out
    EXPECT_EQ(Compile(list), (std::vector<QSID>{Layered(kPaid, 1), Layered(kPaid, 2), Layered(kPaid, 5)}));
}

TEST_F(PrintListModelTest, AGraphEntryCompilesToTheGraphsOfWhatTheTableWould) {
    CFilePrintList list(m_doc.get());
    list.addEntry(GetGraphIDOf(kPaid), "  1 - Paid Loss");
    EXPECT_EQ(Compile(list), (std::vector<QSID>{GetGraphIDOf(Layered(kPaid, 1)), GetGraphIDOf(Layered(kPaid, 2)),
                                                GetGraphIDOf(Layered(kPaid, 5))}));
}

TEST_F(PrintListModelTest, ExhibitsFollowTheirArraysOnlyWithTheOption) {
    CFilePrintList list(m_doc.get());
    list.addEntry(Layered(qsk::kAllArrays, 1), "  0 - All Arrays");
    EXPECT_EQ(Compile(list), (std::vector<QSID>{Layered(kPaid, 1)}));
    list.m_bPrintAllExhibits = 1;
    std::vector<QSID> expected{Layered(kPaid, 1)};
    const std::vector<QSID> exhibits = PaidExhibits(1);
    ASSERT_FALSE(exhibits.empty());
    expected.insert(expected.end(), exhibits.begin(), exhibits.end());
    EXPECT_EQ(Compile(list), expected);
    // A single array entry takes its exhibits the same way.
    CFilePrintList single(m_doc.get());
    single.m_bPrintAllExhibits = 1;
    single.addEntry(Layered(kPaid, 1), "  1 - Paid Loss");
    EXPECT_EQ(Compile(single), expected);
}

TEST_F(PrintListModelTest, AllExhibitsListsEveryExhibitWithDataWhateverTheOption) {
    CFilePrintList list(m_doc.get());
    list.addEntry(Layered(qsk::kAllExhibits, 1), "  0 - All Exhibits");
    const std::vector<QSID> compiled = Compile(list);
    for (QSID exhibit : PaidExhibits(1))
        EXPECT_NE(std::find(compiled.begin(), compiled.end(), exhibit), compiled.end()) << exhibit;
    for (QSID id : compiled) {
        EXPECT_EQ(GetCategoryOfID(id), qsk::kCatExhibit) << id;
        EXPECT_EQ(GetIDLayer(id), 1) << id;
    }
    EXPECT_TRUE(std::is_sorted(compiled.begin(), compiled.end()));
}

TEST_F(PrintListModelTest, MarkersSetThePendingPageAndSettingsAsTheIterationPassesThem) {
    CFilePrintList list(m_doc.get());
    CPageSetup first, second;
    first.m_nKeyValue = 1;
    second.m_nKeyValue = 2;
    second.m_nOrientation = 0;
    list.addPageSetup(first);
    list.addPageSetup(second);
    list.addEntry(PageBreakEntryId(0), "");
    list.addEntry(Layered(kPaid, 1), "  1 - Paid Loss");
    list.addEntry(PageBreakEntryId(5), "");
    list.addEntry(PageSetupEntryId(1), "");
    list.addEntry(PageSetupEntryId(2), "");  // two in a row: the second wins
    list.addEntry(Layered(kPaid, 2), "  1 - Paid Loss");
    list.addEntry(PageSetupEntryId(9), "");  // no such page setup: nothing pending
    list.addEntry(Layered(kPaid, 5), "  1 - Paid Loss");

    ASSERT_TRUE(list.moveFirst());
    EXPECT_EQ(list.pendingPageNumber(), kPageNumberInSequence);
    ASSERT_NE(list.currentItem(), nullptr);
    EXPECT_EQ(list.currentItem()->id(), kPaid);
    EXPECT_EQ(list.currentItem()->layer(), 1);
    list.setPendingPageNumber(0);
    ASSERT_TRUE(list.moveNext());
    EXPECT_EQ(list.pendingPageNumber(), 5);
    ASSERT_NE(list.pendingPageSetup(), nullptr);
    EXPECT_EQ(list.pendingPageSetup()->m_nKeyValue, 2u);
    EXPECT_EQ(list.currentItem()->layer(), 2);
    list.setPendingPageSetup(nullptr);
    ASSERT_TRUE(list.moveNext());
    EXPECT_EQ(list.pendingPageSetup(), nullptr);
    EXPECT_EQ(list.currentItem()->layer(), 5);
    EXPECT_FALSE(list.moveNext());
    EXPECT_TRUE(list.isAtEnd());
    EXPECT_EQ(list.currentItem(), nullptr);
}

TEST_F(PrintListModelTest, AnEmptyCompiledListPrintsNothingAndIsDone) {
    CFilePrintList list(m_doc.get());
    list.addEntry(Layered(kPaid, 4), "  1 - Paid Loss");  // no data there
    EXPECT_FALSE(list.moveFirst());
    EXPECT_TRUE(list.print());
    EXPECT_TRUE(m_pdfs.empty());
}

TEST_F(PrintListModelTest, EntryTextsNameTheMarkers) {
    CFilePrintList list(m_doc.get());
    list.addEntry(PageSetupEntryId(4), "");
    list.addEntry(PageBreakEntryId(0), "");
    list.addEntry(PageBreakEntryId(12), "");
    list.addEntry(kPaid, "  1 - Paid Loss");
    EXPECT_EQ(list.entryText(0), ">>>>> Page Setup <<<<<");
    EXPECT_EQ(list.entryText(1), ">>>>> Page Break <<<<<");
    EXPECT_EQ(list.entryText(2), ">>>>> Page Break <<<<< (Next Page # 12)");
    EXPECT_EQ(list.entryText(3), "  1 - Paid Loss");
    EXPECT_EQ(list.largestPageSetupKey(), 4);
    EXPECT_EQ(CPrintListData::pageSetupKeyOf(PageSetupEntryId(4)), 4);
}

TEST_F(PrintListModelTest, EqualDataMindsOrderAndCase) {
    CFilePrintList a(m_doc.get()), b(m_doc.get());
    a.addEntry(kPaid, "  1 - Paid Loss");
    a.addEntry(101000011, "  2 - Incurred Loss");
    b.assignData(a);
    EXPECT_TRUE(a.equalData(b));
    b.moveEntry(0, 1);
    EXPECT_FALSE(a.equalData(b));
    b.assignData(a);
    b.setEntry(1, 101000011, "  2 - incurred loss");
    EXPECT_FALSE(a.equalData(b));
    b.assignData(a);
    b.m_bPrintCellNotes = 1;
    EXPECT_FALSE(a.equalData(b));
}

TEST_F(PrintListModelTest, ACopyHasNoCurrentItemAndIteratesOnItsOwn) {
    CFilePrintList list(m_doc.get());
    list.addEntry(kPaid, "  1 - Paid Loss");
    list.setName(Path("mine.lst"));
    ASSERT_TRUE(list.moveFirst());
    ASSERT_NE(list.currentItem(), nullptr);
    std::unique_ptr<CPrintList> copy = list.clone();
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->equalData(list));
    EXPECT_EQ(copy->name(), list.name());
    ASSERT_TRUE(copy->moveFirst());
    while (copy->moveNext()) {
    }
    EXPECT_TRUE(copy->isAtEnd());
    EXPECT_FALSE(list.isAtEnd());
    EXPECT_NE(list.currentItem(), nullptr);
}

}  // namespace

// The print list editor: choosing tables, page breaks and page setups on
// the Tables page, the options, printing from the dialog, and the question
// about unsaved changes.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "CPageSetupDlg.h"
#include "CPrintList.h"
#include "CPrintListDlg.h"
#include "KernelIds.h"
#include "ModalScript.h"
#include "PrintListFixture.h"
#include "PrintListIds.h"

using namespace qs::print;

namespace {

struct PrintListDlgTest : qs::test::PrintListFixture {
    // Selects the table row named name on the Tables page.
    static bool SelectTableRow(CPrintListTablesPage& page, const QString& name) {
        page.m_pTables->clearSelection();
        for (int i = 0; i < page.m_pTables->topLevelItemCount(); ++i)
            if (page.m_pTables->topLevelItem(i)->text(0) == name) {
                page.m_pTables->topLevelItem(i)->setSelected(true);
                return true;
            }
        return false;
    }
    // Edits the next page setup dialog: one change, then "&Save".
    static void SaveAChangedPageSetup(qs::fw::ModalScript& script, double topMargin) {
        script.Then<CPageSetupDlg>([topMargin](CPageSetupDlg& dialog) {
            dialog.Tabs()->m_pLayout->m_pMargins[0]->setText(QString::number(topMargin));
            dialog.m_pSave->click();
        });
    }
};

TEST_F(PrintListDlgTest, TheTablesPageAddsTablesBreaksAndPageSetups) {
    auto list = CPrintList::createDefaultPrintList(m_doc.get());  // no "default.lst": empty
    ASSERT_EQ(list->entryCount(), 0);
    CPrintListDlg dialog(list.get());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Print"));
    CPrintListTablesPage* page = dialog.Tabs()->m_pTables;
    page->m_pLayer->setCurrentIndex(1);  // the first layer
    ASSERT_TRUE(SelectTableRow(*page, QStringLiteral("  1 - Paid Loss")));
    page->m_pSelectTable->click();
    ASSERT_TRUE(SelectTableRow(*page, QStringLiteral("  0 - All Arrays")));
    page->m_pSelectGraph->click();
    QSID paid = qs::test::kPaid, allArrays = qsk::kAllArrays;
    SetIDLayer(paid, 1);
    SetIDLayer(allArrays, 1);
    EXPECT_EQ(list->ids(), (std::vector<QSID>{paid, GetGraphIDOf(allArrays)}));

    // Page breaks: out-of-range numbers are refused, 0 is next in sequence.
    qs::fw::ModalScript script;
    script.Then<CPageBreakDlg>([](CPageBreakDlg& breakDialog) {
        for (const char* bad : {"1000", "-1", ""}) {
            breakDialog.m_pNumber->setText(QLatin1String(bad));
            breakDialog.OnOK();
            EXPECT_TRUE(breakDialog.isVisible()) << bad;
        }
        breakDialog.m_pNumber->setText(QStringLiteral("7"));
        breakDialog.OnOK();
    });
    page->m_pEntries->clearSelection();
    static_cast<QPushButton*>(page->GetDlgItem(1198))->click();
    EXPECT_EQ(m_boxes.Count(), 3u);
    EXPECT_EQ(m_boxes.Last().text, QStringLiteral("Please enter a number between 0 and 999"));
    EXPECT_EQ(m_boxes.Last().caption, QStringLiteral("Invalid input"));
    EXPECT_EQ(list->entryText(2), ">>>>> Page Break <<<<< (Next Page # 7)");

    // Two new page setups after a largest key of 3 get keys 4 and 5.
    CPageSetup three;
    three.m_nKeyValue = 3;
    list->addPageSetup(three);
    list->insertEntry(0, PageSetupEntryId(3), "");
    dialog.RefreshPages();
    SaveAChangedPageSetup(script, 1.5);
    SaveAChangedPageSetup(script, 2.5);
    page->m_pEntries->clearSelection();
    static_cast<QPushButton*>(page->GetDlgItem(1448))->click();
    page->m_pEntries->clearSelection();
    static_cast<QPushButton*>(page->GetDlgItem(1448))->click();
    EXPECT_EQ(list->entryId(list->entryCount() - 2), 96000004);
    EXPECT_EQ(list->entryId(list->entryCount() - 1), 96000005);
    ASSERT_EQ(list->pageSetupCount(), 3);
    EXPECT_EQ(list->pageSetupAt(2).m_dTopMargin, 2.5);

    // Deselecting a page-setup entry drops its page settings as well.
    page->m_pEntries->clearSelection();
    page->m_pEntries->topLevelItem(list->entryCount() - 1)->setSelected(true);
    static_cast<QPushButton*>(page->GetDlgItem(1088))->click();
    EXPECT_EQ(list->pageSetupCount(), 2);
    EXPECT_EQ(list->findPageSetup(5), -1);
    EXPECT_TRUE(script.AllHandled());
}

TEST_F(PrintListDlgTest, OptionsAreStoredAsTheyAreClicked) {
    CFilePrintList list(m_doc.get());
    CPrintListDlg dialog(&list);
    CPrintListOptionsPage* options = dialog.Tabs()->m_pOptions;
    options->m_pNotes->click();
    options->m_pAllExhibits->click();
    EXPECT_EQ(list.m_bPrintCellNotes, 1);
    EXPECT_EQ(list.m_bPrintAllExhibits, 1);
    EXPECT_EQ(list.m_bPrintCRX, 0);
    EXPECT_EQ(options->m_pSummary->text(), QStringLiteral("Print File Summar&y"));
}

TEST_F(PrintListDlgTest, PrintPrintsTheListAndTheDialogStays) {
    CFilePrintList list(m_doc.get());
    QSID paid = qs::test::kPaid;
    SetIDLayer(paid, 1);
    list.addEntry(paid, "  1 - Paid Loss");
    CPrintListDlg dialog(&list);
    dialog.m_pPrint->click();
    ASSERT_EQ(m_pdfs.size(), 1u);
    EXPECT_TRUE(qs::test::PdfText(m_pdfs.front()).contains(QStringLiteral("$5,012")));
    EXPECT_TRUE(dialog.isEnabled());
    list.setMayPrint(FALSE);
    CPrintListDlg noPrint(&list);
    EXPECT_FALSE(noPrint.m_pPrint->isEnabled());
}

TEST_F(PrintListDlgTest, CancelAsksOnlyAboutAChangedNamedList) {
    CFilePrintList list(m_doc.get());
    list.setName(Path("mine.lst"));
    {
        CPrintListDlg dialog(&list);
        dialog.OnCancel();
        EXPECT_EQ(m_boxes.Count(), 0u);
    }
    CPrintListDlg dialog(&list);
    list.addEntry(qs::test::kPaid, "  1 - Paid Loss");
    m_boxes.Answer(IDYES);
    dialog.OnCancel();
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_TRUE(m_boxes.Last().text.startsWith(QStringLiteral("The content of the current print list has changed.")));
    EXPECT_EQ(m_boxes.Last().type & MB_TYPEMASK, UINT(MB_YESNOCANCEL));
    // Yes saved the list under its name (and as the default list).
    CFilePrintList saved(nullptr);
    ASSERT_TRUE(saved.readFile(Path("mine.lst")));
    EXPECT_TRUE(saved.equalData(list));
    // The default list never asks.
    auto defaults = CPrintList::createDefaultPrintList(m_doc.get());
    CPrintListDlg defaultDialog(defaults.get());
    defaults->addEntry(qs::test::kPaid, "  1 - Paid Loss");
    m_boxes.Clear();
    defaultDialog.OnCancel();
    EXPECT_EQ(m_boxes.Count(), 0u);
}

}  // namespace

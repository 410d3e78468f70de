// Batch print jobs: every list printed for every project file; an open
// project is printed as it is and stays open, one the run opened is closed;
// the dialog's pages edit the job and its Done and Cancel mind the default
// job.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>

#include "CBatchJob.h"
#include "CBatchPrintDlg.h"
#include "CPrintList.h"
#include "KernelIds.h"
#include "ModalScript.h"
#include "PrintListFixture.h"

using namespace qs::print;

namespace {

struct BatchPrintTest : qs::test::PrintListFixture {
    void SetUp() override {
        PrintListFixture::SetUp();
        m_doc->GetProject()->SetCompanyName("First Company");
        Host().openProjectForBatch = [this](const QString& path, bool& opened) -> CProjectDoc* {
            if (path.compare(m_doc->GetPathName(), Qt::CaseInsensitive) == 0) return m_doc.get();
            auto doc = std::make_unique<CProjectDoc>();
            doc->m_bAutoDelete = FALSE;
            if (!doc->OnOpenDocument(path)) return nullptr;
            doc->SetPathName(path, FALSE);
            doc->GetProject()->SetCompanyName("Second Company");
            doc->GetProject()->GetPageSetup().m_TitleStrings = {"", "&[Table Name] &[Layer]", ""};
            opened = true;
            m_docs.push_back(std::move(doc));
            return m_docs.back().get();
        };
        Host().closeBatchProject = [this](CProjectDoc* doc) { m_closed.push_back(doc->GetPathName()); };
        m_doc->GetProject()->GetPageSetup().m_TitleStrings = {"", "&[Table Name] &[Layer]", ""};
    }
    QString WriteList(const char* name, unsigned short layer) {
        CFilePrintList list(nullptr);
        QSID id = qs::test::kPaid;
        SetIDLayer(id, layer);
        list.addEntry(id, "  1 - Paid Loss");
        const QString path = Path(name);
        EXPECT_TRUE(list.writeFile(path));
        return path;
    }
    std::vector<QString> m_closed;
};

TEST_F(BatchPrintTest, EveryListPrintsForEveryProject) {
    ASSERT_TRUE(OpenSample("second.qs5"));  // a second copy on disk, not open
    CBatchJob job(m_doc.get());
    job.m_projectFiles = {m_doc->GetPathName().toUpper(), Path("second.qs5"), Path("missing.qs5")};
    job.m_printLists = {WriteList("net.lst", 1), Path("missing.lst"), WriteList("gross.lst", 2)};
    job.Print();
    ASSERT_EQ(m_pdfs.size(), 4u);
    const char* expected[4][2] = {{"First Company", "Paid Loss Net"},
                                  {"First Company", "Paid Loss Gross"},
                                  {"Second Company", "Paid Loss Net"},
                                  {"Second Company", "Paid Loss Gross"}};
    for (int i = 0; i < 4; ++i) {
        const QString text = qs::test::PdfText(m_pdfs[std::size_t(i)]);
        EXPECT_TRUE(text.contains(QLatin1String(expected[i][0]))) << i;
        EXPECT_TRUE(text.contains(QLatin1String(expected[i][1]))) << i;
    }
    // Only the project the run opened is closed.
    EXPECT_EQ(m_closed, (std::vector<QString>{Path("second.qs5")}));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(BatchPrintTest, AJobWithoutFilesOrListsPrintsNothing) {
    CBatchJob job(m_doc.get());
    job.m_printLists = {WriteList("net.lst", 1)};
    job.Print();
    job.m_projectFiles = {m_doc->GetPathName()};
    job.m_printLists.clear();
    job.Print();
    EXPECT_TRUE(m_pdfs.empty());
}

TEST_F(BatchPrintTest, ThePagesEditTheJobAndInsertedFilesComeInReverse) {
    CBatchJob job(m_doc.get());
    Host().chooseProjectFiles = [](QStringList& paths) {
        paths = {QStringLiteral("/p/A.qs5"), QStringLiteral("/p/B.qs5")};
        return true;
    };
    CBatchPrintDlg dialog(&job);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Batch Print"));
    CBatchListPage* files = dialog.Tabs()->m_pFiles;
    EXPECT_EQ(dialog.Tabs()->ShownPage(), 0);
    EXPECT_FALSE(files->m_pDelete->isEnabled());
    files->m_pInsert->click();
    EXPECT_EQ(job.m_projectFiles, (QStringList{QStringLiteral("/p/B.qs5"), QStringLiteral("/p/A.qs5")}));
    files->m_pList->item(1)->setSelected(true);
    EXPECT_TRUE(files->m_pUp->isEnabled());
    EXPECT_FALSE(files->m_pDown->isEnabled());
    files->m_pUp->click();
    EXPECT_EQ(job.m_projectFiles, (QStringList{QStringLiteral("/p/A.qs5"), QStringLiteral("/p/B.qs5")}));
    EXPECT_TRUE(files->m_pList->item(0)->isSelected());
    files->m_pDelete->click();
    EXPECT_EQ(job.m_projectFiles, (QStringList{QStringLiteral("/p/B.qs5")}));
    // Cancel with the default job shown never asks.
    dialog.OnCancel();
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(BatchPrintTest, DoneOnANamedJobWritesItAndTheDefaultJob) {
    CBatchJob job(m_doc.get());
    job.m_printLists = {QStringLiteral("/p/a.lst")};
    job.m_strPath = Path("named.pjb");
    qs::fw::ModalScript script;
    script.Then<CBatchPrintDlg>([](CBatchPrintDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Batch - named.pjb"));
        static_cast<QPushButton*>(dialog.GetDlgItem(CBatchPrintDlg::IDC_DONE))->click();
    });
    EXPECT_FALSE(job.EditJob());  // Done closes with Cancel
    EXPECT_TRUE(QFile::exists(Path("named.pjb")));
    const CBatchJob reloaded(m_doc.get());
    EXPECT_TRUE(reloaded.IsEqual(job));
}

}  // namespace

// Printing print lists of the sample project to PDF, read back with
// pdftotext: the page furniture with its fields expanded, page breaks and
// page-setup changes between objects, objects sharing pages, the two
// passes of an incremental-and-cumulative array, the tail-factor pages of
// an exhibit, the cell notes, and items that print nothing.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>

#include "CExhibit.h"
#include "CPrintList.h"
#include "CPrintListView.h"
#include "KernelIds.h"
#include "PrintListFixture.h"
#include "PrintListIds.h"

using namespace qs::print;
using qs::test::kPaid;

namespace {

constexpr QSID kPaidExhibit = 301001001;  // the paid loss development exhibit

QSID Layered(QSID id, unsigned short layer) {
    SetIDLayer(id, layer);
    return id;
}

// Width and height of each page of a PDF in points (pdfinfo).
std::vector<QSizeF> PageSizes(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                              QStringLiteral("9999"), path});
    process.waitForFinished(60000);
    std::vector<QSizeF> sizes;
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    QRegularExpression re(QStringLiteral("Page\\s+\\d+ size:\\s+([\\d.]+) x ([\\d.]+)"));
    for (auto it = re.globalMatch(out); it.hasNext();) {
        const auto m = it.next();
        sizes.emplace_back(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    return sizes;
}

struct PrintListPrintingTest : qs::test::PrintListFixture {
    void SetUp() override {
        PrintListFixture::SetUp();
        CProject* project = m_doc->GetProject();
        project->SetCompanyName("Acme Mutual Insurance");
        project->SetDescription("Reserve Review");
        CPageSetup& setup = project->GetPageSetup();
        setup.m_HeaderStrings = {"&[Company Name]", "", "&[Description]"};
        setup.m_FooterStrings = {"&[File Name]", "", "Page &[Page]"};
        setup.m_TitleStrings = {"", "&[Table Name] &[Layer]", ""};
        setup.m_nArrayPresentation = 1;
    }
    QStringList PrintAndRead(CPrintList& list) {
        const std::size_t before = m_pdfs.size();
        list.print();
        if (m_pdfs.size() == before) return {};
        return qs::test::PdfPages(m_pdfs.back());
    }
};

}  // namespace

namespace {

TEST_F(PrintListPrintingTest, TablesAnExhibitAllArraysAPageBreakAndAPageSetupChange) {
    CFilePrintList list(m_doc.get());
    list.addEntry(Layered(kPaid, 1), "  1 - Paid Loss");
    list.addEntry(Layered(kPaidExhibit, 1), "  1 - Paid Loss Development");
    CPageSetup landscape = m_doc->GetProject()->GetPageSetup();
    landscape.m_nKeyValue = 1;
    landscape.m_nOrientation = 0;
    landscape.m_FooterStrings = {"Landscape &[Company Name]", "", "Page &[Page]"};
    list.addPageSetup(landscape);
    list.addEntry(PageBreakEntryId(5), "");
    list.addEntry(PageSetupEntryId(1), "");
    list.addEntry(Layered(qsk::kAllArrays, 2), "  0 - All Arrays");

    const QStringList pages = PrintAndRead(list);
    EXPECT_EQ(m_boxes.Count(), 0u);
    ASSERT_EQ(pages.size(), 2);
    const QString& first = pages.at(0);
    // The header, title and footer fields of the project's page setup.
    EXPECT_TRUE(first.contains(QStringLiteral("Acme Mutual Insurance")));
    EXPECT_TRUE(first.contains(QStringLiteral("Reserve Review")));
    EXPECT_TRUE(first.contains(QStringLiteral("Paid Loss Net")));
    EXPECT_TRUE(first.contains(QStringLiteral("Paid Loss Development Net")));
    EXPECT_TRUE(first.contains(QStringLiteral("sample.qs5")));
    EXPECT_TRUE(first.contains(QRegularExpression(QStringLiteral("Page 1\\s*$"))));
    EXPECT_TRUE(first.contains(QStringLiteral("$5,012")));  // RAA 1981 at 12 months
    // After the page break to 5 and the landscape page setup: All Arrays of
    // the Gross layer.
    const QString& second = pages.at(1);
    EXPECT_TRUE(second.contains(QStringLiteral("Paid Loss Gross")));
    EXPECT_TRUE(second.contains(QStringLiteral("Landscape Acme Mutual Insurance")));
    EXPECT_TRUE(second.contains(QRegularExpression(QStringLiteral("Page 5\\s*$"))));
    for (const QString& page : pages) EXPECT_FALSE(page.contains(QStringLiteral("&["))) << qPrintable(page);
    const std::vector<QSizeF> sizes = PageSizes(m_pdfs.back());
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_LT(sizes[0].width(), sizes[0].height());
    EXPECT_GT(sizes[1].width(), sizes[1].height());
    EXPECT_TRUE(list.isAtEnd());
}

TEST_F(PrintListPrintingTest, ATableThatDoesNotFitBelowAnotherStartsTheNextPage) {
    // On a landscape page the exhibit does not fit below the triangle; on a
    // page of its own it does, so it goes there without a word.
    m_doc->GetProject()->GetPageSetup().m_nOrientation = 0;
    CFilePrintList list(m_doc.get());
    list.addEntry(Layered(kPaid, 1), "  1 - Paid Loss");
    list.addEntry(Layered(kPaidExhibit, 1), "  1 - Paid Loss Development");
    const QStringList pages = PrintAndRead(list);
    EXPECT_EQ(m_boxes.Count(), 0u);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("Paid Loss Net")));
    EXPECT_TRUE(pages.at(1).contains(QStringLiteral("Paid Loss Development Net")));
    EXPECT_TRUE(list.isAtEnd());
}

TEST_F(PrintListPrintingTest, ANextInSequenceBreakStartsANewPageAndCountsOn) {
    CFilePrintList list(m_doc.get());
    list.addEntry(Layered(kPaid, 1), "  1 - Paid Loss");
    list.addEntry(PageBreakEntryId(0), "");
    list.addEntry(Layered(kPaid, 2), "  1 - Paid Loss");
    const QStringList pages = PrintAndRead(list);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages.at(1).contains(QStringLiteral("Paid Loss Gross")));
    EXPECT_TRUE(pages.at(1).contains(QRegularExpression(QStringLiteral("Page 2\\s*$"))));
}

TEST_F(PrintListPrintingTest, TwoTablesPerPageShareAPageAndTheThirdStartsTheNext) {
    CPageSetup& setup = m_doc->GetProject()->GetPageSetup();
    setup.m_bWholeSize = 0;
    setup.m_bSeveralPerPage = 1;
    setup.m_bFitColumns = setup.m_bFitRows = 1;
    setup.m_nTablesPerPage = 2;
    setup.m_bNewPageEachPart = 1;
    CFilePrintList list(m_doc.get());
    list.addEntry(kPaid, "  1 - Paid Loss");  // layers 1, 2 and 5
    const QStringList pages = PrintAndRead(list);
    EXPECT_EQ(m_boxes.Count(), 0u);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("Paid Loss Net")));
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("Paid Loss Gross")));
    EXPECT_TRUE(pages.at(1).contains(QStringLiteral("Paid Loss Assumed")) ||
                !pages.at(1).contains(QStringLiteral("Paid Loss Net")));
}

TEST_F(PrintListPrintingTest, AnArrayShownBothWaysPrintsIncrementalThenCumulative) {
    m_doc->GetProject()->GetPageSetup().m_nArrayPresentation = 2;
    CFilePrintList list(m_doc.get());
    list.addEntry(Layered(kPaid, 1), "  1 - Paid Loss");
    const QString text = PrintAndRead(list).join(QLatin1Char('\f'));
    const qsizetype incremental = text.indexOf(QStringLiteral("3,257"));  // 8,269 - 5,012
    const qsizetype cumulative = text.indexOf(QStringLiteral("8,269"));
    ASSERT_GE(incremental, 0);
    ASSERT_GE(cumulative, 0);
    EXPECT_LT(incremental, cumulative);
    EXPECT_EQ(text.count(QStringLiteral("Paid Loss Net")), 2);
}

TEST_F(PrintListPrintingTest, CellNotesPrintAfterTheListOnlyWhenThereAreAny) {
    CFilePrintList list(m_doc.get());
    list.m_bPrintCellNotes = 1;
    list.addEntry(Layered(kPaid, 1), "  1 - Paid Loss");
    ASSERT_EQ(PrintAndRead(list).size(), 1);
    m_doc->GetProject()->FindDataObject(kPaid, 1)->SetNoteInCell(0, 0, "Reopened claim");
    const QStringList pages = PrintAndRead(list);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages.at(1).contains(QStringLiteral("Reopened claim")));
}

TEST_F(PrintListPrintingTest, TheTailFactorPagesFollowTheirExhibitOnlyWithTheOption) {
    auto* exhibit = dynamic_cast<CExhibit*>(m_doc->GetProject()->FindObject(Layered(kPaidExhibit, 1), 1));
    ASSERT_NE(exhibit, nullptr);
    exhibit->InitCRXObject();
    CTailFactorAnalysis* analysis = nullptr;
    exhibit->GetCRXObject(analysis);
    ASSERT_NE(analysis, nullptr);
    analysis->SetInitialAge(12);
    analysis->SetAgeIncrement(12);
    analysis->SetNumPoints(4);
    const double factors[4] = {1.8, 1.3, 1.12, 1.05};
    for (int curve = 0; curve < 3; ++curve) {
        analysis->EnableCurve(curve, curve != 2);
        for (int i = 0; i < 4; ++i) analysis->SetValue(curve, true, i, factors[i]);
        analysis->SetCutoff(curve, 120);
    }
    analysis->SetValue(1, true, 2, 0.0);  // an actual of exactly 0 prints blank
    analysis->SetExclude(0, 1, true);
    CFilePrintList list(m_doc.get());
    list.addEntry(Layered(kPaidExhibit, 1), "  1 - Paid Loss Development");
    ASSERT_EQ(PrintAndRead(list).size(), 1);
    list.m_bPrintCRX = 1;
    const QStringList pages = PrintAndRead(list);
    ASSERT_EQ(pages.size(), 3);  // the exhibit, then one page per enabled curve
    const QString& power = pages.at(1);
    const QString& exponential = pages.at(2);
    EXPECT_TRUE(power.contains(QStringLiteral("Duvi Rozire Vididaze")));
    EXPECT_TRUE(power.contains(QStringLiteral("Inverse Power Curve: y = 1 + e^a * (x+c)^(-b)")));
    EXPECT_TRUE(power.contains(QStringLiteral("c =")));
    EXPECT_TRUE(exponential.contains(QStringLiteral("Exponential Curve: y = 1 + e ^ ( a + bx )")));
    // The exponential curve has no constant.
    EXPECT_FALSE(exponential.contains(QStringLiteral("c =")));
    EXPECT_TRUE(exponential.contains(QStringLiteral("R squared =")));
    // Rows at 12, 24, ... 120: the grid's ages, ten of them, the last at the cutoff.
    for (const char* age : {"12.000", "24.000", "108.000", "120.000"}) EXPECT_TRUE(power.contains(QLatin1String(age))) << age;
    EXPECT_FALSE(power.contains(QStringLiteral("132.000")));
    // The "(X)" heading and the one excluded point.
    EXPECT_EQ(power.count(QRegularExpression(QStringLiteral("\\bX\\b"))), 2);
    for (const QString& page : pages) EXPECT_FALSE(page.contains(QStringLiteral("Weibull")));
}

TEST_F(PrintListPrintingTest, ATailAnalysisWithoutAForwardStepPrintsNoRows) {
    auto* exhibit = dynamic_cast<CExhibit*>(m_doc->GetProject()->FindObject(Layered(kPaidExhibit, 1), 1));
    ASSERT_NE(exhibit, nullptr);
    exhibit->InitCRXObject();
    CTailFactorAnalysis* analysis = nullptr;
    exhibit->GetCRXObject(analysis);
    analysis->SetInitialAge(12);
    analysis->SetAgeIncrement(0);
    analysis->SetNumPoints(2);
    analysis->EnableCurve(0, true);
    CFilePrintList list(m_doc.get());
    list.m_bPrintCRX = 1;
    list.addEntry(Layered(kPaidExhibit, 1), "  1 - Paid Loss Development");
    EXPECT_EQ(PrintAndRead(list).size(), 1);
}

// A graph view stand-in for the graph seam.
class StandInGraphView : public CView {
    DECLARE_DYNCREATE(StandInGraphView)
};
IMPLEMENT_DYNCREATE(StandInGraphView, CView)

TEST_F(PrintListPrintingTest, ItemsThatPrintNothingEndAndTheJobMovesOn) {
    // Graph entries with nothing bound to print them: passed over.
    CFilePrintList graphs(m_doc.get());
    graphs.addEntry(GetGraphIDOf(kPaid), "  1 - Paid Loss");
    EXPECT_TRUE(PrintAndRead(graphs).isEmpty());
    EXPECT_TRUE(graphs.isAtEnd());

    // A graph printer that never starts, and one that never gets on: each
    // item ends instead of the job running on with empty pages.
    auto graphTemplate = Template(RUNTIME_CLASS(StandInGraphView));
    qs::project::Host().viewTemplate = [&](qs::project::ObjectViewKind kind) -> CDocTemplate* {
        if (kind == qs::project::ObjectViewKind::Graph) return graphTemplate.get();
        if (kind == qs::project::ObjectViewKind::Table) return m_table.get();
        return nullptr;
    };
    int begun = 0, paged = 0;
    auto& seam = Host().graphs;
    seam = GraphItemPrinting{};
    seam.isGraphView = [](CView* view) { return dynamic_cast<StandInGraphView*>(view) != nullptr; };
    // Declines to start after the table, then never gets on on its own page.
    seam.beginPrint = [&](CView*, QPainter*, CPrintInfo*) { ++begun; };
    seam.printPage = [&](CView*, QPainter*, CPrintInfo* info) {
        ++paged;
        info->m_lpUserData->m_bContinue = 1;
    };
    CFilePrintList list(m_doc.get());
    list.addEntry(Layered(kPaid, 1), "  1 - Paid Loss");
    list.addEntry(GetGraphIDOf(Layered(kPaid, 1)), "  1 - Paid Loss");
    QStringList pages = PrintAndRead(list);
    EXPECT_EQ(begun, 1);
    EXPECT_LE(paged, 2);
    EXPECT_LE(pages.size(), 3);
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("Paid Loss Net")));
    EXPECT_TRUE(list.isAtEnd());

    // Declines to start on a page of its own: it never would.
    CFilePrintList alone(m_doc.get());
    alone.addEntry(GetGraphIDOf(Layered(kPaid, 1)), "  1 - Paid Loss");
    begun = paged = 0;
    pages = PrintAndRead(alone);
    EXPECT_EQ(begun, 1);
    EXPECT_EQ(paged, 0);
    EXPECT_EQ(pages.size(), 1);
    EXPECT_TRUE(alone.isAtEnd());
}

}  // namespace

// The three small files of printing: a print list (".lst"), the user's
// default page setup ("PageSetup.def") and a batch print job (".pjb"). Each
// is written byte for byte as the hand-written fixture says and read back;
// a damaged file is refused with a message naming it and changes nothing,
// and the kernel's page-setup layout version is back at 0 afterwards.
#include <gtest/gtest.h>

#include <QDir>

#include "CBatchJob.h"
#include "CEditPageSetup.h"
#include "CPrintList.h"
#include "MessageBox.h"
#include "PrintTestSupport.h"
#include "TestEnvironment.h"

using qs::test::AsString;
using qs::test::HexFixture;

namespace {

// The page setup the fixtures hold (key 3, landscape, scaled to 80 %, ...).
CPageSetup FixturePageSetup() {
    CPageSetup s;
    s.m_nKeyValue = 3;
    s.m_nOrientation = 0;
    s.m_bCalendarFormat = 1;
    s.m_nArrayPresentation = 2;
    s.m_dTopMargin = 1.0;
    s.m_dLeftMargin = 0.5;
    s.m_dBottomMargin = 0.75;
    s.m_dRightMargin = 0.25;
    s.m_bNewPageEachPart = 1;
    s.m_bWholeSize = 0;
    s.m_bManualScale = 1;
    s.m_nScalePercent = 80;
    s.m_nSeriesChoice = -1;
    s.m_HeaderStrings = {"&[Company Name]", "", "&[Page]"};
    s.m_FooterStrings = {"", "Footer", "&[File Name]"};
    s.m_TitleStrings = {"", "&[Table Name]", ""};
    return s;
}

void FillFixtureList(CPrintList& list) {
    list.addEntry(101000001, "  1 - Paid Loss");
    list.addEntry(96000003, "");
    list.addEntry(98000005, "");
    list.addEntry(99000001, "  0 - All Arrays");
    list.addEntry(1301010005, "Exhibit Graph");
    list.addPageSetup(FixturePageSetup());
    list.m_bPrintCRX = 1;
    list.m_bPrintCellNotes = 1;
}

// Truncations at every length and flips of every byte: each read either
// fails and leaves the target as it was, or takes a whole record; nothing
// crashes and the layout version is 0 afterwards.
// reset puts the target back to its known content before each read.
template <typename ResetFn, typename ReadFn, typename SameFn>
void ExpectDamageChangesNothing(const std::string& good, const std::string& path, ResetFn reset, ReadFn read,
                                SameFn unchanged) {
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        reset();
        qs::test::WriteFile(path, good.substr(0, cut));
        EXPECT_FALSE(read()) << "cut at " << cut;
        EXPECT_TRUE(unchanged()) << "cut at " << cut;
        EXPECT_EQ(CPageSetup::CPageSetupVersion, 0) << "cut at " << cut;
    }
    for (std::size_t at = 0; at < good.size(); ++at) {
        std::string bad = good;
        bad[at] = char(bad[at] ^ 0xA5);
        reset();
        qs::test::WriteFile(path, bad);
        if (!read()) {
            EXPECT_TRUE(unchanged()) << "flip at " << at;
        }
        EXPECT_EQ(CPageSetup::CPageSetupVersion, 0) << "flip at " << at;
    }
}

class PrintFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = qs::test::MakeTempDir("printfiles");
        qs::test::ResetPrintHost(m_dir);
    }
    QString Path(const char* name) const { return QString::fromStdString(m_dir + "/" + name); }
    std::string m_dir;
    qs::fw::MessageBoxScript m_boxes;
};

TEST_F(PrintFilesTest, APrintListIsWrittenAsTheFixtureAndReadsBackEqual) {
    CFilePrintList list(nullptr);
    FillFixtureList(list);
    ASSERT_TRUE(list.writeFile(Path("out.lst")));
    const std::string fixture = AsString(HexFixture("list3.lst.hex"));
    EXPECT_EQ(qs::test::ReadFile(m_dir + "/out.lst"), fixture);

    qs::test::WriteFile(m_dir + "/in.lst", fixture);
    CFilePrintList read(nullptr);
    ASSERT_TRUE(read.readFile(Path("in.lst")));
    EXPECT_TRUE(read.equalData(list));
    EXPECT_EQ(CPageSetup::CPageSetupVersion, 0);
    ASSERT_TRUE(read.writeFile(Path("again.lst")));
    EXPECT_EQ(qs::test::ReadFile(m_dir + "/again.lst"), fixture);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(PrintFilesTest, AnEmptyListIsFortyFourBytes) {
    CFilePrintList list(nullptr);
    ASSERT_TRUE(list.writeFile(Path("empty.lst")));
    const std::string bytes = qs::test::ReadFile(m_dir + "/empty.lst");
    ASSERT_EQ(bytes.size(), 44u);
    EXPECT_EQ(bytes.substr(0, 18), std::string("print_id_list 3.0\0", 18));
    EXPECT_EQ(bytes.substr(40), std::string(4, '\0'));
}

TEST_F(PrintFilesTest, AVersionOneListLeavesTheOptionsOffAndThePageSetupsAsTheyWere) {
    qs::test::WriteFile(m_dir + "/old.lst", AsString(HexFixture("list1.lst.hex")));
    CFilePrintList list(nullptr);
    FillFixtureList(list);
    ASSERT_TRUE(list.readFile(Path("old.lst")));
    ASSERT_EQ(list.entryCount(), 1);
    EXPECT_EQ(list.entryId(0), 101000001);
    EXPECT_EQ(list.entryName(0), "  1 - Paid Loss");
    EXPECT_EQ(list.m_bPrintCRX + list.m_bPrintCellNotes + list.m_bPrintFileSummary + list.m_bPrintAllExhibits, 0);
    ASSERT_EQ(list.pageSetupCount(), 1);
    EXPECT_TRUE(list.pageSetupAt(0) == FixturePageSetup());
}

TEST_F(PrintFilesTest, AnotherHeaderIsRefusedWithTheFileNamed) {
    std::string bytes = AsString(HexFixture("list3.lst.hex"));
    bytes[14] = '4';  // "print_id_list 4.0"
    qs::test::WriteFile(m_dir + "/new.lst", bytes);
    CFilePrintList list(nullptr);
    list.addEntry(101000001, "kept");
    EXPECT_FALSE(list.readFile(Path("new.lst")));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, QStringLiteral("Unable to recognize format of requested file: ") + Path("new.lst"));
    EXPECT_EQ(list.entryCount(), 1);
    // A missing file says nothing.
    m_boxes.Clear();
    EXPECT_FALSE(list.readFile(Path("missing.lst")));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(PrintFilesTest, ADamagedListChangesNothingAndSaysSo) {
    const std::string good = AsString(HexFixture("list3.lst.hex"));
    CFilePrintList list(nullptr);
    list.addEntry(101000011, "  2 - Incurred Loss");
    list.m_bPrintFileSummary = 1;
    CFilePrintList before(nullptr);
    before.assignData(list);
    ExpectDamageChangesNothing(
        good, m_dir + "/bad.lst", [&] { list.assignData(before); }, [&] { return list.readFile(Path("bad.lst")) != FALSE; },
        [&] { return list.equalData(before) != FALSE; });
    // A body cut short is refused with a message that names the file.
    m_boxes.Clear();
    qs::test::WriteFile(m_dir + "/bad.lst", good.substr(0, 40));
    EXPECT_FALSE(list.readFile(Path("bad.lst")));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_TRUE(m_boxes.Last().text.contains(Path("bad.lst")));
}

TEST_F(PrintFilesTest, IdsAndNamesOfDifferentCountsAreDamage) {
    std::string bytes = AsString(HexFixture("list3.lst.hex"));
    // Four names for five ids: the ids' count says 5, make the names' say 4
    // and drop the last name.
    const std::string lastName = std::string("\x0d", 1) + "Exhibit Graph";
    const std::size_t at = bytes.find(lastName);
    ASSERT_NE(at, std::string::npos);
    bytes.erase(at, lastName.size());
    const std::size_t namesCount = bytes.find(std::string("\x05\x00\x0f", 3));
    ASSERT_NE(namesCount, std::string::npos);
    bytes[namesCount] = 4;
    qs::test::WriteFile(m_dir + "/odd.lst", bytes);
    CFilePrintList list(nullptr);
    EXPECT_FALSE(list.readFile(Path("odd.lst")));
    EXPECT_EQ(list.entryCount(), 0);
}

TEST_F(PrintFilesTest, TheDefaultPageSetupIsWrittenAsTheFixtureAndReadsBack) {
    CEditPageSetup setup(FixturePageSetup());
    ASSERT_TRUE(setup.SaveDefaults());
    const std::string fixture = AsString(HexFixture("PageSetup.def.hex"));
    EXPECT_EQ(qs::test::ReadFile(m_dir + "/PageSetup.def"), fixture);
    const CEditPageSetup loaded;  // reads the defaults file
    EXPECT_TRUE(loaded == FixturePageSetup());
    EXPECT_EQ(CPageSetup::CPageSetupVersion, 0);
}

TEST_F(PrintFilesTest, ADamagedDefaultPageSetupLeavesTheKernelDefaults) {
    const std::string good = AsString(HexFixture("PageSetup.def.hex"));
    CEditPageSetup setup(static_cast<const QStringList*>(nullptr));
    ExpectDamageChangesNothing(
        good, m_dir + "/PageSetup.def", [&] { setup = CPageSetup(); }, [&] { return setup.LoadDefaults() != FALSE; },
        [&] { return setup == CPageSetup(); });
    // A new page setup over a damaged file has the kernel's defaults.
    qs::test::WriteFile(m_dir + "/PageSetup.def", good.substr(0, good.size() - 3));
    EXPECT_TRUE(CEditPageSetup() == CPageSetup());
    EXPECT_EQ(CPageSetup::CPageSetupVersion, 0);
}

TEST_F(PrintFilesTest, KeysAreTakenWhateverTheirValue) {
    CEditPageSetup setup(static_cast<const QStringList*>(nullptr));
    for (WORD key : {WORD(0), WORD(4), WORD(65535)}) {
        EXPECT_EQ(setup.SetKeyValue(key), 0);
        EXPECT_EQ(setup.m_nKeyValue, key);
    }
}

TEST_F(PrintFilesTest, ABatchJobIsWrittenAsTheFixtureAndReadsBack) {
    CBatchJob job;
    job.m_projectFiles = {QStringLiteral("/data/first.qs5"), QStringLiteral("/data/second.qs5")};
    job.m_printLists = {QStringLiteral("/data/tables.lst")};
    ASSERT_TRUE(job.Write(Path("job.pjb")));
    const std::string fixture = AsString(HexFixture("job.pjb.hex"));
    EXPECT_EQ(qs::test::ReadFile(m_dir + "/job.pjb"), fixture);
    CBatchJob read;
    ASSERT_TRUE(read.Load(Path("job.pjb")));
    EXPECT_TRUE(read.IsEqual(job));
    EXPECT_EQ(read.m_strPath, Path("job.pjb"));
}

TEST_F(PrintFilesTest, ABatchJobOfAnotherVersionOrDamagedIsRefusedAndKeepsItsContent) {
    std::string bytes = AsString(HexFixture("job.pjb.hex"));
    CBatchJob job;
    job.m_projectFiles = {QStringLiteral("kept.qs5")};
    const CBatchJob before(job);
    bytes[7] = char(0x40);  // the double 2.0
    qs::test::WriteFile(m_dir + "/two.pjb", bytes);
    EXPECT_FALSE(job.Load(Path("two.pjb")));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Last().text, QStringLiteral("Unable to recognize format of requested file: two.pjb"));
    EXPECT_TRUE(job.IsEqual(before));
    ExpectDamageChangesNothing(
        AsString(HexFixture("job.pjb.hex")), m_dir + "/bad.pjb", [&] { job.Copy(before); }, [&] { return job.Load(Path("bad.pjb")) != FALSE; },
        [&] { return job.IsEqual(before) != FALSE; });
}

TEST_F(PrintFilesTest, SavingANamedJobAlsoMakesItTheDefault) {
    CBatchJob job;
    job.m_printLists = {QStringLiteral("a.lst")};
    job.m_strPath = Path("named.pjb");
    ASSERT_TRUE(job.Save());
    EXPECT_EQ(job.m_strPath, Path("named.pjb"));
    const CBatchJob fresh(nullptr);  // loads the default job
    EXPECT_TRUE(fresh.IsEqual(job));
    EXPECT_EQ(fresh.m_strPath, CBatchJob::DefaultPath());
    EXPECT_EQ(CBatchJob::JobTitle(fresh.m_strPath), QStringLiteral("Batch Print"));
    EXPECT_EQ(CBatchJob::JobTitle(QString()), QStringLiteral("Create batch"));
    EXPECT_EQ(CBatchJob::JobTitle(Path("named.pjb")), QStringLiteral("Batch - named.pjb"));
}

TEST_F(PrintFilesTest, SavingANamedListAlsoReplacesTheDefaultListButTheDefaultListWritesOnce) {
    CFilePrintList list(nullptr);
    list.addEntry(101000001, "  1 - Paid Loss");
    list.setName(Path("mine.lst"));
    ASSERT_TRUE(list.save());
    EXPECT_EQ(qs::test::ReadFile(m_dir + "/mine.lst"), qs::test::ReadFile(m_dir + "/default.lst"));
    QFile::remove(Path("mine.lst"));
    list.setName(list.defaultFileName());
    list.addEntry(101000011, "  2 - Incurred Loss");
    ASSERT_TRUE(list.save());
    EXPECT_FALSE(QFile::exists(Path("mine.lst")));
    EXPECT_EQ(list.dialogTitle(), QStringLiteral("Print"));
}

TEST_F(PrintFilesTest, OpeningIntoAnUnnamedListKeepsItUnnamed) {
    CFilePrintList source(nullptr);
    source.addEntry(101000001, "  1 - Paid Loss");
    ASSERT_TRUE(source.writeFile(Path("src.lst")));
    CFilePrintList unnamed(nullptr);
    ASSERT_TRUE(unnamed.loadByName(Path("src.lst")));
    EXPECT_TRUE(unnamed.name().isEmpty());
    EXPECT_EQ(unnamed.dialogTitle(), QStringLiteral("Create print list"));
    CFilePrintList named(nullptr);
    named.setName(Path("other.lst"));
    ASSERT_TRUE(named.loadByName(Path("src.lst")));
    EXPECT_EQ(named.name(), Path("src.lst"));
    EXPECT_EQ(named.dialogTitle(), QStringLiteral("Print - src.lst"));
}

}  // namespace

// The statistics-database import wizard and the import run, against the
// generated sample products and the map files in bin/ (the engine is bound
// through the same loader the program uses).
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <cmath>
#include <memory>

#include "CArchive.h"
#include "CDataObject.h"
#include "CProject.h"
#include "CWinApp.h"
#include "CompoundFile.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "TestEnvironment.h"
#include "dialogs/CLXPropSheet.h"
#include "files/StatisticsImportRun.h"
#include "startup/LexigroveLoader.h"

namespace {

enum { kComposite = 0, kAlder = 1, kBirchwood = 2, kCobalt = 3 };
enum { kAuto = 0, kComp = 1, kHome = 2 };

class StatisticsImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        qs::test::SetEnv("QS_STAT_DIR", qs::test::BinDir() + "/statistics");
        m_dir = qs::test::MakeTempDir("import");
        m_app.m_pszProfileName = QString::fromStdString(m_dir + "/qstone5.ini");
        m_app.WriteProfileString("Settings", "System Directory", QString::fromStdString(qs::test::BinDir()));
        m_app.WriteProfileString("Settings", "Files Path", QString::fromStdString(m_dir));
        ASSERT_TRUE(m_loader.Load(qs::test::BinDir()));
        m_host.get = m_loader.GetInstance();
        m_host.release = m_loader.ReleaseInstance();
        m_host.write = [this](const QString& line) { m_log << line; };
    }
    // Reads a written project back through its compound file.
    std::unique_ptr<CProject> Reopen(const QString& path) {
        CompoundFile file;
        if (file.Open(path.toStdString(), CompoundFile::Mode::ReadOnly) != CompoundFile::OpenResult::Ok) return nullptr;
        std::vector<std::uint8_t> bytes;
        if (!file.ReadStream("QS1", bytes)) return nullptr;
        auto p = std::make_unique<CProject>();
        CArchive ar(bytes, CArchive::load);
        p->Archive(ar, 1);
        return p->GetLoadStatus() == CProject::LS_OK ? std::move(p) : nullptr;
    }
    static double Cell(CProject& p, int index, int layer, int row, int col) {
        QSID id = 101000000 + index;
        SetIDLayer(id, static_cast<unsigned short>(layer));
        CDataObject* o = p.FindDataObject(id, static_cast<unsigned short>(layer));
        double v = 0;
        std::uint8_t flags = 0;
        if (!o) return -1;
        o->GetAt(row, col, v, flags);
        return (flags & 1) ? v : std::nan("");
    }
    qs::app::StatisticsImportChoices Choices(std::vector<long> companies, std::vector<long> lobs, bool each) {
        qs::app::StatisticsImportChoices c;
        c.companies = std::move(companies);
        c.lobs = std::move(lobs);
        c.folder = QString::fromStdString(m_dir);
        c.oneFilePerPair = each;
        c.summaryFileName = "Summed.qs5";
        c.priorRow = false;
        return c;
    }

    CWinApp m_app{"Quillstone"};
    std::string m_dir;
    qs::app::LexigroveLoader m_loader;
    qs::app::StatisticsImportHost m_host;
    QStringList m_log;
};

void Select(QTreeWidget* list, std::initializer_list<int> rows) {
    list->clearSelection();
    for (int r : rows) list->topLevelItem(r)->setSelected(true);
}

TEST_F(StatisticsImportTest, WizardRunsThroughItsFourPages) {
    qs::fw::MessageBoxScript boxes;
    qs::fw::ModalScript script;
    QStringList companies, lobs, summary;
    bool nextWithoutCompany = true, removeEnabledAfterRemoveAll = true;
    script.Then<CLXPropSheet>([&](CLXPropSheet& sheet) {
        CCompPropPage& p1 = sheet.m_compPage;
        ASSERT_EQ(p1.Available()->topLevelItemCount(), 4);
        for (int i = 0; i < 4; ++i)
            companies << p1.Available()->topLevelItem(i)->text(0) + " " + p1.Available()->topLevelItem(i)->text(1);
        nextWithoutCompany = sheet.PressButton(PSBTN_NEXT);
        // Sorting by name twice gives one order.
        p1.SortAvailable(1);
        const QString first = p1.Available()->topLevelItem(0)->text(1);
        p1.SortAvailable(1);
        EXPECT_EQ(p1.Available()->topLevelItem(0)->text(1), first);
        EXPECT_EQ(first, "Alder Mutual Insurance Company");
        p1.SortAvailable(0);
        EXPECT_EQ(p1.Available()->topLevelItem(0)->text(0), "00000");
        Select(p1.Available(), {1, 3});  // 00042 and 00777 after the number sort
        p1.OnAdd();
        p1.OnRemoveAll();
        removeEnabledAfterRemoveAll = sheet.PressButton(PSBTN_NEXT);
        p1.SortAvailable(0);
        Select(p1.Available(), {1, 3});
        p1.OnAdd();
        ASSERT_TRUE(sheet.PressButton(PSBTN_NEXT));

        CLOBPropPage& p2 = sheet.m_lobPage;
        for (int i = 0; i < p2.Available()->topLevelItemCount(); ++i) lobs << p2.Available()->topLevelItem(i)->text(0);
        Select(p2.Available(), {0, 2});
        p2.OnAdd();
        ASSERT_TRUE(sheet.PressButton(PSBTN_NEXT));

        CNumFilesPropPage& p3 = sheet.m_filesPage;
        EXPECT_EQ(QDir::cleanPath(p3.m_folder->text()), QDir::cleanPath(QString::fromStdString(m_dir)));
        // The summary name is checked only when the summed file is made.
        p3.m_name->setText("Totals.txt");
        ASSERT_TRUE(sheet.PressButton(PSBTN_NEXT));
        ASSERT_TRUE(sheet.PressButton(PSBTN_BACK));
        p3.m_summed->setChecked(true);
        sheet.PressButton(PSBTN_NEXT);  // refused: stays
        EXPECT_EQ(sheet.GetActiveIndex(), 2);
        p3.m_name->setText("Totals.QS5");
        p3.m_folder->setText(QString::fromStdString(m_dir + "/nowhere"));
        sheet.PressButton(PSBTN_NEXT);
        EXPECT_EQ(sheet.GetActiveIndex(), 2);
        p3.m_folder->setText(QString::fromStdString(m_dir));
        p3.m_each->setChecked(true);
        ASSERT_TRUE(sheet.PressButton(PSBTN_NEXT));
        ASSERT_EQ(sheet.GetActiveIndex(), 3);
        summary << sheet.m_summaryPage.m_text->toPlainText();
        ASSERT_TRUE(sheet.PressButton(PSBTN_FINISH));
    });
    {
        CLXPropSheet sheet(nullptr, m_loader.GetInstance(), m_loader.ReleaseInstance());
        EXPECT_EQ(sheet.DoModal(), ID_WIZFINISH);
        EXPECT_EQ(std::set<long>(sheet.m_companies.begin(), sheet.m_companies.end()), (std::set<long>{kBirchwood, kCobalt}));
        EXPECT_EQ(std::set<long>(sheet.m_lobs.begin(), sheet.m_lobs.end()), (std::set<long>{kAuto, kHome}));
        EXPECT_EQ(sheet.m_fileMode, 1);
    }
    EXPECT_FALSE(nextWithoutCompany);
    EXPECT_FALSE(removeEnabledAfterRemoveAll);
    EXPECT_EQ(companies.value(1), "00123 Alder Mutual Insurance Company");
    EXPECT_EQ(lobs.value(0), "(PPA) Private Passenger Auto Liability");
    EXPECT_EQ(summary.value(0),
              "4 Quillstone file(s) will be created, one file for each company / line of business combination.");
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].text, "The file name you typed does not contain an QS5 extension.");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Error (cannot proceed)");
    EXPECT_EQ(boxes.Boxes()[1].text, "The path does not exist.");
    EXPECT_EQ(m_app.GetProfileString("Settings", "LexigrovePath", ""), QString::fromStdString(m_dir));
}

TEST_F(StatisticsImportTest, OneProjectPerPairEachReopened) {
    const auto written = qs::app::RunStatisticsImport(Choices({kAlder, kCobalt}, {kAuto, kHome}, true), m_host);
    const QString folder = QString::fromStdString(m_dir) + "/";
    ASSERT_EQ(written.size(), 4u);
    EXPECT_EQ(written[0], folder + "A_300123.qs5");  // one-letter code: an underscore
    EXPECT_EQ(written[1], folder + "HO300123.qs5");
    EXPECT_EQ(written[3], folder + "HO300777.qs5");
    auto alderAuto = Reopen(written[0]);
    ASSERT_TRUE(alderAuto);
    EXPECT_DOUBLE_EQ(Cell(*alderAuto, 1, GROSS, 0, 0), 2000.0);
    EXPECT_DOUBLE_EQ(Cell(*alderAuto, 41, GROSS, 9, 0), 4000.0 * 12);
    EXPECT_EQ(alderAuto->GetStructure().firstYear, 1994);
    auto cobaltHome = Reopen(written[3]);
    ASSERT_TRUE(cobaltHome);
    EXPECT_DOUBLE_EQ(Cell(*cobaltHome, 1, GROSS, 4, 0), 600.0 * 6);
    EXPECT_TRUE(m_log.contains("Import from the statistics database completed successfully.  No errors were detected."));
    EXPECT_EQ(m_log.count("File saved successfully."), 4);
}

TEST_F(StatisticsImportTest, SummedProjectIsMadeForTheFirstPairThatIsImported) {
    // The first company cannot be identified: the summed project is made for
    // the next pair, and the sum holds two companies.
    const auto written = qs::app::RunStatisticsImport(Choices({99, kAlder, kBirchwood}, {kAuto}, false), m_host);
    ASSERT_EQ(written.size(), 1u);
    EXPECT_TRUE(m_log.contains(
        "ERROR:  Error retrieving company information.  Company cannot be identified and will be skipped."));
    EXPECT_EQ(m_log.count("Data successfully added to file."), 2);
    auto summed = Reopen(written[0]);
    ASSERT_TRUE(summed);
    EXPECT_DOUBLE_EQ(Cell(*summed, 1, GROSS, 0, 0), 2000.0 + 4000.0);
    EXPECT_TRUE(m_log.contains("Import from the statistics database finished with warnings."));
}

TEST_F(StatisticsImportTest, ExistingTargetsFollowTheUsersAnswer) {
    const QString folder = QString::fromStdString(m_dir) + "/";
    qs::test::WriteFile((folder + "A_300123.qs5").toStdString(), "old");
    qs::test::WriteFile((folder + "A_300042.qs5").toStdString(), "old");
    QStringList asked;
    m_host.askConflict = [&](const QString& message) {
        asked << message;
        return 3;  // Skip All
    };
    const auto written = qs::app::RunStatisticsImport(Choices({kAlder, kBirchwood, kCobalt}, {kAuto}, true), m_host);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0], folder + "A_300123.qs5 already exists.  Please select an option below.");
    EXPECT_EQ(m_log.count("WARNING: Skipping file due to user request"), 2);
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(qs::test::ReadFile((folder + "A_300042.qs5").toStdString()), "old");

    // Cancel import ends the run before anything is written.
    m_log.clear();
    m_host.askConflict = [](const QString&) { return 4; };
    EXPECT_TRUE(qs::app::RunStatisticsImport(Choices({kAlder}, {kAuto}, true), m_host).empty());
    EXPECT_EQ(m_log.last(), "Import operation cancelled by the user.");
}

TEST_F(StatisticsImportTest, ATargetOpenAsAProjectIsNeverOverwritten) {
    m_host.isOpen = [](const QString& path) { return path.endsWith("A_300123.qs5"); };
    const auto written = qs::app::RunStatisticsImport(Choices({kAlder}, {kAuto}, true), m_host);
    EXPECT_TRUE(written.empty());
    EXPECT_TRUE(m_log.contains("ERROR: File is already open."));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(m_dir) + "/A_300123.qs5"));
}

TEST_F(StatisticsImportTest, AnEngineThatCannotStartAbortsTheRun) {
    qs::test::SetEnv("QS_STAT_DIR", qs::test::MakeTempDir("none"));
    EXPECT_TRUE(qs::app::RunStatisticsImport(Choices({kAlder}, {kAuto}, true), m_host).empty());
    ASSERT_EQ(m_log.size(), 1);
    EXPECT_EQ(m_log[0], "ERROR:  Could not obtain the statistics database interface pointer.  Import aborted");
}

}  // namespace

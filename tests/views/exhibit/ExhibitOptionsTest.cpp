// The exhibit options sheet on a kernel project: what the pages load, what
// they refuse, what OK stores (and an open exhibit view then shows), that
// Cancel stores nothing; the defaults files byte for byte against layouts
// written out by hand; the interpolation options and add factor sets dialogs.
#include <gtest/gtest.h>

#include <optional>

#include <sys/stat.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "CAddFactorSetsDlg.h"
#include "CException.h"
#include "CExhibit.h"
#include "CExhibitPropertySheet.h"
#include "CExhibitView.h"
#include "CFSLib.h"
#include "CInterpolationOptionsDlg.h"
#include "ExhibitDefaultsFiles.h"
#include "ExhibitDialogsHost.h"
#include "MessageBox.h"
#include "MethodTemplates.h"
#include "ModalScript.h"
#include "SpreadsheetControl.h"
#include "TestEnvironment.h"
#include "ViewSettings.h"
#include "ViewTestSupport.h"

using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;
using qs::test::TestProjectDoc;
namespace defaults = qs::views::defaults;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Append(Bytes& b, std::initializer_list<int> bytes) {
    for (int x : bytes) b.push_back(std::uint8_t(x));
}
void AppendText(Bytes& b, const char* text) {
    for (const char* p = text; *p; ++p) b.push_back(std::uint8_t(*p));
}
void AppendI32(Bytes& b, std::int32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t((std::uint32_t(v) >> (8 * i)) & 0xFF));
}

Bytes FileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray data = f.readAll();
    return Bytes(data.begin(), data.end());
}

// Places each typed order in the grid, as a user typing into column 1.
void TypeOrder(qs::views::OptionsGrid* grid, int row, const QString& text) {
    qs::ss::SpreadsheetControl* ctrl = grid->Ctrl();
    ctrl->SetActiveCell(row, 1);
    ASSERT_EQ(ctrl->StartEdit(text, true), 0);
    ctrl->EndEdit();
    QCoreApplication::processEvents();
}

struct ExhibitOptionsTest : qs::test::ViewTest {
    void SetUp() override {
        ViewTest::SetUp();
        workDir = QString::fromStdString(qs::test::MakeTempDir("exopts"));
        qs::views::ExhibitHost().workingDirectory = workDir;
        qs::views::ExhibitHost().editStatistic = [this](qs::views::StatisticDefinition& def) {
            if (!nextStatistic) return false;
            const int order = def.order;
            def = *nextStatistic;
            def.order = order;
            return true;
        };
    }
    CProject* Project() const { return doc.GetProject(); }
    QSID Paid() const { return qsmethods::StandardExhibitID(1); }
    CExhibit* PaidExhibit() const { return dynamic_cast<CExhibit*>(Project()->FindObject(Paid(), NET)); }

    TestProjectDoc doc;
    QString workDir;
    std::optional<qs::views::StatisticDefinition> nextStatistic;
};

// ---- defaults files --------------------------------------------------------------------------------------------------

struct ExhibitDefaultsFiles : qs::test::ViewTest {};

TEST_F(ExhibitDefaultsFiles, LayoutsMatchTheBytesWrittenOutByHand) {
    Bytes empty;
    Append(empty, {0, 0});
    EXPECT_EQ(defaults::StatsBytes({}), empty);
    EXPECT_EQ(defaults::ExhibitStatsBytes({}), empty);

    // Two rows: count, the class tag with "CByteArray", the first record,
    // then only the class reference before the second.
    Bytes stats;
    Append(stats, {2, 0, 0xFF, 0xFF, 0, 0, 10, 0});
    AppendText(stats, "CByteArray");
    Append(stats, {9, 0, 1, 1, 0, 0, 0, 0, 3, 1, 1});
    Append(stats, {0x01, 0x80, 9, 0, 2, 4, 1, 1, 2, 1, 0, 0, 0});
    const Bytes written = defaults::StatsBytes({{1, 1, 0, 0, 0, 0, 3, 1, 1}, {2, 4, 1, 1, 2, 1, 0, 0, 0}});
    EXPECT_EQ(written, stats);
    EXPECT_EQ(defaults::StatsBytes({{1, 1, 0, 0, 0, 0, 3, 1, 1}}).size(), 29u);
    EXPECT_EQ(written.size(), 29u + 13u);

    Bytes selections;
    for (int v : {1, 0, 1, 0, 1, 12}) AppendI32(selections, v);
    EXPECT_EQ(defaults::SelectionsBytes({1, 0, 1, 0, 1, 12}), selections);

    // Accident and "Full period ultimate": the last two fields are both 1.
    Bytes interp;
    Append(interp, {1, 0, 0xFF, 0xFF, CInterpolateSelection::kSchema, 0, 21, 0});
    AppendText(interp, "CInterpolateSelection");
    for (int v : {3, int(CURVE_WEIBULL), int(INPUT_RATIO_TO_ULTIMATE), 1, 0, 1, 1, 1}) AppendI32(interp, v);
    defaults::InterpolationDefaults d;
    d.selections = {CInterpolateSelection(3, CURVE_WEIBULL, INPUT_RATIO_TO_ULTIMATE)};
    d.display = 1;
    d.abbreviate = 1;
    EXPECT_EQ(defaults::InterpolationBytes(d), interp);
    d.period = PERIOD_POLICY;
    d.adjustment = ADJ_PARTIAL_PERIOD_ULTIMATE;
    const Bytes policy = defaults::InterpolationBytes(d);
    EXPECT_EQ(Bytes(policy.end() - 8, policy.end()), Bytes(8, 0));

    Bytes ids;
    Append(ids, {2, 0});
    AppendI32(ids, 501010001);
    AppendI32(ids, 501010011);
    EXPECT_EQ(defaults::ExhibitStatsBytes({501010001, 501010011}), ids);
}

TEST_F(ExhibitDefaultsFiles, FilesRoundTripAndAFailedWriteKeepsTheOldFile) {
    const QString dir = QString::fromStdString(qs::test::MakeTempDir("defs"));
    const std::vector<CStatistics::Record> rows{{1, 1, 0, 0, 0, 0, 3, 1, 1}, {2, 4, 1, 1, 2, 1, 0, 0, 0}};
    ASSERT_TRUE(defaults::WriteStats(dir, rows));
    EXPECT_EQ(FileBytes(dir + "/stats.def"), defaults::StatsBytes(rows));
    std::vector<CStatistics::Record> back;
    ASSERT_TRUE(defaults::ReadStats(dir, back));
    EXPECT_EQ(back, rows);

    defaults::InterpolationDefaults d;
    d.selections = {CInterpolateSelection(1, CURVE_LINEAR, INPUT_CUMULATIVE),
                    CInterpolateSelection(2, CURVE_INVERSE_POWER, INPUT_RATIO_TO_ULTIMATE)};
    d.useInMethods = 1;
    d.period = PERIOD_POLICY;
    ASSERT_TRUE(defaults::WriteInterpolation(dir, d));
    defaults::InterpolationDefaults dBack;
    ASSERT_TRUE(defaults::ReadInterpolation(dir, dBack));
    EXPECT_EQ(dBack.selections, d.selections);
    EXPECT_EQ(dBack.period, PERIOD_POLICY);
    EXPECT_EQ(dBack.adjustment, ADJ_FULL_PERIOD_ULTIMATE);
    EXPECT_EQ(dBack.useInMethods, 1);

    ASSERT_TRUE(defaults::WriteSelections(dir, {1, 1, 1, 0, 0, 0}));
    ASSERT_TRUE(defaults::WriteExhibitStats(dir, {501010001}));
    QSIDArray ids;
    ASSERT_TRUE(defaults::ReadExhibitStats(dir, ids));
    EXPECT_EQ(ids, QSIDArray{501010001});

    // A write that fails part-way: one error box, the old file as it was and
    // nothing left beside it.
    const Bytes before = FileBytes(dir + "/stats.def");
    defaults::BeforeCommitHook() = [] { throw CFileException(CFileException::diskFull, 28, "stats.def", "write"); };
    MessageBoxScript boxes;
    EXPECT_FALSE(defaults::WriteStats(dir, {}));
    defaults::BeforeCommitHook() = nullptr;
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(FileBytes(dir + "/stats.def"), before);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden).size(), 4);

    // A folder that is not there: the Part's message with the full path.
    EXPECT_FALSE(defaults::WriteSelections(dir + "/missing", {0, 0, 0, 0, 0, 0}));
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Last().text, QStringLiteral("File %1/missing/selectns.def could not be opened. Please verify the "
                                                "paths in workstation settings are correct.")
                                     .arg(dir));

    // Damage is refused and the caller's values stay.
    QFile damaged(dir + "/exstats.def");
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\x05\x00\x01", 3);
    damaged.close();
    EXPECT_FALSE(defaults::ReadExhibitStats(dir, ids));
    EXPECT_EQ(ids, QSIDArray{501010001});
}

// The exhibit defaults fuzz inputs (tests/data/fuzz/exhibit_defaults): byte 0
// picks the file, the rest is its content. A second entry that refers back to
// the first is one object read twice: it loads, and a load that frees
// objects the archive still refers to crashed here (or under the sanitizers).
TEST_F(ExhibitDefaultsFiles, AnEntryThatRefersBackToAnEarlierOneIsReadSafely) {
    const std::string dir = qs::test::DataDir() + "/fuzz/exhibit_defaults/";
    const std::string stats = qs::test::ReadFile(dir + "defaults-stats-backref.bin");
    const std::string interp = qs::test::ReadFile(dir + "defaults-interpolation-backref.bin");
    ASSERT_FALSE(stats.empty());
    ASSERT_FALSE(interp.empty());
    const QString work = QString::fromStdString(qs::test::MakeTempDir("backref"));
    qs::test::WriteFile((work + "/stats.def").toStdString(), stats.substr(1));
    qs::test::WriteFile((work + "/interpolationstats.def").toStdString(), interp.substr(1));
    std::vector<CStatistics::Record> rows{{9, 9, 9, 9, 9, 9, 9, 9, 9}};
    const auto before = rows;
    if (defaults::ReadStats(work, rows)) {
        for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i], rows[0]);
    } else {
        EXPECT_EQ(rows, before);
    }
    defaults::InterpolationDefaults d;
    if (defaults::ReadInterpolation(work, d)) {
        for (std::size_t i = 1; i < d.selections.size(); ++i) EXPECT_EQ(d.selections[i], d.selections[0]);
    }

    // Written by the program: two equal rows, the second stored as a back
    // reference by hand, come back as two equal rows.
    const CStatistics::Record row{1, 1, 0, 0, 0, 0, 3, 1, 1};
    Bytes backref = defaults::StatsBytes({row});
    backref[0] = 2;
    Append(backref, {2, 0});  // the object of map index 2: the first row
    std::vector<CStatistics::Record> back;
    qs::test::WriteFile((work + "/stats.def").toStdString(), std::string(backref.begin(), backref.end()));
    ASSERT_TRUE(defaults::ReadStats(work, back));
    EXPECT_EQ(back, (std::vector<CStatistics::Record>{row, row}));
}

// A pipe named like a defaults file would hold the reader until something
// writes to it; it is refused at once, like a folder.
TEST_F(ExhibitDefaultsFiles, WhatIsNotARegularFileIsRefused) {
    const QString dir = QString::fromStdString(qs::test::MakeTempDir("fifo"));
    ASSERT_EQ(::mkfifo((dir + "/stats.def").toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir).mkdir("interpolationstats.def"));
    std::vector<CStatistics::Record> rows;
    EXPECT_FALSE(defaults::ReadStats(dir, rows));
    defaults::InterpolationDefaults d;
    EXPECT_FALSE(defaults::ReadInterpolation(dir, d));
}

// ---- the sheet -------------------------------------------------------------------------------------------------------

TEST_F(ExhibitOptionsTest, PagesLoadFromTheProjectAndOkStoresWhatWasEdited) {
    ASSERT_EQ(Project()->SetExhibitShowSelHist(1), 0);
    ASSERT_EQ(Project()->SetExhibitViewSelHistCount(3), 0);
    ModalScript script;
    script.Then<CExhibitPropertySheet>([&](CExhibitPropertySheet& sheet) {
        EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Exhibit Options"));
        ASSERT_EQ(sheet.GetPageCount(), 5);
        EXPECT_EQ(sheet.Button(PSBTN_APPLYNOW), nullptr);
        // Statistics: the project's three rows.
        CExhibitPropertyPage1& stats = sheet.m_page1;
        ASSERT_EQ(stats.Grid()->DataRows(), 3);
        EXPECT_EQ(stats.Grid()->Text(1, 2), QStringLiteral("Type"));
        EXPECT_EQ(stats.Grid()->Text(2, 2), QStringLiteral("Average"));
        EXPECT_EQ(stats.Grid()->Text(2, 8), QStringLiteral("VOLUME"));
        // Selections: the count of the project, then historical selections off.
        ASSERT_TRUE(sheet.SetActivePage(&sheet.m_page3));
        CExhibitPropertyPage3& sel = sheet.m_page3;
        EXPECT_EQ(sel.CountEdit()->text(), QStringLiteral("3"));
        sel.Check(CExhibitPropertyPage3::IDC_HISTORICAL)->click();
        EXPECT_FALSE(sel.CountEdit()->isEnabled());
        EXPECT_TRUE(sel.CountEdit()->text().isEmpty());
        // Selected off clears and disables both derived rows.
        sel.Check(CExhibitPropertyPage3::IDC_SELECTED)->click();
        EXPECT_FALSE(sel.Check(CExhibitPropertyPage3::IDC_AGE)->isChecked());
        EXPECT_FALSE(sel.Check(CExhibitPropertyPage3::IDC_AGE)->isEnabled());
        EXPECT_FALSE(sel.Check(CExhibitPropertyPage3::IDC_RATIO)->isEnabled());
        sel.Check(CExhibitPropertyPage3::IDC_SELECTED)->click();
        EXPECT_TRUE(sel.Check(CExhibitPropertyPage3::IDC_AGE)->isEnabled());
        EXPECT_FALSE(sel.Check(CExhibitPropertyPage3::IDC_AGE)->isChecked());
        // Interpolation: display on, policy period.
        ASSERT_TRUE(sheet.SetActivePage(&sheet.m_pageInterpolation));
        sheet.m_pageInterpolation.Check(CExhibitInterpolationPropertyPage::IDC_DISPLAY)->setChecked(true);
        sheet.m_pageInterpolation.Radio(CExhibitInterpolationPropertyPage::IDC_POLICY)->setChecked(true);
        // Exhibit statistics: the paid exhibit loses its statistics.
        ASSERT_TRUE(sheet.SetActivePage(&sheet.m_page4));
        QTreeWidget* with = sheet.m_page4.WithList();
        ASSERT_GT(with->topLevelItemCount(), 0);
        for (int i = 0; i < with->topLevelItemCount(); ++i)
            with->topLevelItem(i)->setSelected(with->topLevelItem(i)->data(0, Qt::UserRole).toLongLong() == Paid());
        sheet.m_page4.OnDel();
        EXPECT_TRUE(sheet.PressButton(PSBTN_OK));
    });
    EXPECT_TRUE(qs::views::RunExhibitOptions(Project()));
    EXPECT_TRUE(script.AllHandled());
    int on = -1;
    Project()->GetExhibitShowSelHist(on);
    EXPECT_EQ(on, 0);
    unsigned short count = 99;
    Project()->GetExhibitViewSelHistCount(count);
    EXPECT_EQ(count, 0);
    Project()->GetExhibitShowCumSDF(on);
    EXPECT_EQ(on, 0);
    EXPECT_EQ(Project()->GetInterpolateFlag(), 1);
    EXPECT_EQ(Project()->GetExhibitSettings().period, PERIOD_POLICY);
    EXPECT_FALSE(PaidExhibit()->HasStatistics());
    // Other exhibits keep theirs.
    EXPECT_TRUE(dynamic_cast<CExhibit*>(Project()->FindObject(qsmethods::StandardExhibitID(11), NET))->HasStatistics());
}

TEST_F(ExhibitOptionsTest, CancelStoresNothingButASavedDefaultStays) {
    const QSExhibitSettings before = Project()->GetExhibitSettings();
    ModalScript script;
    MessageBoxScript boxes({IDYES});
    script.Then<CExhibitPropertySheet>([&](CExhibitPropertySheet& sheet) {
        ASSERT_TRUE(sheet.SetActivePage(&sheet.m_page3));
        sheet.m_page3.Check(CExhibitPropertyPage3::IDC_BLANK)->setChecked(true);
        sheet.m_page3.OnSaveAsDefault();
        sheet.PressButton(PSBTN_CANCEL);
    });
    EXPECT_FALSE(qs::views::RunExhibitOptions(Project()));
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, QStringLiteral("Do you want to change default for selections?\nThis change will only "
                                                "affect all new files. It will not affect the current file."));
    EXPECT_EQ(Project()->GetExhibitSettings().showBlankSDF, before.showBlankSDF);
    EXPECT_EQ(Project()->GetExhibitSettings().statsDefs, before.statsDefs);
    std::array<int, 6> saved{};
    ASSERT_TRUE(defaults::ReadSelections(workDir, saved));
    EXPECT_EQ(saved[3], 1);
}

TEST_F(ExhibitOptionsTest, StatisticsRowsAreSortedByOrderAndTypedOrdersAreChecked) {
    ModalScript script;
    MessageBoxScript boxes;
    script.Then<CExhibitPropertySheet>([&](CExhibitPropertySheet& sheet) {
        CExhibitPropertyPage1& page = sheet.m_page1;
        qs::views::OptionsGrid* grid = page.Grid();
        // Orders 5, 2, 0 come back as 0, 2, 5; the inactive row stays.
        TypeOrder(grid, 2, QStringLiteral("5"));
        TypeOrder(grid, 3, QStringLiteral("2"));
        TypeOrder(grid, 4, QStringLiteral("0"));
        // Out of range: refused with the message, the cell keeps its value.
        TypeOrder(grid, 4, QStringLiteral("256"));
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().text, QStringLiteral("Index has to be a number between 0 - 255 (0 means deactivate)"));
        EXPECT_EQ(grid->Text(4, 1), QStringLiteral("0"));
        EXPECT_TRUE(page.OnKillActive());
        ASSERT_EQ(page.m_defs.size(), 3u);
        EXPECT_EQ(page.m_defs[0][0], 0);
        EXPECT_EQ(page.m_defs[1][0], 2);
        EXPECT_EQ(page.m_defs[2][0], 5);
        // The row with Order 2 was the simple average (no weights).
        EXPECT_EQ(page.m_defs[1][7], 0);
        // Delete all, then New starts at Order 1; a cancelled New leaves no row.
        for (int i = 0; i < 3; ++i) {
            page.Grid()->SelectRow(2);
            page.OnDelete();
        }
        EXPECT_EQ(grid->DataRows(), 0);
        EXPECT_FALSE(page.DeleteButton()->isEnabled());
        page.OnNew();
        EXPECT_EQ(grid->DataRows(), 0);
        nextStatistic = qs::views::StatisticDefinition{0, 1, 1, 0, 0, 0, 4, 2, 1};
        page.OnNew();
        ASSERT_EQ(grid->DataRows(), 1);
        EXPECT_EQ(grid->Text(2, 1), QStringLiteral("1"));
        EXPECT_EQ(grid->Text(2, 2), QStringLiteral("Linear Trend"));
        EXPECT_EQ(grid->Text(2, 8), QStringLiteral("TIME"));
        sheet.PressButton(PSBTN_OK);
    });
    EXPECT_TRUE(qs::views::RunExhibitOptions(Project()));
    const auto& defs = Project()->GetExhibitSettings().statsDefs;
    ASSERT_EQ(defs.size(), 1u);
    EXPECT_EQ(defs[0], (CStatistics::Record{1, 2, 1, 0, 0, 0, 4, 2, 1}));
}

TEST_F(ExhibitOptionsTest, HistoricalCountOutsideOneToTwelveKeepsThePage) {
    ModalScript script;
    MessageBoxScript boxes;
    script.Then<CExhibitPropertySheet>([&](CExhibitPropertySheet& sheet) {
        ASSERT_TRUE(sheet.SetActivePage(&sheet.m_page3));
        CExhibitPropertyPage3& sel = sheet.m_page3;
        sel.Check(CExhibitPropertyPage3::IDC_HISTORICAL)->click();
        sel.CountEdit()->setText(QStringLiteral("13"));
        sheet.PressButton(PSBTN_OK);
        EXPECT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(sheet.GetActivePage(), &sel);
        sel.CountEdit()->setText(QStringLiteral("12"));
        sheet.PressButton(PSBTN_OK);
    });
    EXPECT_TRUE(qs::views::RunExhibitOptions(Project()));
    unsigned short count = 0;
    Project()->GetExhibitViewSelHistCount(count);
    EXPECT_EQ(count, 12);
}

TEST_F(ExhibitOptionsTest, InterpolationRowsComeFromTheOptionsDialog) {
    ModalScript script;
    MessageBoxScript boxes;
    script.Then<CExhibitPropertySheet>([&](CExhibitPropertySheet& sheet) {
        ASSERT_TRUE(sheet.SetActivePage(&sheet.m_pageInterpolation));
        CExhibitInterpolationPropertyPage& page = sheet.m_pageInterpolation;
        page.Grid()->Ctrl()->SetActiveCell(1, 1);
        page.OnModify();
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().text, QStringLiteral("Please select a row to modify."));
        page.OnNew();  // the options dialog: Weibull on ratios
        page.OnNew();  // cancelled: no row
        ASSERT_EQ(page.Grid()->DataRows(), 1);
        EXPECT_EQ(page.Grid()->Text(2, 2), QStringLiteral("Weibull"));
        page.Grid()->SelectRow(2);
        page.OnModify();  // order 7, Linear
        EXPECT_EQ(page.Grid()->Text(2, 1), QStringLiteral("7"));
        sheet.PressButton(PSBTN_OK);
    });
    script.Then<CInterpolationOptionsDlg>([](CInterpolationOptionsDlg& d) {
        EXPECT_EQ(d.OrderEdit()->text(), QStringLiteral("1"));
        d.CurveCombo()->setCurrentIndex(2);
        d.InputCombo()->setCurrentIndex(1);
        d.OnOK();
    });
    script.Then<CInterpolationOptionsDlg>([](CInterpolationOptionsDlg& d) { d.OnCancel(); });
    script.Then<CInterpolationOptionsDlg>([](CInterpolationOptionsDlg& d) {
        EXPECT_EQ(d.CurveCombo()->currentText(), QStringLiteral("Weibull"));
        d.OrderEdit()->setText(QStringLiteral("7"));
        d.CurveCombo()->setCurrentIndex(0);
        d.OnOK();
    });
    EXPECT_TRUE(qs::views::RunExhibitOptions(Project()));
    EXPECT_TRUE(script.AllHandled());
    std::vector<CInterpolateSelection> selections;
    Project()->GetInterpolationSelections(selections, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(selections.size(), 1u);
    EXPECT_EQ(selections[0], CInterpolateSelection(7, CURVE_LINEAR, INPUT_RATIO_TO_ULTIMATE));
}

TEST_F(ExhibitOptionsTest, RemovingAFactorSetKeepsNamesAndDescriptionsWithTheirSets) {
    const std::vector<CFactorSet> sets{CFactorSet("A", "", 5, PRD_YEAR, 12), CFactorSet("B", "", 5, PRD_YEAR, 12),
                                       CFactorSet("C", "", 5, PRD_YEAR, 12)};
    // In either edition each remaining set keeps its own library.
    for (int fileMode : {1, 0}) {
        SCOPED_TRACE(fileMode);
        qs::views::Settings().fileMode = fileMode;
        ASSERT_EQ(Project()->SetFSList(sets, {"/l/one.dfl", "/l/two.dfl", "/l/three.dfl"}, {"One", "Two", "Three"}), 0);
        ModalScript script;
        script.Then<CExhibitPropertySheet>([&](CExhibitPropertySheet& sheet) {
            ASSERT_TRUE(sheet.SetActivePage(&sheet.m_page2));
            QTreeWidget* list = sheet.m_page2.List();
            ASSERT_EQ(list->topLevelItemCount(), 3);
            EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("One"));
            EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("A"));
            list->topLevelItem(0)->setSelected(true);
            sheet.m_page2.OnRemove();
            sheet.PressButton(PSBTN_OK);
        });
        EXPECT_TRUE(qs::views::RunExhibitOptions(Project()));
        std::vector<CFactorSet> stored;
        QSStringArray names, descriptions;
        Project()->GetFSList(stored, names, descriptions);
        ASSERT_EQ(stored.size(), 2u);
        EXPECT_EQ(stored[0].GetName(), "B");
        EXPECT_EQ(names, (QSStringArray{"/l/two.dfl", "/l/three.dfl"}));
        EXPECT_EQ(descriptions, (QSStringArray{"Two", "Three"}));
    }
}

TEST_F(ExhibitOptionsTest, DoubleClickMovesAnExhibitAndSavedDefaultsTakeTheRightList) {
    MessageBoxScript boxes({IDYES});
    ModalScript script;
    script.Then<CExhibitPropertySheet>([&](CExhibitPropertySheet& sheet) {
        ASSERT_TRUE(sheet.SetActivePage(&sheet.m_page4));
        QTreeWidget* without = sheet.m_page4.WithoutList();
        QTreeWidget* with = sheet.m_page4.WithList();
        const int total = without->topLevelItemCount() + with->topLevelItemCount();
        ASSERT_GT(with->topLevelItemCount(), 0);
        QTreeWidgetItem* first = with->topLevelItem(0);
        with->clearSelection();
        first->setSelected(true);
        emit with->itemDoubleClicked(first, 0);
        EXPECT_EQ(without->indexOfTopLevelItem(first) >= 0, true);
        EXPECT_EQ(without->topLevelItemCount() + with->topLevelItemCount(), total);
        sheet.m_page4.OnSaveAsDefault();
        sheet.PressButton(PSBTN_CANCEL);
    });
    qs::views::RunExhibitOptions(Project());
    QSIDArray saved;
    ASSERT_TRUE(defaults::ReadExhibitStats(workDir, saved));
    QSIDArray with, offered;
    Project()->GetExhibitStatsLists(with, offered);
    EXPECT_EQ(saved.size() + 1, with.size());
}

TEST_F(ExhibitOptionsTest, AFailedStoreNamesTheCallTheProjectRefused) {
    CExhibitPropertySheet sheet;
    sheet.LoadFromProject(Project());
    sheet.m_page3.m_nHistoricalCount = 13;
    MessageBoxScript boxes;
    EXPECT_FALSE(sheet.StoreToProject(Project()));
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, QStringLiteral("Error: CProject::SetExhibitViewSelHistCount\n"));
}

TEST_F(ExhibitOptionsTest, AnOpenExhibitViewFollowsTheStoredOptions) {
    auto view = doc.Open<CExhibitView>(Paid(), NET);
    ASSERT_NE(view, nullptr);
    auto has = [&](CExhibitView::RowKind kind) {
        for (const auto& row : view->Plan())
            if (row.kind == kind) return true;
        return false;
    };
    ASSERT_TRUE(has(CExhibitView::RowKind::Selected));
    ModalScript script;
    script.Then<CExhibitPropertySheet>([&](CExhibitPropertySheet& sheet) {
        ASSERT_TRUE(sheet.SetActivePage(&sheet.m_page3));
        sheet.m_page3.Check(CExhibitPropertyPage3::IDC_SELECTED)->click();
        sheet.PressButton(PSBTN_OK);
    });
    ASSERT_TRUE(qs::views::RunExhibitOptions(Project()));
    doc.UpdateAllViews(nullptr, 1);
    EXPECT_FALSE(has(CExhibitView::RowKind::Selected));
    EXPECT_FALSE(has(CExhibitView::RowKind::Cumulative));
}

// ---- interpolation options dialog ------------------------------------------------------------------------------------

struct InterpolationOptionsDlg : qs::test::ViewTest {};

TEST_F(InterpolationOptionsDlg, OrderMustLieFromOneTo254) {
    struct Case {
        const char* text;
        bool accepted;
    };
    for (const Case& c : {Case{"254", true}, Case{"1", true}, Case{"255", false}, Case{"0", false}, Case{"abc", false}}) {
        SCOPED_TRACE(c.text);
        CInterpolationOptionsDlg dialog;
        dialog.m_selection = CInterpolateSelection(4, CURVE_WEIBULL, INPUT_RATIO_TO_ULTIMATE);
        ModalScript script;
        MessageBoxScript boxes;
        script.Then<CInterpolationOptionsDlg>([&](CInterpolationOptionsDlg& d) {
            d.OrderEdit()->setText(QString::fromLatin1(c.text));
            d.CurveCombo()->setCurrentIndex(-1);
            d.InputCombo()->setCurrentIndex(-1);
            d.OnOK();
            if (!c.accepted) d.OnCancel();
        });
        const INT_PTR result = dialog.DoModal();
        EXPECT_EQ(result, c.accepted ? IDOK : IDCANCEL);
        EXPECT_EQ(boxes.Count(), c.accepted ? 0u : 1u);
        if (!c.accepted) {
            EXPECT_EQ(boxes.Last().text, QStringLiteral("Please enter an integer from 1 to 254"));
        }
        // Combos left without a choice keep the selection's types.
        EXPECT_EQ(dialog.m_selection.GetCurveType(), CURVE_WEIBULL);
        EXPECT_EQ(dialog.m_selection.GetInputType(), INPUT_RATIO_TO_ULTIMATE);
    }
}

// ---- add factor sets dialog ------------------------------------------------------------------------------------------

struct AddFactorSetsTest : ExhibitOptionsTest {
    AddFactorSetsTest() {
        CFSLib lib;
        lib.SetName("Industry");
        lib.SetDescription("Industry factors 2020");
        lib.AddFactorSet(CFactorSet("Annual", "", 5, PRD_YEAR, 12));
        lib.AddFactorSet(CFactorSet("Quarterly", "", 20, PRD_QUARTER, 3));
        lib.AddFactorSet(CFactorSet("Longer", "", 8, PRD_YEAR, 12));
        path = workDir + "/industry.dfl";
        EXPECT_EQ(lib.SaveFile(path.toStdString()), 0);
    }
    static void Select(QTreeWidget* list, std::initializer_list<const char*> names) {
        list->clearSelection();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            for (const char* n : names)
                if (list->topLevelItem(i)->text(0) == QLatin1String(n)) list->topLevelItem(i)->setSelected(true);
    }
    QString path;
};

TEST_F(AddFactorSetsTest, IncompatibleSetsAreNamedAndRefused) {
    CAddFactorSetsDlg dialog(Project(), 0);
    dialog.m_strFilePath = path;
    ModalScript script;
    MessageBoxScript boxes;
    script.Then<CAddFactorSetsDlg>([&](CAddFactorSetsDlg& d) {
        QTreeWidget* list = d.List();
        ASSERT_EQ(list->topLevelItemCount(), 3);
        EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("Annual"));
        EXPECT_EQ(list->topLevelItem(2)->text(2), QStringLiteral("Quarters"));
        EXPECT_EQ(list->topLevelItem(2)->data(0, Qt::UserRole).toInt(), 0);
        Select(list, {"Annual", "Quarterly"});
        d.OnOK();
        Select(list, {});
        d.OnOK();
        Select(list, {"Annual", "Longer"});
        d.OnOK();
    });
    qs::fw::SetMainWindow(nullptr);
    QWidget main;
    main.show();
    qs::fw::SetMainWindow(&main);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    qs::fw::SetMainWindow(nullptr);
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Texts()[0],
              QStringLiteral("The structure of the Factor Set 'Quarterly' is not compatible with the project structure."));
    EXPECT_EQ(boxes.Texts()[1], QStringLiteral("Please select a valid Factor Set."));
    // A different count of periods fits: the set adjusts to the project.
    EXPECT_EQ(dialog.GetChosenNames(), (QStringList{"Annual", "Longer"}));
    EXPECT_EQ(dialog.GetLibraryName(), path);
    EXPECT_EQ(dialog.GetLibraryDescription(), QStringLiteral("Industry factors 2020"));
    CFactorSet* set = nullptr;
    dialog.GetLibrary()->GetFactorSet("Longer", set);
    EXPECT_NE(set, nullptr);
}

TEST_F(AddFactorSetsTest, AcceptAllMarksIncompatibleSetsButLetsThemBeChosen) {
    qs::views::Settings().fileMode = 0;
    qs::views::ExhibitHost().applicationMode = [] { return 2; };
    CAddFactorSetsDlg dialog(Project(), 1, nullptr, false, true);
    ASSERT_TRUE(dialog.AcceptsAll());
    dialog.m_strFilePath = path;
    ModalScript script;
    script.Then<CAddFactorSetsDlg>([&](CAddFactorSetsDlg& d) {
        QTreeWidgetItem* quarterly = d.List()->topLevelItem(2);
        EXPECT_EQ(quarterly->data(0, Qt::UserRole + 1).toInt(), CAddFactorSetsDlg::kImageAccepted);
        // Single selection: one row at most.
        d.List()->selectAll();
        EXPECT_LE(d.List()->selectedItems().size(), 1);
        d.List()->clearSelection();
        quarterly->setSelected(true);
        d.OnOK();
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetChosenNames(), QStringList{"Quarterly"});
}

TEST_F(AddFactorSetsTest, ChoosingAFileThatIsNoLibraryCancels) {
    MessageBoxScript boxes;
    QFile other(workDir + "/notes.txt");
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    QString asked;
    qs::views::ExhibitHost().lastFactorLibraryFolder = workDir;
    qs::views::ExhibitHost().chooseLibraryFile = [&](const QString& title, const QString& folder) {
        asked = title + "|" + folder;
        return workDir + "/notes.txt";
    };
    CAddFactorSetsDlg dialog(Project(), 0);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(asked, QStringLiteral("Select DF Library|") + workDir);
    EXPECT_EQ(boxes.Count(), 0u);

    // A library file that cannot be read: reported, cancelled, no library left.
    QWidget main;
    main.show();
    qs::fw::SetMainWindow(&main);
    CAddFactorSetsDlg missing(Project(), 0);
    missing.m_strFilePath = workDir + "/gone.dfl";
    EXPECT_EQ(missing.DoModal(), IDCANCEL);
    qs::fw::SetMainWindow(nullptr);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, QStringLiteral("File %1/gone.dfl could not be opened").arg(workDir));
    EXPECT_EQ(missing.GetLibrary(), nullptr);

    // A damaged one: the archive's report, no library, nothing freed twice.
    QFile damaged(workDir + "/bad.dfl");
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("QDFL\x01\x00\x00\x00garbage", 15);
    damaged.close();
    CAddFactorSetsDlg bad(Project(), 0);
    bad.m_strFilePath = workDir + "/bad.dfl";
    EXPECT_EQ(bad.DoModal(), IDCANCEL);
    EXPECT_EQ(bad.GetLibrary(), nullptr);
    EXPECT_EQ(boxes.Count(), 2u);
}

}  // namespace

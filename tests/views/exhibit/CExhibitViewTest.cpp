// The exhibit view on a kernel project holding the RAA triangle: the rows
// come in their order for each combination of display switches, typing and
// double-clicking put factors into the selections (and the methods follow),
// outliers leave the statistics and come back, the interpolated block shows
// the helper's rows, and a print shows the selections and the outliers' notes.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPrinter>
#include <QTest>

#include <cmath>
#include <utility>

#include "CDataObject.h"
#include "CExhibit.h"
#include "CExhibitInterpolationHelper.h"
#include "CExhibitView.h"
#include "CMethod.h"
#include "CPrintPageState.h"
#include "CEditCellNoteDlg.h"
#include "CommandIds.h"
#include "MessageBox.h"
#include "MethodTemplates.h"
#include "ModalScript.h"
#include "ReservingMath.h"
#include "SmallViewDialogs.h"
#include "SpreadsheetControl.h"
#include "TestEnvironment.h"
#include "ViewPrinting.h"
#include "ViewSettings.h"
#include "ViewTestSupport.h"

using qs::test::kPaidLoss;
using qs::test::TestProjectDoc;
using Kind = CExhibitView::RowKind;

namespace {

constexpr QSID kInterpolatedAges = 101000804;

void FillRaa(CProject& project) {
    qs::calc::Triangle t;
    ASSERT_TRUE(qs::calc::ParseLongCsv(qs::test::ReadFile(qs::test::DataDir() + "/triangles/raa.csv"), "values", t));
    CDataObject* paid = project.FindDataObject(kPaidLoss, NET);
    ASSERT_NE(paid, nullptr);
    for (int r = 0; r < t.rows; ++r)
        for (int c = 0; c < t.cols; ++c)
            if (t.Has(r, c)) paid->SetAt(r, c, t.At(r, c));
}

// A synthetic cumulative triangle of any size: row r grows by factors that
// fall toward 1 with age.
void FillSynthetic(CProject& project, int size) {
    CDataObject* paid = project.FindDataObject(kPaidLoss, NET);
    ASSERT_NE(paid, nullptr);
    paid->SetRecalcOn(0);
    for (int r = 0; r < size; ++r) {
        double v = 1000.0 + 10.0 * r;
        for (int c = 0; c < size - r; ++c) {
            paid->SetAt(r, c, v);
            v *= 1.0 + 0.8 / (c + 1) + 0.01 * ((r + c) % 3);
        }
    }
    paid->SetRecalcOn(1);
}

struct Switches {
    const char* name;
    int sdf, hist, cum, ratio, blank, interp, abbrev;
};

struct ExhibitViewTest : qs::test::ViewTest {
    void SetUp() override {
        ViewTest::SetUp();
        FillRaa(*Project());
    }
    CProject* Project() { return doc.GetProject(); }
    CExhibit* Exhibit() { return dynamic_cast<CExhibit*>(Project()->FindObject(qsmethods::StandardExhibitID(1), NET)); }
    CDataObject* SDF() {
        CDataObject* sdf = nullptr;
        Exhibit()->GetSDFObject(sdf);
        return sdf;
    }
    std::unique_ptr<CExhibitView> Open() { return doc.Open<CExhibitView>(qsmethods::StandardExhibitID(1), NET); }
    static QString Text(CExhibitView& v, int r, int c) {
        QString text;
        v.GetCtrl()->GetText(r, c, text);
        return text.trimmed();
    }
    static double Num(CExhibitView& v, int r, int c) {
        double value = 0;
        v.GetCtrl()->GetNumber(r, c, value);
        return value;
    }
    static void Type(CExhibitView& v, int r, int c, const QString& text) {
        qs::ss::SpreadsheetControl* ctrl = v.GetCtrl();
        ctrl->SetSelection(r, c, r, c);
        ctrl->SetActiveCell(r, c);
        ASSERT_EQ(ctrl->StartEdit(text, true), 0);
        ctrl->EndEdit();
    }
    static int RowOf(CExhibitView& v, Kind kind, int nth = 0) {
        for (const auto& row : v.Plan())
            if (row.kind == kind && !row.label.isEmpty() && nth-- == 0) return row.row;
        return 0;
    }
    double Cell(CDataObject* d, int r, int c, bool* has = nullptr) {
        double v = 0;
        std::uint8_t f = 0;
        d->GetAt(r, c, v, f);
        if (has) *has = (f & CDataObject::CF_VALUE) != 0;
        return v;
    }
    void SetSwitches(const Switches& s) {
        CProject* p = Project();
        p->SetExhibitShowSDF(s.sdf);
        p->SetExhibitShowSelHist(s.hist);
        p->SetExhibitShowCumSDF(s.cum);
        p->SetExhibitShowRatioSDF(s.ratio);
        p->SetExhibitShowBlankSDF(s.blank);
        std::vector<CInterpolateSelection> selections{{1, CURVE_EXPONENTIAL, INPUT_CUMULATIVE},
                                                      {2, CURVE_LINEAR, INPUT_RATIO_TO_ULTIMATE}};
        p->SetInterpolationSelections(selections, PERIOD_ACCIDENT, s.interp, s.abbrev, 0, ADJ_FULL_PERIOD_ULTIMATE);
    }
    // Interpolated ages 6, 18, 30 months and an interpolated selection row.
    void PrepareInterpolation() {
        CDataObject* ages = Project()->FindDataObject(kInterpolatedAges, NET);
        ASSERT_NE(ages, nullptr);
        const double wanted[] = {6, 18, 30};
        for (int i = 0; i < 3; ++i) ages->SetAt(0, i, wanted[i]);
        Exhibit()->SetInterpolateSDF(3);
    }
    // Selected factors: RAA volume-weighted with a tail of 1.
    void SelectVolumeWeighted() {
        const double f[] = {2.999359, 1.623523, 1.270888, 1.171675, 1.113385, 1.041935, 1.033264, 1.016936, 1.009217, 1.0};
        for (int c = 0; c < 10; ++c) SDF()->SetAt(0, c, f[c]);
    }
    TestProjectDoc doc{10, 10};
};

TEST_F(ExhibitViewTest, RowsComeInOrderForEachCombinationOfSwitches) {
    PrepareInterpolation();
    SelectVolumeWeighted();
    Exhibit()->RollSelectionsToHistory(false);
    const Switches cases[] = {
        {"everything", 1, 1, 1, 1, 1, 1, 0},
        {"abbreviated", 1, 0, 1, 1, 0, 1, 1},
        {"no cumulative or ratio", 1, 0, 0, 0, 0, 1, 0},
        {"ratio only, blank rows", 1, 0, 0, 1, 1, 1, 0},
        {"no interpolation", 1, 1, 1, 0, 0, 0, 0},
        {"no selections", 0, 1, 1, 1, 1, 1, 0},
    };
    for (const Switches& s : cases) {
        SCOPED_TRACE(s.name);
        SetSwitches(s);
        auto view = Open();
        ASSERT_NE(view, nullptr);
        // The labels in column 1 below the triangle, top to bottom.
        QStringList labels;
        for (const auto& row : view->Plan())
            if (!row.label.isEmpty()) labels << row.label.simplified();
        QStringList expected;
        unsigned short numStats = 0;
        CStatistics* stats = nullptr;
        Exhibit()->GetStatistics(stats);
        stats->GetNumStats(numStats);
        for (unsigned short i = 0; i < numStats; ++i) {
            std::string name;
            stats->GetStatName(i, name, 0);
            expected << QString::fromStdString(name).simplified();
        }
        if (s.hist) expected << QStringLiteral("history");  // named by the kernel: compared apart
        if (s.blank) expected << QStringLiteral("Selected:");  // the line counts with the switch alone
        if (s.sdf) {
            expected << QStringLiteral("Selected");
            if (s.cum) expected << QStringLiteral("Cumulative");
            if (s.ratio) expected << (s.abbrev ? QStringLiteral("Ratio to Ult") : QStringLiteral("Ratio to Ultimate"));
            if (s.interp) {
                expected << (s.abbrev ? QStringLiteral("Interp Ages") : QStringLiteral("Interpolated Ages"));
                expected << (s.abbrev ? QStringLiteral("Exp - Cum") : QStringLiteral("Exponential - Cumulative"));
                expected << (s.abbrev ? QStringLiteral("Linear - Ratio to Ult") : QStringLiteral("Linear - Ratio to Ultimate"));
                if (s.blank) expected << QStringLiteral("Interpolated:");
                expected << (s.abbrev ? QStringLiteral("Selected Interp") : QStringLiteral("Selected Interpolated"));
                if (s.cum) expected << (s.abbrev ? QStringLiteral("Cumulative") : QStringLiteral("Cumulative Interpolated"));
                if (s.ratio)
                    expected << (s.abbrev ? QStringLiteral("Ratio to Ult") : QStringLiteral("Ratio to Ultimate Interpolated"));
            }
        }
        if (s.hist) {
            ASSERT_GT(labels.size(), int(numStats));
            EXPECT_EQ(view->Plan()[0].kind, Kind::StatName);
            EXPECT_EQ(RowOf(*view, Kind::SelHist), RowOf(*view, Kind::StatName, numStats - 1) + 2);
            labels.removeAt(numStats);
            expected.removeAt(numStats);
        }
        EXPECT_EQ(labels, expected);
        // The grid shows the plan, and the editable rows are where the plan says.
        for (const auto& row : view->Plan()) {
            if (row.label.isEmpty()) continue;
            EXPECT_EQ(Text(*view, row.row, 1), row.label) << row.row;
        }
        if (s.sdf) {
            EXPECT_EQ(view->RowKindOf(view->GetFirstSelectedRow()), CExhibitView::kKindSelected);
            EXPECT_DOUBLE_EQ(Num(*view, view->GetFirstSelectedRow(), 2), 2.999359);
            int row = 0, col = 0;
            view->GetCtrl()->GetActiveCell(row, col);
            EXPECT_EQ(row, view->GetFirstSelectedRow());
        } else {
            EXPECT_EQ(view->GetFirstSelectedRow(), 0);
            EXPECT_EQ(RowOf(*view, Kind::Tail), 0);
        }
        if (s.sdf && s.interp) {
            const int si = view->GetSelectedInterpRow();
            ASSERT_GT(si, 0);
            EXPECT_EQ(view->RowKindOf(si), CExhibitView::kKindInterpolated);
            EXPECT_TRUE(view->IsValidTargetCell(si, 2));
        } else {
            EXPECT_EQ(view->GetSelectedInterpRow(), 0);
        }
        // The triangle: a developed triangle's newest single-cell row is left out.
        EXPECT_EQ(Text(*view, 9, 1).isEmpty(), false);
        EXPECT_TRUE(Text(*view, 10, 1).isEmpty());
        EXPECT_NEAR(Num(*view, 1, 2), 8269.0 / 5012.0, 1e-9);
    }
}

TEST_F(ExhibitViewTest, TypedFactorsReachTheKernelAndTheMethods) {
    SelectVolumeWeighted();
    auto view = Open();
    ASSERT_NE(view, nullptr);
    CMethod* method = dynamic_cast<CMethod*>(Project()->FindObject(qsmethods::StandardMethodID(1), NET));
    ASSERT_NE(method, nullptr);
    const auto ultimate = [&] {
        const CDataObject* column = method->GetUltimateColumn();
        double total = 0;
        for (std::size_t i = 0; column != nullptr && i < column->Values().size(); ++i)
            if (column->Flags()[i] & CDataObject::CF_VALUE) total += column->Values()[i];
        return total;
    };
    const double before = ultimate();
    const int s = view->GetFirstSelectedRow();
    // The tail typed with thousands and decimals: 1,001.500 is read whole.
    Type(*view, s, 11, QStringLiteral("1,001.500"));
    EXPECT_DOUBLE_EQ(Cell(SDF(), 0, 9), 1001.5);
    Type(*view, s, 11, QStringLiteral("1.05"));
    EXPECT_DOUBLE_EQ(Cell(SDF(), 0, 9), 1.05);
    EXPECT_NEAR(ultimate(), before * 1.05, before * 1e-9);
    // The cumulative row followed the new tail.
    const int cum = RowOf(*view, Kind::Cumulative);
    EXPECT_NEAR(Num(*view, cum, 11), 1.05, 1e-9);
    // Typing anywhere else is refused before it starts.
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    for (int row : {1, RowOf(*view, Kind::StatName), cum}) {
        ctrl->SetActiveCell(row, 3);
        EXPECT_NE(ctrl->StartEdit(QStringLiteral("2"), true), 0) << row;
    }
    // Saving the row as a whole reads each cell with the same parser.
    ctrl->SetText(s, 2, QStringLiteral("1,234.500"));
    ctrl->SetActiveCell(s, 2);
    ASSERT_TRUE(view->OnUpdateData(TRUE));
    EXPECT_DOUBLE_EQ(Cell(SDF(), 0, 0), 1234.5);
}

TEST_F(ExhibitViewTest, EnterWalksTheSelectedRowAndBeepsAtItsEnds) {
    auto view = Open();
    ASSERT_NE(view, nullptr);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    ctrl->SetEnterMovesDown(true);
    const int s = view->GetFirstSelectedRow();
    int cols = 0;
    for (int c = 2; c < 300 && view->IsValidTargetCell(s, c); ++c) cols = c;
    ASSERT_GT(cols, 3);
    const auto press = [&](Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(ctrl, Qt::Key_Return, modifiers);
        int row = 0, col = 0;
        ctrl->GetActiveCell(row, col);
        return std::pair(row, col);
    };
    ctrl->SetSelection(s, 2, s, 2);
    ctrl->SetActiveCell(s, 2);
    // A one-row block: Enter goes to the next factor, Shift+Enter back.
    EXPECT_EQ(press(Qt::NoModifier), std::pair(s, 3));
    EXPECT_EQ(press(Qt::ShiftModifier), std::pair(s, 2));
    // At either end it stays and beeps.
    const int beeps = view->BeepCount();
    EXPECT_EQ(press(Qt::ShiftModifier), std::pair(s, 2));
    ctrl->SetSelection(s, cols, s, cols);
    ctrl->SetActiveCell(s, cols);
    EXPECT_EQ(press(Qt::NoModifier), std::pair(s, cols));
    EXPECT_EQ(view->BeepCount(), beeps + 2);
}

TEST_F(ExhibitViewTest, DoubleClickingDropsFactorsAndRows) {
    auto view = Open();
    ASSERT_NE(view, nullptr);
    const int stat = RowOf(*view, Kind::StatName);  // all-year volume weighted
    const int s = view->GetFirstSelectedRow();
    {
        // The row heading asks first; No writes nothing.
        qs::fw::MessageBoxScript boxes({IDNO});
        view->GetGrid()->OnHeadingDblClick(stat, 0);
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().text, QStringLiteral("Drop this whole row into Selected factors? \n"));
        bool has = true;
        Cell(SDF(), 0, 0, &has);
        EXPECT_FALSE(has);
    }
    {
        qs::fw::MessageBoxScript boxes({IDYES});
        view->GetGrid()->OnHeadingDblClick(stat, 0);
    }
    for (int c = 0; c < 9; ++c) EXPECT_NEAR(Cell(SDF(), 0, c), Num(*view, stat, c + 2), 1e-12) << c;
    // The statistic has no tail: the empty last cell stores 0.
    bool has = false;
    EXPECT_EQ(Cell(SDF(), 0, 9, &has), 0.0);
    EXPECT_TRUE(has);
    EXPECT_NEAR(Num(*view, s, 2), 2.999359, 1e-6);

    // One factor of the triangle goes to its column.
    view->GetGrid()->OnDblClick(3, 4);  // 1983, 36-48
    EXPECT_DOUBLE_EQ(Cell(SDF(), 0, 2), Num(*view, 3, 4));
    // A double click in the Selected row opens the cell's note instead.
    {
        qs::fw::ModalScript script;
        script.Then<CEditCellNoteDlg>([](CEditCellNoteDlg& dlg) {
            dlg.NoteEdit()->setPlainText(QStringLiteral("Judgement"));
            dlg.OnOK();
        });
        view->GetGrid()->OnDblClick(s, 3);
    }
    std::string note;
    SDF()->GetNoteInCell(0, 1, note);
    EXPECT_EQ(note, "Judgement");

    // Slope, Y Intercept and R squared rows write nothing.
    std::vector<CStatistics::Record> defs{{1, 1, 0, 0, 0, 0, 0, 1, 0}, {2, 2, 0, 0, 0, 0, 0, 0, 0}};
    Project()->SetStatsDefs(defs, 1, 0);
    view->OnFormat(nullptr);
    view->OnUpdateData(FALSE);
    const double before = Cell(SDF(), 0, 4);
    for (int i = 0; i < 3; ++i) {
        const int row = RowOf(*view, Kind::StatRow, i);
        ASSERT_GT(row, 0);
        qs::fw::MessageBoxScript boxes({IDYES});
        view->GetGrid()->OnHeadingDblClick(row, 0);
        view->GetGrid()->OnDblClick(row, 6);
        EXPECT_DOUBLE_EQ(Cell(SDF(), 0, 4), before) << Text(*view, row, 1).toStdString();
    }
}

TEST_F(ExhibitViewTest, ExcludedFactorsLeaveTheStatisticsAndComeBack) {
    auto view = Open();
    ASSERT_NE(view, nullptr);
    const int stat = RowOf(*view, Kind::StatName);
    const double average = Num(*view, stat, 2);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    ctrl->SetSelection(1, 2, 1, 2);  // 1981, 12-24: 8269 / 5012
    ctrl->SetActiveCell(1, 2);
    EXPECT_FALSE(view->IsCellSelectionValidForOutliers(false));
    ASSERT_TRUE(view->IsCellSelectionValidForOutliers(true));
    view->OnExcludeOutliers();
    view->OnExcludeOutliers();  // twice: still one mark
    CDataObject* outliers = view->GetOutliers();
    ASSERT_NE(outliers, nullptr);
    EXPECT_TRUE((outliers->RawFlags(0, 0) & CDataObject::CF_VALUE));
    EXPECT_EQ(std::count_if(outliers->Flags().begin(), outliers->Flags().end(),
                            [](std::uint8_t f) { return f & CDataObject::CF_VALUE; }),
              1);
    EXPECT_NE(Num(*view, stat, 2), average);
    ctrl->SetActiveCell(1, 2);
    EXPECT_TRUE(ctrl->GetFont().strikeout);
    EXPECT_FALSE(view->IsCellSelectionValidForOutliers(true));
    ASSERT_TRUE(view->IsCellSelectionValidForOutliers(false));
    EXPECT_TRUE(Project()->IsModified());

    view->OnIncludeOutliers();
    EXPECT_FALSE((outliers->RawFlags(0, 0) & CDataObject::CF_VALUE));
    EXPECT_DOUBLE_EQ(Num(*view, stat, 2), average);
    ctrl->SetActiveCell(1, 2);
    EXPECT_FALSE(ctrl->GetFont().strikeout);
    // Nothing of the triangle in the selection: both are off.
    ctrl->SetSelection(stat, 2, stat, 3);
    EXPECT_FALSE(view->IsCellSelectionValidForOutliers(true));
    EXPECT_FALSE(view->IsCellSelectionValidForOutliers(false));
}

TEST_F(ExhibitViewTest, TheInterpolatedBlockShowsTheHelpersRows) {
    PrepareInterpolation();
    SelectVolumeWeighted();
    SetSwitches({"interp", 1, 0, 1, 1, 0, 1, 0});
    QString status;
    qs::views::Settings().statusMessage = [&](const QString& text) { status = text; };
    auto view = Open();
    ASSERT_NE(view, nullptr);
    // 6 months lies before the selections' first age: the rows say it is extrapolated.
    EXPECT_TRUE(status.contains(
        QStringLiteral("Extrapolated: 6 months lies outside the selected factors' ages (12 to 120 months).")))
        << status.toStdString();
    EXPECT_FALSE(status.contains(QStringLiteral("18 months"))) << status.toStdString();
    const auto& helper = view->GetInterpolationHelper();
    ASSERT_EQ(helper.GetLabels(),
              QStringList({QStringLiteral("Exponential - Cumulative"), QStringLiteral("Linear - Ratio to Ultimate")}));
    const int ages = RowOf(*view, Kind::InterpAges);
    EXPECT_DOUBLE_EQ(Num(*view, ages, 2), 6.0);
    EXPECT_DOUBLE_EQ(Num(*view, ages, 4), 30.0);
    // Each result row holds factors from one interpolated age to the next:
    // their products give the interpolated age-to-ultimate factors back.
    const int first = RowOf(*view, Kind::InterpResult);
    double product = 1.0;
    for (int c = 2; c <= 4; ++c) product *= Num(*view, first, c);
    EXPECT_GT(product, 8.0);  // RAA at 6 months develops a long way
    // Dropping a result row asks about the interpolated factors.
    {
        qs::fw::MessageBoxScript boxes({IDYES});
        view->GetGrid()->OnHeadingDblClick(first, 0);
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().text, QStringLiteral("Drop this whole row into Interpolated factors? \n"));
    }
    CDataObject* isdf = view->GetInterpolateSDF();
    ASSERT_NE(isdf, nullptr);
    EXPECT_NEAR(Cell(isdf, 0, 1), Num(*view, first, 3), 1e-12);
    const int si = view->GetSelectedInterpRow();
    EXPECT_NEAR(Num(*view, si, 3), Num(*view, first, 3), 1e-12);
    // Typing into the Selected Interpolated row stores there.
    Type(*view, si, 2, QStringLiteral("4.5"));
    EXPECT_DOUBLE_EQ(Cell(isdf, 0, 0), 4.5);
}

struct ExhibitInterpolationHelper : qs::test::ViewTest {};

TEST_F(ExhibitInterpolationHelper, SelectionsLabelsAndTheUnearnedExposureSetting) {
    TestProjectDoc doc(10, 10);
    CProject* project = doc.GetProject();
    CDataObject sdf;
    sdf.SetShape(1, 3, CDataObject::VT_ROW);
    for (int c = 0; c < 3; ++c) sdf.SetAt(0, c, c == 2 ? 1.0 : 1.5);
    sdf.SetInitialized(true);
    CDataObject cumulative(sdf), ratio(sdf);
    cumulative.CumulateSDF();
    ratio.RatioSDF();
    CDataObject current, wanted;
    current.SetShape(1, 3, CDataObject::VT_ROW);
    wanted.SetShape(1, 2, CDataObject::VT_ROW);
    for (int c = 0; c < 3; ++c) current.SetAt(0, c, 12.0 * (c + 1));
    wanted.SetAt(0, 0, 6);
    wanted.SetAt(0, 1, 18);

    CExhibitInterpolationHelper helper;
    EXPECT_FALSE(helper.SetProject(nullptr));
    ASSERT_TRUE(helper.SetProject(project));
    // No selections: no block.
    project->SetInterpolationSelections({}, PERIOD_ACCIDENT, 1, 0, 0, ADJ_FULL_PERIOD_ULTIMATE);
    EXPECT_FALSE(helper.SetInput(&sdf, &cumulative, &ratio, &sdf, &current, &wanted));
    EXPECT_FALSE(helper.SetInput(&sdf, &cumulative, &ratio, &sdf, nullptr, &wanted));

    const auto run = [&](int abbreviate, ENUM_ADJ_UNEARNED_EXPOSURE adjustment) {
        project->SetInterpolationSelections({{1, CURVE_EXPONENTIAL, INPUT_CUMULATIVE},
                                             {2, CURVE_WEIBULL, INPUT_RATIO_TO_ULTIMATE}},
                                            PERIOD_ACCIDENT, 1, abbreviate, 0, adjustment);
        EXPECT_TRUE(helper.SetInput(&sdf, &cumulative, &ratio, &sdf, &current, &wanted));
        EXPECT_TRUE(helper.Interpolate());
        EXPECT_EQ(helper.GetAdjustment(), adjustment);
    };
    run(1, ADJ_FULL_PERIOD_ULTIMATE);
    EXPECT_EQ(helper.GetLabels(), QStringList({QStringLiteral("Exp - Cum"), QStringLiteral("Weibull - Ratio to Ult")}));
    ASSERT_EQ(helper.GetItems().size(), 2u);
    ASSERT_TRUE(helper.GetItems()[0].result);
    double full = 0;
    std::uint8_t f = 0;
    helper.GetItems()[0].result->GetAt(0, 1, full, f);  // the tail from 18 months
    run(0, ADJ_PARTIAL_PERIOD_ULTIMATE);
    EXPECT_EQ(CExhibitInterpolationHelper::GetItemLabel(helper.GetItems()[1]), QStringLiteral("Weibull - Ratio to Ultimate"));
    double partial = 0;
    helper.GetItems()[0].result->GetAt(0, 1, partial, f);
    // Past a full period every share is earned: the setting shows at 6 months.
    EXPECT_DOUBLE_EQ(partial, full);
    double full6 = 0, partial6 = 0;
    run(0, ADJ_FULL_PERIOD_ULTIMATE);
    helper.GetItems()[0].result->GetAt(0, 0, full6, f);
    run(0, ADJ_PARTIAL_PERIOD_ULTIMATE);
    helper.GetItems()[0].result->GetAt(0, 0, partial6, f);
    EXPECT_NE(full6, partial6);

    // A selection that cannot interpolate keeps its labelled row without a result.
    CDataObject blank;
    blank.SetShape(1, 3, CDataObject::VT_ROW);
    EXPECT_TRUE(helper.SetInput(&sdf, &blank, &blank, &sdf, &current, &wanted));
    helper.Interpolate();
    ASSERT_EQ(helper.GetItems().size(), 2u);
    EXPECT_FALSE(helper.GetItems()[0].result);
}

TEST_F(ExhibitViewTest, ClearCommandsAndFloodFillsReportWhatHappened) {
    SelectVolumeWeighted();
    SDF()->SetNoteInCell(0, 0, "Note");
    auto view = Open();
    ASSERT_NE(view, nullptr);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    const int s = view->GetFirstSelectedRow();
    // Notes only over the whole sheet: every note of the SDF goes, the factors stay.
    ctrl->SetActiveCell(s, 2);
    ctrl->SetSelection(1, 1, CObjectView::kMaxGridRows, CObjectView::kMaxGridCols);
    ctrl->SetActiveCell(s, 2);
    {
        qs::fw::ModalScript script;
        script.Then<CClearDlg>([](CClearDlg& dlg) {
            dlg.m_nChoice = CClearDlg::kNotesOnly;
            dlg.UpdateData(FALSE);
            dlg.OnOK();
        });
        view->OnEditClear();
    }
    EXPECT_FALSE(SDF()->DoesCellHaveNote(0, 0));
    bool has = false;
    Cell(SDF(), 0, 0, &has);
    EXPECT_TRUE(has);
    // Clear All asks, then empties the Selected row.
    ctrl->SetSelection(s, 2, s, 2);
    ctrl->SetActiveCell(s, 2);
    {
        qs::fw::MessageBoxScript boxes({IDOK});
        view->OnEditClearAll();
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().text, QStringLiteral("Remove all data and cell notes from Selected factors"));
    }
    Cell(SDF(), 0, 3, &has);
    EXPECT_FALSE(has);
    // A flood fill without a rule fails, and says so.
    qs::views::Settings().fileMode = 0;
    Project()->SetModifiedFlag(false);
    {
        qs::fw::MessageBoxScript boxes({IDOK});
        view->ExecuteSDFFloodFill(CExhibitView::kKindSelected);
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_TRUE(boxes.Last().text.contains(QStringLiteral("Failed")));
    }
    EXPECT_FALSE(Project()->IsModified());
    // Setting the options: the rule dialog opens; cancelled, it stores nothing.
    {
        qs::fw::ModalScript script;
        script.Then([](QDialog& d) { d.reject(); });
        view->OnSetFloodFill(CExhibitView::kKindSelected);
        ASSERT_EQ(script.Dialogs().size(), 1u);
        EXPECT_TRUE(script.Dialogs()[0].title.startsWith(QStringLiteral("Flood Fill Options - ")));
    }
    EXPECT_FALSE(Project()->IsModified());
}

TEST_F(ExhibitViewTest, PrintingShowsTheSelectionsAndTheOutliersNotes) {
    SelectVolumeWeighted();
    auto view = Open();
    ASSERT_NE(view, nullptr);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    ctrl->SetSelection(2, 3, 2, 3);
    view->OnExcludeOutliers();
    view->GetOutliers()->SetNoteInCell(1, 1, "Large reopened claim");
    const QString pdf = QString::fromStdString(qs::test::MakeTempDir()) + QStringLiteral("/exhibit.pdf");
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    CPrintPageState state;
    qs::fw::MessageBoxScript boxes;
    ASSERT_GT(qs::views::PrintObjectView(*view, printer, state), 0);
    EXPECT_EQ(boxes.Count(), 0u);
    const QString text = qs::test::PdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Selected")));
    EXPECT_TRUE(text.contains(QStringLiteral("2.999")));
    // The excluded factor is still printed (struck through), and its note follows.
    EXPECT_TRUE(text.contains(QString::number(Num(*view, 2, 3), 'f', 3)));
    EXPECT_TRUE(state.m_strNotes.contains(QStringLiteral("Large reopened claim")));
    // The screen is back: the Selected row is where it was.
    EXPECT_EQ(Text(*view, view->GetFirstSelectedRow(), 1), QStringLiteral("Selected"));
}

struct ExhibitViewLarge : qs::test::ViewTest {};

TEST_F(ExhibitViewLarge, A120By120ExhibitLaysOutEveryRow) {
    TestProjectDoc doc(120, 120);
    FillSynthetic(*doc.GetProject(), 120);
    auto view = doc.Open<CExhibitView>(qsmethods::StandardExhibitID(1), NET);
    ASSERT_NE(view, nullptr);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    EXPECT_EQ(ctrl->MaxCol(), 121);
    const int s = view->GetFirstSelectedRow();
    ASSERT_GT(s, 120);
    QString label;
    ctrl->GetText(s, 1, label);
    EXPECT_EQ(label, QStringLiteral("Selected"));
    ctrl->GetText(119, 1, label);
    EXPECT_FALSE(label.isEmpty());
    double v = 0;
    ctrl->GetNumber(1, 2, v);
    EXPECT_GT(v, 1.0);
}

}  // namespace

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "CCurveGraphBar.h"
#include "CCurveGraphWnd.h"
#include "CCurveGridBar.h"
#include "CCurveGridWnd.h"
#include "CGraphFrame.h"
#include "CGridFrame.h"
#include "ChartControl.h"
#include "CrxDialogs.h"
#include "CrxFixture.h"
#include "CrxMessages.h"
#include "CrxNumbers.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "SpreadsheetControl.h"

namespace {

using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;

// ---- the hand-over --------------------------------------------------------------

TEST_F(CrxFixture, PutDataExcludesInvalidPointsAndKeepsIncomingExclusions) {
    CTailFactorAnalysis a = SampleAnalysis();
    a.SetValue(1, true, 2, 0.9);   // invalid actual value, not modified
    a.SetValue(2, true, 3, 0.8);   // invalid actual value ...
    a.SetValue(2, false, 3, 1.04); // ... made valid by its modified value
    a.SetExclude(0, 5, true);      // a valid point the caller excluded
    ASSERT_EQ(app.PutData(ToStream(a)), S_OK);
    const CTailFactorAnalysis w = app.GetWorking();
    EXPECT_TRUE(w.GetExclude(1, 2));
    EXPECT_FALSE(w.GetExclude(0, 2)) << "only the curve concerned";
    EXPECT_FALSE(w.GetExclude(2, 3));
    EXPECT_TRUE(w.GetExclude(0, 5));
    EXPECT_TRUE(app.GetSaved().GetExclude(1, 2)) << "saved and working copies alike";
}

TEST_F(CrxFixture, PutDataRefusesWhatIsNotAnAnalysis) {
    Open();
    const QByteArray before = app.GetData();
    QByteArray truncated = ToStream(SampleAnalysis());
    truncated.chop(5);
    CTailFactorAnalysis flat = SampleAnalysis();
    flat.SetAgeIncrement(0.0);
    for (const QVariant& bad : {QVariant(), QVariant(QStringLiteral("text")), QVariant(42), QVariant(truncated),
                                QVariant(ToStream(flat))}) {
        QString error;
        EXPECT_EQ(app.PutData(bad, &error), E_INVALIDARG) << bad.typeName();
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(app.GetData(), before) << "nothing changed";
}

TEST_F(CrxFixture, DataRoundTripsAndDirtyComesFromTheSavedCopy) {
    EXPECT_EQ(FromStream(app.GetData()).GetNumPoints(), 0) << "before put_Data: an empty analysis";
    Open();
    EXPECT_EQ(FromStream(app.GetData()).GetValue(2, true, 0), 1.5);
    EXPECT_FALSE(app.IsDataDirty());
    CTailFactorAnalysis w = app.GetWorking();
    w.SetDataDirty(1);
    app.SetWorking(w);
    EXPECT_FALSE(app.IsDataDirty()) << "edits not applied do not count";
    // The whole flag counts, not its low 16 bits.
    CTailFactorAnalysis s = app.GetSaved();
    s.SetDataDirty(0x10000);
    app.SetSaved(s);
    EXPECT_TRUE(app.IsDataDirty());
}

TEST_F(CrxFixture, RunAnalysisOpensBothWindowsOnce) {
    Open();
    ASSERT_NE(app.m_pGraphFrame, nullptr);
    ASSERT_NE(app.m_pGridFrame, nullptr);
    auto* graph = app.m_pGraphFrame;
    ASSERT_EQ(app.RunAnalysis(), S_OK);
    EXPECT_EQ(app.m_pGraphFrame, graph);
    EXPECT_EQ(frame->GetChildFrames().size(), 2u);
    EXPECT_EQ(app.RegisterCallback("junk"), E_FAIL);
    EXPECT_TRUE(app.CallerWindow().IsNull());
    // The system close box of a child frame does nothing.
    app.m_pGridFrame->GetSubWindow()->close();
    Settle();
    EXPECT_NE(app.m_pGridFrame, nullptr);
}

// ---- the grid window ---------------------------------------------------------------

class CrxGrid : public CrxFixture {
protected:
    void SetUp() override {
        CrxFixture::SetUp();
        Open();
        grid = app.m_pGridFrame->Grid();
        control = grid->Control();
    }
    QString Text(int row, int col) const {
        QString t;
        control->GetText(row, col, t);
        return t;
    }
    double Number(int row, int col) const {
        double v = 0;
        control->GetNumber(row, col, v);
        return v;
    }
    void ShowCurve(int c) {
        app.m_pGridFrame->Bar()->Tabs()->setCurrentIndex(c);
        Settle();
    }
    CCurveGridWnd* grid = nullptr;
    qs::ss::SpreadsheetControl* control = nullptr;
};

TEST(CrxGridRows, RowsReachTheCutoff) {
    CTailFactorAnalysis a(1.0, 1.0);
    a.SetNumPoints(5);
    a.SetCutoff(0, 10.0);
    EXPECT_EQ(CCurveGridWnd::RowCount(a, 0), 10);
    a.SetCutoff(0, 9.9999995);
    EXPECT_EQ(CCurveGridWnd::RowCount(a, 0), 10) << "a millionth of tolerance";
    // A step that is not positive never reaches the cutoff: only the points.
    a.SetAgeIncrement(0.0);
    EXPECT_EQ(CCurveGridWnd::RowCount(a, 0), 5);
    a.SetAgeIncrement(1e-12);
    EXPECT_EQ(CCurveGridWnd::RowCount(a, 0), CCurveGridWnd::kMaxRows);
}

TEST_F(CrxGrid, FillsPointsAndFittedFactorsUpToTheCutoff) {
    EXPECT_EQ(control->MaxRow(), 20);
    EXPECT_EQ(Number(1, 1), 1.0);
    EXPECT_EQ(Number(20, 1), 20.0);
    EXPECT_EQ(Number(1, 2), 1.5);
    EXPECT_EQ(Text(9, 2), "") << "no point below row 8";
    EXPECT_EQ(Text(1, 3), "");
    const CTailFactorAnalysis w = app.GetWorking();
    EXPECT_NEAR(Number(10, 5), w.GetIncFactor(0, 10.0), 1e-12);
    EXPECT_NEAR(Number(10, 6), w.GetCumFactor(0, 10.0), 1e-12);
    EXPECT_TRUE(w.IsCurveFitted(0)) << "the recalculation ran";
}

TEST_F(CrxGrid, ClickOnExcludeTogglesOncePerClick) {
    grid->OnClick(3, 4);
    Settle();
    EXPECT_TRUE(app.GetWorking().GetExclude(0, 2));
    EXPECT_EQ(Text(3, 4), "X");
    // A double click starts an edit after its click: the edit is refused
    // and toggles nothing more.
    EXPECT_FALSE(grid->OnStartEdit(3, 4));
    Settle();
    EXPECT_TRUE(app.GetWorking().GetExclude(0, 2));
    grid->OnClick(3, 4);
    Settle();
    EXPECT_FALSE(app.GetWorking().GetExclude(0, 2));
    EXPECT_FALSE(app.GetWorking().GetExclude(1, 2)) << "other curves untouched";
    // Rows below the points and other columns do nothing.
    grid->OnClick(12, 4);
    grid->OnClick(3, 2);
    EXPECT_TRUE(grid->OnStartEdit(3, 3));
    EXPECT_FALSE(grid->OnStartEdit(12, 3));
    EXPECT_FALSE(grid->OnStartEdit(3, 5));
}

TEST_F(CrxGrid, InvalidPointStaysExcluded) {
    CTailFactorAnalysis a = SampleAnalysis();
    a.SetValue(0, true, 1, 0.7);
    Open(a);
    ASSERT_TRUE(app.GetWorking().GetExclude(0, 1));
    grid->OnClick(2, 4);
    EXPECT_TRUE(grid->OnKeyDown(2, 4, Qt::Key_Delete));
    Settle();
    EXPECT_TRUE(app.GetWorking().GetExclude(0, 1));
    // A typed modified value makes it usable; clearing it excludes it again.
    grid->OnEndEdit(2, 3, "1.3");
    Settle();
    EXPECT_EQ(app.GetWorking().GetValue(0, false, 1), 1.3);
    EXPECT_FALSE(app.GetWorking().GetExclude(0, 1));
    EXPECT_EQ(Number(2, 3), 1.3);
    EXPECT_TRUE(grid->OnKeyDown(2, 3, Qt::Key_Delete));
    Settle();
    EXPECT_EQ(app.GetWorking().GetValue(0, false, 1), 0.0);
    EXPECT_TRUE(app.GetWorking().GetExclude(0, 1));
    EXPECT_FALSE(grid->OnKeyDown(2, 3, Qt::Key_A));
}

TEST_F(CrxGrid, TypedValuesFollowTheCurveShown) {
    ShowCurve(1);
    EXPECT_EQ(app.MainFrame()->SendMessage(MSG_GET_CURVE), 1);
    grid->OnEndEdit(4, 3, "(1.2)");  // reads as -1.2: invalid, so excluded
    Settle();
    const CTailFactorAnalysis w = app.GetWorking();
    EXPECT_EQ(w.GetValue(1, false, 3), -1.2);
    EXPECT_TRUE(w.GetExclude(1, 3));
    EXPECT_FALSE(w.GetExclude(0, 3));
    EXPECT_EQ(Text(4, 4), "X") << "the grid shows the Exponential curve";
    ShowCurve(0);
    EXPECT_EQ(Text(4, 4), "");
}

TEST_F(CrxGrid, FormulaPanelsShowTheFitAndSetConstantAndCutoff) {
    CFormulaPanel* panel = app.m_pGridFrame->Bar()->Panel(0);
    EXPECT_EQ(panel->GetDlgItemText(1014), "20") << "precision 0 without a caller, not trimmed further";
    EXPECT_FALSE(app.m_pGridFrame->Bar()->Panel(1)->GetDlgItem(1019)->isVisibleTo(app.m_pGridFrame->Bar()->Panel(1)))
        << "the Exponential curve has no constant";

    struct Case {
        CValueDlg::Kind kind;
        const char* text;
        const char* message;  // null: accepted
    };
    const Case cases[] = {
        {CValueDlg::Cutoff, "255.5", crx::kMsgCutoffTooLarge},
        {CValueDlg::Cutoff, "", crx::kMsgEmpty},
        {CValueDlg::Cutoff, "1.2.3", crx::kMsgNotNumeric},
        {CValueDlg::Cutoff, "255", nullptr},
        {CValueDlg::Constant, "-1", crx::kMsgConstantTooSmall},
        {CValueDlg::Constant, "-0.5", nullptr},
    };
    for (const Case& c : cases) {
        MessageBoxScript boxes;
        ModalScript script;
        script.Then<CValueDlg>([&c](CValueDlg& d) {
            d.SetDlgItemText(1019, c.text);
            d.OnOK();
            if (d.isVisible()) d.OnCancel();
        });
        if (c.kind == CValueDlg::Cutoff) panel->OnCutoff();
        else panel->OnConstant();
        Settle();
        if (c.message) {
            ASSERT_EQ(boxes.Count(), 1u) << c.text;
            EXPECT_EQ(boxes.Last().text, QString(c.message)) << c.text;
            EXPECT_EQ(boxes.Last().icon, UINT(MB_ICONINFORMATION));
        } else {
            EXPECT_EQ(boxes.Count(), 0u) << c.text;
        }
    }
    EXPECT_EQ(app.GetWorking().GetCutoff(0), 255.0);
    EXPECT_EQ(app.GetWorking().GetConstant(0), -0.5);
    EXPECT_EQ(control->MaxRow(), 255);
    EXPECT_EQ(panel->GetDlgItemText(1014), "255");

    // A cutoff below the last data age is refused by the analysis.
    MessageBoxScript boxes;
    ModalScript script;
    script.Then<CValueDlg>([](CValueDlg& d) {
        d.SetDlgItemText(1019, "3");
        d.OnOK();
    });
    panel->OnCutoff();
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, QString(crx::kMsgCutoffRefused));
    EXPECT_EQ(app.GetWorking().GetCutoff(0), 255.0);
}

// ---- copies and commands ------------------------------------------------------------

TEST_F(CrxGrid, ApplyStoresTheChosenCurvesAndCancelledApplyStays) {
    grid->OnClick(2, 4);
    Settle();
    {
        ModalScript script;
        script.Then<CApplyDlg>([](CApplyDlg& d) { d.OnCancel(); });
        frame->SendMessage(WM_CLOSE);
    }
    EXPECT_TRUE(frame->isVisible()) << "cancelling the Apply dialog keeps the program open";
    EXPECT_FALSE(app.GetSaved().GetExclude(0, 1));
    {
        ModalScript script;
        script.Then<CApplyDlg>([](CApplyDlg& d) {
            d.CheckDlgButton(1001, 1);
            d.OnOK();
        });
        frame->OnApply();
    }
    const CTailFactorAnalysis s = app.GetSaved();
    EXPECT_TRUE(s.GetExclude(0, 1));
    EXPECT_FALSE(s.IsCurveEnabled(0));
    EXPECT_TRUE(s.IsCurveEnabled(1));
    EXPECT_FALSE(s.IsCurveEnabled(2));
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(CrxGrid, ResetRestoresOnlyTheCurveShown) {
    CTailFactorAnalysis w = app.GetWorking();
    for (int c = 0; c < 3; ++c) {
        w.SetExclude(c, 0, true);
        w.SetValue(c, false, 1, 1.25);
        w.SetCutoff(c, 30.0);
    }
    w.SetConstant(2, 0.5);
    app.SetWorking(w);
    ShowCurve(1);
    frame->OnReset();
    Settle();
    const CTailFactorAnalysis r = app.GetWorking();
    EXPECT_FALSE(r.GetExclude(1, 0));
    EXPECT_EQ(r.GetValue(1, false, 1), 0.0);
    EXPECT_EQ(r.GetCutoff(1), 20.0);
    EXPECT_TRUE(r.GetExclude(0, 0)) << "the other curves keep their edits";
    EXPECT_EQ(r.GetCutoff(2), 30.0);
    EXPECT_EQ(r.GetConstant(2), 0.5);
}

TEST_F(CrxGrid, PasteReadsModifiedAndExcludeColumns) {
    CTailFactorAnalysis a = SampleAnalysis();
    a.SetValue(0, true, 3, 0.5);  // invalid: stays excluded whatever is pasted
    Open(a);
    control->SetSelection(1, 1, 1, 2);
    EXPECT_FALSE(frame->CanPaste());
    control->SetSelection(1, 3, 2, 4);
    EXPECT_TRUE(frame->CanPaste());
    control->SetText(1, 4, "X");
    control->SetText(2, 4, "x");
    control->SetText(3, 3, "1.7");
    control->SetText(4, 4, "");
    const CTailFactorAnalysis w = grid->ReadPasted(app.GetWorking(), 0);
    EXPECT_TRUE(w.GetExclude(0, 0)) << "\"X\" excludes";
    EXPECT_FALSE(w.GetExclude(0, 1)) << "anything else includes";
    EXPECT_EQ(w.GetValue(0, false, 2), 1.7);
    EXPECT_TRUE(w.GetExclude(0, 3));
}

// ---- the graph window ---------------------------------------------------------------

class CrxGraph : public CrxFixture {
protected:
    void SetUp() override {
        CrxFixture::SetUp();
        Open();
        graph = app.m_pGraphFrame->Graph();
        chart = graph->Chart();
    }
    CCurveGraphWnd* graph = nullptr;
    qs::chart::ChartControl* chart = nullptr;
};

TEST(CrxGraphRanges, AutomaticRanges) {
    CTailFactorAnalysis a(1.0, 1.0);
    a.SetNumPoints(3);
    for (int c = 0; c < 3; ++c) a.SetValue(c, true, 0, 1.234);
    a.SetCutoff(0, 12.2);
    a.SetCutoff(1, 30.0);
    a.SetCutoff(2, 18.5);
    auto r = CCurveGraphWnd::AutomaticRanges(a);
    EXPECT_EQ(r.xMin, 0.0);
    EXPECT_EQ(r.xMax, 30.0);
    EXPECT_EQ(r.xDivisions, 10);
    EXPECT_EQ(r.yMin, 1.0);
    EXPECT_NEAR(r.yMax, 1.3, 1e-12);
    EXPECT_EQ(r.yDivisions, 3);
    a.SetValue(0, true, 0, 1.7);
    EXPECT_EQ(CCurveGraphWnd::AutomaticRanges(a).yDivisions, 7) << "counted in whole tenths";
    a.SetFitNegative(true);
    r = CCurveGraphWnd::AutomaticRanges(a);
    EXPECT_EQ(r.yMin, 0.0);
    EXPECT_EQ(r.yMax, 1.1);
    EXPECT_EQ(r.yDivisions, 11);

    // No usable first value, and no points at all: still a range to draw.
    a.SetFitNegative(false);
    a.SetValue(0, true, 0, 0.9);
    a.SetValue(0, true, 1, 1.45);
    r = CCurveGraphWnd::AutomaticRanges(a);
    EXPECT_NEAR(r.yMax, 1.5, 1e-12);
    EXPECT_GT(r.yMax, r.yMin);
    CTailFactorAnalysis empty;
    r = CCurveGraphWnd::AutomaticRanges(empty);
    EXPECT_GT(r.yMax, r.yMin);
    EXPECT_GT(r.xMax, r.xMin);
    EXPECT_GE(r.yDivisions, 1);
}

TEST_F(CrxGraph, CurvesAreSeriesAndMarkersSitOnThePoints) {
    EXPECT_EQ(chart->SeriesCount(), 3);
    EXPECT_EQ(chart->Title(), "Duvi Rozire Vididaze Graph");
    EXPECT_EQ(chart->Series(1)->penColor, QColor(0, 0, 255));
    EXPECT_EQ(chart->Series(3)->penColor, QColor(255, 0, 255));
    const CTailFactorAnalysis w = app.GetWorking();
    // Every drawn sample of a curve is the curve's fitted factor.
    for (int row = 1; row <= chart->Data().Rows(); row += 37) {
        double x = 0, y = 0;
        bool nx = true, ny = true;
        chart->GetData(row, 1, &x, &nx);
        chart->GetData(row, 2, &y, &ny);
        if (!ny) {
            EXPECT_NEAR(y, w.GetIncFactor(0, x), 1e-12);
        }
    }
    const auto& markers = graph->Markers();
    ASSERT_EQ(markers.size(), 8u);
    for (int i = 1; i < 8; ++i) {  // point 0 (1, 1.5) sits on the top edge
        QPointF at;
        ASSERT_TRUE(chart->ValueToPosition(w.GetAge(i), w.GetEffectiveValue(0, i), &at));
        ASSERT_TRUE(markers[size_t(i)]->isVisible()) << i;
        EXPECT_NEAR(markers[size_t(i)]->geometry().center().x() + 0.5, at.x(), 1.0) << i;
        EXPECT_NEAR(markers[size_t(i)]->geometry().center().y() + 0.5, at.y(), 1.0) << i;
    }
    EXPECT_EQ(markers[2]->Label(), "(3, 1.1)");
}

TEST_F(CrxGraph, ToggledCurveHidesItsLineNotTheMarkers) {
    QCheckBox* weibull = qobject_cast<QCheckBox*>(app.m_pGraphFrame->Bar()->GetDlgItem(1003));
    ASSERT_NE(weibull, nullptr);
    weibull->click();
    Settle();
    EXPECT_TRUE(chart->Series(3)->hidden);
    EXPECT_FALSE(chart->Series(1)->hidden);
    EXPECT_FALSE(weibull->isChecked());
    EXPECT_EQ(app.m_pGraphFrame->SendMessage(MSG_IS_CURVE_SHOWN, 2), 0);
    EXPECT_TRUE(graph->Markers()[3]->isVisible());
}

TEST_F(CrxGraph, ExcludeAndModifyFromAPoint) {
    CPointMarkerWnd* marker = graph->Markers()[4].get();
    marker->OnExclude();
    Settle();
    for (int c = 0; c < 3; ++c) EXPECT_TRUE(app.GetWorking().GetExclude(c, 4)) << c;
    EXPECT_FALSE(marker->isVisible()) << "an excluded point shows no cross";

    app.m_pGridFrame->Bar()->Tabs()->setCurrentIndex(1);
    Settle();
    ModalScript script;
    script.Then<CModifyPointDlg>([](CModifyPointDlg& d) {
        EXPECT_NEAR(d.GetDlgItemText(1003).toDouble(), 1.2, 1e-6);
        d.SetDlgItemText(1004, "1.25");
        d.OnOK();
    });
    graph->Markers()[1]->OnModify();
    Settle();
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(app.GetWorking().GetValue(c, false, 1), 1.25, 1e-6) << c;
}

TEST_F(CrxGraph, ZoomNeedsMoreThanTenPixelsAndResets) {
    const QRect plot = chart->PlotRect();
    const QPoint start = plot.center();
    graph->OnLeftDown(start);
    graph->OnMouseMove(start + QPoint(10, 50), true);
    graph->OnLeftUp();
    double x0 = 0, x1 = 0;
    chart->AxisRange(qs::chart::AxisX, &x0, &x1);
    EXPECT_EQ(x1, 20.0) << "10 x 50 does not zoom";
    EXPECT_TRUE(graph->ZoomRect().isEmpty());

    graph->OnLeftDown(start);
    graph->OnMouseMove(start + QPoint(11, 11), true);
    graph->OnLeftUp();
    chart->AxisRange(qs::chart::AxisX, &x0, &x1);
    EXPECT_LT(x1 - x0, 20.0);
    EXPECT_EQ(chart->AxisScale(qs::chart::AxisX).majorDivisions, 4);
    // The zoom survives an edit; Reset Zoom returns to the automatic ranges.
    graph->Markers()[2]->OnExclude();
    Settle();
    double z0 = 0, z1 = 0;
    chart->AxisRange(qs::chart::AxisX, &z0, &z1);
    EXPECT_EQ(z0, x0);
    EXPECT_EQ(z1, x1);
    qobject_cast<QPushButton*>(app.m_pGraphFrame->Bar()->GetDlgItem(1028))->click();
    Settle();
    chart->AxisRange(qs::chart::AxisX, &z0, &z1);
    EXPECT_EQ(z1, 20.0);
    // A drag that leaves the plot keeps the last rectangle inside it.
    graph->OnLeftDown(start);
    graph->OnMouseMove(start + QPoint(30, 30), true);
    graph->OnMouseMove(QPoint(plot.right() + 40, start.y() + 30), true);
    EXPECT_EQ(graph->ZoomRect().size(), QSize(30, 30));
    graph->OnLeftUp();
}

TEST_F(CrxGraph, BarShowsFitAndFitBelowOneRecomputesExclusions) {
    CCurveGraphBar* bar = app.m_pGraphFrame->Bar();
    const CTailFactorAnalysis w = app.GetWorking();
    EXPECT_EQ(bar->GetDlgItemText(1021), crx::FormatNumber(w.GetRSquared(0), 0));
    EXPECT_EQ(bar->GetDlgItemText(1026), crx::FormatNumber(w.GetTail(2), 0));
    // A valid point the user excluded comes back; every point above 1 is
    // invalid for fits below 1.
    graph->Markers()[3]->OnExclude();
    Settle();
    bar->OnFitNegative(true);
    Settle();
    EXPECT_TRUE(app.GetWorking().GetExclude(0, 0));
    bar->OnFitNegative(false);
    Settle();
    EXPECT_FALSE(app.GetWorking().GetExclude(0, 3));
    EXPECT_FALSE(app.GetWorking().GetFitNegative());
}

}  // namespace

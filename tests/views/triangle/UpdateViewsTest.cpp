// The update pass over the input arrays and the data-adjustment view.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPrinter>
#include <QTemporaryDir>

#include "CDataObject.h"
#include "CPrintPageState.h"
#include "CProject.h"
#include "CTriang2View.h"
#include "CTriang4View.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "SpreadsheetControl.h"
#include "ViewPrinting.h"
#include "ViewSettings.h"
#include "ViewTestSupport.h"

using qs::fw::MessageBoxScript;
using qs::test::kPaidLoss;
using qs::test::TestProjectDoc;

namespace {

constexpr QSID kIncurredLoss = 101000011;
constexpr QSID kPaidAdjustments = 101010494;

QSID Layered(QSID id, unsigned short layer) {
    SetIDLayer(id, layer);
    return id;
}

template <typename View>
std::unique_ptr<View> Make(TestProjectDoc& doc, QSID id, unsigned short layer, const std::function<void(View&)>& before) {
    doc.SetPending(id, layer);
    auto view = std::make_unique<View>();
    view->SetAutoDelete(false);
    doc.AddView(view.get());
    view->resize(700, 400);
    view->show();
    before(*view);
    if (view->OnCreate() != 0) return nullptr;
    view->OnInitialUpdate();
    return view;
}

}  // namespace

// Each test starts from the views' default settings.
struct UpdateView : qs::test::ViewTest {};
struct DataAdjustmentView : qs::test::ViewTest {};

TEST_F(UpdateView, StepsThroughTheArraysThatTakeDataAndMarksTypedOnes) {
    g_bCalendarView = 1;
    TestProjectDoc doc;
    CProject& p = *doc.GetProject();
    for (QSID id : {kPaidLoss, kIncurredLoss}) {
        CDataObject* d = p.FindDataObject(id, NET);
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 5 - r; ++c) d->SetAt(r, c, 100.0 + r + c);
    }
    const QSIDArray ids = CTriang2View::CollectIds(p);
    ASSERT_GE(ids.size(), 2u);
    EXPECT_EQ(ids[0], Layered(kPaidLoss, NET));
    for (QSID id : ids) {
        const int kind = GetIDDOType(id), type = GetIDDataType(id);
        EXPECT_FALSE((kind == 1 || kind == 2) && (type == 1 || type == 7)) << id;
        EXPECT_FALSE(SameIDType(id, p.GetPayPatternID())) << id;
        EXPECT_FALSE(p.IsLayerCalculated(GetIDLayer(id))) << id;
    }

    QComboBox combo;
    {
        auto view = Make<CTriang2View>(doc, -1, 0, [&](CTriang2View& v) { v.SetArrayList(&combo); });
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(g_bCalendarView, 0);
        ASSERT_EQ(combo.count(), int(ids.size()));
        EXPECT_EQ(view->GetObjectID(), kPaidLoss);
        // The top cell of the newest diagonal: row 1, the last column of the first row.
        int activeRow = 0, activeCol = 0;
        view->GetCtrl()->GetActiveCell(activeRow, activeCol);
        EXPECT_EQ(activeRow, 1);
        EXPECT_EQ(activeCol, 5);
        // Enter walks down the diagonal.
        int row = 1, col = 5;
        ASSERT_EQ(view->MoveActiveCell(CTriangView::VK_RETURN, false, row, col, 0), 1);
        EXPECT_EQ(row, 2);
        EXPECT_EQ(col, 4);

        ASSERT_TRUE(view->SetAt(1, 5, "500", 500.0));
        EXPECT_TRUE(view->IsEdited(Layered(kPaidLoss, NET)));
        EXPECT_FALSE(view->IsEdited(ids[1]));
        view->OnBack();  // nothing before the first
        EXPECT_EQ(combo.currentIndex(), 0);
        view->OnNext();
        EXPECT_EQ(combo.currentIndex(), 1);
        EXPECT_EQ(view->GetObjectID(), GetLayerNeutralID(ids[1]));
        view->OnBack();
        EXPECT_EQ(view->GetObjectID(), kPaidLoss);
        EXPECT_TRUE(view->IsEdited(Layered(kPaidLoss, NET)));  // kept across moves
        double v = 0;
        std::uint8_t f = 0;
        p.FindDataObject(kPaidLoss, NET)->GetAt(0, 4, v, f);
        EXPECT_DOUBLE_EQ(v, 500.0);
        combo.setCurrentIndex(combo.count() - 1);
        view->OpenCurrentItem();
        view->OnNext();  // nothing after the last
        EXPECT_EQ(combo.currentIndex(), combo.count() - 1);
    }
    // The views get their calendar layout back when the pass ends.
    EXPECT_EQ(g_bCalendarView, 1);
}

TEST_F(UpdateView, NothingToUpdateIsSaidAndNoWindowOpens) {
    TestProjectDoc doc;
    MessageBoxScript boxes;
    QComboBox combo;
    auto view = Make<CTriang2View>(doc, -1, 0, [&](CTriang2View& v) { v.SetArrayList(&combo); });
    EXPECT_EQ(view, nullptr);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, "New Evaluation added.\r\nNo Tables with data to update.");
}

TEST_F(DataAdjustmentView, FootnoteParsing) {
    QString d, a;
    ASSERT_TRUE(CTriang4View::ParseFootnote(CTriang4View::MakeFootnote("2004", "36"), d, a));
    EXPECT_EQ(d, "2004");
    EXPECT_EQ(a, "36");
    // Labels holding brackets are read whole.
    ASSERT_TRUE(CTriang4View::ParseFootnote(CTriang4View::MakeFootnote("Q1]04", "[36]"), d, a));
    EXPECT_EQ(d, "Q1]04");
    EXPECT_EQ(a, "[36]");
    EXPECT_FALSE(CTriang4View::ParseFootnote("no parameters", d, a));
    EXPECT_EQ(CTriang4View::HiddenColumnCount(5, 4), 0);  // the newest diagonal hides nothing
    EXPECT_EQ(CTriang4View::HiddenColumnCount(5, 0), 4);  // the oldest all but the last
}

TEST_F(DataAdjustmentView, NewestFirstFootnoteDrivenHidingOnScreenAndInPrint) {
    TestProjectDoc doc;
    CProject& p = *doc.GetProject();
    CDataObject* pda = p.FindDataObject(kPaidAdjustments, NET);
    ASSERT_NE(pda, nullptr);
    QSStringArray calendar;
    std::string caption;
    const short all = -1;
    p.GetLabels(calendar, LBL_CALENDAR, caption, all);
    ASSERT_EQ(calendar.size(), 5u);

    QComboBox diagonal, cutOff;
    auto view = Make<CTriang4View>(doc, kPaidAdjustments, NET, [&](CTriang4View& v) { v.SetLists(&diagonal, &cutOff); });
    ASSERT_NE(view, nullptr);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    EXPECT_EQ(ctrl->ColHeadingText(1).toStdString(), calendar.back());  // newest first
    EXPECT_EQ(ctrl->ColHeadingText(5).toStdString(), calendar.front());
    ASSERT_EQ(diagonal.count(), 5);
    EXPECT_EQ(diagonal.currentIndex(), 4);  // no footnote: the newest diagonal

    // The first value typed stores the default parameters.
    std::string footnote;
    pda->GetFootnoteString(footnote);
    EXPECT_TRUE(footnote.empty());
    ASSERT_TRUE(view->SetAt(1, 1, "1.5", 1.5));
    pda->GetFootnoteString(footnote);
    EXPECT_EQ(QString::fromStdString(footnote),
              CTriang4View::MakeFootnote(diagonal.itemText(4), cutOff.itemText(cutOff.count() - 1)));
    for (int c = 1; c <= 5; ++c) EXPECT_GT(ctrl->GetColWidth(c), 0) << c;

    // Choosing the oldest diagonal hides every column but the last.
    diagonal.setCurrentIndex(0);
    view->OnAdjustmentChanged();
    for (int c = 1; c <= 4; ++c) EXPECT_EQ(ctrl->GetColWidth(c), 0) << c;
    EXPECT_GT(ctrl->GetColWidth(5), 0);
    pda->GetFootnoteString(footnote);
    EXPECT_TRUE(QString::fromStdString(footnote).contains("Diagonal=[" + QString::fromStdString(calendar.front()) + "]"));

    // A footnote naming existing labels is kept as it is.
    const QString kept = CTriang4View::MakeFootnote(diagonal.itemText(2), cutOff.itemText(1));
    pda->SetFootnoteString(kept.toStdString());
    ASSERT_TRUE(view->ApplyAdjustment());
    pda->GetFootnoteString(footnote);
    EXPECT_EQ(QString::fromStdString(footnote), kept);
    EXPECT_EQ(diagonal.currentIndex(), 2);
    EXPECT_EQ(cutOff.currentIndex(), 1);

    // Printed with the same hidden columns: values only in the visible ones.
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5 - r; ++c) pda->SetAt(r, c, 1.0 + 0.1111 * (c + 1));
    ASSERT_TRUE(view->ApplyAdjustment());
    std::vector<bool> shown;
    for (int c = 1; c <= 5; ++c) shown.push_back(ctrl->GetColWidth(c) > 0);
    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("pda.pdf"));
    CPrintPageState state;
    MessageBoxScript boxes;
    ASSERT_GT(qs::views::PrintObjectView(*view, printer, state), 0);
    const QString text = qs::test::PdfText(dir.filePath("pda.pdf"));
    ASSERT_FALSE(text.isEmpty());
    for (int c = 1; c <= 5; ++c) {
        // Grid column c holds object column 5 - c.
        const QString value = QString::number(1.0 + 0.1111 * (5 - c + 1), 'f', 4).left(4);
        EXPECT_EQ(text.contains(value), bool(shown[std::size_t(c - 1)])) << c << " " << value.toStdString();
    }
    // The screen keeps its hiding after the print.
    for (int c = 1; c <= 5; ++c) EXPECT_EQ(ctrl->GetColWidth(c) > 0, bool(shown[std::size_t(c - 1)])) << c;
}

// The base view's protocol, exercised through the triangle view (the base
// itself lays out nothing) and through a view that records the refresh calls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>

#include "CDataObject.h"
#include "CObjectViewGrid.h"
#include "CTriangView.h"
#include "MessageBox.h"
#include "SpreadsheetControl.h"
#include "ViewSettings.h"
#include "ViewTestSupport.h"

using qs::test::kPaidLoss;
using qs::test::TestProjectDoc;

namespace {

using ObjectViewGridTest = qs::test::ViewTest;

struct ObjectViewTest : qs::test::ViewTest {
    void SetUp() override {
        ViewTest::SetUp();
        OpenTablesAsStored();
    }
    CDataObject* Paid(unsigned short layer) { return doc.GetProject()->FindDataObject(kPaidLoss, layer); }
    TestProjectDoc doc;
};

// Records the reload calls a refresh makes.
class RecordingView : public CObjectView {
public:
    std::vector<std::string> calls;
    BOOL UpdateData(BOOL save) override {
        calls.push_back(save ? "save" : "load");
        return TRUE;
    }
    BOOL GetDataR(int row) override {
        calls.push_back("R" + std::to_string(row));
        return TRUE;
    }
    BOOL GetDataC(int col) override {
        calls.push_back("C" + std::to_string(col));
        return TRUE;
    }
    BOOL GetDataRC(int row, int col) override {
        calls.push_back("RC" + std::to_string(row) + "," + std::to_string(col));
        return TRUE;
    }
};

TEST_F(ObjectViewTest, OpensTheObjectAsItsWindowAndClosesIt) {
    {
        auto view = doc.Open<CTriangView>(kPaidLoss, NET);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->GetObject(), Paid(NET));
        EXPECT_EQ(Paid(NET)->GetViewedCount(), 1);
    }
    EXPECT_EQ(Paid(NET)->GetViewedCount(), 0);
    EXPECT_EQ(doc.Open<CTriangView>(999999, NET), nullptr);
}

TEST_F(ObjectViewTest, RefreshKindsReachTheReloads) {
    doc.SetPending(kPaidLoss, NET);
    RecordingView view;
    view.SetAutoDelete(false);
    view.SetObjectDocument(&doc);
    ASSERT_EQ(view.OnCreate(), 0);
    view.CreateSS(new CObjectViewGrid(&view));
    g_bObjectRefreshed = 0;
    EXPECT_EQ(view.OnRefresh(4, 12 * 10000 + 3), 0);
    EXPECT_EQ(g_bObjectRefreshed, 1);
    EXPECT_EQ(view.OnRefresh(2, 30004), 0);
    EXPECT_EQ(view.OnRefresh(3, 30004), 0);
    EXPECT_EQ(view.OnRefresh(1, 0), 0);
    EXPECT_EQ(view.OnRefresh(7, 5), 0);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"RC12,3", "R3", "C4", "load"}));
    // The kernel's own notice of a changed cell arrives the same way.
    view.calls.clear();
    Paid(NET)->SetAt(1, 2, 5.0);
    ASSERT_FALSE(view.calls.empty());
    EXPECT_EQ(view.calls.front(), "RC1,2");
}

TEST_F(ObjectViewTest, SetAtStoresTextsAndNumbers) {
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    CDataObject* paid = Paid(NET);
    QSSTATUS status = 0;
    paid->ViewCumulative(1, status, 0);
    struct Case {
        const char* text;
        double value;
        bool blank, avail;
        double stored;
    };
    const Case cases[] = {
        {"12", 0.0, false, true, 12.0},
        {"", 0.0, true, false, 0.0},
        {"#n/a", 0.0, false, false, 0.0},
        {"1,234.5", 0.0, false, true, 1234.5},
        {"(7)", 0.0, false, true, -7.0},
        {"ignored", 42.0, false, true, 42.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(view->SetAt(1, 1, QString::fromLatin1(c.text), c.value));
        double v = 0.0;
        std::uint8_t flags = 0;
        ASSERT_EQ(paid->GetAt(0, 0, v, flags), 0);
        EXPECT_EQ((flags & CDataObject::CF_VALUE) != 0, !c.blank && c.avail);
        EXPECT_EQ(paid->IsCellAvail(0, 0), c.avail || c.blank);
        if (flags & CDataObject::CF_VALUE) {
            EXPECT_DOUBLE_EQ(v, c.stored);
        }
    }
    // A cell outside the triangle is refused.
    EXPECT_FALSE(view->SetAt(5, 5, QStringLiteral("1"), 0.0));
}

TEST_F(ObjectViewTest, WriteCellShowsFlagsAndMarks) {
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    QString text;
    // A value without the "holds a value" flag shows nothing.
    ASSERT_EQ(CObjectView::WriteCell(view->GetHost(), 2, 2, 9.0, 0), 0);
    ctrl->GetText(2, 2, text);
    EXPECT_TRUE(text.trimmed().isEmpty());
    ASSERT_EQ(CObjectView::WriteCell(view->GetHost(), 2, 2, 9.0, 1 | 2 | 8), 0);
    double v = 0;
    ctrl->GetNumber(2, 2, v);
    EXPECT_EQ(v, 9.0);
    ctrl->SetActiveCell(2, 2);
    int pattern = 0;
    QColor fg, bg;
    ctrl->GetPattern(pattern, fg, bg);
    EXPECT_EQ(pattern, 4);
    EXPECT_EQ(bg, qs::ss::ColorFromRef(0xFFFF00));  // cyan
}

TEST_F(ObjectViewTest, CopyJoinsCellsWithTabsAndRowsWithLineFeeds) {
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    ctrl->SetNumberFormat(QString());
    ctrl->SetText(1, 1, QStringLiteral("a"));
    ctrl->SetText(1, 2, QStringLiteral("b"));
    ctrl->SetText(2, 1, QStringLiteral("c"));
    ctrl->SetText(2, 2, QStringLiteral("d"));
    ctrl->SetSelection(1, 1, 2, 2);
    view->OnEditCopy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("a\tb\nc\td"));
    // Paste is offered for a block, never for the whole sheet.
    EXPECT_TRUE(view->CanPaste());
    ctrl->SetSelection(1, 1, CObjectView::kMaxGridRows, CObjectView::kMaxGridCols);
    EXPECT_FALSE(view->CanPaste());
}

TEST_F(ObjectViewTest, ZoomStaysWithinTenToFourHundred) {
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    auto& scale = qs::views::Settings().scale;
    scale = 25;
    view->OnZoomOut();
    EXPECT_EQ(scale, 15);
    view->OnZoomOut();
    EXPECT_EQ(scale, 10);  // not 5
    EXPECT_EQ(view->GetCtrl()->ViewScale(), 10);
    view->OnZoomOut();
    EXPECT_EQ(scale, 10);
    scale = 395;
    view->OnZoomIn();
    EXPECT_EQ(scale, 400);
    view->OnZoomIn();
    EXPECT_EQ(scale, 400);
    EXPECT_EQ(view->GetCtrl()->ViewScale(), 400);
    // The commands are disabled at the ends.
    CCmdUI in, out;
    in.m_nID = ID_VIEW_ZOOMIN;
    out.m_nID = ID_VIEW_ZOOMOUT;
    in.DoUpdate(view.get(), FALSE);
    EXPECT_FALSE(in.m_enabled);
    scale = 10;
    out.DoUpdate(view.get(), FALSE);
    EXPECT_FALSE(out.m_enabled);
}

TEST_F(ObjectViewTest, CaptionNamesObjectLayerFootnoteAndPresentation) {
    CDataObject* paid = Paid(NET);
    paid->SetFootnoteString("source: ledger");
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    const QString name = QString::fromStdString(paid->GetIDName(-1));
    QSSTATUS status = 0;
    paid->ViewCumulative(1, status, 1);
    EXPECT_EQ(view->GetCaption(), QStringLiteral("Test.qsp: ") + name + QStringLiteral(" (Net)* - Cumulative"));
    EXPECT_EQ(view->GetFootnote(), QStringLiteral("source: ledger"));
    paid->ViewCumulative(0, status, 1);
    EXPECT_TRUE(view->GetCaption().endsWith(QStringLiteral(" - Incremental")));
    qs::views::Settings().fileMode = 0;  // database mode: no document title
    view->UpdateCaption();
    EXPECT_TRUE(view->GetCaption().startsWith(name));
}

TEST_F(ObjectViewGridTest, TypedEntriesWithLettersAreRefused) {
    struct Case {
        const char* text;
        bool accepted;
    };
    for (const Case& c : {Case{"123", true}, Case{"(1,234.50)", true}, Case{"-7", true}, Case{"=A1+2", true},
                          Case{"12a", false}, Case{"words", false}, Case{"", true}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CObjectViewGrid::IsAcceptableEntry(QString::fromLatin1(c.text)), c.accepted);
    }
}

// A triangle view that counts the entries reaching the object.
class CountingView : public CTriangView {
public:
    int stores = 0;
    BOOL SetAt(int row, int col, const QString& text, double value, CFormula* object = nullptr) override {
        ++stores;
        return CTriangView::SetAt(row, col, text, value, object);
    }
};

TEST_F(ObjectViewTest, TypedAndPastedCellsReachTheObjectOnceEach) {
    auto view = doc.Open<CountingView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    double v = 0;
    std::uint8_t flags = 0;

    ctrl->SetSelection(1, 1, 1, 1);
    ctrl->SetActiveCell(1, 1);
    ASSERT_EQ(ctrl->StartEdit(QStringLiteral("(1,234.5)"), true), 0);
    ctrl->EndEdit();
    EXPECT_EQ(view->stores, 1);
    ASSERT_EQ(Paid(NET)->GetAt(0, 0, v, flags), 0);
    EXPECT_EQ(v, -1234.5);

    view->stores = 0;
    QApplication::clipboard()->setText(QStringLiteral("7\t#N/A"));
    ctrl->SetSelection(2, 1, 2, 1);
    ctrl->SetActiveCell(2, 1);
    view->OnEditPaste();
    EXPECT_EQ(view->stores, 2);
    ASSERT_EQ(Paid(NET)->GetAt(1, 0, v, flags), 0);
    EXPECT_EQ(v, 7.0);
    ASSERT_EQ(Paid(NET)->GetAt(1, 1, v, flags), 0);
    EXPECT_TRUE(flags & CDataObject::CF_NOTAVAIL);
}

TEST_F(ObjectViewTest, ShowGraphOpensTheObjectsGraph) {
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->OpenSourceTable());  // an entered table has no sources
    view->OnShowGraph();
    ASSERT_FALSE(doc.opened.empty());
    EXPECT_GE(doc.opened.back().first, 1000000000);
}

}  // namespace

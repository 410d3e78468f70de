// The book controls of dialogs: the plain one ignores double clicks once it
// was clicked; both keep their state when the focus leaves; the weights grid
// has its own clipboard keys and context menu, and the ultimate-weights
// dialog uses it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

#include <algorithm>
#include <memory>

#include "CF1Ctrl.h"
#include "CUltWeightsDlg.h"
#include "CommandIds.h"
#include "SpreadsheetControl.h"
#include "ViewTestSupport.h"

using namespace qs::ss;

namespace {

// The notifications a grid sent, by code.
struct Recorder {
    explicit Recorder(SpreadsheetControl* ctrl) {
        for (int code : {SSN_DblClick, SSN_KillFocus, SSN_KeyDown}) ctrl->EnableNotify(code, true);
        QObject::connect(ctrl, &SpreadsheetControl::Notified, ctrl,
                         [this](int code, int, int, Notification*) { codes.push_back(code); });
    }
    int Count(int code) const { return int(std::count(codes.begin(), codes.end(), code)); }
    std::vector<int> codes;
};

void SendMouse(SpreadsheetControl* ctrl, QEvent::Type type, Qt::MouseButton button, int row, int col) {
    const QPointF pos = ctrl->CellRect(row, col).center();
    QMouseEvent event(type, pos, ctrl->viewport()->mapToGlobal(pos), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(ctrl->viewport(), &event);
}

void SendKey(SpreadsheetControl* ctrl, int key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(ctrl, &event);
}

template <typename Book>
std::unique_ptr<QWidget> Host(Book*& book) {
    auto host = std::make_unique<QWidget>();
    host->resize(400, 300);
    book = new Book(host.get());
    book->CreateInParent(host.get());
    host->show();  // cells have a place on the screen
    QApplication::processEvents();
    return host;
}

void Fill(SpreadsheetControl* ctrl) {
    const char* texts[2][3] = {{"1", "2", "3"}, {"4", "5", "6"}};
    for (int r = 1; r <= 2; ++r)
        for (int c = 1; c <= 3; ++c) ctrl->SetEntry(r, c, QString::fromLatin1(texts[r - 1][c - 1]));
}

struct BookControls : qs::test::ViewTest {};

TEST_F(BookControls, ADoubleClickAfterAnyLeftClickDoesNothingInThePlainBook) {
    CF1Ctrl* book = nullptr;
    auto host = Host(book);
    SpreadsheetControl* ctrl = book->Ctrl();
    Recorder seen(ctrl);
    // Before any left click the grid has its double click.
    SendMouse(ctrl, QEvent::MouseButtonDblClick, Qt::LeftButton, 2, 2);
    EXPECT_EQ(seen.Count(SSN_DblClick), 1);
    // A right click is no left click.
    SendMouse(ctrl, QEvent::MouseButtonPress, Qt::RightButton, 1, 1);
    EXPECT_EQ(book->m_bLButtonDown, 0);
    SendMouse(ctrl, QEvent::MouseButtonPress, Qt::LeftButton, 1, 1);
    SendMouse(ctrl, QEvent::MouseButtonRelease, Qt::LeftButton, 1, 1);
    EXPECT_EQ(book->m_bLButtonDown, 1);
    int row = 0, col = 0;
    ctrl->GetActiveCell(row, col);
    EXPECT_EQ(row * 10 + col, 11) << "the click itself reaches the grid";
    SendMouse(ctrl, QEvent::MouseButtonDblClick, Qt::LeftButton, 2, 2);
    ctrl->EnableNotify(SSN_DblClick, false);  // a grid that would edit on a double click
    SendMouse(ctrl, QEvent::MouseButtonDblClick, Qt::LeftButton, 2, 2);
    EXPECT_EQ(seen.Count(SSN_DblClick), 1);
    EXPECT_FALSE(ctrl->IsEditing());

    // The weights grid keeps its double clicks.
    CF1WeightsCtrl* weights = nullptr;
    auto other = Host(weights);
    Recorder weightsSeen(weights->Ctrl());
    SendMouse(weights->Ctrl(), QEvent::MouseButtonPress, Qt::LeftButton, 1, 1);
    SendMouse(weights->Ctrl(), QEvent::MouseButtonDblClick, Qt::LeftButton, 1, 1);
    EXPECT_EQ(weightsSeen.Count(SSN_DblClick), 1);
}

TEST_F(BookControls, LosingTheFocusReachesOnlyAPlainSpreadsheetWindow) {
    CF1Ctrl* book = nullptr;
    CF1WeightsCtrl* weights = nullptr;
    auto bookHost = Host(book);
    auto weightsHost = Host(weights);
    auto plain = std::make_unique<CSpreadsheetWnd>();
    plain->CreateInParent(nullptr);
    for (SpreadsheetControl* ctrl : {book->Ctrl(), weights->Ctrl(), plain->Ctrl()}) {
        Recorder seen(ctrl);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(ctrl, &out);
        EXPECT_EQ(seen.Count(SSN_KillFocus), ctrl == plain->Ctrl() ? 1 : 0);
    }
}

TEST_F(BookControls, CtrlKeysCopyCutAndPasteTheWeightsGrid) {
    CF1WeightsCtrl* book = nullptr;
    auto host = Host(book);
    SpreadsheetControl* ctrl = book->Ctrl();
    Fill(ctrl);
    Recorder seen(ctrl);
    QClipboard* clipboard = QGuiApplication::clipboard();

    ctrl->SetSelection(1, 1, 2, 3);
    clipboard->clear();
    SendKey(ctrl, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "1\t2\t3\n4\t5\t6");
    EXPECT_EQ(seen.Count(SSN_KeyDown), 0) << "the grid never sees the key";

    // Upper case (Shift held) works the same; paste at the selection's corner.
    ctrl->SetSelection(4, 2, 4, 2);
    SendKey(ctrl, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    QString text;
    ctrl->GetText(5, 4, text);
    EXPECT_EQ(text.trimmed(), "6");

    // Cut copies, then clears the values.
    ctrl->SetSelection(1, 1, 1, 2);
    SendKey(ctrl, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "1\t2");
    ctrl->GetText(1, 1, text);
    EXPECT_TRUE(text.trimmed().isEmpty());
    ctrl->GetText(1, 3, text);
    EXPECT_EQ(text.trimmed(), "3");

    // Delete and Clear clear the selection's values; not in a read-only grid.
    ctrl->SetSelection(2, 1, 2, 1);
    book->SendMessage(WM_COMMAND, CF1WeightsCtrl::kCmdDelete);
    ctrl->GetText(2, 1, text);
    EXPECT_TRUE(text.trimmed().isEmpty());
    ctrl->SetGridSwitch(SSG_AllowEditing, false);
    ctrl->SetSelection(2, 2, 2, 2);
    book->OnEditDelete();
    ctrl->GetText(2, 2, text);
    EXPECT_EQ(text.trimmed(), "5");
}

TEST_F(BookControls, TheWeightsGridsContextMenuRunsItsCommandsOnTheGrid) {
    CF1WeightsCtrl* book = nullptr;
    auto host = Host(book);
    QApplication::setActiveWindow(host.get());
    SpreadsheetControl* ctrl = book->Ctrl();
    Fill(ctrl);
    ctrl->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(ctrl->hasFocus());

    struct Shown {
        QStringList texts;
        std::vector<bool> enabled;
        QPoint at;
    };
    std::vector<Shown> shown;
    UINT choice = 0;
    CF1WeightsCtrl::SetPopupChooser([&](QMenu& menu, const QPoint& pos) {
        Shown s;
        for (QAction* a : menu.actions()) {
            s.texts << a->text();
            s.enabled.push_back(a->isEnabled());
        }
        s.at = pos;
        shown.push_back(s);
        return choice;
    });
    const QPoint corner = book->mapToGlobal(QPoint(5, 5));

    // Not offered while the cells cannot be edited.
    ctrl->SetGridSwitch(SSG_AllowEditing, false);
    SendKey(ctrl, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(shown.empty());
    ctrl->SetGridSwitch(SSG_AllowEditing, true);

    // Shift+F10: at the corner; Paste only with text to paste and the focus here.
    QGuiApplication::clipboard()->clear();
    choice = ID_EDIT_COPY;
    ctrl->SetSelection(1, 2, 2, 3);
    SendKey(ctrl, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].texts, QStringList({"Cu&t", "&Copy", "&Paste"}));
    EXPECT_EQ(shown[0].enabled, std::vector<bool>({true, true, false}));
    EXPECT_EQ(shown[0].at, corner);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "2\t3\n5\t6");

    // The menu key: the corner again; Paste now enabled when the grid has the focus.
    choice = ID_EDIT_PASTE;
    ctrl->SetSelection(3, 1, 3, 1);
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(0, 0), QPoint(0, 0));
    QCoreApplication::sendEvent(ctrl, &key);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].at, corner);
    EXPECT_TRUE(shown[1].enabled[2]);
    QString text;
    ctrl->GetText(4, 2, text);
    EXPECT_EQ(text.trimmed(), "6");

    // A right click: at the pointer.
    choice = 0;
    const QPoint at = ctrl->viewport()->mapToGlobal(ctrl->CellRect(2, 2).center());
    QContextMenuEvent mouse(QContextMenuEvent::Mouse, ctrl->CellRect(2, 2).center(), at);
    QCoreApplication::sendEvent(ctrl->viewport(), &mouse);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].at, at);
    CF1WeightsCtrl::SetPopupChooser({});
}

TEST_F(BookControls, TheUltimateWeightsDialogsGridIsTheWeightsBook) {
    CUltWeightsDlg dialog(nullptr);
    auto* book = dynamic_cast<CF1WeightsCtrl*>(dialog.GetDlgItem(CUltWeightsDlg::IDC_BOOK));
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->Ctrl(), dialog.Grid());
    dialog.Grid()->SetNumber(1, 1, 0.5);
    dialog.Grid()->SetNumber(1, 2, 0.25);
    dialog.Grid()->SetSelection(1, 1, 1, 2);
    SendKey(dialog.Grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().remove(u' '), "0.5\t0.25");
}

}  // namespace

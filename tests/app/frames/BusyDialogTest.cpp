#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <chrono>
#include <memory>
#include <thread>

#include "frames/CBusyDialog.h"
#include "CFrameWnd.h"
#include "KernelGlobals.h"

namespace {

class BusyDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_owner = std::make_unique<CFrameWnd>();
        m_owner->show();
    }
    std::unique_ptr<CFrameWnd> m_owner;
};

TEST_F(BusyDialogTest, PercentLineWrapsAboveTheUpperBound) {
    CBusyDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr, false));
    const struct {
        int pos;
        const char* text;
    } cases[] = {{0, "0%"}, {37, "37%"}, {100, "100%"}, {150, "50%"}, {200, "0%"}, {99, "99%"}};
    for (const auto& c : cases) {
        dialog.SetPos(c.pos);
        EXPECT_EQ(dialog.PercentText(), c.text) << c.pos;
    }
    dialog.SetPosLower();
    EXPECT_EQ(dialog.PercentText(), "0%");
    dialog.SetPosUpper();
    EXPECT_EQ(dialog.PercentText(), "100%");
}

TEST_F(BusyDialogTest, CancelAndEnterNeverCloseItAndCancelIsReportedOnce) {
    CBusyDialog dialog(61465);
    dialog.m_strCancelCaption = "Stop";
    ASSERT_TRUE(dialog.Create(m_owner.get(), true));
    EXPECT_EQ(dialog.windowTitle(), "Export");
    EXPECT_TRUE(dialog.IsCancelShown());
    auto* cancel = qobject_cast<QPushButton*>(dialog.GetDlgItem(IDCANCEL));
    ASSERT_TRUE(cancel);
    EXPECT_EQ(cancel->text(), "Stop");

    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.CheckCancel());

    cancel->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.CheckCancel());
    EXPECT_FALSE(dialog.CheckCancel());

    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.CheckCancel());
}

TEST_F(BusyDialogTest, DefaultCaptionAndHiddenCancel) {
    CBusyDialog dialog;
    ASSERT_TRUE(dialog.Create(m_owner.get(), false));
    EXPECT_EQ(dialog.windowTitle(), "Status");
    EXPECT_FALSE(dialog.IsCancelShown());
    dialog.SetMessage("Flood filling");
    EXPECT_EQ(dialog.Message(), "Flood filling");
}

TEST_F(BusyDialogTest, NestedDialogsKeepTheOwnerDisabledUntilTheLastGoes) {
    auto first = std::make_unique<CBusyDialog>();
    ASSERT_TRUE(first->Create(m_owner.get(), false));
    EXPECT_FALSE(m_owner->isEnabled());
    EXPECT_EQ(CBusyDialog::Current(), first.get());

    auto second = std::make_unique<CBusyDialog>();
    ASSERT_TRUE(second->Create(m_owner.get(), true));
    EXPECT_EQ(CBusyDialog::Current(), second.get());
    EXPECT_EQ(CBusyDialog::Count(), 2);
    EXPECT_FALSE(first->isVisible());  // one busy window at a time
    EXPECT_TRUE(second->isVisible());

    // The older one ends first: the work under the newer one still holds the owner.
    first.reset();
    EXPECT_FALSE(m_owner->isEnabled());
    EXPECT_EQ(CBusyDialog::Current(), second.get());
    second.reset();
    EXPECT_TRUE(m_owner->isEnabled());
    EXPECT_EQ(CBusyDialog::Current(), nullptr);
}

TEST_F(BusyDialogTest, TheOlderDialogReturnsWhenTheNewerGoes) {
    CBusyDialog first;
    ASSERT_TRUE(first.Create(m_owner.get(), false));
    {
        CBusyDialog second;
        ASSERT_TRUE(second.Create(m_owner.get(), false));
        EXPECT_FALSE(first.isVisible());
    }
    EXPECT_EQ(CBusyDialog::Current(), &first);
    EXPECT_TRUE(first.isVisible());
    EXPECT_FALSE(m_owner->isEnabled());
    first.DestroyWindow();
    EXPECT_TRUE(m_owner->isEnabled());
    EXPECT_EQ(CBusyDialog::Count(), 0);
}

TEST_F(BusyDialogTest, AnOwnerDisabledBeforehandStaysDisabled) {
    m_owner->setEnabled(false);
    {
        CBusyDialog dialog;
        ASSERT_TRUE(dialog.Create(m_owner.get(), false));
    }
    EXPECT_FALSE(m_owner->isEnabled());
}

TEST_F(BusyDialogTest, TheFigureTurnsWhileTheInterfaceThreadIsBusy) {
    CBusyDialog dialog;
    ASSERT_TRUE(dialog.Create(m_owner.get(), false));
    EXPECT_TRUE(dialog.IsSpinnerRunning());
    const double before = dialog.Spinner()->Angle();
    // Block this thread as a long synchronous call would.
    std::this_thread::sleep_for(std::chrono::milliseconds(3 * CBusyDialog::kTurnIntervalMs));
    EXPECT_GT(dialog.Spinner()->Angle(), before);
    dialog.PumpMessages();  // the repaints it asked for run here
    dialog.DestroyWindow();
    EXPECT_FALSE(dialog.IsSpinnerRunning());
    const double stopped = dialog.Spinner()->Angle();
    std::this_thread::sleep_for(std::chrono::milliseconds(2 * CBusyDialog::kTurnIntervalMs));
    EXPECT_EQ(dialog.Spinner()->Angle(), stopped);
}

// What a window shows: the screen's copy of it as last painted, not a fresh
// rendering of the widget.
QImage Shown(QWidget& window) { return window.screen()->grabWindow(window.winId()).toImage(); }

// This thread is held as in a long kernel call: it dispatches no events and
// only passes the kernel's pulse between units of work. True once the figure
// has put a new picture on the window.
bool HeldUntilTheFigureShowsAgain(CSpinnerWnd* spinner) {
    const int shown = spinner->FramesShown();
    for (int i = 0; i < 5000 && spinner->FramesShown() == shown; ++i) {
        KernelPulse();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return spinner->FramesShown() > shown;
}

TEST_F(BusyDialogTest, TheFigureTurnsOnScreenWhileTheInterfaceThreadIsHeld) {
    CBusyDialog dialog;
    ASSERT_TRUE(dialog.Create(m_owner.get(), false));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    CSpinnerWnd* spinner = dialog.Spinner();

    ASSERT_TRUE(HeldUntilTheFigureShowsAgain(spinner));
    const QImage first = Shown(dialog);
    ASSERT_TRUE(HeldUntilTheFigureShowsAgain(spinner));
    const QImage second = Shown(dialog);
    ASSERT_EQ(first.size(), second.size());
    // The figure's place changed, and nothing else did.
    const qreal ratio = second.devicePixelRatio();
    const QRect figure(spinner->mapTo(&dialog, QPoint(0, 0)) * ratio, spinner->size() * ratio);
    EXPECT_NE(first.copy(figure), second.copy(figure));
    const auto withoutFigure = [&](QImage image) {
        image.setDevicePixelRatio(1);
        QPainter(&image).fillRect(figure, Qt::black);
        return image;
    };
    EXPECT_EQ(withoutFigure(first), withoutFigure(second));

    // Once the dialog is gone the pulse has nothing left to show.
    dialog.DestroyWindow();
    const int shown = spinner->FramesShown();
    KernelPulse();
    EXPECT_EQ(spinner->FramesShown(), shown);
}

TEST_F(BusyDialogTest, PumpMessagesRunsPostedWorkButDropsSystemKeys) {
    CBusyDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr, false));
    bool ran = false;
    QMetaObject::invokeMethod(qApp, [&] { ran = true; }, Qt::QueuedConnection);
    int altKeys = 0;
    struct Counter : QObject {
        int* n;
        explicit Counter(int* c) : n(c) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::KeyPress) ++*n;
            return false;
        }
    } counter(&altKeys);
    dialog.installEventFilter(&counter);
    QCoreApplication::postEvent(&dialog, new QKeyEvent(QEvent::KeyPress, Qt::Key_F, Qt::AltModifier));
    dialog.PumpMessages();
    EXPECT_TRUE(ran);
    EXPECT_EQ(altKeys, 0);
}

}  // namespace

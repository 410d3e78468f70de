#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <thread>

#include "FrameworkFixture.h"

namespace {

using namespace fwtest;

// A plain window that records the messages it receives.
class RecordingWnd : public QWidget, public CWnd {
public:
    RecordingWnd() { AttachWidget(this); }
    ~RecordingWnd() override { DetachWidget(); }
    std::vector<std::pair<UINT, WPARAM>> m_received;
    std::vector<UINT_PTR> m_ticks;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= WM_USER) m_received.emplace_back(message, wParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void OnTimer(UINT_PTR id) override { m_ticks.push_back(id); }
};

TEST(WindowMessages, PostedArriveInOrderSentRunAtOnce) {
    RecordingWnd wnd;
    wnd.MapMessage(WM_USER + 4, [](WPARAM w, LPARAM l) { return LRESULT(w + l); });
    EXPECT_TRUE(wnd.PostMessage(WM_USER + 1, 1));
    EXPECT_TRUE(::PostMessage(wnd.GetSafeHwnd(), WM_USER + 2, 2));
    wnd.PostMessage(WM_USER + 1, 3);
    // Sent: handled before the posted ones, with its result.
    EXPECT_EQ(wnd.SendMessage(WM_USER + 4, 40, 2), 42);
    EXPECT_EQ(::SendMessage(wnd.GetSafeHwnd(), WM_USER + 4, 1, 1), 2);
    ASSERT_EQ(wnd.m_received.size(), 2u);
    QCoreApplication::processEvents();
    const std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_USER + 4, 40}, {WM_USER + 4, 1}, {WM_USER + 1, 1}, {WM_USER + 2, 2}, {WM_USER + 1, 3}};
    EXPECT_EQ(wnd.m_received, expected);
}

TEST(WindowMessages, SentFromAnotherThreadRunsOnTheWindowsThread) {
    RecordingWnd wnd;
    std::thread::id ranOn;
    wnd.MapMessage(WM_USER + 4, [&](WPARAM, LPARAM) {
        ranOn = std::this_thread::get_id();
        return LRESULT(7);
    });
    LRESULT result = 0;
    std::thread worker([&] { result = ::SendMessage(wnd.GetSafeHwnd(), WM_USER + 4); });
    // The worker waits until this thread's loop runs the message.
    QTRY_COMPARE_WITH_TIMEOUT(result, LRESULT(7), 5000);
    worker.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(WindowMessages, HandlesDieWithTheirWindow) {
    HWND handle;
    {
        RecordingWnd wnd;
        handle = wnd.GetSafeHwnd();
        EXPECT_TRUE(::IsWindow(handle));
        EXPECT_EQ(CWnd::FromHandle(handle), &wnd);
        wnd.PostMessage(WM_USER + 9);  // still queued when the window goes
    }
    EXPECT_FALSE(::IsWindow(handle));
    EXPECT_FALSE(::PostMessage(handle, WM_USER));
    EXPECT_EQ(::SendMessage(handle, WM_USER), 0);
    QCoreApplication::processEvents();  // the stale posted message goes nowhere
    EXPECT_FALSE(::IsWindow(nullptr));
}

TEST(WindowMessages, RegisteredNumbersAreStableAndDistinct) {
    const UINT a = RegisterWindowMessage("TF_GET_PRECISION");
    EXPECT_GE(a, 0xC000u);
    EXPECT_LE(a, 0xFFFFu);
    EXPECT_EQ(RegisterWindowMessage("tf_get_precision"), a);
    EXPECT_NE(RegisterWindowMessage("TF_SET_PRECISION"), a);
    EXPECT_EQ(RegisterWindowMessage(""), 0u);
    // The number depends on the name only (another process computes the same).
    std::uint32_t hash = 2166136261u;
    for (char c : std::string("TF_GET_PRECISION")) {
        hash ^= std::uint8_t(c);
        hash *= 16777619u;
    }
    EXPECT_EQ(a, 0xC000u + hash % 0x3FFF);
}

TEST(WindowMessages, TimersTickUntilKilled) {
    RecordingWnd wnd;
    EXPECT_EQ(wnd.SetTimer(4096, 5), UINT_PTR(4096));
    QTRY_VERIFY_WITH_TIMEOUT(wnd.m_ticks.size() >= 2, 5000);
    EXPECT_EQ(wnd.m_ticks.front(), UINT_PTR(4096));
    EXPECT_TRUE(wnd.KillTimer(4096));
    EXPECT_FALSE(wnd.KillTimer(4096));
    const std::size_t ticks = wnd.m_ticks.size();
    QTest::qWait(30);
    EXPECT_EQ(wnd.m_ticks.size(), ticks);
}

TEST(WindowMessages, IdleUpdatesAndDestroyedFrameLeavesNoHandle) {
    TestProgram program;
    CDocument* doc = program.tpl->OpenDocumentFile(nullptr);
    CFrameWnd* frame = TestProgram::FirstView(doc)->GetParentFrame();
    const HWND handle = frame->GetSafeHwnd();
    EXPECT_TRUE(::IsWindow(handle));
    frame->DestroyWindow();
    EXPECT_FALSE(::IsWindow(handle));
    FlushDeletes();
    EXPECT_TRUE(program.tpl->Documents().empty());
}

}  // namespace

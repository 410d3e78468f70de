// crx started through D-Bus activation on the test's private bus, driven as
// the exhibit view drives it: the hand-over, the answers to the caller's
// window, and the program's end when the caller lets go or goes away.
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

#include "AutomationClient.h"
#include "CTailFactorAnalysis.h"
#include "RemoteWindow.h"
#include "TailFactorLink.h"
#include "TestEnvironment.h"
#include "WindowMessages.h"

namespace {

using namespace qs::automation;

CTailFactorAnalysis Sample() {
    const double factors[] = {1.5, 1.2, 1.1, 1.05, 1.03, 1.02, 1.01, 1.005};
    CTailFactorAnalysis a(1.0, 1.0);
    a.SetNumPoints(8);
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 8; ++i) a.SetValue(c, true, i, factors[i]);
    a.Calculate();
    return a;
}

// The exhibit view's side: a window crx can post to and ask.
class CrxServer : public ::testing::Test {
protected:
    void SetUp() override {
        qs::test::SetEnv("QS_CRX_SCRIPTED_USER", "1");
        ASSERT_TRUE(UpdateActivationEnvironment({"QS_CRX_SCRIPTED_USER", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"}));
        window = std::make_unique<RemoteWindow>(
            [this](unsigned message, std::uintptr_t, std::intptr_t) -> std::intptr_t {
                if (message != RegisterWindowMessage("TF_GET_PRECISION")) return 0;
                ++precisionAsked;
                return 4;
            },
            [this](unsigned message, std::uintptr_t w, std::intptr_t) {
                if (message == RegisterWindowMessage("TF_REFRESH")) refreshes.push_back(int(w));
                return true;
            });
        ASSERT_TRUE(window->Export("/org/quillstone/windows/exhibit1"));
    }
    void TearDown() override {
        TailFactorLink::Shared().Release(this);
        WaitGone();
    }
    QVariant Act(const QVariantList& args) {
        AutomationClient crx;
        EXPECT_TRUE(crx.AttachRunning(TailFactorLink::kProgId));
        const CallResult r = crx.Call("Act", args);
        EXPECT_TRUE(r.ok) << r.error.toStdString();
        return r.value;
    }
    bool WaitRefresh() {
        for (int i = 0; i < 200 && refreshes.empty(); ++i) QTest::qWait(25);
        return !refreshes.empty();
    }
    static bool WaitGone() {
        for (int i = 0; i < 200 && IsServerRunning(TailFactorLink::kProgId); ++i) QTest::qWait(25);
        return !IsServerRunning(TailFactorLink::kProgId);
    }
    void OpenSample() {
        HRESULT hr = E_FAIL;
        QString error;
        ASSERT_EQ(TailFactorLink::Shared().Open(this, &hr, &error), TailFactorLink::Connect::Connected)
            << error.toStdString();
        EXPECT_EQ(hr, S_OK);
        ASSERT_TRUE(TailFactorLink::Shared().Send(Sample(), window->Handle(), &error)) << error.toStdString();
    }

    std::unique_ptr<RemoteWindow> window;
    int precisionAsked = 0;
    std::vector<int> refreshes;
};

TEST_F(CrxServer, ApplyHandsTheEditedAnalysisBack) {
    OpenSample();
    auto& link = TailFactorLink::Shared();
    int other = 0;
    EXPECT_EQ(link.Open(&other), TailFactorLink::Connect::AlreadyOpen) << "one analysis in the whole application";
    link.Release(&other);
    EXPECT_TRUE(link.IsOpen()) << "only the owner ends the connection";
    EXPECT_TRUE(link.Display());

    // The cutoff's dialog and the refresh behind it ask the caller for its
    // precision while the caller waits for the call: it is answered.
    EXPECT_EQ(Act({"cutoff", 1, "15"}).toString(), "");
    EXPECT_GT(precisionAsked, 0);
    Act({"exclude", 1, 2});
    Act({"apply", 0b010});
    ASSERT_TRUE(WaitRefresh());
    EXPECT_EQ(refreshes, std::vector<int>{1});

    CTailFactorAnalysis back;
    bool dirty = false;
    ASSERT_TRUE(link.ReadBack(&back, &dirty));
    EXPECT_EQ(back.GetCutoff(1), 15.0);
    EXPECT_TRUE(back.GetExclude(1, 2));
    EXPECT_FALSE(back.GetExclude(0, 2));
    EXPECT_TRUE(back.IsCurveEnabled(1));
    EXPECT_FALSE(back.IsCurveEnabled(0));
    EXPECT_TRUE(dirty);
    EXPECT_NE(back.GetTail(1), Sample().GetTail(1)) << "refitted";
    link.Release(this);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_TRUE(WaitGone()) << "crx ends once the caller lets go";
}

TEST_F(CrxServer, CancelSaysSoAndHandsNothingBack) {
    OpenSample();
    Act({"exclude", 0, 1});
    EXPECT_TRUE(Act({"cancel"}).toString().contains("without saving"));
    ASSERT_TRUE(WaitRefresh());
    EXPECT_EQ(refreshes, std::vector<int>{2});
    CTailFactorAnalysis back;
    bool dirty = true;
    ASSERT_TRUE(TailFactorLink::Shared().ReadBack(&back, &dirty));
    EXPECT_FALSE(back.GetExclude(0, 1)) << "the saved copy is the one handed over";
    EXPECT_FALSE(dirty);
}

TEST_F(CrxServer, EndsWhenTheCallersWindowGoes) {
    OpenSample();
    window->Unexport();
    EXPECT_TRUE(WaitGone());
    EXPECT_TRUE(refreshes.empty()) << "nothing is posted to a window that is gone";
}

TEST_F(CrxServer, BadHandOverIsRefusedAndEndsTheConnection) {
    auto& link = TailFactorLink::Shared();
    ASSERT_EQ(link.Open(this), TailFactorLink::Connect::Connected);
    CTailFactorAnalysis flat = Sample();
    flat.SetAgeIncrement(-1.0);
    QString error;
    EXPECT_FALSE(link.Send(flat, window->Handle(), &error));
    EXPECT_TRUE(error.startsWith("put_Data")) << error.toStdString();
    EXPECT_FALSE(link.IsOpen()) << "a failed hand-over does not leave an open analysis behind";
    EXPECT_TRUE(WaitGone());

    ASSERT_EQ(link.Open(this), TailFactorLink::Connect::Connected);
    EXPECT_FALSE(link.Send(Sample(), WindowHandle{":1.99999", "/nowhere"}, &error));
    EXPECT_TRUE(error.startsWith("RegisterCallback")) << error.toStdString();
    EXPECT_FALSE(link.IsOpen());

    // A server nobody registered: the failure text, no connection.
    AutomationClient raw;
    EXPECT_FALSE(raw.CreateDispatch("Crx.NoSuchProgram"));
}

}  // namespace

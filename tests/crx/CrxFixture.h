#pragma once
// The tail program in this process: its application object and main frame,
// holding an analysis of eight points at ages 1..8 with the same factors in
// all three curves, its windows open as RunAnalysis opens them.
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

#include "CArchive.h"
#include "CCrxApp.h"
#include "CMainFrame.h"
#include "CTailFactorAnalysis.h"

inline QByteArray ToStream(CTailFactorAnalysis a) {
    std::vector<uint8_t> bytes;
    {
        CArchive ar(bytes, CArchive::store);
        a.Serialize(ar);
        ar.Close();
    }
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

inline CTailFactorAnalysis FromStream(const QByteArray& raw) {
    std::vector<uint8_t> bytes(raw.begin(), raw.end());
    CTailFactorAnalysis a;
    CArchive ar(bytes, CArchive::load);
    a.Serialize(ar);
    return a;
}

inline CTailFactorAnalysis SampleAnalysis() {
    const double factors[] = {1.5, 1.2, 1.1, 1.05, 1.03, 1.02, 1.01, 1.005};
    CTailFactorAnalysis a(1.0, 1.0);
    a.SetNumPoints(8);
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 8; ++i) a.SetValue(c, true, i, factors[i]);
    for (int c = 0; c < 3; ++c) a.SetCutoff(c, 20.0);
    return a;
}

class CrxFixture : public ::testing::Test {
protected:
    void SetUp() override {
        CCrxApp::RegisterResources();
        frame = new CMainFrame;
        ASSERT_TRUE(frame->LoadFrame(128));
        app.m_pMainWnd = frame;
        frame->resize(1200, 800);
        frame->show();
    }
    void TearDown() override {
        frame->DestroyWindow();
        app.m_pMainWnd = nullptr;
        Settle();
    }
    // Runs the posted messages (recalculation, then the refreshes) to the end.
    static void Settle() {
        for (int i = 0; i < 8; ++i) {
            QApplication::processEvents();
            QApplication::sendPostedEvents();
        }
    }
    void Open(const CTailFactorAnalysis& a = SampleAnalysis()) {
        ASSERT_EQ(app.PutData(ToStream(a)), S_OK);
        ASSERT_EQ(app.RunAnalysis(), S_OK);
        Settle();
    }

    CCrxApp app;
    CMainFrame* frame = nullptr;
};

#include "frames/StatusProgress.h"

#include <QPointer>
#include <QProgressBar>
#include <QRect>

#include <vector>

#include "frames/CMainFrame.h"
#include "CStatusBar.h"
#include "CWinApp.h"

namespace {

std::vector<QPointer<QProgressBar>>& ProgressBars() {
    static std::vector<QPointer<QProgressBar>> bars;
    return bars;
}

CMainFrame* ProgressMainFrame() {
    CWinApp* app = AfxGetApp();
    return app ? dynamic_cast<CMainFrame*>(app->m_pMainWnd) : nullptr;
}

}  // namespace

namespace qs::app {

void BeginStatusProgress(const QString& caption) {
    CMainFrame* frame = ProgressMainFrame();
    QProgressBar* bar = nullptr;
    if (frame != nullptr) {
        CStatusBar& status = frame->StatusBar();
        bar = new QProgressBar(&status);
        CWnd::SetControlId(bar, 1);
        bar->setRange(0, 10);
        bar->setValue(0);
        bar->setTextVisible(false);
        QRect first, last;
        status.GetItemRect(1, &first);
        status.GetItemRect(4, &last);
        if (first.isValid() && last.isValid()) bar->setGeometry(QRect(first.topLeft(), last.bottomRight()));
        frame->SetProgressCtrl(bar);
        bar->show();
    }
    ProgressBars().push_back(bar);
    if (!caption.isNull() && frame != nullptr) frame->SetStatusMessage(caption);
}

void EndStatusProgress(const QString& text) {
    CMainFrame* frame = ProgressMainFrame();
    std::vector<QPointer<QProgressBar>>& bars = ProgressBars();
    if (!bars.empty()) {
        QPointer<QProgressBar> bar = bars.back();
        bars.pop_back();
        if (frame != nullptr && frame->ProgressCtrl() == bar.data()) {
            frame->ClearProgressCtrl();
            // The operation this one interrupted reports to its own bar again.
            for (auto it = bars.rbegin(); it != bars.rend(); ++it)
                if (*it) {
                    frame->SetProgressCtrl(it->data());
                    it->data()->show();
                    break;
                }
        }
        delete bar.data();
    }
    if (!text.isNull() && frame != nullptr) frame->SetStatusMessage(text);
}

QProgressBar* CurrentStatusProgress() { return ProgressBars().empty() ? nullptr : ProgressBars().back().data(); }

int StatusProgressDepth() { return int(ProgressBars().size()); }

}  // namespace qs::app

#include "frames/StatusWindow.h"

#include "CInfoView.h"
#include "CMDIChildWnd.h"
#include "CMDIFrameWnd.h"
#include "shell/ShellReport.h"

#include <QDate>
#include <QLocale>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>

namespace {

QPointer<QWidget>& StatusFrameWidget() {
    static QPointer<QWidget> frame;
    return frame;
}

CMDIChildWnd* Frame() {
    QWidget* widget = StatusFrameWidget().data();
    auto* frame = dynamic_cast<CMDIChildWnd*>(widget);
    return frame && frame->GetSafeHwnd() ? frame : nullptr;
}

}  // namespace

namespace qs::app {

CMDIChildWnd* CreateStatusWindow(CMDIFrameWnd* mainFrame) {
    // Closing it asks the main frame, whose MDI rule hides a document-less
    // information view instead of destroying it.
    auto* frame = new CMDIChildWnd;
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CInfoView);
    if (!frame->LoadFrame(0, WS_OVERLAPPEDWINDOW, mainFrame, &context)) {
        delete frame;
        return nullptr;
    }
    frame->InitialUpdateFrame(nullptr, FALSE);
    if (frame->GetSubWindow()) frame->GetSubWindow()->hide();
    StatusFrameWidget() = frame;
    return frame;
}

void ForgetStatusWindow() { StatusFrameWidget() = nullptr; }

CMDIChildWnd* StatusWindowFrame() { return Frame(); }

CInfoView* StatusWindowView() {
    CMDIChildWnd* frame = Frame();
    if (!frame) return nullptr;
    for (CView* view : frame->GetViews())
        if (auto* info = dynamic_cast<CInfoView*>(view)) return info;
    return nullptr;
}

bool IsStatusWindowVisible() {
    CMDIChildWnd* frame = Frame();
    if (!frame) return false;
    return frame->GetSubWindow() ? frame->GetSubWindow()->isVisible() : frame->isVisible();
}

QString NormaliseStatusLines(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') continue;  // the "\n" adds the pair
        if (c == u'\n') out += QStringLiteral("\r\n");
        else out += c;
    }
    return out + QStringLiteral("\r\n");
}

}  // namespace qs::app

bool StatusWindowOpen(const QString& title) {
    CMDIChildWnd* frame = qs::app::StatusWindowFrame();
    CInfoView* view = qs::app::StatusWindowView();
    if (!frame || !view) {
        qs::app::ReportShellFailure(QString::fromUtf8(qs::app::kStatusWindowFailure));
        return false;
    }
    frame->SetWindowText(title);
    if (frame->GetSubWindow()) frame->GetSubWindow()->setWindowTitle(title);
    const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    view->SetText(title + QStringLiteral(" DATE:\t") + date + QStringLiteral("\r\n"));
    frame->UpdateWindow();
    frame->ActivateFrame(SW_SHOWNORMAL);
    view->Editor()->setFocus();
    return true;
}

bool StatusWindowClear() {
    CMDIChildWnd* frame = qs::app::StatusWindowFrame();
    CInfoView* view = qs::app::StatusWindowView();
    if (!frame || !view) {
        if (!StatusFrameWidget()) qs::app::ReportShellFailure(QString::fromUtf8(qs::app::kStatusWindowFailure));
        return false;
    }
    view->Clear();
    frame->UpdateWindow();
    frame->ActivateFrame(SW_HIDE);
    return true;
}

void StatusWindowWrite(QString text) {
    text = qs::app::NormaliseStatusLines(text);
    CInfoView* view = qs::app::StatusWindowView();
    if (!view) return;
    view->AppendAtEnd(text);
    if (CMDIChildWnd* frame = qs::app::StatusWindowFrame()) frame->UpdateWindow();
}

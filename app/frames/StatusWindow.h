#pragma once
// The status window: the running log of reports, imports, exports and
// batches, an MDI child holding a document-less CInfoView. It is made once,
// hidden, when the main frame exists; closing it only hides it, so it can be
// shown again with its text. Other threads write to it through the main
// frame's message WM_USER+4 (sent, never posted).
#include <QString>

class CInfoView;
class CMDIChildWnd;
class CMDIFrameWnd;

// Starts a new log under the title ("<title> DATE:\t<short date>\r\n") and
// brings the window up. False, after the failure report, without a window.
bool StatusWindowOpen(const QString& title);
// Empties the log and hides the window. False, after the failure report,
// without a window.
bool StatusWindowClear();
// Appends the text as one or more lines: "\r\n" and lone "\n" both end a
// line, and a line end is added. Nothing happens without a window.
void StatusWindowWrite(QString text);

namespace qs::app {

// Makes the status window, hidden, inside the main frame and keeps it as the
// program's status window. Null when it cannot be made.
CMDIChildWnd* CreateStatusWindow(CMDIFrameWnd* mainFrame);
// Forgets the status window (its frame is being destroyed).
void ForgetStatusWindow();
CMDIChildWnd* StatusWindowFrame();
CInfoView* StatusWindowView();
bool IsStatusWindowVisible();

// "\r\n" and lone "\n" become "\r\n", and "\r\n" is appended.
QString NormaliseStatusLines(const QString& text);

inline constexpr const char* kStatusWindowFailure = "Cannot create or activate status window.\nOperation aborted.";

}  // namespace qs::app

#include "shell/ShellReport.h"

#include "CQuillstoneApp.h"
#include "MessageBox.h"

namespace qs::app {

void ReportShellFailure(const QString& text) {
    if (CQuillstoneApp* app = CQuillstoneApp::Current()) {
        app->ReportStartupError(text, true);
        return;
    }
    AfxMessageBoxIfVisible(text, MB_OK);
}

bool IsInteractive() {
    const CQuillstoneApp* app = CQuillstoneApp::Current();
    return app == nullptr || app->m_bInteractive != 0;
}

}  // namespace qs::app

#include "FactorLibraryHost.h"

#include <QTime>

#include <fstream>

#include "KernelGlobals.h"
#include "MessageBox.h"

namespace qs::factors {

FactorLibraryHost& Host() {
    static FactorLibraryHost host;
    return host;
}

int FileMode() { return Host().fileMode ? Host().fileMode() : 1; }
int ApplicationMode() { return Host().applicationMode ? Host().applicationMode() : 0; }
bool ShowTableId() { return Host().showTableId && Host().showTableId(); }

void AppendLogLine(const QString& text) {
    const std::string path = Host().logFilePath ? Host().logFilePath() : std::string();
    if (path.empty()) return;
    std::ofstream log(path, std::ios::app | std::ios::binary);
    if (!log) return;
    log << '\n' << QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toStdString() << "  "
        << text.toStdString();
}

void ReportFailure(const QString& text) {
    AfxMessageBoxIfVisible(text);
    if (!qs::fw::IsMainWindowVisible() || FileMode() == 0) {
        AppendLogLine(text);
        gbLogFileContainsError = true;
    }
}

}  // namespace qs::factors

#include "PrintHost.h"

#include <QDir>

#include "SystemInfo.h"

namespace qs::print {

PrintHost& Host() {
    static PrintHost host;
    return host;
}

QString WorkingFile(const QString& fileName) {
    const QString dir = Host().workingDirectory.isEmpty() ? QDir::currentPath() : Host().workingDirectory;
    // Files of older installations were named on a case-blind file system.
    return QString::fromStdString(qs::sysinfo::ResolveNoCase(dir.toStdString(), fileName.toStdString()));
}

bool IsInteractive() { return !Host().isInteractive || Host().isInteractive(); }

TraceScope::TraceScope(const char* text) {
    if (Host().traceScope) m_scope = Host().traceScope(text);
}

void TraceScope::Line(const QString& line) const {
    if (m_scope && Host().traceLine) Host().traceLine(m_scope, line);
}

}  // namespace qs::print

#include "shell/ShellOpenChannel.h"

#include "AutomationClient.h"
#include "AutomationServer.h"
#include "CWinApp.h"

#include <QRegularExpression>

namespace {

std::function<bool(const QString&)>& OpenHandler() {
    static std::function<bool(const QString&)> handler;
    return handler;
}

}  // namespace

namespace qs::app {

QString ShellOpenCommand(const QString& path) { return QStringLiteral("[open(\"%1\")]").arg(path); }

void SetShellOpenHandler(std::function<bool(const QString&)> handler) { OpenHandler() = std::move(handler); }

bool OpenShellDocument(const QString& path) {
    if (OpenHandler()) return OpenHandler()(path);
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OpenDocumentFile(path) != nullptr;
}

bool ExecuteShellCommand(const QString& command) {
    static const QRegularExpression item(QStringLiteral(R"re(\s*\[\s*(\w+)\s*\(\s*"([^"]*)"\s*\)\s*\]\s*)re"));
    qsizetype pos = 0;
    bool any = false;
    while (pos < command.size()) {
        const QRegularExpressionMatch m = item.match(command, pos, QRegularExpression::NormalMatch,
                                                     QRegularExpression::AnchorAtOffsetMatchOption);
        if (!m.hasMatch()) return false;
        if (m.captured(1).compare(QStringLiteral("open"), Qt::CaseInsensitive) != 0) return false;
        if (!OpenShellDocument(m.captured(2))) return false;
        any = true;
        pos = m.capturedEnd();
    }
    return any;
}

ShellOpenServer::ShellOpenServer(std::function<int(const QString&)> handler)
    : m_server(std::make_unique<qs::automation::AutomationServer>(QString::fromUtf8(kShellChannelProgId))) {
    m_server->Object().AddMethod(QStringLiteral("Execute"), [handler](qs::automation::AutomationCall& call) {
        const QString command = call.args.value(0).toString();
        return QVariant(handler ? handler(command) : int(kShellCommandFailed));
    });
}

ShellOpenServer::~ShellOpenServer() { m_server->Stop(); }

bool ShellOpenServer::Start(QString* error) { return m_server->Start(error); }

bool ShellOpenServer::IsStarted() const { return m_server->IsStarted(); }

int RequestShellCommand(const QString& command, int timeoutMs, QString* error) {
    qs::automation::AutomationClient client;
    if (!client.AttachRunning(QString::fromUtf8(kShellChannelProgId))) {
        if (error) *error = QStringLiteral("No running instance answers.");
        return kShellCommandNoInstance;
    }
    const qs::automation::CallResult result = client.Call(QStringLiteral("Execute"), {command}, timeoutMs);
    if (!result.ok) {
        if (error) *error = result.error;
        return kShellCommandNoInstance;
    }
    return result.value.toInt();
}

}  // namespace qs::app

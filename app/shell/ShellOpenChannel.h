#pragma once
// Opening a file in the running instance. Where the desktop would have sent
// a DDE "open" to a program that already runs, a second start of the program
// sends the command over the session bus to the running instance's shell
// channel (ProgID kShellChannelProgId). The running program carries the
// command out on its user-interface thread and answers with the result, so
// the caller always learns what happened, also when the command is refused.
#include <QString>

#include <functional>
#include <memory>

namespace qs::automation {
class AutomationServer;
}

namespace qs::app {

inline constexpr const char* kShellChannelProgId = "Quillstone.Shell";

// Answers of a shell command.
enum ShellCommandResult : int {
    kShellCommandFailed = 0,      // ran, and failed (e.g. the file did not open)
    kShellCommandDone = 1,        // ran and succeeded
    kShellCommandRefused = -1,    // not run: automation drives the program
    kShellCommandNoInstance = -2, // no running instance answered
};

// The command text of an open: [open("path")].
QString ShellOpenCommand(const QString& path);

// Parses and runs one command text ([open("path")], several may follow each
// other) with the open handler; true when every command ran successfully.
// Unknown commands fail.
bool ExecuteShellCommand(const QString& command);

// The application's way to open a document; the default asks the framework's
// application object (CWinApp::OpenDocumentFile).
void SetShellOpenHandler(std::function<bool(const QString& path)> handler);
bool OpenShellDocument(const QString& path);

// The running instance's side: exports the channel and hands each command to
// the handler, whose result goes back to the caller.
class ShellOpenServer {
public:
    explicit ShellOpenServer(std::function<int(const QString& command)> handler);
    ~ShellOpenServer();
    bool Start(QString* error = nullptr);
    bool IsStarted() const;

private:
    std::unique_ptr<qs::automation::AutomationServer> m_server;
};

// The second instance's side: sends the command to the running instance and
// waits for its answer (at most timeoutMs).
int RequestShellCommand(const QString& command, int timeoutMs = 60000, QString* error = nullptr);

}  // namespace qs::app

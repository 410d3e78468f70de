#pragma once
// The late-bound connection of one pipe to the outside debug-window server,
// an automation server reached as a session-bus service named by its ProgID.
// It knows the server's methods by name only: ids are looked up from the
// server's own description, and calls carry string arguments.
//
// Without an application object there is no event machinery for the bus, so
// no server can be reached and the pipe falls back to the debugger output.
#include <memory>
#include <string>
#include <vector>

namespace faultbox {

class DebugServerLink {
public:
    // Id of a name the server does not know.
    static constexpr int kUnknownId = -1;

    DebugServerLink();
    ~DebugServerLink();
    DebugServerLink(const DebugServerLink&) = delete;
    DebugServerLink& operator=(const DebugServerLink&) = delete;

    // True when an instance of the server is running now.
    static bool IsRunning(const std::string& progId);

    // Attaches to the running instance.
    bool AttachRunning(const std::string& progId);
    // Starts a new instance (bus activation) and attaches to it.
    bool CreateInstance(const std::string& progId);
    bool Attached() const;
    // Drops the connection to the server.
    void Release();

    int IdOfName(const std::string& name);
    // Calls a method for its effect; errors the server raises are logged by
    // the bus layer and otherwise ignored.
    void Invoke(int id, const std::vector<std::string>& arguments);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace faultbox

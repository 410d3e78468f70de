#pragma once
// The late-bound connection of one pipe to the outside debug-window server,
// an automation server named by its ProgID. It knows the server's methods
// by name only: ids come from the server, and calls carry string arguments.
//
// Without an application object there is no event loop to wait on the bus
// with, so no server can be reached and the pipe falls back to the debugger
// output.
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qs::automation {
class AutomationClient;
}

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

    // Binds to the running instance.
    bool AttachRunning(const std::string& progId);
    // Starts a new instance and binds to it.
    bool CreateInstance(const std::string& progId);
    // Drops the binding.
    void Release();

    int IdOfName(const std::string& name);
    // Calls a method for its effect. Errors the server raises are logged by
    // the automation layer and otherwise ignored.
    void Invoke(int id, const std::vector<std::string>& arguments);

private:
    std::unique_ptr<qs::automation::AutomationClient> m_client;
    std::map<int, std::string> m_names;  // id -> method name, as looked up
};

}  // namespace faultbox

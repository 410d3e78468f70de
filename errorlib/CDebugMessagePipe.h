#pragma once
// The connection of one registered handle to the outside debug-window server
// "Ruz_iv.Document", which owns the debug window and the message file. The
// connection is tried once, on the first line sent; when no server can be
// reached every line goes to the debugger output instead, so the library
// works without the server.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace faultbox {
class DebugServerLink;
}

class CDebugMessagePipe {
public:
    static constexpr const char* kProgId = "Ruz_iv.Document";

    CDebugMessagePipe();
    virtual ~CDebugMessagePipe();
    CDebugMessagePipe(const CDebugMessagePipe&) = delete;
    CDebugMessagePipe& operator=(const CDebugMessagePipe&) = delete;

    void InitDriver();
    void GetDispIds();

    void AddMessage(const std::string& text);
    void AddFileMessage(const std::string& text);
    // Opens or closes the window and the file as the switches now say.
    void ApplyOptions();

    void OpenScreen();
    void CloseScreen();
    void OpenFile();
    void CloseFile();
    void ShutDown();
    void StartUp();
    void ReleaseDriver();

    bool Connected() const { return m_connected != 0; }
    bool ConnectionTried() const { return m_connectionTried != 0; }

private:
    enum Method { kAddMessage, kOpenScreen, kCloseScreen, kOpenFile, kCloseFile, kAddFileMessage, kShutDown, kStartUp };

    void Call(Method method);
    void Call(Method method, const std::string& argument);

    std::int32_t m_connected = 0;
    std::int32_t m_connectionTried = 0;
    std::array<std::int32_t, 8> m_dispIds{};
    std::unique_ptr<faultbox::DebugServerLink> m_driver;
};

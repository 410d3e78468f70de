#include "CDebugMessagePipe.h"

#include "CFaultboxDll.h"
#include "DebugOutput.h"
#include "DebugServerLink.h"
#include "SharedMessageOptions.h"

using faultbox::DebugOutput;

namespace {

bool AnyWindowSwitch(const faultbox::SharedMessageOptions& o) {
    return o.TraceMsgs != 0 || o.AlertDebugWin != 0 || o.CErrorsDebugWin != 0;
}

bool AnyFileSwitch(const faultbox::SharedMessageOptions& o) {
    return o.TraceFile != 0 || o.AlertFile != 0 || o.ErrorFile != 0;
}

}  // namespace

CDebugMessagePipe::CDebugMessagePipe() : m_driver(std::make_unique<faultbox::DebugServerLink>()) {
    m_dispIds.fill(faultbox::DebugServerLink::kUnknownId);
    DebugOutput("CDebugMessagePipe::CDebugMessagePipe()\n");
}

CDebugMessagePipe::~CDebugMessagePipe() {
    DebugOutput("CDebugMessagePipe::~CDebugMessagePipe()\n");
    m_driver->Release();
}

void CDebugMessagePipe::InitDriver() {
    m_connected = 0;
    m_connectionTried = 0;
    if (!faultbox::DebugServerLink::IsRunning(kProgId)) {
        if (m_driver->CreateInstance(kProgId)) {
            m_connected = 1;
            GetDispIds();
            StartUp();
        }
    } else if (m_driver->AttachRunning(kProgId)) {
        // A server another pipe started is joined, not started up again.
        m_connected = 1;
        GetDispIds();
    }
    m_connectionTried = 1;
    if (m_connected) {
        DebugOutput("init_drv CreateDispatch Passed\n");
        const faultbox::SharedMessageOptions& o = faultbox::SharedOptions();
        if (AnyWindowSwitch(o)) OpenScreen();
        if (AnyFileSwitch(o)) OpenFile();
    } else {
        DebugOutput("init_drv CreateDispatch Failed\n");
    }
}

void CDebugMessagePipe::GetDispIds() {
    if (!m_connected) return;
    m_dispIds[kAddMessage] = m_driver->IdOfName("AddMessage");
    m_dispIds[kOpenScreen] = m_driver->IdOfName("OpenScreen");
    m_dispIds[kCloseScreen] = m_driver->IdOfName("CloseScreen");
    m_dispIds[kOpenFile] = m_driver->IdOfName("OpenFile");
    m_dispIds[kCloseFile] = m_driver->IdOfName("CloseFile");
    m_dispIds[kAddFileMessage] = m_driver->IdOfName("AddFileMessage");
    m_dispIds[kStartUp] = m_driver->IdOfName("StartUp");
    m_dispIds[kShutDown] = m_driver->IdOfName("ShutDown");
}

void CDebugMessagePipe::Call(Method method) { m_driver->Invoke(m_dispIds[method], {}); }

void CDebugMessagePipe::Call(Method method, const std::string& argument) {
    m_driver->Invoke(m_dispIds[method], {argument});
}

void CDebugMessagePipe::AddMessage(const std::string& text) {
    if (!m_connectionTried) InitDriver();
    if (m_connected) Call(kAddMessage, text);
    else DebugOutput(text);
}

void CDebugMessagePipe::AddFileMessage(const std::string& text) {
    if (!m_connectionTried) InitDriver();
    if (m_connected) Call(kAddFileMessage, text);
    else DebugOutput(text);
}

void CDebugMessagePipe::ApplyOptions() {
    if (!m_connected) return;
    const faultbox::SharedMessageOptions& o = faultbox::SharedOptions();
    if (AnyWindowSwitch(o)) OpenScreen();
    else CloseScreen();
    if (AnyFileSwitch(o)) OpenFile();
    else CloseFile();
}

void CDebugMessagePipe::OpenScreen() {
    if (m_connected) Call(kOpenScreen);
}

void CDebugMessagePipe::CloseScreen() {
    if (m_connected) Call(kCloseScreen);
}

void CDebugMessagePipe::OpenFile() {
    if (m_connected) Call(kOpenFile, CFaultboxDll::MessageFileName());
}

void CDebugMessagePipe::CloseFile() {
    if (m_connected) Call(kCloseFile);
}

void CDebugMessagePipe::ShutDown() {
    if (m_connected) Call(kShutDown);
}

// Only ever called right after this pipe created the server.
void CDebugMessagePipe::StartUp() { Call(kStartUp); }

void CDebugMessagePipe::ReleaseDriver() {
    if (!m_connected) return;
    m_driver->Release();
    m_connected = 0;
}

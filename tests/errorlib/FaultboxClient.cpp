// A second process for the message library's tests: it loads the library
// with dlopen, as a client program would, finds the exports by name and runs
// the commands given as arguments, in order. The library's debugger output
// goes to this program's stderr; the program's own results go to stdout.
//
//   exports             check that every export is found by name
//   register            RegisterErrorDll, keeping the handle
//   unregister          UnRegisterErrorDll with that handle
//   error TEXT          ErrorMessage with the handle
//   alert P TEXT        AlertMessage with priority character P
//   trace TEXT          TraceMessage with the handle
//   driver TEXT         DebugDriverMessage(TEXT, 1, 2)
//   boot 0|1            UpdateBootDrivers, printing "boot=<result>"
//   close               CloseErrorDll
//   touch PATH          create the file PATH
//   wait PATH           wait (at most 30 s) until PATH exists
#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "FaultboxApi.h"

namespace {

constexpr const char* kExports[] = {"ErrorMessage",   "AlertMessage",    "TraceMessage",      "ShowErrors",
                                    "RegisterErrorDll", "UnRegisterErrorDll", "CloseErrorDll", "FilterDllMsg",
                                    "ProcessDllIdle", "DebugDriverMessage", "UpdateBootDrivers", "CPlApplet"};

template <typename F>
F Lookup(void* library, const char* name) {
    void* symbol = ::dlsym(library, name);
    if (!symbol) {
        std::printf("missing %s\n", name);
        std::exit(3);
    }
    return reinterpret_cast<F>(symbol);
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = argc > 0 ? argv[0] : ".";
    dir = dir.substr(0, dir.rfind('/') == std::string::npos ? 0 : dir.rfind('/'));
    const std::string path = (dir.empty() ? std::string(".") : dir) + "/libFaultbox.so";
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::printf("dlopen failed: %s\n", ::dlerror());
        return 2;
    }
    void** handle = nullptr;
    const char* file = "client.cpp";
    const char* date = "Jan  1 2026";
    const char* time = "12:00:00";
    for (int i = 1; i < argc; ++i) {
        std::string command = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : ""; };
        if (command == "exports") {
            for (const char* name : kExports) Lookup<void*>(library, name);
            std::printf("exports ok\n");
        } else if (command == "register") {
            handle = Lookup<decltype(&RegisterErrorDll)>(library, "RegisterErrorDll")();
            std::printf("handle %s\n", handle ? "ok" : "null");
        } else if (command == "unregister") {
            Lookup<decltype(&UnRegisterErrorDll)>(library, "UnRegisterErrorDll")(handle);
        } else if (command == "error") {
            Lookup<decltype(&ErrorMessage)>(library, "ErrorMessage")(handle, next(), file, 42, date, time, nullptr);
        } else if (command == "alert") {
            const char priority = next()[0];
            Lookup<decltype(&AlertMessage)>(library, "AlertMessage")(handle, priority, next(), file, 42, date, time,
                                                                      nullptr);
        } else if (command == "trace") {
            Lookup<decltype(&TraceMessage)>(library, "TraceMessage")(handle, next(), file, 42, date, time);
        } else if (command == "driver") {
            Lookup<decltype(&DebugDriverMessage)>(library, "DebugDriverMessage")(next(), 1, 2);
        } else if (command == "boot") {
            int add = std::atoi(next());
            std::printf("boot=%d\n", Lookup<decltype(&UpdateBootDrivers)>(library, "UpdateBootDrivers")(add));
        } else if (command == "close") {
            Lookup<decltype(&CloseErrorDll)>(library, "CloseErrorDll")();
        } else if (command == "touch") {
            std::ofstream(next()) << "x";
        } else if (command == "wait") {
            const std::string target = next();
            auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (::access(target.c_str(), F_OK) != 0 && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } else {
            std::printf("unknown command %s\n", command.c_str());
            return 4;
        }
        std::fflush(stdout);
    }
    ::dlclose(library);
    return 0;
}

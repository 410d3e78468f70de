#include "shell/ConsoleTrace.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

#include "AppRegistry.h"

namespace qs::trace {

namespace {

struct TraceState {
    std::atomic<unsigned long> enabled{0};
    std::mutex lock;
    std::ofstream out;
    int nextNumber = 1000;
    std::map<std::thread::id, int> depth;
};

// Never destroyed: the program's last steps (the exit road after a
// termination signal included) still close the trace after static objects
// have gone.
TraceState& State() {
    static TraceState* const s = new TraceState;
    return *s;
}

std::string FormatV(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n <= 0) return std::string();
    std::string text(static_cast<std::size_t>(n), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

// Caller holds the lock.
void WriteLineLocked(TraceState& s, int number, int depth, const std::string& text) {
    s.out << number << ' ' << std::string(static_cast<std::size_t>(depth), ' ') << text << '\n';
    s.out.flush();
}

}  // namespace

std::string ConsoleTraceFilePath(const std::string* directory) {
    return (directory ? *directory : std::string()) + "/console.txt";
}

void InitConsoleTrace(unsigned long enable, const std::string* directory) {
    TraceState& s = State();
    std::lock_guard guard(s.lock);
    s.enabled = 0;
    if (s.out.is_open()) s.out.close();
    s.out.clear();
    s.depth.clear();
    if (enable == 0) return;
    // A file that cannot be opened leaves the stream failed: later lines are
    // dropped silently while tracing stays on.
    s.out.open(ConsoleTraceFilePath(directory), std::ios::out | std::ios::trunc);
    s.enabled = enable;
}

void InitConsoleTrace() {
    unsigned long enable = 0;
    std::string directory;
    bool hasDirectory = false;
    qs::app::ReadConsoleTraceSettings(enable, directory, hasDirectory);
    InitConsoleTrace(enable, hasDirectory ? &directory : nullptr);
}

void CloseConsoleTrace() {
    TraceState& s = State();
    std::lock_guard guard(s.lock);
    s.enabled = 0;
    if (s.out.is_open()) s.out.close();
    s.depth.clear();
}

bool IsConsoleTraceEnabled() { return State().enabled.load(std::memory_order_relaxed) != 0; }

}  // namespace qs::trace

using qs::trace::IsConsoleTraceEnabled;

CTraceScope::CTraceScope(const char* format, ...) {
    if (!IsConsoleTraceEnabled()) return;
    va_list args;
    va_start(args, format);
    m_text = qs::trace::FormatV(format, args);
    va_end(args);
    auto& s = qs::trace::State();
    // Number, depth and line change together under the lock, so scopes that
    // several threads open at once never share a number or corrupt the table.
    std::lock_guard guard(s.lock);
    m_number = s.nextNumber++;
    auto [it, inserted] = s.depth.try_emplace(std::this_thread::get_id(), 0);
    if (!inserted) it->second += 4;
    qs::trace::WriteLineLocked(s, m_number, it->second, m_text);
}

CTraceScope::~CTraceScope() {
    if (!IsConsoleTraceEnabled() || m_number == 0) return;
    auto& s = qs::trace::State();
    std::lock_guard guard(s.lock);
    auto it = s.depth.find(std::this_thread::get_id());
    const int depth = it == s.depth.end() ? 0 : it->second;
    qs::trace::WriteLineLocked(s, m_number, depth, m_text);
    if (it == s.depth.end()) return;
    if (it->second == 0) {
        s.depth.erase(it);
        s.out << '\n';
        s.out.flush();
    } else {
        it->second -= 4;
    }
}

void ConsoleTrace(const CTraceScope& scope, const char* format, ...) {
    if (!IsConsoleTraceEnabled()) return;
    va_list args;
    va_start(args, format);
    const std::string text = qs::trace::FormatV(format, args);
    va_end(args);
    auto& s = qs::trace::State();
    std::lock_guard guard(s.lock);
    auto it = s.depth.find(std::this_thread::get_id());
    qs::trace::WriteLineLocked(s, scope.Number(), it == s.depth.end() ? 0 : it->second, text);
}

#pragma once
// The console trace log: "console.txt", in which traced functions record
// their entry and exit, nested by indentation, one number per scope. Off
// unless the machine's configuration turns it on; while off every call
// returns after one test of a flag.
#include <cstdarg>
#include <string>

namespace qs::trace {

// Reads "IsEnable" and "Directory" from the machine key
// "SOFTWARE\Corvinet\Quillstone Workstation\5.0\Console" and opens the file.
void InitConsoleTrace();
// The same with the two settings given: enable is the "IsEnable" value, 0 when
// missing; directory null when "Directory" is missing.
void InitConsoleTrace(unsigned long enable, const std::string* directory);
void CloseConsoleTrace();
bool IsConsoleTraceEnabled();

// <directory>/console.txt; "/console.txt" when the directory value is missing.
std::string ConsoleTraceFilePath(const std::string* directory);

}  // namespace qs::trace

// One traced call: writes the entry line now and the exit line when it ends.
class CTraceScope {
public:
    explicit CTraceScope(const char* format, ...) __attribute__((format(printf, 2, 3)));
    ~CTraceScope();
    CTraceScope(const CTraceScope&) = delete;
    CTraceScope& operator=(const CTraceScope&) = delete;

    const std::string& Text() const { return m_text; }
    int Number() const { return m_number; }

private:
    std::string m_text;
    int m_number = 0;
};

// One more line under an open scope.
void ConsoleTrace(const CTraceScope& scope, const char* format, ...) __attribute__((format(printf, 2, 3)));

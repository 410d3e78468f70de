#include "MessageFormat.h"

#include <cstdio>

namespace faultbox {

namespace {

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

std::string Tail(const char* file, int line, const char* date, const char* time, const char* gap) {
    std::string s;
    s += gap;
    s += "FILE: ";
    s += Text(file);
    s += gap;
    s += "LINE: ";
    s += std::to_string(line);
    s += gap;
    s += "LAST COMPILED: ";
    s += Text(date);
    s += " ";
    s += Text(time);
    s += "\n";
    return s;
}

std::string BoxBody(const char* message, const char* file, int line, const char* date, const char* time) {
    return "Debug Mode Message\n\n" + Text(message) + "\n\nFILE: " + Text(file) + "\nLINE: " + std::to_string(line) +
           "\nLAST COMPILED: " + Text(date) + " " + Text(time) + "\n";
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Start of the first blank-separated word equal to `entry`, or npos.
std::size_t FindWord(const std::string& line, const std::string& entry) {
    if (entry.empty()) return std::string::npos;
    for (std::size_t at = line.find(entry); at != std::string::npos; at = line.find(entry, at + 1)) {
        std::size_t end = at + entry.size();
        bool startsWord = at == 0 || IsBlank(line[at - 1]);
        bool endsWord = end == line.size() || IsBlank(line[end]);
        if (startsWord && endsWord) return at;
    }
    return std::string::npos;
}

}  // namespace

std::string ErrorBoxText(const char* message, const char* file, int line, const char* date, const char* time) {
    return "ERRORMSG: " + BoxBody(message, file, line, date, time);
}

std::string ErrorLine(const char* message, const char* file, int line, const char* date, const char* time) {
    return "*****ERRORMSG: " + Text(message) + Tail(file, line, date, time, " ");
}

std::string AlertBoxText(char priority, const char* message, const char* file, int line, const char* date,
                         const char* time) {
    const char* word = priority == '3' ? "INFORMATIONAL " : priority == '2' ? "WARNING " : priority == '1' ? "CRITICAL " : "";
    return std::string("ALERT: ") + word + BoxBody(message, file, line, date, time);
}

std::string AlertLine(char priority, const char* message, const char* file, int line, const char* date,
                      const char* time) {
    const char* word = priority == '3'   ? "INFORMATIONAL - "
                       : priority == '2' ? "WARNING - "
                       : priority == '1' ? "CRITICAL - "
                                         : "";
    return std::string("**ALERT:") + word + Text(message) + Tail(file, line, date, time, " ");
}

std::string TraceLine(const char* message, const char* file, int line, const char* date, const char* time) {
    return "TRACE_MSG: " + Text(message) + Tail(file, line, date, time, "  ");
}

std::string RightMost(const std::string& text, std::size_t count) {
    if (text.size() <= count) return text;
    std::size_t from = text.size() - count;
    while (from < text.size() && (static_cast<unsigned char>(text[from]) & 0xC0) == 0x80) ++from;
    return text.substr(from);
}

bool AlertPriorityShown(char priority, char showPriority) {
    return !(static_cast<signed char>(priority) > static_cast<signed char>(showPriority));
}

std::string DriverMessageLine(const char* message, long lParam1, long lParam2) {
    constexpr std::size_t kBuffer = 200;
    char values[96];
    std::snprintf(values, sizeof values, "\tlParam1 = %08lx, lParam2 = %08lx\n\r", static_cast<unsigned long>(lParam1),
                  static_cast<unsigned long>(lParam2));
    const std::string prefix = "PCrftFaultbox: ";
    std::string text = Text(message);
    std::size_t room = kBuffer - 1 - prefix.size() - std::string(values).size();
    if (text.size() > room) text.resize(room);
    return prefix + text + values;
}

bool EditDriversLine(std::string& line, const std::string& entry, bool add) {
    std::size_t at = FindWord(line, entry);
    if (add) {
        if (at != std::string::npos) return false;
        line += " " + entry;
        return true;
    }
    if (at == std::string::npos) return false;
    std::size_t end = at + entry.size();
    if (at > 0) --at;                                       // the blank in front of it
    else if (end < line.size()) ++end;                      // first word: the blank after it
    line.erase(at, end - at);
    return true;
}

}  // namespace faultbox

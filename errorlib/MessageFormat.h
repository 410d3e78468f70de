#pragma once
// The texts the message library builds: message-box texts, the lines sent to
// the debug window and the message file, the driver-message line, and the
// editing of the boot "drivers" line. Pure functions, so every format and
// filter can be checked without a window, a server or a second process.
#include <cstddef>
#include <string>

namespace faultbox {

// Lines for the window and the file are cut to this many characters, keeping
// their end (the file, line and compile time) and losing their beginning.
inline constexpr std::size_t kMaxOutputLine = 250;

// Null arguments count as empty texts.
std::string ErrorBoxText(const char* message, const char* file, int line, const char* date, const char* time);
std::string ErrorLine(const char* message, const char* file, int line, const char* date, const char* time);
std::string AlertBoxText(char priority, const char* message, const char* file, int line, const char* date,
                         const char* time);
std::string AlertLine(char priority, const char* message, const char* file, int line, const char* date,
                      const char* time);
std::string TraceLine(const char* message, const char* file, int line, const char* date, const char* time);

// The right-most `count` bytes; a UTF-8 sequence cut at the front is dropped
// whole rather than left half there.
std::string RightMost(const std::string& text, std::size_t count = kMaxOutputLine);

// An alert is shown when its priority character is not above the highest
// priority shown ('0' lets none through, '3' lets '1' to '3' through). The
// comparison is of signed characters.
bool AlertPriorityShown(char priority, char showPriority);

// "PCrftFaultbox: <message>\tlParam1 = %08lx, lParam2 = %08lx\n\r", at most
// 199 characters: a long message is shortened so that the two values and the
// line end are always kept.
std::string DriverMessageLine(const char* message, long lParam1, long lParam2);

// Adds `entry` as a whole blank-separated word of the drivers line, or
// removes its first whole occurrence with the blank that separated it (so
// that adding and removing gives back the line as it was). A word that
// merely contains `entry` ("xfaultbox.dll") is left alone. True when the
// line changed.
bool EditDriversLine(std::string& line, const std::string& entry, bool add);

}  // namespace faultbox

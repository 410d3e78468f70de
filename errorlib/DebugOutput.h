#pragma once
// The debugger output of the library. Each call is one message, written to
// standard error as one line: a text that does not end its own line gets a
// line end.
#include <string>

namespace faultbox {

void DebugOutput(const char* text);
inline void DebugOutput(const std::string& text) { DebugOutput(text.c_str()); }

}  // namespace faultbox

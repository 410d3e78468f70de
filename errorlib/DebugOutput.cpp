#include "DebugOutput.h"

#include <cstring>
#include <string>
#include <unistd.h>

namespace faultbox {

void DebugOutput(const char* text) {
    std::string line = text ? text : "";
    if (line.empty() || (line.back() != '\n' && line.back() != '\r')) line += '\n';
    // One write per message, so lines of several processes sharing a
    // terminal or log never interleave within a line.
    const char* p = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        ssize_t n = ::write(STDERR_FILENO, p, left);
        if (n <= 0) break;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

}  // namespace faultbox

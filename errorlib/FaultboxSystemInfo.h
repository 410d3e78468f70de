#pragma once
// The system information the library gathers when it starts in a process:
// the machine's Windows directory, whose system.ini holds the options, so
// every user of the machine shares one set of options, also on a Terminal
// Server.
#include <string>

namespace faultbox {

// Gathers the values once; false (after its messages) when the system
// information cannot be found.
bool DetectEdition();

// The machine's Windows directory; empty until DetectEdition, or when the
// library's own location could not be found.
const std::string& OptionsDirectory();
// The user's own Windows directory on a Terminal Server, else the Windows
// directory. Kept, not used further.
const std::string& ProfileDirectory();
bool TerminalServer();

// The edition chosen from the files beside the library: "QSEE" beside
// "QuillstoneEnterpriseSnapin.dll", else "QUILLSTONE".
std::string EditionForLibraryDirectory(const std::string& directory);

}  // namespace faultbox

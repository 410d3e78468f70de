#pragma once
// What a configured machine holds for Qstone to start: the registry mode,
// the edition's profile in the Windows directory naming a system, working,
// project and help folder that exist, the tips, the default and style files
// in the working folder, and the statistics-import library in the system
// folder. Running it again repairs what is missing and keeps the rest.
#include <string>
#include <vector>

namespace qs::install {

struct Options {
    unsigned long mode = 1;           // registry "Mode": 1 standard, 2 enterprise
    std::string systemDirectory;      // default: the program folder
    std::string dataRoot;             // default: qs::env::UserDataDirectory()
};

struct Layout {
    std::string profile;
    std::string systemDirectory;
    std::string workingDirectory;
    std::string filesPath;
    std::string helpfilesDirectory;
    std::string database;  // the enterprise database (enterprise edition)
};

// Returns the layout written; problems go to `warnings` (a missing library is
// a warning, not a failure). False when something could not be written.
bool Install(const Options& options, Layout& layout, std::vector<std::string>& warnings);

}  // namespace qs::install

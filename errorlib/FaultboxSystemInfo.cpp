#include "FaultboxSystemInfo.h"

#include <dlfcn.h>

#include "SystemInfo.h"

namespace faultbox {

namespace {

struct LibrarySystemValues {
    std::string optionsDirectory;
    std::string profileDirectory;
    bool terminalServer = false;
};

LibrarySystemValues& Values() {
    static LibrarySystemValues values;
    return values;
}

// The folder of the loaded library file; empty when it cannot be found.
std::string LibraryDirectory() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<const void*>(&LibraryDirectory), &info) == 0 || info.dli_fname == nullptr)
        return std::string();
    std::string path = info.dli_fname;
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::string EditionForLibraryDirectory(const std::string& directory) {
    const std::string snapin = directory + "/QuillstoneEnterpriseSnapin.dll";
    return qs::sysinfo::FileExists(snapin, false) ? qs::sysinfo::kEditionEnterprise : qs::sysinfo::kEditionStandard;
}

bool DetectEdition() {
    const std::string directory = LibraryDirectory();
    // Without its own location the library cannot tell the edition; it
    // then runs with the values empty (options read from "system.ini" in
    // the working directory), as it always has.
    if (directory.empty()) return true;
    const std::string edition = EditionForLibraryDirectory(directory);
    bool terminalServer = false;
    std::string windowsDirectory;
    std::string userWindowsDirectory;
    if (!qs::sysinfo::GetSystemInformation(edition, terminalServer, windowsDirectory, userWindowsDirectory)) {
        qs::sysinfo::ShowMessage("Failed to get system information in Errordll module!", std::string(),
                                 qs::sysinfo::MessageIcon::Stop);
        return false;
    }
    LibrarySystemValues& v = Values();
    v.optionsDirectory = windowsDirectory;
    v.profileDirectory = terminalServer ? userWindowsDirectory : windowsDirectory;
    v.terminalServer = terminalServer;
    return true;
}

const std::string& OptionsDirectory() { return Values().optionsDirectory; }
const std::string& ProfileDirectory() { return Values().profileDirectory; }
bool TerminalServer() { return Values().terminalServer; }

}  // namespace faultbox

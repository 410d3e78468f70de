#include "files/DefaultPageSetup.h"

#include "CArchive.h"
#include "CException.h"
#include "CFile.h"
#include "SystemInfo.h"

namespace qs::app {

CPageSetup LoadDefaultPageSetup(const std::string& workingDirectory) {
    const CPageSetup kernelDefaults;
    if (workingDirectory.empty()) return kernelDefaults;
    CFile file;
    if (!file.Open(qs::sysinfo::ResolveNoCase(workingDirectory, kPageSetupDefaultsFile),
                   CFile::modeRead))
        return kernelDefaults;
    // The defaults file was written in the layout the print lists use.
    CPageSetup setup;
    CPageSetup::SetVersion(1);
    try {
        CArchive ar(&file, CArchive::load, 4096);
        setup.Serialize(ar);
        ar.Close();
    } catch (const CException&) {
        setup = kernelDefaults;
    }
    CPageSetup::SetVersion(0);
    file.Abort();
    return setup;
}

}  // namespace qs::app

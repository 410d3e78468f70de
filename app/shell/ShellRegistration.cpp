#include "shell/ShellRegistration.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "AppRegistry.h"
#include "QsEnvironment.h"

namespace qs::app {

namespace {

bool WriteAtomically(const std::string& path, const std::string& text) {
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.good()) return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

int GetProjectFileGenerationCount() { return kProjectFileGenerationCount; }

void RegisterProjectExtensions() {
    for (int g = 1; g <= kProjectFileGenerationCount; ++g)
        WriteClassesRootDefault(".qs" + std::to_string(g), "Quillstone.Document");
}

std::string DesktopEntryPath() { return qs::env::XdgDataHome() + "/applications/quillstone-qstone.desktop"; }
std::string MimePackagePath() { return qs::env::XdgDataHome() + "/mime/packages/quillstone.xml"; }

bool RegisterShellDocument(const std::string& progId, const std::string& iconIndex) {
    const std::string program = qs::env::ExecutableDirectory() + "/qstone";
    WriteClassesRootDefault(progId + "\\DefaultIcon", program + "," + iconIndex);

    std::string mimeTypes;
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    for (int g = 1; g <= kProjectFileGenerationCount; ++g) {
        const std::string type = "application/x-quillstone-qs" + std::to_string(g);
        mimeTypes += type + ";";
        xml << "  <mime-type type=\"" << type << "\">\n    <comment>Quillstone project</comment>\n"
            << "    <glob pattern=\"*.qs" << g << "\"/>\n  </mime-type>\n";
    }
    xml << "  <mime-type type=\"application/x-quillstone-dfl\">\n    <comment>Factor library</comment>\n"
        << "    <glob pattern=\"*.dfl\"/>\n  </mime-type>\n</mime-info>\n";
    mimeTypes += "application/x-quillstone-dfl;";

    std::ostringstream desktop;
    desktop << "[Desktop Entry]\nType=Application\nName=Quillstone\nComment=Actuarial loss-reserve workstation\n"
            << "Exec=\"" << program << "\" %f\nTerminal=false\nCategories=Office;Finance;\n"
            << "MimeType=" << mimeTypes << "\n";

    if (!qs::env::EnsureDirectory(qs::env::XdgDataHome() + "/applications") ||
        !qs::env::EnsureDirectory(qs::env::XdgDataHome() + "/mime/packages"))
        return false;
    bool ok = true;
    // Written only when changed, so every start does not touch the files.
    if (ReadAll(MimePackagePath()) != xml.str()) ok = WriteAtomically(MimePackagePath(), xml.str()) && ok;
    if (ReadAll(DesktopEntryPath()) != desktop.str()) ok = WriteAtomically(DesktopEntryPath(), desktop.str()) && ok;
    return ok;
}

}  // namespace qs::app

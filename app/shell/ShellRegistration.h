#pragma once
// The program's place in the desktop shell: project extensions in the
// classes root of the registry stand-in, and the freedesktop entries
// (a MIME type per project extension and a .desktop launcher) in the
// user's data folder.
#include <string>

namespace qs::app {

inline constexpr int kProjectFileGenerationCount = 5;
int GetProjectFileGenerationCount();

// HKCR\.qs1 ... .qs5 = "Quillstone.Document"; failures are ignored.
void RegisterProjectExtensions();

// The shell icon of a document type (icon index as the program's resources
// number them): a .desktop entry and the MIME package under
// $XDG_DATA_HOME. False when the files could not be written.
bool RegisterShellDocument(const std::string& progId, const std::string& iconIndex);

std::string DesktopEntryPath();
std::string MimePackagePath();

}  // namespace qs::app

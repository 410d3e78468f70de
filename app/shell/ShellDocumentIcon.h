#pragma once
// Registers the program as the icon of a document type, for the file manager.
//
// The registry's classes root stays the record the program reads: the
// default value of <ProgID>\DefaultIcon becomes the program's command line
// (without "/dde" and what follows) + " ," + the icon index. Both keys must
// already exist (the file-type registration made them): when either is
// missing nothing is written and the answer is false. On success the desktop
// is told: a freedesktop shared-MIME package for the ProgID is written under
// $XDG_DATA_HOME/mime/packages with the extensions that the classes root maps
// to the ProgID and the document icon's name.
#include <QString>

// With the running program's own command line.
bool RegisterShellDocument(const QString& progId, const QString& iconIndex);

namespace qs::app {

bool RegisterShellDocument(const QString& progId, const QString& iconIndex, const QString& commandLine);

// The command line as registered: double quotes trimmed at both ends, then
// blanks; cut before "/dde" when present and trimmed again the same way.
QString ShellIconCommand(const QString& commandLine);

// The MIME type and package file written for a ProgID
// ("Quillstone.Document" -> "application/x-quillstone-document").
QString MimeTypeForProgId(const QString& progId);
QString MimePackagePath(const QString& progId);

}  // namespace qs::app

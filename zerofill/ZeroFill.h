#pragma once
// The work of the blanks-to-zeros utility on one project file, apart from its
// wizard: names of the backup, output and log files, the conversion of one
// data object, and the whole round of one file (load, convert, back up, save
// crash-safely, log). Every failure is told to the user in an OK box and the
// file is left as it was; the caller goes on with the next file.
#include <QString>

#include <cstdint>
#include <functional>
#include <string>

class CArchive;
class CDataObject;
class CompoundFile;

namespace qs::zerofill {

// Sample.qs4 -> Sample.BK4 (the third-last and second-last characters become
// "BK"); empty when the name is too short to hold an extension.
QString BackupPathFor(const QString& path);
// Sample.qs4 -> Sample.qs5 (the last character becomes '5'); a .qs5 file is
// rewritten in place. An output that exists beside an older input is
// replaced only when the user answers Yes to the question.
QString OutputPathFor(const QString& path);
// The project's path with its extension replaced by ".log"; dots in folder
// names are not extensions. Empty when the file name has no extension.
QString LogPathFor(const QString& path);
// True for a name ending in ".qs" and a generation digit 1 to 5 (any case).
bool IsProjectFileName(const QString& path);

// Turns the blanks of one data object into zeros and returns how many cells
// changed. Cells past the newest diagonal that holds a value stay blank (no
// evaluation has reached them yet). For a triangle that has an incremental
// view the stored values are cumulative, and a blank must not become a
// negative increment:
//  - a blank before the row's first value becomes 0;
//  - a blank between two values becomes a zero increment (it takes the value
//    before it);
//  - a blank after the row's last value becomes a zero increment in
//    incremental mode and stays blank otherwise (a cumulative 0 there would
//    be a negative increment).
// Other objects (vectors, triangles without an incremental view) get 0 in
// every blank up to the newest diagonal. Values already there never change.
int ZeroFillBlanks(CDataObject& object, bool incremental);

// Stores one stream of the storage through a storing archive with a
// 4096-byte buffer: 1 on success, 0 when the stream cannot be created or the
// object's archiving threw.
int SaveObjectToStream(CompoundFile& storage, const std::string& streamName,
                       const std::function<void(CArchive&)>& store);

struct FileResult {
    bool converted = false;
    int objects = 0;      // data objects converted
    int cells = 0;        // cells that became zeros
};

struct ProcessOptions {
    bool incremental = false;
    // For tests: when it names a stream, storing that stream fails as a full
    // disk or a broken writer would make it fail.
    std::string failStream;
};

// The whole round of one file; reports its failures in OK boxes.
FileResult ProcessProjectFile(const QString& path, const ProcessOptions& options);

}  // namespace qs::zerofill

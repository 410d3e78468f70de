#include "ZeroFill.h"

#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "CArchive.h"
#include "CAtomicFile.h"
#include "CDataObject.h"
#include "CFile.h"
#include "CProject.h"
#include "CompoundFile.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "WaitCursor.h"

namespace qs::zerofill {

namespace {

const char kUnknownError[] = "An unknown error has occurred.  Click on OK button to continue with next file.";
const char kCouldNotOpen[] =
    "File %1 could not be opened.  It is most likely already open or in use.  Click on OK button to continue with "
    "next file";
const char kNotSerialized[] = "File %1 could not be serialized from.  Click on OK button to continue with next file";
const char kReadOnly[] =
    "File %1 is read only or already open by another process.  Click on OK button to continue with next file";
const char kStylesNotStored[] =
    "Could not stor the default graph styles into the converted file.  Click on OK button to continue with next file.";
const char kStorageFailed[] =
    "Could not complete the storage operation on the converted file.  Click on OK button to continue with next file.";
const char kGraphsNotStored[] =
    "Could not store the graphs into the converted file %1.  It was left unchanged.  Click on OK button to continue "
    "with next file.";
const char kNotProjectFile[] =
    "File %1 is not a Quillstone project file (.qs1 to .qs5).  Click on OK button to continue with next file";
const char kBackupFailed[] =
    "A backup copy of file %1 could not be written to %2.  The file was left unchanged.  Click on OK button to "
    "continue with next file";
const char kLogFailed[] = "The log %1 could not be written.  Click on OK button to continue with next file";
const char kReplaceOther[] =
    "File %1 already exists.  Do you want to replace it with the converted %2?  Click on No to leave it as it is and "
    "continue with next file.";

// The node types whose objects are converted, in this order.
constexpr QSID kNodeTypes[] = {qsk::kNodeAdjustments, qsk::kNodeMethodInput, qsk::kNodeUserInput,
                               qsk::kCatUltimate,     qsk::kNodeSelectedUlt, qsk::kNodeHistoricalUlt};

void Report(const QString& text) { AfxMessageBox(text, MB_OK); }

bool IsPermissionError(int err) { return err == EACCES || err == EPERM || err == EROFS; }

// A regular file only: a device or a pipe chosen by mistake would block the
// program or read forever.
bool IsRegularFile(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Writes a whole file or nothing (temporary beside it, renamed on success).
bool WriteWholeFileAtomically(const std::string& path, const void* data, std::size_t size) {
    CAtomicFile file;
    if (!file.Open(path)) return false;
    try {
        file.Write(data, size);
        file.Commit();
    } catch (...) {
        file.Abort();
        return false;
    }
    return true;
}

class NoWindow : public IKernelWindow {
public:
    void XRefresh(CFormula*, int, long) override {}
};

}  // namespace

QString BackupPathFor(const QString& path) {
    if (path.size() < 3) return {};
    QString backup = path;
    backup[path.size() - 3] = u'B';
    backup[path.size() - 2] = u'K';
    return backup;
}

QString OutputPathFor(const QString& path) {
    if (path.isEmpty()) return {};
    QString output = path;
    output[path.size() - 1] = u'5';
    return output;
}

QString LogPathFor(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot <= slash + 1) return {};  // no extension (a leading dot names a hidden file)
    return path.left(dot) + QStringLiteral(".log");
}

bool IsProjectFileName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    if (name.size() < 5) return false;
    const QString ext = name.right(4).toLower();
    return ext.startsWith(QLatin1String(".qs")) && ext[3] >= u'1' && ext[3] <= u'5';
}

int ZeroFillBlanks(CDataObject& object, bool incremental) {
    std::uint16_t rows = 0, cols = 0;
    object.GetMaxRowsCols(rows, cols);
    std::vector<double> values = object.Values();
    std::vector<std::uint8_t> flags = object.Flags();
    if (values.size() != std::size_t(rows) * cols || flags.size() != values.size()) return 0;
    const auto rowLength = [&](int r) {
        std::uint16_t n = 0;
        object.GetNumColsInRow(static_cast<std::uint16_t>(r), n);
        return int(n);
    };
    const auto at = [&](int r, int c) { return std::size_t(r) * cols + c; };
    const auto holdsValue = [&](int r, int c) { return (flags[at(r, c)] & CDataObject::CF_VALUE) != 0; };
    // Every column of every row is one development period, so a cell's
    // distance from its row's end tells its evaluation: equal distances lie
    // on one diagonal, and the newest diagonal with data has the least.
    int newest = INT_MAX;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < rowLength(r); ++c)
            if (holdsValue(r, c)) newest = std::min(newest, rowLength(r) - 1 - c);
    if (newest == INT_MAX) return 0;  // nothing entered: nothing to fill against

    const bool cumulative = object.IsCumulable() && object.GetVectorType() == CDataObject::VT_TRIANGLE;
    int changed = 0;
    for (int r = 0; r < rows; ++r) {
        const int length = rowLength(r);
        int last = -1;
        for (int c = 0; c < length; ++c)
            if (holdsValue(r, c)) last = c;
        double previous = 0.0;  // the row's cumulative value before the cell
        for (int c = 0; c < length; ++c) {
            const std::size_t i = at(r, c);
            if (holdsValue(r, c)) {
                previous = values[i];
                continue;
            }
            if (length - 1 - c < newest) continue;  // past the newest diagonal
            double zero = 0.0;
            if (cumulative) {
                if (c > last && last >= 0 && !incremental) continue;
                zero = previous;
            }
            values[i] = zero;
            flags[i] = static_cast<std::uint8_t>((flags[i] & ~(CDataObject::CF_BLANK | CDataObject::CF_NOTAVAIL)) |
                                                 CDataObject::CF_VALUE);
            ++changed;
        }
    }
    if (changed == 0) return 0;
    object.SetRecalcOn(0);
    const QSSTATUS status = object.SetAllCells(values, flags);
    object.SetRecalcOn(1);
    return status == 0 ? changed : 0;
}

int SaveObjectToStream(CompoundFile& storage, const std::string& streamName,
                       const std::function<void(CArchive&)>& store) {
    if (!storage.IsOpen() || storage.IsReadOnly()) return 0;
    std::vector<std::uint8_t> bytes;
    try {
        CWaitCursor wait;
        CArchive ar(bytes, CArchive::store);
        store(ar);
        ar.Close();
    } catch (...) {
        return 0;
    }
    return storage.WriteStream(streamName, std::move(bytes)) ? 1 : 0;
}

namespace {

FileResult ProcessOneFile(const QString& path, const ProcessOptions& options) {
    FileResult result;
    // A name without an extension is not a project file; the chooser only
    // offers project files, so such a name was typed: skip it quietly.
    if (LogPathFor(path).isEmpty()) return result;
    if (!IsProjectFileName(path)) {
        Report(QString::fromLatin1(kNotProjectFile).arg(path));
        return result;
    }
    auto project = std::make_unique<CProject>();
    const std::string localPath = QFile::encodeName(path).toStdString();

    // The log is written as a whole once the project is saved; opening it
    // now tells at once whether the folder takes files.
    const QString logPath = LogPathFor(path);
    CAtomicFile log;
    int logError = 0;
    if (!log.Open(QFile::encodeName(logPath).toStdString(), CFile::modeCreate | CFile::modeWrite, &logError)) {
        Report(QString::fromLatin1(IsPermissionError(logError) ? kReadOnly : kCouldNotOpen).arg(path));
        return result;
    }

    // Load the project as it is on disk; its bytes become the backup.
    std::vector<std::uint8_t> original;
    if (!IsRegularFile(path) || !ReadWholeFile(localPath, original)) {
        Report(QString::fromLatin1(kCouldNotOpen).arg(path));
        return result;
    }
    bool loaded = false;
    if (!CompoundFile::HasCompoundSignature(original.data(), original.size())) {
        CFile file;
        if (!file.Open(localPath, CFile::modeRead | CFile::shareDenyWrite)) {
            Report(QString::fromLatin1(kCouldNotOpen).arg(path));
            return result;
        }
        try {
            CArchive ar(&file, CArchive::load, 4096);
            project->Archive(ar, 1);
            ar.Close();
            file.Close();
            loaded = true;
        } catch (...) {
            file.Abort();
        }
    } else {
        CompoundFile storage;
        if (storage.Open(localPath, CompoundFile::Mode::ReadWrite) == CompoundFile::OpenResult::Ok) {
            std::vector<std::uint8_t> bytes;
            if (storage.ReadStream("QS1", bytes)) {
                try {
                    CArchive ar(bytes, CArchive::load);
                    project->Archive(ar, 1);
                    ar.Close();
                    loaded = true;
                } catch (...) {
                }
            }
            // The graph streams go back into the converted file as they were
            // read; one that cannot be read would be lost, so the file stays.
            const auto readGraphs = [&](const char* name, QSSTATUS (CProject::*load)(const std::uint8_t*, std::size_t)) {
                std::vector<std::uint8_t> stream;
                if (!storage.ReadStream(name, stream) || stream.empty()) return;
                if ((project.get()->*load)(stream.data(), stream.size()) != 0) loaded = false;
            };
            if (loaded) readGraphs("GraphData", &CProject::LoadGraphData);
            if (loaded) readGraphs("DefGraphStyles", &CProject::LoadDefGraphStyles);
            storage.Close();
        }
    }
    const QSSTATUS status = project->GetLoadStatus();
    if (!loaded || (status != CProject::LS_OK && status != CProject::LS_OLDER)) {
        Report(QString::fromLatin1(kNotSerialized).arg(path));
        return result;
    }

    // Convert.
    std::string logText;
    NoWindow owner;
    for (QSID node : kNodeTypes) {
        for (unsigned short layer = 1; layer <= 5; ++layer) {
            QSStringArray names;
            QSIDArray ids;
            if (project->GetNodeObjects(node, names, ids, layer, 1, 1, 1, 0) != 0) continue;
            for (std::size_t k = 0; k < ids.size(); ++k) {
                QSID id = ids[k];
                const int kind = GetIDDOType(id);
                if (kind == 5 || kind == 6) continue;
                SetIDLayer(id, layer);
                CFormula* object = project->OpenObject(id, layer, &owner, 0);
                if (object == nullptr) continue;
                // Calculated layers follow their sources and take no writes.
                auto* data = dynamic_cast<CDataObject*>(object);
                if (data != nullptr && !data->IsReadOnly()) {
                    logText += (k < names.size() ? names[k] : std::string()) + " " + std::to_string(id) + "\n";
                    result.cells += ZeroFillBlanks(*data, options.incremental);
                    ++result.objects;
                }
                project->CloseObject(object, &owner);
            }
        }
    }

    // Back up the file as it was before anything is written.
    const QString backupPath = BackupPathFor(path);
    if (!WriteWholeFileAtomically(QFile::encodeName(backupPath).toStdString(), original.data(), original.size())) {
        Report(QString::fromLatin1(kBackupFailed).arg(path, backupPath));
        return result;
    }

    // Save: every stream goes into one commit, so the output is either the
    // whole converted project or what it was before.
    const QString outputPath = OutputPathFor(path);
    const std::string localOutput = QFile::encodeName(outputPath).toStdString();
    if (::access(localOutput.c_str(), F_OK) == 0 && ::access(localOutput.c_str(), W_OK) != 0) {
        Report(QString::fromLatin1(kReadOnly).arg(outputPath));
        return result;
    }
    // Sample.qs4 goes to Sample.qs5: a Sample.qs5 already there is another
    // file (the user's own, or an earlier conversion), and only the input has
    // a backup. It is replaced only when the user says so.
    if (outputPath != path && QFileInfo::exists(outputPath) &&
        AfxMessageBox(QString::fromLatin1(kReplaceOther).arg(outputPath, path), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return result;
    CompoundFile output;
    const CompoundFile::OpenResult created = output.Create(localOutput);
    if (created == CompoundFile::OpenResult::LockedByOther || created == CompoundFile::OpenResult::AccessDenied) {
        Report(QString::fromLatin1(kReadOnly).arg(outputPath));
        return result;
    }
    if (created != CompoundFile::OpenResult::Ok) {
        Report(QString::fromLatin1(kStorageFailed));
        return result;
    }
    const auto store = [&](const std::string& name, const std::function<void(CArchive&)>& write) {
        if (!options.failStream.empty() && options.failStream == name)
            return SaveObjectToStream(output, name, [](CArchive&) { throw std::runtime_error("store failed"); });
        return SaveObjectToStream(output, name, write);
    };
    if (!project->GraphList().empty() &&
        !store("GraphData", [&](CArchive& ar) { project->SerializeGraphData(ar); })) {
        Report(QString::fromLatin1(kGraphsNotStored).arg(outputPath));
        return result;
    }
    if (!store("DefGraphStyles", [&](CArchive& ar) { project->SerializeDefGraphStyles(ar); })) {
        Report(QString::fromLatin1(kStylesNotStored));
        return result;
    }
    if (!store("QS1", [&](CArchive& ar) { project->Archive(ar, 1); }) || !output.Commit()) {
        Report(QString::fromLatin1(kStorageFailed));
        return result;
    }
    output.Close();
    result.converted = true;

    try {
        log.Write(logText.data(), logText.size());
        log.Commit();
    } catch (...) {
        log.Abort();
        Report(QString::fromLatin1(kLogFailed).arg(logPath));
    }
    return result;
}

}  // namespace

FileResult ProcessProjectFile(const QString& path, const ProcessOptions& options) {
    // The kernel reports through statuses; anything thrown here is a lack of
    // memory or a fault, and ends this file only.
    try {
        return ProcessOneFile(path, options);
    } catch (...) {
        Report(QString::fromLatin1(kUnknownError));
        return {};
    }
}

}  // namespace qs::zerofill

#pragma once
// What the exhibit option dialogs need of the application that hosts them:
// the application's mode value, the working directory of the defaults files,
// the factor-library folders, the navigator's layer and project, and the
// enterprise library records. The application fills these at start-up; tests
// set what they drive. Unset hooks behave as an interactive file-mode
// workstation (file-mode flag: qs::views::Settings().fileMode).
#include <QString>

#include <functional>
#include <string>
#include <vector>

class CFSLib;
class CProject;

namespace qs::views {

// The enterprise side of a factor library; a file workstation has none.
class IExhibitLibraryStore {
public:
    struct LibraryRecord {
        long id = -1;
        std::string name;
        std::string description;
    };
    virtual ~IExhibitLibraryStore() = default;
    // The libraries in the database; false when they cannot be read.
    virtual bool ListLibraries(std::vector<LibraryRecord>& records) = 0;
    virtual bool GetDFLfromDB(CFSLib& library, const std::string& name) = 0;
    virtual bool LoadFactorSetsFromDB(CFSLib& library, long id) = 0;
    // Whether the user may use the library (kind 4, permission 2).
    virtual bool CheckPermission(long libraryId) = 0;
    // The named-item Open dialog: the chosen name, false on Cancel.
    virtual bool ChooseLibrary(const std::vector<LibraryRecord>& records, std::string& chosen) = 0;
};

// One statistics row as the statistic definition dialog edits it.
struct StatisticDefinition {
    int order = 0;
    int typeIndex = 0;  // 0 "Average", 1 "Linear Trend", 2 "Exponential Curve"
    int includeZeros = 0;
    int excludeHighLow = 0;
    int excludeFirst = 0;
    int excludeLast = 0;
    int useLast = 0;
    int weights = 0;  // 0 none, 1 "VOLUME", 2 "TIME", 3 "USER"
    int includeInGraph = 0;
};

struct ExhibitDialogsHost {
    // The statistic definition dialog: edits def, false on Cancel. Unset:
    // nothing is edited (false).
    std::function<bool(StatisticDefinition& def)> editStatistic;
    // The application's mode value (automation runs set it); 0 when unset.
    std::function<int()> applicationMode;
    // The "Working Directory" setting: the folder of the defaults files.
    QString workingDirectory;
    // The factor-library file dialog starts in "Files Path" when the
    // files-folder switch is on, else in the last factor-library folder
    // (shared with the application's file commands).
    bool filesFolderSwitch = false;
    QString filesPath;
    QString lastFactorLibraryFolder;
    // The navigator's layer and project (the flood-fill settings dialogs
    // start on that layer; Browse opens the library for that project).
    std::function<unsigned short()> navigatorLayer;
    std::function<CProject*()> activeProject;
    // The log file that failures are appended to in database mode.
    std::function<std::string()> logFilePath;
    // The file chooser of a factor library: the chosen path, or empty on
    // Cancel. Unset: the platform's file dialog.
    std::function<QString(const QString& title, const QString& folder)> chooseLibraryFile;
    // The database side; null on a file workstation.
    IExhibitLibraryStore* store = nullptr;
};

ExhibitDialogsHost& ExhibitHost();

int ApplicationModeValue();

}  // namespace qs::views

#pragma once
// What the factor-library document and view need of the application that
// hosts them. The application fills these at start-up; tests set what they
// drive. Unset hooks behave as an interactive file-mode workstation with
// default settings.
#include <QString>

#include <functional>
#include <string>

class CDocTemplate;
class CFSLib;
class CProject;
class IKDVDatabaseManager;

namespace qs::factors {

// The library's records in the enterprise database, reached through a
// database manager. The enterprise layer provides one; a file workstation
// has none, and a library can then not be bound to a database manager.
class IFactorLibraryStore {
public:
    virtual ~IFactorLibraryStore() = default;
    // Binds the library to the manager; negative on failure.
    virtual long InitProjectWithDBManager(CFSLib& library, IKDVDatabaseManager* manager) = 0;
    virtual bool GetDFLfromDB(CFSLib& library, const std::string& name) = 0;
    virtual bool LoadFactorSetsFromDB(CFSLib& library, long id) = 0;
    virtual bool InsertDFLinDB(CFSLib& library, long* id, long userId, const std::string& name) = 0;
    virtual bool UpdateDFLinDB(CFSLib& library, long id, const std::string& name) = 0;
    virtual bool StoreFactorSetsToDB(CFSLib& library, long id) = 0;
    // Whether the logged-in user holds the right on the category; false
    // when the question itself failed.
    virtual bool CheckUserRight(int category, int right, int& answer) = 0;
    // Drops from every set the rows of user-defined factors the project no
    // longer holds; changed tells whether any set changed.
    virtual bool CleanupUdSdfsInEachFactorSet(CFSLib& library, CProject* project, bool& changed) = 0;
    virtual long LoggedInUserId() = 0;
};

struct FactorLibraryHost {
    // The application's file-mode flag: 1 while projects live in files.
    std::function<int()> fileMode;
    std::function<void(int)> setFileMode;
    // The application's mode value (automation runs set it).
    std::function<int()> applicationMode;
    // "Show Table ID#": exhibit lists show labels with table numbers.
    std::function<bool()> showTableId;
    // "Enter Moves" of the workstation settings (4: Enter does not move down).
    std::function<int()> enterMoves;
    // The profile holding section "Settings" (for "DFL decimals").
    std::function<std::string()> profilePath;
    // The application's log file (failures under automation and database mode).
    std::function<std::string()> logFilePath;
    // The application's batch step goes on (database mode).
    std::function<void()> batchContinue;
    // The template of the library documents and of the project documents.
    std::function<CDocTemplate*()> libraryTemplate;
    std::function<CDocTemplate*()> projectTemplate;
    // The database side of the library; null on a file workstation.
    IFactorLibraryStore* store = nullptr;
};

FactorLibraryHost& Host();

int FileMode();
int ApplicationMode();
bool ShowTableId();

// The kernel-failure report: a message box while the main window is
// visible; under automation (or in database mode) also a time-stamped line
// in the log file and the kernel's error flag.
void ReportFailure(const QString& text);
// A line of the log file: a line feed, the local time ("%X"), two blanks and
// the text.
void AppendLogLine(const QString& text);

}  // namespace qs::factors

#pragma once
// The statistics-database import run: after the wizard, one new project per
// company and line of business (or one summed project) is made, filled by
// the import engine and written, with a running log in the status window.
#include <QString>

#include <functional>
#include <vector>

#include "LexigroveInterface.h"

namespace qs::app {

class StatusSink;

struct StatisticsImportChoices {
    std::vector<long> companies;  // indexes into the engine's company list
    std::vector<long> lobs;       // rows of the engine's line-of-business map
    QString folder;
    bool oneFilePerPair = true;
    QString summaryFileName;      // one summed file: its name in folder
    bool priorRow = true;
};

// What the run needs of the program; each has a default that needs no user.
struct StatisticsImportHost {
    GetLexigroveInstanceFn get = nullptr;
    ReleaseLexigroveInstanceFn release = nullptr;
    // True when the path is open as a project document.
    std::function<bool(const QString&)> isOpen;
    // The conflict dialog's answer for an existing target (0..4).
    std::function<int(const QString& message)> askConflict;
    // Opens a produced file as a project.
    std::function<void(const QString&)> openProject;
    // A line for the status window (tests collect them).
    std::function<void(const QString&)> write;
    // The main frame's status text, progress steps and busy window; null: none.
    StatusSink* status = nullptr;
};

// Runs the import; returns the paths written.
std::vector<QString> RunStatisticsImport(const StatisticsImportChoices& choices, StatisticsImportHost& host);

}  // namespace qs::app

#pragma once
// What the set-up sheet needs from the application that owns it. The
// application sits above this library, so it hands these in at start-up;
// the defaults suit a program without an application object (tests, tools).
#include <QString>

#include <functional>

#include "CPageSetup.h"

struct PrjSheetEnvironment {
    bool interactive = true;        // a person works the program
    int applicationMode = 0;        // 2 and 3: the scripting server is making a template
    QString workingDirectory;       // where "display.def" lives; empty: no defaults file
    // Number formats of the display page's preview (negative style, thousands, decimals[, before, symbol]).
    std::function<QString(int, bool, int)> buildNumberFormat;
    std::function<QString(int, bool, bool, int, const QString&)> buildAccountingFormat;
    std::function<QString(int, bool, int)> buildPercentFormat;

    // Creating a project.
    QString logFilePath;                                  // failures are logged here when not interactive
    std::function<void(const QString&)> beginProgress;    // status-bar progress with a caption
    std::function<void(const QString&)> endProgress;      // ends it, with a closing text or none
    std::function<void()> redrawMainWindow;
    std::function<CPageSetup()> defaultPageSetup;         // the program's page setup for new projects
    std::function<void(const QString&)> reportError;      // a failure report (default: a message box)
    std::function<void()> newProjectCreated;              // e.g. switch the navigator's data-only filter off
};

// The one environment of the process (the application sets it at start-up).
PrjSheetEnvironment& PrjSheetEnv();

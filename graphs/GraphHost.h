#pragma once
// What the graph code needs of the application beyond the project document
// and the views' settings. The application fills it at start-up; tests set
// what they drive. Unset hooks fall back to an interactive file-mode
// program without a navigator.
#include <QString>

#include <functional>

class QPrinter;

namespace qs::graphs {

struct GraphHost {
    // The navigator's four display settings, as the project's object lists
    // take them: data only, entered, calculated, selected. Unset: every
    // table, with data or without.
    std::function<void(int& dataOnly, int& entered, int& calculated, int& selected)> navigatorDisplay;
    // The working directory ("graphs.rgb", the "styles" folder). Unset or
    // empty: the project document's working directory setting.
    QString workingDirectory;
};

GraphHost& Host();

// The working directory without a trailing separator.
QString WorkingDirectory();
// The styles folder below it (its name matched without case; "styles" when
// there is none yet).
QString StylesFolder();
// 1 while projects live in files (the views' file-mode flag).
bool IsFileMode();

}  // namespace qs::graphs

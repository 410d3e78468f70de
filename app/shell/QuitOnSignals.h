#pragma once

namespace qs::app {

// SIGTERM and SIGINT end the event loop as the Exit command does, so the
// shutdown steps still run. Needs the QCoreApplication; once per process.
void InstallQuitOnSignals();

}  // namespace qs::app

#pragma once
// The printing host: binds the printing subsystem to the running program
// (settings, printers, the batch run's projects, the print fields, the
// project's Default Page Setup command).
class CQuillstoneApp;

namespace qs::app {

void BindPrinting(CQuillstoneApp& app);
// Takes the settings the user may have changed since (working directory,
// file mode) into the printing host.
void SyncPrintHost();

}  // namespace qs::app

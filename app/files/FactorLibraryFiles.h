#pragma once
// The factor-library documents' link to the application: their settings,
// templates, log file and menu.
class CQuillstoneApp;

namespace qs::app {

void BindFactorLibraries(CQuillstoneApp& app);

}  // namespace qs::app

#pragma once
// The sample grid of the display settings (the set-up sheet's Display page
// and the File Display Options dialog): "Number", "Currency" and "Percent"
// rows of 1234 and -1234, formatted as the settings would show them.
#include "CDisplayDefaults.h"

class CDataExchange;
class CDialog;
class CProject;
class CWnd;

namespace qs::ss {
class SpreadsheetControl;
}

namespace qs::project {

// Lays the sample out (font "MS Sans Serif" 8, title "SAMPLE").
void BuildDisplayPreview(qs::ss::SpreadsheetControl& grid);
// Formats the sample rows with the application's format builders.
void FormatDisplayPreview(qs::ss::SpreadsheetControl& grid, const CDisplaySettings& settings);

// The project's number display, and back (symbol and position, negative
// form, separators, decimals).
void ReadDisplaySettings(const CProject& project, CDisplaySettings& settings);
void WriteDisplaySettings(CProject& project, const CDisplaySettings& settings);
// Moves the settings to or from the display controls of a dialog or page
// (currency symbol 1005, decimals 1006, negative format 1013, currency
// position 1015, thousands separator 1113); the symbol keeps 4 characters.
void ExchangeDisplaySettings(CDataExchange* pDX, const CWnd& owner, CDisplaySettings& settings);
// The symbol picked from the list (entry index) becomes the settings' and
// the controls show it; false when index names no entry.
bool PickCurrencySymbol(CDialog& owner, int index, CDisplaySettings& settings);

}  // namespace qs::project

#pragma once
// The application's side of the table views: the workstation settings the
// views read, the hints sent to every project's views, and the two commands
// that edit view settings (Workstation Setup and Zoom).
#include "WindowsTypes.h"

class CObject;
class CView;
class CWnd;
class CWorkstationSetupDlg;

namespace qs::app {

// Copies what the views read of the workstation settings into their settings
// and binds their application services.
void SyncViewSettings();
// The same for the exhibit option dialogs (working directory, mode value,
// navigator, statistic editor).
void SyncExhibitDialogsHost();

// UpdateAllViews on every open project document (and, with dfl, on every
// factor library document).
void UpdateAllProjectViews(CView* sender, long hint, CObject* hintObject);
void UpdateAllFactorLibraryViews(CView* sender, long hint, CObject* hintObject);

// The dialog's members from the workstation settings, and back.
void LoadWorkstationSetup(CWorkstationSetupDlg& dialog);
void CommitWorkstationSetup(const CWorkstationSetupDlg& dialog);

// Workstation Setup: runs the dialog; after OK commits it, hands the
// full-precision flag to the kernel and sends the hints 2, 5 and 8 to the
// project views, 5 and 8 to the factor library views. False on Cancel.
bool RunWorkstationSetup(CWnd* parent);

// Zoom: the Zoom dialog on the "Scale" setting; after OK every
// project view gets hint 4. False on Cancel.
bool RunZoom(CWnd* parent);

}  // namespace qs::app

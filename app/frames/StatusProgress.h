#pragma once
// The status-bar progress of long document operations (loading, creating,
// closing a project, period and report commands): a progress bar laid over
// panes 1 to 4 of the main frame's status bar, range 0..10, registered with
// the main frame's progress protocol while it lasts. Operations nest (a
// project closing while another loads); each end removes the latest bar.
#include <QString>

class QProgressBar;

namespace qs::app {

// Makes the bar (when there is a main frame) and sets a non-null caption as
// the pending status text.
void BeginStatusProgress(const QString& caption);
// The main frame forgets the bar, which goes; a non-null text becomes the
// pending status text.
void EndStatusProgress(const QString& text);
// The bar of the innermost operation; null when none.
QProgressBar* CurrentStatusProgress();
int StatusProgressDepth();

}  // namespace qs::app

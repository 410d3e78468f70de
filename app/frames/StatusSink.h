#pragma once
// What long work tells the person watching, offered by the main frame: the
// status text, a progress step and the busy window around it. Work of this
// process calls it directly; the frame's WM_USER messages remain for callers
// in other libraries and processes.
#include <QString>

namespace qs::app {

class StatusSink {
public:
    virtual ~StatusSink() = default;
    // The pending status text: the busy window's message at the next step,
    // the status bar's first pane when the work ends.
    virtual void SetStatusText(const QString& text) = 0;
    // The progress bar's number of steps (when one is registered).
    virtual void SetProgressSteps(unsigned steps) = 0;
    // One step of the work: the progress bar moves, a busy window comes up
    // when none is, and the interface is kept alive.
    virtual void Step() = 0;
    // The work has ended: the pending text goes to the status bar and the
    // busy window a step brought up goes.
    virtual void EndBusy() = 0;
};

}  // namespace qs::app

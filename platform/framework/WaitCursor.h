#pragma once
// The hourglass: nested on/off requests, shown while the count is above zero.

namespace qs::fw {

// 1 turns it on (one level), -1 off (one level), 0 shows it again if it is on
// (after a box that changed the cursor).
void DoWaitCursor(int nCode);
int WaitCursorDepth();

}  // namespace qs::fw

class CWaitCursor {
public:
    CWaitCursor() { qs::fw::DoWaitCursor(1); }
    ~CWaitCursor() { qs::fw::DoWaitCursor(-1); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore() { qs::fw::DoWaitCursor(0); }
};

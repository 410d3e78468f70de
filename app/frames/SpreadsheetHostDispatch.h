#pragma once
// Notifications of the spreadsheet library to the window that carries a
// spreadsheet (messages WM_USER+1 .. WM_USER+24), handed on as signals of
// the host. The parameter block (lParam) is the library's array of values.
#include <QObject>

#include "WindowsTypes.h"

class CSpreadsheetHostDispatch : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // True when the message belongs to the spreadsheet range (handled or
    // ignored); false for any other message (default window processing).
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

signals:
    // WM_USER+1, +4, +5, +16, +20; code is the offset from WM_USER.
    void Notified(int code);
    // WM_USER+2, +3: the block's first value and the rest of the block.
    void NotifiedWithBlock(int code, long first, const long* rest);
    // WM_USER+6, +7, +23, +24: the block's first two values.
    void NotifiedWithPair(int code, long first, long second);
    // WM_USER+21, +22: the block and the message's first parameter.
    void NotifiedWithParam(int code, const long* block, WPARAM wParam);
    // WM_USER+11: the host takes the input focus.
    void FocusRequested();
};

#include "frames/SpreadsheetHostDispatch.h"

#include "WindowMessages.h"

bool CSpreadsheetHostDispatch::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message < WM_USER + 1 || message > WM_USER + 24) return false;
    const int code = static_cast<int>(message - WM_USER);
    const auto* block = reinterpret_cast<const long*>(lParam);
    switch (code) {
    case 1: case 4: case 5: case 16: case 20:
        emit Notified(code);
        break;
    case 2: case 3:
        if (block) emit NotifiedWithBlock(code, block[0], block + 1);
        break;
    case 6: case 7: case 23: case 24:
        if (block) emit NotifiedWithPair(code, block[0], block[1]);
        break;
    case 21: case 22:
        emit NotifiedWithParam(code, block, wParam);
        break;
    case 11:
        emit FocusRequested();
        break;
    default:
        break;  // the rest of the range is the library's and means nothing here
    }
    return true;
}

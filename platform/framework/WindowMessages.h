#pragma once
// Message numbers the framework and the application exchange. Numbers below
// WM_USER are the framework's own; WM_USER+n belong to the receiving window
// class; RegisterWindowMessage hands out numbers from 0xC000.
#include "WindowsTypes.h"

enum : UINT {
    WM_NULL = 0x0000,
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006,
    WM_SETTEXT = 0x000C,
    WM_GETTEXT = 0x000D,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_SHOWWINDOW = 0x0018,
    WM_SETCURSOR = 0x0020,
    WM_NOTIFY = 0x004E,
    WM_COMMAND = 0x0111,
    WM_TIMER = 0x0113,
    WM_INITMENU = 0x0116,
    WM_INITMENUPOPUP = 0x0117,
    WM_MENUSELECT = 0x011F,
    WM_DROPFILES = 0x0233,
    WM_MDIDESTROY = 0x0221,
    WM_MDIACTIVATE = 0x0222,
    WM_MDINEXT = 0x0224,
    WM_DDE_ACK = 0x03E4,
    WM_DDE_EXECUTE = 0x03E8,
    WM_USER = 0x0400,
    WM_APP = 0x8000,
    // The framework's private messages.
    WM_IDLEUPDATECMDUI = 0x0363,
    WM_INITIALUPDATE = 0x0364,
};

// Registered messages: the same name gives the same number in every process
// (case-insensitive, as window-message names are). The number is
// 0xC000 + FNV-1a(upper-cased UTF-8 name) mod 0x3FFF, so two programs agree
// without talking to each other; should two different names collide inside
// one process, the later one moves to the next free number (then it is only
// stable within that process). Returns 0 for an empty name.
UINT RegisterWindowMessage(const char* name);

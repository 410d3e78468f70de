#pragma once
// The integer types and truth values the application code is written with.
// Aliases only, so another library declaring the same names agrees with us.
#include <cstdint>

using BOOL = int;
using UINT = unsigned int;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

using UINT_PTR = std::uintptr_t;
using LONG = std::int32_t;

// Opaque handles: a window (see CWnd::FromHandle) and a list position.
struct WindowHandleTag;
using HWND = WindowHandleTag*;
struct ListPositionTag;
using POSITION = ListPositionTag*;

inline constexpr WORD LOWORD(std::uintptr_t v) { return WORD(v & 0xFFFF); }
inline constexpr WORD HIWORD(std::uintptr_t v) { return WORD((v >> 16) & 0xFFFF); }
inline constexpr DWORD MAKELONG(WORD low, WORD high) { return DWORD(low) | (DWORD(high) << 16); }
using INT_PTR = std::intptr_t;

#pragma once
// Movable global memory blocks named by 32-bit handles, as a library hands
// them to its caller: the caller frees a block it received with GlobalFree.
// Handles are process-wide, never 0, and not reused while the process runs,
// so a stale handle is refused instead of reaching another block.
#include <cstddef>
#include <cstdint>

namespace winmem {

using HGLOBAL = std::uint32_t;

constexpr unsigned GMEM_MOVEABLE = 0x0002;
constexpr unsigned GMEM_ZEROINIT = 0x0040;
constexpr unsigned GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// 0 when the block cannot be had. A block of size 0 is valid.
HGLOBAL GlobalAlloc(unsigned flags, std::size_t bytes);
// The block's bytes, or null for an unknown handle. Locks nest.
void* GlobalLock(HGLOBAL h);
// False when the lock count reached 0 (as the platform reports it).
bool GlobalUnlock(HGLOBAL h);
// 0 for an unknown handle.
std::size_t GlobalSize(HGLOBAL h);
// 0 when freed; the handle itself when it is unknown (the platform's failure).
HGLOBAL GlobalFree(HGLOBAL h);

// Blocks still allocated in this process (tests check that nothing leaks).
std::size_t GlobalBlockCount();

}  // namespace winmem

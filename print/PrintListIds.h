#pragma once
// The marker entries of a print list, told by the kernel's id fields (object
// type 0 in each): page-setup changes (instance 96, the id minus 96000000 is
// the key of a page setup of the list), page breaks (instance 98, the index
// is the next page number, 0 = next in sequence), and the All Arrays (99,
// index 1) and All Exhibits (99, index 2) entries.
#include "KernelIds.h"
#include "KernelTypes.h"

namespace qs::print {

inline constexpr QSID kPageSetupEntryBase = 96000000;
inline constexpr QSID kPageBreakEntryBase = 98000000;
inline constexpr int kPageSetupInstance = 96;
inline constexpr int kPageBreakInstance = 98;
inline constexpr int kAllEntriesInstance = 99;
// A page break that continues the numbering.
inline constexpr int kPageNumberInSequence = 2147483647;

inline bool IsGraphEntry(QSID id) { return IsGraphID(id); }
inline bool IsPageSetupEntry(QSID id) {
    return !IsGraphID(id) && GetIDDOType(id) == 0 && GetIDInstance(id) == kPageSetupInstance;
}
inline bool IsPageBreakEntry(QSID id) {
    return !IsGraphID(id) && GetIDDOType(id) == 0 && GetIDInstance(id) == kPageBreakInstance;
}
inline bool IsMarkerEntry(QSID id) { return IsPageSetupEntry(id) || IsPageBreakEntry(id); }
inline QSID PageSetupEntryId(int key) { return kPageSetupEntryBase + key; }
inline QSID PageBreakEntryId(int nextPage) {
    QSID id = kPageBreakEntryBase;
    SetIDIndex(id, nextPage);
    return id;
}

}  // namespace qs::print

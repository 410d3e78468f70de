#pragma once
// A cell's row and column, and the two numbers a cell is packed into:
//   Packed()  row * 65536 + column: the keys of a data object's notes (stored
//             so in project files) and the cells a change lists;
//   Notice()  row * 10000 + column: the position a window hears of a cell,
//             a row or a column in "XREFRESH" (KernelTypes.h).
// Rows and columns count from 0 and stay below 10000 (a notice) and 65536.
#include <cstdint>

struct CellKey {
    int row = 0;
    int col = 0;

    static constexpr std::uint32_t kPackStep = 65536;
    static constexpr long kNoticeStep = 10000;

    constexpr std::uint32_t Packed() const {
        return static_cast<std::uint32_t>(row) * kPackStep + static_cast<std::uint32_t>(col);
    }
    static constexpr CellKey FromPacked(std::uint32_t key) {
        return {static_cast<int>(key / kPackStep), static_cast<int>(key % kPackStep)};
    }
    constexpr long Notice() const { return static_cast<long>(row) * kNoticeStep + col; }
    static constexpr CellKey FromNotice(long position) {
        return {static_cast<int>(position / kNoticeStep), static_cast<int>(position % kNoticeStep)};
    }
    constexpr bool operator==(const CellKey&) const = default;
};

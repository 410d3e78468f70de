// The two packed forms of a cell: the note keys are stored in project files
// and the notice positions are what windows decode, so both numbers are
// fixed; a row and column come back from each unchanged.
#include <gtest/gtest.h>

#include "CellKey.h"

TEST(CellKey, PacksAndUnpacksBothForms) {
    struct Case {
        const char* name;
        CellKey cell;
        std::uint32_t packed;
        long notice;
    };
    const Case cases[] = {
        {"origin", {0, 0}, 0u, 0L},
        {"row 2 column 1", {2, 1}, 2u * 65536u + 1u, 20001L},
        {"column only", {0, 9999}, 9999u, 9999L},
        {"last notice row", {9999, 9999}, 9999u * 65536u + 9999u, 99999999L},
        {"widest packed column", {3, 65535}, 3u * 65536u + 65535u, 3L * 10000 + 65535},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.cell.Packed(), c.packed);
        EXPECT_EQ(CellKey::FromPacked(c.packed), c.cell);
        EXPECT_EQ(c.cell.Notice(), c.notice);
        if (c.cell.col < CellKey::kNoticeStep) {
            EXPECT_EQ(CellKey::FromNotice(c.notice), c.cell);
        }
    }
}

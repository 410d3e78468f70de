#include "SpreadsheetControl.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

using namespace qs::ss;

namespace {

// Records every notification the control sends.
struct Recorder {
    struct Entry {
        int code, row, col;
        QString text;
    };
    std::vector<Entry> seen;
    explicit Recorder(SpreadsheetControl& c) {
        QObject::connect(&c, &SpreadsheetControl::Notified, [this](int code, int row, int col, Notification* n) {
            seen.push_back({code, row, col, n->text});
        });
    }
    int Count(int code) const {
        int n = 0;
        for (const auto& e : seen) n += e.code == code;
        return n;
    }
};

TEST(SpreadsheetControl, CellsShowTheirNumberFormat) {
    SpreadsheetControl grid;
    ASSERT_EQ(grid.SetNumber(2, 3, -1234.5), SS_OK);
    ASSERT_EQ(grid.SetSelection(2, 3, 2, 3), SS_OK);
    ASSERT_EQ(grid.SetNumberFormat("#,##0.00_);(#,##0.00)"), SS_OK);
    QString text;
    grid.GetText(2, 3, text);
    EXPECT_EQ(text, "(1,234.50)");
    grid.GetEntry(2, 3, text);
    EXPECT_EQ(text, "-1234.5");
    double v = 0;
    grid.GetNumber(2, 3, v);
    EXPECT_EQ(v, -1234.5);
    EXPECT_EQ(grid.SetNumberFormat("0.00\""), SS_BadFormat);
    EXPECT_EQ(grid.SetNumber(16385, 1, 1), SS_BadRow);
    EXPECT_EQ(grid.SetText(1, 257, "x"), SS_BadColumn);
}

}  // namespace

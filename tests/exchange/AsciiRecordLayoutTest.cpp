// The ASCII record layout: "ascrec.dat" read and written byte for byte, its
// defaults and old version, and the dialog that edits it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>

#include <sys/stat.h>
#include <unistd.h>

#include "AsciiRecordLayout.h"
#include "CAsciiRecordStructureDlg.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "ProjectHost.h"
#include "TestEnvironment.h"

using qs::exchange::AsciiRecordLayout;
using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;

namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

std::vector<int> List(const CByteArray& a) {
    std::vector<int> out;
    for (INT_PTR i = 0; i < a.GetSize(); ++i) out.push_back(a[i]);
    return out;
}

class AsciiRecordLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = qs::test::MakeTempDir("ascrec");
        qs::project::Host().workingDirectory = QString::fromStdString(m_dir);
        m_path = m_dir + "/ascrec.dat";
    }
    void TearDown() override { qs::project::Host() = qs::project::ProjectHost{}; }

    std::string m_dir;
    std::string m_path;
};

TEST_F(AsciiRecordLayoutTest, WithoutTheFileTheDefaultsHold) {
    CAsciiRecordStructureDlg dialog;
    EXPECT_EQ(dialog.LayoutPath(), m_path);
    EXPECT_EQ(List(dialog.m_arrHeaderWidths), (std::vector<int>{0, 2, 0, 4, 0, 2, 0, 3, 0, 12, 2, 0, 0, 0, 0, 1, 0, 1}));
    EXPECT_EQ(List(dialog.m_arrDataWidths), (std::vector<int>{0, 2, 0, 4, 0, 2, 0, 3, 0, 12, 0}));
}

// A written file reads back to the same layout and the same 33 bytes;
// the layout of the table: signature, version, header 1-11, data 1-11,
// header 12-17, the linefeeds flag.
TEST_F(AsciiRecordLayoutTest, FileRoundTripsByteForByte) {
    AsciiRecordLayout layout = AsciiRecordLayout::Defaults();
    for (int i = 0; i < AsciiRecordLayout::kHeaderFields; ++i) layout.header[i] = std::uint8_t(10 + i);
    for (int i = 0; i < AsciiRecordLayout::kDataFields; ++i) layout.data[i] = std::uint8_t(200 + i);
    layout.useLinefeeds = false;
    std::string error;
    ASSERT_TRUE(qs::exchange::SaveAsciiRecordLayout(m_path, layout, &error)) << error;
    const std::string bytes = qs::test::ReadFile(m_path);
    ASSERT_EQ(bytes.size(), 33u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFF\x01\x00", 4));
    EXPECT_EQ(std::uint8_t(bytes[4]), 10);    // header field 1
    EXPECT_EQ(std::uint8_t(bytes[15]), 200);  // data field 1
    EXPECT_EQ(std::uint8_t(bytes[26]), 21);   // header field 12
    EXPECT_EQ(std::uint8_t(bytes[32]), 0);    // no linefeeds
    EXPECT_EQ(qs::exchange::LoadAsciiRecordLayout(m_path), layout);

    // Any 33-byte version 1 file comes back exactly as it was read.
    std::string odd = bytes;
    for (std::size_t i = 4; i < odd.size(); ++i) odd[i] = char(i * 7);
    AsciiRecordLayout read;
    ASSERT_TRUE(AsciiRecordLayout::Parse(Bytes(odd), read));
    const std::vector<std::uint8_t> again = read.Serialize();
    // The flag byte is stored as 0 or 1.
    odd[32] = odd[32] != 0 ? 1 : 0;
    EXPECT_EQ(std::string(again.begin(), again.end()), odd);

    // Through the dialog: OK without changes writes the same bytes.
    ModalScript script;
    script.Then([](QDialog& d) { static_cast<CDialog&>(d).OnOK(); });
    CAsciiRecordStructureDlg dialog;
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(qs::test::ReadFile(m_path), bytes);
}

TEST_F(AsciiRecordLayoutTest, OldVersionAndForeignFilesAreReadAsThePartSays) {
    // Version 0: 26 widths; fields 16, 17 and the flag keep their defaults.
    std::string v0("\xFF\xFF\x00\x00", 4);
    for (int i = 0; i < 26; ++i) v0 += char(5);
    qs::test::WriteFile(m_path, v0);
    AsciiRecordLayout layout = qs::exchange::LoadAsciiRecordLayout(m_path);
    EXPECT_EQ(layout.header[14], 5);  // "Eval. Periods per Yr." (field 14)
    EXPECT_EQ(layout.header[15], 1);  // "All Prior Row Flag" keeps 1
    EXPECT_EQ(layout.header[16], 0);
    EXPECT_TRUE(layout.useLinefeeds);

    const struct {
        const char* label;
        std::string bytes;
    } foreign[] = {
        {"signature", std::string("\xFE\xFF\x01\x00", 4) + std::string(29, '\x05')},
        {"version 2", std::string("\xFF\xFF\x02\x00", 4) + std::string(29, '\x05')},
        {"cut short", std::string("\xFF\xFF\x01\x00", 4) + std::string(20, '\x05')},
        {"empty", std::string()},
    };
    for (const auto& f : foreign) {
        qs::test::WriteFile(m_path, f.bytes);
        EXPECT_EQ(qs::exchange::LoadAsciiRecordLayout(m_path), AsciiRecordLayout::Defaults()) << f.label;
    }
}

// OK checks each field against its minimum and 255; a refused field keeps
// the layout, the lists and the file as they were. Clearing "Use
// linefeeds" ends the header list and the file with 0.
TEST_F(AsciiRecordLayoutTest, DialogValidatesEveryFieldAndWritesOnOk) {
    const struct {
        const char* label;
        int controlId;
        const char* text;
        bool accepted;
    } cases[] = {
        {"Year 0", 1149, "0", false},
        {"Year 256", 1149, "256", false},
        {"Filler 0", 1146, "0", true},
        {"Num. Columns 0", 1161, "0", true},
        {"All Prior Row Flag 0", 1165, "0", true},
        {"Filler 256", 1047, "256", false},
        {"Data 255", 1155, "255", true},
        {"not a number", 1137, "x", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::remove(m_path.c_str());
        MessageBoxScript boxes;
        ModalScript script;
        int result = 0;
        script.Then([&](QDialog& d) {
            auto& dialog = static_cast<CAsciiRecordStructureDlg&>(d);
            dialog.SetDlgItemText(c.controlId, QString::fromLatin1(c.text));
            dialog.OnOK();
            if (!c.accepted) dialog.OnCancel();
        });
        CAsciiRecordStructureDlg dialog;
        result = int(dialog.DoModal());
        EXPECT_EQ(result, c.accepted ? IDOK : IDCANCEL);
        EXPECT_EQ(boxes.Count(), c.accepted ? 0u : 1u);
        EXPECT_EQ(access(m_path.c_str(), F_OK) == 0, c.accepted);
        if (!c.accepted) {
            EXPECT_EQ(dialog.Layout(), AsciiRecordLayout::Defaults());
        }
    }

    ModalScript script;
    script.Then([](QDialog& d) {
        auto& dialog = static_cast<CAsciiRecordStructureDlg&>(d);
        dialog.CheckDlgButton(AsciiRecordLayout::kUseLinefeedsId, 0);
        dialog.OnOK();
    });
    CAsciiRecordStructureDlg dialog;
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_arrHeaderWidths[17], 0);
    EXPECT_EQ(qs::test::ReadFile(m_path).back(), '\0');
}

// A layout that cannot be written is said, not swallowed; the run still
// uses it.
TEST_F(AsciiRecordLayoutTest, FailedWriteIsReportedAndTheOldFileKept) {
    if (geteuid() == 0) {
        // root writes anywhere: a folder in place of the file stops the rename.
        ASSERT_EQ(mkdir(m_path.c_str(), 0755), 0);
    } else {
        ASSERT_EQ(chmod(m_dir.c_str(), 0555), 0);
    }
    MessageBoxScript boxes;
    ModalScript script;
    script.Then([](QDialog& d) {
        auto& dialog = static_cast<CAsciiRecordStructureDlg&>(d);
        dialog.SetDlgItemText(1155, "15");
        dialog.OnOK();
    });
    CAsciiRecordStructureDlg dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes.Last().text.startsWith("The record structure could not be saved")) << boxes.Last().text.toStdString();
    EXPECT_EQ(dialog.m_arrDataWidths[9], 15);
    chmod(m_dir.c_str(), 0755);
}

}  // namespace

// Enhanced ASCII files split into their projects: by the bytes of their
// lines, whatever the line ends and the header option; what does not parse
// is refused with its reason and the projects around it still arrive.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>

#include "BatchContexts.h"
#include "ExchangeFixture.h"

using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;
using namespace qs::test;

namespace {

std::string Fixture() { return ReadFile(DataDir() + "/exchange/raa.dat"); }

class EnhancedAsciiImportTest : public ExchangeFixture {
protected:
    // Imports the named files of the test folder with a header option.
    void Import(const QStringList& names, int headerOption = 0) {
        ModalScript script;
        script
            .Then([headerOption](QDialog& d) {
                auto& dialog = static_cast<CDialog&>(d);
                dialog.SetDlgItemText(qs::exchange::IDC_HEADER_LENGTH, QString::number(headerOption));
                dialog.OnOK();
            })
            .Then([&](QDialog& d) {
                auto& dialog = dynamic_cast<QFileDialog&>(d);
                dialog.setDirectory(m_dir);
                QStringList quoted;
                for (const QString& n : names) quoted << "\"" + n + "\"";
                dialog.findChild<QLineEdit*>("fileNameEdit")->setText(names.size() == 1 ? names[0] : quoted.join(' '));
                d.accept();
            });
        CEnhancedAsciiBatchContext ctx(m_host);
        ctx.BatchImportEnhancedAscii();
        EXPECT_TRUE(script.AllHandled());
    }

    double Paid00(const QString& target) {
        auto doc = Load(target);
        double v = 0;
        if (!doc || !Cell(*doc->GetProject(), kPaid, NET, 0, 0, v)) return -1;
        return v;
    }
};

TEST_F(EnhancedAsciiImportTest, ScanFindsProjectsByTheirBytes) {
    std::string lf = Fixture();
    for (std::size_t p = 0; (p = lf.find("\r\n", p)) != std::string::npos;) lf.erase(p, 1);
    const struct {
        const char* label;
        std::string bytes;
        std::size_t projects;
        int refused;
    } cases[] = {
        {"CR LF", Fixture(), 2, 0},
        {"LF alone", lf, 2, 0},
        {"empty", "", 0, 0},
        {"no project record", "STRUCT  01|1\r\n", 0, 0},
        {"nameless", "\r\nQSPROJ  00        0|x|\r\nEND     09|0|0|0\r\n", 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        WriteFile(Path("scan.dat").toStdString(), c.bytes);
        qs::exchange::DatScan scan;
        ASSERT_TRUE(qs::exchange::ScanEnhancedAsciiFile(Path("scan.dat"), scan, nullptr));
        EXPECT_EQ(scan.projects.size(), c.projects);
        EXPECT_EQ(scan.refused.size(), c.refused);
        if (c.projects == 2) {
            EXPECT_EQ(scan.projects[0].name, "RAA");
            EXPECT_EQ(scan.projects[1].name, "RAADBL");
            EXPECT_EQ(c.bytes.compare(scan.projects[1].start, 10, "QSPROJ  00"), 0);
            EXPECT_EQ(scan.projects[0].end, scan.projects[1].start);
            EXPECT_EQ(scan.projects[1].end, c.bytes.size());
        }
    }
    QString error;
    qs::exchange::DatScan scan;
    EXPECT_FALSE(qs::exchange::ScanEnhancedAsciiFile(Path("missing.dat"), scan, &error));
    EXPECT_FALSE(error.isEmpty());
}

// Two files, the header option wrong for both: every project still goes
// into its own target with its own values.
TEST_F(EnhancedAsciiImportTest, WrongHeaderOptionDoesNotMixProjects) {
    WriteFile(Path("a.dat").toStdString(), Fixture());
    std::string second = Fixture();
    // The second file's projects under other names, without a file header.
    second = second.substr(16);
    for (auto [from, to] : {std::pair{"RAA     0", "SEC     0"}, std::pair{"RAADBL  0", "SECDBL  0"}})
        for (std::size_t p = 0; (p = second.find(from, p)) != std::string::npos;) second.replace(p, 9, to);
    WriteFile(Path("b.dat").toStdString(), second);
    Import({"a.dat", "b.dat"}, 99);
    EXPECT_EQ(m_log.back(), QStringLiteral("\r\n File(s) successfully imported!")) << LogText().toStdString();
    const double raa = Raa().At(0, 0);
    EXPECT_DOUBLE_EQ(Paid00(Path("RAA.qs5")), raa);
    EXPECT_DOUBLE_EQ(Paid00(Path("RAADBL.qs5")), 2 * raa);
    EXPECT_DOUBLE_EQ(Paid00(Path("SEC.qs5")), raa);
    EXPECT_DOUBLE_EQ(Paid00(Path("SECDBL.qs5")), 2 * raa);
    EXPECT_TRUE(m_openedForEditing.isEmpty());
}

// A file without projects fails the run and says so; a nameless project
// is refused; a damaged project with a long name is reported as such and
// the next project still arrives.
TEST_F(EnhancedAsciiImportTest, WhatDoesNotParseIsRefusedWithItsReason) {
    WriteFile(Path("empty.dat").toStdString(), "");
    Import({"empty.dat"});
    EXPECT_TRUE(m_log.contains(QStringLiteral("\r\n empty.dat holds no project.")));
    EXPECT_EQ(m_log.back(), QStringLiteral("\r\n One or more files failed to be imported!"));

    m_log.clear();
    std::string bytes = Fixture();
    // The first project: marked as having a longer name, and cut before its end record.
    const std::size_t first = bytes.find("QSPROJ  00");
    bytes[first + 18] = '1';
    const std::size_t second = bytes.find("QSPROJ  00", first + 1);
    const std::size_t end = bytes.rfind("END     09", second);
    bytes.erase(end, second - end - 2);
    bytes.insert(0, "\r\nQSPROJ  00        0|nameless|\r\n");
    WriteFile(Path("mixed.dat").toStdString(), bytes);
    Import({"mixed.dat"});
    const QString log = LogText();
    EXPECT_TRUE(log.contains("has no name; it is not imported.")) << log.toStdString();
    EXPECT_TRUE(m_log.contains(QStringLiteral("\tImport to RAA---.qs5 failed as enhanced ascii import does not support "
                                              "long names for qs files.")))
        << log.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Path("RAA.qs5")));
    EXPECT_DOUBLE_EQ(Paid00(Path("RAADBL.qs5")), 2 * Raa().At(0, 0));
    EXPECT_EQ(m_log.back(), QStringLiteral("\r\n One or more files failed to be imported!"));
}

}  // namespace

// The statistics import over damaged copies of the sample product: every
// company and line of business either imports exactly as from the sound
// product or fails with a line that says why, and no run reports success
// with a wrong or an empty project. Some copies are made here with SQL on
// the generated sample; the two with huge catalogue values are fuzzing finds
// kept in tests/data/statimport (see its SOURCE.md).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <functional>
#include <map>
#include <vector>

#include "CompoundFile.h"
#include "CWinApp.h"
#include "TestEnvironment.h"
#include "files/StatisticsImportRun.h"
#include "startup/LexigroveLoader.h"

namespace {

constexpr int kPairs = 4 * 3;  // the composite and three companies, three lines of business

void Sql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message << " in " << sql;
}

// Overwrites one leaf page in the middle of the items table with bytes that
// are no page: reading a row kept there fails with SQLITE_CORRUPT.
void CorruptItemsPage(const std::string& path) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT pageno FROM dbstat WHERE name = 'items' AND pagetype = 'leaf' ORDER BY pageno",
                                 -1, &st, nullptr),
              SQLITE_OK);
    std::vector<int> leaves;
    while (sqlite3_step(st) == SQLITE_ROW) leaves.push_back(sqlite3_column_int(st, 0));
    sqlite3_finalize(st);
    sqlite3_close(db);
    ASSERT_GT(leaves.size(), 2u);
    std::string bytes = qs::test::ReadFile(path);
    const std::size_t page = 4096, at = static_cast<std::size_t>(leaves[leaves.size() / 2] - 1) * page;
    ASSERT_LE(at + page, bytes.size());
    for (std::size_t i = 0; i < page; ++i) bytes[at + i] = static_cast<char>(0xA5 ^ (i * 7));
    qs::test::WriteFile(path, bytes);
}

struct Outcome {
    std::map<QString, std::string> written;  // file name -> its "QS1" stream
    QStringList log;
};

class StatisticsImportDamageTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = qs::test::MakeTempDir("damage");
        m_app.m_pszProfileName = QString::fromStdString(m_dir + "/qstone5.ini");
        m_app.WriteProfileString("Settings", "System Directory", QString::fromStdString(qs::test::BinDir()));
        ASSERT_TRUE(m_loader.Load(qs::test::BinDir()));
    }

    // A copy of the sample product (or of source) in a folder of its own,
    // with damage applied to it.
    std::string Product(const std::string& name, const std::function<void(const std::string&)>& damage,
                        const std::string& source = qs::test::BinDir() + "/statistics/ZID_IVI.sdb") {
        const std::string folder = m_dir + "/" + name;
        QDir().mkpath(QString::fromStdString(folder));
        const std::string path = folder + "/ZID_IVI.sdb";
        qs::test::WriteFile(path, qs::test::ReadFile(source));
        if (damage) damage(path);
        return folder;
    }

    // Imports every company and line of business from the product in folder,
    // one file per pair (or one summed file).
    Outcome Import(const std::string& folder, std::vector<long> companies = {0, 1, 2, 3}, bool each = true) {
        qs::test::SetEnv("QS_STAT_DIR", folder);
        const std::string out = folder + "/projects";
        QDir().mkpath(QString::fromStdString(out));
        Outcome o;
        qs::app::StatisticsImportHost host;
        host.get = m_loader.GetInstance();
        host.release = m_loader.ReleaseInstance();
        host.write = [&o](const QString& line) { o.log << line; };
        host.askConflict = [](const QString&) { return 4; };
        qs::app::StatisticsImportChoices c;
        c.companies = std::move(companies);
        c.lobs = {0, 1, 2};
        c.folder = QString::fromStdString(out);
        c.oneFilePerPair = each;
        c.summaryFileName = "Summed.qs5";
        c.priorRow = false;
        for (const QString& path : qs::app::RunStatisticsImport(c, host)) {
            CompoundFile file;
            std::vector<std::uint8_t> qs1;
            EXPECT_EQ(file.Open(path.toStdString(), CompoundFile::Mode::ReadOnly), CompoundFile::OpenResult::Ok);
            EXPECT_TRUE(file.ReadStream("QS1", qs1)) << path.toStdString();
            o.written[QFileInfo(path).fileName()] = std::string(qs1.begin(), qs1.end());
        }
        return o;
    }

    const Outcome& Reference() {
        if (m_reference.written.empty()) m_reference = Import(Product("sound", nullptr));
        return m_reference;
    }

    // Every written file is the sound product's; every pair not written has
    // its failure and the reason in the log; the end says there were errors.
    // Returns the number of pairs written.
    int ExpectRightOrRefused(const Outcome& o, const char* variant, int pairs = kPairs) {
        const Outcome& ref = Reference();
        EXPECT_EQ(ref.written.size(), std::size_t(kPairs));
        for (const auto& [name, bytes] : o.written) {
            auto it = ref.written.find(name);
            EXPECT_TRUE(it != ref.written.end()) << variant << ": " << name.toStdString() << " is no sound target";
            if (it != ref.written.end()) {
                EXPECT_TRUE(it->second == bytes) << variant << ": " << name.toStdString() << " differs";
            }
        }
        const int failed = static_cast<int>(
            o.log.count("ERROR: Import load process failed....file skipped.\r\n") +
            o.log.count("ERROR:  Error retrieving company information.  Company cannot be identified and will be skipped."));
        const bool aborted = !o.log.isEmpty() && o.log.last().endsWith("Import aborted");
        if (aborted) {
            EXPECT_TRUE(o.written.empty()) << variant;
            return 0;
        }
        EXPECT_EQ(static_cast<int>(o.written.size()) + failed, pairs) << variant << "\n" << o.log.join("\n").toStdString();
        // Each failure comes with its reason: a line of its own beside the Part's line.
        for (int i = 0; i < o.log.size(); ++i) {
            const QString& line = o.log[i];
            if (line == "ERROR: Import load process failed....file skipped.\r\n") {
                EXPECT_TRUE(i > 0 && o.log[i - 1].startsWith("ERROR:  ")) << variant << ": no reason before line " << i;
            }
            if (line.startsWith("ERROR:  Error retrieving company information")) {
                EXPECT_TRUE(i + 1 < o.log.size() && o.log[i + 1].startsWith("ERROR:  ")) << variant << ": no reason after line " << i;
            }
        }
        const bool success = o.log.contains("Import from the statistics database completed successfully.  No errors were detected.");
        EXPECT_EQ(success, failed == 0) << variant;
        return static_cast<int>(o.written.size());
    }

    CWinApp m_app{"Quillstone"};
    std::string m_dir;
    qs::app::LexigroveLoader m_loader;
    Outcome m_reference;
};

struct Damage {
    const char* name;
    std::string sql;        // applied to a copy of the sample
    int written;            // pairs that import right (-1: any number)
    const char* reason;     // a part of the reason the log gives (nullptr: any)
};

TEST_F(StatisticsImportDamageTest, EveryPairImportsRightOrFailsWithAReason) {
    // 00042 is Birchwood, 00123 Alder, 00777 Cobalt; A, WC and HO the lines of business.
    const Damage cases[] = {
        {"missing company code", "DELETE FROM items WHERE variable = 'D1' AND entity = '00042'", 9,
         "The company code of entity 00042 (Birchwood Casualty Company) is missing."},
        {"NULL company code", "UPDATE items SET txt = NULL WHERE variable = 'D1' AND entity = '00042'", 9, "is missing"},
        {"text company code", "UPDATE items SET txt = 'ABC' WHERE variable = 'D1' AND entity = '00042'", 9,
         "The company code \"ABC\" of entity 00042 (Birchwood Casualty Company) is not a number."},
        {"the composite's code on a company", "UPDATE items SET txt = '00000' WHERE variable = 'D1' AND entity = '00123'",
         9, "The company code PCOMP of entity 00123 (Alder Mutual Insurance Company) names another entity."},
        {"two companies with one code", "UPDATE items SET txt = '00042' WHERE variable = 'D1' AND entity = '00777'", 9,
         "names another entity"},
        {"text in a number column", "UPDATE items SET num = 'abc' WHERE variable = 'P3A5' AND entity = '00123' AND idx = 0",
         11, "could not be read from the statistics database"},
        {"a number with text after it",
         "UPDATE items SET num = '12.5e3x' WHERE variable = 'P7WC1' AND entity = '00042' AND idx = 2", 11, nullptr},
        {"a number past the largest", "UPDATE items SET num = 9e999 WHERE variable = 'P5A3' AND entity = 'PCOMP' AND idx = 0",
         11, nullptr},
        {"values whose difference is past the largest",
         "UPDATE items SET num = 1.7e308 WHERE variable = 'P3HO8' AND entity = '00777' AND idx = 0;"
         "UPDATE items SET num = -1.7e308 WHERE variable = 'P3HO8' AND entity = '00777' AND idx = 1",
         11, "does not fit its cell"},
        {"a series of texts where numbers belong", "UPDATE variables SET type = 2 WHERE symbol = 'P7A1'", 8,
         "holds no numbers"},
        {"an empty product", "DELETE FROM items WHERE variable LIKE 'P%' AND variable <> 'P3D11'", 0,
         "holds no figures for"},
    };
    for (const Damage& d : cases) {
        const Outcome o = Import(Product(d.name, [&](const std::string& path) { Sql(path, d.sql); }));
        const int written = ExpectRightOrRefused(o, d.name);
        if (d.written >= 0) {
            EXPECT_EQ(written, d.written) << d.name << "\n" << o.log.join("\n").toStdString();
        }
        if (d.reason) {
            EXPECT_TRUE(o.log.filter(QString::fromUtf8(d.reason)).size() > 0) << d.name << "\n" << o.log.join("\n").toStdString();
        }
    }
}

// The entity table lists Birchwood twice: the second entry (index 4, after
// the three companies) shares the first's code and is refused.
TEST_F(StatisticsImportDamageTest, OneCodeIsOneCompany) {
    const Outcome o = Import(Product("twice", [](const std::string& path) {
        Sql(path, "INSERT INTO entities SELECT db, 50, marker, symbol, name, description, category FROM entities "
                  "WHERE symbol = '00042' AND db = 'VEZIR'");
    }), {2, 4});
    EXPECT_EQ(ExpectRightOrRefused(o, "one entity listed twice", 6), 3) << o.log.join("\n").toStdString();
    EXPECT_TRUE(o.log.contains("ERROR:  The company code 00042 of Birchwood Casualty Company is given to Birchwood "
                               "Casualty Company as well."))
        << o.log.join("\n").toStdString();
}

TEST_F(StatisticsImportDamageTest, ADamagedPageIsAnErrorNeverTheEndOfTheData) {
    const Outcome o = Import(Product("corrupt", CorruptItemsPage));
    const int written = ExpectRightOrRefused(o, "corrupted page");
    EXPECT_LT(written, kPairs) << o.log.join("\n").toStdString();
}

TEST_F(StatisticsImportDamageTest, HugeCatalogueValuesAreBoundedByWhatTheTablesHold) {
    // 2,000,000,000 items for the P3 series (the statement year among them):
    // the session cannot start, and says so, instead of ending the program.
    const Outcome many = Import(Product("items", nullptr, qs::test::DataDir() + "/statimport/item-count-huge.sdb"));
    ASSERT_FALSE(many.log.isEmpty());
    EXPECT_EQ(many.log.last(), "ERROR:  Could not obtain the statistics database interface pointer.  Import aborted");
    EXPECT_TRUE(many.written.empty());

    // A size of 2,000,000,000 bytes for those series: their items are read
    // in the width they are delivered in, and everything imports right.
    const Outcome wide = Import(Product("size", nullptr, qs::test::DataDir() + "/statimport/variable-size-huge.sdb"));
    EXPECT_EQ(ExpectRightOrRefused(wide, "huge variable size"), kPairs);
}

TEST_F(StatisticsImportDamageTest, AProductWithoutDataAbortsTheRun) {
    const Outcome o = Import(Product("nothing", [](const std::string& path) {
        Sql(path, "DELETE FROM items; DELETE FROM variables; DELETE FROM entities; DELETE FROM databases");
    }));
    ASSERT_FALSE(o.log.isEmpty());
    EXPECT_TRUE(o.log.last().endsWith("Import aborted")) << o.log.join("\n").toStdString();
    EXPECT_TRUE(o.written.empty());
}

// A company whose code reads as the composite's was summed in as the
// composite a second time; now it is left out of the sum with its reason.
TEST_F(StatisticsImportDamageTest, TheSumNeverCountsTheCompositeTwice) {
    const std::string sound = Product("sum-sound", nullptr);
    const Outcome composite = Import(sound, {0}, false);
    const std::string folder = Product("sum", [](const std::string& path) {
        Sql(path, "UPDATE items SET txt = 'ABC' WHERE variable = 'D1' AND entity = '00123'");
    });
    const Outcome o = Import(folder, {0, 1}, false);
    ASSERT_EQ(o.written.size(), 1u);
    ASSERT_EQ(composite.written.size(), 1u);
    EXPECT_TRUE(o.written.begin()->second == composite.written.begin()->second);
    EXPECT_TRUE(o.log.contains("Import from the statistics database finished with warnings."));
}

// Two lines of business of one code name one target file: the second pair
// asks before it replaces what the first wrote in the same run.
TEST_F(StatisticsImportDamageTest, TwoPairsOfOneRunNeverWriteOneFileWithoutAsking) {
    const std::string folder = Product("lob", nullptr);
    const std::string system = m_dir + "/system";
    QDir().mkpath(QString::fromStdString(system));
    for (const char* map : {"var1.map", "var2.map", "utility.map"})
        QFile::copy(QString::fromStdString(qs::test::BinDir() + "/" + map), QString::fromStdString(system + "/" + map));
    qs::test::WriteFile(system + "/lob.map", "Version,1\nA,Auto,PPA\nA,Auto again,PPB\n");
    m_app.WriteProfileString("Settings", "System Directory", QString::fromStdString(system));
    qs::test::SetEnv("QS_STAT_DIR", folder);
    QStringList log, asked;
    qs::app::StatisticsImportHost host;
    host.get = m_loader.GetInstance();
    host.release = m_loader.ReleaseInstance();
    host.write = [&](const QString& line) { log << line; };
    host.askConflict = [&](const QString& message) {
        asked << message;
        return 2;  // Skip File
    };
    qs::app::StatisticsImportChoices c;
    c.companies = {1};
    c.lobs = {0, 1};
    c.folder = QString::fromStdString(m_dir + "/out");
    QDir().mkpath(c.folder);
    c.priorRow = false;
    const auto written = qs::app::RunStatisticsImport(c, host);
    ASSERT_EQ(written.size(), 1u);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0], written[0] + " already exists.  Please select an option below.");
    EXPECT_TRUE(log.contains("WARNING: Skipping file due to user request"));
}

}  // namespace

// The enterprise edition's installation: a working database by default.
#include <gtest/gtest.h>

#include <QSqlQuery>

#include <filesystem>

#include "ConnectionSettings.h"
#include "DatabaseManager.h"
#include "QsProfile.h"
#include "TestEnvironment.h"
#include "startup/Installation.h"

namespace {

class EnterpriseInstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = qs::test::MakeTempDir("enterprise");
        qs::test::SetEnv("QS_WINDOWS_DIR", m_root + "/windows");
        qs::test::SetEnv("QS_DATA_DIR", m_root + "/data");
        qs::test::SetEnv("QS_MACHINE_DIR", m_root + "/machine");
    }
    bool Install(qs::install::Layout& layout) {
        qs::install::Options o;
        o.mode = 2;
        o.systemDirectory = qs::test::BinDir();
        std::vector<std::string> warnings;
        return qs::install::Install(o, layout, warnings);
    }
    std::string m_root;
};

TEST_F(EnterpriseInstallTest, NewUserGetsAnSQLiteDatabaseWithThemselvesInIt) {
    qs::install::Layout layout;
    ASSERT_TRUE(Install(layout));
    const std::string file = m_root + "/data/enterprise.qsdb";
    EXPECT_EQ(layout.database, file);
    ASSERT_TRUE(std::filesystem::exists(file));
    const auto settings = qs::db::ConnectionSettings::FromProfile(layout.profile);
    EXPECT_EQ(settings.engine, qs::db::Engine::SQLite);
    EXPECT_EQ(settings.file.toStdString(), file);

    QString error;
    auto db = qs::db::DatabaseManager::Open(settings, false, &error);
    ASSERT_TRUE(db) << error.toStdString();
    ASSERT_TRUE(db->Login(&error)) << error.toStdString();
    EXPECT_EQ(db->Login().groupName, "Analysts");
    EXPECT_EQ(db->Login().activeGroup, 1);
    std::uint16_t word = 0;
    ASSERT_EQ(db->PermissionWord(qs::db::kKindTemplates, 1, db->Login().userId, word), qs::db::kOk);
    EXPECT_TRUE(word & qs::db::kPermissionUpdate);
}

TEST_F(EnterpriseInstallTest, AServerNamedInTheProfileIsKept) {
    const std::string profile = m_root + "/windows/qstoneee.ini";
    std::filesystem::create_directories(m_root + "/windows");
    ASSERT_TRUE(qs::db::ConnectionSettings::Server("db.example", 5433, "quillstone", "ann").WriteToProfile(profile));
    qs::install::Layout layout;
    ASSERT_TRUE(Install(layout));
    const auto settings = qs::db::ConnectionSettings::FromProfile(layout.profile);
    EXPECT_EQ(settings.engine, qs::db::Engine::PostgreSQL);
    EXPECT_EQ(settings.host, "db.example");
    EXPECT_EQ(settings.port, 5433);
    EXPECT_FALSE(std::filesystem::exists(m_root + "/data/enterprise.qsdb"));
}

}  // namespace

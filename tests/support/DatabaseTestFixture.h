#pragma once
// A fixture that runs each test once per database engine: a fresh SQLite
// file, and a fresh database on the test run's PostgreSQL cluster
// (PgTestCluster.h), both with the current schema. Instantiate a suite with
// QS_INSTANTIATE_ENGINES(Suite): its cases end in "/sqlite" and
// "/postgres", and the build labels the latter "postgres".
//
// Accounts: on PostgreSQL a user is a login role (named per database, so
// parallel tests never share one); on SQLite it is the operating-system
// account running the test, so a test there has one user only.
#include <gtest/gtest.h>

#include <QString>

#include <memory>
#include <ostream>

#include "ConnectionSettings.h"
#include "DatabaseAdmin.h"
#include "DatabaseManager.h"

namespace qs::db {
// Test names and messages show the engine by name.
inline void PrintTo(Engine e, std::ostream* os) { *os << (e == Engine::SQLite ? "sqlite" : "postgres"); }
}  // namespace qs::db

namespace qs::test {

std::string EngineName(const ::testing::TestParamInfo<qs::db::Engine>& info);

class DatabaseTest : public ::testing::TestWithParam<qs::db::Engine> {
protected:
    void SetUp() override;
    void TearDown() override;

    bool IsServer() const { return GetParam() == qs::db::Engine::PostgreSQL; }
    // The account name of a user of this database.
    QString Login(const QString& name) const;
    // Connection settings of that user (PostgreSQL: its role).
    qs::db::ConnectionSettings SettingsOf(const QString& login) const;
    // A connection of that user, logged in (fails the test when it cannot).
    std::shared_ptr<qs::db::DatabaseManager> Connect(const QString& login);
    // Adds a user in a group whose query is groupQuery, active in it, with
    // every right on every kind; returns the login.
    QString AddAnalyst(const QString& name, const QString& group, const QString& groupQuery);
    qs::db::DatabaseAdmin& Admin() { return *m_admin; }
    qs::db::DatabaseManager& AdminDb() { return *m_adminDb; }

    qs::db::ConnectionSettings m_adminSettings;
    std::shared_ptr<qs::db::DatabaseManager> m_adminDb;
    std::unique_ptr<qs::db::DatabaseAdmin> m_admin;
    QString m_databaseName;
};

#define QS_INSTANTIATE_ENGINES(Suite)                                                                           \
    INSTANTIATE_TEST_SUITE_P(Engines, Suite,                                                                    \
                             ::testing::Values(qs::db::Engine::SQLite, qs::db::Engine::PostgreSQL),             \
                             qs::test::EngineName)

}  // namespace qs::test

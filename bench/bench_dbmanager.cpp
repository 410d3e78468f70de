// Loading and saving the profile data of the 120 x 120 benchmark project
// (the template's triangles and nineteen generated ones, three layers
// entered: about 11.7 MB) through the enterprise database on each engine,
// beside saving and loading the same project as a file. The goal: the
// database within three times the file.
//
// PostgreSQL runs as a private cluster started here (as the tests do); when
// it cannot start, its cases are skipped with the reason.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "CDataObject.h"
#include "CProject.h"
#include "CompoundFile.h"
#include "DatabaseAdmin.h"
#include "DatabaseManager.h"
#include "DatabaseVantor.h"
#include "PgTestCluster.h"

using namespace qs::db;

namespace {

void EnsureApp() {
    static QCoreApplication* app = [] {
        static int argc = 1;
        static char name[] = "bench_dbmanager";
        static char* argv[] = {name, nullptr};
        return new QCoreApplication(argc, argv);
    }();
    (void)app;
}

std::unique_ptr<CProject> Generated120() {
    auto p = std::make_unique<CProject>();
    std::uint16_t gen = 5, n = 120, year = 2000, interval = 1, nd = 120, age = 1;
    PRDLENGTH el = PRD_MONTH, dl = PRD_MONTH;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    if (p->Create(gen, n, el, year, interval, nd, dl, age, c1, c2) != 0) return nullptr;
    for (int i = 0; i < 19; ++i) {
        CDataObject proto;
        proto.SetIDLongName("Generated triangle " + std::to_string(i + 1));
        proto.SetCumulable(true);
        QSID id = 0;
        p->AddNewObject(proto, id, 1);
    }
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> dist(0.0, 1000.0);
    for (unsigned short layer : {NET, CEDED, DIRECT}) {
        p->ForEachObject([&](QSID, unsigned short l, CFormula* o) {
            auto* d = dynamic_cast<CDataObject*>(o);
            if (!d || l != layer || d->GetVectorType() != CDataObject::VT_TRIANGLE) return;
            std::vector<double> values(d->Values().size());
            std::vector<std::uint8_t> flags(values.size(), CDataObject::CF_VALUE);
            for (double& x : values) x = dist(rng);
            d->SetAllCells(values, flags, 1);
        });
    }
    return p;
}

std::string FilePath() { return "/tmp/qs-bench-dbmanager-" + std::to_string(::getpid()); }

// ---- the file

bool SaveToFile(const CProject& p, const std::string& path) {
    CompoundFile file;
    if (file.Create(path) != CompoundFile::OpenResult::Ok) return false;
    return file.WriteStream("QS1", p.SaveProject()) && file.Commit();
}

void BM_SaveProjectToFile120(benchmark::State& state) {
    auto p = Generated120();
    const std::string path = FilePath() + ".qs5";
    for (auto _ : state)
        if (!SaveToFile(*p, path)) {
            state.SkipWithError("save failed");
            break;
        }
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveProjectToFile120)->Unit(benchmark::kMillisecond);

void BM_LoadProjectFromFile120(benchmark::State& state) {
    auto p = Generated120();
    const std::string path = FilePath() + ".qs5";
    if (!SaveToFile(*p, path)) {
        state.SkipWithError("save failed");
        return;
    }
    for (auto _ : state) {
        CompoundFile file;
        std::vector<std::uint8_t> stream;
        CProject q;
        if (file.Open(path, CompoundFile::Mode::ReadOnly) != CompoundFile::OpenResult::Ok ||
            !file.ReadStream("QS1", stream) || q.LoadProject(stream.data(), stream.size()) != 0) {
            state.SkipWithError("load failed");
            break;
        }
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadProjectFromFile120)->Unit(benchmark::kMillisecond);

// ---- the database

// A database of one analyst on the engine, with the project's template and
// its profile data stored once; null with a reason.
struct Database {
    std::shared_ptr<DatabaseManager> db;
    std::unique_ptr<CProject> project;
    DatabaseVantor* vantor = nullptr;
    ~Database() {
        if (db && project) db->ReleaseProject(project.get());
    }
};

std::unique_ptr<Database> OpenDatabase(Engine engine, std::string& why) {
    EnsureApp();
    InstallProjectBinder();
    ConnectionSettings settings;
    if (engine == Engine::SQLite) {
        settings = ConnectionSettings::SQLiteFile(QString::fromStdString(FilePath() + ".qsdb"));
        std::remove((FilePath() + ".qsdb").c_str());
    } else {
        const qs::test::PgServer* server = qs::test::TestPgServer(why);
        if (!server) return nullptr;
        const QString name = QString("bench%1").arg(getpid());
        {
            QSqlDatabase m = QSqlDatabase::addDatabase("QPSQL", "bench-maintenance");
            m.setHostName(QString::fromStdString(server->host));
            m.setPort(server->port);
            m.setDatabaseName("postgres");
            m.setUserName(QString::fromStdString(server->superuser));
            if (m.open()) {
                QSqlQuery(m).exec("DROP DATABASE IF EXISTS " + name);
                QSqlQuery(m).exec("CREATE DATABASE " + name);
            }
        }
        QSqlDatabase::removeDatabase("bench-maintenance");
        settings = ConnectionSettings::Server(QString::fromStdString(server->host), server->port, name,
                                              QString::fromStdString(server->superuser));
    }
    QString error;
    auto d = std::make_unique<Database>();
    d->db = DatabaseManager::Open(settings, true, &error);
    if (!d->db) {
        why = error.toStdString();
        return nullptr;
    }
    DatabaseAdmin admin(*d->db);
    admin.AddUser(d->db->AccountName(), "bench");
    admin.AddGroup("Bench");
    admin.AddMember(d->db->AccountName(), "Bench");
    admin.SetActiveGroup(d->db->AccountName(), "Bench");
    if (!d->db->Login(&error)) {
        why = error.toStdString();
        return nullptr;
    }
    d->project = Generated120();
    if (!d->project || d->project->InitProjectWithDBManager(d->db.get()) != 0) {
        why = "cannot bind the project";
        return nullptr;
    }
    d->vantor = dynamic_cast<DatabaseVantor*>(d->project->GetCKDVVantor());
    d->vantor->Template().SetName("Bench");
    d->vantor->Data().SetProfile("/Bench");
    d->vantor->Data().SetEvalDate(45657);
    if (!d->vantor->Template().SaveAs(true) || !d->vantor->Data().SaveAs(true)) {
        why = d->vantor->Data().GetLastError();
        return nullptr;
    }
    return d;
}

void BM_SaveProfileData120(benchmark::State& state) {
    std::string why;
    auto d = OpenDatabase(static_cast<Engine>(state.range(0)), why);
    if (!d) {
        state.SkipWithError(why.c_str());
        return;
    }
    for (auto _ : state)
        if (!d->vantor->Data().Save()) {
            state.SkipWithError(d->vantor->Data().GetLastError().c_str());
            break;
        }
}
BENCHMARK(BM_SaveProfileData120)->ArgName("engine")->Arg(int(Engine::SQLite))->Arg(int(Engine::PostgreSQL))
    ->Unit(benchmark::kMillisecond);

void BM_LoadProfileData120(benchmark::State& state) {
    std::string why;
    auto d = OpenDatabase(static_cast<Engine>(state.range(0)), why);
    if (!d) {
        state.SkipWithError(why.c_str());
        return;
    }
    for (auto _ : state)
        if (!d->vantor->Data().Load()) {
            state.SkipWithError(d->vantor->Data().GetLastError().c_str());
            break;
        }
}
BENCHMARK(BM_LoadProfileData120)->ArgName("engine")->Arg(int(Engine::SQLite))->Arg(int(Engine::PostgreSQL))
    ->Unit(benchmark::kMillisecond);

}  // namespace

#pragma once
// A private PostgreSQL cluster for tests: initdb into a fresh folder under
// /tmp, a server on 127.0.0.1 and a free port (fsync off, trust
// authentication: nothing leaves the machine's loopback), stopped and
// removed afterwards. initdb refuses to run as root, so under root (CI) the
// server runs as the unprivileged "postgres" account.
//
// One cluster serves a whole ctest run: the "pgcluster" fixture starts it
// and writes its state file (PgStateFile()); tests find it there. A test
// program run by hand, without that file, starts one of its own on first
// use and stops it when the process exits.
#include <string>

namespace qs::test {

struct PgServer {
    std::string host = "127.0.0.1";
    int port = 0;
    std::string superuser = "postgres";
    std::string dataDir;
};

// Where the fixture keeps the running cluster's state (next to the programs).
std::string PgStateFile();
// Starts a cluster, writing its state to stateFile; false with a reason.
bool StartPgCluster(const std::string& stateFile, PgServer& server, std::string& error);
// Stops the cluster of a state file and removes its folder and the file.
bool StopPgCluster(const std::string& stateFile);
// The cluster for this test process (see above); null with a reason.
const PgServer* TestPgServer(std::string& error);

}  // namespace qs::test

// qs-test-pgcluster start|stop: the shared PostgreSQL cluster of a test run
// (the ctest fixture "pgcluster").
#include <cstdio>
#include <string>

#include "PgTestCluster.h"

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const std::string state = qs::test::PgStateFile();
    if (command == "stop") return qs::test::StopPgCluster(state) ? 0 : 1;
    if (command != "start") {
        std::fprintf(stderr, "usage: qs-test-pgcluster start|stop\n");
        return 2;
    }
    qs::test::PgServer server;
    std::string error;
    if (!qs::test::StartPgCluster(state, server, error)) {
        std::fprintf(stderr, "qs-test-pgcluster: %s\n", error.c_str());
        return 1;
    }
    std::printf("PostgreSQL test cluster on %s:%d (%s)\n", server.host.c_str(), server.port, server.dataDir.c_str());
    return 0;
}

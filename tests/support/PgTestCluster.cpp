#include "PgTestCluster.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace qs::test {

namespace {

std::string BinDirOfPostgres() {
    // The newest installed server version.
    std::string best;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator("/usr/lib/postgresql", ec)) {
        const auto bin = e.path() / "bin" / "initdb";
        if (std::filesystem::exists(bin) && e.path().string() > best) best = e.path().string();
    }
    return best.empty() ? std::string() : best + "/bin";
}

int FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    int port = 0;
    socklen_t n = sizeof a;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) == 0)
        port = ntohs(a.sin_port);
    close(s);
    return port;
}

// Runs a command as the cluster's owner; its output goes to log.
int RunAsOwner(const std::string& command, const std::string& log) {
    const bool root = geteuid() == 0;
    const std::string full = (root ? "runuser -u postgres -- " : "") + command + " >>'" + log + "' 2>&1";
    return std::system(full.c_str());
}

bool WriteState(const std::string& file, const PgServer& s) {
    std::ofstream out(file + ".tmp", std::ios::trunc);
    out << s.host << '\n' << s.port << '\n' << s.superuser << '\n' << s.dataDir << '\n';
    out.close();
    return out && std::rename((file + ".tmp").c_str(), file.c_str()) == 0;
}

bool ReadState(const std::string& file, PgServer& s) {
    std::ifstream in(file);
    std::string port;
    if (!std::getline(in, s.host) || !std::getline(in, port) || !std::getline(in, s.superuser) ||
        !std::getline(in, s.dataDir))
        return false;
    s.port = std::atoi(port.c_str());
    return s.port > 0 && std::filesystem::exists(s.dataDir + "/postmaster.pid");
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct OwnCluster {
    std::string stateFile;
    PgServer server;
    ~OwnCluster() {
        if (!stateFile.empty()) StopPgCluster(stateFile);
    }
};

}  // namespace

std::string PgStateFile() {
    if (const char* file = std::getenv("QS_PG_STATE_FILE"); file && *file) return file;
    return QS_PG_STATE_FILE_DEFAULT;
}

bool StartPgCluster(const std::string& stateFile, PgServer& server, std::string& error) {
    StopPgCluster(stateFile);  // one left over by an interrupted run
    const std::string bin = BinDirOfPostgres();
    if (bin.empty()) {
        error = "PostgreSQL's server programs are not installed (scripts/setup installs them)";
        return false;
    }
    char folder[] = "/tmp/qs-pgtest-XXXXXX";
    if (!mkdtemp(folder)) {
        error = "cannot make a folder under /tmp";
        return false;
    }
    server.dataDir = std::string(folder) + "/data";
    // Our own output goes to setup.log (written by this process); the
    // server writes server.log itself, as the cluster's owner.
    const std::string log = std::string(folder) + "/setup.log";
    const std::string serverLog = std::string(folder) + "/server.log";
    struct Cleanup {
        std::string folder;
        ~Cleanup() {
            std::error_code ec;
            if (!folder.empty()) std::filesystem::remove_all(folder, ec);
        }
    } cleanup{folder};
    if (geteuid() == 0) {
        const passwd* pw = getpwnam("postgres");
        if (!pw) {
            error = "there is no \"postgres\" account to run the test server as";
            return false;
        }
        if (chown(folder, pw->pw_uid, pw->pw_gid) != 0) {
            error = "cannot hand the cluster folder to postgres";
            return false;
        }
    }
    chmod(folder, 0700);
    if (RunAsOwner(bin + "/initdb --no-sync -A trust -U postgres -E UTF8 --locale=C -D '" + server.dataDir + "'", log) != 0) {
        error = "initdb failed: " + ReadAll(log);
        return false;
    }
    for (int attempt = 0; attempt < 5; ++attempt) {
        server.port = FreePort();
        std::ostringstream options;
        options << "-c listen_addresses=127.0.0.1 -p " << server.port << " -c fsync=off -c synchronous_commit=off"
                << " -c full_page_writes=off -c unix_socket_directories='" << folder << "' -c max_connections=200";
        if (RunAsOwner(bin + "/pg_ctl -D '" + server.dataDir + "' -l '" + serverLog + "' -w -t 60 -o \"" + options.str() +
                           "\" start",
                       log) == 0) {
            if (!WriteState(stateFile, server)) {
                error = "cannot write " + stateFile;
                RunAsOwner(bin + "/pg_ctl -D '" + server.dataDir + "' -m immediate -w stop", log);
                return false;
            }
            cleanup.folder.clear();
            return true;
        }
    }
    error = "the test server did not start: " + ReadAll(serverLog) + ReadAll(log);
    return false;
}

bool StopPgCluster(const std::string& stateFile) {
    PgServer s;
    std::ifstream probe(stateFile);
    if (!probe) return true;
    std::string port;
    std::getline(probe, s.host);
    std::getline(probe, port);
    std::getline(probe, s.superuser);
    std::getline(probe, s.dataDir);
    probe.close();
    const std::string bin = BinDirOfPostgres();
    if (!s.dataDir.empty() && !bin.empty() && std::filesystem::exists(s.dataDir + "/postmaster.pid"))
        RunAsOwner(bin + "/pg_ctl -D '" + s.dataDir + "' -m immediate -w stop", "/dev/null");
    std::error_code ec;
    if (!s.dataDir.empty() && s.dataDir.rfind("/tmp/qs-pgtest-", 0) == 0)
        std::filesystem::remove_all(std::filesystem::path(s.dataDir).parent_path(), ec);
    std::filesystem::remove(stateFile, ec);
    return true;
}

const PgServer* TestPgServer(std::string& error) {
    static PgServer shared;
    static bool haveShared = ReadState(PgStateFile(), shared);
    if (haveShared) return &shared;
    static std::unique_ptr<OwnCluster> own;
    if (!own) {
        auto c = std::make_unique<OwnCluster>();
        char name[64];
        std::snprintf(name, sizeof name, "/tmp/qs-pgtest-own-%d.state", int(getpid()));
        if (!StartPgCluster(name, c->server, error)) return nullptr;
        c->stateFile = name;
        own = std::move(c);
    }
    return &own->server;
}

}  // namespace qs::test

// Start-up reads dozens of settings one key at a time, each through the
// profile functions; reads of an unchanged file must not re-parse it.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "QsProfile.h"

namespace {

std::string MakeProfileFixture() {
    char dir[] = "/tmp/qsbench-profile-XXXXXX";
    if (!::mkdtemp(dir)) std::abort();
    std::string path = std::string(dir) + "/bench.ini";
    std::ofstream out(path);
    for (int s = 0; s < 10; ++s) {
        out << "[Section" << s << "]\n";
        for (int k = 0; k < 30; ++k) out << "Key " << k << " = value number " << k << "\n";
    }
    return path;
}

struct ProfileFixtureFolder {
    std::string path = MakeProfileFixture();
    ~ProfileFixtureFolder() {
        std::string dir = path.substr(0, path.rfind('/'));
        for (const char* name : {"/bench.ini", "/.bench.ini.lock"}) ::unlink((dir + name).c_str());
        ::rmdir(dir.c_str());
    }
};

const std::string& ProfileFixture() {
    static const ProfileFixtureFolder folder;
    return folder.path;
}

}  // namespace

static void BM_ProfileReadString(benchmark::State& state) {
    const std::string& file = ProfileFixture();
    char buf[256];
    for (auto _ : state)
        benchmark::DoNotOptimize(GetPrivateProfileString("Section7", "Key 29", "", buf, sizeof buf, file.c_str()));
}
BENCHMARK(BM_ProfileReadString);

static void BM_ProfileWriteString(benchmark::State& state) {
    const std::string& file = ProfileFixture();
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(qs::profile::WriteString(file, "Section3", "Key 5", std::to_string(++i)));
}
BENCHMARK(BM_ProfileWriteString);

// qs-install [--enterprise | --mode N] [--system-dir DIR] [--data-dir DIR]
// Lays out (or repairs) what Qstone needs on this machine for this user.
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "startup/Installation.h"

int main(int argc, char** argv) {
    // Qt SQL loads its database drivers as plugins, which needs an application object.
    QCoreApplication app(argc, argv);
    qs::install::Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "qs-install: %s needs a value\n", a.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--enterprise") options.mode = 2;
        else if (a == "--mode") options.mode = std::strtoul(next().c_str(), nullptr, 10);
        else if (a == "--system-dir") options.systemDirectory = next();
        else if (a == "--data-dir") options.dataRoot = next();
        else {
            std::fprintf(stderr, "usage: qs-install [--enterprise | --mode N] [--system-dir DIR] [--data-dir DIR]\n");
            return 2;
        }
    }
    qs::install::Layout layout;
    std::vector<std::string> warnings;
    const bool ok = qs::install::Install(options, layout, warnings);
    for (const auto& w : warnings) std::fprintf(stderr, "qs-install: warning: %s\n", w.c_str());
    std::printf("qs-install: profile %s\n  System Directory  %s\n  Working Directory %s\n  Files Path        %s\n"
                "  Helpfiles         %s\n  Sample projects   in the Files Path folder (File > Open starts there)\n",
                layout.profile.c_str(), layout.systemDirectory.c_str(), layout.workingDirectory.c_str(),
                layout.filesPath.c_str(), layout.helpfilesDirectory.c_str());
    if (!layout.database.empty()) std::printf("  Enterprise database %s\n", layout.database.c_str());
    return ok ? 0 : 1;
}

#include "ViewBenchDoc.h"

#include <QApplication>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "ViewSettings.h"

namespace qs::bench {

void EnsureApp() {
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char* argv[] = {program_invocation_short_name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
}

void Fail(const char* what) {
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, what);
    std::exit(1);
}

ViewBenchDoc::ViewBenchDoc(std::uint16_t size, PRDLENGTH length, std::uint16_t firstYear, std::uint16_t firstAge,
                           QSID pendingId)
    : m_project(std::make_unique<CProject>()), m_pendingId(pendingId) {
    EnsureApp();
    qs::views::Settings() = qs::views::ViewSettings{};
    m_bAutoDelete = FALSE;
    std::uint16_t gen = 5, numExp = size, interval = 1, numDev = size;
    PRDLENGTH expLen = length, devLen = length;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    if (m_project->Create(gen, numExp, expLen, firstYear, interval, numDev, devLen, firstAge, c1, c2) != qsk::kOk)
        Fail("cannot create the project");
}

}  // namespace qs::bench

#include "ViewTestSupport.h"

namespace qs::test {

TestProjectDoc::TestProjectDoc(std::uint16_t numExp, std::uint16_t numDev) : m_project(std::make_unique<CProject>()) {
    m_bAutoDelete = FALSE;  // the test owns the document
    std::uint16_t gen = 5, firstYear = 2001, interval = 1, firstAge = 12;
    PRDLENGTH expLen = PRD_YEAR, devLen = PRD_YEAR;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    m_project->Create(gen, numExp, expLen, firstYear, interval, numDev, devLen, firstAge, c1, c2);
}

}  // namespace qs::test

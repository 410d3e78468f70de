#pragma once
// A small annual project shared by the project tests: 5 exposure years from
// 2001, 5 development ages from 12 months, Gross and Assumed calculated.
#include <memory>

#include "CProject.h"

inline std::unique_ptr<CProject> MakeTestProject(std::uint16_t numExp = 5, std::uint16_t numDev = 5,
                                                 PRDLENGTH expLen = PRD_YEAR, PRDLENGTH devLen = PRD_YEAR,
                                                 bool prior = false, std::uint16_t firstAge = 12) {
    auto p = std::make_unique<CProject>();
    std::uint16_t gen = 5, firstYear = 2001, interval = 1;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    p->SetIncludesPrior(prior);
    if (p->Create(gen, numExp, expLen, firstYear, interval, numDev, devLen, firstAge, c1, c2) != 0) return nullptr;
    return p;
}

struct RecordingWindow : IKernelWindow {
    std::vector<std::pair<int, long>> events;
    void XRefresh(CFormula*, int kind, long code) override { events.emplace_back(kind, code); }
};

constexpr QSID kPaidLoss = 101000001;
constexpr QSID kIncurredLossAlae = 101000016;

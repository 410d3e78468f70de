#pragma once
// The RAA project the view tests share (the sample's data): a 10 x 10
// annual project with RAA (tests/data/triangles/raa.csv) as Net paid and
// incurred loss, 40,000 of premium a year and the volume-weighted
// selections, as the sample project has.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CExhibit.h"
#include "CKDVUltWeightData.h"
#include "CMethod.h"
#include "CProject.h"
#include "KernelIds.h"
#include "MethodTemplates.h"
#include "ReservingMath.h"
#include "TestEnvironment.h"
#include "ViewTestSupport.h"

namespace qs::test {

constexpr QSID kLossReport = 301003003;
constexpr QSID kPremium = 101000041;

struct RaaDoc : TestProjectDoc {
    RaaDoc() : TestProjectDoc(10, 10) {
        qs::calc::Triangle raa;
        std::string err;
        EXPECT_TRUE(qs::calc::ParseLongCsv(qs::test::ReadFile(qs::test::DataDir() + "/triangles/raa.csv"), "values",
                                           raa, &err))
            << err;
        CProject* p = GetProject();
        for (QSID id : {QSID(101000001), QSID(101000011)}) {
            CDataObject* d = p->FindDataObject(id, NET);
            for (int r = 0; r < 10; ++r)
                for (int c = 0; c < 10 - r; ++c) d->SetAt(r, c, raa.At(r, c));
        }
        for (int r = 0; r < 10; ++r) p->FindDataObject(kPremium, NET)->SetAt(r, 0, 40000);
        // Volume-weighted selections without a tail in the paid and incurred exhibits.
        std::vector<double> ldf(9);
        std::vector<unsigned char> ok(9);
        qs::calc::VolumeWeightedFactors(raa.Ref(), ldf.data(), ok.data());
        for (int a : {1, 11}) {
            auto* ex = dynamic_cast<CExhibit*>(p->FindObject(qsmethods::StandardExhibitID(a), NET));
            CDataObject* sdf = nullptr;
            if (ex == nullptr || ex->GetSDFObject(sdf) != 0) continue;
            for (int k = 0; k < 9; ++k) sdf->SetAt(0, k, ldf[static_cast<std::size_t>(k)]);
            sdf->SetAt(0, 9, 1.0);
        }
    }
    void RunUltimatesFloodFill() override { ++floodFills; }
    CMethod* Method(QSID id) const { return dynamic_cast<CMethod*>(GetProject()->FindObject(id, NET)); }
    QSID Ult(int index) const {
        return GetLayerNeutralID(Method(qsmethods::StandardMethodID(index))->GetUltID());
    }
    // The loss report gathering the paid and incurred development ultimates,
    // with both averages, the selected ultimate and the weights shown.
    void SetUpLossReport(int latest, std::vector<double> paidLatest, std::vector<double> incLatest) {
        CKDVUltWeightDataInfo w(latest);
        w.SetColData(CKDVUltWeightData(Ult(1), 3.0, std::move(paidLatest)));
        w.SetColData(CKDVUltWeightData(Ult(2), 1.0, std::move(incLatest)));
        ASSERT_EQ(GetProject()->SetSummaryRptOptions(kLossReport, NET, {Ult(1), Ult(2)}, 1, 1, 1, 1, w), 0);
    }
    int floodFills = 0;
};

}  // namespace qs::test

#include <gtest/gtest.h>

#include "ProjectFixture.h"

namespace {
QSID Layered(QSID id, unsigned short layer) {
    SetIDLayer(id, layer);
    return id;
}

double Cell(const CProject& p, QSID id, unsigned short layer, int r, int c) {
    double v = -1;
    std::uint8_t f = 0;
    if (p.FindDataObject(id, layer)->GetAt(r, c, v, f) != 0 || !(f & CDataObject::CF_VALUE)) return -1;
    return v;
}

TEST(TableMath, ValueAndTableOperands) {
    auto p = MakeTestProject();
    CDataObject* pl = p->FindDataObject(kPaidLoss, NET);
    pl->SetAt(0, 0, 100);
    pl->SetAt(1, 1, 50);
    CDataObject* pa = p->FindDataObject(101000002, NET);
    pa->SetAt(0, 0, 10);
    QSIDArray out;
    std::int32_t status = -1;
    double value = 2;
    p->PerformTableMath({Layered(kPaidLoss, NET)}, OP_MULTIPLY, {}, value, out, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Cell(*p, kPaidLoss, NET, 0, 0), 200);
    EXPECT_EQ(Cell(*p, kPaidLoss, NET, 0, 1), -1);  // blank stays blank
    EXPECT_EQ(Cell(*p, kPaidLoss, GROSS, 0, 0), 200);  // calculated layers follow
    p->PerformTableMath({Layered(kPaidLoss, NET)}, OP_SUBTRACT, {Layered(101000002, NET)}, value, out, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Cell(*p, kPaidLoss, NET, 0, 0), 190);
    EXPECT_EQ(Cell(*p, kPaidLoss, NET, 1, 1), 100);  // blank operand cell leaves the target
    p->PerformTableMath({Layered(kPaidLoss, NET)}, OP_DIVIDE, {p->GetScalingFactorID()}, value, out, status);
    EXPECT_EQ(status, 0);  // scaling factor 1

    // Objects that hold no cells neither take nor give input.
    CFormula exhibit;
    exhibit.SetIDLongName("Development");
    QSID exId = 0;
    ASSERT_EQ(p->AddNewFormulaObject(exhibit, 4, 1, 5060, true, exId), 0);
    p->PerformTableMath({Layered(exId, NET)}, OP_ADD, {}, value, out, status);
    EXPECT_EQ(status, 300);
    p->PerformTableMath({Layered(kPaidLoss, NET)}, OP_ADD, {Layered(exId, NET)}, value, out, status);
    EXPECT_EQ(status, 400);
    EXPECT_EQ(out, QSIDArray{Layered(exId, NET)});
    EXPECT_EQ(Cell(*p, kPaidLoss, NET, 0, 0), 190);
}

struct StatusCase {
    const char* what;
    QSIDArray targets;
    int operation;
    QSIDArray operands;
    double value;
    std::int32_t status;
};

TEST(TableMath, FailingStatusesChangeNothing) {
    const QSID net = Layered(kPaidLoss, NET);
    const StatusCase cases[] = {
        {"calculated target", {Layered(kPaidLoss, GROSS)}, OP_ADD, {}, 1, 100},
        {"scalar target", {MakeID(5, 1, 0, 0, 1)}, OP_ADD, {}, 1, 200},
        {"node as target", {qsk::kCatInput}, OP_ADD, {}, 1, 500},
        {"unknown target", {Layered(101000777, NET)}, OP_ADD, {}, 1, 500},
        {"unknown source", {net}, OP_ADD, {Layered(101000777, NET)}, 0, 600},
        {"incompatible shapes", {net}, OP_ADD, {Layered(101000040, NET)}, 0, 700},
        {"division by zero", {net}, OP_DIVIDE, {}, 0, 800},
        {"bad operation", {net}, 7, {}, 1, 800},
    };
    for (const auto& c : cases) {
        auto p = MakeTestProject();
        p->FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 100);
        QSIDArray out;
        std::int32_t status = 0;
        double value = c.value;
        p->PerformTableMath(c.targets, c.operation, c.operands, value, out, status);
        EXPECT_EQ(status, c.status) << c.what;
        EXPECT_EQ(Cell(*p, kPaidLoss, NET, 0, 0), 100) << c.what;
        if (c.status != 800 || c.operation == OP_DIVIDE) {
            EXPECT_FALSE(out.empty()) << c.what;
        }
    }
}

TEST(TableMath, CalculatedTargetFollowingOtherTargetsIsSkipped) {
    auto p = MakeTestProject();
    p->FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 100);
    p->FindDataObject(kPaidLoss, CEDED)->SetAt(0, 0, 10);
    QSIDArray out;
    std::int32_t status = 0;
    double value = 5;
    p->PerformTableMath({Layered(kPaidLoss, NET), Layered(kPaidLoss, CEDED), Layered(kPaidLoss, GROSS)}, OP_ADD, {},
                        value, out, status);
    EXPECT_EQ(status, 101);
    EXPECT_EQ(out, QSIDArray{Layered(kPaidLoss, GROSS)});
    EXPECT_EQ(Cell(*p, kPaidLoss, GROSS, 0, 0), 120);
}

TEST(ProjectMath, AddsMatchingProjectsByDate) {
    auto a = MakeTestProject(5, 5);
    auto b = MakeTestProject(5, 5);
    a->FindDataObject(kPaidLoss, NET)->SetAt(1, 1, 10);
    b->FindDataObject(kPaidLoss, NET)->SetAt(1, 1, 5);
    b->FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 7);
    EXPECT_EQ(a->MatchProject(*b), 0u);
    ASSERT_EQ(a->ProjectMath(*b, OP_ADD), 0);
    EXPECT_EQ(Cell(*a, kPaidLoss, NET, 1, 1), 15);
    EXPECT_EQ(Cell(*a, kPaidLoss, NET, 0, 0), 7);
    ASSERT_EQ(a->ProjectMath(*b, OP_SUBTRACT), 0);
    EXPECT_EQ(Cell(*a, kPaidLoss, NET, 1, 1), 10);
    EXPECT_NE(a->ProjectMath(*b, OP_MULTIPLY), 0);

    // Other's first year one later: its row 0 adds into our row 1.
    auto later = std::make_unique<CProject>();
    std::uint16_t gen = 5, n = 5, y = 2002, iv = 1, nd = 5, age = 12;
    PRDLENGTH el = PRD_YEAR, dl = PRD_YEAR;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    later->Create(gen, n, el, y, iv, nd, dl, age, c1, c2);
    later->FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 1);
    EXPECT_EQ(a->MatchProject(*later), static_cast<std::uint32_t>(MP_OFFSET_WARN));
    ASSERT_EQ(a->ProjectMath(*later, OP_ADD), 0);
    EXPECT_EQ(Cell(*a, kPaidLoss, NET, 1, 0), 1);
}

TEST(ProjectMath, MatchBits) {
    auto a = MakeTestProject(5, 5);
    EXPECT_EQ(a->MatchProject(*MakeTestProject(6, 5)), static_cast<std::uint32_t>(MP_NUM_EXP_WARN));
    EXPECT_EQ(a->MatchProject(*MakeTestProject(5, 6)), static_cast<std::uint32_t>(MP_DEV_PERIODS_WARN));
    EXPECT_TRUE(a->MatchProject(*MakeTestProject(5, 5, PRD_QUARTER)) & MP_EXP_LENGTH);
    EXPECT_TRUE(a->MatchProject(*MakeTestProject(5, 5, PRD_YEAR, PRD_QUARTER)) & MP_DEV_LENGTH);
    EXPECT_TRUE(a->MatchProject(*MakeTestProject(5, 5, PRD_YEAR, PRD_YEAR, false, 6)) & MP_FIRST_DEV);
    EXPECT_TRUE(a->MatchProject(*MakeTestProject(5, 5, PRD_YEAR, PRD_YEAR, true)) & MP_STRUCTURE);
    auto b = MakeTestProject(5, 5);
    b->SetCalcedLayers(NET, GROSS);
    EXPECT_TRUE(a->MatchProject(*b) & MP_LAYERS);
    EXPECT_NE(a->ProjectMath(*b, OP_ADD), 0);
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "CArchive.h"
#include "KernelStream.h"
#include "ProjectFixture.h"
#include "TestEnvironment.h"

namespace {
// A project with something of everything the stream carries.
std::unique_ptr<CProject> RichProject() {
    auto p = MakeTestProject(5, 6, PRD_YEAR, PRD_YEAR, true);
    CDataObject* pl = p->FindDataObject(kPaidLoss, NET);
    pl->SetAt(0, 0, 1.5);
    pl->SetAt(2, 1, -20);
    pl->SetCellNotAvail(1, 0);
    pl->SetNoteInCell(2, 1, "restated after audit");
    pl->SetCellHasFFMin(2, 1);
    p->FindDataObject(kPaidLoss, CEDED)->SetAt(0, 0, 0.5);
    p->FindDataObject(101000040, DIRECT)->SetAt(3, 0, 1e9);
    CDataObject proto;
    proto.SetIDLongName("Large Losses");
    proto.SetIDShortName("LL");
    proto.SetFootnoteString("Claims above 1m");
    QSID uid = 0;
    p->AddNewObject(proto, uid, 1);
    p->FindDataObject(uid, ASSUMED)->SetCustomLabels({"a", "b", "c", "d", "e"}, {"x"}, "corner");
    p->FindDataObject(uid, NET)->SetAt(4, 0, 42);
    p->MoveIDToSubGroup(uid, qsk::kNodeMethodInput);
    CScalar s;
    s.SetIDLongName("Trend");
    s.SetValue(1.05);
    QSID sid = 0;
    p->AddNewObject(s, sid, 1);
    p->SetCalcedLayers(CEDED, GROSS);
    p->SetCompanyName("Mutual Re");
    p->SetDescription("Workers compensation");
    p->SetComment("first cut");
    CHDate asOf;
    asOf.SetDate(2005, 12, 31);
    p->SetAsOfDate(asOf);
    p->SetSelHistLabel(1, "2004 selection");
    p->SetDatesFormat("yyyy'-'q");
    p->SetExhibitLabelFormat(1);
    p->SetDevPeriod(15, 0);
    p->SetCurrencySymbol("€", 0);
    p->SetShowItems({kPaidLoss, uid});
    p->GetPageSetup().m_HeaderStrings[1] = "Confidential";
    p->SetFileName("/tmp/x.qs5");
    return p;
}

void ExpectSameProject(const CProject& a, const CProject& b) {
    EXPECT_EQ(a.CompProjectText(b).find(", first at row"), std::string::npos) << a.CompProjectText(b);
    EXPECT_EQ(a.DumpStructText(INFO_SUMMARY), b.DumpStructText(INFO_SUMMARY));
    EXPECT_EQ(a.SaveProject(), b.SaveProject());
}

TEST(ProjectStorage, SaveLoadCompare) {
    auto p = RichProject();
    const std::vector<std::uint8_t> bytes = p->SaveProject();
    CProject q;
    ASSERT_EQ(q.LoadProject(bytes.data(), bytes.size()), CProject::LS_OK);
    q.SetFileName("/tmp/x.qs5");
    ExpectSameProject(*p, q);
    EXPECT_FALSE(q.IsModified());
    // Spot checks of what the comparison cannot see.
    std::string note;
    EXPECT_EQ(q.FindDataObject(kPaidLoss, NET)->GetNoteInCell(2, 1, note), 0);
    EXPECT_EQ(note, "restated after audit");
    EXPECT_TRUE(q.FindDataObject(kPaidLoss, NET)->GetFFMinInCell(2, 1));
    EXPECT_FALSE(q.FindDataObject(kPaidLoss, NET)->IsCellAvail(1, 0));
    QSID uid = 0;
    ASSERT_EQ(q.GetIDFromName("Large Losses", uid), 0);
    EXPECT_EQ(q.GetSubgroupFromID(uid), qsk::kNodeMethodInput);
    QSStringArray rows, cols;
    std::string corner;
    q.FindDataObject(uid, ASSUMED)->GetLabels(rows, cols, corner);
    EXPECT_EQ(corner, "corner");
    std::string foot;
    q.FindObject(uid, DIRECT)->GetFootnoteString(foot);
    EXPECT_EQ(foot, "Claims above 1m");
    EXPECT_EQ(q.GetSelHistLabel(1), "2004 selection");
    EXPECT_EQ(q.GetAsOfDate().Year(), 2005);
    EXPECT_EQ(q.GetPageSetup().m_HeaderStrings[1], "Confidential");
    // The calculated layer is live again after loading.
    double v = 0;
    std::uint8_t f = 0;
    q.FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 10);
    // Assumed kept the 2 it held while it was calculated; now Gross = Direct +
    // Assumed = 2 and Ceded = Gross - Net.
    q.FindDataObject(kPaidLoss, CEDED)->GetAt(0, 0, v, f);
    EXPECT_EQ(v, 2 - 10);
    EXPECT_TRUE(q.FindDataObject(kPaidLoss, CEDED)->IsReadOnly());
}

TEST(ProjectStorage, ThroughTheFrameworkArchive) {
    auto p = RichProject();
    p->GraphList()[GetGraphIDOf(101010016)] = {1, 2, 3};
    p->DefGraphStyles()[40] = {9, 9};  // keys 1..6 are the default style names
    p->GetGraphDefaultStyles().SetStyle(CGraphDefaultStyles::REPORTS, "Rep.rgs");
    std::vector<std::uint8_t> qs1, graphs, styles;
    {
        CArchive a(qs1, CArchive::store), g(graphs, CArchive::store), s(styles, CArchive::store);
        p->Serialize(a);
        p->SerializeGraphData(g);
        p->SerializeDefGraphStyles(s);
        a.Close();
        g.Close();
        s.Close();
    }
    CProject q;
    CArchive a(qs1, CArchive::load), g(graphs, CArchive::load), s(styles, CArchive::load);
    q.Serialize(a);
    EXPECT_EQ(q.GetLoadStatus(), CProject::LS_OK);
    q.SerializeGraphData(g);
    q.SerializeDefGraphStyles(s);
    q.SetFileName("/tmp/x.qs5");
    ExpectSameProject(*p, q);
    EXPECT_EQ(q.GraphList().at(1101010016), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(q.DefGraphStyles().at(40), (std::vector<std::uint8_t>{9, 9}));
    EXPECT_EQ(q.GetGraphDefaultStyles().GetStyle(CGraphDefaultStyles::REPORTS), "Rep.rgs");
}

TEST(ProjectStorage, OlderGenerationStaysReadable) {
    auto p = RichProject();
    const std::vector<std::uint8_t> old = p->SaveProject(1);
    CProject q;
    ASSERT_EQ(q.LoadProject(old.data(), old.size()), CProject::LS_OLDER);
    QSIDArray show;
    q.GetShowItems(show);
    EXPECT_TRUE(show.empty());  // the show list came with generation 2
    EXPECT_EQ(q.FindDataObject(kPaidLoss, NET)->RawValue(2, 1), -20);
}

// Re-seals a body changed behind the frame's back, so the parser itself meets
// the damage (the frame's checksum would otherwise catch it first).
void Reseal(std::vector<std::uint8_t>& stream) {
    std::uint32_t len = 0;
    std::memcpy(&len, stream.data() + 8, 4);
    const std::uint32_t h = KernelChecksum(stream.data() + 12, len);
    std::memcpy(stream.data() + 12 + len, &h, 4);
}

TEST(ProjectStorage, DamagedBodyBehindAValidFrameNeverHalfLoads) {
    auto p = RichProject();
    const std::vector<std::uint8_t> good = p->SaveProject();
    auto target = MakeTestProject(3, 3);
    target->FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 77);
    const std::string before = target->DumpStructText(INFO_SUMMARY);
    int refused = 0;
    // About 2,500 offsets spread over the whole stream (every 7th byte of a
    // small one): each loaded probe builds a whole project with its methods.
    const std::size_t step = std::max<std::size_t>(7, good.size() / 2500 | 1);
    for (std::size_t i = 12; i + 4 < good.size(); i += step) {
        for (std::uint8_t mask : {0x01, 0x80, 0xFF}) {
            std::vector<std::uint8_t> bad = good;
            bad[i] ^= mask;
            Reseal(bad);
            const QSSTATUS st = target->LoadProject(bad.data(), bad.size());
            if (st == CProject::LS_OK || st == CProject::LS_OLDER) {
                // A change the format cannot tell from real data (a value, a
                // name): the load is whole, and what loaded saves back to
                // itself. Put the reference back.
                const std::vector<std::uint8_t> saved = target->SaveProject();
                CProject again;
                ASSERT_EQ(again.LoadProject(saved.data(), saved.size()), CProject::LS_OK) << i;
                ASSERT_EQ(again.SaveProject(), saved) << i;
                target = MakeTestProject(3, 3);
                target->FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 77);
                continue;
            }
            ++refused;
            ASSERT_EQ(target->DumpStructText(INFO_SUMMARY), before) << i;
        }
    }
    EXPECT_GT(refused, 0);
}

// A fuzz input (tests/data/fuzz/project_stream: generation byte, body): a
// method filed under a user array's id. It loaded, and each save, load and
// save gave a different project; now the load refuses it, and whatever a
// load accepts saves back to the same bytes.
TEST(ProjectStorage, AProjectThatLoadsSavesBackToWhatItLoaded) {
    const std::string input = qs::test::ReadFile(qs::test::DataDir() + "/fuzz/project_stream/project-stream-resave-changes.bin");
    ASSERT_GT(input.size(), 1u);
    std::vector<std::uint8_t> stream = {'Q', 'S', 'K', 'P'};
    const auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) stream.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    u32(1 + static_cast<std::uint8_t>(input[0]) % CProject::kStorageGeneration);
    u32(static_cast<std::uint32_t>(input.size() - 1));
    stream.insert(stream.end(), input.begin() + 1, input.end());
    u32(KernelChecksum(stream.data() + 12, input.size() - 1));
    CProject p;
    const QSSTATUS st = p.LoadProject(stream.data(), stream.size());
    if (st == CProject::LS_OK || st == CProject::LS_OLDER) {
        const std::vector<std::uint8_t> saved = p.SaveProject();
        CProject again;
        ASSERT_EQ(again.LoadProject(saved.data(), saved.size()), CProject::LS_OK);
        EXPECT_EQ(again.SaveProject(), saved);
    }
    EXPECT_EQ(st, CProject::LS_DAMAGED);

    // The same body with the method's own id loads and saves back to itself.
    const std::size_t at = 12 + 84559 - 2;
    ASSERT_EQ(std::memcmp(stream.data() + at, "\x8e\xf1\x67\x11", 4), 0);
    const QSID method = 301003150;
    std::memcpy(stream.data() + at, &method, 4);
    Reseal(stream);
    CProject fixed;
    ASSERT_EQ(fixed.LoadProject(stream.data(), stream.size()), CProject::LS_OK);
    const std::vector<std::uint8_t> saved = fixed.SaveProject();
    CProject again;
    ASSERT_EQ(again.LoadProject(saved.data(), saved.size()), CProject::LS_OK);
    EXPECT_EQ(again.SaveProject(), saved);
}

TEST(ProjectStorage, DamagedStreamsFailWithoutChangingTheProject) {
    auto p = RichProject();
    const std::vector<std::uint8_t> good = p->SaveProject();
    auto target = MakeTestProject(3, 3);
    target->FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 77);
    const std::string before = target->DumpStructText(INFO_SUMMARY);

    // Every truncation.
    for (std::size_t n = 0; n < good.size(); n += (n < 64 ? 1 : 97)) {
        const QSSTATUS st = target->LoadProject(good.data(), n);
        ASSERT_TRUE(st == CProject::LS_DAMAGED || st == CProject::LS_UNSUPPORTED) << n;
    }
    // Flipped bytes anywhere.
    for (std::size_t i = 0; i < good.size(); i += 13) {
        std::vector<std::uint8_t> bad = good;
        bad[i] ^= 0x5A;
        const QSSTATUS st = target->LoadProject(bad.data(), bad.size());
        ASSERT_NE(st, CProject::LS_OK) << i;
        ASSERT_NE(st, CProject::LS_OLDER) << i;
    }
    EXPECT_EQ(target->DumpStructText(INFO_SUMMARY), before);
    EXPECT_EQ(target->FindDataObject(kPaidLoss, NET)->RawValue(0, 0), 77);

    const std::uint8_t foreign[] = {'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(target->LoadProject(foreign, sizeof foreign), CProject::LS_UNSUPPORTED);
    std::vector<std::uint8_t> newer = good;
    newer[4] = 99;  // a generation from the future
    EXPECT_EQ(target->LoadProject(newer.data(), newer.size()), CProject::LS_UNSUPPORTED);
    EXPECT_EQ(target->GetLoadStatus(), CProject::LS_UNSUPPORTED);
    EXPECT_EQ(target->LoadGraphData(good.data(), good.size()), CProject::LS_UNSUPPORTED);

    // A huge count inside a well-framed body is refused, not allocated.
    CProject q;
    std::vector<std::uint8_t> g = p->SaveGraphData();
    g[12] = 0xFF;
    g[13] = 0xFF;
    g[14] = 0xFF;
    g[15] = 0x7F;
    EXPECT_NE(q.LoadGraphData(g.data(), g.size()), CProject::LS_OK);
}
}  // namespace

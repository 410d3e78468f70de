// Factor libraries: set editing, reshaping and the ".dfl" file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include <cmath>
#include <limits>

#include "CArchive.h"
#include "CFSLib.h"
#include "CFactorSet.h"
#include "CFile.h"
#include "KernelIds.h"
#include "KernelStream.h"
#include "TestEnvironment.h"

namespace {

constexpr QSID kExhibitNet = 201010001;  // an exhibit id with layer 1 set
QSID WithLayer(QSID id, unsigned short layer) {
    SetIDLayer(id, layer);
    return id;
}

CDataObject Row(std::initializer_list<double> values) {
    CDataObject r;
    r.SetShape(1, static_cast<std::uint16_t>(values.size()), CDataObject::VT_ROW);
    int k = 0;
    for (double v : values) {
        if (!std::isnan(v)) r.SetAt(0, k, v);
        ++k;
    }
    return r;
}

std::vector<std::pair<bool, double>> Cells(CFactorSet& set, QSID id) {
    CDataObject* row = nullptr;
    std::vector<std::pair<bool, double>> out;
    if (set.GetDF(id, "", row) != 0 || !row) return out;
    for (int k = 0; k < set.GetNumDevPrds(); ++k) {
        double v = 0;
        std::uint8_t f = 0;
        row->GetAt(0, k, v, f);
        out.emplace_back((f & CDataObject::CF_VALUE) != 0, (f & CDataObject::CF_VALUE) ? v : 0.0);
    }
    return out;
}

const double kBlank = std::numeric_limits<double>::quiet_NaN();

CFSLib SampleLibrary() {
    CFSLib lib;
    lib.SetName("Auto");
    lib.SetDescription("Private passenger\nannual");
    CFactorSet a("Industry", "", 4, PRD_YEAR, 12);
    a.SetDF(kExhibitNet, "Paid Loss", Row({1.8, 1.25, kBlank, 1.02}));
    a.SetDF(WithLayer(kExhibitNet, 2), "Paid Loss", Row({1.9, 1.3, 1.1, 1.03}));
    lib.AddFactorSet(a);
    lib.AddFactorSet(CFactorSet("Quarterly", "q", 8, PRD_QUARTER, 3));
    return lib;
}

}  // namespace

TEST(CFactorSetTest, RowsAreKeptPerExhibitAndLayer) {
    CFactorSet set("S", "", 4, PRD_YEAR, 12);
    EXPECT_EQ(set.SetDF(kExhibitNet, "Paid", Row({1.5, 1.2, 1.1, 1.05})), 0);
    EXPECT_EQ(set.SetDF(WithLayer(kExhibitNet, 3), "Paid", Row({2.0})), 0);  // short row: tail kept last
    EXPECT_NE(set.SetDF(WithLayer(kExhibitNet, 0), "Paid", Row({1.0})), 0);  // no layer

    QSIDArray ids;
    QSStringArray names;
    set.GetDFList(1, ids, names);
    ASSERT_EQ(ids, QSIDArray{kExhibitNet});
    EXPECT_EQ(names, QSStringArray{"Paid"});
    set.GetDFList(2, ids, names);
    EXPECT_TRUE(ids.empty());

    using C = std::vector<std::pair<bool, double>>;
    EXPECT_EQ(Cells(set, WithLayer(kExhibitNet, 3)), (C{{false, 0}, {false, 0}, {false, 0}, {true, 2.0}}));
    CDataObject* missing = reinterpret_cast<CDataObject*>(1);
    EXPECT_NE(set.GetDF(WithLayer(kExhibitNet, 2), "", missing), 0);
    EXPECT_EQ(missing, nullptr);

    QSStringArray labels;
    set.GetDevPrdLabels(labels);
    EXPECT_EQ(labels, (QSStringArray{"12", "24", "36", "Tail"}));

    EXPECT_EQ(set.RemoveDF(kExhibitNet, "Paid"), 0);
    EXPECT_NE(set.RemoveDF(kExhibitNet, "Paid"), 0);
}

TEST(CFactorSetTest, RedimMovesValuesByAgeAndKeepsTheTailLast) {
    using C = std::vector<std::pair<bool, double>>;
    CFactorSet set("S", "", 4, PRD_YEAR, 12);
    set.SetDF(kExhibitNet, "Paid", Row({1.5, 1.2, 1.1, 1.05}));

    // From age 24, five periods: 24 and 36 keep their factors, the tail moves.
    EXPECT_EQ(set.Redim(false, 5, PRD_YEAR, 24), 0);
    EXPECT_EQ(Cells(set, kExhibitNet), (C{{true, 1.2}, {true, 1.1}, {false, 0}, {false, 0}, {true, 1.05}}));

    EXPECT_EQ(set.AddNewEval(), 0);
    EXPECT_EQ(set.GetNumDevPrds(), 6);
    EXPECT_EQ(Cells(set, kExhibitNet).back(), (std::pair<bool, double>{true, 1.05}));
    EXPECT_FALSE(Cells(set, kExhibitNet)[4].first);

    EXPECT_NE(set.Redim(false, 0, PRD_YEAR, 12), 0);
    EXPECT_NE(set.Redim(false, 4, static_cast<PRDLENGTH>(5), 12), 0);
    EXPECT_EQ(set.GetNumDevPrds(), 6);  // refused reshapes change nothing

    EXPECT_EQ(set.Redim(true, 3, PRD_QUARTER, 3), 0);
    EXPECT_EQ(Cells(set, kExhibitNet), (C{{false, 0}, {false, 0}, {false, 0}}));
    EXPECT_EQ(set.GetDFCount(), 1u);  // cleared, not removed
}

TEST(CFactorSetTest, CanAdjustSizeAndCompare) {
    CFactorSet set("S", "", 4, PRD_YEAR, 12);
    EXPECT_TRUE(set.CanAdjustSize(4, PRD_YEAR, 12, 0, 0, 0));
    EXPECT_FALSE(set.CanAdjustSize(5, PRD_YEAR, 12, 0, 0, 0));
    EXPECT_TRUE(set.CanAdjustSize(5, PRD_YEAR, 12, 0, 0, 1));
    EXPECT_FALSE(set.CanAdjustSize(4, PRD_QUARTER, 12, 0, 0, 1));
    EXPECT_FALSE(set.CanAdjustSize(4, PRD_YEAR, 24, 0, 0, 1));

    set.SetDF(kExhibitNet, "Paid", Row({1.5, 1.2, 1.1, 1.05}));
    CFactorSet copy = set;
    EXPECT_TRUE(set.CompareDFList(copy));
    copy.SetDF(kExhibitNet, "Paid", Row({1.5, 1.2, kBlank, 1.05}));
    EXPECT_FALSE(set.CompareDFList(copy));
}

TEST(CFSLibTest, NamesAreUniqueWithoutCase) {
    CFSLib lib = SampleLibrary();
    EXPECT_EQ(lib.AddFactorSet(CFactorSet("INDUSTRY", "", 3, PRD_YEAR, 12)), qsk::kNameTaken);
    EXPECT_NE(lib.AddFactorSet(CFactorSet("", "", 3, PRD_YEAR, 12)), 0);
    CFactorSet* set = nullptr;
    EXPECT_EQ(lib.GetFactorSet("industry", set), 0);
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->GetName(), "Industry");

    EXPECT_EQ(lib.SetFSName("Industry", "Quarterly"), qsk::kNameTaken);
    EXPECT_EQ(lib.SetFSName("Industry", "INDUSTRY"), 0);  // a case change alone is a rename
    EXPECT_NE(lib.SetFSName("Nope", "X"), 0);
    QSStringArray names;
    lib.GetFactorSetNames(names);
    EXPECT_EQ(names, (QSStringArray{"INDUSTRY", "Quarterly"}));

    EXPECT_EQ(lib.RemoveFactorSet("quarterly", "Auto"), 0);
    EXPECT_NE(lib.RemoveFactorSet("quarterly", "Auto"), 0);
    EXPECT_EQ(lib.GetCount(), 1u);
}

TEST(CFSLibTest, FileRoundTripKeepsEverything) {
    const std::string path = qs::test::MakeTempDir("dfl") + "/auto.dfl";
    CFSLib lib = SampleLibrary();
    ASSERT_EQ(lib.SaveFile(path), 0);

    CFSLib back;
    ASSERT_EQ(back.LoadFile(path), 0);
    EXPECT_EQ(back.GetName(), "Auto");
    EXPECT_EQ(back.GetDescription(), "Private passenger\nannual");
    EXPECT_EQ(back.ToBytes(), lib.ToBytes());
    CFactorSet *a = nullptr, *b = nullptr;
    lib.GetFactorSet("Industry", a);
    back.GetFactorSet("Industry", b);
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(a->CompareDFList(*b));
    EXPECT_FALSE(Cells(*b, kExhibitNet)[2].first);  // a blank stays blank

    // Through an archive, as a document serializes it.
    {
        CFile f;
        ASSERT_TRUE(f.Open(path, CFile::modeRead));
        CArchive ar(&f, CArchive::load);
        CFSLib viaArchive;
        viaArchive.Serialize(ar);
        EXPECT_EQ(viaArchive.ToBytes(), lib.ToBytes());
    }
    std::vector<std::uint8_t> buf;
    {
        CArchive ar(buf, CArchive::store);
        lib.Serialize(ar);
        ar.Close();
    }
    EXPECT_EQ(buf, lib.ToBytes());
}

TEST(CFSLibTest, APipeOrFolderNamedAsALibraryIsRefusedWithoutWaiting) {
    // A flood-fill rule of a project can name any path; a pipe nobody writes
    // to must not hold the program.
    const std::string dir = qs::test::MakeTempDir("dfl");
    const std::string fifo = dir + "/pipe.dfl";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, dir}) {
        auto load = std::async(std::launch::async, [path] {
            CFSLib lib;
            return lib.LoadFile(path);
        });
        if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            // Let the blocked open go so the test ends.
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
            load.wait();
            FAIL() << "opening " << path << " blocked";
        }
        EXPECT_EQ(load.get(), CFSLib::kCannotOpen) << path;
    }
}

TEST(CFSLibTest, DamagedFilesFailAndLeaveTheLibraryAlone) {
    const std::string dir = qs::test::MakeTempDir("dfl");
    const auto good = SampleLibrary().ToBytes();
    CFSLib lib;
    lib.SetName("Mine");

    EXPECT_EQ(lib.LoadFile(dir + "/none.dfl"), CFSLib::kCannotOpen);

    auto newer = good;
    newer[4] = 2;
    EXPECT_EQ(lib.FromBytes(newer), CFSLib::kNewer);
    EXPECT_EQ(lib.FromBytes({}), CFSLib::kDamaged);
    // Every truncation and every single flipped byte is refused.
    for (std::size_t n = 0; n < good.size(); ++n) {
        ASSERT_EQ(lib.FromBytes(std::vector<std::uint8_t>(good.begin(), good.begin() + n)), CFSLib::kDamaged) << n;
        auto bad = good;
        bad[n] ^= 0x5A;
        ASSERT_NE(lib.FromBytes(bad), 0) << n;
    }
    EXPECT_EQ(lib.GetName(), "Mine");

    // A consistent checksum does not let a bad value through: a NaN factor.
    // Build the file by hand with one row holding NaN.
    KernelWriter body;
    body.Str("L");
    body.Str("");
    body.U32(1);
    body.Str("S");
    body.Str("");
    body.U16(2);
    body.U16(12);
    body.U16(12);
    body.U32(1);
    body.I32(kExhibitNet);
    body.Str("Paid");
    body.U8(1);
    body.F64(std::numeric_limits<double>::quiet_NaN());
    body.U8(0);
    body.F64(0);
    const std::uint32_t h = KernelChecksum(body.Bytes().data(), body.Bytes().size());
    KernelWriter file;
    file.Raw("QDFL", 4);
    file.U32(1);
    file.Blob(body.Bytes());
    file.U32(h);
    EXPECT_EQ(lib.FromBytes(file.Bytes()), CFSLib::kDamaged);

    // Through an archive the failure is an exception, not a crash.
    std::vector<std::uint8_t> cut(good.begin(), good.end() - 3);
    CArchive ar(cut, CArchive::load);
    EXPECT_THROW(lib.Serialize(ar), CArchiveException);
    EXPECT_EQ(lib.GetName(), "Mine");
}

TEST(CFSLibTest, SavingIntoAMissingFolderFails) {
    const std::string dir = qs::test::MakeTempDir("dfl");
    EXPECT_EQ(SampleLibrary().SaveFile(dir + "/missing-folder/x.dfl"), CFSLib::kCannotOpen);
}

// Small binary files that other programs read: written here with the archive
// the way their writers do, and checked byte for byte against the documented
// layouts and sizes.
#include <gtest/gtest.h>

#include "ArchiveTestUtil.h"
#include "CArchive.h"
#include "CObArray.h"
#include "CStringArray.h"
#include "ValueArrays.h"

#include "TestEnvironment.h"

using namespace archive_test;

namespace {

// A stand-in with the stored name and schema of the export-selection entry.
class ExportEntryFixture : public CObject {
    DECLARE_SERIAL(ExportEntryFixture)
public:
    ExportEntryFixture() = default;
    ExportEntryFixture(int32_t id, std::string name) : m_id(id), m_name(std::move(name)) {}
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_id << m_name;
        else
            ar >> m_id >> m_name;
    }
    int32_t m_id = 0;
    std::string m_name;
};
IMPLEMENT_SERIAL_AS(ExportEntryFixture, CObject, 1, "CQSExportTableInfo")

Bytes WritePrintList(const std::vector<int32_t>& ids, const std::vector<std::string>& names)
{
    Bytes buf;
    CArchive ar(buf, CArchive::store);
    ar.Write("print_id_list 3.0", 18);  // 17 characters and the NUL
    ar.WriteCount(ids.size());
    for (int32_t id : ids)
        ar << id;
    ar.WriteCount(names.size());
    for (const auto& n : names)
        ar << n;
    ar.WriteCount(0);  // page setups
    for (int32_t flag : {1, 0, 1, 0})
        ar << flag;
    ar << int32_t(0);  // reserved
    ar.Close();
    return buf;
}

Bytes WriteStatsDef(int rows)
{
    std::vector<std::unique_ptr<CByteArray>> owned;
    CObArray defs;
    for (int r = 0; r < rows; ++r) {
        owned.push_back(std::make_unique<CByteArray>());
        for (int f = 0; f < 9; ++f)
            owned.back()->Add(static_cast<BYTE>(r * 10 + f));
        defs.Add(owned.back().get());
    }
    Bytes buf;
    CArchive ar(buf, CArchive::store);
    defs.Serialize(ar);
    return buf;
}

}  // namespace

TEST(ArchiveLayouts, EmptyPrintListIs44Bytes)
{
    Bytes buf = WritePrintList({}, {});
    ASSERT_EQ(buf.size(), 44u);
    EXPECT_EQ(std::string(buf.begin(), buf.begin() + 18), std::string("print_id_list 3.0\0", 18));
    EXPECT_EQ(Bytes(buf.end() - 4, buf.end()), (Bytes{0, 0, 0, 0}));

    Bytes full = WritePrintList({101010001, -3}, {"Paid", "Incurred"});
    Bytes want;
    AppendText(want, std::string("print_id_list 3.0\0", 18));
    Append(want, {2, 0});
    AppendLE(want, 101010001, 4);
    Append(want, {0xFD, 0xFF, 0xFF, 0xFF});
    Append(want, {2, 0, 4});
    AppendText(want, "Paid");
    Append(want, {8});
    AppendText(want, "Incurred");
    Append(want, {0, 0});
    Append(want, {1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(full, want);
}

TEST(ArchiveLayouts, StatisticsRowsAre29BytesThen13Each)
{
    EXPECT_EQ(WriteStatsDef(0), (Bytes{0, 0}));
    Bytes one = WriteStatsDef(1);
    Bytes want;
    Append(want, {1, 0, 0xFF, 0xFF, 0, 0, 10, 0});
    AppendText(want, "CByteArray");
    Append(want, {9, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(one, want);
    EXPECT_EQ(one.size(), 29u);

    Bytes three = WriteStatsDef(3);
    EXPECT_EQ(three.size(), 29u + 2 * 13);
    EXPECT_EQ(Bytes(three.begin() + 29, three.begin() + 33), (Bytes{0x01, 0x80, 9, 0}));
    EXPECT_EQ(Bytes(three.begin() + 42, three.begin() + 46), (Bytes{0x01, 0x80, 9, 0}));

    // Read back as the defaults reader would.
    CArchive in(three, CArchive::load);
    CObArray rows;
    rows.Serialize(in);
    ASSERT_EQ(rows.GetSize(), 3);
    auto* last = dynamic_cast<CByteArray*>(rows[2]);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->GetSize(), 9);
    EXPECT_EQ(last->GetAt(8), 28);
    for (CObject* o : rows)
        delete o;
}

TEST(ArchiveLayouts, AsciiRecordLayoutIs33Bytes)
{
    const BYTE header1to11[11] = {0, 2, 0, 4, 0, 2, 0, 3, 0, 12, 2};
    const BYTE data1to11[11] = {0, 2, 0, 4, 0, 2, 0, 3, 0, 12, 0};
    const BYTE header12to17[6] = {0, 0, 0, 0, 1, 0};
    const std::string path = qs::test::MakeTempDir() + "/ascrec.dat";
    {
        CFile f(path, CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&f, CArchive::store);
        ar << WORD(0xFFFF) << WORD(1);
        for (BYTE b : header1to11)
            ar << b;
        for (BYTE b : data1to11)
            ar << b;
        for (BYTE b : header12to17)
            ar << b;
        ar << BYTE(1);
        ar.Close();
    }
    std::string bytes = qs::test::ReadFile(path);
    ASSERT_EQ(bytes.size(), 33u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFF\x01\x00", 4));
    EXPECT_EQ(static_cast<uint8_t>(bytes[13]), 12);  // header field 10
    EXPECT_EQ(static_cast<uint8_t>(bytes[30]), 1);   // header field 16
    EXPECT_EQ(static_cast<uint8_t>(bytes[32]), 1);   // use linefeeds
}

TEST(ArchiveLayouts, ExportSelectionFile)
{
    ExportEntryFixture e1(101010001, "Paid"), e2(200000003, "All layers"), e3(99000002, "");
    CObArray sel;
    sel.Add(&e1);
    sel.Add(&e2);
    sel.Add(&e3);
    Bytes buf;
    {
        CArchive ar(buf, CArchive::store);
        sel.Serialize(ar);
    }
    Bytes want;
    Append(want, {3, 0, 0xFF, 0xFF, 1, 0, 18, 0});
    AppendText(want, "CQSExportTableInfo");
    AppendLE(want, 101010001, 4);
    Append(want, {4});
    AppendText(want, "Paid");
    Append(want, {0x01, 0x80});
    AppendLE(want, 200000003, 4);
    Append(want, {10});
    AppendText(want, "All layers");
    Append(want, {0x01, 0x80});
    AppendLE(want, 99000002, 4);
    Append(want, {0});
    EXPECT_EQ(buf, want);

    CArchive in(buf, CArchive::load);
    CObArray back;
    back.Serialize(in);
    ASSERT_EQ(back.GetSize(), 3);
    EXPECT_EQ(static_cast<ExportEntryFixture*>(back[1])->m_name, "All layers");
    EXPECT_EQ(static_cast<ExportEntryFixture*>(back[2])->m_id, 99000002);
    for (CObject* o : back)
        delete o;

    // Another schema number makes the load fail.
    Bytes other = buf;
    other[4] = 2;
    CArchive in2(other, CArchive::load);
    CObArray refused;
    EXPECT_THROW(refused.Serialize(in2), CArchiveException);
}

TEST(ArchiveLayouts, DisplayDefaultsRecord)
{
    Bytes buf;
    {
        CArchive ar(buf, CArchive::store);
        ar << std::string("$") << std::string("-") << std::string();
        ar << ',' << '.';
        ar << int32_t(1) << int32_t(1) << int32_t(0) << int32_t(1);
        ar << WORD(2);
    }
    Bytes want{1, '$', 1, '-', 0, ',', '.', 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 2, 0};
    EXPECT_EQ(buf, want);
}

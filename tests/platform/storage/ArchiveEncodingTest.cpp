// Byte-exact encodings of values, strings and counts, the file and memory
// carriers, and the archive's refusal of damaged input.
#include <gtest/gtest.h>

#include "ArchiveTestUtil.h"
#include "CArchive.h"
#include "CAtomicFile.h"
#include "CObArray.h"
#include "CStringArray.h"
#include "ValueArrays.h"

#include "TestEnvironment.h"

#include <cerrno>
#include <memory>
#include <unistd.h>

using namespace archive_test;

TEST(ArchiveEncoding, NumbersAreLittleEndianAtTheirWidths)
{
    Bytes buf;
    {
        CArchive ar(buf, CArchive::store);
        ar << uint8_t(0xAB) << char('x') << uint16_t(0x1234) << int16_t(-2) << int32_t(-1) << uint32_t(0x01020304)
           << 7 << true << false << 1.0f << 1.0;
    }
    Bytes want;
    Append(want, {0xAB, 'x', 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01});
    Append(want, {7, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0});
    Append(want, {0x00, 0x00, 0x80, 0x3F});
    Append(want, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F});
    EXPECT_EQ(buf, want);

    CArchive in(buf, CArchive::load);
    uint8_t b; char c; uint16_t w; int16_t s; int32_t l; uint32_t d; int i; bool t, f; float fl; double db;
    in >> b >> c >> w >> s >> l >> d >> i >> t >> f >> fl >> db;
    EXPECT_EQ(b, 0xAB); EXPECT_EQ(c, 'x'); EXPECT_EQ(w, 0x1234); EXPECT_EQ(s, -2); EXPECT_EQ(l, -1);
    EXPECT_EQ(d, 0x01020304u); EXPECT_EQ(i, 7); EXPECT_TRUE(t); EXPECT_FALSE(f);
    EXPECT_EQ(fl, 1.0f); EXPECT_EQ(db, 1.0);
    EXPECT_EQ(in.GetBytesRemaining(), 0u);
}

TEST(ArchiveEncoding, StringLengthPrefixAtEachBoundary)
{
    struct Case {
        size_t length;
        Bytes prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        std::string text(c.length, 'q');
        if (c.length)
            text.back() = 'z';
        Bytes buf;
        {
            CArchive ar(buf, CArchive::store);
            ar << text;
        }
        ASSERT_EQ(buf.size(), c.prefix.size() + c.length);
        EXPECT_EQ(Bytes(buf.begin(), buf.begin() + c.prefix.size()), c.prefix);
        CArchive in(buf, CArchive::load);
        std::string back;
        in >> back;
        EXPECT_EQ(back, text);
    }
}

TEST(ArchiveEncoding, CountsSwitchToTheLongFormAtFFFF)
{
    struct Case {
        size_t count;
        Bytes bytes;
    };
    const Case cases[] = {
        {0, {0x00, 0x00}},
        {0xFFFE, {0xFE, 0xFF}},
        {0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        {0x12345678, {0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        Bytes buf;
        {
            CArchive ar(buf, CArchive::store);
            ar.WriteCount(c.count);
        }
        EXPECT_EQ(buf, c.bytes);
        CArchive in(buf, CArchive::load);
        EXPECT_EQ(in.ReadCount(), c.count);
    }
}

TEST(ArchiveEncoding, ReadsWideStringsAsUtf8)
{
    // A string written by a wide-character program: marker FF FEFF, then the
    // length in characters and UTF-16LE code units (here "hé" and a G clef).
    Bytes buf;
    Append(buf, {0xFF, 0xFE, 0xFF, 0x04, 'h', 0, 0xE9, 0, 0x34, 0xD8, 0x1E, 0xDD});
    CArchive in(buf, CArchive::load);
    std::string s;
    in >> s;
    EXPECT_EQ(s, "h\xC3\xA9\xF0\x9D\x84\x9E");
}

TEST(ArchiveEncoding, ContainerRoundTripsWithExactLayouts)
{
    CByteArray bytes;
    bytes.Add(1);
    bytes.Add(255);
    CWordArray words;
    words.Add(0xBEEF);
    CDWordArray dwords;
    dwords.Add(0xDEADBEEF);
    CUIntArray ids;
    ids.Add(101010001);
    ids.Add(7);
    CStringArray names;
    names.Add("Paid");
    names.Add("");

    Bytes buf;
    {
        CArchive ar(buf, CArchive::store);
        bytes.Serialize(ar);
        words.Serialize(ar);
        dwords.Serialize(ar);
        ids.Serialize(ar);
        names.Serialize(ar);
    }
    Bytes want;
    Append(want, {2, 0, 1, 255});
    Append(want, {1, 0, 0xEF, 0xBE});
    Append(want, {1, 0, 0xEF, 0xBE, 0xAD, 0xDE});
    Append(want, {2, 0});
    AppendLE(want, 101010001, 4);
    AppendLE(want, 7, 4);
    Append(want, {2, 0, 4, 'P', 'a', 'i', 'd', 0});
    EXPECT_EQ(buf, want);

    CByteArray bytes2;
    CWordArray words2;
    CDWordArray dwords2;
    CUIntArray ids2;
    CStringArray names2;
    names2.Add("stale");
    CArchive in(buf, CArchive::load);
    bytes2.Serialize(in);
    words2.Serialize(in);
    dwords2.Serialize(in);
    ids2.Serialize(in);
    names2.Serialize(in);
    EXPECT_EQ(std::vector<BYTE>(bytes2.begin(), bytes2.end()), (std::vector<BYTE>{1, 255}));
    EXPECT_EQ(words2[0], 0xBEEF);
    EXPECT_EQ(dwords2[0], 0xDEADBEEFu);
    EXPECT_EQ(std::vector<UINT>(ids2.begin(), ids2.end()), (std::vector<UINT>{101010001, 7}));
    ASSERT_EQ(names2.GetSize(), 2);
    EXPECT_EQ(names2[0], "Paid");
    EXPECT_EQ(names2[1], "");
}

TEST(ArchiveEncoding, LargeByteArrayUsesTheLongCount)
{
    CByteArray big;
    big.SetSize(0x10000);
    big[0xFFFF] = 9;
    Bytes buf;
    {
        CArchive ar(buf, CArchive::store);
        big.Serialize(ar);
    }
    ASSERT_EQ(buf.size(), 6u + 0x10000);
    EXPECT_EQ(Bytes(buf.begin(), buf.begin() + 6), (Bytes{0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}));
    CByteArray back;
    CArchive in(buf, CArchive::load);
    back.Serialize(in);
    EXPECT_EQ(back.GetSize(), 0x10000);
    EXPECT_EQ(back[0xFFFF], 9);
}

TEST(ArchiveEncoding, FileArchiveBuffersAndRoundTrips)
{
    const std::string path = qs::test::MakeTempDir() + "/data.bin";
    std::string big(5000, 'b');
    {
        CFile f(path, CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&f, CArchive::store, 16);  // tiny buffer: values straddle flushes
        for (int i = 0; i < 10; ++i)
            ar << int32_t(i);
        ar << big;
        ar.Write("tail", 4);
        ar.Close();
    }
    {
        CFile f(path, CFile::modeRead);
        EXPECT_EQ(f.GetLength(), 40u + 3 + 5000 + 4);
        CArchive ar(&f, CArchive::load, 16);
        for (int i = 0; i < 10; ++i) {
            int32_t v;
            ar >> v;
            EXPECT_EQ(v, i);
        }
        std::string s;
        ar >> s;
        EXPECT_EQ(s, big);
        char tail[8] = {};
        EXPECT_EQ(ar.Read(tail, sizeof tail), 4u);  // short read at the end, no throw
        EXPECT_EQ(std::string(tail), "tail");
        EXPECT_EQ(ar.GetBytesRemaining(), 0u);
    }
    {
        // Closing a loading archive leaves the file just after what it consumed.
        CFile f(path, CFile::modeRead);
        CArchive ar(&f, CArchive::load);
        int32_t first;
        ar >> first;
        ar.Close();
        EXPECT_EQ(f.GetPosition(), 4u);
    }
}

TEST(ArchiveEncoding, MissingFileIsAFileException)
{
    try {
        CFile f(qs::test::MakeTempDir() + "/absent.dat", CFile::modeRead);
        FAIL() << "opened a missing file";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    }
}

TEST(ArchiveEncoding, DenyWriteHolderRefusesWritersNotReaders)
{
    // Locks are per open file, so two openers in one process meet the same
    // rules as two programs.
    const std::string path = qs::test::MakeTempDir() + "/legacy.qs1";
    qs::test::WriteFile(path, "project");
    auto holder = std::make_unique<CFile>(path, CFile::modeReadWrite | CFile::shareDenyWrite);

    struct Case {
        unsigned flags;
        bool opens;
    };
    const Case cases[] = {
        {CFile::modeReadWrite | CFile::shareDenyWrite, false},
        {CFile::modeRead | CFile::shareDenyWrite, false},
        {CFile::modeWrite | CFile::shareDenyNone, false},
        {CFile::modeCreate | CFile::modeWrite, false},
        {CFile::modeRead | CFile::shareDenyNone, true},
        {CFile::modeRead, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        CFile other;
        int err = 0;
        EXPECT_EQ(other.Open(path, c.flags, &err), c.opens);
        if (!c.opens) {
            EXPECT_EQ(CFileException::CauseFromErrno(err), CFileException::sharingViolation);
        }
    }
    EXPECT_EQ(qs::test::ReadFile(path), "project");  // the refused create truncated nothing
    CAtomicFile replacement;
    EXPECT_FALSE(replacement.Open(path));

    // Writers without deny-write share with each other, and keep a deny-write opener out.
    holder.reset();
    CFile w1(path, CFile::modeWrite | CFile::shareDenyNone);
    CFile w2(path, CFile::modeReadWrite | CFile::shareDenyNone);
    CFile denier;
    EXPECT_FALSE(denier.Open(path, CFile::modeReadWrite | CFile::shareDenyWrite));
    w1.Close();
    w2.Close();
    EXPECT_TRUE(denier.Open(path, CFile::modeReadWrite | CFile::shareDenyWrite));
}

TEST(ArchiveEncoding, MemFileSeeksReadsAndWrites)
{
    CMemFile mem;
    mem.Write("abcdef", 6);
    EXPECT_EQ(mem.GetLength(), 6u);
    mem.Seek(2, CFile::begin);
    mem.Write("XY", 2);
    mem.Seek(-1, CFile::end);
    char c = 0;
    EXPECT_EQ(mem.Read(&c, 1), 1u);
    EXPECT_EQ(c, 'f');
    EXPECT_EQ(mem.Read(&c, 1), 0u);
    mem.Seek(10, CFile::begin);  // past the end: a later write fills the gap with zeros
    mem.Write("!", 1);
    EXPECT_EQ(mem.GetLength(), 11u);
    EXPECT_THROW(mem.Seek(-20, CFile::current), CFileException);

    // An archive over a memory file, as objects crossing processes use it.
    CMemFile stream;
    {
        CArchive ar(&stream, CArchive::store);
        ar << std::string("payload") << uint16_t(5);
    }
    std::vector<uint8_t> bytes = stream.Detach();
    EXPECT_EQ(bytes.size(), 10u);
    EXPECT_EQ(stream.GetLength(), 0u);
    CMemFile reader(bytes);
    CArchive in(&reader, CArchive::load);
    std::string s;
    uint16_t w;
    in >> s >> w;
    EXPECT_EQ(s, "payload");
    EXPECT_EQ(w, 5);
}

TEST(ArchiveErrors, WrongDirectionIsRefused)
{
    Bytes buf{1, 2, 3, 4};
    CArchive in(buf, CArchive::load);
    try {
        in << int32_t(1);
        FAIL();
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::readOnly);
    }
    Bytes out;
    CArchive st(out, CArchive::store);
    int32_t v;
    try {
        st >> v;
        FAIL();
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::writeOnly);
    }
}

TEST(ArchiveErrors, AbsurdCountsAndLengthsFailBeforeAllocating)
{
    // Each buffer claims far more elements than it holds.
    struct Case {
        const char* what;
        Bytes bytes;
        void (*load)(CArchive&);
    };
    const Case cases[] = {
        {"byte array", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2},
         [](CArchive& ar) { CByteArray a; a.Serialize(ar); }},
        {"dword array", {0x10, 0x00, 1, 2, 3, 4},
         [](CArchive& ar) { CDWordArray a; a.Serialize(ar); }},
        {"string array", {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40, 0},
         [](CArchive& ar) { CStringArray a; a.Serialize(ar); }},
        {"object array", {0xFE, 0xFF, 0, 0},
         [](CArchive& ar) { CObArray a; a.Serialize(ar); }},
        {"string", {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0x7F, 'a'},
         [](CArchive& ar) { std::string s; ar >> s; }},
        {"64-bit count", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0, 0, 0, 0},
         [](CArchive& ar) { CWordArray a; a.Serialize(ar); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes buf = c.bytes;
        CArchive ar(buf, CArchive::load);
        try {
            c.load(ar);
            ADD_FAILURE() << "loaded";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile) << e.what();
        }
    }
}

TEST(ArchiveEncoding, AtomicFileReplacesOnlyOnCommit)
{
    const std::string dir = qs::test::MakeTempDir();
    const std::string path = dir + "/stats.def";
    qs::test::WriteFile(path, "old");
    auto writeThrough = [&](CAtomicFile& f) {
        ASSERT_TRUE(f.Open(path));
        CArchive ar(&f, CArchive::store);
        ar << std::string("new content");
        ar.Close();
    };
    {
        CAtomicFile abandoned;
        writeThrough(abandoned);
        EXPECT_EQ(qs::test::ReadFile(path), "old");
        EXPECT_EQ(qs::test::ReadFile(abandoned.GetTempPath()).size(), 12u);
    }
    EXPECT_EQ(qs::test::ReadFile(path), "old");
    CAtomicFile f;
    writeThrough(f);
    f.Commit();
    EXPECT_EQ(qs::test::ReadFile(path), std::string("\x0bnew content"));
    // Only the target remains in the folder.
    CAtomicFile probe;
    ASSERT_TRUE(probe.Open(dir + "/x"));
    std::string temp = probe.GetTempPath();
    probe.Abort();
    EXPECT_NE(access(temp.c_str(), F_OK), 0);

    int err = 0;
    CAtomicFile nowhere;
    EXPECT_FALSE(nowhere.Open(dir + "/missing-folder/file.def", CFile::modeCreate, &err));
    EXPECT_EQ(err, ENOENT);
}

// Objects through the archive: class tags, back references, the reference
// table's numbering (including the 32-bit form), schemas, object containers,
// and damaged object streams.
#include <memory>
#include <set>
#include <gtest/gtest.h>

#include "ArchiveTestUtil.h"
#include "CArchive.h"
#include "CObArray.h"
#include "ObjectMaps.h"
#include "ValueArrays.h"

using namespace archive_test;

namespace {

class TestPoint : public CObject {
    DECLARE_SERIAL(TestPoint)
public:
    TestPoint() { ++s_live; }
    TestPoint(int32_t x) : m_x(x) { ++s_live; }
    ~TestPoint() override { --s_live; }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_x;
        else
            ar >> m_x;
    }
    int32_t m_x = 0;
    static inline int s_live = 0;
};
IMPLEMENT_SERIAL(TestPoint, CObject, 3)

class TestLabel : public CObject {
    DECLARE_SERIAL(TestLabel)
public:
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_text;
        else
            ar >> m_text;
    }
    std::string m_text;
};
IMPLEMENT_SERIAL(TestLabel, CObject, 1)

// Version 2 reads version 1 as well: the text was added in version 2.
class TestVersioned : public CObject {
    DECLARE_SERIAL(TestVersioned)
public:
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << m_n << m_text;
        } else {
            m_loadedSchema = ar.GetObjectSchema();
            ar >> m_n;
            if (m_loadedSchema >= 2)
                ar >> m_text;
        }
    }
    int32_t m_n = 0;
    std::string m_text;
    UINT m_loadedSchema = 0;
};
IMPLEMENT_SERIAL(TestVersioned, CObject, VERSIONABLE_SCHEMA | 2)

class NotSerializable : public CObject {
    DECLARE_DYNAMIC(NotSerializable)
};
IMPLEMENT_DYNAMIC(NotSerializable, CObject)

Bytes NewClass(const std::string& name, int schema)
{
    Bytes b{0xFF, 0xFF};
    AppendLE(b, static_cast<uint64_t>(schema), 2);
    AppendLE(b, name.size(), 2);
    AppendText(b, name);
    return b;
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace

TEST(ArchiveObjects, TagsForNewKnownNullAndBackReference)
{
    TestPoint a(1), b(2);
    TestLabel l;
    l.m_text = "hi";
    Bytes buf;
    {
        CArchive ar(buf, CArchive::store);
        ar << &a << &b << static_cast<CObject*>(nullptr) << &a << &l << &b;
    }
    // Reference table: 1 TestPoint class, 2 a, 3 b, 4 TestLabel class, 5 l.
    Bytes want = Cat({NewClass("TestPoint", 3), {1, 0, 0, 0},  // a
                      {0x01, 0x80, 2, 0, 0, 0},                // b: known class 1
                      {0x00, 0x00},                            // null
                      {0x02, 0x00},                            // a again
                      NewClass("TestLabel", 1), {2, 'h', 'i'}, // l
                      {0x03, 0x00}});                          // b again
    EXPECT_EQ(buf, want);

    CArchive in(buf, CArchive::load);
    TestPoint *a2, *b2, *null2, *a3, *b3;
    TestLabel* l2;
    in >> a2 >> b2 >> null2 >> a3 >> l2 >> b3;
    EXPECT_EQ(a2->m_x, 1);
    EXPECT_EQ(b2->m_x, 2);
    EXPECT_EQ(null2, nullptr);
    EXPECT_EQ(a3, a2);
    EXPECT_EQ(b3, b2);
    EXPECT_EQ(l2->m_text, "hi");
    delete a2;
    delete b2;
    delete l2;
}

TEST(ArchiveObjects, IndicesBeyond7FFEUseTheLongTag)
{
    // 0x7FFF objects of one class fill the 16-bit range (class 1, objects 2..0x8000).
    CObArray many;
    std::vector<std::unique_ptr<TestPoint>> owned;
    for (int i = 0; i < 0x7FFF; ++i) {
        owned.push_back(std::make_unique<TestPoint>(i));
        many.Add(owned.back().get());
    }
    TestLabel late1, late2;
    Bytes buf;
    {
        CArchive ar(buf, CArchive::store);
        for (CObject* o : many)
            ar << o;
        ar << owned[0x7FFC].get();  // index 0x7FFE: still the short form
        ar << owned[0x7FFD].get();  // index 0x7FFF: the long form
        ar << &late1 << &late2;     // class index 0x8001, objects 0x8002, 0x8003
        ar << &late2;
    }
    size_t tail = 2 + 6 + NewClass("TestLabel", 1).size() + 1 + 6 + 1 + 6;
    Bytes want = Cat({{0xFE, 0x7F}, {0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x00}, NewClass("TestLabel", 1), {0},
                      {0xFF, 0x7F, 0x01, 0x80, 0x00, 0x80}, {0}, {0xFF, 0x7F, 0x03, 0x80, 0x00, 0x00}});
    ASSERT_GE(buf.size(), tail);
    EXPECT_EQ(Bytes(buf.end() - static_cast<long>(tail), buf.end()), want);

    CArchive in(buf, CArchive::load);
    std::vector<TestPoint*> read;
    for (int i = 0; i < 0x7FFF; ++i) {
        TestPoint* p;
        in >> p;
        read.push_back(p);
    }
    TestPoint *r1, *r2;
    TestLabel *l1, *l2, *l3;
    in >> r1 >> r2 >> l1 >> l2 >> l3;
    EXPECT_EQ(r1, read[0x7FFC]);
    EXPECT_EQ(r2, read[0x7FFD]);
    EXPECT_EQ(r2->m_x, 0x7FFD);
    EXPECT_NE(l1, l2);
    EXPECT_EQ(l3, l2);
    for (auto* p : read)
        delete p;
    delete l1;
    delete l2;
}

TEST(ArchiveObjects, ObjectArrayAndMapsKeepSharingAndOrder)
{
    TestPoint p1(10), p2(20);
    CObArray arr;
    arr.Add(&p1);
    arr.Add(nullptr);
    arr.Add(&p1);
    CMapWordToOb byWord;
    byWord.SetAt(9, &p2);
    byWord.SetAt(3, &p1);
    CMapLongToOb byLong;
    byLong.SetAt(-5, &p2);

    Bytes buf;
    {
        CArchive ar(buf, CArchive::store);
        ar << &arr << &byWord << &byLong;
    }
    // arr is index 2 (after its class), p1 index 4 (after TestPoint's class).
    Bytes want = Cat({NewClass("CObArray", 0), {3, 0}, NewClass("TestPoint", 3), {10, 0, 0, 0}, {0, 0}, {4, 0},
                      NewClass("CMapWordToOb", 0), {2, 0}, {3, 0, 4, 0}, {9, 0, 0x03, 0x80, 20, 0, 0, 0},
                      NewClass("CMapLongToOb", 0), {1, 0}, {0xFB, 0xFF, 0xFF, 0xFF, 7, 0}});
    EXPECT_EQ(buf, want);

    CArchive in(buf, CArchive::load);
    CObArray* arr2;
    CMapWordToOb* byWord2;
    CMapLongToOb* byLong2;
    in >> arr2 >> byWord2 >> byLong2;
    ASSERT_EQ(arr2->GetSize(), 3);
    EXPECT_EQ(arr2->GetAt(1), nullptr);
    EXPECT_EQ(arr2->GetAt(0), arr2->GetAt(2));
    CObject* got = nullptr;
    ASSERT_TRUE(byWord2->Lookup(3, got));
    EXPECT_EQ(got, arr2->GetAt(0));
    ASSERT_TRUE(byWord2->Lookup(9, got));
    EXPECT_EQ(static_cast<TestPoint*>(got)->m_x, 20);
    CObject* viaLong = nullptr;
    ASSERT_TRUE(byLong2->Lookup(-5, viaLong));
    EXPECT_EQ(viaLong, got);
    delete arr2->GetAt(0);
    delete got;
    delete arr2;
    delete byWord2;
    delete byLong2;
}

TEST(ArchiveObjects, SchemaChecks)
{
    // A versionable class loads an older schema and can ask which one it is.
    Bytes old = Cat({NewClass("TestVersioned", 1), {7, 0, 0, 0}, {0x01, 0x80, 8, 0, 0, 0}});
    {
        CArchive in(old, CArchive::load);
        TestVersioned *v1, *v2;
        in >> v1 >> v2;
        EXPECT_EQ(v1->m_loadedSchema, 1u);
        EXPECT_EQ(v2->m_loadedSchema, 1u);  // the schema belongs to the class tag
        EXPECT_EQ(v2->m_n, 8);
        delete v1;
        delete v2;
    }
    // The current schema is written without the versionable flag.
    TestVersioned cur;
    cur.m_text = "t";
    Bytes buf;
    {
        CArchive ar(buf, CArchive::store);
        ar << &cur;
    }
    EXPECT_EQ(Bytes(buf.begin(), buf.begin() + 4), (Bytes{0xFF, 0xFF, 2, 0}));

    // A class that is not versionable refuses any other schema.
    Bytes wrong = Cat({NewClass("TestLabel", 2), {0}});
    CArchive in(wrong, CArchive::load);
    TestLabel* l = nullptr;
    try {
        in >> l;
        FAIL();
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::badSchema);
    }
}

TEST(ArchiveObjects, DamagedObjectStreamsThrow)
{
    struct Case {
        const char* what;
        Bytes bytes;
        CArchiveException::Cause cause;
    };
    const Case cases[] = {
        {"unknown class", Cat({NewClass("NoSuchClass", 0)}), CArchiveException::badClass},
        {"class name too long", Cat({NewClass(std::string(64, 'C'), 0)}), CArchiveException::badClass},
        {"class tag to nothing", {0x05, 0x80, 0, 0, 0, 0}, CArchiveException::badIndex},
        {"object tag to nothing", {0x07, 0x00}, CArchiveException::badIndex},
        {"long object tag to nothing", {0xFF, 0x7F, 0x00, 0x00, 0x01, 0x00}, CArchiveException::badIndex},
        {"object tag naming a class", Cat({NewClass("TestPoint", 3), {1, 0, 0, 0}, {0x01, 0x00}}),
         CArchiveException::badIndex},
        {"class tag naming an object", Cat({NewClass("TestPoint", 3), {1, 0, 0, 0}, {0x02, 0x80}}),
         CArchiveException::badIndex},
        {"wrong class", Cat({NewClass("TestLabel", 1), {0}}), CArchiveException::badClass},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes buf = c.bytes;
        CArchive in(buf, CArchive::load);
        try {
            // Valid objects before the damage load; the damage must throw.
            for (;;) {
                TestPoint* p;
                in >> p;
                delete p;
            }
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, c.cause) << e.what();
        }
    }
}

TEST(ArchiveObjects, EveryTruncationThrows)
{
    TestPoint a(1), b(2);
    CObArray inner;
    inner.Add(&a);
    inner.Add(&b);
    CByteArray blob;
    blob.SetSize(20);
    CMapWordToOb map;
    map.SetAt(1, &blob);
    CObArray outer;
    outer.Add(&inner);
    outer.Add(&map);
    outer.Add(&a);
    Bytes full;
    {
        CArchive ar(full, CArchive::store);
        outer.Serialize(ar);
        ar << std::string(300, 's');
    }
    for (size_t len = 0; len < full.size(); ++len) {
        SCOPED_TRACE(len);
        Bytes cut(full.begin(), full.begin() + static_cast<long>(len));
        CArchive in(cut, CArchive::load);
        CObArray back;
        EXPECT_THROW(
            {
                back.Serialize(in);
                std::string s;
                in >> s;
            },
            CArchiveException);
        // When only the string was cut, the array loaded: its objects are ours.
        std::set<CObject*> loaded;
        std::vector<CObject*> pending(back.begin(), back.end());
        while (!pending.empty()) {
            CObject* o = pending.back();
            pending.pop_back();
            if (!o || !loaded.insert(o).second)
                continue;
            if (auto* array = dynamic_cast<CObArray*>(o))
                pending.insert(pending.end(), array->begin(), array->end());
            if (auto* byWord = dynamic_cast<CMapWordToOb*>(o))
                for (auto& [key, value] : *byWord)
                    pending.push_back(value);
        }
        for (CObject* o : loaded)
            delete o;
    }
}

TEST(ArchiveObjects, ALoadCutShortFreesEveryElementItCreated)
{
    // An array and a map whose last point loses half its value: the points
    // read before the damage must not outlive the failed load, and an object
    // that only appears by reference (read before the container) stays.
    std::vector<std::unique_ptr<TestPoint>> owned;
    for (int i = 0; i < 3; ++i)
        owned.push_back(std::make_unique<TestPoint>(i));
    CObArray arr;
    CMapLongToOb map;
    for (int i = 0; i < 3; ++i) {
        arr.Add(owned[std::size_t(i)].get());
        map.SetAt(i, owned[std::size_t(i)].get());
    }
    for (CObject* container : std::initializer_list<CObject*>{&arr, &map}) {
        TestPoint shared(9);
        Bytes full;
        {
            CArchive ar(full, CArchive::store);
            ar << &shared;  // read first, owned by the caller
            if (container == &arr) {
                arr.InsertAt(0, &shared);  // a back reference first
                arr.Serialize(ar);
                arr.RemoveAt(0);
            } else {
                map.SetAt(-1, &shared);  // a back reference first
                map.Serialize(ar);
                map.RemoveKey(-1);
            }
            ar << std::int32_t(0);
        }
        const int liveBefore = TestPoint::s_live;
        Bytes cut(full.begin(), full.end() - 6);  // into the last point's value
        CArchive in(cut, CArchive::load);
        TestPoint* first = nullptr;
        in >> first;
        ASSERT_EQ(TestPoint::s_live, liveBefore + 1);
        if (container == &arr) {
            CObArray back;
            EXPECT_THROW(back.Serialize(in), CArchiveException);
            EXPECT_EQ(back.GetSize(), 0);
        } else {
            CMapLongToOb back;
            EXPECT_THROW(back.Serialize(in), CArchiveException);
            EXPECT_EQ(back.GetCount(), 0);
        }
        EXPECT_EQ(TestPoint::s_live, liveBefore + 1);  // only the caller's own object
        delete first;
    }
}

TEST(ArchiveObjects, ANestedArrayGoesWithItsElementsWhenTheOuterLoadFails)
{
    TestPoint a(1), b(2), c(3);
    CObArray inner;
    inner.Add(&a);
    inner.Add(&b);
    CObArray outer;
    outer.Add(&inner);
    outer.Add(&c);
    Bytes full;
    {
        CArchive ar(full, CArchive::store);
        outer.Serialize(ar);
    }
    const int liveBefore = TestPoint::s_live;
    Bytes cut(full.begin(), full.end() - 2);  // into the last point's value
    CArchive in(cut, CArchive::load);
    CObArray back;
    EXPECT_THROW(back.Serialize(in), CArchiveException);
    EXPECT_EQ(back.GetSize(), 0);
    EXPECT_EQ(TestPoint::s_live, liveBefore);
}

TEST(ArchiveObjects, AMapKeyStoredTwiceIsDamage)
{
    // Two entries under key 5: the first would be dropped with nobody owning it.
    TestPoint a(1);
    CMapLongToOb map;
    map.SetAt(5, &a);
    Bytes full;
    {
        CArchive ar(full, CArchive::store);
        map.Serialize(ar);
    }
    ASSERT_EQ(full[0], 1);
    full[0] = 2;                   // the count
    Append(full, {5, 0, 0, 0, 2, 0});  // key 5 again, then a reference to object 2 (the point)
    const int liveBefore = TestPoint::s_live;
    CArchive in(full, CArchive::load);
    CMapLongToOb back;
    try {
        back.Serialize(in);
        FAIL() << "a repeated key was accepted";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::badIndex);
    }
    EXPECT_EQ(back.GetCount(), 0);
    EXPECT_EQ(TestPoint::s_live, liveBefore);
}

TEST(ArchiveObjects, DeepNestingIsRefusedNotOverflowed)
{
    // 100000 arrays each holding the next: far deeper than any document.
    Bytes buf = Cat({NewClass("CObArray", 0), {1, 0}});
    for (int i = 0; i < 100000; ++i)
        Append(buf, {0x01, 0x80, 1, 0});
    Append(buf, {0, 0});
    CArchive in(buf, CArchive::load);
    CObArray* top = nullptr;
    EXPECT_THROW(in >> top, CArchiveException);
}

TEST(ArchiveObjects, StoringAnUnserializableClassFails)
{
    NotSerializable n;
    Bytes buf;
    CArchive ar(buf, CArchive::store);
    EXPECT_THROW(ar << &n, CArchiveException);
}

TEST(ArchiveObjects, MapObjectPreregistersOnBothSides)
{
    TestPoint parent(5);
    TestPoint child(6);
    Bytes buf;
    {
        CArchive ar(buf, CArchive::store);
        ar.MapObject(&parent);  // index 1
        ar << &child << &parent;
    }
    Bytes want = Cat({NewClass("TestPoint", 3), {6, 0, 0, 0}, {1, 0}});
    EXPECT_EQ(buf, want);
    TestPoint other(0);
    CArchive in(buf, CArchive::load);
    in.MapObject(&other);
    TestPoint *c, *p;
    in >> c >> p;
    EXPECT_EQ(p, &other);
    delete c;
}

// Window and document classes are made by class without declaring their own
// run-time information; they must still be creatable through RUNTIME_CLASS.
namespace {
struct UndeclaredShape : CObject {
    int m_sides = 4;
};
}  // namespace

TEST(RuntimeClass, UndeclaredClassIsCreatableAndDerivesFromItsDeclaredBase) {
    const CRuntimeClass* rc = RUNTIME_CLASS(UndeclaredShape);
    ASSERT_NE(rc, nullptr);
    EXPECT_EQ(rc, RUNTIME_CLASS(UndeclaredShape));
    EXPECT_STREQ(rc->m_lpszClassName, "UndeclaredShape");
    std::unique_ptr<CObject> made(rc->CreateObject());
    auto* shape = dynamic_cast<UndeclaredShape*>(made.get());
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->m_sides, 4);
    EXPECT_TRUE(rc->IsDerivedFrom(RUNTIME_CLASS(CObject)));
}

// Replicating a user-defined object into another project: the copy reads the
// target's own tables, what the target lacks is named, and a taken name adds
// nothing.
#include <gtest/gtest.h>

#include "CStringStack.h"
#include "FormulaBinding.h"
#include "ProjectFixture.h"
#include "ProjectReplicate.h"

namespace {

QSID AddUserTable(CProject& p, const std::string& name, const std::string& shortName, CStringStack resolved) {
    CUserTable proto;
    proto.SetIDLongName(name);
    proto.SetIDShortName(shortName);
    EXPECT_EQ(proto.SetFormula(CStringStack({name}), resolved), 0);
    QSID id = 0;
    EXPECT_EQ(p.AddNewFormulaObject(proto, 2, 0, qsk::kNodeUserInput, true, id), 0);
    p.PostInit();
    return id;
}

double Cell(const CProject& p, QSID id, unsigned short layer, int r, int c) {
    double v = -1;
    std::uint8_t f = 0;
    const CDataObject* d = p.FindDataObject(id, layer);
    if (!d || d->GetAt(r, c, v, f) != 0 || !(f & CDataObject::CF_VALUE)) return -1;
    return v;
}

// The copy made by DuplicateObject, added to target.
QSSTATUS Replicate(CProject& source, QSID id, CProject& target, const std::string& name, const std::string& shortName,
                   QSID& newId) {
    CFormula* copy = nullptr;
    if (const QSSTATUS st = source.DuplicateObject(id, name, shortName, copy)) return st;
    const QSSTATUS st = AddReplicatedObject(target, source, id, copy, newId);
    EXPECT_EQ(copy, nullptr);
    return st;
}

TEST(ProjectReplicate, TheCopyReadsTheTargetsTables) {
    auto source = MakeTestProject();
    auto target = MakeTestProject();
    const QSID doubled = AddUserTable(*source, "Doubled Paid", "DblPd", CStringStack({"DO101000001", "*", "2"}));
    source->FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 100);
    target->FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 10);
    QSStringArray missing;
    ASSERT_EQ(GetReplicateMissingSources(*source, doubled, *target, missing), 0);
    EXPECT_TRUE(missing.empty());
    QSID newId = 0;
    ASSERT_EQ(Replicate(*source, doubled, *target, "Twice Paid", "TwPd", newId), 0);
    EXPECT_EQ(GetIDDOType(newId), 2);
    std::string name, shortName;
    target->GetLongNameFromID(newId, name);
    target->GetShortNameFromID(newId, shortName);
    EXPECT_EQ(name, "Twice Paid");
    EXPECT_EQ(shortName, "TwPd");
    EXPECT_EQ(Cell(*target, newId, NET, 0, 0), 20);
    // It follows the target's changes; the source is untouched.
    target->FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 7);
    EXPECT_EQ(Cell(*target, newId, NET, 0, 0), 14);
    EXPECT_EQ(Cell(*source, doubled, NET, 0, 0), 200);
    std::string sourceName;
    source->GetLongNameFromID(doubled, sourceName);
    EXPECT_EQ(sourceName, "Doubled Paid");
}

TEST(ProjectReplicate, TablesTheTargetLacksAreNamedAndATakenNameAddsNothing) {
    auto source = MakeTestProject();
    auto target = MakeTestProject();
    const QSID base = AddUserTable(*source, "Base", "", CStringStack({"DO101000001", "*", "3"}));
    const QSID onBase = AddUserTable(*source, "On Base", "", CStringStack({"DO" + std::to_string(base), "+", "1"}));
    QSStringArray missing;
    ASSERT_EQ(GetReplicateMissingSources(*source, onBase, *target, missing), 0);
    EXPECT_EQ(missing, QSStringArray{"Base"});

    // The same id under another name in the target is not the table read.
    AddUserTable(*target, "Other", "", CStringStack({"DO101000001"}));
    GetReplicateMissingSources(*source, onBase, *target, missing);
    EXPECT_EQ(missing, QSStringArray{"Base"});

    // An exhibit names what its formula reads, too.
    CUserExhibit exhibit;
    exhibit.SetIDLongName("Base Development");
    ASSERT_EQ(exhibit.SetFormula(CStringStack({"Base"}), CStringStack({"DO" + std::to_string(base)})), 0);
    QSID exhibitId = 0;
    ASSERT_EQ(source->AddNewFormulaObject(exhibit, 4, 1, 5060, true, exhibitId), 0);
    source->PostInit();
    GetReplicateMissingSources(*source, exhibitId, *target, missing);
    EXPECT_EQ(missing, QSStringArray{"Base"});

    // A taken name (or abbreviated name) adds nothing.
    QSID newId = 0;
    EXPECT_EQ(Replicate(*source, base, *target, "Other", "", newId), qsk::kNameTaken);
    EXPECT_EQ(newId, 0);
    QSID copyId = 0;
    ASSERT_EQ(Replicate(*source, base, *target, "Base", "", copyId), 0);
    EXPECT_NE(copyId, 0);
    EXPECT_EQ(Replicate(*source, base, *target, "Base", "", newId), qsk::kNameTaken);
}

}  // namespace

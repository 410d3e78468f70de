// The project's text reports (docs/kernel/reports.md): the file summary, the
// formula reports and the comparison of two projects, each checked against a
// small expected text.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "CStringStack.h"
#include "FormulaBinding.h"
#include "ProjectFixture.h"

namespace {

// The lines from the one equal to first up to the next empty line.
std::string Block(const std::string& text, const std::string& first) {
    std::istringstream in(text);
    std::string line, out;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!inside && line != first) continue;
        if (inside && line.empty()) break;
        inside = true;
        out += line + "\n";
    }
    return out;
}

std::string Head(const std::string& text, int lines) {
    std::istringstream in(text);
    std::string line, out;
    for (int i = 0; i < lines && std::getline(in, line); ++i) out += line + "\n";
    return out;
}

// A user exhibit over the paid triangle, so the formula report has a formula.
QSID AddDoubledPaid(CProject& p) {
    CUserExhibit proto;
    proto.SetIDLongName("Doubled Paid");
    proto.SetIDShortName("DblPd");
    EXPECT_EQ(proto.SetFormula(CStringStack({"Paid Loss * 2"}), CStringStack({"DO101000001", "*", "2"})), 0);
    QSID id = 0;
    EXPECT_EQ(p.AddNewFormulaObject(proto, 4, 1, 5060, true, id), 0);
    p.PostInit();
    return id;
}

TEST(ProjectReports, SummaryNamesTheStructureAndEveryObjectWithItsLayers) {
    auto p = MakeTestProject();
    p->SetFileName("/data/north.qs5");
    p->SetCompanyName("Mutual Re");
    p->SetDescription("Auto liability");
    p->FindDataObject(kPaidLoss, NET)->SetAt(0, 0, 100);
    const std::string text = p->DumpStructText(INFO_SUMMARY);
    EXPECT_EQ(Head(text, 9),
              "File summary\n"
              "File: /data/north.qs5\n"
              "Company: Mutual Re\n"
              "Description: Auto liability\n"
              "Exposure periods: 5 annual from 2001 period 1\n"
              "Development periods: 5 annual from age 12 months\n"
              "Entered layers: Net, Ceded, Direct\n"
              "Calculated layers: Gross, Assumed\n"
              "\n");
    // Paid loss holds data in Net and, by the relations, in Gross and Assumed.
    std::string paidName;
    p->GetNameFromID(kPaidLoss, paidName);
    const std::string inputs = Block(text, "Input arrays");
    EXPECT_NE(inputs.find("  1 - Paid Loss"), std::string::npos) << inputs;
    const std::size_t at = inputs.find("  1 - Paid Loss");
    const std::string paidLine = inputs.substr(at, inputs.find('\n', at) - at);
    EXPECT_EQ(paidLine.substr(paidLine.find('\t')), "\tNet, Gross, Assumed");
    EXPECT_NE(text.find("\nExhibits\n"), std::string::npos);
    EXPECT_NE(text.find("\nMethods\n"), std::string::npos);
}

TEST(ProjectReports, FormulaReportsListTheirCategoryOnly) {
    auto p = MakeTestProject();
    const QSID id = AddDoubledPaid(*p);
    std::string name;
    p->GetNameFromID(id, name);
    std::string paid;
    p->GetNameFromID(kPaidLoss, paid);
    const std::string exhibits = p->DumpStructText(INFO_EXHIBITS);
    EXPECT_EQ(Head(exhibits, 1), "Exhibit formulas\n");
    EXPECT_EQ(Block(exhibits, name + " (DblPd)"), name + " (DblPd)\n\t= Paid Loss * 2\n\treads " + paid + "\n");
    // Methods list their columns with their formulas; the exhibit is not there.
    const std::string methods = p->DumpStructText(INFO_METHODS);
    EXPECT_EQ(Head(methods, 1), "Method formulas\n");
    EXPECT_EQ(methods.find("Doubled Paid"), std::string::npos);
    EXPECT_NE(methods.find("\t1  "), std::string::npos);
    EXPECT_NE(methods.find(" = "), std::string::npos);
    EXPECT_EQ(Head(p->DumpStructText(INFO_REPORTS), 1), "Report formulas\n");
}

TEST(ProjectReports, ComparisonNamesEachDifference) {
    auto a = MakeTestProject();
    auto b = MakeTestProject();
    a->SetFileName("a.qs5");
    b->SetFileName("b.qs5");
    b->FindDataObject(kPaidLoss, NET)->SetAt(1, 2, 3);
    b->FindDataObject(kPaidLoss, NET)->SetAt(3, 0, 4);
    const QSID extra = AddDoubledPaid(*b);
    std::string paid, extraName;
    a->GetNameFromID(kPaidLoss, paid);
    b->GetNameFromID(extra, extraName);
    const std::string text = a->CompProjectText(*b);
    EXPECT_EQ(Head(text, 2), "Comparing a.qs5 with b.qs5\nStructure: the same\n");
    // Net changed, and Gross and Assumed with it.
    EXPECT_NE(text.find(paid + " <Net>: 2 cells differ, first at row 2, column 3\n"), std::string::npos) << text;
    EXPECT_NE(text.find(paid + " <Gross>: 2 cells differ"), std::string::npos);
    EXPECT_EQ(text.find(paid + " <Ceded>"), std::string::npos);
    EXPECT_NE(text.find(extraName + ": only in b.qs5\n"), std::string::npos);
    EXPECT_NE(text.find("; objects that differ: 2\n"), std::string::npos);

    const std::string structure = a->CompProjectText(*MakeTestProject(6, 5));
    EXPECT_NE(structure.find("Structure: different number of exposure periods\n"), std::string::npos) << structure;
}

TEST(ProjectReports, WritingFailsCleanlyWithoutAFileOrKind) {
    auto a = MakeTestProject();
    EXPECT_NE(a->DumpStruct(nullptr, INFO_SUMMARY), 0);
    EXPECT_NE(a->CompProject(*a, nullptr), 0);
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    EXPECT_NE(a->DumpStruct(f, 9), 0);
    EXPECT_EQ(std::ftell(f), 0);  // nothing written for an unknown kind
    EXPECT_EQ(a->DumpStruct(f, INFO_SUMMARY), 0);
    EXPECT_EQ(std::ftell(f), long(a->DumpStructText(INFO_SUMMARY).size()));
    std::fclose(f);
}

}  // namespace

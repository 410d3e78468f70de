#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "KernelGlobals.h"
#include "QsProfile.h"
#include "ProjectFixture.h"

namespace {
TEST(Project, CreateRejectsBadStructure) {
    struct Bad {
        std::uint16_t gen, numExp;
        PRDLENGTH expLen;
        std::uint16_t numDev;
        LAYERNAMES c1, c2;
    };
    const Bad cases[] = {{4, 5, PRD_YEAR, 5, GROSS, ASSUMED}, {5, 0, PRD_YEAR, 5, GROSS, ASSUMED},
                         {5, 5, static_cast<PRDLENGTH>(5), 5, GROSS, ASSUMED}, {5, 5, PRD_YEAR, 0, GROSS, ASSUMED},
                         {5, 5, PRD_YEAR, 5, GROSS, GROSS}, {5, 5, PRD_YEAR, 5, DIRECT, ASSUMED}};
    for (const auto& b : cases) {
        CProject p;
        std::uint16_t gen = b.gen, n = b.numExp, y = 2001, iv = 1, nd = b.numDev, age = 12;
        PRDLENGTH el = b.expLen, dl = PRD_YEAR;
        LAYERNAMES c1 = b.c1, c2 = b.c2;
        EXPECT_NE(p.Create(gen, n, el, y, iv, nd, dl, age, c1, c2), 0);
    }
}

TEST(Project, TemplateHoldsTheSystemObjectsInTheirNodes) {
    auto p = MakeTestProject();
    ASSERT_TRUE(p);
    std::uint16_t gen = 0, n = 0, y = 0, iv = 0, nd = 0, age = 0;
    PRDLENGTH el{}, dl{};
    ASSERT_EQ(p->GetInfoProject(gen, n, el, y, iv, nd, dl, age), 0);
    EXPECT_EQ(gen, 5);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(el, PRD_YEAR);
    EXPECT_EQ(y, 2001);
    EXPECT_EQ(age, 12);
    for (QSID id : {101000001, 101000010, 101000011, 101000016, 101000019, 101000020, 101000040, 101000494,
                    101000497, 101000050})
        EXPECT_TRUE(p->IDExists(id)) << id;
    for (int i = 23; i <= 29; ++i) EXPECT_EQ(p->GetSubgroupFromID(MakeID(1, 1, 0, 0, i)), qsk::kNodeSelectedUlt);
    for (int i = 33; i <= 39; ++i) EXPECT_EQ(p->GetSubgroupFromID(MakeID(1, 1, 0, 0, i)), qsk::kNodeHistoricalUlt);
    EXPECT_EQ(p->GetSubgroupFromID(101010494), qsk::kNodeAdjustments);
    auto* sf = dynamic_cast<CScalar*>(p->FindObject(p->GetScalingFactorID()));
    ASSERT_TRUE(sf);
    double v = 0;
    EXPECT_EQ(sf->GetValue(v), 0);
    EXPECT_EQ(v, 1.0);

    QSStringArray names;
    QSIDArray ids;
    ASSERT_EQ(p->GetNodeSubGroups(qsk::kCatExhibit, names, ids), 0);
    EXPECT_EQ(ids, (QSIDArray{5001, 5022, 5032, 5042, 5050, 5060}));
    ASSERT_EQ(p->GetNodeObjects(qsk::kCatInput, names, ids, NET, 0, 1, 1, 0), 0);
    ASSERT_EQ(names.size(), ids.size());
    EXPECT_NE(std::find(ids.begin(), ids.end(), 101010016), ids.end());  // layered ids come back
    EXPECT_NE(p->GetNodeSubGroups(1234, names, ids), 0);

    // Entered and calculated filters.
    ASSERT_EQ(p->GetNodeObjects(qsk::kCatInput, names, ids, GROSS, 0, 1, 0, 0), 0);
    EXPECT_TRUE(ids.empty());
}

TEST(Project, CalculatedLayersFollowEnteredCellByCell) {
    auto p = MakeTestProject();
    CDataObject* net = p->FindDataObject(kPaidLoss, NET);
    CDataObject* ceded = p->FindDataObject(kPaidLoss, CEDED);
    CDataObject* direct = p->FindDataObject(kPaidLoss, DIRECT);
    RecordingWindow gw, aw;
    CFormula* gross = p->OpenObject(kPaidLoss, GROSS, &gw);
    CFormula* assumed = p->OpenObject(kPaidLoss, ASSUMED, &aw);
    ASSERT_TRUE(gross && assumed);
    net->SetAt(1, 2, 100);
    ceded->SetAt(1, 2, 30);
    direct->SetAt(1, 2, 120);
    double v = 0;
    std::uint8_t f = 0;
    static_cast<CDataObject*>(gross)->GetAt(1, 2, v, f);
    EXPECT_EQ(v, 130);  // Net + Ceded
    static_cast<CDataObject*>(assumed)->GetAt(1, 2, v, f);
    EXPECT_EQ(v, 10);  // Gross - Direct
    EXPECT_EQ(gw.events.size(), 2u);
    for (auto& e : gw.events) EXPECT_EQ(e, std::make_pair(static_cast<int>(XR_CELL), 10002L));
    EXPECT_EQ(p->GetIDStatus(kPaidLoss, GROSS), 2);
    EXPECT_EQ(p->GetIDStatus(kPaidLoss, NET), 1);
    EXPECT_EQ(p->GetIDStatus(101000002, NET), 0);
    EXPECT_TRUE(p->IDHasData(kPaidLoss, ASSUMED));
    EXPECT_EQ(p->CloseObject(gross, &gw), 0);
    EXPECT_EQ(p->CloseObject(assumed, &aw), 0);
    EXPECT_EQ(p->IsViewed(kPaidLoss), 0);

    // Changing the relations recalculates the new calculated layer.
    ASSERT_EQ(p->SetCalcedLayers(NET, GROSS), 0);
    // Gross = Direct + Assumed: Assumed was a calculated 10, now entered and kept.
    static_cast<CDataObject*>(p->FindObject(kPaidLoss, GROSS))->GetAt(1, 2, v, f);
    EXPECT_EQ(v, 130);
    p->FindDataObject(kPaidLoss, NET)->GetAt(1, 2, v, f);
    EXPECT_EQ(v, 100);  // Gross - Ceded
    EXPECT_NE(p->SetCalcedLayers(GROSS, GROSS), 0);
    LAYERNAMES a{}, b{};
    p->GetCalcedLayers(a, b);
    EXPECT_EQ(a, NET);
    EXPECT_EQ(b, GROSS);
}

TEST(Project, OpenObjectRefusesUnknownIdsAndLayers) {
    auto p = MakeTestProject();
    EXPECT_EQ(p->OpenObject(101000777, NET, nullptr), nullptr);
    EXPECT_EQ(p->OpenObject(kPaidLoss, 0, nullptr), nullptr);
    EXPECT_EQ(p->OpenObject(kPaidLoss, 6, nullptr), nullptr);
    EXPECT_NE(p->OpenObject(101010001, 0, nullptr), nullptr);  // layer taken from the id
    EXPECT_NE(p->OpenObject(p->GetScalingFactorID(), 3, nullptr), nullptr);  // scalars in every layer
    std::string name;
    EXPECT_NE(p->GetNameLayer(name, 0), 0);
    ASSERT_EQ(p->GetNameLayer(name, 5), 0);
    EXPECT_EQ(name, "Assumed");
}

TEST(Project, NamesIndexesAndUserObjects) {
    auto p = MakeTestProject();
    std::string name;
    ASSERT_EQ(p->GetNameFromID(101010001, name), 0);
    EXPECT_EQ(name, "  1 - Paid Loss");
    p->SetShowTableID(0);  // names without their table numbers
    ASSERT_EQ(p->GetNameFromID(101010001, name), 0);
    EXPECT_EQ(name, "Paid Loss");
    p->SetShowTableID(1);
    p->GetShortNameFromID(101000011, name);
    EXPECT_EQ(name, "IL");
    QSID id = 0;
    EXPECT_EQ(p->GetIDFromName("incurred loss", id), 0);
    EXPECT_EQ(id, 101000011);
    EXPECT_EQ(p->GetIDFromName("IL", id), 0);
    EXPECT_NE(p->GetIDFromName("no such table", id), 0);

    CDataObject proto;
    proto.SetIDLongName("Case Reserves");
    proto.SetIDShortName("CR");
    QSID newId = 0;
    ASSERT_EQ(p->AddNewObject(proto, newId, 1), 0);
    EXPECT_EQ(newId, 201000501);
    EXPECT_EQ(p->GetSubgroupFromID(newId), qsk::kNodeUserInput);
    std::string next;
    ASSERT_EQ(p->GetNextAvailIndex(qsk::kCatInput, 501, next), 0);
    EXPECT_EQ(next, "502");
    EXPECT_EQ(p->IsIndexAvail(qsk::kCatInput, "501"), 0);
    EXPECT_EQ(p->IsIndexAvail(qsk::kCatInput, "502"), 1);
    EXPECT_EQ(p->IsIndexAvail(qsk::kCatInput, "996"), 0);

    std::string cn, cs;
    std::uint16_t ci = 0;
    EXPECT_EQ(p->IsNameUnique("case reserves", qsk::kCatInput, 0, &cn, &cs, &ci), 0);
    EXPECT_EQ(cn, "Case Reserves");
    EXPECT_EQ(ci, 501);
    EXPECT_NE(p->IsNameUnique("case reserves", qsk::kCatInput, newId), 0);  // itself excluded
    EXPECT_NE(p->IsNameUnique("Case Reserves", qsk::kCatScalar, 0), 0);     // other category

    // Its layers are related like the template's.
    CDataObject* net = p->FindDataObject(newId, NET);
    net->SetAt(0, 0, 9);
    double v = 0;
    std::uint8_t f = 0;
    p->FindDataObject(newId, GROSS)->GetAt(0, 0, v, f);
    EXPECT_EQ(v, 9);

    // Edit, move, delete.
    CFormula* edit = nullptr;
    ASSERT_EQ(p->BeginEditObject(newId, edit), 0);
    EXPECT_EQ(p->BeginEditObject(newId, edit), qsk::kInUse);
    edit->SetIDLongName("Case Reserves Adjusted");
    ASSERT_EQ(p->EndEditObject(edit, 1, 0), 0);
    EXPECT_EQ(edit, nullptr);
    p->GetLongNameFromID(newId, name);
    EXPECT_EQ(name, "Case Reserves Adjusted");
    EXPECT_EQ(p->FindObject(newId, DIRECT)->GetIDLongName(), "Case Reserves Adjusted");
    EXPECT_TRUE(p->CanMoveIDToSubgroup(newId, qsk::kCatInput));
    EXPECT_FALSE(p->CanMoveIDToSubgroup(newId, 5001));
    EXPECT_EQ(p->MoveIDToSubGroup(newId, qsk::kNodeMethodInput), 0);
    EXPECT_NE(p->DeleteObject(kPaidLoss), 0);  // system objects stay
    RecordingWindow w;
    CFormula* open = p->OpenObject(newId, NET, &w);
    EXPECT_EQ(p->DeleteObject(newId), qsk::kInUse);
    p->CloseObject(open, &w);
    EXPECT_EQ(p->DeleteObject(newId), 0);
    EXPECT_FALSE(p->IDExists(newId));
}

TEST(Project, DependentsOfAnObject) {
    auto p = MakeTestProject();
    CFormula exhibit;
    exhibit.SetIDLongName("Paid Loss Development");
    QSID exId = 0;
    ASSERT_EQ(p->AddNewFormulaObject(exhibit, 4, 1, 5060, true, exId), 0);
    // Paid salvage has no standard exhibit or method reading it.
    constexpr QSID kSalvage = 101000004;
    for (unsigned short l = 1; l <= 5; ++l) p->FindObject(exId, l)->AddSource(p->FindObject(kSalvage, l));
    EXPECT_TRUE(p->HasDependents(kSalvage));
    EXPECT_FALSE(p->HasDependents(101000020));
    QSStringArray names;
    p->GetDependents(kSalvage, names);
    EXPECT_EQ(names, QSStringArray{"Paid Loss Development"});
    QSIDArray links;
    p->GetIDLinks(exId, links);
    EXPECT_EQ(links, QSIDArray{kSalvage});
    QSIDArray exhibits;
    p->GetAllTypeIDsFromID(kSalvage, qsk::kCatExhibit, exhibits);
    EXPECT_EQ(exhibits, QSIDArray{exId});
}

TEST(Project, LabelsAndDates) {
    auto p = MakeTestProject(4, 4, PRD_YEAR, PRD_YEAR, true);
    QSStringArray exp, dev, exh;
    std::string title;
    ASSERT_EQ(p->GetLabels(exp, dev, exh, title), 0);
    EXPECT_EQ(exp, (QSStringArray{"Prior", "2002", "2003", "2004"}));
    EXPECT_EQ(dev, (QSStringArray{"12", "24", "36", "48"}));
    EXPECT_EQ(exh[0], "12-24");
    p->SetExhibitLabelFormat(1);
    p->GetLabels(exp, dev, exh, title);
    EXPECT_EQ(exh[0], "24/12");
    QSStringArray one;
    std::string cap;
    short idx = 2;
    ASSERT_EQ(p->GetLabels(one, LBL_CALENDAR, cap, idx), 0);
    EXPECT_EQ(one, QSStringArray{"2003"});
    idx = 9;
    EXPECT_NE(p->GetLabels(one, LBL_CALENDAR, cap, idx), 0);
    int m = 0, d = 0, y = 0;
    ASSERT_EQ(p->GetExpDate(m, d, y, 1), 0);
    EXPECT_EQ(y, 2002);
    EXPECT_EQ(p->SetExpDate(7, 1, 2002, 1), 0);
    EXPECT_NE(p->SetExpDate(7, 1, 2009, 1), 0);  // out of order
    EXPECT_NE(p->SetExpDate(2, 30, 2002, 1), 0);
    EXPECT_NE(p->GetExpDate(m, d, y, 4), 0);
    EXPECT_EQ(p->GetAllPriorExposureYear("Prior"), "2001");
    p->SetDatesFormat("mm'-'yyyy");
    p->GetLabels(exp, dev, exh, title);
    EXPECT_EQ(exp[1], "07-2002");
    ASSERT_EQ(p->SetDevPeriod(18, 1), 0);
    EXPECT_NE(p->SetDevPeriod(50, 1), 0);
    EXPECT_EQ(p->SetSelHistLabel(0, "Prior selection"), 0);
    EXPECT_NE(p->SetSelHistLabel(12, "too many"), 0);
    EXPECT_EQ(p->GetSelHistLabel(0), "Prior selection");

    QSStringArray rows, cols;
    std::string corner;
    ASSERT_EQ(p->FindDataObject(101000040, NET)->GetLabels(rows, cols, corner), 0);
    EXPECT_EQ(rows.size(), 4u);
    EXPECT_EQ(cols, QSStringArray{"WP"});
}

TEST(Project, DisplaySettingsComeFromTheWorkstationDefaults) {
    const QSDisplayDefaults saved = CProject::GetDisplayDefaults();
    std::map<std::string, std::string> profile = {{"Currency", "£"},          {"Currency Position", "0"},
                                                  {"Negative Symbol", "-"},   {"Negative Position", "1"},
                                                  {"Thousand Separator", "46"}, {"Decimal Separator", "44"},
                                                  {"Use Thousand Separator", "1"}, {"Decimals", "3"}};
    CProject::ReadDisplayDefaults([&](const char* key, const char* def) {
        auto it = profile.find(key);
        return it == profile.end() ? std::string(def) : it->second;
    });
    auto p = MakeTestProject();
    std::string sym;
    int pos = -1, lead = -1, red = -1, use = -1;
    p->GetCurrencySymbol(sym, pos);
    EXPECT_EQ(sym, "£");
    EXPECT_EQ(pos, 0);
    p->GetNegSymbol(sym, lead, red);
    EXPECT_EQ(sym, "-");
    EXPECT_EQ(lead, 1);
    char th = 0, de = 0;
    p->GetThousDecSymbol(th, de, use);
    EXPECT_EQ(th, '.');
    EXPECT_EQ(de, ',');
    short dec = 0;
    p->GetDecimals(dec);
    EXPECT_EQ(dec, 3);
    EXPECT_NE(p->SetThousDecSymbol(',', ',', 1), 0);
    EXPECT_NE(p->SetCurrencySymbol("EURO$", 1), 0);
    CProject::SetDisplayDefaults(saved);
}

TEST(Project, DisplayDefaultsFromTheApplicationProfile) {
    const QSDisplayDefaults saved = CProject::GetDisplayDefaults();
    // What the display options dialog's "Default..." writes for "(1.1)" with no symbol.
    WritePrivateProfileString("Settings", "Currency", "", "qstone.ini");
    WritePrivateProfileString("Settings", "Negative Symbol", "", "qstone.ini");
    WritePrivateProfileString("Settings", "Negative Position", "0", "qstone.ini");
    WritePrivateProfileString("Settings", "Decimals", "2", "qstone.ini");
    CProject::ReadDisplayDefaultsFromProfile("qstone.ini");
    auto p = MakeTestProject();
    std::string sym;
    int pos = 0, lead = 1, red = 1;
    p->GetCurrencySymbol(sym, pos);
    EXPECT_EQ(sym, "");
    p->GetNegSymbol(sym, lead, red);
    EXPECT_EQ(sym, "");
    EXPECT_EQ(lead, 0);
    short dec = 0;
    p->GetDecimals(dec);
    EXPECT_EQ(dec, 2);
    char th = 0, de = 0;
    int use = 0;
    p->GetThousDecSymbol(th, de, use);  // keys not written keep the kernel's defaults
    EXPECT_EQ(th, ',');
    EXPECT_EQ(de, '.');
    CProject::SetDisplayDefaults(saved);
}

TEST(Project, IteratesACategoryAndKeepsTheShowList) {
    auto p = MakeTestProject();
    QSID id = 0;
    std::string name;
    int n = 0;
    for (QSSTATUS s = p->GetFirst(qsk::kCatInput, id, name); s == 0; s = p->GetNext(qsk::kCatInput, id, name)) ++n;
    EXPECT_EQ(n, 30);
    EXPECT_EQ(p->GetFirst(qsk::kCatScalar, id, name), 0);
    EXPECT_EQ(id, p->GetScalingFactorID());
    p->SetShowItems({101010001, 101020001, 101000002});
    QSIDArray show;
    p->GetShowItems(show);
    EXPECT_EQ(show, (QSIDArray{101000001, 101000002}));  // layer-neutral, once
    QSStringArray names;
    QSIDArray ids;
    p->GetNodeObjects(qsk::kCatInput, names, ids, NET, 0, 1, 1, 1);
    EXPECT_EQ(ids, (QSIDArray{101010001, 101010002}));
}

TEST(Project, ScriptLookupsAndHousekeeping) {
    auto p = MakeTestProject();
    QSID id = 0;
    EXPECT_EQ(p->GetQSIDForTableMathFromEitherShortNameOrLongName("pl", id), 0);
    EXPECT_EQ(id, kPaidLoss);
    EXPECT_NE(p->GetQSIDForTableMathFromEitherShortNameOrLongName("  1 - Paid Loss", id), 0);
    for (const char* name : {"Large Losses", "large losses", "Other"}) {
        CDataObject proto;
        proto.SetIDLongName(name);
        QSID nid = 0;
        p->AddNewObject(proto, nid, 1);
    }
    QSStringArray dups;
    p->ReportDuplicateNamesForOldQsUserDefined(1001, dups);
    EXPECT_EQ(dups, (QSStringArray{"501 - Large Losses", "502 - large losses"}));
    RecordingWindow w;
    p->OpenObject(kPaidLoss, NET, &w);
    p->UpdateAllObjects();
    EXPECT_EQ(w.events.back(), std::make_pair(static_cast<int>(XR_RELOAD), 0L));
    p->ResetWindowPtrList();
    EXPECT_EQ(p->IsViewed(kPaidLoss), 0);
    EXPECT_FALSE(p->WarnRowColOverLimit());
    EXPECT_TRUE(p->CanGrowRows());
}

TEST(Project, ObjectAssembledLayerByLayerJoinsTheRelationsWhenComplete) {
    auto p = MakeTestProject();
    const QSID base = MakeID(2, 1, 0, 0, 600);
    for (unsigned short l = 1; l <= 5; ++l) {
        CFormula* obj = new CDataObject();
        obj->SetIDLongName("Assembled");
        QSID id = base;
        SetIDLayer(id, l);
        ASSERT_EQ(p->AddObjectToMap(id, obj, 0), 0);
        if (l >= GROSS && l < 5) {
            EXPECT_FALSE(p->FindObject(base, GROSS)->IsCalculated());
        }
    }
    EXPECT_TRUE(p->FindObject(base, GROSS)->IsCalculated());
    CFormula* again = new CDataObject();
    QSID dup = base;
    SetIDLayer(dup, NET);
    EXPECT_NE(p->AddObjectToMap(dup, again, 0), 0);  // the slot is taken
    delete again;
    p->FindDataObject(base, NET)->SetAt(0, 0, 4);
    double v = 0;
    std::uint8_t f = 0;
    p->FindDataObject(base, GROSS)->GetAt(0, 0, v, f);
    EXPECT_EQ(v, 4);
}

TEST(Project, GlobalsExist) {
    InitNumbrixExtensionDLL();
    EXPECT_TRUE(IsNumbrixExtensionInitialized());
    gbLogFileContainsError = true;
    EXPECT_TRUE(gbLogFileContainsError);
    gbLogFileContainsError = false;
}
}  // namespace

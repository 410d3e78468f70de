// The navigator tree and its show list on their own.
#include <gtest/gtest.h>

#include "KernelIds.h"
#include "ProjectNavigatorTree.h"

namespace {
TEST(ProjectNavigatorTree, StandardNodesSitUnderTheirCategories) {
    ProjectNavigatorTree tree;
    tree.AddStandardNodes();
    QSStringArray names;
    QSIDArray ids;
    ASSERT_EQ(tree.Children(qsk::kCatExhibit, names, ids), qsk::kOk);
    EXPECT_EQ(ids, (QSIDArray{5001, 5022, 5032, 5042, 5050, 5060}));
    EXPECT_EQ(names.front(), "Paid Exhibits");
    EXPECT_EQ(tree.Root(5022), qsk::kCatExhibit);
    EXPECT_EQ(tree.Root(qsk::kCatExhibit), qsk::kCatExhibit);
    EXPECT_EQ(tree.Root(qsk::kNodeSelectedUlt), qsk::kCatUltimate);
    EXPECT_EQ(tree.Children(4242, names, ids), qsk::kUnknownId);
}

TEST(ProjectNavigatorTree, RootEndsOnATreeStoredWithACycle) {
    ProjectNavigatorTree tree;
    tree.Add(5001, 5022, "a");
    tree.Add(5022, 5001, "b");
    const QSID root = tree.Root(5001);
    EXPECT_TRUE(root == 5001 || root == 5022);
}

TEST(ProjectNavigatorTree, ShowListKeepsEachIdOnce) {
    ProjectNavigatorTree tree;
    EXPECT_TRUE(tree.Shows(101000001));  // an empty list shows everything
    tree.SetShowItems({101000001, 101000002, 101000001});
    EXPECT_EQ(tree.ShowItems(), (QSIDArray{101000001, 101000002}));
    tree.AddShowItem(101000002);
    tree.AddShowItem(101000003);
    EXPECT_EQ(tree.ShowItems(), (QSIDArray{101000001, 101000002, 101000003}));
    EXPECT_FALSE(tree.Shows(101000004));
    tree.RemoveShowItem(101000002);
    EXPECT_FALSE(tree.Shows(101000002));
    EXPECT_TRUE(tree.Shows(101000003));
    tree.Clear();
    EXPECT_TRUE(tree.ShowItems().empty());
    EXPECT_FALSE(tree.Has(qsk::kCatInput));
}
}  // namespace

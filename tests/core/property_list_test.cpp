#include "platform/PropertyList.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(PropertyListTest, WrittenFileReadsBackWithKeysInTheirOrder) {
    TempDir dir;
    auto root = PlistDict::create();
    root->set("zeta", PlistValue("last letter"));
    root->set("alpha", PlistValue::integer(-7));
    auto list = std::make_shared<PlistArray>();
    list->push_back(PlistValue(2.5));
    list->push_back(PlistValue(true));
    root->set("mid", PlistValue(list));
    ASSERT_TRUE(writePropertyList(dir / "x.plist", PlistValue(root)));
    PlistValue back = readPropertyList(dir / "x.plist");
    ASSERT_NE(back.dictPtr(), nullptr);
    EXPECT_EQ(back.dictPtr()->keys(), (std::vector<std::string>{"zeta", "alpha", "mid"}));
    EXPECT_EQ(back, PlistValue(root));
}

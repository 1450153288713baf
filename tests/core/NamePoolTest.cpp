#include "core/NamePool.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using lv::core::InternName;

TEST(NamePool, EqualTextsShareOneImmutableCopy)
{
    const char* texts[] = {"", "a", "window", "window_", "Window", "caf\xC3\xA9"};
    for (const char* text : texts) {
        const CFixedString name(text);
        const CFixedString* pooled = InternName(name);
        EXPECT_EQ(InternName(CFixedString(text)), pooled) << text;
        EXPECT_EQ(CFixedString::Intern(name), pooled) << text;
        EXPECT_EQ(pooled->CompareText(text), 0) << text;
        EXPECT_TRUE(pooled->Equals(name)) << text;
        EXPECT_NE(pooled->GetCachedHash(), 0) << text;
    }
    EXPECT_NE(InternName(CFixedString("window")), InternName(CFixedString("Window")));
}

TEST(NamePool, PooledNamesCanBeCopiedByValue)
{
    // Enough short names to fill several of the pool's blocks, so that some lie at a block's
    // end: a copy reads the whole record, which must lie inside the block.
    std::vector<const CFixedString*> pooled;
    for (int i = 0; i < 10000; ++i)
        pooled.push_back(InternName(CFixedString(("copy" + std::to_string(i)).c_str())));
    for (int i = 0; i < 10000; ++i) {
        const CFixedString copy = *pooled[i];
        EXPECT_EQ(copy.CompareText(("copy" + std::to_string(i)).c_str()), 0);
        EXPECT_TRUE(copy.Equals(*pooled[i]));
    }
}

TEST(NamePool, CutNamesArePooledApart)
{
    const std::string longText(100, 'n');
    const CFixedString cut(longText.c_str());
    const CFixedString exact(longText.substr(0, CFixedString::kMaxLength).c_str());
    ASSERT_TRUE(cut.IsTruncated());
    const CFixedString* pooledCut = InternName(cut);
    EXPECT_NE(pooledCut, InternName(exact));
    EXPECT_EQ(pooledCut, InternName(cut));
    EXPECT_FALSE(pooledCut->Equals(exact));
}

TEST(NamePool, ManyNamesFromSeveralThreads)
{
    // Enough names to fill several 64 KiB blocks.
    constexpr int kNames = 4000;
    std::vector<const CFixedString*> first(kNames), second(kNames);
    auto intern = [](std::vector<const CFixedString*>& out) {
        for (int i = 0; i < kNames; ++i)
            out[i] = InternName(CFixedString(("name_with_some_length_" + std::to_string(i)).c_str()));
    };
    std::thread a(intern, std::ref(first));
    std::thread b(intern, std::ref(second));
    a.join();
    b.join();
    EXPECT_EQ(first, second);
    for (int i = 0; i < kNames; ++i)
        ASSERT_EQ(first[i]->CompareText(("name_with_some_length_" + std::to_string(i)).c_str()), 0);
}

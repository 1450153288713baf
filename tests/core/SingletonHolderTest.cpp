#include "core/SingletonHolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

struct CCounter
{
    int Value = 0;
};

struct CLateCounter
{
    int Value = 0;
};

} // namespace

TEST(SingletonHolder, OneInstanceCreatedOnFirstUse)
{
    auto& a = lv::core::CSingletonHolder<CCounter>::Instance();
    a.Value = 5;
    EXPECT_EQ(lv::core::CSingletonHolder<CCounter>::Instance().Value, 5);
    EXPECT_EQ(&lv::core::CSingletonHolder<CCounter>::Instance(), &a);
}

TEST(SingletonHolderDeathTest, UseAfterDestructionAtExitThrows)
{
    struct CLateUser
    {
        ~CLateUser()
        {
            try {
                lv::core::CSingletonHolder<CLateCounter>::Instance();
            } catch (const std::logic_error& e) {
                std::_Exit(std::string(e.what()) == "Dead Reference Detected" ? 7 : 2);
            }
            std::_Exit(1);
        }
    };
    EXPECT_EXIT(
        {
            // Made before the holder, so destroyed after it.
            static CLateUser late;
            lv::core::CSingletonHolder<CLateCounter>::Instance();
            std::exit(0);
        },
        testing::ExitedWithCode(7), "");
}

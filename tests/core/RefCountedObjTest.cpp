#include "core/RefCountedObj.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class CCounted : public lv::misc::CRefCountedObj
{
public:
    explicit CCounted(int& destroyed) : m_Destroyed(destroyed) {}
    ~CCounted() override { ++m_Destroyed; }

private:
    int& m_Destroyed;
};

using Ptr = boost::intrusive_ptr<CCounted>;

} // namespace

// GCC cannot see that the inner holder's release leaves a count of 1, and warns that the object
// may already be freed when its count is read.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuse-after-free"
#endif

TEST(RefCountedObj, HoldersShareAndFreeOnce)
{
    int destroyed = 0;
    auto* raw = new CCounted(destroyed);
    EXPECT_EQ(raw->GetRefCount(), 0u);
    {
        Ptr a(raw);
        {
            Ptr b = a;
            EXPECT_EQ(raw->GetRefCount(), 2u);
            EXPECT_TRUE(a == b);
        }
        EXPECT_EQ(a->GetRefCount(), 1u);
        raw->AddRef();
        Ptr adopted(raw, false); // takes over the reference counted just above
        EXPECT_EQ(raw->GetRefCount(), 2u);
        EXPECT_FALSE(a == Ptr());
        EXPECT_TRUE(Ptr() == Ptr());
    }
    EXPECT_EQ(destroyed, 1);
}

// A byte-wide count would wrap at 256 holders and free the object while still held.
TEST(RefCountedObj, ManyHoldersKeepTheObjectAlive)
{
    int destroyed = 0;
    Ptr first(new CCounted(destroyed));
    std::vector<Ptr> holders(300, first);
    EXPECT_EQ(first->GetRefCount(), 301u);
    holders.clear();
    EXPECT_EQ(destroyed, 0);
    first.reset();
    EXPECT_EQ(destroyed, 1);
}

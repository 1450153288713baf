#pragma once
// Intrusive reference count for objects shared through boost::intrusive_ptr (the widgets and
// windows). Objects start with no holder; the release that drops the last one deletes the
// object through its virtual destructor. Main thread only: the count is not atomic.
#include "core/Types.h"

#include <boost/intrusive_ptr.hpp>

#include <cassert>

namespace lv::misc {

class CRefCountedObj
{
public:
    CRefCountedObj() = default;
    // A copy is a new object: it starts without holders.
    CRefCountedObj(const CRefCountedObj&) {}
    CRefCountedObj& operator=(const CRefCountedObj&) { return *this; }
    virtual ~CRefCountedObj() = default;

    void AddRef() { ++m_RefCount; }
    void Release()
    {
        assert(m_RefCount > 0);
        if (m_RefCount > 0 && --m_RefCount == 0)
            delete this;
    }
    u32 GetRefCount() const { return m_RefCount; }

private:
    // 32 bits: a byte-wide count would wrap at 256 holders and free a live object.
    u32 m_RefCount = 0;
};

inline void intrusive_ptr_add_ref(CRefCountedObj* object)
{
    object->AddRef();
}

inline void intrusive_ptr_release(CRefCountedObj* object)
{
    object->Release();
}

} // namespace lv::misc

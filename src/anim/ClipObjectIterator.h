#pragma once
// Walks the objects of a clip in definition order.
#include <cstddef>
#include <vector>

namespace lv::misc::anim {
class CClipObject;
}

class CClipObjectIterator
{
public:
    CClipObjectIterator() = default;
    explicit CClipObjectIterator(const std::vector<lv::misc::anim::CClipObject*>* objects) : m_Objects(objects) {}

    lv::misc::anim::CClipObject* operator*() const { return (*m_Objects)[m_Index]; }
    // Advances and gives the old position.
    CClipObjectIterator operator++(int)
    {
        CClipObjectIterator old = *this;
        ++m_Index;
        return old;
    }
    bool IsAtEnd() const { return !m_Objects || m_Index >= m_Objects->size(); }

private:
    const std::vector<lv::misc::anim::CClipObject*>* m_Objects = nullptr;
    size_t m_Index = 0;
};

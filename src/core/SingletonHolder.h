#pragma once
// Process-wide objects created on first use and destroyed at process exit. Using one after its
// destruction (from another object's destructor at exit) throws std::logic_error
// "Dead Reference Detected" instead of touching freed memory.
#include <stdexcept>

namespace lv::core {

template <typename T> class CSingletonHolder
{
public:
    static T& Instance()
    {
        if (s_Dead)
            throw std::logic_error("Dead Reference Detected");
        static CHolder holder;
        return holder.Object;
    }

private:
    struct CHolder
    {
        T Object;
        ~CHolder() { s_Dead = true; }
    };
    // Constant-initialised, so it outlives every dynamic object of the process.
    static inline bool s_Dead = false;
};

} // namespace lv::core

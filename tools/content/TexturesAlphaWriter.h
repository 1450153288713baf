#pragma once
// Builds "texturesalpha.bindump": one run-length encoded opacity mask per image name.
#include <map>
#include <string>
#include <vector>

#include "core/Types.h"

namespace lv::content {

class CTexturesAlphaWriter
{
public:
    // A mask from 0xAARRGGBB pixels: a pixel is opaque when its alpha is at least the threshold.
    // Row by row unless rowOrder is false. A mask of one value becomes a uniform entry.
    void AddPixels(const std::string& name, u32 width, u32 height, const std::vector<u32>& pixels,
                   bool rowOrder = true, u32 threshold = 1);
    // A mask from explicit runs (pixel count, value) as given.
    void AddRuns(const std::string& name, u32 width, u32 height, const std::vector<std::pair<u32, bool>>& runs,
                 bool rowOrder = true);
    void AddUniform(const std::string& name, u32 width, u32 height, bool opaque);

    size_t GetCount() const { return m_Entries.size(); }
    std::vector<u8> Build() const;

private:
    struct CEntry
    {
        u16 width, height;
        bool uniform, value, rowOrder;
        std::vector<u16> runs;
    };
    std::map<std::string, CEntry> m_Entries;
};

} // namespace lv::content

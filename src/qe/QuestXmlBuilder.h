#pragma once
// Builds the quest data image from a quest.xml document: the same bytes as the compiled
// "quest.bindump". Data beyond the image's limits is cut with a log line (hints to what their
// 16-bit size holds, areas to 16384 points); elements the engine has no object for still get
// their records, which the scene builder skips.
#include "core/Types.h"

#include <vector>

namespace lv::core {
class CSettingsGroup;
}

namespace qe {

class CQuestXmlBuilder
{
public:
    static constexpr size_t kMaxHintLength = 65531; // padded to 65532, within the u16 size
    static constexpr size_t kMaxAreaPoints = 16384;

    // `document` is the document element; its child "Structure" holds the quests.
    static void Build(const lv::core::CSettingsGroup& document, std::vector<u8>& image);
};

} // namespace qe

#pragma once
// The decode-ahead task of a translucent WebM player: decodes the next frame of the colour
// stream, the alpha stream or both (mode 0 both, 1 colour only, 2 alpha only) and merges them.
#include "core/ThreadPool.h"
#include "core/Types.h"

namespace lv::graphics {

class CWebMTranslucentVideo;

class CDecodeTaskTranslucent final : public lv::mt::CThreadPool::CTask
{
public:
    explicit CDecodeTaskTranslucent(CWebMTranslucentVideo* player) : m_Player(player) {}
    ~CDecodeTaskTranslucent() = default;

    bool Run(lv::mt::CWorkerState& state) override;

    s32 m_ColourCount = 0;
    s32 m_AlphaCount = 0;
    s32 m_Mode = 0;

private:
    CWebMTranslucentVideo* m_Player;
};

} // namespace lv::graphics

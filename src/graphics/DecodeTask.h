#pragma once
// The decode-ahead task of an opaque WebM player: decodes the next shown frame on a pool worker
// and converts it into the player's frame buffer.
#include "core/ThreadPool.h"
#include "core/Types.h"

namespace lv::graphics {

class CWebMOpaqueVideo;

class CDecodeTask final : public lv::mt::CThreadPool::CTask
{
public:
    explicit CDecodeTask(CWebMOpaqueVideo* player) : m_Player(player) {}
    ~CDecodeTask() = default;

    bool Run(lv::mt::CWorkerState& state) override;

    // Blocks decoded by the last run; read after waiting for the task.
    s32 m_Count = 0;

private:
    CWebMOpaqueVideo* m_Player;
};

} // namespace lv::graphics

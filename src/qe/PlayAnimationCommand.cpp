#include "qe/PlayAnimationCommand.h"

#include "qe/ClipObject.h"
#include "qe/ImageObject.h"
#include "qe/SceneObject.h"
#include "qe/VideoObject.h"

#include <cstdlib>

namespace qe::scripts {

namespace {

s32 AnimationTimeLeft(double playTime, s64 ownLength)
{
    s64 left = ownLength;
    if (playTime >= 0.0)
        left = playTime >= 2147483647.0 ? 2147483647 : static_cast<s64>(playTime);
    if (left < 0)
        left = 0; // -1: no length known
    return left > 2147483647 ? 2147483647 : static_cast<s32>(left);
}

} // namespace

CPlayAnimationCommand::CPlayAnimationCommand(const CCommandRecord& record, CScene* scene,
                                             lv::gui::CBaseWidget* widget)
    : CCommandBase(scene, widget)
{
    const u32 count = record.GetArgumentCount();
    CSceneObject* object = count == 1 || count == 2 ? FindObject(record.GetArgument(0)) : nullptr;
    if (!object) {
        Finish();
        return;
    }
    const double playTime = count == 2 ? std::atof(record.GetArgument(1)) : -1.0;
    switch (object->GetType()) {
    case CSceneObject::kTypeClip: {
        auto* clip = static_cast<CClipObject*>(object);
        m_Left = AnimationTimeLeft(playTime, clip->GetDuration());
        clip->Play();
        break;
    }
    case CSceneObject::kTypeImage: {
        auto* image = static_cast<CImageObject*>(object);
        m_Left = AnimationTimeLeft(playTime, image->GetAnimationLength());
        image->RestartAnimation();
        break;
    }
    case CSceneObject::kTypeVideo: {
        auto* video = static_cast<CVideoObject*>(object);
        video->Play();
        if (video->IsLooped())
            Finish();
        else
            m_Left = AnimationTimeLeft(playTime, video->GetLength());
        break;
    }
    default:
        // Areas and groups have nothing to play: waiting on them would hold the scripts forever.
        Finish();
        break;
    }
}

void CPlayAnimationCommand::Update()
{
    if (IsFinished())
        return;
    m_Left = CountDown(m_Left);
    if (m_Left == 0)
        Finish();
}

} // namespace qe::scripts

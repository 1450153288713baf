#include "gui/GuiSound.h"

#include "sound/AudioManager.h"

namespace lv::gui {

namespace {

CGuiSound::Observer& SoundObserver()
{
    static CGuiSound::Observer* observer = new CGuiSound::Observer();
    return *observer;
}

} // namespace

void CGuiSound::Play(const CFixedString& name)
{
    if (name.IsEmpty())
        return;
    if (const CGuiSound::Observer& observer = SoundObserver())
        observer(name.GetText());
    lv::sound::GetAudioManager().Play(name.GetText(), -2.0f, -2.0f, -2, -2, -2.0f);
}

void CGuiSound::SetObserver(Observer observer)
{
    SoundObserver() = std::move(observer);
}

} // namespace lv::gui

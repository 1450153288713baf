#pragma once
// The base of every node of a command tree: a structural node (sequence, parallel) or a named
// command made through the command registry. A block builds the tree when it fires, updates it
// once a frame and takes its result when the root has finished.
#include "core/Types.h"

namespace lv::core {
class CTimeSystem;
}
namespace lv::gui {
class CBaseWidget;
}
namespace lv::sound {
class CAudioManager;
}

namespace qe {
class CScene;
class CSceneObject;
} // namespace qe

namespace qe::scripts {

class CCommandBase
{
public:
    // scene: the scene whose script set runs the command; widget: the window that created the
    // quest, handed on unchanged to every command. Neither is owned.
    CCommandBase(CScene* scene, lv::gui::CBaseWidget* widget) : m_Scene(scene), m_Widget(widget) {}
    virtual ~CCommandBase() = default;
    CCommandBase(const CCommandBase&) = delete;
    CCommandBase& operator=(const CCommandBase&) = delete;

    // One step a frame; does nothing further once finished.
    virtual void Update() = 0;

    void Finish() { m_Finished = true; }
    bool IsFinished() const { return m_Finished; }
    CScene* GetScene() const { return m_Scene; }
    lv::gui::CBaseWidget* GetWidget() const { return m_Widget; }

    // The object of a path "[scene/]object[.child]", resolved from the command's scene; null,
    // silently, when any part is not found.
    CSceneObject* FindObject(const char* path) const;

    // The frame clock and the audio manager of the commands: the process's own unless set
    // (null goes back to them).
    static void SetTimeSystem(lv::core::CTimeSystem* timeSystem);
    static lv::core::CTimeSystem& GetTimeSystem();
    static void SetAudioManager(lv::sound::CAudioManager* audio);
    static lv::sound::CAudioManager& GetAudioManager();
    // The frame delta in ms of the commands' clock.
    static s32 GetFrameDelta();

protected:
    // A decimal time text ("atof") truncated toward zero to whole ms, held within 32 bits.
    static s32 MillisecondsOf(const char* text);
    static s32 MillisecondsOf(double value);
    // A whole number text ("atoi"), held within 32 bits.
    static s32 IntegerOf(const char* text);
    // left -= min(dt, left) with the frame delta (a negative delta counts as 0).
    static s32 CountDown(s32 left);

private:
    bool m_Finished = false;
    CScene* m_Scene = nullptr;
    lv::gui::CBaseWidget* m_Widget = nullptr;
};

} // namespace qe::scripts

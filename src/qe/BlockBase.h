#pragma once
// The base of every script block: built from its record in the quest script image by its
// scene's script set, told by the environment which blocks listen to it, and saved as one flags
// byte. Blocks that run command trees share the tree's life cycle here: start (pausing the
// scripts), update, and the finish check that hands over to the kind's completion step.
#include "core/Types.h"
#include "qe/ScriptRecords.h"

#include <memory>

namespace lv::gui {
class CBaseWidget;
}

namespace qe {
class CBinaryReader;
class CBinaryWriter;
class CScene;
class CSceneObject;
} // namespace qe

namespace qe::scripts {

class CCommandBase;
class CScriptSet;

class CBlockBase
{
public:
    // Listener notifications nest as calls; content whose blocks re-fire each other at once is
    // stopped at this depth instead of exhausting the stack.
    static constexpr s32 kMaxNotifyDepth = 4096;

    CBlockBase(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget);
    virtual ~CBlockBase();
    CBlockBase(const CBlockBase&) = delete;
    CBlockBase& operator=(const CBlockBase&) = delete;

    virtual void Update() = 0;
    virtual void Refresh() = 0;
    virtual void Reset() = 0;
    virtual void Activate() = 0;
    virtual bool DependsOn(const CBlockBase* block) const = 0;
    virtual void OnInputFired(CBlockBase* source, bool quiet) = 0;
    virtual void Block() = 0;
    virtual void Unblock() = 0;
    virtual void Save(CBinaryWriter& writer);
    virtual bool Load(CBinaryReader& reader);

    // Takes the array (called once by the environment).
    void SetListeners(std::unique_ptr<CBlockBase*[]> listeners, u32 count);
    void NotifyListeners(bool quiet);
    u32 GetListenerCount() const { return m_ListenerCount; }
    CBlockBase* GetListener(u32 index) const { return m_Listeners[index]; }

    u64 GetGuid() const { return m_Record.GetGuid(); }
    const char* GetId() const { return m_Record.GetId().GetText(); }
    const CBlockRecord& GetRecord() const { return m_Record; }
    EBlockKind GetKind() const { return m_Record.GetKind(); }
    CScriptSet* GetScriptSet() const { return m_Set; }
    // Null when the set has no scene.
    CScene* GetScene() const;
    lv::gui::CBaseWidget* GetWidget() const { return m_Widget; }
    u8 GetFlags() const { return m_Flags; }
    bool HasTree() const { return m_Tree != nullptr; }

protected:
    bool HasFlag(u8 flag) const { return (m_Flags & flag) != 0; }
    void SetFlag(u8 flag, bool on) { m_Flags = static_cast<u8>(on ? (m_Flags | flag) : (m_Flags & ~flag)); }

    // Creates the tree of that record; true when it was created (the scripts are then paused
    // and the tree is checked at once, as it may have finished while being built).
    bool StartTree(const CCommandRecord& root);
    // Starts a tree without pausing (the scene block's open-scene command).
    bool StartTreeUnpaused(const CCommandRecord& root);
    // Updates a running tree and checks it.
    void UpdateTree();
    // When the tree has finished: deletes it and calls OnTreeFinished.
    void CheckTree();
    // The kind's completion step; it calls Resume itself where its order says.
    virtual void OnTreeFinished() {}
    void Pause();
    void Resume();
    // The live object of that name in the block's scene (null when none); the answer is kept
    // while the scene's object list stays the same, as the hint and the cursor ask on every
    // move. One name per block.
    CSceneObject* FindSceneObject(const CScriptName& name) const;

    CBlockRecord m_Record;
    u8 m_Flags = 0;

private:
    std::unique_ptr<CBlockBase*[]> m_Listeners;
    u32 m_ListenerCount = 0;
    CScriptSet* m_Set = nullptr;
    lv::gui::CBaseWidget* m_Widget = nullptr;
    std::unique_ptr<CCommandBase> m_Tree;
    mutable CSceneObject* m_FoundObject = nullptr;
    mutable u32 m_FoundVersion = 0;
    static s32 s_NotifyDepth;
};

} // namespace qe::scripts

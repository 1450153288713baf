#pragma once
// A block fired by using its scene object, with the item it names (or none), once its inputs
// are in. The same object used with the item too early runs its "incorrect" commands; used with
// another item, the command set named for that item.
#include "qe/BlockBase.h"
#include "qe/BlockInputSet.h"

namespace qe {
class CSceneObject;
}

namespace qe::scripts {

class CActionBlock : public CBlockBase
{
public:
    static constexpr u8 kDone = 1;
    static constexpr u8 kBlocked = 2;

    CActionBlock(const CBlockRecord& record, CScriptSet* set, lv::gui::CBaseWidget* widget);

    void Update() override;
    void Refresh() override;
    void Reset() override;
    void Activate() override;
    bool DependsOn(const CBlockBase* block) const override;
    void OnInputFired(CBlockBase* source, bool quiet) override;
    void Block() override;
    void Unblock() override;
    bool Load(CBinaryReader& reader) override;

    bool CanFire() const;
    bool IsReady() const;
    bool IsDone() const { return HasFlag(kDone); }
    bool TryCorrectUse(const CSceneObject* object, const char* activeObject);
    bool TryIncorrectUse(const CSceneObject* object, const char* activeObject);
    bool TryCommandSetUse(const CSceneObject* object, const char* activeObject);
    CSceneObject* GetObject() const;
    const char* GetActiveObjectName() const { return m_Record.GetActiveObjectName().GetText(); }
    bool IsIgnoredByHint() const { return m_Record.HasFlags(kActionIgnoredByHint); }

protected:
    void OnTreeFinished() override;

private:
    bool IsOwnObject(const CSceneObject* object) const;

    CBlockInputSet m_Conditions;
    CBlockInputSet m_Unblock;
    bool m_Activated = false;
};

} // namespace qe::scripts

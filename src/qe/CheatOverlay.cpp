#include "qe/CheatOverlay.h"

#include "core/MessageBox.h"
#include "graphics/FontManager.h"
#include "qe/ActionBlock.h"
#include "qe/MinigameBlock.h"
#include "qe/SceneBlock.h"
#include "qe/ScriptSet.h"

#include <algorithm>
#include <functional>

namespace qe::scripts {

namespace {

lv::core::CFontManager* s_CheatFontManager = nullptr;
bool s_CheatFontLooked = false;
const lv::graphics::CFont* s_CheatFont = nullptr;

CCheatOverlay::CMarkers::iterator FindCheatMarker(CCheatOverlay::CMarkers& list, const CBlockBase* block)
{
    return std::lower_bound(list.begin(), list.end(), block, [](const std::unique_ptr<CCheat>& m, const CBlockBase* b)
                            { return std::less<const CBlockBase*>()(m->GetBlock(), b); });
}

s32 CountCheatMarkersOn(const CCheatOverlay::CMarkers& list, const CSceneObject* object)
{
    return static_cast<s32>(std::count_if(list.begin(), list.end(), [object](const std::unique_ptr<CCheat>& m)
                                          { return m->GetObject() == object; }));
}

} // namespace

const lv::graphics::CFont* CCheatOverlay::GetCheatFont()
{
    if (!s_CheatFontLooked)
    {
        s_CheatFontLooked = true;
        lv::core::CFontManager* fonts = s_CheatFontManager ? s_CheatFontManager : lv::core::CFontManager::Instance();
        s_CheatFont = fonts ? fonts->FindFont("cheatfont") : nullptr;
        if (!s_CheatFont)
            lv::core::ShowMessageBoxF("Warning", "Font 'cheatfont' is not found. Cheat's tooltips are disabled.");
    }
    return s_CheatFont;
}

void CCheatOverlay::SetFontManager(lv::core::CFontManager* fonts)
{
    s_CheatFontManager = fonts;
    s_CheatFontLooked = false;
    s_CheatFont = nullptr;
}

void CCheatOverlay::AddMarker(CMarkers& list, CBlockBase* block, CSceneObject* object, bool ready)
{
    const auto it = FindCheatMarker(list, block);
    if (it != list.end() && (*it)->GetBlock() == block)
        return;
    const s32 shared = CountCheatMarkersOn(m_Ready, object) + CountCheatMarkersOn(m_Other, object);
    // The marker is made before the insert moves the list, so `it` stays valid until then.
    auto marker = std::make_unique<CCheat>(block, object, ready, shared);
    list.insert(it, std::move(marker));
}

void CCheatOverlay::RemoveMarker(CMarkers& list, const CBlockBase* block)
{
    const auto it = FindCheatMarker(list, block);
    if (it != list.end() && (*it)->GetBlock() == block)
        list.erase(it);
}

void CCheatOverlay::SetReady(CBlockBase* block, CSceneObject* object, bool ready)
{
    if (ready)
    {
        RemoveMarker(m_Other, block);
        AddMarker(m_Ready, block, object, true);
    }
    else
    {
        RemoveMarker(m_Ready, block);
        AddMarker(m_Other, block, object, false);
    }
}

void CCheatOverlay::SetActionReady(CActionBlock* block, bool ready)
{
    SetReady(block, block->GetObject(), ready);
}

void CCheatOverlay::SetSceneReady(CSceneBlock* block, bool ready)
{
    SetReady(block, block->GetObject(), ready);
}

void CCheatOverlay::SetMinigameReady(CMinigameBlock* block, bool ready)
{
    CSceneObject* object = ready ? block->GetCheatObject() : nullptr;
    if (object)
        AddMarker(m_Other, block, object, false);
    else
        RemoveMarker(m_Other, block);
}

void CCheatOverlay::Draw(lv::graphics::CRenderer& renderer) const
{
    if (!m_Enabled)
        return;
    for (const CMarkers* list : {&m_Other, &m_Ready})
    {
        for (const auto& marker : *list)
            marker->DrawBox(renderer);
        for (const auto& marker : *list)
            if (marker->IsHovered())
                marker->DrawTooltip(renderer, GetCheatFont());
    }
}

bool CCheatOverlay::OnMouseMove(const CPoint2i& point)
{
    if (!m_Enabled)
        return false;
    const lv::graphics::CFont* font = GetCheatFont();
    bool over = false;
    for (CMarkers* list : {&m_Other, &m_Ready})
        for (const auto& marker : *list)
        {
            // Past the first marker under the point the rest are only let go of, so that no
            // tooltip stays up for a marker the pointer has left.
            if (over)
                marker->ClearHover();
            else
                over = marker->HoverTest(point, font);
        }
    return over;
}

bool CCheatOverlay::OnClick(const CPoint2i& point)
{
    if (!m_Enabled)
        return false;
    for (CMarkers* list : {&m_Other, &m_Ready})
        for (const auto& marker : *list)
            if (marker->Contains(point))
            {
                Fire(marker->GetBlock());
                return true;
            }
    return false;
}

void CCheatOverlay::Fire(CBlockBase* block)
{
    // A ready block withdraws its readiness first, as a use of its object does; otherwise the
    // hint would go on pointing at a block that is running or done.
    if (m_Set && block->GetKind() == EBlockKind::Action)
    {
        CActionBlock* action = static_cast<CActionBlock*>(block);
        if (action->IsReady() && action->GetRecord().HasFlags(kActionHasCorrect))
            m_Set->SetActionReady(action, false);
    }
    // Activate may report readiness and so change the marker lists: nothing of them is used after.
    block->Activate();
}

} // namespace qe::scripts

#include "game/hud/HudSymbolCounter.h"

#include "anim/Clip.h"
#include "anim/TextObject.h"
#include "core/TimeSystem.h"
#include "game/hud/Hud.h"

#include <algorithm>
#include <cstdio>

namespace game {

CHudSymbolCounter::CHudSymbolCounter() = default;
CHudSymbolCounter::~CHudSymbolCounter() = default;

void CHudSymbolCounter::Attach(CHud* hud, CSceneStack* sceneStack)
{
    m_Hud = hud;
    m_SceneStack = sceneStack;
}

bool CHudSymbolCounter::CountCandy(const CVector2& point)
{
    CHud::CountCollectible();
    ShowCount(point);
    CHud::SaveProfiles();
    return false;
}

bool CHudSymbolCounter::CountSpecialObject(const CVector2& point)
{
    ++m_SpecialCount;
    ShowCount(point);
    return m_SpecialCount == 35 || (m_SpecialCount == 25 && CHud::GetDifficulty() != 2);
}

void CHudSymbolCounter::ShowCount(const CVector2& point)
{
    m_ShownCount = CHud::GetCollectedCount();
    CHud::SaveProfiles();
    CHud::RequestGameSave();

    m_CounterClip = std::make_unique<CClip>();
    if (m_CounterClip->Load("simbols_count", true)) {
        const CVector2 size = m_CounterClip->GetRectSize();
        m_CounterClip->SetPosition(CVector2(size.X / 2, size.Y / 2 + 100));
        m_CounterClip->SetTime(0);
        m_CounterClip->Play();
        if (auto* text = dynamic_cast<lv::misc::anim::CTextObject*>(m_CounterClip->FindObject("symb_text"))) {
            char line[32];
            std::snprintf(line, sizeof(line), "%d / %d", m_ShownCount, kTotal);
            WString wide;
            for (const char* c = line; *c; ++c)
                wide.push_back(static_cast<WChar>(*c));
            text->SetText(wide);
        }
    }
    m_EffectClip = std::make_unique<CClip>();
    if (m_EffectClip->Load("simbol_effect", true)) {
        m_EffectClip->SetPosition(point);
        m_EffectClip->SetTime(0);
        m_EffectClip->Play();
    }
    m_Active = true;
    m_Elapsed = 0;
    m_Duration = kLongDuration;

    const s32 tutorialStep = CHud::GetTutorialStep();
    if (m_ShownCount == 1 && CHud::GetGameWindow() && tutorialStep < 0) {
        m_MessageId = kFirstMessageId;
        m_MessageDelay = 1000;
    } else if (m_ShownCount == 17 || m_ShownCount == kTotal) {
        // The middle and the last collectible keep the long display.
    } else if (m_ShownCount == 3) {
        CHud::SetTutorialStep(14);
    } else {
        m_Duration = kShortDuration;
    }
}

void CHudSymbolCounter::Hide()
{
    m_Elapsed = 0;
    m_CounterClip.reset();
    m_EffectClip.reset();
    m_Active = false;
}

void CHudSymbolCounter::Reset()
{
    Hide();
}

void CHudSymbolCounter::Update()
{
    if (!m_Active)
        return;
    m_Elapsed += std::min(CHud::GetClock().GetFrameDelta(), 100);
    if (m_MessageId != 0 && m_Elapsed >= m_MessageDelay) {
        CHud::ShowOkMessage(m_MessageId);
        m_MessageId = 0;
        m_MessageDelay = 0;
    }
    if (m_ShownCount == kTotal) {
        if (m_CounterClip)
            m_CounterClip->Update();
        if (m_EffectClip)
            m_EffectClip->Update();
    } else {
        for (CClip* clip : {m_CounterClip.get(), m_EffectClip.get()})
            if (clip) {
                clip->SetTime(m_Elapsed);
                clip->Update();
            }
    }
    if (m_Elapsed >= m_Duration)
        Hide();
}

void CHudSymbolCounter::Draw(lv::graphics::CRenderer& renderer)
{
    if (!m_Active)
        return;
    if (m_CounterClip)
        m_CounterClip->Draw(renderer);
    if (m_EffectClip)
        m_EffectClip->Draw(renderer);
}

void CHudSymbolCounter::SetAlpha(u16 alpha)
{
    if (!m_Active)
        return;
    for (CClip* clip : {m_CounterClip.get(), m_EffectClip.get()})
        if (clip) {
            CColor colour = clip->GetColor();
            colour.A = static_cast<s16>(alpha);
            clip->SetColor(colour);
        }
}

void CHudSymbolCounter::Layout()
{
    if (!m_Active || !m_CounterClip)
        return;
    const CVector2 size = m_CounterClip->GetRectSize();
    m_CounterClip->SetPosition(CVector2(size.X / 2, size.Y / 2 + 100));
}

} // namespace game

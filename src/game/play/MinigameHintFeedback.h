#pragma once
// The clickable bottom-right corner of a minigame's screen (130 x 150) that shows or hides the
// HUD's speech bubble with the minigame's feedback text.
#include "core/IntRect.h"
#include "core/Point2i.h"
#include "core/Types.h"

namespace game {

class MinigameHintFeedback
{
public:
    static constexpr s32 kWidth = 130;
    static constexpr s32 kHeight = 150;

    MinigameHintFeedback();
    virtual ~MinigameHintFeedback() = default;

    void SetTextId(s32 id) { m_TextId = id; }
    s32 GetTextId() const { return m_TextId; }
    // Places the area in the corner of the current layout size; call it on every layout change.
    void UpdateRect();
    const CIntRect& GetRect() const { return m_Rect; }
    // True when the click fell on the area and a text is set: the bubble was shown or hidden.
    bool OnClick(const CPoint2i& point);

    // Shows the text in the HUD's speech bubble, or hides the bubble when it is showing.
    static void ToggleSpeechBubble(s32 textId);

private:
    CIntRect m_Rect;
    s32 m_TextId = -1;
};

} // namespace game

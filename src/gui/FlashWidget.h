#pragma once
// Shows a Flash movie that the player host renders into a texture, stretched over the widget.
// Without a Flash player on the system nothing loads and only the children are drawn.
#include "graphics/Flash.h"
#include "gui/Widget.h"

namespace lv::gui {

class CFlashWidget : public CWidget
{
public:
    using Ptr = boost::intrusive_ptr<CFlashWidget>;

    // No movie: what the factory makes; a caller's LoadMovie shows one.
    CFlashWidget();
    CFlashWidget(const WChar* moviePath, s32 width, s32 height, const char* movieName,
                 const CFixedString& name, u32 layer, u32 eventMask);
    ~CFlashWidget() override;

    void Draw(lv::graphics::CRenderer& renderer) override;
    void Update() override;

    // Loads the movie to be drawn at width x height and takes that size.
    virtual bool LoadMovie(const WChar* path, s32 width, s32 height, const char* name);

    lv::graphics::CFlash& GetPlayer() { return m_Player; }

private:
    // Released before the widget's base part.
    lv::graphics::CFlash m_Player;
};

} // namespace lv::gui

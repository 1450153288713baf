#include "platform/flash/FlashModule.h"

namespace lv::platform {

namespace {

class CNoFlashModule final : public CFlashModule
{
public:
    bool Load() override { return false; }
    void Unload() override {}
    CFlashControl* CreateControl(bool) override { return nullptr; }
};

CFlashModule* g_Module = nullptr;

} // namespace

CFlashModule& GetFlashModule()
{
    static CNoFlashModule s_None;
    return g_Module ? *g_Module : s_None;
}

void SetFlashModule(CFlashModule* module)
{
    g_Module = module;
}

} // namespace lv::platform

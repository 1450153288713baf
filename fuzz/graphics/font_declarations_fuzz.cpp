// The declaration-file reader (fonts.xml): declarations, groups and their lookups.
#include "graphics/DeclarationSet.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    auto set = lv::graphics::CDeclarationSet::Create();
    set->LoadXml(reinterpret_cast<const char*>(data), size, size % 2 ? "group" : nullptr);
    set->FindGroup("menu", true);
    return 0;
}

#include "graphics/DeclarationSet.h"

namespace lv::graphics {

std::unique_ptr<CDeclarationSet> CDeclarationSet::Create()
{
    return std::unique_ptr<CDeclarationSet>(new CDeclarationSet());
}

} // namespace lv::graphics

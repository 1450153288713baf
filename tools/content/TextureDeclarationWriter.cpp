#include "content/TextureDeclarationWriter.h"

#include "graphics/TextureDeclarationCompiler.h"

namespace lv::content {

bool CompileTextureDeclarations(const std::string& xmlText, std::vector<u8>& blob)
{
    graphics::CTextureDeclarationCompiler compiler;
    return compiler.Compile(xmlText.data(), xmlText.size(), blob);
}

} // namespace lv::content

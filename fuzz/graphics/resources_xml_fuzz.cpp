// The bytes as "resources.xml": whatever the compiler makes of them must be a blob that passes the
// check the game applies to every bindump.
#include <cstdlib>
#include <vector>

#include "graphics/TextureDeclarationCompiler.h"
#include "graphics/TextureDeclarations.h"

using namespace lv::graphics;

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size > 0x100000)
        return 0;
    std::vector<u8> blob;
    CTextureDeclarationCompiler compiler;
    compiler.Compile(reinterpret_cast<const char*>(data), size, blob);
    if (!CTextureDeclarations::Validate(blob.data(), static_cast<u32>(blob.size())))
        std::abort();
    return 0;
}

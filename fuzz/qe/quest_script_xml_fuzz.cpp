// quest.xml text compiled into the quest script image: whatever the document, the compiler's
// image must pass the loader's own checks.
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "qe/ScriptData.h"
#include "qe/ScriptImage.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lv::core::SetQuietMessageBoxes(true);
    lv::core::CSettings settings;
    if (!settings.ParseXmlText(reinterpret_cast<const char*>(data), size))
        return 0;
    qe::CScriptData script;
    script.Compile(settings.GetFirstChild());
    if (!qe::scripts::CScriptImage::Validate(script.GetImage(), script.GetSize()))
        std::abort();
    return 0;
}

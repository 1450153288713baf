// Feeds arbitrary bytes to the XML parser with every callback set, touching every byte of
// every token it hands out so that the sanitizers see any token reaching past its buffer.
#include "core/XmlParser.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

using namespace lv::core;

namespace {

volatile unsigned g_Sink;

void Touch(const XmlToken& t)
{
    unsigned sum = 0;
    for (u32 i = 0; i < t.length; ++i)
        sum += static_cast<unsigned char>(t.start[i]);
    g_Sink = g_Sink + sum;
}

void Check(XmlFrame* frames, int depth)
{
    if (depth < 0 || depth >= kXmlMaxDepth)
        __builtin_trap();
    Touch(frames[depth].name);
}

void OnStart(void*, XmlFrame* f, int d)
{
    Check(f, d);
}
void OnAttribute(void*, XmlFrame* f, int d, const XmlToken* name, const XmlToken* value, bool)
{
    Check(f, d);
    Touch(*name);
    Touch(*value);
}
void OnAttributesEnd(void*, XmlFrame* f, int d)
{
    Check(f, d);
}
void OnEnd(void*, XmlFrame* f, int d)
{
    Check(f, d);
}
void OnText(void*, XmlFrame* f, int d, bool)
{
    Check(f, d);
    Touch(f[d].text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size copy, so a read one past the end is caught.
    std::unique_ptr<char[]> doc(new char[size ? size : 1]);
    if (size)
        std::memcpy(doc.get(), data, size);
    ParseXml(doc.get(), size, nullptr, OnStart, OnAttribute, OnAttributesEnd, OnEnd, OnText);
    return 0;
}

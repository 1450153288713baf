// Feeds arbitrary bytes to the settings loader and checks the tree it builds: every child
// points back at its group, registrations name real children, attributes stay sorted and can
// all be found again, typed getters never throw, and a copy has the same shape.
#include "core/Settings.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

using namespace lv::core;

namespace {

volatile int g_Sink;
volatile float g_FloatSink;

void Fail()
{
    __builtin_trap();
}

size_t CheckGroup(const CSettingsGroup& g)
{
    size_t count = 1;
    const auto& children = g.GetChildren();
    for (size_t i = 0; i < children.size(); ++i) {
        if (children[i]->GetParent() != &g)
            Fail();
        const CSettingsGroup* next = children[i]->FindNextSibling();
        const CSettingsGroup* expected =
            i + 1 < children.size() && !children[i]->GetName().IsEmpty() ? children[i + 1].get() : nullptr;
        if (next != expected)
            Fail();
        count += CheckGroup(*children[i]);
    }
    for (const auto& n : g.GetNamedObjects()) {
        if (n.Group->GetParent() != &g || n.Name->IsEmpty())
            Fail();
    }
    for (u32 i = 0; i < g.GetAttributeCount(); ++i) {
        const CFixedString& name = g.GetAttributeNameAt(i);
        if (i > 0 && g.GetAttributeNameAt(i - 1).IsGreater(name))
            Fail();
        if (!name.IsTruncated() && !g.HasAttribute(name))
            Fail();
        CColor c;
        g.ReadColor(name, c);
        g_Sink = g_Sink + g.GetInt(name) + g.GetBool(name) + c.A;
        // Kept as a float: any value the text spells is a valid reading, even one past int's range.
        g_FloatSink = g_FloatSink + g.GetFloat(name);
        u32 u = 0;
        g.ReadUInt(name, u);
        WString w;
        g.ReadWString(name, w);
    }
    if (!g.GetName().IsEmpty() && !g.GetName().IsTruncated() && g.GetParent() &&
        g.GetParent()->FindChild(g.GetName()) == nullptr)
        Fail();
    return count;
}

bool SameShape(const CSettingsGroup& a, const CSettingsGroup& b)
{
    if (a.GetChildren().size() != b.GetChildren().size() || a.GetAttributeCount() != b.GetAttributeCount() ||
        a.GetNamedObjects().size() != b.GetNamedObjects().size() || &a.GetName() != &b.GetName())
        return false;
    for (size_t i = 0; i < a.GetChildren().size(); ++i) {
        if (!SameShape(*a.GetChildren()[i], *b.GetChildren()[i]))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size copy, so a read one past the end is caught.
    std::unique_ptr<char[]> doc(new char[size ? size : 1]);
    if (size)
        std::memcpy(doc.get(), data, size);

    CSettings settings;
    const bool accepted = settings.ParseXmlText(doc.get(), size);
    const size_t top = settings.GetChildren().size();
    if (!accepted && top != 0)
        Fail();
    CheckGroup(settings);

    // A second load appends again, or adds nothing when rejected.
    if (settings.ParseXmlText(doc.get(), size) != accepted || settings.GetChildren().size() != 2 * top)
        Fail();

    CSettingsGroup copy;
    settings.CopyTo(copy);
    if (!SameShape(settings, copy))
        Fail();
    CheckGroup(copy);
    return 0;
}

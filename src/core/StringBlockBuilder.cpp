#include "core/StringBlockBuilder.h"
#include "core/ByteOrder.h"

#include "core/StringBlock.h"
#include "core/TextConvert.h"
#include "core/XmlParser.h"

#include <climits>

namespace lv::core {

namespace {

// atoi over a token that need not be terminated, saturating instead of overflowing.
s32 ParseDecimal(const XmlToken& token)
{
    const char* p = token.start;
    const char* end = token.start + token.length;
    while (p != end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        ++p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    s64 value = 0;
    for (; p != end && *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > s64(INT_MAX) + 1)
            value = s64(INT_MAX) + 1;
    }
    if (negative)
        return static_cast<s32>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<s32>(value);
}

// "id" compared without case over the name's own length, so "i" and "ID" qualify too.
bool IsIdAttribute(const XmlToken& name)
{
    static const char id[] = "id";
    for (u32 i = 0; i < name.length; ++i) {
        if (i >= 2)
            return false;
        char c = name.start[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != id[i])
            return false;
    }
    return true;
}

struct CXmlState
{
    CStringBlockBuilder* m_Builder;
    std::vector<s32>* m_Duplicates;
    s32 m_Id = -1;
    int m_IdDepth = -1;
};

void OnElementStart(void* user, XmlFrame*, int)
{
    // An id belongs to the element that carries it and to no later one.
    static_cast<CXmlState*>(user)->m_Id = -1;
}

void OnAttribute(void* user, XmlFrame*, int depth, const XmlToken* name, const XmlToken* value, bool)
{
    auto* state = static_cast<CXmlState*>(user);
    if (IsIdAttribute(*name)) {
        state->m_Id = ParseDecimal(*value);
        state->m_IdDepth = depth;
    }
}

void OnText(void* user, XmlFrame* frames, int depth, bool)
{
    auto* state = static_cast<CXmlState*>(user);
    if (state->m_Id == -1 || state->m_IdDepth != depth)
        return;
    const XmlToken& text = frames[depth].text;
    if (!state->m_Builder->Add(state->m_Id, Utf8ToWide(std::string_view(text.start, text.length))) &&
        state->m_Duplicates)
        state->m_Duplicates->push_back(state->m_Id);
    state->m_Id = -1;
}

} // namespace

bool CStringBlockBuilder::AddXml(const char* text, size_t length, std::vector<s32>* duplicates)
{
    CXmlState state{this, duplicates};
    return ParseXml(text, length, &state, OnElementStart, OnAttribute, nullptr, nullptr, OnText) != 0;
}

bool CStringBlockBuilder::Add(s32 id, WString text)
{
    return m_Strings.emplace(id, std::move(text)).second;
}

std::vector<u8> CStringBlockBuilder::Build(u32 magic) const
{
    size_t size = StringBlockHeaderSize + m_Strings.size() * StringBlockIndexEntrySize;
    for (const auto& [id, text] : m_Strings)
        size += (text.size() + 1) * 2;

    std::vector<u8> out(size, 0);
    PutU32(out, 0, magic);
    PutU32(out, 4, static_cast<u32>(m_Strings.size()));
    size_t entry = StringBlockHeaderSize;
    size_t offset = StringBlockHeaderSize + m_Strings.size() * StringBlockIndexEntrySize;
    for (const auto& [id, text] : m_Strings) {
        PutU32(out, entry, static_cast<u32>(id));
        PutU32(out, entry + 4, static_cast<u32>(offset));
        entry += StringBlockIndexEntrySize;
        for (WChar c : text) {
            out[offset++] = static_cast<u8>(c);
            out[offset++] = static_cast<u8>(c >> 8);
        }
        offset += 2; // the zero terminator
    }
    return out;
}

} // namespace lv::core

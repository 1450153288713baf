#include "graphics/DeclarationSet.h"

#include <cstring>
#include <set>

#include "core/FileSystem.h"
#include "core/Log.h"
#include "core/NamePool.h"
#include "core/TextConvert.h"
#include "core/XmlParser.h"

namespace lv::graphics {

namespace {

using lv::core::XmlFrame;
using lv::core::XmlToken;

bool NameIs(const XmlToken& token, const char* keyword)
{
    const size_t n = std::strlen(keyword);
    if (token.length != n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        char c = token.start[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != keyword[i])
            return false;
    }
    return true;
}

// Frame scratch words: user[0] the element's group (a group element, or the enclosing group of
// a declaration), user[1] the kind, user[2] the declaration's index in its group.
enum : uintptr_t
{
    kNoNode = 0,
    kGroupNode = 1,
    kDeclarationNode = 2
};

struct CParseContext
{
    CDeclarationGroup* target;
    std::set<const CFixedString*> names; // declared by this document
};

uintptr_t Kind(const XmlFrame& frame)
{
    return reinterpret_cast<uintptr_t>(frame.user[1]);
}

void OnElementStart(void* user, XmlFrame* frames, int depth)
{
    auto& context = *static_cast<CParseContext*>(user);
    XmlFrame& frame = frames[depth];
    frame.user[0] = nullptr;
    frame.user[1] = reinterpret_cast<void*>(kNoNode);
    frame.user[2] = nullptr;
    if (depth == 0) {
        frame.user[0] = context.target;
        frame.user[1] = reinterpret_cast<void*>(kGroupNode);
        return;
    }
    const XmlFrame& parent = frames[depth - 1];
    if (Kind(parent) != kGroupNode)
        return;
    auto* enclosing = static_cast<CDeclarationGroup*>(parent.user[0]);
    if (NameIs(frame.name, "group")) {
        enclosing->GetGroups().emplace_back();
        frame.user[0] = &enclosing->GetGroups().back();
        frame.user[1] = reinterpret_cast<void*>(kGroupNode);
    } else if (NameIs(frame.name, "font")) {
        auto& declarations = enclosing->GetDeclarations();
        declarations.emplace_back();
        declarations.back().SetFlags(enclosing->GetFlags());
        frame.user[0] = enclosing;
        frame.user[1] = reinterpret_cast<void*>(kDeclarationNode);
        frame.user[2] = reinterpret_cast<void*>(declarations.size() - 1);
    }
}

void OnAttribute(void*, XmlFrame* frames, int depth, const XmlToken* name, const XmlToken* value, bool)
{
    XmlFrame& frame = frames[depth];
    const std::string_view n(name->start, name->length), v(value->start, value->length);
    auto* group = static_cast<CDeclarationGroup*>(frame.user[0]);
    if (Kind(frame) == kDeclarationNode) {
        group->GetDeclarations()[reinterpret_cast<uintptr_t>(frame.user[2])].SetAttribute(n, v);
    } else if (Kind(frame) == kGroupNode) {
        if (lv::core::AttributeSelects(n, "id")) {
            group->SetName(lv::core::Declaration::PoolName(v, "resdecl"));
        } else if (lv::core::AttributeSelects(n, "flags")) {
            group->SetFlags(0); // no flag words are defined
        }
    }
}

void OnAttributesEnd(void* user, XmlFrame* frames, int depth)
{
    auto& context = *static_cast<CParseContext*>(user);
    XmlFrame& frame = frames[depth];
    if (Kind(frame) != kDeclarationNode)
        return;
    auto& declarations = static_cast<CDeclarationGroup*>(frame.user[0])->GetDeclarations();
    lv::core::FontDeclaration& declaration = declarations.back();
    declaration.Finish();
    const CFixedString* name = declaration.GetName();
    if (!context.names.insert(name).second) {
        const WString wide = ToWide(std::string_view(name->GetText(), name->GetLength()));
        lv::core::CLog::Instance().PrintW("resdecl", 2, u"Resource declaration \"%ls\" already loaded.",
                                          wide.c_str());
        declarations.pop_back();
        frame.user[1] = reinterpret_cast<void*>(kNoNode); // its children are not declarations
    }
}

} // namespace

std::unique_ptr<CDeclarationSet> CDeclarationSet::Create()
{
    return std::unique_ptr<CDeclarationSet>(new CDeclarationSet());
}

void CDeclarationSet::LoadFile(const char* path, const char* groupName)
{
    LoadFile(lv::core::CFileSystem::Instance(), path, groupName);
}

void CDeclarationSet::LoadFile(lv::core::CFileSystem& files, const char* path, const char* groupName)
{
    u32 size = 0;
    const u8* data = files.LoadFile(path, &size);
    if (!data)
        return;
    LoadXml(reinterpret_cast<const char*>(data), size, groupName);
    files.FreeFile(data);
}

void CDeclarationSet::LoadXml(const char* text, size_t length, const char* groupName)
{
    CDeclarationGroup* target = this;
    const bool named = groupName && *groupName;
    if (named) {
        target = FindGroup(groupName, false);
        if (!target) {
            GetGroups().emplace_back();
            target = &GetGroups().back();
        }
    }
    CParseContext context{target, {}};
    lv::core::ParseXml(text, length, &context, OnElementStart, OnAttribute, OnAttributesEnd, nullptr,
                       nullptr);
    if (named)
        target->SetName(lv::core::InternName(CFixedString(groupName)));
}

} // namespace lv::graphics

#include "qe/QuestXmlBuilder.h"

#include "core/ByteOrder.h"
#include "core/Color.h"
#include "core/FixedString.h"
#include "core/Log.h"
#include "core/SettingsGroup.h"
#include "core/TextConvert.h"
#include "qe/ObjectFactory.h"
#include "qe/QuestData.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace qe {

using lv::core::CSettingsGroup;

namespace {

class CImageOut : lv::core::CByteAppender
{
public:
    CImageOut(const CSettingsGroup& document, std::vector<u8>& out) : CByteAppender(out), m_Document(document) {}

    void Quests()
    {
        U32(CQuestData::kMagic);
        const CSettingsGroup* structure = m_Document.FindChild("Structure");
        if (!structure)
            return;
        for (const auto& quest : structure->GetChildren())
            Quest(*quest);
    }

private:
    void Name(const std::string& text, const CSettingsGroup& element)
    {
        // Names are compared as C strings: a NUL inside the attribute ends the name.
        size_t length = std::min(text.size(), std::strlen(text.c_str()));
        if (length > CFixedString::kMaxLength)
        {
            lv::core::CLog::Instance().Print("qe", 2, "Name '%s' of element '%s' is too long; cut to %u characters.",
                                             text.c_str(), element.GetName().GetText(),
                                             static_cast<unsigned>(CFixedString::kMaxLength));
            length = CFixedString::kMaxLength;
        }
        CFixedString name(text.data(), length);
        name.UpdateHash();
        const size_t at = m_Out.size();
        m_Out.resize(at + CFixedString::kRecordSize, 0);
        name.WriteRecord(m_Out.data() + at);
    }
    void FloatPair(const CSettingsGroup& element, const char* attribute)
    {
        float v[2] = {0, 0};
        std::sscanf(element.GetAttribute(attribute).c_str(), "%f %f", &v[0], &v[1]);
        F32(v[0]);
        F32(v[1]);
    }
    void Color(const CSettingsGroup& element)
    {
        const CColor c = lv::core::ReadXmlColorAttribute(element, "color");
        U16(static_cast<u16>(c.R));
        U16(static_cast<u16>(c.G));
        U16(static_cast<u16>(c.B));
        U16(static_cast<u16>(c.A));
    }

    void Quest(const CSettingsGroup& quest)
    {
        const size_t at = m_Out.size();
        Name(quest.GetAttribute("id"), quest);
        U32(0);
        U32(0);
        u32 scenes = 0;
        for (const auto& child : quest.GetChildren())
        {
            if (child->GetName().NotEquals("scene") == false)
            {
                Scene(*child);
                ++scenes;
            }
            else if (child->GetName().NotEquals("group") == false)
            {
                for (const auto& scene : child->GetChildren())
                {
                    Scene(*scene);
                    ++scenes;
                }
            }
        }
        Patch32(at + 96, scenes);
        Patch32(at + 100, static_cast<u32>(m_Out.size() - at));
    }

    void Scene(const CSettingsGroup& scene)
    {
        const std::string& guidText = scene.GetAttribute("guid");
        const CSettingsGroup* content = m_Document.FindChildByAttribute("scene_content", "guid", guidText);
        const CSettingsGroup* objects = content ? content->FindChild("objects") : nullptr;
        if (!objects)
            lv::core::CLog::Instance().Print("qe", 2, "Scene '%s' has no %s; it is built empty.",
                                             scene.GetAttribute("id").c_str(), content ? "objects" : "scene_content");
        const size_t at = m_Out.size();
        Name(scene.GetAttribute("id"), scene);
        U64(CQuestData::ParseGuid(guidText));
        S32(scene.GetInt("flags"));
        s32 size[2] = {0, 0};
        std::sscanf(scene.GetAttribute("size").c_str(), "%i %i", &size[0], &size[1]);
        S32(size[0]);
        S32(size[1]);
        s32 area[4] = {0, 0, 0, 0};
        std::sscanf(scene.GetAttribute("work_area").c_str(), "%i %i %i %i", &area[0], &area[1], &area[2], &area[3]);
        for (s32 v : area)
            S32(v);
        S32(objects ? static_cast<s32>(objects->GetChildren().size()) : 0);
        U32(0);
        U32(0);
        if (objects)
            for (const auto& object : objects->GetChildren())
                Object(*object);
        Patch32(at + 136, static_cast<u32>(m_Out.size() - at));
    }

    static u16 KindOf(const CSettingsGroup& element)
    {
        const CFixedString& name = element.GetName();
        if (!name.NotEquals("group"))
            return kRecordGroup;
        if (!name.NotEquals("area"))
            return kRecordArea;
        if (!name.NotEquals("clip"))
            return kRecordClip;
        if (!name.NotEquals("image"))
            return kRecordImage;
        if (!name.NotEquals("video"))
            return kRecordVideo;
        return kRecordOther;
    }

    void Object(const CSettingsGroup& element)
    {
        const u16 kind = KindOf(element);
        const std::string& id = element.GetAttribute("id");
        Name(id, element);
        Name(element.GetAttribute("ctype"), element);
        S32(element.GetInt("object_flags"));
        U32(0);
        U64(CQuestData::ParseGuid(element.GetAttribute("guid")));
        std::string hint = Utf8ToAnsi(element.GetAttribute("hint"));
        if (hint.size() > CQuestXmlBuilder::kMaxHintLength)
        {
            lv::core::CLog::Instance().Print("qe", 2, "Hint of object '%s' is too long; cut to %u bytes.", id.c_str(),
                                             static_cast<unsigned>(CQuestXmlBuilder::kMaxHintLength));
            hint.resize(CQuestXmlBuilder::kMaxHintLength);
        }
        const size_t hintSize = hint.empty() ? 0 : hint.size() / 4 * 4 + 4;
        U16(static_cast<u32>(hintSize));
        U16(kind);
        U32(0);
        hint.resize(hintSize, '\0');
        m_Out.insert(m_Out.end(), hint.begin(), hint.end());

        switch (kind)
        {
        case kRecordImage:
            Name(element.GetAttribute("image_id"), element);
            Color(element);
            FloatPair(element, "offset");
            FloatPair(element, "size");
            F32(element.GetFloat("angle"));
            U8(element.GetBool("flip_h"));
            U8(element.GetBool("flip_v"));
            U16(0);
            break;
        case kRecordClip:
        {
            Name(element.GetAttribute("clip_id"), element);
            Color(element);
            FloatPair(element, "offset");
            FloatPair(element, "size");
            F32(element.GetFloat("angle"));
            U8(element.GetBool("use_alpha"));
            s32 flags = 1;
            element.ReadInt("animation_flags", flags);
            U8(flags & 1);
            U8(element.GetBool("flip_h"));
            U8(element.GetBool("flip_v"));
            break;
        }
        case kRecordVideo:
        {
            Name(element.GetAttribute("video_id"), element);
            Name(element.GetAttribute("alpha_video_id"), element);
            Color(element);
            FloatPair(element, "offset");
            FloatPair(element, "size");
            const s32 flags = element.GetInt("animation_flags");
            U8(flags & 1);
            U8((flags & 2) ? 1 : 0);
            U16(0);
            F32(element.GetFloat("angle"));
            U8(element.GetBool("flip_h"));
            U8(element.GetBool("flip_v"));
            U16(0);
            break;
        }
        case kRecordArea:
        {
            FloatPair(element, "offset");
            FloatPair(element, "size");
            F32(element.GetFloat("angle"));
            size_t points = element.CountChildren("point");
            if (points > CQuestXmlBuilder::kMaxAreaPoints)
            {
                lv::core::CLog::Instance().Print("qe", 2, "Area '%s' has %u points; only the first %u are kept.",
                                                 id.c_str(), static_cast<unsigned>(points),
                                                 static_cast<unsigned>(CQuestXmlBuilder::kMaxAreaPoints));
                points = CQuestXmlBuilder::kMaxAreaPoints;
            }
            S32(static_cast<s32>(points));
            // Only "point" children carry points: any other child would shift the records after.
            size_t written = 0;
            for (const auto& child : element.GetChildren())
            {
                if (written == points)
                    break;
                if (child->GetName().NotEquals("point"))
                    continue;
                FloatPair(*child, "offset");
                ++written;
            }
            break;
        }
        case kRecordGroup:
        {
            const size_t at = m_Out.size();
            U32(0);
            S32(static_cast<s32>(element.GetChildren().size()));
            for (const auto& child : element.GetChildren())
                Object(*child);
            Patch32(at, static_cast<u32>(m_Out.size() - at));
            break;
        }
        default: break;
        }
    }

    const CSettingsGroup& m_Document;
};

} // namespace

void CQuestXmlBuilder::Build(const CSettingsGroup& document, std::vector<u8>& image)
{
    image.clear();
    CImageOut(document, image).Quests();
}

} // namespace qe

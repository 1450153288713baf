#include "sound/SoundDeclarationsBuilder.h"
#include "core/ByteOrder.h"

#include "core/Log.h"
#include "core/XmlParser.h"

#include <cstdlib>
#include <cstring>

using lv::core::WriteU32;

namespace lv::sound {

using lv::core::XmlFrame;
using lv::core::XmlToken;

namespace {

const char kBuilderChannel[] = "sound";

bool Is(const XmlToken& token, const char* text)
{
    const size_t length = std::strlen(text);
    return token.length == length && std::memcmp(token.start, text, length) == 0;
}

struct CXmlState
{
    std::vector<CSoundDeclarationRecord>* m_Records;
    std::vector<s32> m_GroupFlags;
    bool m_InSound = false;
};

// Names longer than their record are cut to what fits, so the record still stores a name.
template <typename Name>
void StoreName(Name& name, const char* value, const char* attribute)
{
    size_t length = std::strlen(value);
    if (length > Name::kMaxLength) {
        lv::core::CLog::Instance().Print(kBuilderChannel, 2, "sounds.xml: %s \"%s\" is longer than %u characters, cut",
                                         attribute, value, static_cast<unsigned>(Name::kMaxLength));
        length = Name::kMaxLength;
    }
    name.AssignN(value, length);
    name.UpdateHash();
}

void OnElementStart(void* user, XmlFrame* frames, int depth)
{
    auto* state = static_cast<CXmlState*>(user);
    const XmlToken& name = frames[depth].name;
    if (Is(name, "sound")) {
        state->m_Records->emplace_back();
        state->m_InSound = true;
    } else if (Is(name, "sound_group")) {
        state->m_GroupFlags.push_back(0);
    }
}

void OnAttribute(void* user, XmlFrame*, int, const XmlToken* name, const XmlToken* token, bool)
{
    auto* state = static_cast<CXmlState*>(user);
    char value[1024];
    const size_t length = token->length < sizeof(value) - 1 ? token->length : sizeof(value) - 1;
    if (length)
        std::memcpy(value, token->start, length);
    value[length] = 0;

    if (!state->m_InSound) {
        if (Is(*name, "flags") && !state->m_GroupFlags.empty())
            state->m_GroupFlags.back() = std::strstr(value, "load_on_demand") ? kSoundFlagLoadOnDemand : 0;
        return;
    }
    CSoundDeclarationRecord& record = state->m_Records->back();
    if (Is(*name, "id")) {
        StoreName(record.m_Id, value, "id");
    } else if (Is(*name, "file")) {
        for (char* c = value; *c; ++c) {
            if (*c >= 'A' && *c <= 'Z')
                *c = static_cast<char>(*c - 'A' + 'a');
            else if (*c == '\\')
                *c = '/';
        }
        StoreName(record.m_File, value, "file");
    } else if (Is(*name, "group_template")) {
        StoreName(record.m_Group, value, "group_template");
    } else if (Is(*name, "balance")) {
        record.m_Balance = static_cast<float>(std::atof(value));
    } else if (Is(*name, "volume")) {
        record.m_Volume = static_cast<float>(std::atof(value));
    } else if (Is(*name, "concurrent_sound_play_delay")) {
        record.m_PlayDelay = static_cast<float>(std::atof(value));
    } else if (Is(*name, "speed")) {
        record.m_Speed = static_cast<float>(std::atof(value));
    } else if (Is(*name, "priority")) {
        record.m_Priority = std::atoi(value);
    } else if (Is(*name, "repeat")) {
        record.m_Repeat = std::atoi(value);
    } else if (Is(*name, "max_concurrent_sound_play")) {
        record.m_MaxConcurrent = std::atoi(value);
    }
}

void OnElementEnd(void* user, XmlFrame* frames, int depth)
{
    auto* state = static_cast<CXmlState*>(user);
    const XmlToken& name = frames[depth].name;
    if (Is(name, "sound")) {
        if (state->m_InSound)
            state->m_Records->back().m_Flags = state->m_GroupFlags.empty() ? 0 : state->m_GroupFlags.back();
        state->m_InSound = false;
    } else if (Is(name, "sound_group")) {
        if (!state->m_GroupFlags.empty())
            state->m_GroupFlags.pop_back();
    }
}

} // namespace

bool CSoundDeclarationsBuilder::AddXml(const char* text, size_t length)
{
    CXmlState state{&m_Records, {}};
    return lv::core::ParseXml(text, length, &state, OnElementStart, OnAttribute, nullptr, OnElementEnd, nullptr) != 0;
}

std::vector<u8> CSoundDeclarationsBuilder::Build() const
{
    std::vector<u8> blob(kSoundDeclarationsHeaderSize + kSoundDeclarationRecordSize * m_Records.size());
    WriteU32(blob.data(), kSoundDeclarationsMagic);
    WriteU32(blob.data() + 4, static_cast<u32>(m_Records.size()));
    u8* out = blob.data() + kSoundDeclarationsHeaderSize;
    for (const CSoundDeclarationRecord& record : m_Records) {
        record.Write(out);
        out += kSoundDeclarationRecordSize;
    }
    return blob;
}

} // namespace lv::sound

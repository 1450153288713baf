#include "anim/ParticlesBuilder.h"

#include "core/Log.h"
#include "core/XmlParser.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace lv::misc::anim {

namespace {

constexpr const char* kParticlesBuilderChannel = "anim";
constexpr u32 kMagic = 0x01524150;

bool TokenIs(const core::XmlToken& token, const char* text)
{
    const size_t length = std::strlen(text);
    return token.length == length && std::memcmp(token.start, text, length) == 0;
}

// Decimal as atoi reads it, saturating at the ends of the 32-bit range.
s32 ParseInt(const char* text)
{
    const long long value = std::strtoll(text, nullptr, 10);
    return static_cast<s32>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

float ParseFloat(const char* text)
{
    return static_cast<float>(std::strtod(text, nullptr));
}

CColor ParseColor(const char* text)
{
    return CColor(static_cast<u32>(ParseInt(text)));
}

void ScanRange(const char* text, ParticleRange& range)
{
    std::sscanf(text, "%f %f %f %f %f", &range.start, &range.mid, &range.end, &range.var, &range.base_var);
}

// A name longer than its record is cut to the record's capacity (never inside a UTF-8
// sequence) and reported; the stored record always carries its hash.
void AssignName(CFixedString& name, const char* text, const char* what)
{
    size_t length = std::strlen(text);
    if (length > CFixedString::kMaxLength) {
        size_t cut = CFixedString::kMaxLength;
        while (cut > 0 && (static_cast<u8>(text[cut]) & 0xC0) == 0x80)
            --cut;
        core::CLog::Instance().Print(kParticlesBuilderChannel, 2, "ParticlesLoader - %s '%.*s...' is longer than %i characters, cut",
                                     what, static_cast<int>(cut), text, static_cast<int>(CFixedString::kMaxLength));
        length = cut;
    }
    // An empty name keeps hash 0, as lookups expect.
    name = CFixedString();
    if (length == 0)
        return;
    name.AssignN(text, length);
    name.UpdateHash();
}

} // namespace

bool CParticlesBuilder::AddXml(const char* text, size_t length)
{
    m_Current = false;
    return core::ParseXml(text, length, this, OnElementStart, OnAttribute, nullptr, nullptr, nullptr) != 0;
}

void CParticlesBuilder::OnElementStart(void* user, core::XmlFrame* frames, int depth)
{
    auto& self = *static_cast<CParticlesBuilder*>(user);
    self.m_Current = TokenIs(frames[depth].name, "particle");
    // Names start empty with hash 0; set names get their hash at once, so lookups never write
    // into the block.
    if (self.m_Current)
        self.m_Definitions.emplace_back();
}

void CParticlesBuilder::OnAttribute(void* user, core::XmlFrame*, int, const core::XmlToken* name,
                                    const core::XmlToken* value, bool)
{
    auto& self = *static_cast<CParticlesBuilder*>(user);
    if (!self.m_Current)
        return;
    u32 length = value->length;
    if (length >= kValueBufferSize) {
        core::CLog::Instance().Print(kParticlesBuilderChannel, 2, "ParticlesLoader - value of '%.*s' is longer than %u bytes, cut",
                                     static_cast<int>(name->length), name->start, kValueBufferSize - 1);
        length = kValueBufferSize - 1;
    }
    std::memcpy(self.m_Value, value->start, length);
    self.m_Value[length] = 0;
    self.SetAttribute(self.m_Definitions.back(), name->start, name->length, self.m_Value);
}

void CParticlesBuilder::SetAttribute(ParticleDefinition& d, const char* name, size_t nameLength, const char* value)
{
    const auto is = [&](const char* key) {
        return std::strlen(key) == nameLength && std::memcmp(name, key, nameLength) == 0;
    };
    struct FloatKey
    {
        const char* key;
        float ParticleDefinition::*field;
    };
    static const FloatKey floats[] = {
        {"direction", &ParticleDefinition::direction},
        {"spread", &ParticleDefinition::spread},
        {"start_speed_max", &ParticleDefinition::start_speed_max},
        {"start_speed_min", &ParticleDefinition::start_speed_min},
        {"rad_acc_max", &ParticleDefinition::rad_acc_max},
        {"rad_acc_min", &ParticleDefinition::rad_acc_min},
        {"tang_acc_max", &ParticleDefinition::tang_acc_max},
        {"tang_acc_min", &ParticleDefinition::tang_acc_min},
        {"grav_max", &ParticleDefinition::grav_max},
        {"grav_min", &ParticleDefinition::grav_min},
        {"wind_max", &ParticleDefinition::wind_max},
        {"wind_min", &ParticleDefinition::wind_min},
        {"life_time_max", &ParticleDefinition::life_time_max},
        {"life_time_min", &ParticleDefinition::life_time_min},
        {"emission", &ParticleDefinition::emission},
        {"system_life_time", &ParticleDefinition::system_life_time},
        {"wind_direction", &ParticleDefinition::wind_direction},
        {"emiter_angle", &ParticleDefinition::emiter_angle},
    };
    struct ColorKey
    {
        const char* key;
        CColor ParticleDefinition::*field;
    };
    static const ColorKey colors[] = {
        {"start_color", &ParticleDefinition::start_color},   {"mid_color", &ParticleDefinition::mid_color},
        {"end_color", &ParticleDefinition::end_color},       {"var_color", &ParticleDefinition::var_color},
        {"base_var_color", &ParticleDefinition::base_var_color},
    };
    if (is("id"))
        AssignName(d.id, value, "id");
    else if (is("tex_id"))
        AssignName(d.tex_id, value, "tex_id");
    else if (is("pos"))
        std::sscanf(value, "%f %f", &d.pos[0], &d.pos[1]);
    else if (is("emiter_size"))
        std::sscanf(value, "%f %f", &d.emiter_size[0], &d.emiter_size[1]);
    else if (is("spin"))
        ScanRange(value, d.spin);
    else if (is("size"))
        ScanRange(value, d.size);
    else if (is("emiter_type"))
        d.emiter_type = ParseInt(value);
    else if (is("flags"))
        d.flags = static_cast<u32>(ParseInt(value));
    else if (is("max_life_particles"))
        d.max_life_particles = ParseInt(value);
    else {
        for (const FloatKey& f : floats) {
            if (is(f.key)) {
                d.*f.field = ParseFloat(value);
                return;
            }
        }
        for (const ColorKey& c : colors) {
            if (is(c.key)) {
                d.*c.field = ParseColor(value);
                return;
            }
        }
    }
}

std::vector<u8> CParticlesBuilder::Build() const
{
    std::vector<const ParticleDefinition*> sorted;
    sorted.reserve(m_Definitions.size());
    for (const ParticleDefinition& d : m_Definitions)
        sorted.push_back(&d);
    // strcmp order: unsigned bytes, so upper case sorts before lower case.
    std::stable_sort(sorted.begin(), sorted.end(), [](const ParticleDefinition* a, const ParticleDefinition* b) {
        return std::strcmp(a->id.GetText(), b->id.GetText()) < 0;
    });
    const u32 count = static_cast<u32>(sorted.size());
    std::vector<u8> image(8 + static_cast<size_t>(ParticleDefinition::kRecordSize) * count, 0);
    for (int i = 0; i < 4; ++i) {
        image[i] = static_cast<u8>(kMagic >> (8 * i));
        image[4 + i] = static_cast<u8>(count >> (8 * i));
    }
    for (u32 i = 0; i < count; ++i)
        std::memcpy(image.data() + 8 + ParticleDefinition::kRecordSize * i, sorted[i], ParticleDefinition::kRecordSize);
    return image;
}

} // namespace lv::misc::anim

// Clips built from damaged definitions and played: the input is clip XML up to the first zero
// byte (or the end), compiled into an image and then damaged by the (u16 position, u8 xor)
// triples after the zero.
// Every clip the checker accepts is loaded as a playing clip (paths, images, nested clips,
// texts), moved, resized, turned, stepped, copied and rewound; its paths are edited.
#include "anim/Clip.h"
#include "anim/ClipManager.h"
#include "anim/ClipsBuilder.h"
#include "anim/PathObject.h"

#include <cstring>
#include <vector>

using namespace lv::misc::anim;

namespace {

void Exercise(CClip& clip)
{
    clip.SetPosition(CVector2(30, 20));
    clip.SetSize(CVector2(clip.GetRectSize().X * 2, clip.GetRectSize().Y));
    clip.SetAngle(0.5f);
    clip.AddFlags(3);
    for (s32 t : {0, 250, 1000, 5000}) {
        clip.SetTime(t);
        clip.Update();
    }
    CClip copy(clip);
    copy.Stop();
    copy.SetSoundMuted(true);
    copy.Update();
    for (CClipObjectIterator it = copy.GetObjectIterator(); !it.IsAtEnd(); it++) {
        CClipObject* object = *it;
        object->SetPosition(object->GetPosition() + CVector2(1, 1));
        object->ResetGeometry();
        if (CClipObject* parent = object->GetParent(); auto* path = dynamic_cast<CPathObject*>(parent)) {
            CBezierPath& curve = path->GetPath();
            CVector2 offset;
            curve.NearestPoint(CVector2(5, 5), offset);
            curve.InsertPoint(0.5f);
            curve.SetClosed(!curve.IsClosed());
            if (curve.GetPointCount() > 0)
                curve.RemovePoint(curve.GetPoint(0));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    const u8* zero = static_cast<const u8*>(std::memchr(data, 0, size));
    if (!zero)
        zero = data + size;
    CClipsBuilder builder;
    builder.AddXml(reinterpret_cast<const char*>(data), zero - data);
    std::vector<u8> image = builder.Build();
    for (const u8* p = zero + 1; p + 3 <= data + size && !image.empty(); p += 3) {
        const size_t at = (p[0] | (p[1] << 8)) % image.size();
        image[at] ^= p[2];
    }
    CClipManager& clips = CClipManager::Instance();
    if (clips.LoadImage(image.data(), static_cast<u32>(image.size()))) {
        for (u32 i = 0; i < clips.GetClipCount(); ++i) {
            const auto& name = *reinterpret_cast<const CFixedString*>(clips.GetImage() + 8 + 100 * i);
            CClip clip;
            if (clip.Load(name.GetText(), true))
                Exercise(clip);
        }
    }
    clips.Release();
    return 0;
}

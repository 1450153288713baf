#include "qe/PlaceholderSet.h"

#include "core/MessageBox.h"
#include "qe/AreaObject.h"
#include "qe/ClipObject.h"
#include "qe/GroupObject.h"
#include "qe/ImageObject.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/VideoObject.h"

namespace qe {

CPlaceholderSet::CPlaceholderSet(CScene* scene)
    : m_Image(std::make_unique<CImageObject>(scene)), m_Clip(std::make_unique<CClipObject>(scene)),
      m_Video(std::make_unique<CVideoObject>(scene)), m_Area(std::make_unique<CAreaObject>(scene)),
      m_Group(std::make_unique<CGroupObject>(scene))
{
}

CPlaceholderSet::~CPlaceholderSet() = default;

CSceneObject* CPlaceholderSet::Get(s32 type) const
{
    switch (type)
    {
    case CSceneObject::kTypeArea: return m_Area.get();
    case CSceneObject::kTypeGroup: return m_Group.get();
    case CSceneObject::kTypeImage: return m_Image.get();
    case CSceneObject::kTypeClip: return m_Clip.get();
    case CSceneObject::kTypeVideo: return m_Video.get();
    default: return nullptr;
    }
}

const CPlaceholderSet& CPlaceholderSet::For(const CScene* scene)
{
    const CQuest* quest = scene ? scene->GetQuest() : nullptr;
    if (quest && quest->GetPlaceholders())
        return *quest->GetPlaceholders();
    // Lives until the process ends, so the objects handed out never dangle.
    static const CPlaceholderSet* const detached = new CPlaceholderSet(nullptr);
    return *detached;
}

void ReportObjectNotFound(const CFixedString& name, const char* type, const CScene* scene)
{
    lv::core::ShowMessageBoxF("Error", "Can't find object or object has different type.\nId: '%s'  Type: '%s'  Scene: '%s'.",
                              name.GetText(), type, scene ? scene->GetName().GetText() : "");
}

} // namespace qe

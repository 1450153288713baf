#pragma once
// The five stand-in objects that a failed typed lookup hands back, one of each kind, without a
// record: callers go on with a usable object of the type they asked for. They belong to a scene
// but stand in no object list, so they are drawn nowhere.
#include "core/FixedString.h"
#include "core/Types.h"

#include <memory>

namespace qe {

class CAreaObject;
class CClipObject;
class CGroupObject;
class CImageObject;
class CScene;
class CSceneObject;
class CVideoObject;

class CPlaceholderSet
{
public:
    explicit CPlaceholderSet(CScene* scene);
    ~CPlaceholderSet();
    CPlaceholderSet(const CPlaceholderSet&) = delete;
    CPlaceholderSet& operator=(const CPlaceholderSet&) = delete;

    CImageObject* GetImage() const { return m_Image.get(); }
    CClipObject* GetClip() const { return m_Clip.get(); }
    CVideoObject* GetVideo() const { return m_Video.get(); }
    CAreaObject* GetArea() const { return m_Area.get(); }
    CGroupObject* GetGroup() const { return m_Group.get(); }
    // The placeholder of a type id; null for an unknown id.
    CSceneObject* Get(s32 type) const;

    // The set for lookups in a scene: its quest's, or, for a scene without a quest or a quest
    // without placeholders, a set of the process that belongs to no scene.
    static const CPlaceholderSet& For(const CScene* scene);

private:
    std::unique_ptr<CImageObject> m_Image;
    std::unique_ptr<CClipObject> m_Clip;
    std::unique_ptr<CVideoObject> m_Video;
    std::unique_ptr<CAreaObject> m_Area;
    std::unique_ptr<CGroupObject> m_Group;
};

// The "Error" report of a typed lookup that found no object of that name and type: `type` is
// "Image", "Clip", "Video", "Area" or "Group".
void ReportObjectNotFound(const CFixedString& name, const char* type, const CScene* scene);

} // namespace qe

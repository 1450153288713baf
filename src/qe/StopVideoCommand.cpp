#include "qe/StopVideoCommand.h"

#include "qe/Scene.h"
#include "qe/VideoObject.h"

namespace qe::scripts {

CStopVideoCommand::CStopVideoCommand(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget)
    : CCommandBase(scene, widget)
{
    if (record.GetArgumentCount() == 1 && scene) {
        CSceneObject* object = scene->FindObject(CFixedString(record.GetArgument(0)));
        if (object && object->GetType() == CSceneObject::kTypeVideo)
            static_cast<CVideoObject*>(object)->Stop();
    }
    Finish();
}

} // namespace qe::scripts

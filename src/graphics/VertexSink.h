#pragma once
// Receiver of transformed and clipped vertices: clipping can turn one draw into more vertices
// than a draw's local array holds, so the output arrives in chunks of whole primitives.
#include "core/Types.h"
#include "graphics/Vertex.h"

namespace lv::graphics {

class CVertexSink
{
public:
    virtual void Emit(const CVertex* vertices, u32 count) = 0;

protected:
    ~CVertexSink() = default;
};

} // namespace lv::graphics

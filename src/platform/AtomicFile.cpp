#include "platform/AtomicFile.h"

#include "platform/AtomicFileWriter.h"

namespace lv::platform {

EAtomicWriteResult WriteFileAtomically(const char* path, const void* data, size_t size)
{
    CAtomicFileWriter writer;
    if (!writer.Open(path))
        return EAtomicWriteResult::OpenFailed;
    if (!writer.Write(data, size) || !writer.Commit())
        return EAtomicWriteResult::WriteFailed;
    return EAtomicWriteResult::Ok;
}

} // namespace lv::platform

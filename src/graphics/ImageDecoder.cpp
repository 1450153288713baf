#include "graphics/ImageDecoder.h"

#include <cstring>

#include "core/FileSystem.h"

namespace lv::misc::imagelib {

bool CImageDecoder::ReadHeader(const u8*, u32, s32*, s32*)
{
    return false;
}

bool CImageDecoder::Decode(const u8*, u32, CImageBuffer&)
{
    return false;
}

bool CImageDecoder::ReadHeaderFromFile(const char* path, s32* width, s32* height)
{
    core::CFileSystem& files = core::CFileSystem::Instance();
    u32 size = 0;
    const u8* data = files.LoadFile(path, &size);
    if (!data)
        return false;
    const bool ok = ReadHeader(data, size, width, height);
    files.FreeFile(data);
    return ok;
}

bool CImageDecoder::DecodeFromFile(const char* path, CImageBuffer& out)
{
    core::CFileSystem& files = core::CFileSystem::Instance();
    u32 size = 0;
    const u8* data = files.LoadFile(path, &size);
    if (!data)
        return false;
    const bool ok = Decode(data, size, out);
    files.FreeFile(data);
    return ok;
}

void CImageDecoder::ResetReader(const u8* data, u32 size)
{
    m_Data = data;
    m_Size = data ? size : 0;
    m_Position = 0;
}

u32 CImageDecoder::Read(void* destination, u32 n)
{
    if (!destination || !m_Data || m_Position >= m_Size || n == 0)
        return 0;
    if (n > m_Size - m_Position)
        n = m_Size - m_Position;
    std::memcpy(destination, m_Data + m_Position, n);
    m_Position += n;
    return n;
}

} // namespace lv::misc::imagelib

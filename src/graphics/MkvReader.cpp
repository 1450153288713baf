#include "graphics/MkvReader.h"

#include <cstring>

namespace lv::graphics {

LVMkvReader::~LVMkvReader()
{
    Close();
}

int LVMkvReader::Open(FILE* file, s64 offset, s64 size)
{
    if (!file || m_File || m_Memory || offset < 0 || size < 0)
        return -1;
    m_File = file;
    m_Base = offset;
    m_Length = size;
    return 0;
}

int LVMkvReader::Open(const char* path)
{
    if (!path || m_File || m_Memory)
        return -1;
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return -1;
    if (std::fseek(file, 0, SEEK_END) != 0) {
        std::fclose(file);
        return -1;
    }
    const s64 length = std::ftell(file);
    if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return -1;
    }
    return Open(file, 0, length);
}

int LVMkvReader::OpenMemory(const u8* data, s64 size)
{
    if (!data || size < 0 || m_File || m_Memory)
        return -1;
    m_Memory = data;
    m_Length = size;
    m_Base = 0;
    return 0;
}

void LVMkvReader::Close()
{
    if (m_File)
        std::fclose(m_File);
    m_File = nullptr;
    m_Memory = nullptr;
    m_Length = m_Base = 0;
}

int LVMkvReader::Read(long long position, long length, unsigned char* buffer)
{
    if (!m_File && !m_Memory)
        return -1;
    if (position < 0 || length < 0 || position >= m_Length)
        return -1;
    if (length == 0)
        return 0;
    if (m_File) {
        if (length > m_Length - position || std::fseek(m_File, static_cast<long>(m_Base + position), SEEK_SET) != 0)
            return -1;
        return std::fread(buffer, 1, static_cast<size_t>(length), m_File) == static_cast<size_t>(length) ? 0 : -1;
    }
    const s64 n = length < m_Length - position ? length : m_Length - position;
    std::memcpy(buffer, m_Memory + position, static_cast<size_t>(n));
    // The rest of a read past the end is defined, never left as it was.
    std::memset(buffer + n, 0, static_cast<size_t>(length - n));
    return 0;
}

int LVMkvReader::Length(long long* total, long long* available)
{
    if (!m_File && !m_Memory)
        return -1;
    if (total)
        *total = m_Length;
    if (available)
        *available = m_Length;
    return 0;
}

} // namespace lv::graphics

#include "core/StringTable.h"
#include "core/ByteOrder.h"

#include "core/FileSystem.h"
#include "core/FileUtils.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/StringBlock.h"
#include "core/StringBlockBuilder.h"
#include "core/TextConvert.h"
#include "core/ValueFormat.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace lv::core {

namespace {

constexpr const char* kStringTableChannel = "StringTable";

bool WriteAll(const char* path, const std::vector<u8>& bytes)
{
    FILE* file = FileOpen(path, "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return (std::fclose(file) == 0) && written;
}

} // namespace

CStringTable& CStringTable::Instance()
{
    // Never destroyed, so its texts stay valid to the very end of the process.
    static CStringTable* instance = new CStringTable();
    return *instance;
}

CStringTable::CStringTable() = default;

CStringTable::~CStringTable()
{
    Release();
}

void CStringTable::Load()
{
    Load(CFileSystem::Instance());
}

void CStringTable::Load(CFileSystem& fileSystem)
{
    Release();
    const char* path = "properties/strings.bindump";
    u32 magic = StringBlockMagicBindump;
    u32 size = 0;
    const u8* image = fileSystem.LoadFile(path, &size);
    if (!image) {
        path = "properties/strings.xml.bin_utf16le";
        magic = StringBlockMagicUtf16;
        image = fileSystem.LoadFile(path, &size);
    }
    if (image && Adopt(fileSystem, image, size, magic, path))
        return;
    LoadXml(fileSystem);
}

bool CStringTable::Adopt(CFileSystem& fileSystem, const u8* image, u32 size, u32 magic, const char* path)
{
    // A damaged image is treated like one with the wrong magic: a lookup must never leave it.
    const char* problem = nullptr;
    if (!CheckStringBlock(image, size, magic, &problem)) {
        CLog::Instance().Print(kStringTableChannel, 2, "%s: %s", path, problem);
        ShowMessageBox("Error", "strings.bindump is corrupted or contains wrong encoding.");
        fileSystem.FreeFile(image);
        return false;
    }
    if (reinterpret_cast<uintptr_t>(image) % alignof(WChar) != 0) {
        // Texts are handed out as UTF-16 pointers, which need an even address.
        m_Block.assign(image, image + size);
        fileSystem.FreeFile(image);
        m_Data = m_Block.data();
        m_Owned = 1;
    } else {
        m_Data = image;
        m_Owned = 0;
        m_FileSystem = &fileSystem;
    }
    m_Size = size;
    return true;
}

void CStringTable::LoadXml(CFileSystem& fileSystem)
{
    u32 size = 0;
    const u8* text = fileSystem.LoadFile("properties/strings.xml", &size);
    if (!text) {
        CLog::Instance().Print(kStringTableChannel, 3, "Failed to load StringTable data");
        return;
    }
    CStringBlockBuilder builder;
    std::vector<s32> duplicates;
    builder.AddXml(reinterpret_cast<const char*>(text), size, &duplicates);
    fileSystem.FreeFile(text);
    for (s32 id : duplicates)
        CLog::Instance().Print(kStringTableChannel, 2, "Duplicate string id %d: the first text is kept", id);

    m_Block = builder.Build(StringBlockMagicUtf16);
    m_Data = m_Block.data();
    m_Size = static_cast<u32>(m_Block.size());
    m_Owned = 1;
}

void CStringTable::Release()
{
    if (m_Data && !m_Owned && m_FileSystem)
        m_FileSystem->FreeFile(m_Data);
    m_Block.clear();
    m_Block.shrink_to_fit();
    m_Data = nullptr;
    m_Size = 0;
    m_Owned = 0;
    m_FileSystem = nullptr;
}

const WChar* CStringTable::GetString(s32 id) const
{
    if (m_Data) {
        if (const u32 offset = FindStringOffset(m_Data, id))
            return reinterpret_cast<const WChar*>(m_Data + offset);
    }
    FormatWide(m_NotFound, 255, u"! string %i is not found !", id);
    return m_NotFound;
}

void CStringTable::ExpandReferences(WString& out, WStringView text) const
{
    out.clear();
    out.reserve(text.size());
    bool inReference = false;
    s32 number = 0;
    auto resolve = [&] {
        out += GetString(number);
        inReference = false;
    };
    for (size_t i = 0; i < text.size();) {
        const WChar c = text[i];
        if (inReference) {
            if (c >= u'0' && c <= u'9') {
                const s32 digit = c - u'0';
                number = number > (INT_MAX - digit) / 10 ? INT_MAX : number * 10 + digit;
                ++i;
                continue;
            }
            resolve(); // and the same character again in normal state
            continue;
        }
        if (c != u'$') {
            out += c;
            ++i;
        } else if (i + 1 < text.size() && text[i + 1] == u'$') {
            out += u'$';
            i += 2;
        } else {
            inReference = true;
            number = 0;
            ++i;
        }
    }
    if (inReference)
        resolve();
}

void CStringTable::ExpandReferencesA(WString& out, std::string_view text) const
{
    ExpandReferences(out, ToWide(text));
}

void CStringTable::ExpandReferencesC(WString& out, const char* text) const
{
    if (!text) {
        out.clear();
        return;
    }
    ExpandReferencesA(out, text);
}

bool CStringTable::SaveBinaryForms() const
{
    if (!m_Data)
        return false;
    const std::vector<u8> utf16(m_Data, m_Data + m_Size);
    bool ok = WriteAll("strings.xml.bin_utf16le", utf16);

    // The 32-bit form: same header and ids, each UTF-16 unit widened on its own.
    const u32 count = GetStringBlockCount(m_Data);
    const size_t indexEnd = StringBlockHeaderSize + size_t(count) * StringBlockIndexEntrySize;
    std::vector<u8> utf32(indexEnd, 0);
    PutU32(utf32, 0, StringBlockMagicUtf32);
    PutU32(utf32, 4, count);
    for (u32 i = 0; i < count; ++i) {
        const u8* entry = m_Data + StringBlockHeaderSize + size_t(i) * StringBlockIndexEntrySize;
        PutU32(utf32, StringBlockHeaderSize + size_t(i) * StringBlockIndexEntrySize, ReadU32(entry));
        PutU32(utf32, StringBlockHeaderSize + size_t(i) * StringBlockIndexEntrySize + 4,
               static_cast<u32>(utf32.size()));
        for (size_t at = ReadU32(entry + 4);; at += 2) {
            const u32 unit = m_Data[at] | (m_Data[at + 1] << 8);
            const size_t end = utf32.size();
            utf32.resize(end + 4);
            PutU32(utf32, end, unit);
            if (unit == 0)
                break;
        }
    }
    ok = WriteAll("strings.xml.bin_utf32le", utf32) && ok;
    return ok;
}

} // namespace lv::core

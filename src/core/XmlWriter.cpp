#include "core/XmlWriter.h"

#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/XmlEscape.h"
#include "platform/AtomicFile.h"

#include <charconv>
#include <cstring>
#include <string>

namespace lv::core {

CXmlWriter::CXmlWriter(bool declaration)
{
    m_Blocks.reserve(16);
    m_Blocks.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
    if (declaration)
        Write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
}

CXmlWriter::~CXmlWriter() = default;

void CXmlWriter::Write(const char* text, s64 length)
{
    if (!text)
        return;
    u64 n = length < 0 ? std::strlen(text) : static_cast<u64>(length);
    // Full blocks never move; the text continues in a new block.
    while (n > 0) {
        const u32 room = kBlockSize - m_Used;
        if (room == 0) {
            m_Blocks.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
            m_Used = 0;
            continue;
        }
        const u32 chunk = n < room ? static_cast<u32>(n) : room;
        std::memcpy(m_Blocks.back().get() + m_Used, text, chunk);
        m_Used += chunk;
        text += chunk;
        n -= chunk;
    }
}

void CXmlWriter::WriteWide(WStringView text)
{
    const std::string escaped = XmlEscapeWide(text);
    Write(escaped.data(), static_cast<s64>(escaped.size()));
}

u32 CXmlWriter::GetBlockCount() const
{
    return static_cast<u32>(m_Blocks.size());
}

u64 CXmlWriter::GetSize() const
{
    return u64(m_Blocks.size() - 1) * kBlockSize + m_Used;
}

bool CXmlWriter::GetBuffer(std::unique_ptr<char[]>& buffer, u32& size) const
{
    if (m_Blocks.empty())
        return false;
    size = static_cast<u32>(GetSize());
    buffer = std::make_unique_for_overwrite<char[]>(size ? size : 1);
    char* out = buffer.get();
    for (size_t i = 0; i < m_Blocks.size(); ++i) {
        const u32 n = i + 1 < m_Blocks.size() ? kBlockSize : m_Used;
        std::memcpy(out, m_Blocks[i].get(), n);
        out += n;
    }
    return true;
}

bool CXmlWriter::SaveToFile(WStringView path) const
{
    if (m_Blocks.empty())
        return true;
    // Text mode: the files have always had CR LF line ends.
    std::string text;
    text.reserve(GetSize() + GetSize() / 16);
    for (size_t i = 0; i < m_Blocks.size(); ++i) {
        const u32 n = i + 1 < m_Blocks.size() ? kBlockSize : m_Used;
        const char* block = m_Blocks[i].get();
        for (u32 j = 0; j < n; ++j) {
            if (block[j] == '\n')
                text += '\r';
            text += block[j];
        }
    }
    const std::string file = WideToUtf8(path);
    const platform::EAtomicWriteResult result =
        platform::WriteFileAtomically(file.c_str(), text.data(), text.size());
    if (result == platform::EAtomicWriteResult::Ok)
        return true;
    if (result == platform::EAtomicWriteResult::OpenFailed)
        CLog::Instance().Print("xmlwriter", 3, "Cannot open file to save (\"%s\")", file.c_str());
    else
        CLog::Instance().Print("xmlwriter", 3,
                               "Cannot write file to save (\"%s\"), the previous file is kept", file.c_str());
    return false;
}

CXmlWriter::CElement::CElement(CXmlWriter& writer, const char* name) : m_Name(name), m_Writer(&writer)
{
    m_Writer->Write("<");
    m_Writer->Write(name);
    m_Writer->Write(" ");
}

CXmlWriter::CElement::CElement(CElement& parent, const char* name) : m_Name(name), m_Writer(parent.m_Writer)
{
    if (!parent.m_HasChildren) {
        parent.m_HasChildren = true;
        m_Writer->Write(">\n");
    }
    m_Writer->Write("<");
    m_Writer->Write(name);
    m_Writer->Write(" ");
}

void CXmlWriter::CElement::SetAttribute(const char* name, const char* value)
{
    m_Writer->Write(name);
    m_Writer->Write("=\"");
    m_Writer->Write(value ? value : "");
    m_Writer->Write("\" ");
}

void CXmlWriter::CElement::SetAttribute(const char* name, const WChar* value)
{
    m_Writer->Write(name);
    m_Writer->Write("=\"");
    m_Writer->WriteWide(value ? value : u"");
    m_Writer->Write("\" ");
}

void CXmlWriter::CElement::SetAttribute(const char* name, int value)
{
    char text[16];
    const auto end = std::to_chars(text, text + sizeof(text) - 1, value).ptr;
    *end = '\0';
    SetAttribute(name, static_cast<const char*>(text));
}

void CXmlWriter::CElement::SetAttribute(const char* name, u16 value)
{
    SetAttribute(name, static_cast<int>(value));
}

void CXmlWriter::CElement::SetAttribute(const char* name, bool value)
{
    SetAttribute(name, value ? "true" : "false");
}

void CXmlWriter::CElement::Close()
{
    if (m_Closed)
        return;
    m_Closed = true;
    if (!m_HasChildren) {
        m_Writer->Write("/>\n");
        return;
    }
    m_Writer->Write("</");
    m_Writer->Write(m_Name);
    m_Writer->Write(">\n");
}

} // namespace lv::core

#pragma once
// Writes small XML documents (the player's profiles and options) into an append-only buffer
// of fixed blocks, one element per line, and saves them without risking the previous file.
#include "core/Types.h"

#include <memory>
#include <string_view>
#include <vector>

namespace lv::core {

class CXmlWriter
{
public:
    static constexpr u32 kBlockSize = 0x40000;

    // Writes one element's start tag, attributes and end. The caller keeps the name alive and
    // closes every child before its parent.
    class CElement
    {
    public:
        CElement(CXmlWriter& writer, const char* name);
        // Ends the parent's start tag the first time it gets a child.
        CElement(CElement& parent, const char* name);

        CElement(const CElement&) = delete;
        CElement& operator=(const CElement&) = delete;

        // The value is written as it is: the caller passes valid attribute content.
        void SetAttribute(const char* name, const char* value);
        // Escaped and converted to UTF-8.
        void SetAttribute(const char* name, const WChar* value);
        void SetAttribute(const char* name, int value);
        void SetAttribute(const char* name, u16 value);
        void SetAttribute(const char* name, bool value);

        // Writes "/>" or the closing tag; later calls do nothing.
        void Close();

    private:
        const char* m_Name;
        bool m_HasChildren = false;
        bool m_Closed = false;
        CXmlWriter* m_Writer;
    };

    // With declaration, the text starts with the UTF-8 XML declaration line.
    explicit CXmlWriter(bool declaration);
    ~CXmlWriter();

    CXmlWriter(const CXmlWriter&) = delete;
    CXmlWriter& operator=(const CXmlWriter&) = delete;

    // Appends length bytes; a negative length means up to the text's terminating zero.
    void Write(const char* text, s64 length = -1);
    void WriteWide(WStringView text);

    // Replaces the file at the (UTF-16) path with the text, line feeds written as CR LF. On any
    // failure the previous file stays as it was, the failure is logged and false returned.
    bool SaveToFile(WStringView path) const;

    // A copy of the whole text in one new buffer.
    bool GetBuffer(std::unique_ptr<char[]>& buffer, u32& size) const;

    // Bytes written so far, and the blocks holding them.
    u64 GetSize() const;
    u32 GetBlockCount() const;

private:
    std::vector<std::unique_ptr<char[]>> m_Blocks;
    u32 m_Used = 0;
};

} // namespace lv::core

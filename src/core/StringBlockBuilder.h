#pragma once
// Collects (id, text) pairs and lays them out as a string block (see StringBlock.h): the index
// sorted by id, the texts one after another in index order right after it. Shared by the string
// table's XML path and the string-table compiler, so both produce the same bytes.
#include "core/Types.h"

#include <map>
#include <vector>

namespace lv::core {

class CStringBlockBuilder
{
public:
    // Adds a string; an id that is already present keeps its first text and false is returned.
    bool Add(s32 id, WString text);
    // Adds the strings of a strings.xml document: every element that carries an attribute
    // named "id" (compared without case over the attribute name's own length) defines the
    // string with that id from its own text, converted from UTF-8. An element with an id but no
    // text defines nothing. Ids already present are appended to `duplicates` (when given) and
    // keep their first text. Returns the parser's result (false for a rejected document; the
    // strings read up to the failure are kept).
    bool AddXml(const char* text, size_t length, std::vector<s32>* duplicates = nullptr);
    size_t GetCount() const { return m_Strings.size(); }
    std::vector<u8> Build(u32 magic) const;

private:
    std::map<s32, WString> m_Strings;
};

} // namespace lv::core

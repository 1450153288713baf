#pragma once
// The one small callback parser every XML file of the game goes through. It walks an
// in-memory document once, never builds a tree and never copies names or values: callbacks
// get tokens pointing into the document (decoded values and texts excepted, which live in one
// shared buffer until the callback returns). Only the dialect the game's files use is
// understood; anything else is walked over without ever reading outside the document.
#include "core/Types.h"

#include <cstddef>

namespace lv::core {

// A view into the document; no terminating zero is implied.
struct XmlToken
{
    const char* start;
    u32 length;
};

// One entry of the element stack.
struct XmlFrame
{
    XmlToken name;
    // Scratch words for the callbacks; the parser never reads or writes them.
    void* user[3];
    // Starts just after the '>' that opens the element; null once a child element or a
    // comment has begun (such an element reports no text). The length is set at the closing tag.
    XmlToken text;
};

// Frames in the element stack: at most kXmlMaxDepth - 1 elements can be open at once.
inline constexpr int kXmlMaxDepth = 64;

using XmlElementStartFn = void (*)(void* user, XmlFrame* frames, int depth);
using XmlAttributeFn = void (*)(void* user, XmlFrame* frames, int depth, const XmlToken* name,
                                const XmlToken* value, bool utf8);
using XmlAttributesEndFn = void (*)(void* user, XmlFrame* frames, int depth);
using XmlElementEndFn = void (*)(void* user, XmlFrame* frames, int depth);
using XmlTextFn = void (*)(void* user, XmlFrame* frames, int depth, bool utf8);

// Returns 1 when the document was walked, 0 when it was rejected: no '>' at all, a first tag
// without "xml", nesting deeper than the element stack, a closing tag with no open element, or
// a document of 4 GiB or more. A document that merely ends early returns 1. Any callback may
// be null.
int ParseXml(const char* text, size_t length, void* user, XmlElementStartFn onElementStart,
             XmlAttributeFn onAttribute, XmlAttributesEndFn onAttributesEnd, XmlElementEndFn onElementEnd,
             XmlTextFn onText);

} // namespace lv::core

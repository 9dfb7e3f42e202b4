// The XML document reader through which language files are read.
//
// A document is read whole into a tree of elements. Names are compared exactly. The reader does not
// transcode: texts and attribute values come out as the bytes of the file, with entity and character
// references resolved. See docs/xml-reader.md for the text rules and the well-formedness checks.
#pragma once

#include "RtlStrings.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace xml {

class TXmlElement;
namespace detail {
class Parser;
} // namespace detail

// Direct child elements of one name, in document order.
class TXmlElementList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EListError "List index out of bounds (%d)" outside 0 .. Count() - 1.
    const TXmlElement& Item(int index) const;

private:
    friend class TXmlElement;
    std::vector<const TXmlElement*> items_;
};

class TXmlElement {
public:
    std::string_view Name() const;

    // The first direct child element with this name, or none.
    const TXmlElement* FirstChild(std::string_view name) const;
    // All direct child elements with this name, in document order.
    TXmlElementList Children(std::string_view name) const;

    // An attribute's value with its references resolved and no white-space normalisation, or
    // `absent` when the element has no attribute of that name.
    AnsiString Attr(std::string_view name, std::string_view absent = {}) const;
    // An attribute's value as a 32-bit signed integer, or `absent`; a value that is not an integer
    // raises EConvertError "'%s' is not a valid integer value".
    std::int32_t IntAttr(std::string_view name, std::int32_t absent) const;

    // The element's text: its character data with references resolved, runs of character data made
    // only of bytes 0 to 32 dropped, CDATA sections as they stand, comments and processing
    // instructions ignored, child elements contributing their own text; the non-empty pieces joined
    // with one space between them.
    AnsiString Text() const;

private:
    friend class detail::Parser;
    struct Attribute;
    // One piece of the content: a run of character data or a CDATA section (text), or a child element.
    struct Piece {
        std::string_view text;
        const TXmlElement* child;
        const Piece* next;
    };
    TXmlElement() = default;

    std::string_view name_;
    const Attribute* attrs_ = nullptr;
    std::uint32_t attrCount_ = 0;
    const TXmlElement* firstChild_ = nullptr;
    const TXmlElement* nextSibling_ = nullptr;
    const Piece* firstPiece_ = nullptr;
    Piece asChild_{{}, this, nullptr}; // this element as a piece of its parent's content
};

class TXmlDocument {
public:
    // An empty document: no element, declared version "1.0", declared encoding "windows-1251".
    TXmlDocument();
    ~TXmlDocument();
    TXmlDocument(const TXmlDocument&) = delete;
    TXmlDocument& operator=(const TXmlDocument&) = delete;

    // Reads a file, opened for reading with writing by others denied. Raises the stream's errors
    // when the file cannot be read and EXmlSyntaxError, naming line and column, when it is not
    // well-formed. A failed load leaves the document empty.
    void LoadFromFile(const AnsiString& fileName);
    // The same for a document in memory.
    void LoadXml(std::string_view bytes);

    // The first element among the document's top-level nodes, or none.
    const TXmlElement* DocumentElement() const;

    // From the XML declaration when the document has one, else "1.0" and "windows-1251". Informative
    // only: the declared encoding is never applied.
    const AnsiString& Version() const;
    const AnsiString& Encoding() const;

private:
    struct Tree;
    void Load(std::vector<char> buffer);
    std::unique_ptr<Tree> tree_;
};

} // namespace xml

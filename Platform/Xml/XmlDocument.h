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

// Direct child elements of one name, in document order. The list holds its first element and its
// count; Item walks the siblings from the last item it gave, so that reading the items in order
// costs one step each.
class TXmlElementList {
public:
    int Count() const { return count_; }
    // Raises EListError "List index out of bounds (%d)" outside 0 .. Count() - 1.
    const TXmlElement& Item(int index) const;

private:
    friend class TXmlElement;
    const TXmlElement* first_ = nullptr;
    int count_ = 0;
    mutable const TXmlElement* cursor_ = nullptr;
    mutable int cursorIndex_ = 0;
};

class TXmlElement {
public:
    std::string_view Name() const { return {name_, nameSize_}; }

    // The first direct child element with this name, or none.
    const TXmlElement* FirstChild(std::string_view name) const;
    // All direct child elements with this name, in document order.
    TXmlElementList Children(std::string_view name) const;

    // An attribute's value with its references resolved and no white-space normalisation, or
    // `absent` when the element has no attribute of that name.
    AnsiString Attr(std::string_view name, std::string_view absent = {}) const;
    // The same without a copy where none is needed: a view of the value in the document, or in
    // scratch when references had to be resolved (or of `absent`). Valid while the document lives
    // and scratch is not changed.
    std::string_view AttrView(std::string_view name, std::string& scratch,
                              std::string_view absent = {}) const;
    // An attribute's value as a 32-bit signed integer, or `absent`; a value that is not an integer
    // raises EConvertError "'%s' is not a valid integer value".
    std::int32_t IntAttr(std::string_view name, std::int32_t absent) const;

    // The element's text: its character data with references resolved, runs of character data made
    // only of bytes 0 to 32 dropped, CDATA sections as they stand, comments and processing
    // instructions ignored, child elements contributing their own text; the non-empty pieces joined
    // with one space between them.
    AnsiString Text() const;
    // The same as a view: of the document when the text is one run without references, else of
    // scratch. Valid while the document lives and scratch is not changed.
    std::string_view TextView(std::string& scratch) const;

private:
    friend class detail::Parser;
    friend class TXmlElementList;
    struct Attribute;
    struct Piece;
    struct Stored;
    TXmlElement() = default;

    // Where the element's attributes and text are: most documents keep only the element's place, and
    // the start tag and content are read again from the checked bytes when asked for; a document
    // whose DTD declares general entities or attribute defaults stores them (Stored).
    const Stored* StoredPart() const;
    bool FindAttr(std::string_view name, std::string& scratch, std::string_view& value) const;

    const char* name_ = nullptr; // the start tag's name, in the document's bytes or an entity's text
    std::uint32_t nameSize_ = 0;
    bool stored_ = false;
    const TXmlElement* firstChild_ = nullptr;
    const TXmlElement* nextSibling_ = nullptr;
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

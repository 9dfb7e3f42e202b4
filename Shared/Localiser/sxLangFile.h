// The language file: its texts' decoding, its header rules and its entry rules.
//
// A language file is an XML document:
//   <root>
//     <Info Lang_ID="1033" Lang_Name="English" Lang_Ext="ENU" Version="1"/>
//     <Resource_Strings> <String ID="64978">File "%s" not found</String> ... </Resource_Strings>
//     <RCData> <Property Form="TMainForm" Property="Caption">Quorlin</Property> ... </RCData>
//   </root>
// Texts are UTF-8 with %-escapes. TsxLangFileReader reads one file: it checks the header and holds
// it aside, then hands out the entries one element at a time, so that the localiser can report
// progress per element and decide where each accepted entry goes.
#pragma once

#include "Exceptions.h"
#include "RtlStrings.h"
#include "XmlDocument.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The two load errors of a language file: "file not found" (64978) and "damaged or not a language
// file" (64979), each naming the path as the caller gave it.
QRL_EXCEPTION_CLASS(EsxLangFileError, Exception);

// %-escape decoding: "%%" is one "%", "%" and two hexadecimal digits is the byte they give; a
// malformed escape is dropped, and so is a "%" (with at most one byte after it) at the end.
AnsiString UnescapeText(std::string_view Text);

// UTF-8 to UTF-16. A text that ends inside a sequence, or in which a byte that must continue a
// sequence is not a continuation byte (80 to BF), decodes to the empty text as a whole. Four-byte
// sequences give a surrogate pair; a byte that cannot start a sequence (80 to BF, F8 to FF) and an
// encoded surrogate give U+FFFD.
WideString DecodeUtf8Text(std::string_view Text);

// The decoding of an entry's element text: UnescapeText, then DecodeUtf8Text.
WideString DecodeEntryText(std::string_view Text);

// The decoding with buffers kept from one text to the next, so that decoding a text allocates
// nothing once they have grown.
class TsxTextDecoder {
public:
    // Decodes an entry's element text (DecodeEntryText).
    void DecodeEntry(std::string_view Text);
    // Decodes UTF-8 (DecodeUtf8Text).
    void DecodeUtf8(std::string_view Text);
    // The last result, valid until the next decoding.
    std::u16string_view Decoded() const { return {buffer_.get(), size_}; }

private:
    std::unique_ptr<char16_t[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
    AnsiString unescaped_;
};

struct TsxLangFileHeader {
    std::int32_t Version = 0;
    std::int32_t LangID = 0;
    WideString LangName;
    AnsiString LangExt;
};

// An accepted String entry: a resource-string translation.
struct TsxLangStringEntry {
    std::int32_t Identifier;
    WideString Text;
};

// An accepted Property entry: Form and Property as read (the stores trim them), views that stay
// valid until the reader reads the next entry; the text converted to the ANSI code page.
struct TsxLangPropertyEntry {
    std::string_view Form;
    std::string_view Property;
    AnsiString Text;
};

class TsxLangFileReader {
public:
    // Raises the file-not-found error when no file exists at FileName.
    static void RequireFile(const AnsiString& FileName);

    // Reads the document and checks its header, in this order: XML syntax (the reader's error), a
    // root element, its Info child, the attributes Lang_ID, Lang_Name, Lang_Ext, Version (a
    // non-integer value raises the conversion error), Lang_Name's UTF-8 decoding, then Lang_ID not 0,
    // Lang_Name and Lang_Ext not empty, Version 1. A failed rule raises the damaged-file error.
    explicit TsxLangFileReader(const AnsiString& FileName);

    const TsxLangFileHeader& Header() const { return header_; }

    // String children of the first Resource_Strings, Property children of the first RCData.
    int StringCount() const { return strings_.Count(); }
    int PropertyCount() const { return properties_.Count(); }

    // The entry of element Index, or none when the entry breaks a rule and is skipped. A non-integer
    // ID raises the conversion error. Reading the elements in order costs one step each.
    std::optional<TsxLangStringEntry> ReadString(int Index) const;
    std::optional<TsxLangPropertyEntry> ReadProperty(int Index) const;

private:
    [[noreturn]] void RaiseDamaged() const;

    AnsiString fileName_;
    xml::TXmlDocument document_;
    TsxLangFileHeader header_;
    xml::TXmlElementList strings_;
    xml::TXmlElementList properties_;
    // For the texts and values that the document cannot give as they stand.
    mutable std::string text_;
    mutable std::string form_;
    mutable std::string property_;
    mutable TsxTextDecoder decoder_;
};

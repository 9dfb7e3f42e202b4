#include "sxLangFile.h"

#include "Os.h"
#include "ResStrings.h"

#include <algorithm>

namespace {

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

xml::TXmlElementList ChildrenOfFirst(const xml::TXmlElement& root, std::string_view group,
                                     std::string_view item) {
    const xml::TXmlElement* parent = root.FirstChild(group);
    return parent != nullptr ? parent->Children(item) : xml::TXmlElementList();
}

} // namespace

AnsiString UnescapeText(std::string_view Text) {
    AnsiString out;
    out.reserve(Text.size());
    std::size_t i = 0;
    const std::size_t n = Text.size();
    while (i < n) {
        if (Text[i] != '%') {
            // The bytes up to the next "%" go over as they are.
            const std::size_t end = std::min(Text.find('%', i), n);
            out.append(Text.substr(i, end - i));
            i = end;
        } else if (i + 1 == n) {
            break; // a "%" as the last byte is dropped
        } else if (Text[i + 1] == '%') {
            out += '%';
            i += 2;
        } else if (i + 2 == n) {
            break; // "%" and one more byte at the end: both dropped
        } else {
            int hi = rtl::HexDigitValue(Text[i + 1]);
            int lo = rtl::HexDigitValue(Text[i + 2]);
            if (hi >= 0 && lo >= 0)
                out += static_cast<char>(hi * 16 + lo);
            i += 3;
        }
    }
    return out;
}

WideString DecodeUtf8Text(std::string_view Text) {
    // No byte gives more than one UTF-16 unit (a four-byte sequence gives two): the text is written
    // into a buffer of the input's length, cut to what was written at the end.
    WideString out(Text.size(), u'\0');
    char16_t* o = out.data();
    const std::size_t n = Text.size();
    std::size_t i = 0;
    while (i < n) {
        auto lead = static_cast<unsigned char>(Text[i++]);
        if (lead < 0x80) {
            *o++ = static_cast<char16_t>(lead);
            continue;
        }
        int extra = lead >= 0xC0 && lead < 0xE0   ? 1
                    : lead >= 0xE0 && lead < 0xF0 ? 2
                    : lead >= 0xF0 && lead < 0xF8 ? 3
                                                  : 0;
        if (extra == 0) {
            *o++ = u'\uFFFD';
            continue;
        }
        char32_t c = lead & (0x3F >> extra);
        for (int k = 0; k < extra; ++k, ++i) {
            if (i == n || !IsContinuation(static_cast<unsigned char>(Text[i])))
                return {};
            c = (c << 6) | (static_cast<unsigned char>(Text[i]) & 0x3F);
        }
        if (c >= 0x10000 && c <= 0x10FFFF) {
            c -= 0x10000;
            *o++ = static_cast<char16_t>(0xD800 + (c >> 10));
            *o++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else if ((c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) {
            *o++ = u'\uFFFD';
        } else {
            *o++ = static_cast<char16_t>(c);
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

WideString DecodeEntryText(std::string_view Text) {
    // A text without "%" is its own unescaped form.
    if (Text.find('%') == std::string_view::npos)
        return DecodeUtf8Text(Text);
    return DecodeUtf8Text(UnescapeText(Text));
}

void TsxLangFileReader::RequireFile(const AnsiString& FileName) {
    if (!os::FileExists(FileName))
        throw EsxLangFileError(SFileNotFound, {FileName});
}

TsxLangFileReader::TsxLangFileReader(const AnsiString& FileName) : fileName_(FileName) {
    document_.LoadFromFile(FileName);
    const xml::TXmlElement* root = document_.DocumentElement();
    if (root == nullptr)
        RaiseDamaged();
    const xml::TXmlElement* info = root->FirstChild("Info");
    if (info == nullptr)
        RaiseDamaged();
    std::int32_t langID = info->IntAttr("Lang_ID", 0);
    AnsiString langName = info->Attr("Lang_Name");
    AnsiString langExt = info->Attr("Lang_Ext");
    std::int32_t version = info->IntAttr("Version", 1);
    WideString decodedName = DecodeUtf8Text(langName);
    if (langID == 0 || decodedName.empty() || langExt.empty())
        RaiseDamaged();
    if (version != 1)
        RaiseDamaged();
    header_ = {version, langID, std::move(decodedName), std::move(langExt)};
    strings_ = ChildrenOfFirst(*root, "Resource_Strings", "String");
    properties_ = ChildrenOfFirst(*root, "RCData", "Property");
}

void TsxLangFileReader::RaiseDamaged() const {
    throw EsxLangFileError(SInvalidLangFile, {fileName_});
}

std::optional<TsxLangStringEntry> TsxLangFileReader::ReadString(int Index) const {
    const xml::TXmlElement& element = strings_.Item(Index);
    std::int32_t id = element.IntAttr("ID", 0);
    WideString text = DecodeEntryText(element.Text());
    if (id < 1 || id > 65535 || text.empty())
        return std::nullopt;
    return TsxLangStringEntry{id, std::move(text)};
}

std::optional<TsxLangPropertyEntry> TsxLangFileReader::ReadProperty(int Index) const {
    const xml::TXmlElement& element = properties_.Item(Index);
    AnsiString form = element.Attr("Form");
    AnsiString property = element.Attr("Property");
    WideString text = DecodeEntryText(element.Text());
    if (form.empty() || property.empty() || text.empty())
        return std::nullopt;
    return TsxLangPropertyEntry{std::move(form), std::move(property), rtl::WideToAnsi(text)};
}

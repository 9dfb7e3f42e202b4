#include "sxLangFile.h"

#include "Os.h"
#include "ResStrings.h"

#include <algorithm>
#include <cstring>

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

namespace {

void AppendUnescaped(std::string_view Text, AnsiString& out) {
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
}

// Decodes into out, which has room for one unit per byte of Text (no byte gives more: a four-byte
// sequence gives two). Returns the number of units written, 0 for a text that fails.
std::size_t DecodeUtf8Into(std::string_view Text, char16_t* out) {
    char16_t* o = out;
    const auto* p = reinterpret_cast<const unsigned char*>(Text.data());
    const unsigned char* const end = p + Text.size();
    while (p < end) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
            // A run of ASCII, eight bytes at a time while they last.
            std::uint64_t eight = 0;
            while (end - p >= 8 && (std::memcpy(&eight, p, 8), (eight & 0x8080808080808080u) == 0)) {
                for (int k = 0; k < 8; ++k)
                    o[k] = p[k];
                o += 8;
                p += 8;
            }
            while (p < end && *p < 0x80)
                *o++ = *p++;
            continue;
        }
        // Two-byte sequences (Cyrillic, Greek, most of Latin) directly, as long as they follow each
        // other.
        if ((lead & 0xE0) == 0xC0 && end - p >= 2 && IsContinuation(p[1])) {
            do {
                *o++ = static_cast<char16_t>(((p[0] & 0x1F) << 6) | (p[1] & 0x3F));
                p += 2;
            } while (end - p >= 2 && (p[0] & 0xE0) == 0xC0 && IsContinuation(p[1]));
            continue;
        }
        ++p;
        const int extra = lead >= 0xC0 && lead < 0xE0   ? 1
                          : lead >= 0xE0 && lead < 0xF0 ? 2
                          : lead >= 0xF0 && lead < 0xF8 ? 3
                                                        : 0;
        if (extra == 0) {
            *o++ = u'\uFFFD';
            continue;
        }
        char32_t c = lead & (0x3F >> extra);
        for (int k = 0; k < extra; ++k, ++p) {
            if (p == end || !IsContinuation(*p))
                return 0;
            c = (c << 6) | (*p & 0x3F);
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
    return static_cast<std::size_t>(o - out);
}

} // namespace

AnsiString UnescapeText(std::string_view Text) {
    AnsiString out;
    out.reserve(Text.size());
    AppendUnescaped(Text, out);
    return out;
}

WideString DecodeUtf8Text(std::string_view Text) {
    TsxTextDecoder decoder;
    decoder.DecodeUtf8(Text);
    return WideString(decoder.Decoded());
}

WideString DecodeEntryText(std::string_view Text) {
    TsxTextDecoder decoder;
    decoder.DecodeEntry(Text);
    return WideString(decoder.Decoded());
}

void TsxTextDecoder::DecodeUtf8(std::string_view Text) {
    if (Text.size() > capacity_) {
        capacity_ = std::max(Text.size(), 2 * capacity_);
        buffer_ = std::make_unique_for_overwrite<char16_t[]>(capacity_);
    }
    size_ = DecodeUtf8Into(Text, buffer_.get());
}

void TsxTextDecoder::DecodeEntry(std::string_view Text) {
    // A text without "%" is its own unescaped form.
    if (Text.find('%') != std::string_view::npos) {
        unescaped_.clear();
        AppendUnescaped(Text, unescaped_);
        Text = unescaped_;
    }
    DecodeUtf8(Text);
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
    decoder_.DecodeEntry(element.TextView(text_));
    if (id < 1 || id > 65535 || decoder_.Decoded().empty())
        return std::nullopt;
    return TsxLangStringEntry{id, WideString(decoder_.Decoded())}; // allocated at its length
}

std::optional<TsxLangPropertyEntry> TsxLangFileReader::ReadProperty(int Index) const {
    const xml::TXmlElement& element = properties_.Item(Index);
    const std::string_view form = element.AttrView("Form", form_);
    const std::string_view property = element.AttrView("Property", property_);
    decoder_.DecodeEntry(element.TextView(text_));
    if (form.empty() || property.empty() || decoder_.Decoded().empty())
        return std::nullopt;
    return TsxLangPropertyEntry{form, property, rtl::WideToAnsi(decoder_.Decoded())};
}

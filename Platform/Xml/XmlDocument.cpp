#include "XmlDocument.h"

#include "Exceptions.h"
#include "ResStrings.h"
#include "Streams.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace xml {

struct TXmlElement::Attribute {
    std::string_view name;
    std::string_view value;
};

// One piece of a stored element's content: a run of character data or a CDATA section (text), or a
// child element.
struct TXmlElement::Piece {
    std::string_view text;
    const TXmlElement* child;
    const Piece* next;
};

// An element whose attributes and content pieces are kept in the tree.
struct TXmlElement::Stored : TXmlElement {
    Stored() { stored_ = true; }
    const Attribute* attrs = nullptr;
    std::uint32_t attrCount = 0;
    const Piece* firstPiece = nullptr;
    Piece asChild{{}, this, nullptr}; // this element as a piece of its parent's content
};

namespace {

// How far the reader goes before it calls a document hostile.
constexpr std::size_t kMaxElementDepth = 1000;
constexpr int kMaxEntityDepth = 32;
constexpr std::size_t kMinExpansionBudget = std::size_t{1} << 20;
constexpr std::size_t kExpansionBudgetPerInputByte = 8;
constexpr std::size_t kMaxContentModelDepth = 1000;

// Every buffer the parser scans (the document and each entity's replacement text) is followed by this
// byte. It stops the scans of names, character data and attribute values, so that their inner loops
// need no bound check; the code looks at the position afterwards to tell the end from real markup.
constexpr char kSentinel = '<';

constexpr std::string_view kBinarySignature = "< binary-xml >";

enum CharClass : std::uint8_t {
    kNameStart = 1,
    kNameChar = 2,
    kSpace = 4,      // the XML white space: space, tab, line feed, carriage return
    kTextStop = 8,   // ends a stretch of character data: '<', '&', ']'
    kAttrStop = 16,  // ends a stretch of an attribute value: '<', '&' and the two quotes
    kPubidChar = 32, // allowed in a public identifier
    kTagStop = 64,   // ends a stretch of a checked start tag: '>' and the two quotes
};

constexpr std::array<std::uint8_t, 256> MakeCharClasses() {
    std::array<std::uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        std::uint8_t v = 0;
        if (letter || c == '_' || c == ':' || c >= 0x80)
            v |= kNameStart | kNameChar;
        if (digit || c == '-' || c == '.')
            v |= kNameChar;
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            v |= kSpace;
        if (c == '<' || c == '&' || c == ']')
            v |= kTextStop;
        if (c == '<' || c == '&' || c == '"' || c == '\'')
            v |= kAttrStop;
        if (c == '>' || c == '"' || c == '\'')
            v |= kTagStop;
        if (letter || digit || c == ' ' || c == '\r' || c == '\n' ||
            std::string_view("-'()+,./:=?;!*#@$_%").find(static_cast<char>(c)) != std::string_view::npos)
            v |= kPubidChar;
        t[static_cast<std::size_t>(c)] = v;
    }
    return t;
}

constexpr std::array<std::uint8_t, 256> kClass = MakeCharClasses();

inline bool Is(char c, CharClass cls) {
    return (kClass[static_cast<unsigned char>(c)] & cls) != 0;
}

// The first byte from p on that is not of the class. The scan sentinel must stop it.
inline const char* SkipWhile(const char* p, CharClass cls) {
    while (Is(*p, cls))
        ++p;
    return p;
}

// The first byte from p on that is of the class, four bytes at a step; it reads no byte beyond the one
// it returns. The scan sentinel must stop it.
inline const char* SkipUntil(const char* p, CharClass cls) {
    for (;;) {
        if (Is(p[0], cls))
            return p;
        if (Is(p[1], cls))
            return p + 1;
        if (Is(p[2], cls))
            return p + 2;
        if (Is(p[3], cls))
            return p + 3;
        p += 4;
    }
}

// Bump allocation for the tree and the decoded texts; everything it holds is trivially destructible.
// Blocks are of one size (a larger piece gets a block of its own), so that the unused end of the
// last one is small beside the tree.
class Arena {
public:
    void* Allocate(std::size_t size, std::size_t align) {
        std::size_t pad = static_cast<std::size_t>(-reinterpret_cast<std::uintptr_t>(cur_)) & (align - 1);
        if (size + pad > left_) {
            Grow(size + align);
            pad = static_cast<std::size_t>(-reinterpret_cast<std::uintptr_t>(cur_)) & (align - 1);
        }
        char* p = cur_ + pad;
        cur_ = p + size;
        left_ -= size + pad;
        return p;
    }

    template <class T> T* New() { return new (Allocate(sizeof(T), alignof(T))) T(); }

    template <class T> T* NewArray(std::size_t n) {
        return static_cast<T*>(Allocate(sizeof(T) * n, alignof(T)));
    }

    // A copy of the bytes; with `sentinel` the copy is followed by the scan sentinel.
    std::string_view Copy(std::string_view text, bool sentinel = false) {
        char* p = static_cast<char*>(Allocate(text.size() + (sentinel ? 1 : 0), 1));
        if (!text.empty())
            std::memcpy(p, text.data(), text.size());
        if (sentinel)
            p[text.size()] = kSentinel;
        return {p, text.size()};
    }

private:
    static constexpr std::size_t kBlockSize = 64 * 1024;

    void Grow(std::size_t atLeast) {
        const std::size_t blockSize = std::max(atLeast, kBlockSize);
        blocks_.emplace_back(new char[blockSize]); // not cleared: every byte is written before it is read
        cur_ = blocks_.back().get();
        left_ = blockSize;
    }

    std::vector<std::unique_ptr<char[]>> blocks_;
    char* cur_ = nullptr;
    std::size_t left_ = 0;
};

std::string Quoted(std::string_view before, std::string_view name, std::string_view after = {}) {
    std::string s;
    s.reserve(before.size() + name.size() + after.size() + 2);
    s.append(before).append("'").append(name).append("'").append(after);
    return s;
}

// The UTF-8 bytes of a character; the number written.
int EncodeUtf8(std::uint32_t c, char* out) {
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

bool IsXmlChar(std::uint32_t c) {
    if (c < 0x20)
        return c == 0x9 || c == 0xA || c == 0xD;
    if (c >= 0xD800 && c <= 0xDFFF)
        return false;
    if (c == 0xFFFE || c == 0xFFFF)
        return false;
    return c <= 0x10FFFF;
}

std::string_view PredefinedEntity(std::string_view name) {
    if (name == "lt")
        return "<";
    if (name == "gt")
        return ">";
    if (name == "amp")
        return "&";
    if (name == "apos")
        return "'";
    if (name == "quot")
        return "\"";
    return {};
}

} // namespace

struct TXmlDocument::Tree {
    std::vector<char> buffer; // the document's bytes followed by the scan sentinel
    Arena arena;
    const TXmlElement* root = nullptr;
    AnsiString version = "1.0";
    AnsiString encoding = "windows-1251";
};

namespace detail {

// Reads one document into a tree. Positions are pointers into the buffer being scanned: the document
// or the replacement text of an entity. While an entity's text is read, errors are reported at the
// reference in the document that led there.
class Parser {
public:
    using Element = TXmlElement;
    using Attribute = TXmlElement::Attribute;
    using Piece = TXmlElement::Piece;
    using Stored = TXmlElement::Stored;

    Parser(const char* begin, const char* end, Arena& arena)
        : base_(begin), docEnd_(end), p_(begin), end_(end), arena_(arena),
          expansionBudget_(std::max(kMinExpansionBudget,
                                    kExpansionBudgetPerInputByte * static_cast<std::size_t>(end - begin))) {}

    const Element* Parse(AnsiString& version, AnsiString& encoding);

private:
    enum class EntityKind { Internal, External, Unparsed };
    struct Entity {
        std::string_view value; // the replacement text, followed by the sentinel
        EntityKind kind = EntityKind::Internal;
        bool inUse = false;
    };
    struct DefaultAttribute {
        std::string_view name;
        std::string_view value;
    };
    // An open element.
    struct Frame {
        Element* element;
        const Piece** pieceTail;
        const Element** childTail;
        const char* start;
    };
    // Reads an entity's replacement text for as long as it lives, then returns to where it was.
    class EntityScope {
    public:
        EntityScope(Parser& parser, const char* reference, Entity& entity)
            : parser_(parser), entity_(entity), p_(parser.p_), end_(parser.end_), anchor_(parser.anchor_) {
            if (!parser.anchor_)
                parser.anchor_ = reference;
            entity.inUse = true;
            parser.p_ = entity.value.data();
            parser.end_ = parser.p_ + entity.value.size();
        }
        ~EntityScope() {
            entity_.inUse = false;
            parser_.p_ = p_;
            parser_.end_ = end_;
            parser_.anchor_ = anchor_;
        }
        EntityScope(const EntityScope&) = delete;
        EntityScope& operator=(const EntityScope&) = delete;

    private:
        Parser& parser_;
        Entity& entity_;
        const char* p_;
        const char* end_;
        const char* anchor_;
    };
    // The place to return to when an entity's replacement text in content is read to its end.
    struct EntityFrame {
        const char* p;
        const char* end;
        const char* anchor;
        Entity* entity;
        std::string_view name;
        std::size_t depth;
    };

    [[noreturn]] void Fail(const char* at, std::string_view detail) const;

    bool AtEnd() const { return p_ >= end_; }
    bool Starts(std::string_view s) const {
        return static_cast<std::size_t>(end_ - p_) >= s.size() && std::memcmp(p_, s.data(), s.size()) == 0;
    }
    bool SkipSpace() {
        const char* const s = p_;
        p_ = SkipWhile(s, kSpace);
        return p_ != s;
    }
    void RequireSpace(std::string_view what) {
        if (!SkipSpace())
            Fail(p_, std::string("white space expected ").append(what));
    }
    void Expect(char c, std::string_view what) {
        if (AtEnd() || *p_ != c)
            Fail(p_, what);
        ++p_;
    }
    std::string_view ScanName(std::string_view what) {
        const char* s = p_;
        if (AtEnd() || !Is(*p_, kNameStart))
            Fail(p_, what);
        p_ = SkipWhile(s + 1, kNameChar);
        return {s, static_cast<std::size_t>(p_ - s)};
    }
    std::string_view ScanNmtoken() {
        const char* s = p_;
        while (Is(*p_, kNameChar))
            ++p_;
        if (p_ == s)
            Fail(p_, "name token expected");
        return {s, static_cast<std::size_t>(p_ - s)};
    }
    bool Keyword(std::string_view word) {
        if (!Starts(word) || Is(p_[word.size()], kNameChar))
            return false;
        p_ += word.size();
        return true;
    }

    // Prolog, content, epilog.
    void ParseProlog(AnsiString& version, AnsiString& encoding);
    void ParseXmlDeclaration(AnsiString& version, AnsiString& encoding);
    void ParseContent();
    void ParseEpilog();
    void SkipComment();
    // At "<?"; returns the target.
    std::string_view SkipProcessingInstruction(bool declarationAllowed);
    void StartTag();
    void EndTag();
    void CData();
    void ContentReference();
    void EndOfEntity();

    // Character data of the element being read: a run grows until markup ends it. Only a stored
    // tree keeps it.
    void AddText(const char* s, std::size_t n, bool blank) {
        if (n == 0 || !store_)
            return;
        if (!runOpen_) {
            runOpen_ = true;
            runBuffered_ = false;
            runBlank_ = blank;
            runText_ = s;
            runSize_ = n;
            return;
        }
        AddDecoded(s, n, blank);
    }
    void AddDecoded(const char* s, std::size_t n, bool blank) {
        if (!store_)
            return;
        if (!runOpen_) {
            runOpen_ = true;
            runBlank_ = true;
            runBuffer_.clear();
        } else if (!runBuffered_) {
            runBuffer_.assign(runText_, runSize_);
        }
        runBuffered_ = true;
        runBlank_ = runBlank_ && blank;
        runBuffer_.append(s, n);
    }
    void FlushText();
    void AddTextPiece(std::string_view text);

    // References.
    // At '&': the character reference's UTF-8 bytes in out (returns their number), or 0 for an entity
    // reference, whose name is then in name. p_ is moved past the ';'.
    int ScanReference(char* out, std::string_view& name);
    Entity& ResolveEntity(const char* at, std::string_view name, bool inAttribute);
    // At '&' in an attribute value: appends what the reference stands for, entities expanded.
    void AttributeReference(int depth, std::string& out);
    std::string_view AttributeValue();
    void CheckDuplicates();
    void ApplyDefaults(std::string_view element);

    // The document type declaration.
    void ParseDoctype();
    void ParseInternalSubset(bool inParameterEntity);
    void ParameterEntityReference(int depth);
    void ElementDecl();
    void ContentModel();
    void AttlistDecl();
    // At '(' of an enumerated attribute type: name tokens, or notation names, separated by '|'.
    void Alternatives(bool names);
    void EntityDecl();
    void NotationDecl();
    std::string_view QuotedLiteral(std::string_view what);
    // ExternalID, or PublicID alone when publicIdAlone; false when neither keyword is here.
    bool ExternalId(bool publicIdAlone);
    std::string_view EntityValue();
    void CountExpansion(const char* at, std::size_t bytes);

    const char* const base_;
    const char* const docEnd_;
    const char* p_;
    const char* end_;
    const char* anchor_ = nullptr; // where the outermost entity reference being read starts
    Arena& arena_;

    std::vector<Frame> stack_;
    std::vector<EntityFrame> entities_;
    const Element* root_ = nullptr;

    // Whether the elements keep their attributes and content pieces: in a document whose DTD
    // declares general entities or attribute defaults, which a reading of the bytes alone cannot
    // resolve. Attribute values read before the root (defaults in the DTD) are always kept.
    bool store_ = true;
    bool runOpen_ = false;
    bool runBuffered_ = false;
    bool runBlank_ = true;
    const char* runText_ = nullptr;
    std::size_t runSize_ = 0;
    std::string runBuffer_;

    std::vector<Attribute> attrs_;
    std::string valueBuffer_;

    std::unordered_map<std::string_view, Entity> general_;
    std::unordered_map<std::string_view, Entity> parameter_;
    std::unordered_map<std::string_view, std::vector<DefaultAttribute>> defaults_;
    bool standalone_ = false;
    bool declarationsIgnored_ = false; // after a reference to a parameter entity that is not read
    int parameterDepth_ = 0;
    std::size_t expanded_ = 0;
    const std::size_t expansionBudget_;
};

void Parser::Fail(const char* at, std::string_view detail) const {
    const char* where = anchor_ ? anchor_ : at;
    if (std::less<>()(where, base_) || std::less<>()(docEnd_, where))
        where = docEnd_;
    const char* lineStart = base_;
    if (docEnd_ - base_ >= 3 && std::memcmp(base_, "\xEF\xBB\xBF", 3) == 0 && where >= base_ + 3)
        lineStart = base_ + 3;
    long long line = 1;
    for (const char* q = lineStart; q < where; ++q) {
        if (*q == '\n' || (*q == '\r' && (q + 1 >= docEnd_ || q[1] != '\n'))) {
            ++line;
            lineStart = q + 1;
        }
    }
    const long long column = where - lineStart + 1;
    constexpr long long kIntMax = 0x7FFFFFFF;
    throw EXmlSyntaxError(static_cast<int>(std::min(line, kIntMax)),
                          static_cast<int>(std::min(column, kIntMax)), detail);
}

const TXmlElement* Parser::Parse(AnsiString& version, AnsiString& encoding) {
    if (Starts("\xEF\xBB\xBF"))
        p_ += 3;
    ParseProlog(version, encoding);
    if (AtEnd())
        return nullptr;
    store_ = !general_.empty() || !defaults_.empty();
    ParseContent();
    ParseEpilog();
    return root_;
}

// ---- Prolog and epilog ----

void Parser::ParseProlog(AnsiString& version, AnsiString& encoding) {
    const char* const start = p_;
    bool doctypeSeen = false;
    while (!AtEnd()) {
        if (*p_ != '<') {
            // Text before the root element is passed over.
            const void* next = std::memchr(p_, '<', static_cast<std::size_t>(end_ - p_));
            p_ = next ? static_cast<const char*>(next) : end_;
        } else if (Starts("<?")) {
            const bool atStart = p_ == start;
            if (SkipProcessingInstruction(atStart) == "xml")
                ParseXmlDeclaration(version, encoding);
        } else if (Starts("<!--")) {
            SkipComment();
        } else if (Starts("<!DOCTYPE")) {
            if (doctypeSeen)
                Fail(p_, "second document type declaration");
            doctypeSeen = true;
            ParseDoctype();
        } else if (Starts("<![CDATA[")) {
            Fail(p_, "CDATA section outside the root element");
        } else if (Starts("</")) {
            Fail(p_, "end tag without a start tag");
        } else if (Starts("<!")) {
            Fail(p_, "invalid markup");
        } else {
            return;
        }
    }
}

void Parser::ParseXmlDeclaration(AnsiString& version, AnsiString& encoding) {
    // p_ is just after "<?xml".
    const auto value = [this](std::string_view what, auto valid) {
        SkipSpace();
        Expect('=', Quoted("'=' expected after ", what));
        SkipSpace();
        if (AtEnd() || (*p_ != '"' && *p_ != '\''))
            Fail(p_, Quoted("quoted value expected for ", what));
        const char quote = *p_++;
        const char* s = p_;
        while (!AtEnd() && *p_ != quote && *p_ != '?' && *p_ != '>')
            ++p_;
        if (AtEnd() || *p_ != quote)
            Fail(s - 1, Quoted("unterminated value of ", what));
        const std::string_view v(s, static_cast<std::size_t>(p_ - s));
        if (!valid(v))
            Fail(s, Quoted("invalid value of ", what));
        ++p_;
        return v;
    };
    const char* const declStart = p_ - 5;
    bool space = SkipSpace();
    if (!space || !Keyword("version"))
        Fail(declStart, "XML declaration without version");
    version = value("version", [](std::string_view v) {
        return v.size() > 2 && v.substr(0, 2) == "1." &&
               std::all_of(v.begin() + 2, v.end(), [](char c) { return c >= '0' && c <= '9'; });
    });
    space = SkipSpace();
    if (space && Keyword("encoding")) {
        encoding = value("encoding", [](std::string_view v) {
            const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
            return !v.empty() && letter(v[0]) && std::all_of(v.begin() + 1, v.end(), [&](char c) {
                return letter(c) || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
            });
        });
        space = SkipSpace();
    }
    if (space && Keyword("standalone")) {
        standalone_ =
            value("standalone", [](std::string_view v) { return v == "yes" || v == "no"; }) == "yes";
        SkipSpace();
    }
    if (!Starts("?>"))
        Fail(p_, "invalid XML declaration");
    p_ += 2;
}

void Parser::ParseEpilog() {
    for (;;) {
        SkipSpace();
        if (AtEnd())
            return;
        if (Starts("<?"))
            SkipProcessingInstruction(false);
        else if (Starts("<!--"))
            SkipComment();
        else if (Starts("<![CDATA["))
            Fail(p_, "CDATA section outside the root element");
        else if (*p_ == '<')
            Fail(p_, "markup after the root element");
        else
            Fail(p_, "text after the root element");
    }
}

void Parser::SkipComment() {
    const char* const start = p_;
    p_ += 4;
    for (;;) {
        const void* dash = std::memchr(p_, '-', static_cast<std::size_t>(end_ - p_));
        if (!dash || static_cast<const char*>(dash) + 1 >= end_)
            Fail(start, "unterminated comment");
        p_ = static_cast<const char*>(dash);
        if (p_[1] != '-') {
            ++p_;
            continue;
        }
        if (p_ + 2 < end_ && p_[2] == '>') {
            p_ += 3;
            return;
        }
        if (p_ + 2 >= end_)
            Fail(start, "unterminated comment");
        Fail(p_, "'--' in comment");
    }
}

std::string_view Parser::SkipProcessingInstruction(bool declarationAllowed) {
    const char* const start = p_;
    p_ += 2;
    if (AtEnd() || !Is(*p_, kNameStart))
        Fail(p_, "processing instruction without target");
    const std::string_view target = ScanName("processing instruction target expected");
    if (target.size() == 3 && rtl::SameText(target, "xml")) {
        if (target == "xml" && declarationAllowed)
            return target; // the caller reads the declaration
        Fail(start, target == "xml" ? "XML declaration not at the start of the document"
                                    : "reserved processing instruction target");
    }
    if (!Starts("?>") && !SkipSpace()) {
        if (AtEnd())
            Fail(start, "unterminated processing instruction");
        Fail(p_, "white space expected after the processing instruction target");
    }
    for (;;) {
        const void* q = std::memchr(p_, '?', static_cast<std::size_t>(end_ - p_));
        if (!q || static_cast<const char*>(q) + 1 >= end_)
            Fail(start, "unterminated processing instruction");
        p_ = static_cast<const char*>(q) + 1;
        if (*p_ == '>') {
            ++p_;
            return target;
        }
    }
}

// ---- Content ----

void Parser::ParseContent() {
    StartTag(); // the root element
    while (!stack_.empty()) {
        const char* const s = p_;
        // Character data up to the next markup or reference.
        bool blank = true;
        const char* q = s;
        for (;;) {
            while (static_cast<unsigned char>(*q) <= 32)
                ++q;
            if (!Is(*q, kTextStop)) {
                blank = false;
                q = SkipUntil(q + 1, kTextStop);
            }
            if (*q != ']')
                break;
            if (end_ - q >= 3 && q[1] == ']' && q[2] == '>')
                Fail(q, "']]>' in character data");
            blank = false;
            ++q;
        }
        p_ = q;
        AddText(s, static_cast<std::size_t>(p_ - s), blank);
        if (AtEnd()) {
            EndOfEntity();
            continue;
        }
        if (*p_ == '&') {
            ContentReference();
            continue;
        }
        // Markup.
        FlushText();
        if (p_[1] == '/')
            EndTag();
        else if (p_[1] == '!') {
            if (Starts("<!--"))
                SkipComment();
            else if (Starts("<![CDATA["))
                CData();
            else
                Fail(p_, "invalid markup");
        } else if (p_[1] == '?')
            SkipProcessingInstruction(false);
        else
            StartTag();
    }
}

void Parser::EndOfEntity() {
    if (entities_.empty()) {
        const Frame& open = stack_.back();
        Fail(open.start, Quoted("unclosed element ", open.element->Name()));
    }
    const EntityFrame& e = entities_.back();
    if (stack_.size() != e.depth)
        Fail(p_, Quoted("element ", stack_.back().element->Name(),
                        Quoted(" is not closed within entity ", e.name)));
    e.entity->inUse = false;
    p_ = e.p;
    end_ = e.end;
    anchor_ = e.anchor;
    entities_.pop_back();
}

void Parser::FlushText() {
    if (!runOpen_)
        return;
    runOpen_ = false;
    if (runBlank_)
        return;
    AddTextPiece(runBuffered_ ? arena_.Copy(runBuffer_) : std::string_view(runText_, runSize_));
}

void Parser::AddTextPiece(std::string_view text) {
    if (!store_)
        return;
    Frame& f = stack_.back();
    Piece* piece = arena_.New<Piece>();
    piece->text = text;
    piece->child = nullptr;
    *f.pieceTail = piece;
    f.pieceTail = &piece->next;
}

void Parser::StartTag() {
    const char* const start = p_;
    ++p_;
    if (stack_.size() >= kMaxElementDepth)
        Fail(start, "elements nested deeper than 1000 levels");
    Stored* stored = store_ ? arena_.New<Stored>() : nullptr;
    Element* element =
        stored != nullptr ? stored : new (arena_.Allocate(sizeof(Element), alignof(Element))) Element();
    const std::string_view name = ScanName("element name expected");
    if (name.size() > UINT32_MAX)
        Fail(start, "element name too long");
    element->name_ = name.data();
    element->nameSize_ = static_cast<std::uint32_t>(name.size());
    attrs_.clear();
    for (;;) {
        const bool space = SkipSpace();
        if (AtEnd())
            Fail(start, Quoted("unterminated start tag ", element->Name()));
        if (*p_ == '>' || *p_ == '/')
            break;
        if (!space)
            Fail(p_, "white space expected before an attribute");
        const std::string_view attrName = ScanName("attribute name expected");
        SkipSpace();
        if (AtEnd() || *p_ != '=')
            Fail(p_, Quoted("'=' expected after attribute name ", attrName));
        ++p_;
        SkipSpace();
        Attribute& attribute = attrs_.emplace_back();
        attribute.name = attrName;
        attribute.value = AttributeValue();
    }
    CheckDuplicates();
    if (!defaults_.empty())
        ApplyDefaults(element->Name());
    if (stored != nullptr && !attrs_.empty()) {
        Attribute* a = arena_.NewArray<Attribute>(attrs_.size());
        std::copy(attrs_.begin(), attrs_.end(), a);
        stored->attrs = a;
        stored->attrCount = static_cast<std::uint32_t>(attrs_.size());
    }
    bool empty = false;
    if (*p_ == '/') {
        if (p_ + 1 >= end_ || p_[1] != '>')
            Fail(p_, "'>' expected after '/'");
        empty = true;
        ++p_;
    }
    ++p_;
    if (stack_.empty()) {
        root_ = element;
    } else {
        Frame& parent = stack_.back();
        *parent.childTail = element;
        parent.childTail = &element->nextSibling_;
        if (stored != nullptr) {
            *parent.pieceTail = &stored->asChild;
            parent.pieceTail = &stored->asChild.next;
        }
    }
    if (!empty)
        stack_.push_back(
            {element, stored != nullptr ? &stored->firstPiece : nullptr, &element->firstChild_, start});
}

void Parser::EndTag() {
    const char* const start = p_;
    p_ += 2;
    const std::string_view name = ScanName("element name expected in end tag");
    SkipSpace();
    if (AtEnd() || *p_ != '>')
        Fail(p_, "'>' expected at the end of the end tag");
    ++p_;
    if (!entities_.empty() && stack_.size() == entities_.back().depth)
        Fail(start, Quoted("end tag ", name,
                           Quoted(" closes an element opened outside entity ", entities_.back().name)));
    const Frame& open = stack_.back();
    if (name != open.element->Name())
        Fail(start, Quoted("end tag ", name, Quoted(" does not match start tag ", open.element->Name())));
    stack_.pop_back();
}

void Parser::CData() {
    const char* const start = p_;
    p_ += 9;
    const char* s = p_;
    for (;;) {
        const void* q = std::memchr(p_, ']', static_cast<std::size_t>(end_ - p_));
        if (!q || end_ - static_cast<const char*>(q) < 3)
            Fail(start, "unterminated CDATA section");
        p_ = static_cast<const char*>(q);
        if (p_[1] == ']' && p_[2] == '>')
            break;
        ++p_;
    }
    if (p_ > s)
        AddTextPiece({s, static_cast<std::size_t>(p_ - s)});
    p_ += 3;
}

int Parser::ScanReference(char* out, std::string_view& name) {
    const char* const start = p_;
    ++p_;
    if (!AtEnd() && *p_ == '#') {
        ++p_;
        const bool hex = !AtEnd() && *p_ == 'x';
        if (hex)
            ++p_;
        std::uint32_t value = 0;
        const char* digits = p_;
        for (; !AtEnd(); ++p_) {
            const char c = *p_;
            std::uint32_t d;
            if (c >= '0' && c <= '9')
                d = static_cast<std::uint32_t>(c - '0');
            else if (hex && c >= 'a' && c <= 'f')
                d = static_cast<std::uint32_t>(c - 'a' + 10);
            else if (hex && c >= 'A' && c <= 'F')
                d = static_cast<std::uint32_t>(c - 'A' + 10);
            else
                break;
            value = std::min<std::uint32_t>(value * (hex ? 16 : 10) + d, 0x110000);
        }
        if (p_ == digits || AtEnd() || *p_ != ';' || !IsXmlChar(value))
            Fail(start, "invalid character reference");
        ++p_;
        return EncodeUtf8(value, out);
    }
    if (AtEnd() || !Is(*p_, kNameStart))
        Fail(start, "invalid reference: '&' must start an entity or character reference");
    name = ScanName("entity name expected");
    if (AtEnd() || *p_ != ';')
        Fail(start, Quoted("';' expected after entity name ", name));
    ++p_;
    return 0;
}

Parser::Entity& Parser::ResolveEntity(const char* at, std::string_view name, bool inAttribute) {
    const auto it = general_.find(name);
    if (it == general_.end())
        Fail(at, Quoted("undefined entity ", name));
    Entity& e = it->second;
    if (e.kind == EntityKind::External)
        Fail(at, Quoted("reference to external entity ", name, ", which is never read"));
    if (e.kind == EntityKind::Unparsed)
        Fail(at, Quoted("reference to unparsed entity ", name));
    if (e.inUse)
        Fail(at, Quoted("recursive reference to entity ", name));
    if (inAttribute && e.value.find('<') != std::string_view::npos)
        Fail(at, Quoted("'<' in attribute value, from entity ", name));
    CountExpansion(at, e.value.size());
    return e;
}

void Parser::CountExpansion(const char* at, std::size_t bytes) {
    expanded_ += bytes;
    if (expanded_ > expansionBudget_)
        Fail(at, "entity expansion exceeds its limit (" + std::to_string(expansionBudget_) + " bytes)");
}

void Parser::ContentReference() {
    const char* const at = p_;
    char bytes[4];
    std::string_view name;
    if (const int n = ScanReference(bytes, name)) {
        AddDecoded(bytes, static_cast<std::size_t>(n), n == 1 && static_cast<unsigned char>(bytes[0]) <= 32);
        return;
    }
    if (const std::string_view c = PredefinedEntity(name); !c.empty()) {
        AddDecoded(c.data(), c.size(), false);
        return;
    }
    Entity& e = ResolveEntity(at, name, false);
    if (entities_.size() >= static_cast<std::size_t>(kMaxEntityDepth))
        Fail(at, "entity references nested deeper than 32 levels");
    entities_.push_back({p_, end_, anchor_, &e, name, stack_.size()});
    e.inUse = true;
    if (!anchor_)
        anchor_ = at;
    p_ = e.value.data();
    end_ = p_ + e.value.size();
}

// ---- Attributes ----

std::string_view Parser::AttributeValue() {
    if (AtEnd() || (*p_ != '"' && *p_ != '\''))
        Fail(p_, "attribute value must be quoted");
    const char quote = *p_;
    const char* const open = p_++;
    const char* s = p_;
    bool decoded = false;
    for (;;) {
        p_ = SkipUntil(p_, kAttrStop);
        if (AtEnd())
            Fail(open, "unterminated attribute value");
        const char c = *p_;
        if (c == quote)
            break;
        if (c == '<')
            Fail(p_, "'<' in attribute value");
        if (c == '&') {
            if (!decoded) {
                valueBuffer_.clear();
                decoded = true;
            }
            valueBuffer_.append(s, static_cast<std::size_t>(p_ - s));
            AttributeReference(1, valueBuffer_);
            s = p_;
            continue;
        }
        ++p_; // the other quote
    }
    std::string_view value(s, static_cast<std::size_t>(p_ - s));
    ++p_;
    // A compact tree reads the value again from the document when asked for it.
    if (decoded && store_) {
        valueBuffer_.append(value);
        value = arena_.Copy(valueBuffer_);
    }
    return value;
}

void Parser::AttributeReference(int depth, std::string& out) {
    const char* const at = p_;
    char bytes[4];
    std::string_view name;
    if (const int n = ScanReference(bytes, name)) {
        out.append(bytes, static_cast<std::size_t>(n));
        return;
    }
    if (const std::string_view pre = PredefinedEntity(name); !pre.empty()) {
        out.append(pre);
        return;
    }
    Entity& entity = ResolveEntity(at, name, true);
    if (depth > kMaxEntityDepth)
        Fail(at, "entity references nested deeper than 32 levels");
    const EntityScope scope(*this, at, entity);
    while (!AtEnd()) {
        const void* amp = std::memchr(p_, '&', static_cast<std::size_t>(end_ - p_));
        const char* stop = amp ? static_cast<const char*>(amp) : end_;
        out.append(p_, static_cast<std::size_t>(stop - p_));
        p_ = stop;
        if (!AtEnd())
            AttributeReference(depth + 1, out);
    }
}

void Parser::CheckDuplicates() {
    const std::size_t n = attrs_.size();
    if (n < 2)
        return;
    if (n <= 16) {
        for (std::size_t i = 1; i < n; ++i)
            for (std::size_t j = 0; j < i; ++j)
                if (attrs_[i].name == attrs_[j].name)
                    Fail(attrs_[i].name.data(), Quoted("duplicate attribute ", attrs_[i].name));
        return;
    }
    std::unordered_set<std::string_view> seen;
    seen.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        if (!seen.insert(attrs_[i].name).second)
            Fail(attrs_[i].name.data(), Quoted("duplicate attribute ", attrs_[i].name));
}

void Parser::ApplyDefaults(std::string_view element) {
    const auto it = defaults_.find(element);
    if (it == defaults_.end())
        return;
    for (const DefaultAttribute& d : it->second) {
        const bool present =
            std::any_of(attrs_.begin(), attrs_.end(), [&](const Attribute& a) { return a.name == d.name; });
        if (!present)
            attrs_.push_back({d.name, d.value});
    }
}

// ---- Document type declaration ----

void Parser::ParseDoctype() {
    const char* const start = p_;
    p_ += 9;
    RequireSpace("after DOCTYPE");
    ScanName("document type name expected");
    const bool space = SkipSpace();
    if (space && ExternalId(false))
        SkipSpace();
    if (!AtEnd() && *p_ == '[') {
        ++p_;
        ParseInternalSubset(false);
        SkipSpace();
    }
    if (AtEnd())
        Fail(start, "unterminated document type declaration");
    Expect('>', "'>' expected at the end of the document type declaration");
}

void Parser::ParseInternalSubset(bool inParameterEntity) {
    const char* const start = p_ - 1;
    for (;;) {
        SkipSpace();
        if (AtEnd()) {
            if (inParameterEntity)
                return;
            Fail(start, "unterminated internal subset");
        }
        if (*p_ == ']' && !inParameterEntity) {
            ++p_;
            return;
        }
        if (*p_ == '%')
            ParameterEntityReference(parameterDepth_);
        else if (Starts("<!--"))
            SkipComment();
        else if (Starts("<?"))
            SkipProcessingInstruction(false);
        else if (Starts("<!ELEMENT"))
            ElementDecl();
        else if (Starts("<!ATTLIST"))
            AttlistDecl();
        else if (Starts("<!ENTITY"))
            EntityDecl();
        else if (Starts("<!NOTATION"))
            NotationDecl();
        else
            Fail(p_, "markup declaration expected");
    }
}

void Parser::ParameterEntityReference(int depth) {
    const char* const at = p_;
    ++p_;
    const std::string_view name = ScanName("parameter entity name expected");
    Expect(';', Quoted("';' expected after parameter entity name ", name));
    const auto it = parameter_.find(name);
    if (it == parameter_.end())
        Fail(at, Quoted("undefined parameter entity ", name));
    Entity& e = it->second;
    if (e.kind != EntityKind::Internal) {
        // Not read: what it declares is unknown, so later declarations may not be relied on.
        if (!standalone_)
            declarationsIgnored_ = true;
        return;
    }
    if (e.inUse)
        Fail(at, Quoted("recursive reference to parameter entity ", name));
    if (depth >= kMaxEntityDepth)
        Fail(at, "entity references nested deeper than 32 levels");
    CountExpansion(at, e.value.size());
    const EntityScope scope(*this, at, e);
    ++parameterDepth_;
    ParseInternalSubset(true);
    --parameterDepth_;
}

void Parser::ElementDecl() {
    const char* const start = p_;
    p_ += 9;
    RequireSpace("after ELEMENT");
    ScanName("element name expected");
    RequireSpace("before the content model");
    if (!Keyword("EMPTY") && !Keyword("ANY"))
        ContentModel();
    SkipSpace();
    if (AtEnd())
        Fail(start, "unterminated element declaration");
    Expect('>', "'>' expected at the end of the element declaration");
}

void Parser::ContentModel() {
    Expect('(', "content model expected");
    SkipSpace();
    if (Starts("#PCDATA")) {
        p_ += 7;
        SkipSpace();
        if (!AtEnd() && *p_ == ')') {
            ++p_;
            if (!AtEnd() && *p_ == '*')
                ++p_;
            return;
        }
        while (!AtEnd() && *p_ == '|') {
            ++p_;
            SkipSpace();
            ScanName("element name expected in mixed content model");
            SkipSpace();
        }
        if (!Starts(")*"))
            Fail(p_, "')*' expected at the end of a mixed content model");
        p_ += 2;
        return;
    }
    const auto suffix = [this] {
        if (!AtEnd() && (*p_ == '?' || *p_ == '*' || *p_ == '+'))
            ++p_;
    };
    // One separator per open group: none yet, '|' or ','.
    std::vector<char> groups{'\0'};
    for (;;) {
        SkipSpace();
        if (!AtEnd() && *p_ == '(') {
            if (groups.size() >= kMaxContentModelDepth)
                Fail(p_, "content model nested too deeply");
            ++p_;
            groups.push_back('\0');
            continue;
        }
        ScanName("element name expected in content model");
        suffix();
        for (;;) {
            SkipSpace();
            if (AtEnd())
                Fail(p_, "unterminated content model");
            const char c = *p_;
            if (c == ')') {
                ++p_;
                suffix();
                groups.pop_back();
                if (groups.empty())
                    return;
                continue;
            }
            if (c != '|' && c != ',')
                Fail(p_, "'|', ',' or ')' expected in content model");
            if (groups.back() != '\0' && groups.back() != c)
                Fail(p_, "'|' and ',' mixed in one group of a content model");
            groups.back() = c;
            ++p_;
            break;
        }
    }
}

void Parser::Alternatives(bool names) {
    ++p_;
    for (;;) {
        SkipSpace();
        if (names)
            ScanName("notation name expected");
        else
            ScanNmtoken();
        SkipSpace();
        if (!AtEnd() && *p_ == ')')
            break;
        Expect('|', "'|' or ')' expected in an enumerated attribute type");
    }
    ++p_;
}

void Parser::AttlistDecl() {
    const char* const start = p_;
    p_ += 9;
    RequireSpace("after ATTLIST");
    const std::string_view element = ScanName("element name expected");
    for (;;) {
        const bool space = SkipSpace();
        if (AtEnd())
            Fail(start, "unterminated attribute-list declaration");
        if (*p_ == '>') {
            ++p_;
            return;
        }
        if (!space)
            Fail(p_, "white space expected before an attribute definition");
        const std::string_view name = ScanName("attribute name expected");
        RequireSpace("after the attribute name");
        if (!AtEnd() && *p_ == '(') {
            Alternatives(false);
        } else if (Keyword("NOTATION")) {
            RequireSpace("after NOTATION");
            if (AtEnd() || *p_ != '(')
                Fail(p_, "'(' expected after NOTATION");
            Alternatives(true);
        } else if (!Keyword("CDATA") && !Keyword("IDREFS") && !Keyword("IDREF") && !Keyword("ID") &&
                   !Keyword("ENTITY") && !Keyword("ENTITIES") && !Keyword("NMTOKENS") &&
                   !Keyword("NMTOKEN")) {
            Fail(p_, "attribute type expected");
        }
        RequireSpace("before the default declaration");
        if (!AtEnd() && *p_ == '#') {
            ++p_;
            if (Keyword("REQUIRED") || Keyword("IMPLIED"))
                continue;
            if (!Keyword("FIXED"))
                Fail(p_, "#REQUIRED, #IMPLIED or #FIXED expected");
            RequireSpace("after #FIXED");
        }
        const std::string_view value = AttributeValue();
        if (declarationsIgnored_)
            continue;
        std::vector<DefaultAttribute>& list = defaults_[element];
        if (std::none_of(list.begin(), list.end(), [&](const DefaultAttribute& d) { return d.name == name; }))
            list.push_back({name, value});
    }
}

void Parser::EntityDecl() {
    const char* const start = p_;
    p_ += 8;
    RequireSpace("after ENTITY");
    bool parameter = false;
    if (!AtEnd() && *p_ == '%') {
        ++p_;
        parameter = true;
        RequireSpace("after '%'");
    }
    const std::string_view name = ScanName("entity name expected");
    RequireSpace("after the entity name");
    Entity entity;
    if (!AtEnd() && (*p_ == '"' || *p_ == '\'')) {
        entity.value = EntityValue();
    } else {
        if (!ExternalId(false))
            Fail(p_, "entity value or external identifier expected");
        entity.kind = EntityKind::External;
        const bool space = SkipSpace();
        if (space && !parameter && Keyword("NDATA")) {
            RequireSpace("after NDATA");
            ScanName("notation name expected");
            entity.kind = EntityKind::Unparsed;
        }
    }
    SkipSpace();
    if (AtEnd())
        Fail(start, "unterminated entity declaration");
    Expect('>', "'>' expected at the end of the entity declaration");
    if (declarationsIgnored_)
        return;
    // The first declaration of a name counts.
    (parameter ? parameter_ : general_).emplace(name, entity);
}

void Parser::NotationDecl() {
    const char* const start = p_;
    p_ += 10;
    RequireSpace("after NOTATION");
    ScanName("notation name expected");
    RequireSpace("after the notation name");
    if (!ExternalId(true))
        Fail(p_, "external or public identifier expected");
    SkipSpace();
    if (AtEnd())
        Fail(start, "unterminated notation declaration");
    Expect('>', "'>' expected at the end of the notation declaration");
}

std::string_view Parser::QuotedLiteral(std::string_view what) {
    if (AtEnd() || (*p_ != '"' && *p_ != '\''))
        Fail(p_, Quoted("quoted ", what, " expected"));
    const char quote = *p_;
    const char* const open = p_++;
    const void* close = std::memchr(p_, quote, static_cast<std::size_t>(end_ - p_));
    if (!close)
        Fail(open, Quoted("unterminated ", what));
    const std::string_view literal(p_, static_cast<std::size_t>(static_cast<const char*>(close) - p_));
    p_ = static_cast<const char*>(close) + 1;
    return literal;
}

bool Parser::ExternalId(bool publicIdAlone) {
    if (Keyword("SYSTEM")) {
        RequireSpace("after SYSTEM");
        QuotedLiteral("system literal");
        return true;
    }
    if (!Keyword("PUBLIC"))
        return false;
    RequireSpace("after PUBLIC");
    const char* const at = p_;
    const std::string_view pubid = QuotedLiteral("public identifier");
    for (const char c : pubid)
        if (!Is(c, kPubidChar))
            Fail(at, "invalid character in public identifier");
    const char* const afterPubid = p_;
    const bool space = SkipSpace();
    if (space && !AtEnd() && (*p_ == '"' || *p_ == '\''))
        QuotedLiteral("system literal");
    else if (publicIdAlone)
        p_ = afterPubid;
    else
        Fail(p_, "system literal expected after the public identifier");
    return true;
}

// The replacement text of an internal entity: character references are replaced, entity references
// are kept for when the entity is used, parameter-entity references are refused (the internal subset
// does not allow them inside declarations).
std::string_view Parser::EntityValue() {
    const char quote = *p_;
    const char* const open = p_++;
    std::string value;
    for (;;) {
        if (AtEnd())
            Fail(open, "unterminated entity value");
        const char c = *p_;
        if (c == quote) {
            ++p_;
            break;
        }
        if (c == '%')
            Fail(p_, "parameter-entity reference inside a declaration of the internal subset");
        if (c != '&') {
            value.push_back(c);
            ++p_;
            continue;
        }
        const char* const at = p_;
        char bytes[4];
        std::string_view name;
        if (const int n = ScanReference(bytes, name))
            value.append(bytes, static_cast<std::size_t>(n));
        else
            value.append(at, static_cast<std::size_t>(p_ - at));
    }
    return arena_.Copy(value, true);
}

} // namespace detail

// ---- Reading a compact element again ----
//
// A compact element keeps only where its start tag is. Its attributes and text are read again from
// the document's bytes, which the parser has checked: every tag is complete, every value quoted,
// every reference a character reference or one of the five predefined entities (the document
// declares no others), the sentinel after the last byte. So the scans below need no checks.

namespace {

// The position after the checked start tag whose name ends at p, and in empty whether the tag closes
// the element itself: a '>' outside the quoted values ends it, and a '/' outside them stands only
// just before that '>'.
const char* SkipStartTag(const char* p, bool& empty) {
    for (;;) {
        p = SkipUntil(p, kTagStop);
        if (*p == '>') {
            empty = p[-1] == '/';
            return p + 1;
        }
        const char quote = *p;
        do
            ++p;
        while (*p != quote);
        ++p;
    }
}

// Names are short: compared in place, without a call.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

// The first c from p on; there is one.
const char* Next(const char* p, char c) {
    while (*p != c)
        ++p;
    return p;
}

// Appends the bytes of s with their references resolved.
void AppendResolved(std::string_view s, std::string& out) {
    const char* p = s.data();
    const char* const end = p + s.size();
    while (p < end) {
        const void* amp = std::memchr(p, '&', static_cast<std::size_t>(end - p));
        const char* const stop = amp ? static_cast<const char*>(amp) : end;
        out.append(p, static_cast<std::size_t>(stop - p));
        if (stop == end)
            return;
        const char* const semicolon = Next(stop, ';');
        const std::string_view name(stop + 1, static_cast<std::size_t>(semicolon - stop - 1));
        if (name[0] == '#') {
            const bool hex = name[1] == 'x';
            std::uint32_t value = 0;
            for (const char c : name.substr(hex ? 2 : 1))
                value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(rtl::HexDigitValue(c));
            char bytes[4];
            out.append(bytes, static_cast<std::size_t>(EncodeUtf8(value, bytes)));
        } else {
            out.append(PredefinedEntity(name));
        }
        p = semicolon + 1;
    }
}

// A value or run as a view: of the bytes themselves when they hold no reference, else of scratch.
std::string_view Resolved(std::string_view s, std::string& scratch) {
    if (s.find('&') == std::string_view::npos)
        return s;
    scratch.clear();
    AppendResolved(s, scratch);
    return scratch;
}

// The raw value of the attribute `name` of the checked start tag whose element name ends at p.
bool FindRawAttr(const char* p, std::string_view name, std::string_view& raw) {
    for (;;) {
        p = SkipWhile(p, kSpace);
        if (*p == '>' || *p == '/')
            return false;
        const char* const attrName = p;
        p = SkipWhile(p + 1, kNameChar);
        const bool found = SameName(std::string_view(attrName, static_cast<std::size_t>(p - attrName)), name);
        p = SkipWhile(SkipWhile(p, kSpace) + 1, kSpace); // '='
        const char quote = *p++;
        const char* const value = p;
        while (*(p = SkipUntil(p, kAttrStop)) != quote)
            ++p;
        if (found) {
            raw = std::string_view(value, static_cast<std::size_t>(p - value));
            return true;
        }
        ++p;
    }
}

// The position after the end of the markup that starts at p with `open` and ends with `close`.
const char* SkipPast(const char* p, std::string_view open, std::string_view close) {
    p += open.size();
    while (std::memcmp(p, close.data(), close.size()) != 0)
        ++p;
    return p + close.size();
}

bool Blank(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

// The text of a compact element whose content starts at p: the pieces of its whole content in
// document order, as the parser would have stored them, joined into out.
void AppendContentText(const char* p, std::string& out) {
    std::size_t mark = 0;  // the size of out before the open piece and its separating space
    std::size_t start = 0; // where the open piece begins
    bool inRun = false;
    const auto open = [&] {
        mark = out.size();
        if (!out.empty())
            out.push_back(' ');
        start = out.size();
    };
    // Drops a piece that is empty, or a run that is blank.
    const auto close = [&](bool keepBlank) {
        const std::string_view piece(out.data() + start, out.size() - start);
        if (piece.empty() || (!keepBlank && Blank(piece)))
            out.resize(mark);
    };
    int depth = 0;
    for (;;) {
        if (*p != '<') {
            if (!inRun) {
                open();
                inRun = true;
            }
            const char* const s = p;
            p = SkipUntil(p, kTextStop);
            while (*p == ']')
                p = SkipUntil(p + 1, kTextStop);
            if (*p == '&') {
                const char* const semicolon = Next(p, ';');
                AppendResolved(std::string_view(s, static_cast<std::size_t>(semicolon + 1 - s)), out);
                p = semicolon + 1;
            } else {
                out.append(s, static_cast<std::size_t>(p - s));
            }
            continue;
        }
        if (inRun) {
            close(false);
            inRun = false;
        }
        if (p[1] == '/') {
            if (depth-- == 0)
                return;
            p = Next(p, '>') + 1;
        } else if (p[1] == '?') {
            p = SkipPast(p, "<?", "?>");
        } else if (p[1] != '!') {
            bool empty = false;
            p = SkipStartTag(p + 1, empty);
            depth += empty ? 0 : 1;
        } else if (p[2] == '-') {
            p = SkipPast(p, "<!--", "-->");
        } else {
            const char* const data = p + 9; // "<![CDATA["
            const char* const end = SkipPast(p, "<![CDATA[", "]]>");
            open();
            out.append(data, static_cast<std::size_t>(end - 3 - data));
            close(true);
            p = end;
        }
    }
}

} // namespace

// ---- The public classes ----

const TXmlElement& TXmlElementList::Item(int index) const {
    if (index < 0 || index >= Count())
        throw EListError(SListIndexError, {index});
    if (cursor_ == nullptr || index < cursorIndex_) {
        cursor_ = first_;
        cursorIndex_ = 0;
    }
    for (; cursorIndex_ < index; ++cursorIndex_)
        do
            cursor_ = cursor_->nextSibling_;
        while (!SameName(cursor_->Name(), first_->Name()));
    return *cursor_;
}

const TXmlElement::Stored* TXmlElement::StoredPart() const {
    return stored_ ? static_cast<const Stored*>(this) : nullptr;
}

const TXmlElement* TXmlElement::FirstChild(std::string_view name) const {
    for (const TXmlElement* c = firstChild_; c; c = c->nextSibling_)
        if (SameName(c->Name(), name))
            return c;
    return nullptr;
}

TXmlElementList TXmlElement::Children(std::string_view name) const {
    TXmlElementList list;
    list.first_ = FirstChild(name);
    for (const TXmlElement* c = list.first_; c; c = c->nextSibling_)
        list.count_ += SameName(c->Name(), name) ? 1 : 0;
    return list;
}

bool TXmlElement::FindAttr(std::string_view name, std::string& scratch, std::string_view& value) const {
    if (const Stored* stored = StoredPart()) {
        for (std::uint32_t i = 0; i < stored->attrCount; ++i)
            if (stored->attrs[i].name == name) {
                value = stored->attrs[i].value;
                return true;
            }
        return false;
    }
    std::string_view raw;
    if (!FindRawAttr(name_ + nameSize_, name, raw))
        return false;
    value = Resolved(raw, scratch);
    return true;
}

AnsiString TXmlElement::Attr(std::string_view name, std::string_view absent) const {
    std::string scratch;
    return AnsiString(AttrView(name, scratch, absent));
}

std::string_view TXmlElement::AttrView(std::string_view name, std::string& scratch,
                                       std::string_view absent) const {
    std::string_view value;
    return FindAttr(name, scratch, value) ? value : absent;
}

std::int32_t TXmlElement::IntAttr(std::string_view name, std::int32_t absent) const {
    std::string scratch;
    std::string_view value;
    return FindAttr(name, scratch, value) ? rtl::StrToInt(value) : absent;
}

AnsiString TXmlElement::Text() const {
    std::string scratch;
    const std::string_view text = TextView(scratch);
    // The text made in scratch goes over as it is.
    if (text.data() == scratch.data() && text.size() == scratch.size())
        return scratch;
    return AnsiString(text);
}

std::string_view TXmlElement::TextView(std::string& scratch) const {
    if (const Stored* stored = StoredPart()) {
        // Most elements hold one run of text or none: no walk needed.
        const Piece* const first = stored->firstPiece;
        if (first == nullptr)
            return {};
        if (first->next == nullptr && first->child == nullptr)
            return first->text;
        // The text pieces of the whole subtree in document order, without recursion.
        scratch.clear();
        std::vector<const Piece*> pending{first};
        while (!pending.empty()) {
            const Piece* piece = pending.back();
            if (!piece) {
                pending.pop_back();
                continue;
            }
            pending.back() = piece->next;
            if (piece->child) {
                pending.push_back(piece->child->StoredPart()->firstPiece);
            } else if (!piece->text.empty()) {
                if (!scratch.empty())
                    scratch.push_back(' ');
                scratch.append(piece->text);
            }
        }
        return scratch;
    }
    bool empty = false;
    const char* const content = SkipStartTag(name_ + nameSize_, empty);
    if (empty)
        return {};
    // Most elements hold one run of text, or nothing, before their end tag.
    const char* p = SkipUntil(content, kTextStop);
    while (*p == ']')
        p = SkipUntil(p + 1, kTextStop);
    if (p[0] == '<' && p[1] == '/') {
        const std::string_view run(content, static_cast<std::size_t>(p - content));
        return Blank(run) ? std::string_view() : run;
    }
    scratch.clear();
    AppendContentText(content, scratch);
    return scratch;
}

TXmlDocument::TXmlDocument() : tree_(std::make_unique<Tree>()) {}

TXmlDocument::~TXmlDocument() = default;

void TXmlDocument::LoadFromFile(const AnsiString& fileName) {
    tree_ = std::make_unique<Tree>();
    std::vector<char> bytes = rtl::ReadWholeFile(fileName, 1);
    bytes.push_back(kSentinel); // within the capacity: the file is held once
    Load(std::move(bytes));
}

void TXmlDocument::LoadXml(std::string_view bytes) {
    tree_ = std::make_unique<Tree>();
    std::vector<char> buffer;
    buffer.reserve(bytes.size() + 1);
    buffer.assign(bytes.begin(), bytes.end());
    buffer.push_back(kSentinel);
    Load(std::move(buffer));
}

void TXmlDocument::Load(std::vector<char> buffer) {
    auto tree = std::make_unique<Tree>();
    tree->buffer = std::move(buffer);
    const char* begin = tree->buffer.data();
    const char* end = begin + tree->buffer.size() - 1;
    if (static_cast<std::size_t>(end - begin) > kBinarySignature.size() &&
        std::string_view(begin, kBinarySignature.size()) == kBinarySignature)
        throw EXmlSyntaxError(1, 1, ResStr(SXmlBinaryForm));
    detail::Parser parser(begin, end, tree->arena);
    tree->root = parser.Parse(tree->version, tree->encoding);
    tree_ = std::move(tree);
}

const TXmlElement* TXmlDocument::DocumentElement() const {
    return tree_->root;
}

const AnsiString& TXmlDocument::Version() const {
    return tree_->version;
}

const AnsiString& TXmlDocument::Encoding() const {
    return tree_->encoding;
}

} // namespace xml

// Reading well-formed documents: the tree, the text rules, attribute values, references, DOCTYPE and
// entities, the document's properties and loading from a file.
#include "XmlDocument.h"
#include "Exceptions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

using xml::TXmlDocument;
using xml::TXmlElement;

// A loaded document whose root element must exist.
class Loaded {
public:
    explicit Loaded(std::string_view bytes) { doc_.LoadXml(bytes); }
    const TXmlElement& Root() const {
        const TXmlElement* root = doc_.DocumentElement();
        if (!root)
            throw std::runtime_error("no root element");
        return *root;
    }
    const TXmlDocument& Doc() const { return doc_; }

private:
    TXmlDocument doc_;
};

// A document is read into one of two kinds of tree: a compact one, whose elements read their
// attributes and text again from the document's bytes, and, for a document whose DTD declares
// general entities or attribute defaults, one that stores them. The same document with such a
// declaration in front must read the same in both.
std::vector<std::string> BothTrees(const std::string& xml) {
    return {xml, "<!DOCTYPE any [<!ENTITY unused ''>]>" + xml};
}

struct TextCase {
    const char* name;
    std::string xml;
    std::string text; // of the root element
};

class TextRules : public testing::TestWithParam<TextCase> {};

TEST_P(TextRules, RootText) {
    for (const std::string& xml : BothTrees(GetParam().xml)) {
        const Loaded doc(xml);
        EXPECT_EQ(doc.Root().Text(), GetParam().text) << xml;
        std::string scratch;
        EXPECT_EQ(doc.Root().TextView(scratch), GetParam().text) << xml;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Xml, TextRules,
    testing::Values(TextCase{"PiecesJoinedWithOneSpace", "<a>x<b>y</b>z</a>", "x y z"},
                    TextCase{"BlankRunsDropped", "<a>  <b>y</b>  </a>", "y"},
                    TextCase{"SpaceKeptAroundText", "<a> x </a>", " x "},
                    TextCase{"EmptyElement", "<a/>", ""}, TextCase{"EmptyPair", "<a></a>", ""},
                    TextCase{"EmptyChildAddsNothing", "<a>x<b/>y</a>", "x y"},
                    TextCase{"NestedChildren", "<a><b>1<c>2</c></b><d>3</d></a>", "1 2 3"},
                    TextCase{"ControlBytesCountAsBlank", "<a>\x01\x1f <b>y</b>\t\r\n</a>", "y"},
                    TextCase{"LineBreaksKeptAsTheyStand", "<a>one\r\ntwo</a>", "one\r\ntwo"},
                    TextCase{"PredefinedEntities", "<a>&lt;&gt;&amp;&apos;&quot;</a>", "<>&'\""},
                    TextCase{"ReferenceJoinsItsRun", "<a>x&amp;y</a>", "x&y"},
                    TextCase{"BlankCharacterReferenceIsBlank", "<a>&#32;&#x9;<b>y</b></a>", "y"},
                    TextCase{"ReferenceMakesRunNonBlank", "<a> &amp; </a>", " & "},
                    TextCase{"CDataAsItStands", "<a><![CDATA[<x> &amp; ]]]></a>", "<x> &amp; ]"},
                    TextCase{"CDataIsItsOwnPiece", "<a>x<![CDATA[y]]>z</a>", "x y z"},
                    TextCase{"BlankCDataIsKept", "<a>x<![CDATA[  ]]>z</a>", "x    z"},
                    TextCase{"EmptyCDataAddsNothing", "<a>x<![CDATA[]]>z</a>", "x z"},
                    TextCase{"CommentSplitsRuns", "<a>x<!-- c -->y</a>", "x y"},
                    TextCase{"ProcessingInstructionSplitsRuns", "<a>x<?pi data?>y</a>", "x y"},
                    TextCase{"CommentBetweenBlanks", "<a>  <!-- c -->  </a>", ""},
                    TextCase{"SingleBracketsInText", "<a>]] ]>a]</a>", "]] ]>a]"},
                    TextCase{"Utf8BytesUntouched", "<a>\xD0\xA2\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82</a>",
                             "\xD0\xA2\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82"},
                    TextCase{"NulByteIsData", std::string("<a>x\0y</a>", 10), std::string("x\0y", 3)},
                    TextCase{"GreaterThanInText", "<a>a > b</a>", "a > b"},
                    TextCase{"TagsInsideAttributeValues", "<a x='>'>1<b y=\"/>\">2</b>3</a>", "1 2 3"},
                    TextCase{"EmptyChildWithAttributes", "<a>1<b y='/'/>2</a>", "1 2"},
                    TextCase{"EndTagWithSpace", "<a>1<b>2</b >3</a >", "1 2 3"},
                    TextCase{"MarkupInsideComment", "<a>1<!-- <b> -->2</a>", "1 2"},
                    TextCase{"MarkupInsideProcessingInstruction", "<a>1<?pi <b> ?>2</a>", "1 2"},
                    TextCase{"ReferencesInAChildsText", "<a><b>&lt;&#x41;</b>&amp;</a>", "<A &"},
                    TextCase{"BlankCDataInAChild", "<a><b><![CDATA[ ]]></b>x</a>", "  x"}),
    [](const auto& info) { return info.param.name; });

struct CharRefCase {
    const char* name;
    const char* xml;
    std::string text;
};

class CharacterReferences : public testing::TestWithParam<CharRefCase> {};

TEST_P(CharacterReferences, DecodeToUtf8) {
    for (const std::string& xml : BothTrees(GetParam().xml))
        EXPECT_EQ(Loaded(xml).Root().Text(), GetParam().text) << xml;
}

INSTANTIATE_TEST_SUITE_P(
    Xml, CharacterReferences,
    testing::Values(CharRefCase{"AsciiDecimal", "<a>&#65;</a>", "A"},
                    CharRefCase{"AsciiHex", "<a>&#x41;&#x6a;&#x6A;</a>", "Ajj"},
                    CharRefCase{"LeadingZeros", "<a>&#0000065;</a>", "A"},
                    CharRefCase{"TwoBytes", "<a>&#x422;</a>", "\xD0\xA2"},
                    CharRefCase{"ThreeBytes", "<a>&#x20AC;</a>", "\xE2\x82\xAC"},
                    CharRefCase{"FourBytes", "<a>&#x1F600;</a>", "\xF0\x9F\x98\x80"},
                    CharRefCase{"Highest", "<a>&#x10FFFF;</a>", "\xF4\x8F\xBF\xBF"},
                    CharRefCase{"LastBeforeSurrogates", "<a>&#xD7FF;</a>", "\xED\x9F\xBF"},
                    CharRefCase{"FirstAfterSurrogates", "<a>&#xE000;</a>", "\xEE\x80\x80"},
                    CharRefCase{"FFFD", "<a>&#65533;</a>", "\xEF\xBF\xBD"},
                    CharRefCase{"LineFeedInText", "<a>x&#10;y</a>", "x\ny"}),
    [](const auto& info) { return info.param.name; });

struct AttrCase {
    const char* name;
    const char* xml;
    const char* attr;
    std::string value;
};

class AttributeValues : public testing::TestWithParam<AttrCase> {};

TEST_P(AttributeValues, Value) {
    for (const std::string& xml : BothTrees(GetParam().xml)) {
        const Loaded doc(xml);
        EXPECT_EQ(doc.Root().Attr(GetParam().attr, "<absent>"), GetParam().value) << xml;
        std::string scratch;
        EXPECT_EQ(doc.Root().AttrView(GetParam().attr, scratch, "<absent>"), GetParam().value) << xml;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Xml, AttributeValues,
    testing::Values(AttrCase{"DoubleQuoted", "<a x=\"1\"/>", "x", "1"},
                    AttrCase{"SingleQuoted", "<a x='1'/>", "x", "1"},
                    AttrCase{"OtherQuoteInside", "<a x='say \"hi\"' y=\"it's\"/>", "x", "say \"hi\""},
                    AttrCase{"ApostropheInside", "<a x='1' y=\"it's\"/>", "y", "it's"},
                    AttrCase{"SpacesAroundEquals", "<a x \t= \n'1' />", "x", "1"},
                    AttrCase{"Empty", "<a x=''/>", "x", ""},
                    AttrCase{"TabAndLineFeedKept", "<a x='a\tb\nc\r\nd'/>", "x", "a\tb\nc\r\nd"},
                    AttrCase{"References", "<a x='&lt;&amp;&#x41;&#66;&quot;'/>", "x", "<&AB\""},
                    AttrCase{"GreaterThan", "<a x='a>b'/>", "x", "a>b"},
                    AttrCase{"Absent", "<a x='1'/>", "y", "<absent>"},
                    AttrCase{"NamesAreCaseSensitive", "<a X='1'/>", "x", "<absent>"},
                    AttrCase{"SecondOfSeveral", "<a x='1' y='2' z='3'/>", "y", "2"},
                    AttrCase{"NameCharacters", "<a _x.y-z:9='v'/>", "_x.y-z:9", "v"},
                    AttrCase{"Utf8Name", "<a \xD0\xB8\xD0\xBC\xD1\x8F='v'/>", "\xD0\xB8\xD0\xBC\xD1\x8F",
                             "v"}),
    [](const auto& info) { return info.param.name; });

TEST(XmlAttributes, ManyAttributesWithTheSameStartAreDistinct) {
    std::string xml = "<a";
    for (int i = 0; i < 40; ++i)
        xml += " n" + std::to_string(i) + "='" + std::to_string(i * 2) + "'";
    xml += "/>";
    const Loaded doc(xml);
    EXPECT_EQ(doc.Root().Attr("n0"), "0");
    EXPECT_EQ(doc.Root().Attr("n39"), "78");
}

TEST(XmlAttributes, IntAttr) {
    const Loaded doc("<a id='1033' neg='-5' hex='$1F' big='99999999999' word='abc' empty=''/>");
    const TXmlElement& a = doc.Root();
    EXPECT_EQ(a.IntAttr("id", 0), 1033);
    EXPECT_EQ(a.IntAttr("neg", 0), -5);
    EXPECT_EQ(a.IntAttr("hex", 0), 31);
    EXPECT_EQ(a.IntAttr("missing", 42), 42);
    for (const char* bad : {"big", "word", "empty"}) {
        try {
            a.IntAttr(bad, 0);
            ADD_FAILURE() << bad << " was accepted";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + a.Attr(bad) + "' is not a valid integer value");
        }
    }
}

// A text of one run without references, and an attribute value without them, are views of the
// document's bytes; others are made in the scratch string.
TEST(XmlTree, ViewsOfTheDocumentWhereNothingIsResolved) {
    const Loaded doc("<r><s v='plain' w='a&amp;b'>text</s><t>a&amp;b</t></r>");
    const TXmlElement& s = *doc.Root().FirstChild("s");
    std::string scratch = "unchanged";
    EXPECT_EQ(s.TextView(scratch), "text");
    EXPECT_EQ(s.AttrView("v", scratch), "plain");
    EXPECT_EQ(scratch, "unchanged");
    EXPECT_EQ(s.AttrView("w", scratch).data(), scratch.data());
    EXPECT_EQ(scratch, "a&b");
    EXPECT_EQ(doc.Root().FirstChild("t")->TextView(scratch).data(), scratch.data());
    EXPECT_EQ(scratch, "a&b");
}

TEST(XmlTree, Navigation) {
    const Loaded doc("<r><s i='1'/><t/><s i='2'><s i='inner'/></s><S i='upper'/></r>");
    const TXmlElement& r = doc.Root();
    EXPECT_EQ(r.Name(), "r");
    ASSERT_NE(r.FirstChild("s"), nullptr);
    EXPECT_EQ(r.FirstChild("s")->Attr("i"), "1");
    EXPECT_EQ(r.FirstChild("missing"), nullptr);
    EXPECT_EQ(r.FirstChild("S")->Attr("i"), "upper");

    const xml::TXmlElementList list = r.Children("s");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(0).Attr("i"), "1");
    EXPECT_EQ(list.Item(1).Attr("i"), "2");
    EXPECT_EQ(list.Item(0).Attr("i"), "1"); // back again
    EXPECT_EQ(list.Item(1).Attr("i"), "2");
    EXPECT_EQ(list.Item(1).Children("s").Item(0).Attr("i"), "inner");
    EXPECT_EQ(r.Children("none").Count(), 0);
    for (int bad : {-1, 2}) {
        try {
            list.Item(bad);
            ADD_FAILURE() << bad << " was accepted";
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(bad) + ")");
        }
    }
}

struct DocumentCase {
    const char* name;
    std::string xml;
    const char* root; // nullptr: no element
    const char* version;
    const char* encoding;
};

class DocumentProperties : public testing::TestWithParam<DocumentCase> {};

TEST_P(DocumentProperties, RootVersionEncoding) {
    const DocumentCase& c = GetParam();
    TXmlDocument doc;
    doc.LoadXml(c.xml);
    if (c.root) {
        ASSERT_NE(doc.DocumentElement(), nullptr);
        EXPECT_EQ(doc.DocumentElement()->Name(), c.root);
    } else {
        EXPECT_EQ(doc.DocumentElement(), nullptr);
    }
    EXPECT_EQ(doc.Version(), c.version);
    EXPECT_EQ(doc.Encoding(), c.encoding);
}

INSTANTIATE_TEST_SUITE_P(
    Xml, DocumentProperties,
    testing::Values(
        DocumentCase{"Empty", "", nullptr, "1.0", "windows-1251"},
        DocumentCase{"OnlyBlanks", " \r\n\t", nullptr, "1.0", "windows-1251"},
        DocumentCase{"OnlyDeclaration", "<?xml version='1.0' encoding='utf-8'?>", nullptr, "1.0", "utf-8"},
        DocumentCase{"OnlyComments", "<!-- a --><?pi x?><!-- b -->", nullptr, "1.0", "windows-1251"},
        DocumentCase{"OnlyText", "just text & stuff", nullptr, "1.0", "windows-1251"},
        DocumentCase{"OnlyDoctype", "<!DOCTYPE a [<!ENTITY e 'x'>]>", nullptr, "1.0", "windows-1251"},
        DocumentCase{"OnlyBom", "\xEF\xBB\xBF", nullptr, "1.0", "windows-1251"},
        DocumentCase{"NoDeclaration", "<a/>", "a", "1.0", "windows-1251"},
        DocumentCase{"DeclarationVersionOnly", "<?xml version=\"1.1\"?><a/>", "a", "1.1", "windows-1251"},
        DocumentCase{"DeclarationFull",
                     "<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>\n<Language/>", "Language",
                     "1.0", "UTF-8"},
        DocumentCase{"EncodingNotApplied", "<?xml version='1.0' encoding='utf-16'?><a/>", "a", "1.0",
                     "utf-16"},
        DocumentCase{"Bom", "\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8'?><a/>", "a", "1.0", "utf-8"},
        DocumentCase{"TextBeforeRootPassedOver", "garbage ]]> & text\n<a/>", "a", "1.0", "windows-1251"},
        DocumentCase{"MiscAfterRoot", "<a/> <!-- c --> <?pi?>\r\n", "a", "1.0", "windows-1251"},
        DocumentCase{"XmlPrefixedTarget", "<?xml-stylesheet href='x'?><a/>", "a", "1.0", "windows-1251"}),
    [](const auto& info) { return info.param.name; });

TEST(XmlDocument, FailedLoadLeavesTheDocumentEmpty) {
    TXmlDocument doc;
    doc.LoadXml("<?xml version='1.0' encoding='utf-8'?><a/>");
    ASSERT_NE(doc.DocumentElement(), nullptr);
    EXPECT_THROW(doc.LoadXml("<?xml version='1.0' encoding='koi8-r'?><a>"), EXmlSyntaxError);
    EXPECT_EQ(doc.DocumentElement(), nullptr);
    EXPECT_EQ(doc.Version(), "1.0");
    EXPECT_EQ(doc.Encoding(), "windows-1251");
}

TEST(XmlDocument, TreeOutlivesTheLoadedBytes) {
    TXmlDocument doc;
    {
        std::string bytes = "<a x='1'>text<b/></a>";
        doc.LoadXml(bytes);
        bytes.assign(bytes.size(), '#');
    }
    EXPECT_EQ(doc.DocumentElement()->Text(), "text");
    EXPECT_EQ(doc.DocumentElement()->Attr("x"), "1");
}

TEST(XmlDocument, DeepNestingUpToTheLimit) {
    std::string xml;
    for (int i = 0; i < 1000; ++i)
        xml += "<e>";
    xml += "x";
    for (int i = 0; i < 1000; ++i)
        xml += "</e>";
    const Loaded doc(xml);
    EXPECT_EQ(doc.Root().Text(), "x");
}

TEST(XmlDocument, BinaryFormIsRefused) {
    TXmlDocument doc;
    try {
        doc.LoadXml(std::string("< binary-xml >\x01\x02\x03", 17));
        FAIL() << "binary form accepted";
    } catch (const EXmlSyntaxError& e) {
        EXPECT_EQ(e.Line(), 1);
        EXPECT_EQ(e.Column(), 1);
        EXPECT_EQ(e.Message(),
                  "XML syntax error at line 1, column 1: The binary form of XML documents is not supported");
    }
    EXPECT_EQ(doc.DocumentElement(), nullptr);
}

// ---- DOCTYPE and entities ----

struct EntityCase {
    const char* name;
    std::string xml;
    std::string text;
    std::string attr; // of attribute "v" of the root
};

class Entities : public testing::TestWithParam<EntityCase> {};

TEST_P(Entities, Expanded) {
    const Loaded doc(GetParam().xml);
    EXPECT_EQ(doc.Root().Text(), GetParam().text);
    EXPECT_EQ(doc.Root().Attr("v"), GetParam().attr);
}

INSTANTIATE_TEST_SUITE_P(
    Xml, Entities,
    testing::Values(
        EntityCase{"InContentAndAttribute", "<!DOCTYPE a [<!ENTITY e 'xyz'>]><a v='1&e;2'>1&e;2</a>", "1xyz2",
                   "1xyz2"},
        EntityCase{"FirstDeclarationWins",
                   "<!DOCTYPE a [<!ENTITY e 'one'><!ENTITY e 'two'>]><a v='&e;'>&e;</a>", "one", "one"},
        EntityCase{"Nested", "<!DOCTYPE a [<!ENTITY i 'in'><!ENTITY o '[&i;]'>]><a v='&o;'>&o;</a>", "[in]",
                   "[in]"},
        EntityCase{"DeclaredLaterUsedEarlierInDeclarations",
                   "<!DOCTYPE a [<!ENTITY o '(&i;)'><!ENTITY i 'in'>]><a v='&o;'>&o;</a>", "(in)", "(in)"},
        EntityCase{"CharacterReferenceDecodedAtDeclaration",
                   "<!DOCTYPE a [<!ENTITY e '&#x41;&#38;#66;'>]><a>&e;</a>", "AB", ""},
        EntityCase{"MarkupParsedAsContent",
                   "<!DOCTYPE a [<!ENTITY e 'x<b>y</b><![CDATA[<c>]]><!--n-->z'>]><a>1&e;2</a>",
                   "1x y <c> z2", ""},
        EntityCase{"ElementFromEntityIsAChild", "<!DOCTYPE a [<!ENTITY e '<b v=\"in\"/>'>]><a>&e;</a>", "",
                   ""},
        EntityCase{"QuoteInEntityDoesNotEndAttribute", "<!DOCTYPE a [<!ENTITY q '\"'>]><a v=\"&q;x&q;\"/>",
                   "", "\"x\""},
        EntityCase{"BlankEntityRunDropped", "<!DOCTYPE a [<!ENTITY s '  '>]><a>&s;<b>y</b>&s;</a>", "y", ""},
        EntityCase{"PredefinedMayBeDeclared", "<!DOCTYPE a [<!ENTITY lt '&#38;#60;'>]><a>&lt;</a>", "<", ""},
        EntityCase{"ParameterEntityDeclaresEntity",
                   "<!DOCTYPE a [<!ENTITY % p '<!ENTITY e \"from-pe\">'> %p; ]><a>&e;</a>", "from-pe", ""},
        EntityCase{"AttlistDefaultSupplied",
                   "<!DOCTYPE a [<!ENTITY e 'ent'><!ATTLIST a v CDATA 'd&e;' w CDATA #IMPLIED>]><a/>", "",
                   "dent"},
        EntityCase{"AttlistDefaultDoesNotOverride",
                   "<!DOCTYPE a [<!ATTLIST a v CDATA #FIXED 'd'>]><a v='own'/>", "", "own"},
        EntityCase{"ExternalParameterEntityStopsLaterDeclarations",
                   "<!DOCTYPE a [<!ENTITY e 'first'><!ENTITY % x SYSTEM 'x.ent'> %x; <!ENTITY f 'later'>]>"
                   "<a>&e;</a>",
                   "first", ""},
        EntityCase{"StandaloneKeepsDeclarationsAfterExternalParameterEntity",
                   "<?xml version='1.0' standalone='yes'?><!DOCTYPE a [<!ENTITY % x SYSTEM 'x.ent'> %x; "
                   "<!ENTITY f 'later'>]><a>&f;</a>",
                   "later", ""},
        EntityCase{"UnusedExternalEntitiesAreFine",
                   "<!DOCTYPE a SYSTEM 'a.dtd' [<!ENTITY x SYSTEM 'x.xml'><!NOTATION n PUBLIC 'p'>"
                   "<!ENTITY u SYSTEM 'u.bin' NDATA n>]><a>t</a>",
                   "t", ""}),
    [](const auto& info) { return info.param.name; });

TEST(XmlEntities, InternalSubsetDeclarationsAreAccepted) {
    const char* xml = R"(<?xml version="1.0"?>
<!DOCTYPE Language PUBLIC "-//Q//DTD Lang 1.0//EN" "lang.dtd" [
  <!-- comment -->
  <?pi in subset?>
  <!ELEMENT Language (Info, Resource_Strings?, (RCData | Extra)*)>
  <!ELEMENT Info EMPTY>
  <!ELEMENT Any ANY>
  <!ELEMENT String (#PCDATA)>
  <!ELEMENT Mixed (#PCDATA | b | i)*>
  <!ELEMENT Deep ((a, (b | c)+)?, d*)+>
  <!ATTLIST Info Lang_ID CDATA #REQUIRED
                 Kind (one | two | 3) "one"
                 Ref IDREF #IMPLIED
                 N NOTATION (n) #IMPLIED>
  <!NOTATION n SYSTEM "viewer">
  <!ENTITY % pe "<!ELEMENT Extra EMPTY>">
  %pe;
]>
<Language><Info Lang_ID="1033"/></Language>)";
    const Loaded doc(xml);
    EXPECT_EQ(doc.Root().FirstChild("Info")->Attr("Kind"), "one");
    EXPECT_EQ(doc.Root().FirstChild("Info")->IntAttr("Lang_ID", 0), 1033);
}

TEST(XmlEntities, ElementFromEntityIsAChildWithItsAttributes) {
    const Loaded doc("<!DOCTYPE a [<!ENTITY e '<b v=\"in\">t</b>'>]><a>&e;&e;</a>");
    ASSERT_EQ(doc.Root().Children("b").Count(), 2);
    EXPECT_EQ(doc.Root().Children("b").Item(1).Attr("v"), "in");
    EXPECT_EQ(doc.Root().Text(), "t t");
}

// ---- Files ----

class XmlFile : public testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("qrl_xml_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    AnsiString Write(const char* name, std::string_view bytes) {
        const std::filesystem::path path = dir_ / name;
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
    std::filesystem::path dir_;
};

TEST_F(XmlFile, LoadsARealFile) {
    TXmlDocument doc;
    doc.LoadFromFile(Write("lang.xml", "\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8'?>\r\n"
                                       "<Language><String ID='7'>a &amp; b</String></Language>\r\n"));
    ASSERT_NE(doc.DocumentElement(), nullptr);
    EXPECT_EQ(doc.Encoding(), "utf-8");
    EXPECT_EQ(doc.DocumentElement()->FirstChild("String")->IntAttr("ID", 0), 7);
    EXPECT_EQ(doc.DocumentElement()->Text(), "a & b");
}

TEST_F(XmlFile, ErrorsNameLineAndColumnOfTheFile) {
    TXmlDocument doc;
    try {
        doc.LoadFromFile(Write("bad.xml", "<a>\r\n  <b>\r\n</a>"));
        FAIL() << "accepted";
    } catch (const EXmlSyntaxError& e) {
        EXPECT_EQ(e.Line(), 3);
        EXPECT_EQ(e.Column(), 1);
    }
}

TEST_F(XmlFile, MissingFileRaisesEFOpenError) {
    TXmlDocument doc;
    doc.LoadXml("<a/>");
    EXPECT_THROW(doc.LoadFromFile((dir_ / "missing.xml").string()), EFOpenError);
    EXPECT_EQ(doc.DocumentElement(), nullptr);
}

TEST_F(XmlFile, EmptyFileHasNoElement) {
    TXmlDocument doc;
    doc.LoadFromFile(Write("empty.xml", ""));
    EXPECT_EQ(doc.DocumentElement(), nullptr);
}

} // namespace

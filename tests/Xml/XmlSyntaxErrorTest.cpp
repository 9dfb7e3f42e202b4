// Documents that are not well-formed, and hostile ones: each is refused with EXmlSyntaxError at the
// line and column of the offending place.
#include "Exceptions.h"
#include "XmlDocument.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct BadCase {
    const char* name;
    std::string xml;
    int line;
    int column;
    const char* detail;
};

void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.name;
}

class Malformed : public testing::TestWithParam<BadCase> {};

TEST_P(Malformed, RaisesSyntaxErrorAtThePlace) {
    const BadCase& c = GetParam();
    xml::TXmlDocument doc;
    try {
        doc.LoadXml(c.xml);
        FAIL() << "accepted: " << c.xml;
    } catch (const EXmlSyntaxError& e) {
        EXPECT_EQ(e.Message(), "XML syntax error at line " + std::to_string(c.line) + ", column " +
                                   std::to_string(c.column) + ": " + c.detail);
        EXPECT_EQ(e.Line(), c.line);
        EXPECT_EQ(e.Column(), c.column);
    }
    EXPECT_EQ(doc.DocumentElement(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, Malformed,
    testing::Values(
        BadCase{"Unclosed", "<a>\n  <b>text</b>\n", 1, 1, "unclosed element 'a'"},
        BadCase{"UnclosedInner", "<a>\n  <b>text\n</a>", 3, 1, "end tag 'a' does not match start tag 'b'"},
        BadCase{"Mismatched", "<a></A>", 1, 4, "end tag 'A' does not match start tag 'a'"},
        BadCase{"UnterminatedStartTag", "<a>\n <b x='1'", 2, 2, "unterminated start tag 'b'"},
        BadCase{"EndTagWithoutName", "<a></>", 1, 6, "element name expected in end tag"},
        BadCase{"EndTagNotClosed", "<a></a x>", 1, 8, "'>' expected at the end of the end tag"},
        BadCase{"EndTagBeforeRoot", "</a>", 1, 1, "end tag without a start tag"},
        BadCase{"SlashNotFollowedByGreater", "<a/ >", 1, 3, "'>' expected after '/'"},
        BadCase{"NameStartsWithDigit", "<1a/>", 1, 2, "element name expected"},
        BadCase{"NameStartsWithDash", "<a><-b/></a>", 1, 5, "element name expected"},
        BadCase{"SpaceAfterLessThan", "<a>< b/></a>", 1, 5, "element name expected"},
        BadCase{"BadCharacterInName", "<a!b/>", 1, 3, "white space expected before an attribute"},
        BadCase{"ExactlyTheBinarySignatureIsText", "< binary-xml >", 1, 2, "element name expected"},
        BadCase{"InvalidMarkupInContent", "<a><!x></a>", 1, 4, "invalid markup"},
        BadCase{"DoctypeInContent", "<a><!DOCTYPE a></a>", 1, 4, "invalid markup"},
        BadCase{"TooDeep",
                [] {
                    std::string s;
                    for (int i = 0; i < 1001; ++i)
                        s += "<e>";
                    return s;
                }(),
                1, 3001, "elements nested deeper than 1000 levels"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Attributes, Malformed,
    testing::Values(BadCase{"MissingEquals", "<a x '1'/>", 1, 6, "'=' expected after attribute name 'x'"},
                    BadCase{"MissingValue", "<a x=/>", 1, 6, "attribute value must be quoted"},
                    BadCase{"Unquoted", "<a x=1/>", 1, 6, "attribute value must be quoted"},
                    BadCase{"Unterminated", "<a x='1/>", 1, 6, "unterminated attribute value"},
                    BadCase{"UnterminatedAtEnd", "<a x='1", 1, 6, "unterminated attribute value"},
                    BadCase{"NoSpaceBetween", "<a x='1'y='2'/>", 1, 9,
                            "white space expected before an attribute"},
                    BadCase{"Duplicate", "<a x='1'\n   x='2'/>", 2, 4, "duplicate attribute 'x'"},
                    BadCase{"DuplicateAmongMany",
                            [] {
                                std::string s = "<a";
                                for (int i = 0; i < 30; ++i)
                                    s += " n" + std::to_string(i) + "='v'";
                                return s + " n7='again'/>";
                            }(),
                            1, 234, "duplicate attribute 'n7'"},
                    BadCase{"LessThanInValue", "<a x='a<b'/>", 1, 8, "'<' in attribute value"},
                    BadCase{"BareAmpersand", "<a x='a & b'/>", 1, 9,
                            "invalid reference: '&' must start an entity or character reference"},
                    BadCase{"BadAttributeName", "<a -x='1'/>", 1, 4, "attribute name expected"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    References, Malformed,
    testing::Values(
        BadCase{"UndefinedEntity", "<a>x &nbsp; y</a>", 1, 6, "undefined entity 'nbsp'"},
        BadCase{"UndefinedInAttribute", "<a x='&nbsp;'/>", 1, 7, "undefined entity 'nbsp'"},
        BadCase{"EntityWithoutSemicolon", "<a>&amp </a>", 1, 4, "';' expected after entity name 'amp'"},
        BadCase{"BareAmpersand", "<a>a & b</a>", 1, 6,
                "invalid reference: '&' must start an entity or character reference"},
        BadCase{"EmptyDecimal", "<a>&#;</a>", 1, 4, "invalid character reference"},
        BadCase{"EmptyHex", "<a>&#x;</a>", 1, 4, "invalid character reference"},
        BadCase{"DigitsThenLetter", "<a>&#12a;</a>", 1, 4, "invalid character reference"},
        BadCase{"UpperCaseX", "<a>&#X41;</a>", 1, 4, "invalid character reference"},
        BadCase{"HexDigitInDecimal", "<a>&#1F;</a>", 1, 4, "invalid character reference"},
        BadCase{"NoSemicolon", "<a>&#65</a>", 1, 4, "invalid character reference"},
        BadCase{"Zero", "<a>&#0;</a>", 1, 4, "invalid character reference"},
        BadCase{"ControlCharacter", "<a>&#x1;</a>", 1, 4, "invalid character reference"},
        BadCase{"Escape", "<a>&#27;</a>", 1, 4, "invalid character reference"},
        BadCase{"SurrogateLow", "<a>&#xD800;</a>", 1, 4, "invalid character reference"},
        BadCase{"SurrogateHigh", "<a>&#xDFFF;</a>", 1, 4, "invalid character reference"},
        BadCase{"FFFE", "<a>&#xFFFE;</a>", 1, 4, "invalid character reference"},
        BadCase{"FFFF", "<a>&#65535;</a>", 1, 4, "invalid character reference"},
        BadCase{"AboveUnicode", "<a>&#x110000;</a>", 1, 4, "invalid character reference"},
        BadCase{"HugeNumber", "<a>&#99999999999999999999;</a>", 1, 4, "invalid character reference"},
        BadCase{"BadInAttribute", "<a x='&#xD800;'/>", 1, 7, "invalid character reference"},
        BadCase{"CDataEndInText", "<a>x]]>y</a>", 1, 5, "']]>' in character data"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    CommentsAndInstructions, Malformed,
    testing::Values(
        BadCase{"DoubleDashInComment", "<a><!-- a -- b --></a>", 1, 11, "'--' in comment"},
        BadCase{"CommentEndingInDash", "<a><!-- a ---></a>", 1, 11, "'--' in comment"},
        BadCase{"UnterminatedComment", "<a>\n<!-- a </a>", 2, 1, "unterminated comment"},
        BadCase{"UnterminatedCommentBeforeRoot", "<!-- a -", 1, 1, "unterminated comment"},
        BadCase{"PiWithoutTarget", "<a><? x?></a>", 1, 6, "processing instruction without target"},
        BadCase{"PiEmpty", "<?", 1, 3, "processing instruction without target"},
        BadCase{"PiBadAfterTarget", "<a><?t|x?></a>", 1, 7,
                "white space expected after the processing instruction target"},
        BadCase{"PiUnterminated", "<a><?t x </a>", 1, 4, "unterminated processing instruction"},
        BadCase{"PiUnterminatedAfterTarget", "<a/><?t", 1, 5, "unterminated processing instruction"},
        BadCase{"PiTargetXmlUpper", "<a><?XML x?></a>", 1, 4, "reserved processing instruction target"},
        BadCase{"PiTargetXmlMixed", "<?xMl x?><a/>", 1, 1, "reserved processing instruction target"},
        BadCase{"DeclarationInContent", "<a><?xml version='1.0'?></a>", 1, 4,
                "XML declaration not at the start of the document"},
        BadCase{"DeclarationAfterBlank", " <?xml version='1.0'?><a/>", 1, 2,
                "XML declaration not at the start of the document"},
        BadCase{"DeclarationAfterComment", "<!-- c --><?xml version='1.0'?><a/>", 1, 11,
                "XML declaration not at the start of the document"},
        BadCase{"UnterminatedCData", "<a><![CDATA[ x ]]</a>", 1, 4, "unterminated CDATA section"},
        BadCase{"CDataBeforeRoot", "<![CDATA[x]]><a/>", 1, 1, "CDATA section outside the root element"},
        BadCase{"CDataAfterRoot", "<a/>\n<![CDATA[x]]>", 2, 1, "CDATA section outside the root element"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Declaration, Malformed,
    testing::Values(
        BadCase{"NoVersion", "<?xml encoding='utf-8'?><a/>", 1, 1, "XML declaration without version"},
        BadCase{"NothingInside", "<?xml?><a/>", 1, 1, "XML declaration without version"},
        BadCase{"BadVersion", "<?xml version='2.0'?><a/>", 1, 16, "invalid value of 'version'"},
        BadCase{"VersionWithoutMinor", "<?xml version='1.'?><a/>", 1, 16, "invalid value of 'version'"},
        BadCase{"VersionUnquoted", "<?xml version=1.0?><a/>", 1, 15, "quoted value expected for 'version'"},
        BadCase{"VersionMissingEquals", "<?xml version '1.0'?><a/>", 1, 15, "'=' expected after 'version'"},
        BadCase{"VersionUnterminated", "<?xml version='1.0?><a/>", 1, 15, "unterminated value of 'version'"},
        BadCase{"BadEncoding", "<?xml version='1.0' encoding='8bit'?><a/>", 1, 31,
                "invalid value of 'encoding'"},
        BadCase{"EmptyEncoding", "<?xml version='1.0' encoding=''?><a/>", 1, 31,
                "invalid value of 'encoding'"},
        BadCase{"BadStandalone", "<?xml version='1.0' standalone='maybe'?><a/>", 1, 33,
                "invalid value of 'standalone'"},
        BadCase{"WrongOrder", "<?xml version='1.0' standalone='yes' encoding='utf-8'?><a/>", 1, 38,
                "invalid XML declaration"},
        BadCase{"NoSpaceBeforeEncoding", "<?xml version='1.0'encoding='utf-8'?><a/>", 1, 20,
                "invalid XML declaration"},
        BadCase{"UnknownPseudoAttribute", "<?xml version='1.0' lang='en'?><a/>", 1, 21,
                "invalid XML declaration"},
        BadCase{"Unterminated", "<?xml version='1.0'", 1, 20, "invalid XML declaration"},
        BadCase{"AfterBom", "\xEF\xBB\xBF<?xml version='x'?><a/>", 1, 16, "invalid value of 'version'"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    AfterTheRoot, Malformed,
    testing::Values(BadCase{"Text", "<a/>\n  tail", 2, 3, "text after the root element"},
                    BadCase{"SecondElement", "<a/><b/>", 1, 5, "markup after the root element"},
                    BadCase{"Doctype", "<a/><!DOCTYPE a>", 1, 5, "markup after the root element"},
                    BadCase{"Reference", "<a/>&amp;", 1, 5, "text after the root element"},
                    BadCase{"EndTag", "<a/></a>", 1, 5, "markup after the root element"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Doctype, Malformed,
    testing::Values(
        BadCase{"Second", "<!DOCTYPE a><!DOCTYPE a><a/>", 1, 13, "second document type declaration"},
        BadCase{"NoName", "<!DOCTYPE><a/>", 1, 10, "white space expected after DOCTYPE"},
        BadCase{"Unterminated", "<!DOCTYPE a", 1, 1, "unterminated document type declaration"},
        BadCase{"UnterminatedSubset", "<!DOCTYPE a [\n<!ELEMENT a ANY>", 1, 13,
                "unterminated internal subset"},
        BadCase{"SystemWithoutLiteral", "<!DOCTYPE a SYSTEM><a/>", 1, 19,
                "white space expected after SYSTEM"},
        BadCase{"PublicWithoutSystem", "<!DOCTYPE a PUBLIC 'p'><a/>", 1, 23,
                "system literal expected after the public identifier"},
        BadCase{"BadPublicId", "<!DOCTYPE a PUBLIC 'a{b' 's'><a/>", 1, 20,
                "invalid character in public identifier"},
        BadCase{"JunkInSubset", "<!DOCTYPE a [ junk ]><a/>", 1, 15, "markup declaration expected"},
        BadCase{"ConditionalSection", "<!DOCTYPE a [<![INCLUDE[]]>]><a/>", 1, 14,
                "markup declaration expected"},
        BadCase{"ElementBadModel", "<!DOCTYPE a [<!ELEMENT a (b|c,d)>]><a/>", 1, 30,
                "'|' and ',' mixed in one group of a content model"},
        BadCase{"ElementUnbalanced", "<!DOCTYPE a [<!ELEMENT a (b,(c)>]><a/>", 1, 32,
                "'|', ',' or ')' expected in content model"},
        BadCase{"ElementNoModel", "<!DOCTYPE a [<!ELEMENT a>]><a/>", 1, 25,
                "white space expected before the content model"},
        BadCase{"ElementUnknownKeyword", "<!DOCTYPE a [<!ELEMENT a EMPTIES>]><a/>", 1, 26,
                "content model expected"},
        BadCase{"MixedWithoutStar", "<!DOCTYPE a [<!ELEMENT a (#PCDATA|b)>]><a/>", 1, 36,
                "')*' expected at the end of a mixed content model"},
        BadCase{"ContentModelTooDeep",
                "<!DOCTYPE a [<!ELEMENT a " + std::string(1001, '(') + "b" + std::string(1001, ')') +
                    ">]><a/>",
                1, 1026, "content model nested too deeply"},
        BadCase{"ElementUnterminated", "<!DOCTYPE a [<!ELEMENT a ANY", 1, 14,
                "unterminated element declaration"},
        BadCase{"AttlistBadType", "<!DOCTYPE a [<!ATTLIST a x STRING #IMPLIED>]><a/>", 1, 28,
                "attribute type expected"},
        BadCase{"AttlistBadDefault", "<!DOCTYPE a [<!ATTLIST a x CDATA #DEFAULT>]><a/>", 1, 35,
                "#REQUIRED, #IMPLIED or #FIXED expected"},
        BadCase{"AttlistLessThanInDefault", "<!DOCTYPE a [<!ATTLIST a x CDATA '<'>]><a/>", 1, 35,
                "'<' in attribute value"},
        BadCase{"AttlistUnterminated", "<!DOCTYPE a [<!ATTLIST a x CDATA #IMPLIED", 1, 14,
                "unterminated attribute-list declaration"},
        BadCase{"EntityNoValue", "<!DOCTYPE a [<!ENTITY e>]><a/>", 1, 24,
                "white space expected after the entity name"},
        BadCase{"EntityUnquoted", "<!DOCTYPE a [<!ENTITY e value>]><a/>", 1, 25,
                "entity value or external identifier expected"},
        BadCase{"EntityUnterminatedValue", "<!DOCTYPE a [<!ENTITY e 'x>]><a/>", 1, 25,
                "unterminated entity value"},
        BadCase{"EntityParameterReferenceInValue", "<!DOCTYPE a [<!ENTITY % p 'x'><!ENTITY e '%p;'>]><a/>", 1,
                43, "parameter-entity reference inside a declaration of the internal subset"},
        BadCase{"EntityBadReferenceInValue", "<!DOCTYPE a [<!ENTITY e 'a & b'>]><a/>", 1, 28,
                "invalid reference: '&' must start an entity or character reference"},
        BadCase{"EntityBadCharRefInValue", "<!DOCTYPE a [<!ENTITY e '&#0;'>]><a/>", 1, 26,
                "invalid character reference"},
        BadCase{"EntityNdataOnParameter", "<!DOCTYPE a [<!ENTITY % e SYSTEM 'x' NDATA n>]><a/>", 1, 38,
                "'>' expected at the end of the entity declaration"},
        BadCase{"NotationWithoutId", "<!DOCTYPE a [<!NOTATION n>]><a/>", 1, 26,
                "white space expected after the notation name"},
        BadCase{"UndefinedParameterEntity", "<!DOCTYPE a [ %p; ]><a/>", 1, 15,
                "undefined parameter entity 'p'"},
        BadCase{"ParameterEntityInDeclaration",
                "<!DOCTYPE a [<!ENTITY % p 'CDATA'><!ATTLIST a x %p; #IMPLIED>]><a/>", 1, 49,
                "attribute type expected"},
        BadCase{"ParameterEntityWithIncompleteDeclaration",
                "<!DOCTYPE a [<!ENTITY % p '<!ELEMENT a'> %p; ANY>]><a/>", 1, 42,
                "white space expected before the content model"},
        BadCase{"RecursiveParameterEntity", "<!DOCTYPE a [<!ENTITY % p '%p;'>]><a/>", 1, 28,
                "parameter-entity reference inside a declaration of the internal subset"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Entities, Malformed,
    testing::Values(
        BadCase{"External", "<!DOCTYPE a [<!ENTITY e SYSTEM 'e.xml'>]>\n<a>&e;</a>", 2, 4,
                "reference to external entity 'e', which is never read"},
        BadCase{"ExternalInAttribute", "<!DOCTYPE a [<!ENTITY e PUBLIC 'p' 'e.xml'>]>\n<a x='&e;'/>", 2, 7,
                "reference to external entity 'e', which is never read"},
        BadCase{"Unparsed",
                "<!DOCTYPE a [<!NOTATION n SYSTEM 'v'><!ENTITY e SYSTEM 'e.bin' NDATA n>]>\n<a>&e;</a>", 2, 4,
                "reference to unparsed entity 'e'"},
        BadCase{"Recursive", "<!DOCTYPE a [<!ENTITY e 'x&e;'>]>\n<a>&e;</a>", 2, 4,
                "recursive reference to entity 'e'"},
        BadCase{"MutuallyRecursive", "<!DOCTYPE a [<!ENTITY e '&f;'><!ENTITY f '&e;'>]>\n<a x='&e;'/>", 2, 7,
                "recursive reference to entity 'e'"},
        BadCase{"UndefinedInsideEntity", "<!DOCTYPE a [<!ENTITY e '&nope;'>]>\n<a>x&e;</a>", 2, 5,
                "undefined entity 'nope'"},
        BadCase{"LessThanFromEntityInAttribute", "<!DOCTYPE a [<!ENTITY e '<b/>'>]>\n<a x='&e;'/>", 2, 7,
                "'<' in attribute value, from entity 'e'"},
        BadCase{"LessThanFromCharRefInEntityInAttribute", "<!DOCTYPE a [<!ENTITY e '&#60;'>]>\n<a x='&e;'/>",
                2, 7, "'<' in attribute value, from entity 'e'"},
        BadCase{"UnclosedElementInEntity", "<!DOCTYPE a [<!ENTITY e '<b>'>]>\n<a>&e;</b></a>", 2, 4,
                "element 'b' is not closed within entity 'e'"},
        BadCase{"EndTagInEntity", "<!DOCTYPE a [<!ENTITY e '</a>'>]>\n<a>&e;", 2, 4,
                "end tag 'a' closes an element opened outside entity 'e'"},
        BadCase{"BadMarkupInEntity", "<!DOCTYPE a [<!ENTITY e 'x<!-- y'>]>\n<a>&e;</a>", 2, 4,
                "unterminated comment"},
        BadCase{"IgnoredAfterExternalParameterEntity",
                "<!DOCTYPE a [<!ENTITY % x SYSTEM 'x.ent'> %x; <!ENTITY f 'later'>]>\n<a>&f;</a>", 2, 4,
                "undefined entity 'f'"}),
    [](const auto& info) { return info.param.name; });

// ---- Hostile documents ----

std::string BillionLaughs(int levels) {
    std::string xml = "<!DOCTYPE lolz [\n <!ENTITY lol0 \"lol\">\n";
    for (int i = 1; i < levels; ++i) {
        xml += " <!ENTITY lol" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j)
            xml += "&lol" + std::to_string(i - 1) + ";";
        xml += "\">\n";
    }
    return xml + "]>\n<lolz>&lol" + std::to_string(levels - 1) + ";</lolz>";
}

TEST(XmlLimits, BillionLaughsRefused) {
    for (const bool inAttribute : {false, true}) {
        std::string xml = BillionLaughs(10);
        if (inAttribute)
            xml.replace(xml.rfind("<lolz>"), std::string::npos, "<lolz a='&lol9;'/>");
        xml::TXmlDocument doc;
        try {
            doc.LoadXml(xml);
            FAIL() << "accepted";
        } catch (const EXmlSyntaxError& e) {
            EXPECT_EQ(e.Line(), 13) << inAttribute;
            EXPECT_NE(e.Message().find("entity expansion exceeds its limit (1048576 bytes)"),
                      std::string::npos)
                << e.Message();
        }
    }
}

TEST(XmlLimits, SmallExpansionsWithinTheLimitAreRead) {
    xml::TXmlDocument doc;
    doc.LoadXml(BillionLaughs(4)); // 3000 bytes of text
    EXPECT_EQ(doc.DocumentElement()->Text().size(), 3000u);
}

TEST(XmlLimits, QuadraticBlowUpRefused) {
    std::string xml = "<!DOCTYPE a [<!ENTITY big '" + std::string(100000, 'x') + "'>]><a>";
    for (int i = 0; i < 2000; ++i)
        xml += "&big;";
    xml += "</a>";
    xml::TXmlDocument doc;
    EXPECT_THROW(doc.LoadXml(xml), EXmlSyntaxError);
}

TEST(XmlLimits, EntityNestingDeeperThan32Refused) {
    for (const bool inAttribute : {false, true}) {
        std::string xml = "<!DOCTYPE a [<!ENTITY e0 'x'>";
        for (int i = 1; i <= 33; ++i)
            xml += "<!ENTITY e" + std::to_string(i) + " '&e" + std::to_string(i - 1) + ";'>";
        xml += "]>";
        xml += inAttribute ? "<a v='&e33;'/>" : "<a>&e33;</a>";
        xml::TXmlDocument doc;
        try {
            doc.LoadXml(xml);
            FAIL() << "accepted";
        } catch (const EXmlSyntaxError& e) {
            EXPECT_NE(e.Message().find("entity references nested deeper than 32 levels"), std::string::npos)
                << e.Message();
        }
        // One level less is read.
        xml.replace(xml.find("&e33;", xml.find("]>")), 5, "&e31;");
        doc.LoadXml(xml);
        EXPECT_EQ(inAttribute ? doc.DocumentElement()->Attr("v") : doc.DocumentElement()->Text(), "x");
    }
}

TEST(XmlLimits, HugeFlatDocumentIsRead) {
    std::string xml = "<r>";
    for (int i = 0; i < 200000; ++i)
        xml += "<s i='" + std::to_string(i) + "'>t</s>";
    xml += "</r>";
    xml::TXmlDocument doc;
    doc.LoadXml(xml);
    EXPECT_EQ(doc.DocumentElement()->Children("s").Count(), 200000);
}

TEST(XmlLimits, DeepNestingErrorIsCleanForAnyDepth) {
    std::string xml;
    for (int i = 0; i < 100000; ++i)
        xml += "<e>";
    xml::TXmlDocument doc;
    EXPECT_THROW(doc.LoadXml(xml), EXmlSyntaxError);
}

} // namespace

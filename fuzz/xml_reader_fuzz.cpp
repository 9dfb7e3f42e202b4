// Loads arbitrary bytes as an XML document and walks whatever tree comes out. Refusals must be our
// own exceptions; anything else (a crash, a sanitizer report, a foreign exception) is a finding.
//
// A document whose DTD declares general entities is read into a tree that stores every attribute
// and piece of text; any other into a compact one that reads them again from the bytes. When the
// input has neither an XML declaration nor a DOCTYPE, it is also read with a DOCTYPE declaring an
// unused entity in front: whenever the input is accepted, that must be accepted too, and both walks
// must read the same.
#include "Exceptions.h"
#include "XmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Require(bool condition) {
    if (!condition)
        __builtin_trap();
}

// Reads the elements reachable through a few names without recursion: those the localiser uses, a
// short one the fuzzer finds easily, and the element's own; Text() covers the rest of each subtree.
// Returns what it read, in the order it read it.
std::vector<std::string> Walk(const xml::TXmlElement& root) {
    std::vector<std::string> seen;
    std::vector<const xml::TXmlElement*> pending{&root};
    while (!pending.empty()) {
        const xml::TXmlElement* e = pending.back();
        pending.pop_back();
        std::string scratch;
        seen.emplace_back(e->Name());
        seen.push_back(e->Text());
        Require(e->TextView(scratch) == seen.back());
        seen.push_back(e->Attr("ID"));
        seen.push_back(e->Attr(e->Name(), "absent"));
        Require(e->AttrView(e->Name(), scratch, "absent") == seen.back());
        try {
            seen.push_back(std::to_string(e->IntAttr("ID", 0)));
        } catch (const EConvertError&) {
            seen.emplace_back("not an integer");
        }
        std::vector<std::string_view> names{"String", "a"};
        if (e->Name() != names[0] && e->Name() != names[1])
            names.push_back(e->Name());
        for (const std::string_view name : names) {
            const xml::TXmlElementList list = e->Children(name);
            for (int i = 0; i < list.Count(); ++i)
                pending.push_back(&list.Item(i));
            Require((list.Count() > 0) == (e->FirstChild(name) != nullptr));
        }
    }
    return seen;
}

// What a load of the bytes gives: none when they are refused, else the walk of the tree.
std::optional<std::vector<std::string>> Read(std::string_view bytes) {
    xml::TXmlDocument doc;
    try {
        doc.LoadXml(bytes);
    } catch (const Exception&) {
        return std::nullopt;
    }
    (void)doc.Version();
    (void)doc.Encoding();
    const xml::TXmlElement* root = doc.DocumentElement();
    return root != nullptr ? Walk(*root) : std::vector<std::string>();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto compact = Read(bytes);
    if (!compact || bytes.find("<?xml") != std::string_view::npos ||
        bytes.find("<!DOCTYPE") != std::string_view::npos)
        return 0;
    const auto stored = Read("<!DOCTYPE any [<!ENTITY qrlUnusedEntity ''>]>" + std::string(bytes));
    Require(stored.has_value() && *stored == *compact);
    return 0;
}

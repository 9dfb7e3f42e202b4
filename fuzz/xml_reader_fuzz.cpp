// Loads arbitrary bytes as an XML document and walks whatever tree comes out. Refusals must be our
// own exceptions; anything else (a crash, a sanitizer report, a foreign exception) is a finding.
#include "Exceptions.h"
#include "XmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

// Reads the elements reachable through a few names without recursion: those the localiser uses, a
// short one the fuzzer finds easily, and the element's own; Text() covers the rest of each subtree.
void Walk(const xml::TXmlElement& root) {
    std::vector<const xml::TXmlElement*> pending{&root};
    while (!pending.empty()) {
        const xml::TXmlElement* e = pending.back();
        pending.pop_back();
        (void)e->Text();
        (void)e->Attr("ID");
        (void)e->Attr(e->Name(), "absent");
        try {
            (void)e->IntAttr("ID", 0);
        } catch (const EConvertError&) {
        }
        std::vector<std::string_view> names{"String", "a"};
        if (e->Name() != names[0] && e->Name() != names[1])
            names.push_back(e->Name());
        for (const std::string_view name : names) {
            const xml::TXmlElementList list = e->Children(name);
            for (int i = 0; i < list.Count(); ++i)
                pending.push_back(&list.Item(i));
            (void)e->FirstChild(name);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    xml::TXmlDocument doc;
    try {
        doc.LoadXml(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const Exception&) {
        return 0;
    }
    (void)doc.Version();
    (void)doc.Encoding();
    if (const xml::TXmlElement* root = doc.DocumentElement())
        Walk(*root);
    return 0;
}

#include "sxPropertyPath.h"

#include "Exceptions.h"
#include "ResStrings.h"

void SplitIndex(AnsiString& Segment, std::int32_t& Index) {
    Index = -1;
    const std::size_t open = Segment.find('[');
    if (open == AnsiString::npos)
        return;
    const AnsiString rest = rtl::Trim(std::string_view(Segment).substr(open + 1));
    Segment = rtl::Trim(std::string_view(Segment).substr(0, open));
    const std::size_t close = rest.find(']');
    if (close == AnsiString::npos)
        throw Exception(SInvalidPropertyPath);
    Index = rtl::StrToInt(rtl::TrimView(std::string_view(rest).substr(0, close)));
}

namespace {

// The last step: writes Text to Instance's property Name, or with an index to a line of Instance.
void WriteText(TPersistent* Instance, std::string_view Name, std::int32_t Index, const AnsiString& Text) {
    if (Instance == nullptr)
        return;
    if (Index == -1) {
        const TPropInfo& info = FindPropInfo(*Instance, Name);
        if (IsStringKind(info.Kind()))
            SetStrProp(*Instance, info, Text);
        return;
    }
    if (!Instance->InheritsFrom(TStrings::ClassInfo))
        return;
    auto& lines = static_cast<TStrings&>(*Instance);
    if (Index < lines.Count()) {
        try {
            lines.SetStrings(Index, Text);
        } catch (const Exception&) {
            // A line that cannot be replaced (a negative index) is passed over.
        }
    }
}

} // namespace

void SetPropertyText(TComponent* Root, std::string_view Path, const AnsiString& Text) {
    if (Root == nullptr || Path.empty())
        return;
    TPersistent* instance = nullptr;
    AnsiString name;
    std::int32_t index = -1;
    std::size_t position = 0;
    while (position <= Path.size()) {
        const std::size_t dot = Path.find('.', position);
        const bool last = dot == std::string_view::npos;
        name.assign(Path.substr(position, last ? std::string_view::npos : dot - position));
        position = last ? Path.size() + 1 : dot + 1;
        SplitIndex(name, index);
        if (name.empty())
            return;
        if (last && index == -1)
            break;
        if (instance == nullptr) {
            // The index of a component segment plays no part.
            instance = rtl::SameText(name, Root->Name()) ? Root : Root->FindComponent(name);
            continue;
        }
        const TPropInfo* info = GetPropInfo(instance, name);
        if (info == nullptr)
            break;
        TObject* object = IsObjectKind(info->Kind()) ? GetObjectProp(*instance, *info) : nullptr;
        if (index >= 0 && object != nullptr && object->InheritsFrom(TCollection::ClassInfo))
            object = static_cast<TCollection*>(object)->Items(index);
        if (object == nullptr || !object->InheritsFrom(TPersistent::ClassInfo))
            return;
        instance = static_cast<TPersistent*>(object);
    }
    WriteText(instance, name, index, Text);
}

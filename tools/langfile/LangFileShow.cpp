#include "LangFileShow.h"

#include "TextOutput.h"

std::string FormatAsText(const TsxLocalizer& localizer) {
    std::string out;
    out += "Version:   " + std::to_string(localizer.Version()) + "\n";
    out += "Lang_ID:   " + std::to_string(localizer.LangID()) + "\n";
    out += "Lang_Name: " + ListingText(rtl::WideToUtf8(localizer.LangName())) + "\n";
    out += "Lang_Ext:  " + ListingText(AnsiToUtf8(localizer.LangExt())) + "\n";
    const TsxResourceStringsList& strings = localizer.ResourceStrings();
    out += "Resource strings: " + std::to_string(strings.Count()) + "\n";
    for (int i = 0; i < strings.Count(); ++i) {
        const TsxResourceStringsItem* s = strings.Items(i);
        out += "  " + std::to_string(s->Identifier) + "\t" + ListingText(rtl::WideToUtf8(s->Text())) + "\n";
    }
    const TsxRCDataFormList& forms = localizer.Forms();
    out += "Forms: " + std::to_string(forms.Count()) + "\n";
    for (int f = 0; f < forms.Count(); ++f) {
        const TsxRCDataFormItem* form = forms.Items(f);
        const TsxRCDataProperyList& props = form->Properties();
        out += "  " + ListingText(AnsiToUtf8(form->FormName)) + ": " + std::to_string(props.Count()) + "\n";
        for (int p = 0; p < props.Count(); ++p)
            out += "    " + ListingText(AnsiToUtf8(props.Items(p)->PropPath)) + "\t" +
                   ListingText(AnsiToUtf8(props.Items(p)->Value)) + "\n";
    }
    return out;
}

std::string FormatAsJson(const TsxLocalizer& localizer) {
    std::string out = "{\"version\":" + std::to_string(localizer.Version()) +
                      ", \"lang_id\":" + std::to_string(localizer.LangID()) +
                      ", \"lang_name\":" + JsonString(rtl::WideToUtf8(localizer.LangName())) +
                      ", \"lang_ext\":" + JsonString(AnsiToUtf8(localizer.LangExt())) + ",\n \"strings\":[";
    const char* separator = "\n  ";
    const TsxResourceStringsList& strings = localizer.ResourceStrings();
    for (int i = 0; i < strings.Count(); ++i) {
        const TsxResourceStringsItem* s = strings.Items(i);
        out += separator;
        out += "{\"id\":" + std::to_string(s->Identifier) +
               ", \"text\":" + JsonString(rtl::WideToUtf8(s->Text())) + "}";
        separator = ",\n  ";
    }
    out += "],\n \"properties\":[";
    separator = "\n  ";
    const TsxRCDataFormList& forms = localizer.Forms();
    for (int f = 0; f < forms.Count(); ++f) {
        const TsxRCDataFormItem* form = forms.Items(f);
        for (int p = 0; p < form->Properties().Count(); ++p) {
            const TsxRCDataProperyItem* prop = form->Properties().Items(p);
            out += separator;
            out += "{\"form\":" + JsonString(AnsiToUtf8(form->FormName)) +
                   ", \"path\":" + JsonString(AnsiToUtf8(prop->PropPath)) +
                   ", \"text\":" + JsonString(AnsiToUtf8(prop->Value)) + "}";
            separator = ",\n  ";
        }
    }
    out += "]}\n";
    return out;
}

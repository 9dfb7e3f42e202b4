#include "LangFileMaker.h"

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

namespace bench {

namespace {

// Literal percent signs are written "%%", line breaks "%0D%0A", as translators write them.
const char* const kAsciiTexts[] = {
    "Open file",
    "Save changes to the current project?%0D%0AUnsaved changes will be lost.",
    "Tom &amp; Jerry &lt;classic&gt;",
    "File \"%%s\" not found",
    "Cancel",
    "Options &amp; settings",
    "A longer message that spans a fair part of the line, as translated help texts tend to do.",
};
const char* const kCyrillicTexts[] = {
    "Текст по-русски",
    "Открыть файл",
    "Сохранить изменения в проекте?%0D%0AНесохранённые данные будут потеряны.",
    "Файл &quot;%%s&quot; не найден",
    "Отмена",
    "Параметры &amp; настройки",
    "Длинное сообщение, которое занимает заметную часть строки, как это бывает в справке.",
};

const char kHead[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Language>\n"
                     "  <Info Lang_ID=\"1033\" Lang_Name=\"English\" Lang_Ext=\"ENU\" Version=\"1\"/>\n"
                     "  <Resource_Strings>\n";
const char kMiddle[] = "  </Resource_Strings>\n  <RCData>\n";
const char kTail[] = "  </RCData>\n</Language>\n";

// A third of the resource strings and three quarters of the form texts are Cyrillic.
void AppendString(std::string& xml, int id) {
    const char* text = (id % 3 == 0) ? kCyrillicTexts[id % 7] : kAsciiTexts[id % 7];
    xml += "    <String ID=\"" + std::to_string(id) + "\">" + text + "</String>\n";
}

void AppendProperty(std::string& xml, int form, int n) {
    const char* text = (n % 4 == 0) ? kAsciiTexts[n % 7] : kCyrillicTexts[n % 7];
    xml += "    <Property Form=\"TForm" + std::to_string(form) + "\" Property=\"Label" + std::to_string(n) +
           ".Caption\">" + text + "</Property>\n";
}

} // namespace

std::string MakeLanguageFile(std::size_t targetBytes) {
    std::string xml = kHead;
    xml.reserve(targetBytes + 4096);
    for (int id = 1; xml.size() < targetBytes / 2; ++id)
        AppendString(xml, id);
    xml += kMiddle;
    for (int n = 0; xml.size() < targetBytes; ++n)
        AppendProperty(xml, n % 50, n);
    xml += kTail;
    return xml;
}

const char* Name(IdOrder order) {
    static const char* const names[] = {"ascending", "descending", "random"};
    return names[static_cast<int>(order)];
}

const char* Name(FormLayout layout) {
    return layout == FormLayout::Grouped ? "grouped" : "scattered";
}

std::string MakeLanguageFile(const LangFileShape& shape) {
    std::vector<int> ids(static_cast<std::size_t>(shape.strings));
    std::iota(ids.begin(), ids.end(), 1);
    if (shape.order == IdOrder::Descending)
        std::reverse(ids.begin(), ids.end());
    else if (shape.order == IdOrder::Random)
        std::shuffle(ids.begin(), ids.end(), std::mt19937(20240611));

    std::string xml = kHead;
    xml.reserve(static_cast<std::size_t>(shape.strings + shape.properties) * 160 + 4096);
    for (const int id : ids)
        AppendString(xml, id);
    xml += kMiddle;
    const int perForm = (shape.properties + shape.forms - 1) / shape.forms;
    for (int n = 0; n < shape.properties; ++n)
        AppendProperty(xml, shape.layout == FormLayout::Grouped ? n / perForm : n % shape.forms, n);
    xml += kTail;
    return xml;
}

} // namespace bench

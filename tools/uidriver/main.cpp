// uidriver: drives Quorlin from outside, as a user would, for the end-to-end tests and the run
// script's screenshots. It starts the program, finds its windows (each control's window carries its
// component name in the property "QrlName"), opens the language menu with the drop-down button and
// chooses an entry with the keyboard, reads the texts of the window and its controls back, answers
// message boxes, and closes the window. Every wait is bounded.
//
//   uidriver picker EXE               choose every installed language in turn; compare the window's
//                                     texts and the title with each language file
//   uidriver damaged EXE ABBR         choose ABBR, whose file is damaged: exactly one error box with
//                                     the load error's message, the texts unchanged
//   uidriver disabled EXE             the language button is disabled
//   uidriver screenshots EXE DIR      one PNG of the window per language (and compiled.png)
//   uidriver normal EXE ARGS...       the main window opens; closed by the driver; exit code 0
//   uidriver quiet EXE ARGS...        no window opens; prints the exit code
//   uidriver errorbox EXE ARGS...     one error box opens: prints its text, answers it, prints the
//                                     exit code
//   uidriver list EXE ARGS...         prints the program's windows after three seconds
//
// The current directory is passed on to the program. Output: lines "ok ..." and "FAIL ..."; the
// exit code is 1 when a check failed.
#include "FilePaths.h"
#include "Os.h"
#include "PngWriter.h"
#include "sxLangFileList.h"
#include "sxLocalizer.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

int failures = 0;

void Check(bool condition, const std::string& what) {
    std::printf("%s %s\n", condition ? "ok" : "FAIL", what.c_str());
    std::fflush(stdout);
    if (!condition)
        ++failures;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 15s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

std::string Quote(const std::string& arg) {
    return "\"" + arg + "\"";
}

class TProgram {
public:
    TProgram(const std::string& exe, const std::vector<std::string>& args) {
        std::string commandLine = Quote(exe);
        for (const std::string& arg : args)
            commandLine += " " + (arg.find(' ') == std::string::npos ? arg : Quote(arg));
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &info_))
            throw std::runtime_error("cannot start " + exe);
    }
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;
    ~TProgram() {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(info_.hProcess, 99);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }

    DWORD Id() const { return info_.dwProcessId; }
    // The exit code, or none when the program is still running after timeout.
    std::optional<DWORD> Wait(std::chrono::milliseconds timeout = 15s) const {
        if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
            return std::nullopt;
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info_{};
};

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string NameOf(HWND window) {
    const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(window, "QrlName")));
    char name[256] = {};
    if (atom == 0 || GlobalGetAtomNameA(atom, name, sizeof name) == 0)
        return {};
    return name;
}

std::string TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return "<no answer>";
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(copied);
    return text;
}

// The top-level windows of a process, of a class (any class when empty); only the visible ones
// unless hidden too.
std::vector<HWND> TopWindows(DWORD process, const std::string& className, bool hiddenToo = false) {
    struct Search {
        DWORD process;
        const std::string* className;
        bool hiddenToo;
        std::vector<HWND> found;
    } search{process, &className, hiddenToo, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s.process && (s.hiddenToo || IsWindowVisible(window)) &&
                (s.className->empty() || ClassOf(window) == *s.className))
                s.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM data) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND Named(HWND form, const std::string& name) {
    if (NameOf(form) == name)
        return form;
    for (HWND child : Children(form))
        if (NameOf(child) == name)
            return child;
    return nullptr;
}

// The direct children of a window, in the order they were made.
std::vector<HWND> DirectChildren(HWND parent) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        found.push_back(child);
    return found;
}

// The first visible top-level window of that class that the program opens, or none after the wait.
HWND WaitForWindow(const TProgram& program, const std::string& className) {
    HWND found = nullptr;
    WaitFor([&] {
        const std::vector<HWND> windows = TopWindows(program.Id(), className);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
    });
    return found;
}

std::string Title(const TProgram& program) {
    const std::vector<HWND> windows = TopWindows(program.Id(), "TQrlApplication", true);
    return windows.empty() ? "<no application window>" : TextOf(windows.front());
}

// Waits until the program has handled what it was sent and its window takes input again.
bool Settle(HWND main) {
    return WaitFor([main] {
        DWORD_PTR result = 0;
        return IsWindowEnabled(main) &&
               SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result);
    });
}

// Opens the language menu and chooses its entry at index with the keyboard.
bool ChooseLanguage(const TProgram& program, HWND main, int index) {
    HWND button = Named(main, "LanguagesBTN");
    if (button == nullptr)
        return false;
    PostMessageA(button, BM_CLICK, 0, 0);
    HWND menu = WaitForWindow(program, "#32768");
    if (menu == nullptr)
        return false;
    for (int i = 0; i <= index; ++i)
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    return WaitFor([&] { return TopWindows(program.Id(), "#32768").empty(); });
}

// The text that a property path of the main form shows on screen, for the path shapes the main
// form has: Form.Caption, Control.Caption, Memo.Lines.Strings[i], Bar.Panels[i].Text.
std::optional<std::string> ShownText(HWND main, const std::string& path) {
    const std::size_t dot = path.find('.');
    HWND window = Named(main, path.substr(0, dot));
    if (window == nullptr || dot == std::string::npos)
        return std::nullopt;
    const std::string rest = path.substr(dot + 1);
    if (rest == "Caption")
        return TextOf(window);
    const auto indexOf = [&rest](const std::string& prefix) -> int {
        if (rest.rfind(prefix, 0) != 0)
            return -1;
        return std::stoi(rest.substr(prefix.size()));
    };
    if (const int line = indexOf("Lines.Strings["); line >= 0) {
        const std::string text = TextOf(window) + "\r\n";
        std::size_t start = 0;
        for (int i = 0; i < line && start != std::string::npos; ++i)
            start = text.find("\r\n", start) + 2;
        const std::size_t end = text.find("\r\n", start);
        if (start >= text.size() || end == std::string::npos)
            return std::nullopt;
        return text.substr(start, end - start);
    }
    if (const int panel = indexOf("Panels["); panel >= 0) {
        const std::vector<HWND> panels = DirectChildren(window);
        if (static_cast<std::size_t>(panel) >= panels.size())
            return std::nullopt;
        return TextOf(panels[static_cast<std::size_t>(panel)]);
    }
    return std::nullopt;
}

// Every text of the main form that its form entries name, as a list of path = text.
std::vector<std::string> FormTexts(HWND main, const TsxLocalizer& language) {
    std::vector<std::string> texts;
    if (const TsxRCDataFormItem* entry = language.Forms().Find("TMainForm"))
        for (int i = 0; i < entry->Properties().Count(); ++i) {
            const std::string& path = entry->Properties().Items(i)->PropPath;
            texts.push_back(path + " = " + ShownText(main, path).value_or("<none>"));
        }
    return texts;
}

std::string CatalogueDir(const std::string& exe) {
    const std::string folder = rtl::ExtractFilePath(exe);
    const std::string parent = rtl::ExtractFilePath(folder.substr(0, folder.size() - 1));
    return parent + "Lang\\";
}

std::unique_ptr<TsxLangFileList> InstalledLanguages(const std::string& exe) {
    auto list = std::make_unique<TsxLangFileList>();
    FindLangFiles(*list, CatalogueDir(exe), rtl::ExtractFileName(exe));
    return list;
}

// The program's main window once it takes input, or none (a failed check).
HWND OpenMain(const TProgram& program) {
    HWND main = WaitForWindow(program, "TQrlForm");
    Check(main != nullptr, "the main window opens");
    if (main != nullptr)
        Settle(main);
    return main;
}

// Answers a message box with OK.
void AnswerBox(HWND box) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

void CloseProgram(TProgram& program, HWND main) {
    PostMessageA(main, WM_CLOSE, 0, 0);
    const std::optional<DWORD> code = program.Wait();
    Check(code.has_value() && *code == 0, "the program ends with exit code 0 when its window is closed");
}

// ---- Commands ----

void Picker(const std::string& exe) {
    TProgram program(exe, {});
    HWND main = OpenMain(program);
    if (main == nullptr)
        return;
    const std::string compiledTitle = Title(program);
    Check(TextOf(Named(main, "TitleLBL")) == compiledTitle, "the window shows the application title");
    const auto installed = InstalledLanguages(exe);
    const TsxLangFileList& languages = *installed;
    Check(languages.Count() > 0, "languages are installed");
    Check(IsWindowEnabled(Named(main, "LanguagesBTN")) != FALSE, "the language button is enabled");
    for (int i = 0; i < languages.Count(); ++i) {
        const TsxLangFileItem& file = *languages.Items(i);
        Check(ChooseLanguage(program, main, i) && Settle(main), file.LangExt + ": chosen from the menu");
        TsxLocalizer language;
        language.LoadFromFile(file.FileName);
        const TsxRCDataFormItem* entry = language.Forms().Find("TMainForm");
        Check(entry != nullptr && entry->Properties().Count() > 0,
              file.LangExt + ": the file translates the window");
        for (int p = 0; entry != nullptr && p < entry->Properties().Count(); ++p) {
            const TsxRCDataProperyItem& item = *entry->Properties().Items(p);
            const std::optional<std::string> shown = ShownText(main, item.PropPath);
            Check(shown == item.Value,
                  file.LangExt + ": " + item.PropPath + " shows \"" + shown.value_or("<none>") + "\"");
        }
        // The title string (64990) follows the language, on the application and on the window.
        const WideString title = language.GetResourceString(64990);
        const std::string expected = title.empty() ? compiledTitle : rtl::WideToAnsi(title);
        Check(Title(program) == expected, file.LangExt + ": the title is \"" + Title(program) + "\"");
        Check(TextOf(Named(main, "TitleLBL")) == expected, file.LangExt + ": the window shows the title");
    }
    Check(TopWindows(program.Id(), "#32770").empty(), "no message box is open");
    CloseProgram(program, main);
}

void Damaged(const std::string& exe, const std::string& abbr) {
    TProgram program(exe, {});
    HWND main = OpenMain(program);
    if (main == nullptr)
        return;
    const auto installed = InstalledLanguages(exe);
    const TsxLangFileList& languages = *installed;
    int index = -1;
    for (int i = 0; i < languages.Count(); ++i)
        if (rtl::SameText(languages.Items(i)->LangExt, abbr))
            index = i;
    Check(index >= 0, abbr + " is installed");
    if (index < 0)
        return;
    // The message that the program must show: the load error of that file.
    std::string expected;
    try {
        TsxLocalizer().LoadFromFile(languages.Items(index)->FileName);
    } catch (const Exception& error) {
        expected = error.Message();
    }
    Check(!expected.empty(), abbr + ": the file is refused by the localiser");
    TsxLocalizer reference;
    const std::vector<std::string> before = FormTexts(main, reference);
    const std::string title = Title(program), caption = TextOf(main), intro = TextOf(Named(main, "IntroLBL"));
    Check(ChooseLanguage(program, main, index), abbr + ": chosen from the menu");
    HWND box = WaitForWindow(program, "#32770");
    Check(box != nullptr, abbr + ": an error box opens");
    if (box == nullptr)
        return;
    Check(TopWindows(program.Id(), "#32770").size() == 1, abbr + ": one box");
    const std::string message = TextOf(GetDlgItem(box, 0xFFFF));
    Check(message == expected, abbr + ": the box shows \"" + message + "\"");
    AnswerBox(box);
    Check(WaitFor([&] { return TopWindows(program.Id(), "#32770").empty(); }) && Settle(main),
          abbr + ": the box closes with OK and the window takes input again");
    std::this_thread::sleep_for(500ms);
    Check(TopWindows(program.Id(), "#32770").empty(), abbr + ": no second box");
    Check(TextOf(main) == caption && TextOf(Named(main, "IntroLBL")) == intro,
          abbr + ": the window's texts stay");
    Check(Title(program) == title, abbr + ": the title stays the compiled one");
    CloseProgram(program, main);
}

void Disabled(const std::string& exe) {
    TProgram program(exe, {});
    HWND main = OpenMain(program);
    if (main == nullptr)
        return;
    HWND button = Named(main, "LanguagesBTN");
    Check(button != nullptr && !IsWindowEnabled(button), "the language button is disabled");
    CloseProgram(program, main);
}

void Capture(HWND window, const std::string& fileName) {
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const int stride = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto* pixel = static_cast<const std::uint8_t*>(bits) + y * stride + x * 3;
            rgb.insert(rgb.end(), {pixel[2], pixel[1], pixel[0]});
        }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    Check(WritePng(fileName, width, height, rgb), "screenshot " + fileName);
}

void Screenshots(const std::string& exe, const std::string& dir) {
    TProgram program(exe, {});
    HWND main = OpenMain(program);
    if (main == nullptr)
        return;
    std::this_thread::sleep_for(500ms);
    Capture(main, dir + "\\compiled.png");
    const auto installed = InstalledLanguages(exe);
    const TsxLangFileList& languages = *installed;
    for (int i = 0; i < languages.Count(); ++i) {
        Check(ChooseLanguage(program, main, i) && Settle(main),
              languages.Items(i)->LangExt + ": chosen from the menu");
        std::this_thread::sleep_for(500ms);
        Capture(main, dir + "\\" + languages.Items(i)->LangExt + ".png");
    }
    CloseProgram(program, main);
}

void Normal(const std::string& exe, const std::vector<std::string>& args) {
    TProgram program(exe, args);
    if (HWND main = OpenMain(program))
        CloseProgram(program, main);
}

void Quiet(const std::string& exe, const std::vector<std::string>& args) {
    TProgram program(exe, args);
    bool window = false;
    std::optional<DWORD> code;
    WaitFor([&] {
        window = window || !TopWindows(program.Id(), "").empty();
        code = program.Wait(0ms);
        return code.has_value();
    });
    Check(!window, "no window is shown");
    std::printf("exit %ld\n", code.has_value() ? static_cast<long>(*code) : -1L);
}

void ErrorBox(const std::string& exe, const std::vector<std::string>& args) {
    TProgram program(exe, args);
    HWND box = WaitForWindow(program, "#32770");
    Check(box != nullptr, "an error box opens");
    if (box != nullptr) {
        std::printf("caption %s\ntext %s\n", TextOf(box).c_str(), TextOf(GetDlgItem(box, 0xFFFF)).c_str());
        AnswerBox(box);
    }
    const std::optional<DWORD> code = program.Wait();
    std::printf("exit %ld\n", code.has_value() ? static_cast<long>(*code) : -1L);
}

// Prints the program's top-level windows and their children after a few seconds: for diagnosis.
void List(const std::string& exe, const std::vector<std::string>& args) {
    TProgram program(exe, args);
    std::this_thread::sleep_for(3s);
    for (HWND window : TopWindows(program.Id(), "", true)) {
        std::printf("%s visible=%d name=%s text=%s\n", ClassOf(window).c_str(),
                    IsWindowVisible(window) != FALSE, NameOf(window).c_str(), TextOf(window).c_str());
        for (HWND child : Children(window))
            std::printf("  %s name=%s text=%s\n", ClassOf(child).c_str(), NameOf(child).c_str(),
                        TextOf(child).c_str());
    }
}

int Usage() {
    std::fprintf(
        stderr,
        "usage: uidriver picker|damaged|disabled|screenshots|normal|quiet|errorbox|list EXE [ARGS...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return Usage();
    const std::string command = argv[1];
    char full[MAX_PATH];
    if (GetFullPathNameA(argv[2], sizeof full, full, nullptr) == 0)
        return Usage();
    const std::string exe = full;
    const std::vector<std::string> args(argv + 3, argv + argc);
    try {
        if (command == "picker" && args.empty())
            Picker(exe);
        else if (command == "damaged" && args.size() == 1)
            Damaged(exe, args[0]);
        else if (command == "disabled" && args.empty())
            Disabled(exe);
        else if (command == "screenshots" && args.size() == 1)
            Screenshots(exe, args[0]);
        else if (command == "normal")
            Normal(exe, args);
        else if (command == "quiet")
            Quiet(exe, args);
        else if (command == "errorbox")
            ErrorBox(exe, args);
        else if (command == "list")
            List(exe, args);
        else
            return Usage();
    } catch (const std::exception& error) {
        Check(false, error.what());
    }
    return failures == 0 ? 0 : 1;
}

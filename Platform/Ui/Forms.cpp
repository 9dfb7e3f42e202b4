#include "Forms.h"

#include "ComCtrls.h"
#include "FormLoader.h"
#include "ResStrings.h"
#include "StdCtrls.h"

namespace ui {

namespace {

constexpr char kFormClass[] = "TQrlForm";
constexpr char kApplicationClass[] = "TQrlApplication";

void RegisterWindowClass(const char* name, WNDPROC procedure) {
    WNDCLASSEXA cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = procedure;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    cls.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = name;
    RegisterClassExA(&cls);
}

HWND CreateFormWindow(WNDPROC procedure) {
    static const bool registered = (RegisterWindowClass(kFormClass, procedure), true);
    (void)registered;
    return CreateWindowExA(
        0, kFormClass, "", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
        CW_USEDEFAULT, CW_USEDEFAULT, 400, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

constexpr TPropInfo FormProps[] = {
    EventProp<&TUiForm::OnCreate, &TUiForm::SetOnCreate>("OnCreate"),
};

} // namespace

constinit const TClassInfo TUiForm::ClassInfo{"TUiForm", &TForm::ClassInfo, nullptr, FormProps, {}};
constinit const TClassInfo TApplication::ClassInfo{"TApplication", &TComponent::ClassInfo, nullptr, {}, {}};

// ---- TUiForm ----

TUiForm::TUiForm(TComponent* owner) : TWindowed<TForm>(owner, CreateFormWindow(&WindowProc)) {
    static const bool registered = (RegisterControlClasses(), true);
    (void)registered;
}

TUiForm::~TUiForm() {
    // The components' windows go first, while the form's window still holds them.
    while (ComponentCount() > 0)
        delete Components(ComponentCount() - 1);
}

void TUiForm::Show() {
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
    SetForegroundWindow(Handle());
}

void TUiForm::Close() {
    PostMessageA(Handle(), WM_CLOSE, 0, 0);
}

void TUiForm::Closed() {
    ShowWindow(Handle(), SW_HIDE);
    if (auto* application = dynamic_cast<TApplication*>(Owner()))
        application->FormClosed(*this);
}

LRESULT CALLBACK TUiForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = static_cast<TUiForm*>(ClientOf(window));
    if (form == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    try {
        switch (message) {
        case WM_COMMAND:
            if (lParam != 0)
                if (TWindowClient* child = ClientOf(reinterpret_cast<HWND>(lParam)))
                    child->Command(HIWORD(wParam));
            return 0;
        case WM_CLOSE:
            form->Closed();
            return 0;
        case WM_CTLCOLORSTATIC:
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        default:
            break;
        }
    } catch (const Exception& error) {
        // What a handler lets pass is shown, and the loop goes on.
        Application().ShowException(error);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// ---- TApplication ----

void RegisterControlClasses() {
    for (const TClassInfo* cls :
         {&TLabel::ClassInfo, &TButton::ClassInfo, &TDropDownButton::ClassInfo, &TMemo::ClassInfo,
          &TStatusBar::ClassInfo, &TStatusPanel::ClassInfo, &TPopupMenu::ClassInfo, &TMenuItem::ClassInfo})
        TClassRegistration{*cls};
}

TApplication::TApplication() : TComponent(nullptr) {
    static const bool registered = (RegisterWindowClass(kApplicationClass, DefWindowProcA), true);
    (void)registered;
    handle_.Reset(CreateWindowExA(WS_EX_TOOLWINDOW, kApplicationClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr));
}

TApplication::~TApplication() {
    while (ComponentCount() > 0)
        delete Components(ComponentCount() - 1);
}

void TApplication::SetTitle(const AnsiString& value) {
    title_ = value;
    SetWindowTextA(handle_.Get(), title_.c_str());
    OnTitleChange(this);
}

void TApplication::Created(TUiForm& form) {
    if (mainForm_ == nullptr)
        mainForm_ = &form;
    LoadFormFromResources(form, HInstance);
    try {
        form.OnCreate(&form);
    } catch (const Exception& error) {
        ShowException(error);
    }
    form.Show();
}

void TApplication::FormClosed(TUiForm& form) {
    if (&form == mainForm_)
        PostQuitMessage(0);
}

void TApplication::Run() {
    if (mainForm_ == nullptr)
        return;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void TApplication::ShowException(const Exception& error) const {
    MessageBoxA(GetActiveWindow(), error.Message().c_str(), title_.c_str(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

TApplication& Application() {
    static TApplication application;
    return application;
}

int HandleUncaught(const std::exception& error) {
    const auto* exception = dynamic_cast<const Exception*>(&error);
    const AnsiString text = rtl::Format(
        ResStr(SUncaughtError), {exception != nullptr ? exception->ClassName() : "std::exception",
                                 exception != nullptr ? exception->Message() : AnsiString(error.what())});
    MessageBoxA(nullptr, text.c_str(), Application().Title().c_str(), MB_ICONERROR | MB_OK | MB_TASKMODAL);
    return 1;
}

} // namespace ui

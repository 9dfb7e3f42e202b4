#include "WinControl.h"

#include "Forms.h"

namespace ui {

void TWindowHandle::Reset(HWND handle) {
    if (handle_ != nullptr)
        DestroyWindow(handle_);
    handle_ = handle;
}

TFontHandle::~TFontHandle() {
    if (handle_ != nullptr)
        DeleteObject(handle_);
}

void TFontHandle::Assign(const TFont& font) {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(font.Size(), GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    const TFontStyles style = font.Style();
    HFONT made = CreateFontA(
        height, 0, 0, 0, (style & FontStyle(TFontStyle::fsBold)) ? FW_BOLD : FW_NORMAL,
        (style & FontStyle(TFontStyle::fsItalic)) != 0, (style & FontStyle(TFontStyle::fsUnderline)) != 0,
        (style & FontStyle(TFontStyle::fsStrikeOut)) != 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, font.Name().c_str());
    if (handle_ != nullptr)
        DeleteObject(handle_);
    handle_ = made;
}

TWindowClient* ClientOf(HWND window) {
    return reinterpret_cast<TWindowClient*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

HWND ParentWindowOf(TComponent* owner) {
    auto* form = dynamic_cast<TUiForm*>(owner);
    return form != nullptr ? form->Handle() : nullptr;
}

namespace {
constexpr char kNameProperty[] = "QrlName";
} // namespace

TControlWindow::~TControlWindow() {
    DropName();
}

void TControlWindow::DropName() {
    if (name_ == 0)
        return;
    if (Handle() != nullptr)
        RemovePropA(Handle(), kNameProperty);
    GlobalDeleteAtom(name_);
    name_ = 0;
}

void TControlWindow::UpdateName(const AnsiString& name) {
    DropName();
    if (Handle() == nullptr || name.empty())
        return;
    name_ = GlobalAddAtomA(name.c_str());
    SetPropA(Handle(), kNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(name_)));
}

void TControlWindow::Create(TControl& control, TWindowClient& client, const char* className, DWORD style,
                            DWORD exStyle, HWND parent) {
    Adopt(control, client,
          CreateWindowExA(exStyle, className, "", style, 0, 0, 0, 0, parent, nullptr,
                          GetModuleHandleA(nullptr), nullptr));
}

void TControlWindow::Adopt(TControl& control, TWindowClient& client, HWND handle) {
    handle_.Reset(handle);
    if (handle == nullptr)
        return;
    SetWindowLongPtrA(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&client));
    Apply(control);
    UpdateName(control.Name());
}

void TControlWindow::Apply(const TControl& control) {
    UpdateText(control.Caption());
    UpdateFont(*control.Font());
    UpdateBounds(control);
    UpdateEnabled(control.Enabled());
    UpdateVisible(control.Visible());
}

void TControlWindow::UpdateText(const AnsiString& text) const {
    if (Handle() != nullptr)
        SetWindowTextA(Handle(), text.c_str());
}

void TControlWindow::UpdateFont(const TFont& font) {
    if (Handle() == nullptr)
        return;
    font_.Assign(font);
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
}

void TControlWindow::UpdateVisible(bool visible) const {
    // A form's window is shown by the form (Show), not by its Visible value at creation.
    if (Handle() != nullptr && (GetWindowLongA(Handle(), GWL_STYLE) & WS_CHILD) != 0)
        ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE);
}

void TControlWindow::UpdateEnabled(bool enabled) const {
    if (Handle() != nullptr)
        EnableWindow(Handle(), enabled);
}

void TControlWindow::UpdateBounds(const TControl& control) const {
    if (Handle() != nullptr)
        MoveWindow(Handle(), control.Left(), control.Top(), control.Width(), control.Height(), TRUE);
}

} // namespace ui

// The windows of controls. A control class of this layer is a control of the component model
// (TControl, or TForm for a form) with a window of the system: TWindowed<Base> makes the window with
// the control and destroys it with the control, and turns the model's change hooks into the
// window's updates, so that a property set through run-time type information shows on screen.
//
// A child control's window is made in the window of the form that owns it (every component that a
// form's data creates is owned by the form); a control without such an owner has no window. Each
// window knows its control (GWLP_USERDATA), so that the form's window can pass on what its children
// report (WM_COMMAND). Each window also carries its control's component name, as the global atom
// in its property "QrlName", so that tools outside the program (an accessibility reader, the
// tests' driver) can tell the windows apart.
#pragma once

#include "Controls.h"

#include <windows.h>

namespace ui {

// A window handle that is destroyed with its holder.
class TWindowHandle {
public:
    TWindowHandle() = default;
    explicit TWindowHandle(HWND handle) : handle_(handle) {}
    TWindowHandle(const TWindowHandle&) = delete;
    TWindowHandle& operator=(const TWindowHandle&) = delete;
    ~TWindowHandle() { Reset(); }

    HWND Get() const { return handle_; }
    void Reset(HWND handle = nullptr);
    // Forgets the handle without destroying the window (which the system destroys itself).
    void Release() { handle_ = nullptr; }

private:
    HWND handle_ = nullptr;
};

// A font of the system made from a TFont; replaced when the font changes.
class TFontHandle {
public:
    TFontHandle() = default;
    TFontHandle(const TFontHandle&) = delete;
    TFontHandle& operator=(const TFontHandle&) = delete;
    ~TFontHandle();

    HFONT Get() const { return handle_; }
    void Assign(const TFont& font);

private:
    HFONT handle_ = nullptr;
};

// Something that a window's parent tells about what the window reports.
class TWindowClient {
public:
    // WM_COMMAND with the notification code of the child window.
    virtual void Command(WORD /*code*/) {}

protected:
    ~TWindowClient() = default;
};

// The control whose window this is, or none.
TWindowClient* ClientOf(HWND window);

// The window of a control, with the updates that its change hooks make.
class TControlWindow {
public:
    TControlWindow() = default;
    TControlWindow(const TControlWindow&) = delete;
    TControlWindow& operator=(const TControlWindow&) = delete;
    ~TControlWindow();

    HWND Handle() const { return handle_.Get(); }
    void Create(TControl& control, TWindowClient& client, const char* className, DWORD style, DWORD exStyle,
                HWND parent);
    // A window made elsewhere (a form's top-level window), adopted.
    void Adopt(TControl& control, TWindowClient& client, HWND handle);
    // The control's values, all of them.
    void Apply(const TControl& control);

    void UpdateText(const AnsiString& text) const;
    void UpdateFont(const TFont& font);
    void UpdateVisible(bool visible) const;
    void UpdateEnabled(bool enabled) const;
    void UpdateBounds(const TControl& control) const;
    void UpdateName(const AnsiString& name);

private:
    void DropName();

    TWindowHandle handle_;
    TFontHandle font_;
    ATOM name_ = 0;
};

class TUiForm;

// The form window that a control owned by owner lives in; none when owner is no form of this layer.
HWND ParentWindowOf(TComponent* owner);

// A control of the model with a window of a system class.
template <class Base> class TWindowed : public Base, public TWindowClient {
public:
    TWindowed(TComponent* owner, const char* className, DWORD style, DWORD exStyle = 0) : Base(owner) {
        if (HWND parent = ParentWindowOf(owner))
            window_.Create(*this, *this, className, style | WS_CHILD, exStyle, parent);
    }

    HWND Handle() const { return window_.Handle(); }

    void SetName(const AnsiString& value) override {
        Base::SetName(value);
        window_.UpdateName(value);
    }

protected:
    TWindowed(TComponent* owner, HWND adopted) : Base(owner) { window_.Adopt(*this, *this, adopted); }

    void TextChanged() override { window_.UpdateText(this->Caption()); }
    void FontChanged() override { window_.UpdateFont(*this->Font()); }
    void VisibleChanged() override { window_.UpdateVisible(this->Visible()); }
    void EnabledChanged() override { window_.UpdateEnabled(this->Enabled()); }
    void BoundsChanged() override { window_.UpdateBounds(*this); }

    TControlWindow window_;
};

} // namespace ui

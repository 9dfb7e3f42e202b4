#include "ComCtrls.h"

namespace ui {

namespace {

constexpr TPropInfo PanelProps[] = {
    StrProp<&TStatusPanel::Text, &TStatusPanel::SetText>("Text"),
    IntProp<&TStatusPanel::Width, &TStatusPanel::SetWidth>("Width"),
};
constexpr TPropInfo StatusBarProps[] = {ObjectProp<&TStatusBar::Panels, &TStatusBar::SetPanels>("Panels")};

} // namespace

constinit const TClassInfo TStatusPanel::ClassInfo{
    "TStatusPanel", &TCollectionItem::ClassInfo, &ConstructObject<TStatusPanel>, PanelProps, {}};
constinit const TClassInfo TStatusBar::ClassInfo{
    "TStatusBar", &TControl::ClassInfo, &ConstructObject<TStatusBar>, StatusBarProps, {}};

void TStatusPanel::SetText(const AnsiString& value) {
    text_ = value;
    Changed(false);
}

void TStatusPanel::SetWidth(std::int32_t value) {
    width_ = value;
    Changed(true);
}

void TStatusPanel::Assign(const TPersistent& source) {
    if (const auto* other = dynamic_cast<const TStatusPanel*>(&source)) {
        text_ = other->text_;
        width_ = other->width_;
        Changed(true);
        return;
    }
    TCollectionItem::Assign(source);
}

void TStatusPanels::Update(TCollectionItem*) {
    bar_.PanelsChanged();
}

TStatusBar::TStatusBar(TComponent* owner) : TWindowed<TControl>(owner, "STATIC", SS_LEFT | WS_CLIPCHILDREN) {}

void TStatusBar::FontChanged() {
    TWindowed<TControl>::FontChanged();
    PanelsChanged();
}

void TStatusBar::BoundsChanged() {
    TWindowed<TControl>::BoundsChanged();
    PanelsChanged();
}

void TStatusBar::PanelsChanged() {
    if (Handle() == nullptr)
        return;
    const auto count = static_cast<std::size_t>(panels_->Count());
    while (panelWindows_.size() > count)
        panelWindows_.pop_back();
    while (panelWindows_.size() < count)
        panelWindows_.push_back(std::make_unique<TWindowHandle>(CreateWindowExA(
            0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_SUNKEN | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0, 0, 0,
            Handle(), nullptr, GetModuleHandleA(nullptr), nullptr)));
    const HFONT font = reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0));
    int left = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const auto& panel = static_cast<const TStatusPanel&>(*panels_->Items(static_cast<int>(i)));
        const int width = i + 1 == count ? std::max(Width() - left, 0) : panel.Width();
        HWND window = panelWindows_[i]->Get();
        MoveWindow(window, left, 0, width, Height(), TRUE);
        SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        SetWindowTextA(window, panel.Text().c_str());
        left += width;
    }
}

} // namespace ui

#include "StdCtrls.h"

namespace ui {

namespace {

constexpr TPropInfo ButtonProps[] = {EventProp<&TButton::OnClick, &TButton::SetOnClick>("OnClick")};
constexpr TPropInfo DropDownButtonProps[] = {
    ComponentRefProp<&TDropDownButton::DropDownMenu, &TDropDownButton::SetDropDownMenu>("DropDownMenu")};
constexpr TPropInfo MemoProps[] = {ObjectProp<&TMemo::Lines, &TMemo::SetLines>("Lines")};

} // namespace

constinit const TClassInfo TLabel::ClassInfo{
    "TLabel", &TControl::ClassInfo, &ConstructObject<TLabel>, {}, {}};
constinit const TClassInfo TButton::ClassInfo{
    "TButton", &TControl::ClassInfo, &ConstructObject<TButton>, ButtonProps, {}};
constinit const TClassInfo TDropDownButton::ClassInfo{
    "TDropDownButton", &TButton::ClassInfo, &ConstructObject<TDropDownButton>, DropDownButtonProps, {}};
constinit const TClassInfo TMemo::ClassInfo{
    "TMemo", &TControl::ClassInfo, &ConstructObject<TMemo>, MemoProps, {}};

TLabel::TLabel(TComponent* owner) : TWindowed<TControl>(owner, "STATIC", SS_LEFT | SS_NOPREFIX) {}

TButton::TButton(TComponent* owner) : TWindowed<TControl>(owner, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP) {}

void TButton::Command(WORD code) {
    if (code == BN_CLICKED)
        Click();
}

void TDropDownButton::Click() {
    if (dropDownMenu_ == nullptr || Handle() == nullptr)
        return;
    RECT bounds;
    GetWindowRect(Handle(), &bounds);
    dropDownMenu_->Popup(bounds.left, bounds.bottom, GetParent(Handle()));
}

void TDropDownButton::Notification(TComponent* component, TOperation operation) {
    TButton::Notification(component, operation);
    if (operation == TOperation::opRemove && component == dropDownMenu_)
        dropDownMenu_ = nullptr;
}

void TMemoLines::Changed() {
    TStringList::Changed();
    memo_.LinesChanged();
}

TMemo::TMemo(TComponent* owner)
    : TWindowed<TControl>(owner, "EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL,
                          WS_EX_CLIENTEDGE) {}

void TMemo::LinesChanged() const {
    AnsiString text = lines_->Text();
    // The last line's break would show as an empty line.
    if (text.ends_with("\r\n"))
        text.resize(text.size() - 2);
    window_.UpdateText(text);
}

} // namespace ui

#include "Menus.h"

#include "ResStrings.h"

#include <algorithm>
#include <memory>

namespace ui {

namespace {

constexpr TPropInfo MenuItemProps[] = {
    StrProp<&TMenuItem::Caption, &TMenuItem::SetCaption>("Caption"),
    BoolProp<&TMenuItem::Checked, &TMenuItem::SetChecked>("Checked"),
    EventProp<&TMenuItem::OnClick, &TMenuItem::SetOnClick>("OnClick"),
};

struct MenuDeleter {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};

} // namespace

constinit const TClassInfo TMenuItem::ClassInfo{
    "TMenuItem", &TComponent::ClassInfo, &ConstructObject<TMenuItem>, MenuItemProps, {}};
constinit const TClassInfo TPopupMenu::ClassInfo{
    "TPopupMenu", &TComponent::ClassInfo, &ConstructObject<TPopupMenu>, {}, {}};

TMenuItem::~TMenuItem() {
    if (menu_ != nullptr)
        menu_->Remove(this);
}

TPopupMenu::~TPopupMenu() {
    for (TMenuItem* item : items_)
        item->menu_ = nullptr;
}

TMenuItem* TPopupMenu::Items(int index) const {
    if (index < 0 || index >= Count())
        throw EListError(SListIndexError, {index});
    return items_[static_cast<std::size_t>(index)];
}

void TPopupMenu::Add(TMenuItem* item) {
    if (item->menu_ != nullptr)
        item->menu_->Remove(item);
    items_.push_back(item);
    item->menu_ = this;
}

void TPopupMenu::Remove(TMenuItem* item) {
    std::erase(items_, item);
    item->menu_ = nullptr;
}

void TPopupMenu::Clear() {
    while (!items_.empty())
        delete items_.back();
}

void TPopupMenu::Popup(int x, int y, HWND owner) {
    const std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter> menu(CreatePopupMenu());
    for (std::size_t i = 0; i < items_.size(); ++i)
        AppendMenuA(menu.get(), MF_STRING | (items_[i]->Checked() ? MF_CHECKED : MF_UNCHECKED), i + 1,
                    items_[i]->Caption().c_str());
    const int chosen = TrackPopupMenu(
        menu.get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, x, y, 0, owner, nullptr);
    if (chosen > 0 && static_cast<std::size_t>(chosen) <= items_.size())
        items_[static_cast<std::size_t>(chosen - 1)]->Click();
}

} // namespace ui

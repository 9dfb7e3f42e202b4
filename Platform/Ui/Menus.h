// Popup menus whose entries are components: each entry has a caption, a tag, a check mark and a
// click handler. The menu refers to its entries and does not own them (their owner does, normally the
// form); an entry that is deleted leaves its menu.
#pragma once

#include "Classes.h"

#include <windows.h>

#include <vector>

namespace ui {

class TPopupMenu;

class TMenuItem : public TComponent {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    explicit TMenuItem(TComponent* owner) : TComponent(owner) {}
    // Leaves its menu.
    ~TMenuItem() override;

    const AnsiString& Caption() const { return caption_; }
    void SetCaption(const AnsiString& value) { caption_ = value; }
    bool Checked() const { return checked_; }
    void SetChecked(bool value) { checked_ = value; }
    TNotifyEvent OnClick;
    void SetOnClick(TNotifyEvent value) { OnClick = value; }

    TPopupMenu* Menu() const { return menu_; }
    // What choosing the entry does: OnClick with the entry as the sender.
    void Click() { OnClick(this); }

private:
    friend class TPopupMenu;
    AnsiString caption_;
    bool checked_ = false;
    TPopupMenu* menu_ = nullptr;
};

class TPopupMenu : public TComponent {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    explicit TPopupMenu(TComponent* owner) : TComponent(owner) {}
    // The entries stay with their owner.
    ~TPopupMenu() override;

    int Count() const { return static_cast<int>(items_.size()); }
    // The entry at index; outside 0 to Count() - 1 raises EListError "List index out of bounds (%d)".
    TMenuItem* Items(int index) const;
    // Appends an entry; one that stands in another menu leaves it first.
    void Add(TMenuItem* item);
    // Removes and deletes every entry.
    void Clear();

    // Shows the menu at a point of the screen, for the window owner, and runs the chosen entry's
    // click when the user chooses one.
    void Popup(int x, int y, HWND owner);

private:
    friend class TMenuItem;
    void Remove(TMenuItem* item);

    std::vector<TMenuItem*> items_;
};

} // namespace ui

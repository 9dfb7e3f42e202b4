// The standard controls: labels, push buttons, a button that opens a popup menu, and a memo.
#pragma once

#include "Menus.h"
#include "WinControl.h"

#include <memory>

namespace ui {

class TLabel : public TWindowed<TControl> {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    explicit TLabel(TComponent* owner);
};

// Published: OnClick, with the control's properties.
class TButton : public TWindowed<TControl> {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    explicit TButton(TComponent* owner);

    TNotifyEvent OnClick;
    void SetOnClick(TNotifyEvent value) { OnClick = value; }

    // What pressing the button does: OnClick with the button as the sender.
    virtual void Click() { OnClick(this); }

protected:
    void Command(WORD code) override;
};

// A button that opens its DropDownMenu below itself when pressed (a component reference).
class TDropDownButton : public TButton {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    using TButton::TButton;

    TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
    void SetDropDownMenu(TPopupMenu* value) { dropDownMenu_ = value; }

    void Click() override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TPopupMenu* dropDownMenu_ = nullptr;
};

class TMemo;

// The lines of a memo: every change shows in the memo's window.
class TMemoLines : public TStringList {
public:
    explicit TMemoLines(TMemo& memo) : memo_(memo) {}

protected:
    void Changed() override;

private:
    TMemo& memo_;
};

// A read-only multi-line text. Published: Lines (a string list), with the control's properties; the
// memo shows its lines, not its Caption.
class TMemo : public TWindowed<TControl> {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    explicit TMemo(TComponent* owner);

    TStrings* Lines() const { return lines_.get(); }
    void SetLines(TStrings* value) { lines_->Assign(*value); }

protected:
    void TextChanged() override {}

private:
    friend class TMemoLines;
    void LinesChanged() const;

    std::unique_ptr<TMemoLines> lines_ = std::make_unique<TMemoLines>(*this);
};

} // namespace ui

// Components for the tests of the component model: one property of every kind, and small stand-ins
// for a label, a memo, a header with a collection of sections and a form class chain.
#pragma once

#include "Controls.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
extern const TTypeInfo TypeInfoAlignment;

// A published property of every kind; Sets counts the calls of the string setters.
class TTestKinds : public TComponent {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    explicit TTestKinds(TComponent* owner);

    AnsiString ShortName;
    AnsiString Text;
    WideString WideText;
    std::int32_t Count = 0;
    TAlignment Alignment = TAlignment::taLeftJustify;
    bool Enabled = false;
    TFontStyles Styles = 0;
    double Ratio = 0;
    std::unique_ptr<TFont> Font = std::make_unique<TFont>();
    TComponent* Buddy = nullptr;
    TNotifyEvent OnChange;
    int Sets = 0;

    void SetShortName(const AnsiString& value);
    void SetText(const AnsiString& value);
    void SetWideText(const WideString& value);
    void SetCount(std::int32_t value) { Count = value; }
    void SetAlignment(TAlignment value) { Alignment = value; }
    void SetEnabled(bool value) { Enabled = value; }
    void SetStyles(TFontStyles value) { Styles = value; }
    void SetRatio(double value) { Ratio = value; }
    TFont* GetFont() const { return Font.get(); }
    void SetBuddy(TComponent* value) { Buddy = value; }
    void SetOnChange(TNotifyEvent value) { OnChange = value; }

protected:
    // A buddy that goes away is forgotten.
    void Notification(TComponent* component, TOperation operation) override;
};

// Counts the hook calls of its text.
class TTestLabel : public TControl {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    using TControl::TControl;

    int TextChanges = 0;
    int FontChanges = 0;

protected:
    void TextChanged() override { ++TextChanges; }
    void FontChanged() override { ++FontChanges; }
};

class TTestMemo : public TControl {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    explicit TTestMemo(TComponent* owner);

    TStrings* Lines() const { return lines_.get(); }
    void SetLines(TStrings* value) { lines_->Assign(*value); }

    int LineChanges = 0;

private:
    std::unique_ptr<TStringList> lines_ = std::make_unique<TStringList>();
};

class TTestSection : public TCollectionItem {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    using TCollectionItem::TCollectionItem;

    const AnsiString& Text() const { return text_; }
    void SetText(const AnsiString& value);
    std::int32_t Width() const { return width_; }
    void SetWidth(std::int32_t value);

    void Assign(const TPersistent& source) override;

private:
    AnsiString text_;
    std::int32_t width_ = 50;
};

// Counts the collection's updates.
class TTestSections : public TCollection {
public:
    TTestSections() : TCollection(TTestSection::ClassInfo) {}

    int Updates = 0;

protected:
    void Update(TCollectionItem*) override { ++Updates; }
};

class TTestHeader : public TControl {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    using TControl::TControl;

    TTestSections* Sections() const { return sections_.get(); }
    void SetSections(TTestSections* value) { sections_->Assign(*value); }

private:
    std::unique_ptr<TTestSections> sections_ = std::make_unique<TTestSections>();
};

// A base form class of a program and the form derived from it; the form publishes an event handler.
class TMainFormBase : public TForm {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    using TForm::TForm;
};

class TMainForm : public TMainFormBase {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    using TMainFormBase::TMainFormBase;

    void LanguageClick(TObject* sender) { LastSender = sender; }

    TObject* LastSender = nullptr;
};

// The component of that name and class that root owns; a test fault when there is none.
template <class T> T& Child(const TComponent& root, std::string_view name) {
    TComponent* component = root.FindComponent(name);
    if (component == nullptr || !component->InheritsFrom(T::ClassInfo))
        throw std::runtime_error("no component " + std::string(name));
    return static_cast<T&>(*component);
}

#include "TestComponents.h"

namespace {

constexpr const char* AlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};

} // namespace

constinit const TTypeInfo TypeInfoAlignment = EnumType("TAlignment", AlignmentNames);

namespace {

constexpr TPropInfo KindsProps[] = {
    ShortStrProp<&TTestKinds::ShortName, &TTestKinds::SetShortName>("ShortName"),
    StrProp<&TTestKinds::Text, &TTestKinds::SetText>("Text"),
    WideStrProp<&TTestKinds::WideText, &TTestKinds::SetWideText>("WideText"),
    IntProp<&TTestKinds::Count, &TTestKinds::SetCount>("Count"),
    OrdProp<&TTestKinds::Alignment, &TTestKinds::SetAlignment>("Alignment", TypeInfoAlignment),
    BoolProp<&TTestKinds::Enabled, &TTestKinds::SetEnabled>("Enabled"),
    OrdProp<&TTestKinds::Styles, &TTestKinds::SetStyles>("Styles", TypeInfoFontStyles),
    FloatProp<&TTestKinds::Ratio, &TTestKinds::SetRatio>("Ratio"),
    ObjectProp<&TTestKinds::GetFont>("Font"),
    ComponentRefProp<&TTestKinds::Buddy, &TTestKinds::SetBuddy>("Buddy"),
    EventProp<&TTestKinds::OnChange, &TTestKinds::SetOnChange>("OnChange"),
};

constexpr TPropInfo MemoProps[] = {
    ObjectProp<&TTestMemo::Lines, &TTestMemo::SetLines>("Lines"),
};

constexpr TPropInfo SectionProps[] = {
    StrProp<&TTestSection::Text, &TTestSection::SetText>("Text"),
    IntProp<&TTestSection::Width, &TTestSection::SetWidth>("Width"),
};

constexpr TPropInfo HeaderProps[] = {
    ObjectProp<&TTestHeader::Sections, &TTestHeader::SetSections>("Sections"),
};

constexpr TMethodInfo MainFormMethods[] = {
    PublishedMethod<&TMainForm::LanguageClick>("LanguageClick"),
};

} // namespace

constinit const TClassInfo TTestKinds::ClassInfo{
    "TTestKinds", &TComponent::ClassInfo, &ConstructObject<TTestKinds>, KindsProps, {}};
constinit const TClassInfo TTestLabel::ClassInfo{
    "TTestLabel", &TControl::ClassInfo, &ConstructObject<TTestLabel>, {}, {}};
constinit const TClassInfo TTestMemo::ClassInfo{
    "TTestMemo", &TControl::ClassInfo, &ConstructObject<TTestMemo>, MemoProps, {}};
constinit const TClassInfo TTestSection::ClassInfo{
    "TTestSection", &TCollectionItem::ClassInfo, &ConstructObject<TTestSection>, SectionProps, {}};
constinit const TClassInfo TTestHeader::ClassInfo{
    "TTestHeader", &TControl::ClassInfo, &ConstructObject<TTestHeader>, HeaderProps, {}};
constinit const TClassInfo TMainFormBase::ClassInfo{
    "TMainFormBase", &TForm::ClassInfo, &ConstructObject<TMainFormBase>, {}, {}};
constinit const TClassInfo TMainForm::ClassInfo{
    "TMainForm", &TMainFormBase::ClassInfo, &ConstructObject<TMainForm>, {}, MainFormMethods};

namespace {

const TClassRegistration registrations[] = {
    TClassRegistration{TTestKinds::ClassInfo},  TClassRegistration{TTestLabel::ClassInfo},
    TClassRegistration{TTestMemo::ClassInfo},   TClassRegistration{TTestSection::ClassInfo},
    TClassRegistration{TTestHeader::ClassInfo}, TClassRegistration{TMainFormBase::ClassInfo},
    TClassRegistration{TMainForm::ClassInfo},
};

} // namespace

TTestKinds::TTestKinds(TComponent* owner) : TComponent(owner) {}

void TTestKinds::SetShortName(const AnsiString& value) {
    ShortName = value;
    ++Sets;
}

void TTestKinds::SetText(const AnsiString& value) {
    Text = value;
    ++Sets;
}

void TTestKinds::SetWideText(const WideString& value) {
    WideText = value;
    ++Sets;
}

void TTestKinds::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == Buddy)
        Buddy = nullptr;
}

TTestMemo::TTestMemo(TComponent* owner) : TControl(owner) {
    lines_->OnChange = {[](TObject& self, TObject*) { ++static_cast<TTestMemo&>(self).LineChanges; }, this};
}

void TTestSection::SetText(const AnsiString& value) {
    text_ = value;
    Changed(false);
}

void TTestSection::SetWidth(std::int32_t value) {
    width_ = value;
    Changed(false);
}

void TTestSection::Assign(const TPersistent& source) {
    const auto* other = dynamic_cast<const TTestSection*>(&source);
    if (other == nullptr) {
        TCollectionItem::Assign(source);
        return;
    }
    text_ = other->text_;
    width_ = other->width_;
    Changed(false);
}

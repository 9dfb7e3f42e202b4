#include "Controls.h"

#include "ResStrings.h"

namespace {

constexpr const char* FontStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

constexpr TPropInfo FontProps[] = {
    StrProp<&TFont::Name, &TFont::SetName>("Name"),
    IntProp<&TFont::Size, &TFont::SetSize>("Size"),
    IntProp<&TFont::Color, &TFont::SetColor>("Color"),
    OrdProp<&TFont::Style, &TFont::SetStyle>("Style", TypeInfoFontStyles),
};

constexpr TPropInfo ControlProps[] = {
    StrProp<&TControl::Caption, &TControl::SetCaption>("Caption"),
    ObjectProp<&TControl::Font, &TControl::SetFont>("Font"),
    BoolProp<&TControl::Visible, &TControl::SetVisible>("Visible"),
    BoolProp<&TControl::Enabled, &TControl::SetEnabled>("Enabled"),
    IntProp<&TControl::Left, &TControl::SetLeft>("Left"),
    IntProp<&TControl::Top, &TControl::SetTop>("Top"),
    IntProp<&TControl::Width, &TControl::SetWidth>("Width"),
    IntProp<&TControl::Height, &TControl::SetHeight>("Height"),
};

} // namespace

constinit const TTypeInfo TypeInfoFontStyle = EnumType("TFontStyle", FontStyleNames);
constinit const TTypeInfo TypeInfoFontStyles = SetType("TFontStyles", TypeInfoFontStyle);

constinit const TClassInfo TFont::ClassInfo{
    "TFont", &TPersistent::ClassInfo, &ConstructObject<TFont>, FontProps, {}};
constinit const TClassInfo TControl::ClassInfo{
    "TControl", &TComponent::ClassInfo, &ConstructObject<TControl>, ControlProps, {}};
constinit const TClassInfo TForm::ClassInfo{"TForm", &TControl::ClassInfo, &ConstructObject<TForm>, {}, {}};

// ---- TFont ----

template <class T> void TFont::Change(T& field, const T& value) {
    if (field == value)
        return;
    field = value;
    OnChange(this);
}

void TFont::SetName(const AnsiString& value) {
    Change(name_, value);
}
void TFont::SetSize(std::int32_t value) {
    Change(size_, value);
}
void TFont::SetColor(std::int32_t value) {
    Change(color_, value);
}
void TFont::SetStyle(TFontStyles value) {
    Change(style_, value);
}

void TFont::Assign(const TPersistent& source) {
    const auto* other = dynamic_cast<const TFont*>(&source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    name_ = other->name_;
    size_ = other->size_;
    color_ = other->color_;
    style_ = other->style_;
    OnChange(this);
}

// ---- TControl ----

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
    font_->OnChange = {[](TObject& self, TObject*) { static_cast<TControl&>(self).FontChanged(); }, this};
}

void TControl::SetFont(TFont* value) {
    if (value == nullptr)
        throw EConvertError(SAssignError, {"nil", font_->ClassName()});
    font_->Assign(*value);
}

void TControl::SetCaption(const AnsiString& value) {
    if (value == caption_)
        return;
    caption_ = value;
    TextChanged();
}

void TControl::SetVisible(bool value) {
    if (value == visible_)
        return;
    visible_ = value;
    VisibleChanged();
}

void TControl::SetEnabled(bool value) {
    if (value == enabled_)
        return;
    enabled_ = value;
    EnabledChanged();
}

void TControl::SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    BoundsChanged();
}

namespace {

const TClassRegistration registrations[] = {
    TClassRegistration{TFont::ClassInfo},
    TClassRegistration{TControl::ClassInfo},
    TClassRegistration{TForm::ClassInfo},
};

} // namespace

// The window-free part of controls and forms: their published properties and the hooks through
// which the window layer brings a window up to date. A control class of that layer derives from
// TControl (a form from TForm) and overrides TextChanged, FontChanged, VisibleChanged,
// EnabledChanged and BoundsChanged; the classes here only hold the values.
#pragma once

#include "Classes.h"

#include <cstdint>
#include <memory>

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
// A set of TFontStyle: bit n for the style of ordinal n.
using TFontStyles = std::uint32_t;
constexpr TFontStyles FontStyle(TFontStyle style) {
    return TFontStyles{1} << static_cast<int>(style);
}

extern const TTypeInfo TypeInfoFontStyle;
extern const TTypeInfo TypeInfoFontStyles;

// Published: Name (long 8-bit string), Size, Color (integers), Style (set of TFontStyle). Every
// change calls OnChange.
class TFont : public TPersistent {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    TNotifyEvent OnChange;

    const AnsiString& Name() const { return name_; }
    void SetName(const AnsiString& value);
    std::int32_t Size() const { return size_; }
    void SetSize(std::int32_t value);
    std::int32_t Color() const { return color_; }
    void SetColor(std::int32_t value);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles value);

    // Takes every value of another font, with one OnChange.
    void Assign(const TPersistent& source) override;

private:
    template <class T> void Change(T& field, const T& value);

    AnsiString name_ = "Tahoma";
    std::int32_t size_ = 8;
    std::int32_t color_ = 0;
    TFontStyles style_ = 0;
};

// Published: Caption (long 8-bit string), Font (object), Visible, Enabled (Booleans), Left, Top, Width,
// Height (integers), and those of TComponent.
class TControl : public TComponent {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    explicit TControl(TComponent* owner);

    const AnsiString& Caption() const { return caption_; }
    void SetCaption(const AnsiString& value);
    TFont* Font() const { return font_.get(); }
    // Copies value into the control's own font; none raises EConvertError "Cannot assign a nil to a
    // TFont".
    void SetFont(TFont* value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    // Whether the control takes input.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    std::int32_t Left() const { return left_; }
    void SetLeft(std::int32_t value) { SetBounds(value, top_, width_, height_); }
    std::int32_t Top() const { return top_; }
    void SetTop(std::int32_t value) { SetBounds(left_, value, width_, height_); }
    std::int32_t Width() const { return width_; }
    void SetWidth(std::int32_t value) { SetBounds(left_, top_, value, height_); }
    std::int32_t Height() const { return height_; }
    void SetHeight(std::int32_t value) { SetBounds(left_, top_, width_, value); }
    void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);

protected:
    // Called after a change of the value they are named after (only when it really changes).
    virtual void TextChanged() {}
    virtual void FontChanged() {}
    virtual void VisibleChanged() {}
    virtual void EnabledChanged() {}
    virtual void BoundsChanged() {}

private:
    AnsiString caption_;
    std::unique_ptr<TFont> font_;
    bool visible_ = true;
    bool enabled_ = true;
    std::int32_t left_ = 0;
    std::int32_t top_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};

// The root of a form's component tree: it owns the form's components. A program's form classes
// derive from it, possibly through base form classes of their own.
class TForm : public TControl {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    using TControl::TControl;
};

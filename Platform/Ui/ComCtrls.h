// A status bar: a row of panels, each with a text and a width, held in a collection (Panels), so
// that a form's data and a language file reach each panel's text as Panels[i].Text. Each panel is a
// window of its own inside the bar's; the last panel takes the rest of the bar.
#pragma once

#include "WinControl.h"

#include <memory>
#include <vector>

namespace ui {

class TStatusPanel : public TCollectionItem {
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
    std::int32_t width_ = 100;
};

class TStatusBar;

class TStatusPanels : public TCollection {
public:
    explicit TStatusPanels(TStatusBar& bar) : TCollection(TStatusPanel::ClassInfo), bar_(bar) {}

protected:
    void Update(TCollectionItem* item) override;

private:
    TStatusBar& bar_;
};

// Published: Panels (a collection of TStatusPanel), with the control's properties.
class TStatusBar : public TWindowed<TControl> {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    explicit TStatusBar(TComponent* owner);

    TStatusPanels* Panels() const { return panels_.get(); }
    void SetPanels(TStatusPanels* value) { panels_->Assign(*value); }

protected:
    void TextChanged() override {}
    void FontChanged() override;
    void BoundsChanged() override;

private:
    friend class TStatusPanels;
    // Brings the panels' windows in line with the collection.
    void PanelsChanged();

    std::unique_ptr<TStatusPanels> panels_ = std::make_unique<TStatusPanels>(*this);
    std::vector<std::unique_ptr<TWindowHandle>> panelWindows_;
};

} // namespace ui

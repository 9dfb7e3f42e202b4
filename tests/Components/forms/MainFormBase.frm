object MainForm: TMainFormBase
  Caption = 'Main'
  Tag = 7
  object Title: TTestLabel
    Caption = 'Welcome'
    Font.Name = 'Arial'
    Width = 120
  end
  object Notes: TTestMemo
    Lines.Strings = (
      'first line'
      'second' + ' line')
  end
  object Header: TTestHeader
    Sections = <
      item
        Text = 'Name'
        Width = 80
      end
      item [5]
        Text = 'Size'
      end>
    object Hint: TTestLabel
      Caption = 'nested'
    end
  end
  object Kinds: TTestKinds
    ShortName = 'short'
    Text = 'long'
    WideText = 'Широкий'
    Count = -100000
    Alignment = taCenter
    Enabled = True
    Styles = [fsBold, fsUnderline]
    Ratio = 2.5
    Glyph = { 0A FF 00 }
    Buddy = Title
    OnChange = LanguageClick
  end
end

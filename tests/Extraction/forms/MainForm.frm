object MainForm: TMainForm
  Caption = 'Главная'
  ClientWidth = 640
  Hint = ''
  OnCreate = FormCreate
  object LanguagesBTN: TButton
    Caption = 'Язык'
    Font.Name = 'Шрифт'
    Font.Style = [fsBold, fsItalic]
    Glyph.Data = { 0A FF 00 E9 }
    OnClick = LanguageClick
    Tag = 3
  end
  object Title: TLabel
    Caption = 'Title'
    FocusControl = LanguagesBTN
  end
  object Notes: TLabel
    Caption = 'Строка'#13#10'вторая'
  end
  object Memo1: TMemo
    Lines.Strings = (
      'ascii line'
      ''
      'кириллица')
    Align = alClient
  end
  object Sizes: TListBox
    Items.Strings = (1 2 alTop)
  end
  object Grid: TGrid
    Columns = <
      item [5]
        Caption = 'Имя'
        Width = 80
      end
      item [7]
        Caption = 'Фамилия'
        Lines.Strings = (
          'Один'
          'two')
        SubColumns = <
          item
            Caption = 'Внутри'
          end
          item
            Caption = 'Ещё'
          end>
      end
      item
        Caption = 'Age'
      end>
    object TPanel
      Caption = 'Безымянная'
      Scale = 1.5
    end
  end
end

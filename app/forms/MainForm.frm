object MainForm: TMainForm
  Left = 160
  Top = 100
  Width = 560
  Height = 440
  Caption = 'Quorlin — демонстрация локализации'
  Font.Name = 'Tahoma'
  Font.Size = 9
  OnCreate = FormCreate
  object TitleLBL: TLabel
    Left = 16
    Top = 16
    Width = 380
    Height = 22
    Font.Name = 'Tahoma'
    Font.Size = 11
    Font.Style = [fsBold]
  end
  object LanguagesBTN: TDropDownButton
    Left = 410
    Top = 12
    Width = 124
    Height = 28
    Caption = 'Язык'
    DropDownMenu = LanguagesPM
  end
  object IntroLBL: TLabel
    Left = 16
    Top = 52
    Width = 518
    Height = 36
    Caption = 'Выберите язык кнопкой справа вверху: окно, заголовок программы и ее сообщения переключатся без перезапуска.'
  end
  object NotesMemo: TMemo
    Left = 16
    Top = 96
    Width = 518
    Height = 160
    Lines.Strings = (
      'Что переводит файл языка:'
      '  — заголовок окна и заголовок программы;'
      '  — надписи и кнопки;'
      '  — каждую строку этого поля;'
      '  — панели строки состояния;'
      '  — сообщения из строковых ресурсов программы.')
  end
  object MessageBTN: TButton
    Left = 16
    Top = 270
    Width = 220
    Height = 30
    Caption = 'Показать сообщение'
    OnClick = MessageBTNClick
  end
  object CloseBTN: TButton
    Left = 414
    Top = 270
    Width = 120
    Height = 30
    Caption = 'Закрыть'
    OnClick = CloseBTNClick
  end
  object StatusBar: TStatusBar
    Left = 0
    Top = 374
    Width = 554
    Height = 24
    Panels = <
      item
        Text = 'Язык: исходный (русский)'
        Width = 260
      end
      item
        Text = 'Тексты встроены в программу'
      end>
  end
  object LanguagesPM: TPopupMenu
  end
end

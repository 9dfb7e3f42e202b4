object AboutBox: TAboutBox
  Caption = 'About'
  object Version: TLabel
    Caption = 'Version 1.0'
  end
end

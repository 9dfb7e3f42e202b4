inherited MainForm: TMainForm
  inherited Title: TTestLabel
    Caption = 'Hello'
  end
  object Extra: TTestLabel
    Caption = 'Added'
    Font.Size = 12
  end
end

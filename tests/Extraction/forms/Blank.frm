object Blank: TBlankForm
  Width = 5
  Visible = False
end

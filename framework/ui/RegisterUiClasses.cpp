#include "framework/ui/RegisterUiClasses.h"

#include "framework/core/ClassRegistry.h"
#include "framework/ui/TBitBtn.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TLabel.h"
#include "framework/ui/TMenus.h"
#include "framework/ui/TPanel.h"

void RegisterUiClasses()
{
    RegisterClasses({TControl::StaticClassInfo(), TWinControl::StaticClassInfo(), TCustomControl::StaticClassInfo(),
                     TCustomPanel::StaticClassInfo(), TPanel::StaticClassInfo(), TEdit::StaticClassInfo(),
                     TLabel::StaticClassInfo(), TComboBox::StaticClassInfo(), TButton::StaticClassInfo(),
                     TBitBtn::StaticClassInfo(), TGroupBox::StaticClassInfo(),
                     TScrollingWinControl::StaticClassInfo(), TScrollBox::StaticClassInfo(),
                     TForm::StaticClassInfo(), TPopupMenu::StaticClassInfo(), TMenuItem::StaticClassInfo()});
}

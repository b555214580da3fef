#include <gtest/gtest.h>

#include <memory>

#include "components/UZopFileDataSet.h"
#include "framework/core/ClassRegistry.h"
#include "framework/core/FormReader.h"
#include "framework/core/FormWriter.h"
#include "framework/core/TStrings.h"
#include "framework/ui/RegisterUiClasses.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TMenus.h"

namespace {

// A form class that publishes the handlers the grid's form text names.
class TGridForm : public TForm {
    DECLARE_CLASSINFO()
public:
    using TForm::TForm;
    std::vector<AnsiString> Log;
    void CellValue(TColumnItem* Column, TGridCell* Cell) { Log.push_back(Column->GetTitle() + "=" + Cell->GetAsString()); }
    void MenuClick(TObject*, AnsiString Caption) { Log.push_back("menu " + Caption); }
};

const TClassInfo* TGridForm::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TGridForm, TForm>("TGridForm")
                                       .Handler("CellValue", &TGridForm::CellValue)
                                       .Handler("MenuClick", &TGridForm::MenuClick)
                                       .Build();
    return &Info;
}

const char* const GridFormText = R"(object GridForm: TGridForm
  Width = 640
  Height = 400
  object Menu1: TPopupMenu
    object Item1: TMenuItem
      Caption = 'Refresh'
    end
  end
  object ZopFileDBGrid1: TZopFileDBGrid
    Left = 1
    Top = 7
    Width = 471
    Height = 317
    Color = clGray
    TabOrder = 1
    Columns = <
      item
        ColumnWidth = 80
        ColumnColor = 11002362
        UseColumnColor = True
        Title = '客戶編號'
        TitleAlign = TA_Center
        TitleColor = 7071712
        EditStyle = CES_Ellipsis
        DataField = 'CustNo'
        CellGetValue = CellValue
      end
      item
        ColumnWidth = 112
        Title = 'City'
        EditStyle = CES_PickList
        PickList.Strings = (
          'Kaohsiung'
          'Taipei')
        DataField = 'City'
      end>
    RecordFocusColor = 15305571
    KeyFieldColor = 4227327
    PopUpMenu = Menu1
    OnGridPopUpMenuClick = MenuClick
  end
end
)";

TEST(GridFormFile, AGridAndItsColumnsAreReadFromAFormFileAndWrittenBack)
{
    RegisterUiClasses();
    RegisterZopFileDBClasses();
    RegisterClasses({TGridForm::StaticClassInfo()});
    TGridForm Form(nullptr);
    ReadFormText(GridFormText, &Form, "grid.form");
    auto* Grid = dynamic_cast<TZopFileDBGrid*>(Form.FindComponent("ZopFileDBGrid1"));
    ASSERT_NE(Grid, nullptr);
    EXPECT_EQ(Grid->Color(), clGray);
    EXPECT_EQ(Grid->GetRecordFocusColor(), TColor(15305571));
    EXPECT_EQ(Grid->GetKeyFieldColor(), TColor(4227327));
    ASSERT_EQ(Grid->GetColumns()->GetCount(), 2);
    TColumnItem* Key = Grid->GetColumns()->GeTColumnItem(0);
    TColumnItem* City = Grid->GetColumns()->GeTColumnItem(1);
    EXPECT_EQ(Key->GetTitle(), "客戶編號");
    EXPECT_EQ(Key->DisplayName(), "[ 客戶編號 ]");
    EXPECT_EQ(Key->GetTitleAlign(), TA_Center);
    EXPECT_EQ(Key->GetEditStyle(), CES_Ellipsis);
    EXPECT_EQ(Key->FTitleCell->Color(), TColor(7071712));
    EXPECT_EQ(Key->FTitleCell->Width(), 80);
    EXPECT_EQ(City->FTitleCell->Left(), 81);
    EXPECT_EQ(City->GetFPickUpList()->Text(), "Kaohsiung\nTaipei\n");
    EXPECT_EQ(City->GetDataField(), "City");

    // The events are bound to the form's handlers.
    Grid->SetFRowCount(1);
    Key->GetDataCell(0)->SetAsString("1221");
    Grid->RunPopUpMenuClick(Form.FindComponent("Item1"));
    EXPECT_EQ(Form.Log, (std::vector<AnsiString>{"客戶編號=1221", "menu Refresh"}));

    // Written back and read again, the grid comes out the same. The item's OnClick is the
    // grid's own handler, installed at run time; a form file cannot name it.
    auto ForgetMenuClick = [](TForm& F) { dynamic_cast<TMenuItem*>(F.FindComponent("Item1"))->OnClick = nullptr; };
    ForgetMenuClick(Form);
    const AnsiString Written = WriteFormText(&Form);
    EXPECT_EQ(Written.find("EditStyle = CES_None"), AnsiString::npos) << "defaults are left out";
    TGridForm Again(nullptr);
    ReadFormText(Written, &Again, "again.form");
    auto* Grid2 = dynamic_cast<TZopFileDBGrid*>(Again.FindComponent("ZopFileDBGrid1"));
    ASSERT_NE(Grid2, nullptr);
    ASSERT_EQ(Grid2->GetColumns()->GetCount(), 2);
    EXPECT_EQ(Grid2->GetColumns()->GeTColumnItem(1)->GetFPickUpList()->Text(), "Kaohsiung\nTaipei\n");
    EXPECT_EQ(Grid2->GetColumns()->GeTColumnItem(0)->GetColumnColor(), TColor(11002362));
    EXPECT_EQ(Grid2->GetPopUpMenu(), Again.FindComponent("Menu1"));
    ForgetMenuClick(Again);
    EXPECT_EQ(WriteFormText(&Again), Written);
}

}  // namespace

#include "app/UMain.h"

#include "components/UZopFileDataSet.h"
#include "framework/core/TypeInfo.h"
#include "framework/ui/TLabel.h"

TForm1* Form1 = nullptr;

const TClassInfo* TForm1::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TForm1, TForm>("TForm1")
                                       .Field("Lb_30073719", &TForm1::Lb_30073719)
                                       .Field("Label1", &TForm1::Label1)
                                       .Field("Label2", &TForm1::Label2)
                                       .Field("ZopFileDBGrid1", &TForm1::ZopFileDBGrid1)
                                       .Field("ZopFileDBEdit1", &TForm1::ZopFileDBEdit1)
                                       .Field("ZopFileDBText1", &TForm1::ZopFileDBText1)
                                       .Field("TbMain", &TForm1::TbMain)
                                       .Field("dsMain", &TForm1::dsMain)
                                       .Handler("FormCreate", &TForm1::FormCreate)
                                       .Build();
    return &Info;
}

TForm1::TForm1(TComponent* Owner) : TForm(Owner) {}

void TForm1::FormCreate(TObject*)
{
    TbMain->SetFActive(true);
}

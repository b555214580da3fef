#include "app/UMain.h"

#include "framework/core/TypeInfo.h"
#include "framework/ui/TLabel.h"

TForm1* Form1 = nullptr;

const TClassInfo* TForm1::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TForm1, TForm>("TForm1")
                                       .Field("Label1", &TForm1::Label1)
                                       .Field("Label2", &TForm1::Label2)
                                       .Handler("FormCreate", &TForm1::FormCreate)
                                       .Build();
    return &Info;
}

TForm1::TForm1(TComponent* Owner) : TForm(Owner) {}

void TForm1::FormCreate(TObject*) {}

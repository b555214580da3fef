// A tiny program on the installed suite: a form class of its own whose form file is compiled
// in, with a dataset, a data source and a bound edit on a memory table. Prints "consumer ok"
// when the record it posts shows in the edit.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "components/UZopFileDataSet.h"
#include "framework/core/ClassRegistry.h"
#include "framework/core/TypeInfo.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/TForm.h"
#include "interface/ServerCall.h"
#include "server/RegisterFileDataSetServer.h"

class TPartsForm : public TForm {
    DECLARE_CLASSINFO()
public:
    explicit TPartsForm(TComponent* Owner) : TForm(Owner) {}

    // The form owns its components; none of these is owned here.
    TZopFileDBEdit* NameEdit = nullptr;
    TZopFileDataSet* DS = nullptr;
    TZopFileDataSource* Src = nullptr;
};

const TClassInfo* TPartsForm::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TPartsForm, TForm>("TPartsForm")
                                       .Field("NameEdit", &TPartsForm::NameEdit)
                                       .Field("DS", &TPartsForm::DS)
                                       .Field("Src", &TPartsForm::Src)
                                       .Build();
    return &Info;
}

int main(int argc, char** argv)
{
    TApplicationHost Host(argc, argv);
    Application->Initialize();
    RegisterFileDataSetServer();
    RegisterZopFileDBClasses();
    RegisterClass(TPartsForm::StaticClassInfo());
    const auto Schema = std::filesystem::temp_directory_path() / "zopfiledb-consumer.SFD";
    std::ofstream(Schema) << "[Table]\nName = Parts\n[Fields]\nPartNo, Number, 6, Key\nName, Text, 30\n";
    int Result = 1;
    try {
        TPartsForm* Form = nullptr;
        Application->CreateForm(Form);
        Form->DS->setFSchemaFileName(Schema.string());
        Form->DS->SetFActive(true);
        IFileDataSet* Server = Form->DS->FileDataSet();
        Check(Server->Insert());
        Form->NameEdit->SetText("Flange");
        Check(Server->SetFieldValue(OleVariant("PartNo"), OleVariant("7")));
        Ask(Server, &IFileDataSet::Post);
        Form->NameEdit->SetText("");
        Check(Server->First());
        if (Form->NameEdit->Text() == "Flange") {
            std::printf("consumer ok\n");
            Result = 0;
        } else {
            std::printf("consumer failed: the edit shows '%s'\n", Form->NameEdit->Text().c_str());
        }
    } catch (const Exception& E) {
        std::printf("consumer failed: %s\n", E.what());
    }
    std::filesystem::remove(Schema);
    return Result;
}

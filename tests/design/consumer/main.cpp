// A tiny program on the installed suite: a form with a dataset, a data source and bound
// controls on a memory table. Prints "consumer ok" when the record it posts shows.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "components/UZopFileDataSet.h"
#include "framework/core/FormReader.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/TForm.h"
#include "interface/ServerCall.h"
#include "server/RegisterFileDataSetServer.h"

int main(int argc, char** argv)
{
    TApplicationHost Host(argc, argv);
    Application->Initialize();
    RegisterFileDataSetServer();
    RegisterZopFileDBClasses();
    const auto Schema = std::filesystem::temp_directory_path() / "zopfiledb-consumer.SFD";
    std::ofstream(Schema) << "[Table]\nName = Parts\n[Fields]\nPartNo, Number, 6, Key\nName, Text, 30\n";
    const std::string Form = "object Form1: TForm\n"
                             "  object NameEdit: TZopFileDBEdit\n    DataSource = Src\n    DataField = 'Name'\n  end\n"
                             "  object DS: TZopFileDataSet\n    AccessUser = 'me'\n    SchemaFileName = '" +
                             Schema.string() +
                             "'\n  end\n"
                             "  object Src: TZopFileDataSource\n    DataSet = DS\n  end\nend\n";
    try {
        auto Root = std::make_unique<TForm>(nullptr);
        ReadFormText(Form, Root.get(), "consumer.form");
        auto* DS = static_cast<TZopFileDataSet*>(Root->FindComponent("DS"));
        auto* Edit = static_cast<TZopFileDBEdit*>(Root->FindComponent("NameEdit"));
        DS->SetFActive(true);
        IFileDataSet* Server = DS->FileDataSet();
        Check(Server->Insert());
        Edit->SetText("Flange");
        Check(Server->SetFieldValue(OleVariant("PartNo"), OleVariant("7")));
        Ask(Server, &IFileDataSet::Post);
        Edit->SetText("");
        Check(Server->First());
        std::filesystem::remove(Schema);
        if (Edit->Text() != "Flange") {
            std::printf("consumer failed: the edit shows '%s'\n", Edit->Text().c_str());
            return 1;
        }
    } catch (const Exception& E) {
        std::printf("consumer failed: %s\n", E.what());
        return 1;
    }
    std::printf("consumer ok\n");
    return 0;
}

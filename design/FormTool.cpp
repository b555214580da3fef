#include "design/FormTool.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "design/FormFileAccess.h"
#include "framework/core/ClassRegistry.h"
#include "framework/core/FormReader.h"
#include "framework/core/FormWriter.h"
#include "framework/core/TypeInfo.h"
#include "framework/design/DesignRegistry.h"
#include "framework/ui/Dialogs.h"

namespace fs = std::filesystem;

namespace {

const char* const Usage =
    "usage: zopfiledb-form palette\n"
    "       zopfiledb-form fields FORM COMPONENT\n"
    "       zopfiledb-form set-field FORM COMPONENT FIELD [--label yes|no] [--caption TEXT] [--output FILE]\n";

// The designer's questions on the terminal, or answered by the command's options.
class TTerminalDialogs : public TDialogService {
public:
    TTerminalDialogs(std::istream& In, std::ostream& Out, std::optional<bool> Label, std::optional<AnsiString> Caption)
        : FIn(In), FOut(Out), FLabel(Label), FCaption(std::move(Caption)), FPrevious(SetDialogService(this))
    {
    }
    ~TTerminalDialogs() override { SetDialogService(FPrevious); }

    TDialogAnswer Show(const TDialogRequest& Request) override
    {
        TDialogAnswer Answer;
        if (Request.Kind == TDialogKind::Input) {
            Answer.Result = mrOk;
            if (FCaption) {
                Answer.Value = *FCaption;
                return Answer;
            }
            FOut << Request.Caption << "\n" << Request.Text << " [" << Request.Value << "]: " << std::flush;
            std::string Line;
            Answer.Value = std::getline(FIn, Line) && !Line.empty() ? AnsiString(Line) : Request.Value;
            return Answer;
        }
        if (Request.Kind != TDialogKind::Message || !Request.Buttons.Contains(mbYes)) {
            FOut << Request.Text << "\n";
            Answer.Result = mrOk;
            return Answer;
        }
        if (FLabel) {
            Answer.Result = *FLabel ? mrYes : mrNo;
            return Answer;
        }
        FOut << Request.Text << " [y/N]: " << std::flush;
        std::string Line;
        Answer.Result = std::getline(FIn, Line) && !Line.empty() && (Line[0] == 'y' || Line[0] == 'Y') ? mrYes : mrNo;
        return Answer;
    }

private:
    std::istream& FIn;
    std::ostream& FOut;
    std::optional<bool> FLabel;
    std::optional<AnsiString> FCaption;
    TDialogService* FPrevious;  // not owned: put back when this one goes
};

// Works in the form file's folder for as long as it lives.
class TFolderScope {
public:
    explicit TFolderScope(const fs::path& Folder) : FSaved(fs::current_path()) { fs::current_path(Folder); }
    ~TFolderScope()
    {
        std::error_code Ignored;
        fs::current_path(FSaved, Ignored);
    }

private:
    fs::path FSaved;
};

struct TLoadedForm {
    std::unique_ptr<TComponent> Root;
    fs::path Path;
};

TLoadedForm LoadForm(const fs::path& Path)
{
    const std::string Content = ReadFormFileText(Path);
    const AnsiString ClassName = FormTextClassName(Content);
    const TClassInfo* Class = FindClass(ClassName);
    if (!Class || !Class->CreateComponent)
        throw EClassNotFound("The form class " + ClassName + " of " + Path.string() + " is not known to this tool");
    TLoadedForm Form{std::unique_ptr<TComponent>(Class->CreateComponent(nullptr)), Path};
    TFormReadOptions Options;
    Options.Designing = true;
    ReadFormText(Content, Form.Root.get(), Path.string(), Options);
    return Form;
}

TComponent* FindNamed(TComponent* Root, const AnsiString& Name)
{
    TComponent* Found = Root->FindComponent(Name);
    if (!Found) throw EComponentError("The form has no component named " + Name);
    return Found;
}

std::unique_ptr<TPropertyEditor> DataFieldEditor(TComponent* Component)
{
    const TPropInfo* Prop = Component->ClassInfo()->FindProperty("DataField");
    if (!Prop) throw EPropertyError(Component->Name() + " has no DataField property");
    return CreatePropertyEditor({Component}, Prop);
}

int Palette(std::ostream& Out)
{
    for (const AnsiString& Page : PalettePages()) {
        Out << Page << "\n";
        for (const TClassInfo* Class : PaletteClasses(Page)) Out << "  " << Class->Name << "\n";
    }
    return 0;
}

int Fields(const fs::path& FormPath, const AnsiString& ComponentName, std::ostream& Out)
{
    const fs::path Path = fs::absolute(FormPath);
    TFolderScope Folder(Path.parent_path());
    TLoadedForm Form = LoadForm(Path);
    DataFieldEditor(FindNamed(Form.Root.get(), ComponentName))->GetValues([&](const AnsiString& Name) {
        Out << Name << "\n";
    });
    return 0;
}

int SetField(const std::vector<std::string>& Args, std::istream& In, std::ostream& Out)
{
    std::optional<bool> Label;
    std::optional<AnsiString> Caption;
    std::optional<fs::path> Output;
    for (size_t I = 4; I < Args.size(); I += 2) {
        if (I + 1 >= Args.size()) throw EInvalidOperation("The option " + Args[I] + " needs a value");
        const std::string& Option = Args[I];
        const std::string& Value = Args[I + 1];
        if (Option == "--label" && (Value == "yes" || Value == "no"))
            Label = Value == "yes";
        else if (Option == "--caption")
            Caption = Value;
        else if (Option == "--output")
            Output = fs::absolute(Value);
        else
            throw EInvalidOperation("Unknown option " + Option + " " + Value);
    }
    const fs::path Path = fs::absolute(Args[1]);
    TFolderScope Folder(Path.parent_path());
    TLoadedForm Form = LoadForm(Path);
    {
        TTerminalDialogs Dialogs(In, Out, Label, Caption);
        DataFieldEditor(FindNamed(Form.Root.get(), Args[2]))->SetValue(Args[3]);
    }
    const fs::path Target = Output.value_or(Path);
    ReplaceFormFileText(Target, WriteFormText(Form.Root.get()));
    Out << "Wrote " << Target.string() << "\n";
    return 0;
}

}  // namespace

int RunFormTool(const std::vector<std::string>& Args, std::istream& In, std::ostream& Out, std::ostream& Err)
{
    try {
        if (Args.size() == 1 && Args[0] == "palette") return Palette(Out);
        if (Args.size() == 3 && Args[0] == "fields") return Fields(Args[1], Args[2], Out);
        if (Args.size() >= 4 && Args[0] == "set-field") return SetField(Args, In, Out);
    } catch (const std::exception& E) {
        Err << "zopfiledb-form: " << E.what() << "\n";
        return 1;
    }
    Err << Usage;
    return 2;
}

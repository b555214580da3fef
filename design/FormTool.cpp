#include "design/FormTool.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QImage>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

#include "design/FormFileAccess.h"
#include "framework/core/ClassRegistry.h"
#include "framework/core/FormReader.h"
#include "framework/core/FormTextUpdate.h"
#include "framework/core/FormTexts.h"
#include "framework/core/FormWriter.h"
#include "framework/core/TCollection.h"
#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"
#include "framework/design/DesignRegistry.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/TForm.h"

#ifndef ZOPFILEDB_VERSION
#define ZOPFILEDB_VERSION "unknown"
#endif

namespace fs = std::filesystem;

namespace {

// The usage and the help are shown in the user's language (TranslateText at the place that
// shows them).
const char* const Usage = ZFD_TRANSLATE_NOOP("FormTool",
    "usage: zopfiledb-form palette\n"
    "       zopfiledb-form fields FORM COMPONENT\n"
    "       zopfiledb-form set-field FORM COMPONENT FIELD [--label yes|no] [--caption TEXT] [--output FILE]\n"
    "       zopfiledb-form render FORM PNG\n"
    "       zopfiledb-form texts FORM\n");

const char* const Description = ZFD_TRANSLATE_NOOP("FormTool",
    "Design-time support on form files: the palette, the DataField property editor, and\n"
    "pictures of forms.\n"
    "\n"
    "Commands:\n"
    "  palette                         the palette pages and their component classes\n"
    "  fields FORM COMPONENT           the field names the DataField editor offers\n"
    "  set-field FORM COMPONENT FIELD  sets the DataField through the editor, which may ask\n"
    "                                  whether to add a caption label, and writes the form\n"
    "                                  back, changing only the lines that changed\n"
    "  render FORM PNG                 saves a picture of the form as a PNG file\n"
    "  texts FORM                      the form's texts that are translated when it loads, as a\n"
    "                                  source that lupdate reads\n"
    "\n"
    "COMPONENT names a component (ZopFileDBEdit1) or a grid column, counted from 0\n"
    "(ZopFileDBGrid1.Columns[1]). A form whose class this tool does not know is opened as a\n"
    "plain form; its handlers are kept as the file names them.\n");

// A command line that does not say what to do: the process ends with code 2.
struct TUsageError {
    AnsiString Problem;
};

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
        FOut << Request.Text << " " << TranslateText("FormTool", "[y/N]:") << " " << std::flush;
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
    std::string Text;      // the file as read
    bool StandIn = false;  // a plain form in place of a class this tool does not know
};

// Loads the form at Path into an object of its class, or into a plain form when the class
// is not registered here (its handlers are then left out, and kept in the file).
TLoadedForm LoadForm(const fs::path& Path, bool Designing)
{
    TLoadedForm Form;
    Form.Text = ReadFormFileText(Path);
    const TClassInfo* Class = GetClass(FormTextClassName(Form.Text));
    Form.StandIn = !Class || !Class->CreateComponent;
    Form.Root.reset(Form.StandIn ? new TForm(nullptr) : Class->CreateComponent(nullptr));
    TFormReadOptions Options;
    Options.Designing = Designing;
    Options.StandIn = Form.StandIn;
    ReadFormText(Form.Text, Form.Root.get(), Path.string(), Options);
    return Form;
}

std::vector<AnsiString> Split(const AnsiString& Text, char Separator)
{
    std::vector<AnsiString> Parts;
    std::size_t Start = 0;
    for (std::size_t At = Text.find(Separator); At != AnsiString::npos; Start = At + 1, At = Text.find(Separator, Start))
        Parts.push_back(Text.substr(Start, At - Start));
    Parts.push_back(Text.substr(Start));
    return Parts;
}

// "ZopFileDBEdit1", or a sub-object or collection item on it: "ZopFileDBGrid1.Columns[1]".
TPersistent* FindTarget(TComponent* Root, const AnsiString& Path)
{
    const std::vector<AnsiString> Parts = Split(Path, '.');
    TObject* Target = SameText(Root->Name(), Parts[0]) ? Root : Root->FindComponent(Parts[0]);
    if (!Target) throw EComponentError(FormatText(TranslateText("FormTool", "The form has no component named %1"), {Parts[0]}));
    AnsiString Reached = Parts[0];
    for (std::size_t I = 1; I < Parts.size(); ++I) {
        AnsiString Name = Parts[I];
        std::optional<int> Index;
        if (const std::size_t Open = Name.find('['); Open != AnsiString::npos) {
            int Value = -1;
            if (Name.back() != ']' || !TryStrToInt(Name.substr(Open + 1, Name.size() - Open - 2), Value) || Value < 0)
                throw EInvalidOperation(FormatText(
                    TranslateText("FormTool", "The item in %1 must be a number from 0 in brackets: %2"), {Path, Name}));
            Index = Value;
            Name.resize(Open);
        }
        const TPropInfo* Prop = Target->ClassInfo()->FindProperty(Name);
        if (!Prop || Prop->Type->Kind != TTypeKind::Class || Prop->Type->IsComponentReference())
            throw EPropertyError(
                FormatText(TranslateText("FormTool", "%1 has no property %2 holding an object"), {Reached, Name}));
        Target = Prop->Get(Target).AsObject();
        Reached += "." + Prop->Name;
        if (!Index) continue;
        auto* Collection = dynamic_cast<TCollection*>(Target);
        if (!Collection) throw EPropertyError(FormatText(TranslateText("FormTool", "%1 is not a collection"), {Reached}));
        if (*Index >= Collection->Count())
            throw EListError(FormatText(TranslateText("FormTool", "%1 has no item %2 (it has %3, counted from 0)"),
                                        {Reached, IntToStr(*Index), IntToStr(Collection->Count())}));
        Target = Collection->GetItem(*Index);
        Reached += "[" + IntToStr(*Index) + "]";
    }
    auto* Persistent = dynamic_cast<TPersistent*>(Target);
    if (!Persistent) throw EPropertyError(FormatText(TranslateText("FormTool", "%1 has no properties to edit"), {Reached}));
    return Persistent;
}

std::unique_ptr<TPropertyEditor> DataFieldEditor(TPersistent* Target, const AnsiString& Path)
{
    const TPropInfo* Prop = Target->ClassInfo()->FindProperty("DataField");
    if (!Prop) throw EPropertyError(FormatText(TranslateText("FormTool", "%1 has no DataField property"), {Path}));
    return CreatePropertyEditor({Target}, Prop);
}

int Palette(std::ostream& Out)
{
    for (const AnsiString& Page : PalettePages()) {
        Out << Page << "\n";
        for (const TClassInfo* Class : PaletteClasses(Page)) Out << "  " << Class->Name << "\n";
    }
    return 0;
}

int Fields(const fs::path& FormPath, const AnsiString& Component, std::ostream& Out)
{
    const fs::path Path = fs::absolute(FormPath);
    TFolderScope Folder(Path.parent_path());
    TLoadedForm Form = LoadForm(Path, true);
    DataFieldEditor(FindTarget(Form.Root.get(), Component), Component)->GetValues([&](const AnsiString& Name) {
        Out << Name << "\n";
    });
    return 0;
}

struct TSetFieldOptions {
    std::optional<bool> Label;
    std::optional<AnsiString> Caption;
    std::optional<fs::path> Output;
};

int SetField(const fs::path& FormPath, const AnsiString& Component, const AnsiString& Field,
             const TSetFieldOptions& Options, std::istream& In, std::ostream& Out)
{
    const fs::path Path = fs::absolute(FormPath);
    const fs::path Target = Options.Output ? fs::absolute(*Options.Output) : Path;
    TFolderScope Folder(Path.parent_path());
    TLoadedForm Form = LoadForm(Path, true);
    const TWrittenObject Before = DescribeForm(Form.Root.get());
    {
        TTerminalDialogs Dialogs(In, Out, Options.Label, Options.Caption);
        DataFieldEditor(FindTarget(Form.Root.get(), Component), Component)->SetValue(Field);
    }
    std::optional<AnsiString> Text = UpdateFormText(Form.Text, Before, DescribeForm(Form.Root.get()));
    if (!Text && Form.StandIn)
        throw EWriteError(FormatText(TranslateText("FormTool", "The form %1 is laid out so that the change cannot be made "
                                                               "on lines of its own, and its class is not known here to "
                                                               "write it whole"),
                                     {Path.string()}));
    ReplaceFormFileText(Target, Text ? *Text : WriteFormText(Form.Root.get()));
    Out << FormatText(TranslateText("FormTool", "Wrote %1"), {Target.string()}) << "\n";
    return 0;
}

std::string PngOf(TComponent* Root)
{
    auto* Form = dynamic_cast<TForm*>(Root);
    if (!Form)
        throw EInvalidOperation(
            FormatText(TranslateText("FormTool", "The form's top object is a %1, not a form"), {Root->ClassInfo()->Name}));
    Form->Show();
    QCoreApplication::processEvents();
    const QImage Image = Form->Widget()->grab().toImage();
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    if (Image.isNull() || !Image.save(&Buffer, "PNG")) throw EWriteError(TranslateText("FormTool", "The picture of the form could not be made"));
    return Bytes.toStdString();
}

int Render(const fs::path& FormPath, const fs::path& PngPath, std::ostream& Out)
{
    const fs::path Path = fs::absolute(FormPath);
    const fs::path Target = fs::absolute(PngPath);
    std::string Png;
    {
        TFolderScope Folder(Path.parent_path());
        Png = PngOf(LoadForm(Path, false).Root.get());
    }
    ReplaceFormFileText(Target, Png);
    Out << FormatText(TranslateText("FormTool", "Wrote %1"), {Target.string()}) << "\n";
    return 0;
}

// A text as a C++ string literal, as lupdate reads it.
std::string CppLiteral(const AnsiString& Text)
{
    std::string Out = "\"";
    for (const char C : Text) {
        switch (C) {
        case '\\': Out += "\\\\"; break;
        case '"': Out += "\\\""; break;
        case '\n': Out += "\\n"; break;
        case '\r': Out += "\\r"; break;
        case '\t': Out += "\\t"; break;
        default: Out += C; break;
        }
    }
    return Out + "\"";
}

// The form's translatable texts in its class's context, as it is translated when it loads.
int Texts(const fs::path& FormPath, std::ostream& Out)
{
    const fs::path Path = fs::absolute(FormPath);
    TFolderScope Folder(Path.parent_path());
    TLoadedForm Form = LoadForm(Path, true);
    const AnsiString Context = FormTextClassName(Form.Text);
    Out << "// The texts of the form " << Context << ", translated in its context when it loads.\n";
    for (const AnsiString& Text : FormTexts(Form.Root.get()))
        Out << "ZFD_TRANSLATE_NOOP(" << CppLiteral(Context) << ", " << CppLiteral(Text) << ");\n";
    return 0;
}

AnsiString Utf8(const QString& Text)
{
    return Text.toStdString();
}

// The commands and their arguments, read with Qt's parser: options anywhere, "--name value"
// or "--name=value", "--" before an argument that starts with a dash.
int Dispatch(const std::vector<std::string>& Args, std::istream& In, std::ostream& Out)
{
    QCommandLineParser Parser;
    Parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption Help = Parser.addHelpOption();
    const QCommandLineOption Version = Parser.addVersionOption();
    const QCommandLineOption Label(
        "label", QString::fromStdString(TranslateText("FormTool", "set-field: add a caption label (yes) or not (no), without asking")),
        "yes|no");
    const QCommandLineOption Caption(
        "caption", QString::fromStdString(TranslateText("FormTool", "set-field: the caption label's text, without asking")), "TEXT");
    const QCommandLineOption Output(
        "output", QString::fromStdString(TranslateText("FormTool", "set-field: write the form to FILE instead")), "FILE");
    Parser.addOptions({Label, Caption, Output});

    QStringList Line{"zopfiledb-form"};
    for (const std::string& Arg : Args) Line << QString::fromStdString(Arg);
    if (!Parser.parse(Line)) throw TUsageError{Utf8(Parser.errorText())};
    if (Parser.isSet(Help) || Parser.isSet("help-all")) {
        const AnsiString Text = Utf8(Parser.helpText());
        const std::size_t Options = Text.find("Options:");
        Out << TranslateText("FormTool", Usage) << "\n" << TranslateText("FormTool", Description) << "\n"
            << (Options == AnsiString::npos ? Text : Text.substr(Options));
        return 0;
    }
    if (Parser.isSet(Version)) {
        Out << "zopfiledb-form " << ZOPFILEDB_VERSION << "\n";
        return 0;
    }

    std::vector<AnsiString> Words;
    for (const QString& Word : Parser.positionalArguments()) Words.push_back(Utf8(Word));
    if (Words.empty()) throw TUsageError{TranslateText("FormTool", "no command given")};
    const AnsiString& Command = Words[0];
    struct TCommand {
        const char* Name;
        std::size_t Count;  // of its arguments
        const char* Arguments;  // translated where shown
    };
    const TCommand Commands[] = {{"palette", 0, ZFD_TRANSLATE_NOOP("FormTool", "no arguments")},
                                 {"fields", 2, "FORM COMPONENT"},
                                 {"set-field", 3, "FORM COMPONENT FIELD"},
                                 {"render", 2, "FORM PNG"},
                                 {"texts", 1, "FORM"}};
    const TCommand* Found = nullptr;
    for (const TCommand& C : Commands)
        if (Command == C.Name) Found = &C;
    if (!Found) throw TUsageError{FormatText(TranslateText("FormTool", "unknown command '%1'"), {Command})};
    if (Words.size() - 1 != Found->Count)
        throw TUsageError{
            FormatText(TranslateText("FormTool", "%1 takes %2"), {Command, TranslateText("FormTool", Found->Arguments)})};
    const bool SetsField = Command == "set-field";
    for (const QCommandLineOption* Option : {&Label, &Caption, &Output})
        if (!SetsField && Parser.isSet(*Option))
            throw TUsageError{FormatText(TranslateText("FormTool", "--%1 is an option of set-field only"),
                                         {Utf8(Option->names().front())})};

    if (Command == "palette") return Palette(Out);
    if (Command == "fields") return Fields(Words[1], Words[2], Out);
    if (Command == "render") return Render(Words[1], Words[2], Out);
    if (Command == "texts") return Texts(Words[1], Out);
    TSetFieldOptions Options;
    if (Parser.isSet(Label)) {
        const AnsiString Value = Utf8(Parser.value(Label));
        if (Value != "yes" && Value != "no") throw TUsageError{FormatText(TranslateText("FormTool", "--label takes yes or no, not '%1'"), {Value})};
        Options.Label = Value == "yes";
    }
    if (Parser.isSet(Caption)) Options.Caption = Utf8(Parser.value(Caption));
    if (Parser.isSet(Output)) Options.Output = fs::path(Utf8(Parser.value(Output)));
    return SetField(Words[1], Words[2], Words[3], Options, In, Out);
}

}  // namespace

int RunFormTool(const std::vector<std::string>& Args, std::istream& In, std::ostream& Out, std::ostream& Err)
{
    try {
        return Dispatch(Args, In, Out);
    } catch (const TUsageError& E) {
        Err << "zopfiledb-form: " << E.Problem << "\n"
            << TranslateText("FormTool", Usage) << TranslateText("FormTool", "Try 'zopfiledb-form --help' for more.") << "\n";
        return 2;
    } catch (const std::exception& E) {
        Err << "zopfiledb-form: " << E.what() << "\n";
        return 1;
    }
}

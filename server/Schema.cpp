#include "server/Schema.h"

#include <locale.h>
#include <wctype.h>

#include <fstream>
#include <sstream>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "server/FieldTypes.h"
#include "server/ServerError.h"
#include "server/ValueText.h"

namespace RecordServer {

namespace {

constexpr std::size_t MaxNameLength = 64;
constexpr int MaxFieldSize = 65535;

bool IsAsciiLetter(char C)
{
    return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z');
}

bool StartsWithNoCase(std::string_view S, std::string_view Prefix)
{
    return S.size() >= Prefix.size() && SameText(S.substr(0, Prefix.size()), Prefix);
}

// "U+00A0", for characters that may not show in a message.
AnsiString CodePointText(char32_t C)
{
    return "U+" + IntToHex(C, C > 0xFFFF ? 6 : 4);
}

// Letters and digits of any language, by Unicode's classes as the C library's UTF-8 locale
// knows them (independent of the process's own locale).
bool IsUnicodeLetterOrDigit(char32_t C)
{
    static const locale_t Utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (!Utf8) return true;  // without the classes, every non-ASCII character counts as a letter
    return iswalnum_l(static_cast<wint_t>(C), Utf8) != 0;
}

// Table and field names: letters, digits and '_', not starting with a digit. Names of the
// server's own columns and SQLite's are reserved.
AnsiString NameProblem(std::string_view Name)
{
    if (Name.empty()) return TranslateText("Schema", "a name is missing");
    if (Name.size() > MaxNameLength) return FormatText(TranslateText("Schema", "the name %1 is longer than 64 bytes"), {Name});
    if (Name[0] >= '0' && Name[0] <= '9') return FormatText(TranslateText("Schema", "the name %1 starts with a digit"), {Name});
    for (std::size_t Pos = 0; Pos < Name.size();) {
        char C = Name[Pos];
        char32_t Code = DecodeUtf8(Name, Pos);
        bool Ok = IsAsciiLetter(C) || (C >= '0' && C <= '9') || C == '_' ||
                  (Code >= 0x80 && Code != Utf8Error && IsUnicodeLetterOrDigit(Code));
        if (!Ok) {
            // Built piece by piece: GCC 12 sees a false overlap (-Wrestrict) in "'" + ... + "'".
            AnsiString Found;
            if (Code >= 0x80 || Code < 0x20) {
                Found = CodePointText(Code);
            } else {
                Found.push_back('\'');
                Found.push_back(C);
                Found.push_back('\'');
            }
            return FormatText(TranslateText("Schema", "the name %1 may hold only letters, digits and '_' (found %2)"), {Name, Found});
        }
    }
    if (StartsWithNoCase(Name, "zfd_") || StartsWithNoCase(Name, "sqlite_"))
        return FormatText(TranslateText("Schema", "the name %1 is reserved (names may not start with zfd_ or sqlite_)"), {Name});
    return {};
}

enum class TSection { None, Table, Fields, Users };

const char* const FieldLineForm = ZFD_TRANSLATE_NOOP("Schema",
    "a field is written as: name, type, size[, Key] (the size may be left out for Date and Boolean)");

}  // namespace

AnsiString UserNameProblem(std::string_view Name)
{
    for (std::size_t Pos = 0; Pos < Name.size();) {
        char32_t Code = DecodeUtf8(Name, Pos);
        if (Code < 0x20 || (Code >= 0x7F && Code <= 0x9F))
            return FormatText(TranslateText("Schema", "the user name %1 holds the control character %2"), {Quoted(Name), CodePointText(Code)});
    }
    return {};
}

namespace {

class TSchemaParser {
public:
    TSchemaParser(std::string_view Text, const AnsiString& FileName) : FText(Text)
    {
        FSchema.FileName = FileName;
    }

    TTableSchema Parse()
    {
        if (FText.substr(0, 3) == "\xEF\xBB\xBF") FText.remove_prefix(3);
        std::size_t Pos = 0;
        while (Pos <= FText.size()) {
            std::size_t End = FText.find('\n', Pos);
            if (End == std::string_view::npos) End = FText.size();
            ++FLine;
            // A file in another encoding would give names that no program can name.
            if (!IsValidUtf8(FText.substr(Pos, End - Pos)))
                Fail(TranslateText("Schema", "the line is not UTF-8 text (save the schema file in UTF-8)"));
            ParseLine(Trim(FText.substr(Pos, End - Pos)));
            Pos = End + 1;
        }
        if (FSchema.TableName.empty()) FailAtEnd(TranslateText("Schema", "no table name is given (a [Table] section with Name = ...)"));
        if (FSchema.Fields.empty()) FailAtEnd(TranslateText("Schema", "no fields are given (a [Fields] section)"));
        if (FSchema.HasUsers && FSchema.Users.empty()) FailAtEnd(TranslateText("Schema", "the [Users] section lists no users"));
        return std::move(FSchema);
    }

private:
    [[noreturn]] void Fail(const AnsiString& Problem) const
    {
        throw EServerError(FormatText(TranslateText("Schema", "Schema file %1, line %2: %3."), {FSchema.FileName, IntToStr(FLine), Problem}));
    }
    [[noreturn]] void FailAtEnd(const AnsiString& Problem) const
    {
        throw EServerError(FormatText(TranslateText("Schema", "Schema file %1: %2."), {FSchema.FileName, Problem}));
    }

    void ParseLine(const AnsiString& Line)
    {
        if (Line.empty() || Line[0] == '#' || Line[0] == ';') return;
        if (Line[0] == '[') {
            ParseSectionHeader(Line);
            return;
        }
        switch (FSection) {
        case TSection::None: Fail(TranslateText("Schema", "a line outside any section (start with [Table], [Fields] or [Users])"));
        case TSection::Table: ParseTableLine(Line); break;
        case TSection::Fields: ParseFieldLine(Line); break;
        case TSection::Users: ParseUserLine(Line); break;
        }
    }

    void ParseSectionHeader(const AnsiString& Line)
    {
        if (Line.back() != ']') Fail(TranslateText("Schema", "a section header must end with ']'"));
        AnsiString Name = Trim(std::string_view(Line).substr(1, Line.size() - 2));
        TSection Section = TSection::None;
        if (SameText(Name, "Table")) Section = TSection::Table;
        else if (SameText(Name, "Fields")) Section = TSection::Fields;
        else if (SameText(Name, "Users")) Section = TSection::Users;
        else Fail(FormatText(TranslateText("Schema", "unknown section [%1] (expected [Table], [Fields] or [Users])"), {Name}));
        for (TSection Seen : FSeen)
            if (Seen == Section) Fail(FormatText(TranslateText("Schema", "the section [%1] appears twice"), {Name}));
        FSeen.push_back(Section);
        FSection = Section;
        if (Section == TSection::Users) FSchema.HasUsers = true;
    }

    // "Key = Value"; Fail when there is no '='.
    std::pair<AnsiString, AnsiString> SplitAssignment(const AnsiString& Line, const AnsiString& Expected)
    {
        std::size_t Eq = Line.find('=');
        if (Eq == AnsiString::npos) Fail(FormatText(TranslateText("Schema", "expected %1"), {Expected}));
        return {Trim(std::string_view(Line).substr(0, Eq)), Trim(std::string_view(Line).substr(Eq + 1))};
    }

    void ParseTableLine(const AnsiString& Line)
    {
        auto [Key, Value] = SplitAssignment(Line, TranslateText("Schema", "Name = <table name>"));
        if (!SameText(Key, "Name")) Fail(FormatText(TranslateText("Schema", "unknown setting %1 in [Table] (expected Name)"), {Key}));
        if (!FSchema.TableName.empty()) Fail(TranslateText("Schema", "the table name is given twice"));
        if (AnsiString Problem = NameProblem(Value); !Problem.empty()) Fail(FormatText(TranslateText("Schema", "table name: %1"), {Problem}));
        FSchema.TableName = Value;
    }

    void ParseFieldLine(const AnsiString& Line)
    {
        std::vector<AnsiString> Items;
        std::size_t Pos = 0;
        while (true) {
            std::size_t Comma = Line.find(',', Pos);
            Items.push_back(Trim(std::string_view(Line).substr(Pos, Comma == AnsiString::npos ? AnsiString::npos : Comma - Pos)));
            if (Comma == AnsiString::npos) break;
            Pos = Comma + 1;
        }
        if (Items.size() < 2 || Items.size() > 4) Fail(TranslateText("Schema", FieldLineForm));
        TFieldDef Field;
        Field.Name = Items[0];
        if (AnsiString Problem = NameProblem(Field.Name); !Problem.empty()) Fail(FormatText(TranslateText("Schema", "field name: %1"), {Problem}));
        for (const TFieldDef& Other : FSchema.Fields)
            if (SameText(Other.Name, Field.Name))
                Fail(FormatText(TranslateText("Schema", "the field %1 is declared twice"), {Field.Name}));
        if (!ParseFieldType(Items[1], Field))
            Fail(FormatText(TranslateText("Schema", "unknown type %1 of field %2 (expected Text, Number, Integer, "
                                                    "Decimal(n) with n decimals, Date or Boolean)"),
                            {Items[1], Field.Name}));
        // The size may be left out where the type has one of its own (a date, a boolean).
        std::size_t Next = 2;
        Field.Size = DefaultFieldSize(Field);
        if (Next < Items.size() && !SameText(Items[Next], "Key")) {
            if (!TryStrToInt(Items[Next], Field.Size) || Field.Size < 1 || Field.Size > MaxFieldSize)
                Fail(FormatText(
                    TranslateText("Schema", "the size of field %1 must be a whole number from 1 to 65535, not %2"),
                    {Field.Name, Items[Next]}));
            ++Next;
        }
        if (Field.Size == 0) Fail(TranslateText("Schema", FieldLineForm));
        if (Field.Size < LeastFieldSize(Field))
            Fail(FormatText(TranslateText("Schema", "the size of field %1 must be at least %2 for a %3 field, not %4"),
                            {Field.Name, IntToStr(LeastFieldSize(Field)), FieldTypeName(Field), IntToStr(Field.Size)}));
        if (Next < Items.size()) {
            if (!SameText(Items[Next], "Key"))
                Fail(FormatText(TranslateText("Schema", "expected Key or nothing after the size of field %1"), {Field.Name}));
            Field.Key = true;
            ++Next;
        }
        if (Next < Items.size()) Fail(TranslateText("Schema", FieldLineForm));
        FSchema.Fields.push_back(std::move(Field));
    }

    void ParseUserLine(const AnsiString& Line)
    {
        auto [Name, Right] = SplitAssignment(Line, TranslateText("Schema", "<user name> = Read or Write"));
        if (Name.empty()) Fail(TranslateText("Schema", "a user name is missing"));
        if (AnsiString Problem = UserNameProblem(Name); !Problem.empty()) Fail(Problem);
        TSchemaUser User{Name, TUserRight::Read};
        if (SameText(Right, "Write")) User.Right = TUserRight::Write;
        else if (!SameText(Right, "Read")) Fail(FormatText(TranslateText("Schema", "the right of user %1 must be Read or Write, not %2"), {Name, Right}));
        if (FSchema.FindUser(Name)) Fail(FormatText(TranslateText("Schema", "the user %1 is listed twice"), {Name}));
        FSchema.Users.push_back(std::move(User));
    }

    std::string_view FText;
    TTableSchema FSchema;
    TSection FSection = TSection::None;
    std::vector<TSection> FSeen;
    int FLine = 0;
};

}  // namespace

int TTableSchema::FieldIndex(std::string_view Name) const
{
    for (std::size_t I = 0; I < Fields.size(); ++I)
        if (Fields[I].Name == Name) return static_cast<int>(I);
    return -1;
}

const TSchemaUser* TTableSchema::FindUser(std::string_view Name) const
{
    for (const TSchemaUser& User : Users)
        if (User.Name == Name) return &User;
    return nullptr;
}

bool TTableSchema::HasKey() const
{
    for (const TFieldDef& Field : Fields)
        if (Field.Key) return true;
    return false;
}

TTableSchema ParseSchema(std::string_view Text, const AnsiString& FileName)
{
    return TSchemaParser(Text, FileName).Parse();
}

TTableSchema LoadSchemaFile(const AnsiString& Path)
{
    std::ifstream In(Path, std::ios::binary);
    if (!In) throw EServerError(FormatText(TranslateText("Schema", "Cannot read the schema file %1."), {Path}));
    std::ostringstream Text;
    Text << In.rdbuf();
    return ParseSchema(Text.str(), Path);
}

}  // namespace RecordServer

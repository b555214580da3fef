#include "server/Schema.h"

#include <locale.h>
#include <wctype.h>

#include <fstream>
#include <sstream>

#include "framework/core/TextUtils.h"
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
    if (Name.empty()) return "a name is missing";
    if (Name.size() > MaxNameLength) return "the name " + AnsiString(Name) + " is longer than 64 bytes";
    if (Name[0] >= '0' && Name[0] <= '9') return "the name " + AnsiString(Name) + " starts with a digit";
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
            return "the name " + AnsiString(Name) + " may hold only letters, digits and '_' (found " + Found + ")";
        }
    }
    if (StartsWithNoCase(Name, "zfd_") || StartsWithNoCase(Name, "sqlite_"))
        return "the name " + AnsiString(Name) + " is reserved (names may not start with zfd_ or sqlite_)";
    return {};
}

enum class TSection { None, Table, Fields, Users };

const char* const FieldLineForm =
    "a field is written as: name, type, size[, Key] (the size may be left out for Date and Boolean)";

}  // namespace

AnsiString UserNameProblem(std::string_view Name)
{
    for (std::size_t Pos = 0; Pos < Name.size();) {
        char32_t Code = DecodeUtf8(Name, Pos);
        if (Code < 0x20 || (Code >= 0x7F && Code <= 0x9F))
            return "the user name " + Quoted(Name) + " holds the control character " + CodePointText(Code);
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
                Fail("the line is not UTF-8 text (save the schema file in UTF-8)");
            ParseLine(Trim(FText.substr(Pos, End - Pos)));
            Pos = End + 1;
        }
        if (FSchema.TableName.empty()) FailAtEnd("no table name is given (a [Table] section with Name = ...)");
        if (FSchema.Fields.empty()) FailAtEnd("no fields are given (a [Fields] section)");
        if (FSchema.HasUsers && FSchema.Users.empty()) FailAtEnd("the [Users] section lists no users");
        return std::move(FSchema);
    }

private:
    [[noreturn]] void Fail(const AnsiString& Problem) const
    {
        throw EServerError("Schema file " + FSchema.FileName + ", line " + IntToStr(FLine) + ": " + Problem + ".");
    }
    [[noreturn]] void FailAtEnd(const AnsiString& Problem) const
    {
        throw EServerError("Schema file " + FSchema.FileName + ": " + Problem + ".");
    }

    void ParseLine(const AnsiString& Line)
    {
        if (Line.empty() || Line[0] == '#' || Line[0] == ';') return;
        if (Line[0] == '[') {
            ParseSectionHeader(Line);
            return;
        }
        switch (FSection) {
        case TSection::None: Fail("a line outside any section (start with [Table], [Fields] or [Users])");
        case TSection::Table: ParseTableLine(Line); break;
        case TSection::Fields: ParseFieldLine(Line); break;
        case TSection::Users: ParseUserLine(Line); break;
        }
    }

    void ParseSectionHeader(const AnsiString& Line)
    {
        if (Line.back() != ']') Fail("a section header must end with ']'");
        AnsiString Name = Trim(std::string_view(Line).substr(1, Line.size() - 2));
        TSection Section = TSection::None;
        if (SameText(Name, "Table")) Section = TSection::Table;
        else if (SameText(Name, "Fields")) Section = TSection::Fields;
        else if (SameText(Name, "Users")) Section = TSection::Users;
        else Fail("unknown section [" + Name + "] (expected [Table], [Fields] or [Users])");
        for (TSection Seen : FSeen)
            if (Seen == Section) Fail("the section [" + Name + "] appears twice");
        FSeen.push_back(Section);
        FSection = Section;
        if (Section == TSection::Users) FSchema.HasUsers = true;
    }

    // "Key = Value"; Fail when there is no '='.
    std::pair<AnsiString, AnsiString> SplitAssignment(const AnsiString& Line, const char* Expected)
    {
        std::size_t Eq = Line.find('=');
        if (Eq == AnsiString::npos) Fail(AnsiString("expected ") + Expected);
        return {Trim(std::string_view(Line).substr(0, Eq)), Trim(std::string_view(Line).substr(Eq + 1))};
    }

    void ParseTableLine(const AnsiString& Line)
    {
        auto [Key, Value] = SplitAssignment(Line, "Name = <table name>");
        if (!SameText(Key, "Name")) Fail("unknown setting " + Key + " in [Table] (expected Name)");
        if (!FSchema.TableName.empty()) Fail("the table name is given twice");
        if (AnsiString Problem = NameProblem(Value); !Problem.empty()) Fail("table name: " + Problem);
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
        if (Items.size() < 2 || Items.size() > 4) Fail(FieldLineForm);
        TFieldDef Field;
        Field.Name = Items[0];
        if (AnsiString Problem = NameProblem(Field.Name); !Problem.empty()) Fail("field name: " + Problem);
        for (const TFieldDef& Other : FSchema.Fields)
            if (SameText(Other.Name, Field.Name)) Fail("the field " + Field.Name + " is declared twice");
        if (!ParseFieldType(Items[1], Field))
            Fail("unknown type " + Items[1] + " of field " + Field.Name +
                 " (expected Text, Number, Integer, Decimal(n) with n decimals, Date or Boolean)");
        // The size may be left out where the type has one of its own (a date, a boolean).
        std::size_t Next = 2;
        Field.Size = DefaultFieldSize(Field);
        if (Next < Items.size() && !SameText(Items[Next], "Key")) {
            if (!TryStrToInt(Items[Next], Field.Size) || Field.Size < 1 || Field.Size > MaxFieldSize)
                Fail("the size of field " + Field.Name + " must be a whole number from 1 to 65535, not " + Items[Next]);
            ++Next;
        }
        if (Field.Size == 0) Fail(FieldLineForm);
        if (Field.Size < LeastFieldSize(Field))
            Fail("the size of field " + Field.Name + " must be at least " + IntToStr(LeastFieldSize(Field)) + " for a " +
                 FieldTypeName(Field) + " field, not " + IntToStr(Field.Size));
        if (Next < Items.size()) {
            if (!SameText(Items[Next], "Key")) Fail("expected Key or nothing after the size of field " + Field.Name);
            Field.Key = true;
            ++Next;
        }
        if (Next < Items.size()) Fail(FieldLineForm);
        FSchema.Fields.push_back(std::move(Field));
    }

    void ParseUserLine(const AnsiString& Line)
    {
        auto [Name, Right] = SplitAssignment(Line, "<user name> = Read or Write");
        if (Name.empty()) Fail("a user name is missing");
        if (AnsiString Problem = UserNameProblem(Name); !Problem.empty()) Fail(Problem);
        TSchemaUser User{Name, TUserRight::Read};
        if (SameText(Right, "Write")) User.Right = TUserRight::Write;
        else if (!SameText(Right, "Read")) Fail("the right of user " + Name + " must be Read or Write, not " + Right);
        if (FSchema.FindUser(Name)) Fail("the user " + Name + " is listed twice");
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
    if (!In) throw EServerError("Cannot read the schema file " + Path + ".");
    std::ostringstream Text;
    Text << In.rdbuf();
    return ParseSchema(Text.str(), Path);
}

}  // namespace RecordServer

#include "framework/db/TTable.h"

#include <sqlite3.h>

#include <filesystem>

#include "framework/core/ClassRegistry.h"
#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"

namespace fs = std::filesystem;

struct TTable::TCursor {
    sqlite3* Db = nullptr;
    sqlite3_stmt* Statement = nullptr;
    bool AtEnd = true;
    std::vector<AnsiString> Row;

    ~TCursor()
    {
        sqlite3_finalize(Statement);
        sqlite3_close(Db);
    }
    // Reads the next row into Row, or sets AtEnd.
    void Step()
    {
        const int Rc = sqlite3_step(Statement);
        if (Rc == SQLITE_DONE) {
            AtEnd = true;
            Row.clear();
            return;
        }
        if (Rc != SQLITE_ROW) throw EDatabaseError(FormatText(TranslateText("TTable", "Cannot read the table: %1"), {sqlite3_errmsg(Db)}));
        AtEnd = false;
        const int Columns = sqlite3_column_count(Statement);
        Row.assign(Columns, AnsiString());
        for (int I = 0; I < Columns; ++I)
            if (const unsigned char* Text = sqlite3_column_text(Statement, I))
                Row[I] = reinterpret_cast<const char*>(Text);
    }
};

TField::TField(TTable* Table, int Index, AnsiString FieldName)
    : FTable(Table), FIndex(Index), FFieldName(std::move(FieldName))
{
}

AnsiString TField::AsString() const
{
    const auto* Cursor = FTable->FCursor.get();
    if (!Cursor || Cursor->AtEnd || FIndex >= static_cast<int>(Cursor->Row.size())) return AnsiString();
    return Cursor->Row[FIndex];
}

TField* TFields::Fields(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(FormatText(TranslateText("TFields", "List index out of bounds (%1)"), {IntToStr(Index)}));
    return FFields[Index].get();
}

const TClassInfo* TTable::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TTable, TComponent>("TTable")
                                       .Property("DatabaseName", &TTable::GetDatabaseName, &TTable::SetDatabaseName)
                                       .Property("TableName", &TTable::GetTableName, &TTable::SetTableName)
                                       .Property("Active", &TTable::GetActive, &TTable::SetActive)
                                       .Default(false)
                                       .Build();
    return &Info;
}

TTable::TTable(TComponent* Owner) : TComponent(Owner), FFields(std::make_unique<TFields>()) {}

TTable::~TTable() = default;

void TTable::CheckInactive(const char* What) const
{
    if (FCursor)
        throw EDatabaseError(FormatText(TranslateText("TTable", "Cannot change %1 of an open table"),
                                        {TranslateText("TTable", What)}));
}

void TTable::SetDatabaseName(const AnsiString& Value)
{
    CheckInactive(ZFD_TRANSLATE_NOOP("TTable", "the database name"));
    FDatabaseName = Value;
}

void TTable::SetTableName(const AnsiString& Value)
{
    CheckInactive(ZFD_TRANSLATE_NOOP("TTable", "the table name"));
    FTableName = Value;
}

bool TTable::GetActive() const
{
    return FCursor != nullptr;
}

bool TTable::Eof() const
{
    return !FCursor || FCursor->AtEnd;
}

AnsiString TTable::DatabaseFolder(const AnsiString& DatabaseName)
{
    if (DatabaseName == "DBDEMOS") {
        std::error_code Error;
        const fs::path Program = fs::read_symlink("/proc/self/exe", Error);
        if (Error) return AnsiString();
        return (Program.parent_path() / "data").string();
    }
    return DatabaseName;
}

void TTable::SetActive(bool Value)
{
    if (ComponentState().Contains(csLoading)) {
        FActivePending = Value;
        return;
    }
    if (!Value) {
        FCursor.reset();
        FFields->FFields.clear();
        return;
    }
    if (FCursor) return;
    const AnsiString Folder = DatabaseFolder(FDatabaseName);
    if (Folder.empty()) throw EDatabaseError(FormatText(TranslateText("TTable", "Unknown database alias: %1"), {FDatabaseName}));
    const fs::path File = fs::path(Folder) / FTableName;
    std::error_code Error;
    if (!fs::is_regular_file(File, Error)) throw EDatabaseError(FormatText(TranslateText("TTable", "Table does not exist: %1"), {File.string()}));

    auto Cursor = std::make_unique<TCursor>();
    if (sqlite3_open_v2(File.c_str(), &Cursor->Db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw EDatabaseError(
            FormatText(TranslateText("TTable", "Cannot open %1: %2"), {File.string(), sqlite3_errmsg(Cursor->Db)}));
    // The table's name is the file's stem, quoted as an identifier; rows in stored order.
    AnsiString Name = File.stem().string(), Quoted = "\"";
    for (char C : Name) Quoted += C == '"' ? AnsiString("\"\"") : AnsiString(1, C);
    Quoted += "\"";
    const AnsiString Sql = "SELECT * FROM " + Quoted + " ORDER BY rowid";
    if (sqlite3_prepare_v2(Cursor->Db, Sql.c_str(), -1, &Cursor->Statement, nullptr) != SQLITE_OK)
        throw EDatabaseError(
            FormatText(TranslateText("TTable", "Table %1 does not exist in %2"), {Name, File.string()}));
    Cursor->Step();
    auto Fields = std::make_unique<TFields>();
    const int Columns = sqlite3_column_count(Cursor->Statement);
    for (int I = 0; I < Columns; ++I)
        Fields->FFields.push_back(std::make_unique<TField>(this, I, sqlite3_column_name(Cursor->Statement, I)));
    FCursor = std::move(Cursor);
    FFields = std::move(Fields);
}

void TTable::Next()
{
    if (!FCursor) throw EDatabaseError(TranslateText("TTable", "Cannot perform this operation on a closed dataset"));
    if (!FCursor->AtEnd) FCursor->Step();
}

TField* TTable::FieldByName(const AnsiString& Name) const
{
    for (int I = 0; I < FFields->Count(); ++I)
        if (FFields->Fields(I)->FieldName() == Name) return FFields->Fields(I);
    return nullptr;
}

void TTable::Loaded()
{
    TComponent::Loaded();
    if (FActivePending) {
        FActivePending = false;
        SetActive(true);
    }
}

void RegisterDbClasses()
{
    RegisterClass(TTable::StaticClassInfo());
}

#pragma once
// TTable: a read-only table of a database, read row by row: open on the first row, the
// end-of-data flag, the fields of the current row by index as text, the next row. The
// database is a SQLite file named by TableName inside the folder that DatabaseName stands
// for: an alias (see DatabaseFolder) or a folder path. The table read is the one named
// after the file without its extension ("customer.db" holds the table "customer").
//
// States: closed (Active false, no row, no fields) and open (Active true; on a row, or at
// the end of data when Eof). Open -> Next moves to the following row or to the end.
//
// Threading: one thread at a time.
#include <memory>
#include <vector>

#include "framework/core/TComponent.h"

class TTable;

// One field of the current row.
class TField : public TObject {
public:
    TField(TTable* Table, int Index, AnsiString FieldName);
    const AnsiString& FieldName() const { return FFieldName; }
    // The field's value in the current row as text (empty at the end of data).
    AnsiString AsString() const;

private:
    TTable* FTable;  // not owned: the table owns its fields
    int FIndex;
    AnsiString FFieldName;
};

// The fields of an open table, in the table's column order.
class TFields : public TObject {
public:
    int Count() const { return static_cast<int>(FFields.size()); }
    TField* Fields(int Index) const;  // EListError out of range

private:
    friend class TTable;
    std::vector<std::unique_ptr<TField>> FFields;  // owned
};

class TTable : public TComponent {
    DECLARE_CLASSINFO()
public:
    explicit TTable(TComponent* Owner);
    ~TTable() override;

    const AnsiString& GetDatabaseName() const { return FDatabaseName; }
    void SetDatabaseName(const AnsiString& Value);
    const AnsiString& GetTableName() const { return FTableName; }
    void SetTableName(const AnsiString& Value);
    bool GetActive() const;
    // Opening raises EDatabaseError when the alias, the file or the table is not there.
    void SetActive(bool Value);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }

    bool Eof() const;
    int FieldCount() const { return FFields->Count(); }
    TFields* Fields() const { return FFields.get(); }
    TField* FieldByName(const AnsiString& Name) const;  // null when there is none
    void Next();

    // The folder an alias stands for: "DBDEMOS" is the folder "data" beside the running
    // program. Any other name is taken as a folder path. Empty when the alias is unknown.
    static AnsiString DatabaseFolder(const AnsiString& DatabaseName);

    void Loaded() override;

private:
    friend class TField;
    struct TCursor;
    void CheckInactive(const char* What) const;

    AnsiString FDatabaseName;
    AnsiString FTableName;
    bool FActivePending = false;          // Active read from a form file, opened at Loaded
    std::unique_ptr<TCursor> FCursor;     // owned: the open statement and current row
    std::unique_ptr<TFields> FFields;     // owned
};

// Registers TTable for form files.
void RegisterDbClasses();

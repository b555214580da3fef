#pragma once
// The description of a table that the server opens, read from a schema file (see
// SchemaFormat.md beside this file): the table name, the fields in order with their type,
// size and key flag, and optionally the users who may open the table with their right.
#include <string_view>
#include <vector>

#include "framework/core/Exceptions.h"

namespace RecordServer {

// Integer and Decimal(n) are Number fields with a Scale; see FieldTypes.h for every type.
enum class TFieldType { Text, Number, Date, Boolean };
enum class TUserRight { Read, Write };

struct TFieldDef {
    AnsiString Name;
    TFieldType Type = TFieldType::Text;
    int Scale = -1;  // Number: the decimals every value has (Integer 0, Decimal(n) n); -1: as typed
    int Size = 0;    // in characters
    bool Key = false;
};

struct TSchemaUser {
    AnsiString Name;
    TUserRight Right = TUserRight::Read;
};

struct TTableSchema {
    AnsiString FileName;  // the file it was read from, for messages
    AnsiString TableName;
    std::vector<TFieldDef> Fields;
    bool HasUsers = false;  // false: every user may open with write access
    std::vector<TSchemaUser> Users;

    // Index of the field named exactly Name; -1 when there is none.
    int FieldIndex(std::string_view Name) const;
    const TSchemaUser* FindUser(std::string_view Name) const;
    bool HasKey() const;
};

// Why Name cannot be a user name (it holds a control character, NUL included); empty when
// it can.
AnsiString UserNameProblem(std::string_view Name);
// Parses schema text; a problem raises EServerError naming FileName, the line and the problem.
TTableSchema ParseSchema(std::string_view Text, const AnsiString& FileName);
// Reads and parses the schema file at Path.
TTableSchema LoadSchemaFile(const AnsiString& Path);

}  // namespace RecordServer

#pragma once
// SQL text that both stores write: quoted names and literals. Values never travel this way
// (they are bound as parameters); only the schema's names, which the schema parser checked,
// and texts of the server's own.
#include <string_view>

#include "framework/core/Exceptions.h"

namespace RecordServer {

// SQL text in Quote marks, inner ones doubled: an identifier in '"', a string in '\''.
AnsiString QuoteSql(char Quote, std::string_view Text);
inline AnsiString QuoteIdent(std::string_view Name)
{
    return QuoteSql('"', Name);
}

}  // namespace RecordServer

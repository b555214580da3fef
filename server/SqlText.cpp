// Quoted names and literals in SQL text (see SqlText.h).
#include "server/SqlText.h"

namespace RecordServer {

AnsiString QuoteSql(char Quote, std::string_view Text)
{
    AnsiString Result(1, Quote);
    for (char C : Text) {
        if (C == Quote) Result += Quote;
        Result += C;
    }
    return Result + Quote;
}

}  // namespace RecordServer

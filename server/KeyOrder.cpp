#include "server/KeyOrder.h"

#include "server/ValueText.h"

namespace RecordServer {

int CompareRecordKeys(const TTableSchema& Schema, const TRecordKey& A, const TRecordKey& B)
{
    std::size_t Key = 0;
    for (const TFieldDef& Field : Schema.Fields) {
        if (!Field.Key) continue;
        if (Key >= A.Values.size() || Key >= B.Values.size()) break;
        const AnsiString& X = A.Values[Key];
        const AnsiString& Y = B.Values[Key];
        ++Key;
        if (Field.Type == TFieldType::Number) {
            if (int C = CompareNumberTexts(X, Y); C != 0) return C < 0 ? -1 : 1;
        } else if (int C = X.compare(Y); C != 0) {
            return C < 0 ? -1 : 1;
        }
    }
    return A.Id < B.Id ? -1 : (A.Id > B.Id ? 1 : 0);
}

}  // namespace RecordServer

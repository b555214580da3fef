#include "OrderRecords.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "components/UZopFileDataSet.h"
#include "framework/core/TextUtils.h"

// [write records]
void AddSampleOrders(TZopFileDataSet* Orders)
{
    struct TOrder {
        int OrderNo;
        const char* Customer;
        TDateTime Ordered;
        const char* Amount;
        bool Paid;
    };
    const TOrder Sample[] = {
        {1001, "Harbour Supplies", EncodeDate(2024, 3, 4), "1250", true},
        {1002, "Jade Mountain Outfitters", EncodeDate(2024, 3, 11), "199.9", false},
        {1003, "Formosa Tea House", EncodeDate(2024, 4, 2), "89.5", true},
    };
    for (const TOrder& Order : Sample) {
        Orders->Append();
        Orders->FieldByName("OrderNo").SetAsInteger(Order.OrderNo);
        Orders->FieldByName("Customer").SetAsString(Order.Customer);
        Orders->FieldByName("Ordered").SetAsDateTime(Order.Ordered);
        Orders->FieldByName("Amount").SetAsString(Order.Amount);  // stored as 1250.00
        Orders->FieldByName("Paid").SetAsBoolean(Order.Paid);
        Orders->Post();  // a refused value raises EDatabaseError naming the field
    }
}
// [end write records]

namespace {

// 123456 cents as "1234.56".
AnsiString MoneyText(long long Cents)
{
    char Text[32];
    std::snprintf(Text, sizeof Text, "%s%lld.%02lld", Cents < 0 ? "-" : "", std::llabs(Cents) / 100, std::llabs(Cents) % 100);
    return Text;
}

}  // namespace

// [read records]
AnsiString TotalText(TZopFileDataSet* Orders)
{
    // Cents, so that the sum is exact.
    long long Total = 0, Unpaid = 0;
    const int Count = Orders->GetRecordCount();
    Orders->First();
    for (int N = 1; N <= Count; ++N, Orders->Next()) {
        TZopFileField Amount = Orders->FieldByName("Amount");
        TZopFileField Paid = Orders->FieldByName("Paid");
        const long long Cents = Amount.GetIsNull() ? 0 : std::llround(Amount.GetAsFloat() * 100);
        Total += Cents;
        if (Paid.GetIsNull() || !Paid.GetAsBoolean()) Unpaid += Cents;
    }
    Orders->First();
    return IntToStr(Count) + " orders, " + MoneyText(Total) + " in all, " + MoneyText(Unpaid) + " not paid";
}
// [end read records]

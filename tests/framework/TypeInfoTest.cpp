#include <gtest/gtest.h>

#include "framework/core/ClassRegistry.h"
#include "framework/core/TCollection.h"
#include "framework/core/TComponent.h"
#include "framework/core/TStrings.h"
#include "framework/core/TypeInfo.h"

namespace {

enum TShape { shCircle, shSquare };
const TTypeInfo* GetTypeInfo(TShape*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo("TShape", {"shCircle", "shSquare"});
    return &Info;
}

struct TCodeStrTag {
    static constexpr const char* Name = "TCodeStr";
};
using TCodeStr = TTypedString<TCodeStrTag>;

class TGadget : public TComponent {
    DECLARE_CLASSINFO()
public:
    explicit TGadget(TComponent* Owner) : TComponent(Owner), FLines(new TStringList) {}
    ~TGadget() override { delete FLines; }
    void SetCount(int V) { FCount = V * 1; ++SetterCalls; }
    TStrings* GetLines() const { return FLines; }
    void Clicked(TObject*) { ++Clicks; }

    int FCount = 0;
    bool FFlag = false;
    AnsiString FCaption;
    TCodeStr FCode;
    TShape FShape = shCircle;
    TSet<TShape> FShapes;
    TGadget* FBuddy = nullptr;
    TNotifyEvent FOnClick;
    TStringList* FLines;  // owned
    int SetterCalls = 0;
    int Clicks = 0;
};

const TClassInfo* TGadget::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TGadget, TComponent>("TGadget")
                                       .Property("Count", &TGadget::FCount, &TGadget::SetCount)
                                       .Default(0)
                                       .Property("Flag", &TGadget::FFlag)
                                       .Property("Caption", &TGadget::FCaption)
                                       .Property("Code", &TGadget::FCode)
                                       .Property("Shape", &TGadget::FShape)
                                       .Default(shCircle)
                                       .Property("Shapes", &TGadget::FShapes)
                                       .Property("Buddy", &TGadget::FBuddy)
                                       .Property("OnClick", &TGadget::FOnClick)
                                       .Property("Lines", &TGadget::GetLines)
                                       .Handler("Clicked", &TGadget::Clicked)
                                       .Build();
    return &Info;
}

TEST(TypeInfo, PropertiesKeepDeclarationOrderAfterInheritedOnes)
{
    std::vector<AnsiString> Names;
    for (const TPropInfo* P : TGadget::StaticClassInfo()->PublishedProperties()) Names.push_back(P->Name);
    std::vector<AnsiString> Expected{"Name", "Tag", "Count", "Flag", "Caption", "Code", "Shape", "Shapes",
                                     "Buddy", "OnClick", "Lines"};
    EXPECT_EQ(Names, Expected);
}

TEST(TypeInfo, DistinctStringTypeIsToldApartFromPlainString)
{
    const TClassInfo* C = TGadget::StaticClassInfo();
    const TTypeInfo* Code = C->FindProperty("Code")->Type;
    const TTypeInfo* Caption = C->FindProperty("Caption")->Type;
    EXPECT_EQ(Code->Kind, TTypeKind::String);
    EXPECT_EQ(Caption->Kind, TTypeKind::String);
    EXPECT_NE(Code, Caption);
    EXPECT_EQ(Code->Name, "TCodeStr");
    EXPECT_EQ(Caption, StringTypeInfo());
}

TEST(TypeInfo, GetAndSetGoThroughFieldsSettersAndMethodPointers)
{
    TGadget G(nullptr), Other(nullptr);
    SetPropValue(&G, "count", TValue::Int(7));  // names are matched without letter case
    EXPECT_EQ(G.FCount, 7);
    EXPECT_EQ(G.SetterCalls, 1);
    SetPropValue(&G, "Shapes", ToValue(TSet<TShape>{shSquare}));
    EXPECT_TRUE(G.FShapes.Contains(shSquare));
    SetPropValue(&G, "Buddy", TValue::Obj(&Other));
    EXPECT_EQ(G.FBuddy, &Other);
    const THandlerInfo* H = TGadget::StaticClassInfo()->FindHandler("Clicked");
    ASSERT_NE(H, nullptr);
    SetPropValue(&G, "OnClick", TValue::Meth(H->Bind(&Other)));
    G.FOnClick(&G);
    EXPECT_EQ(Other.Clicks, 1);
    EXPECT_EQ(G.Clicks, 0);
    EXPECT_THROW(SetPropValue(&G, "Lines", TValue::Int(1)), EPropertyError);  // sub-object: read-only
    EXPECT_THROW(SetPropValue(&G, "Nope", TValue::Int(1)), EPropertyError);
    EXPECT_THROW(SetPropValue(&G, "Count", TValue::Int(99999999999)), EConvertError);
    SetPropValue(&G, "Count", TValue::Int(0xFFFFFFFF));  // a 32-bit pattern reads back as -1
    EXPECT_EQ(G.FCount, -1);
}

TEST(TypeInfo, DefaultsDecideWhatIsWritten)
{
    TGadget G(nullptr);
    const TClassInfo* C = TGadget::StaticClassInfo();
    EXPECT_TRUE(C->FindProperty("Count")->IsDefault(&G));
    EXPECT_FALSE(C->FindProperty("Flag")->IsDefault(&G));  // no declared default: always written
    EXPECT_TRUE(C->FindProperty("Caption")->IsDefault(&G));
    EXPECT_TRUE(C->FindProperty("OnClick")->IsDefault(&G));
    G.FCount = 3;
    G.FCaption = "x";
    EXPECT_FALSE(C->FindProperty("Count")->IsDefault(&G));
    EXPECT_FALSE(C->FindProperty("Caption")->IsDefault(&G));
}

TEST(TypeInfo, MethodPointersCompareByObjectAndFunction)
{
    TGadget A(nullptr), B(nullptr);
    TNotifyEvent E1(&A, &TGadget::Clicked), E2(&A, &TGadget::Clicked), E3(&B, &TGadget::Clicked);
    EXPECT_TRUE(E1 == E2);
    EXPECT_FALSE(E1 == E3);
    EXPECT_TRUE(E1.Assigned());
    EXPECT_FALSE(TNotifyEvent().Assigned());
    TMethodPtr<void(int)> Other(&A, &TGadget::SetCount);
    EXPECT_THROW(TNotifyEvent::FromMethod(Other.Method()), EConvertError);
}

TEST(ClassRegistry, FindsRegisteredClassesByNameAndCreatesComponents)
{
    RegisterClass(TGadget::StaticClassInfo());
    RegisterClass(TGadget::StaticClassInfo());  // idempotent
    const TClassInfo* C = FindClass("tgadget");
    ASSERT_EQ(C, TGadget::StaticClassInfo());
    TComponent Owner(nullptr);
    TComponent* Made = C->CreateComponent(&Owner);
    EXPECT_EQ(Made->ClassName(), "TGadget");
    EXPECT_EQ(Owner.ComponentCount(), 1);
    EXPECT_THROW(FindClass("TMissing"), EClassNotFound);
    EXPECT_EQ(GetClass("TMissing"), nullptr);
}

}  // namespace

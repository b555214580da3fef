#include <gtest/gtest.h>

#include <stdexcept>

#include "interface/DbMethods.h"
#include "framework/core/ClassRegistry.h"
#include "framework/core/FormReader.h"
#include "framework/core/FormWriter.h"
#include "framework/core/TComponent.h"

namespace {

// Records how a DB method's handler was called and reacts as told.
class TProcRecorder : public TObject {
public:
    void Run(TDbProcItem* Sender, AnsiString CallUser, bool& AbortNextStep)
    {
        ++Calls;
        LastSender = Sender;
        LastUser = CallUser;
        AbortSeen = AbortNextStep;
        if (SetAbort) AbortNextStep = true;
        if (ThrowStd) throw std::runtime_error("handler failed");
        if (ThrowOther) throw 42;
    }
    int Calls = 0;
    TDbProcItem* LastSender = nullptr;  // not owned
    AnsiString LastUser;
    bool AbortSeen = false;
    bool SetAbort = false;
    bool ThrowStd = false;
    bool ThrowOther = false;
};

struct DbMethodsFixture : ::testing::Test {
    TComponent Owner{nullptr};
    TDbMethods Methods{&Owner, TDbProcItem::StaticClassInfo()};

    TDbProcItem* AddItem() { return static_cast<TDbProcItem*>(Methods.Add()); }
    static TDbProcParamItem* AddParam(TDbProcItem* Item, const AnsiString& Desc)
    {
        auto* P = static_cast<TDbProcParamItem*>(Item->GetProcParams()->Add());
        P->SetFParamDesc(Desc);
        return P;
    }
};

TEST_F(DbMethodsFixture, SummariesOfNewItemsTriggersAndParameters)
{
    TDbProcItem* Item = AddItem();
    EXPECT_EQ(Item->GetDisplayName(), "DB Procedure : NewProcedure( )");
    EXPECT_FALSE(Item->GetBeATrigger());
    EXPECT_EQ(Item->GetTriggerTime(), trgDisabled);
    EXPECT_EQ(Item->GetProcParams()->GetCount(), 0);

    Item->SetFBeATrigger(true);
    EXPECT_EQ(Item->GetDisplayName(), "DB Trigger - [ *Disabled* ] : NewTrigger( )");

    const char* Expected[] = {
        "DB Trigger - [ *Disabled* ] : NewTrigger( )", "DB Trigger - [ BeforeInsert ] : NewTrigger( )",
        "DB Trigger - [ AfterInsert  ] : NewTrigger( )", "DB Trigger - [ BeforeEdit   ] : NewTrigger( )",
        "DB Trigger - [ AfterEdit    ] : NewTrigger( )", "DB Trigger - [ BeforeDelete ] : NewTrigger( )",
        "DB Trigger - [ AfterDelete  ] : NewTrigger( )", "DB Trigger - [ BeforePost   ] : NewTrigger( )",
        "DB Trigger - [ AfterPost    ] : NewTrigger( )",
    };
    for (int T = trgDisabled; T <= trgAfterPost; ++T) {
        Item->SetFTriggerTime(static_cast<TCallTriggerTiming>(T));
        EXPECT_EQ(Item->GetDisplayName(), Expected[T]) << "timing " << T;
    }
    // A value outside the enumeration shows no timing text.
    Item->SetFTriggerTime(static_cast<TCallTriggerTiming>(9));
    EXPECT_EQ(Item->GetDisplayName(), "DB Trigger - NewTrigger( )");

    // The demo's trigger and its parameter.
    Item->SetFTriggerTime(trgAfterPost);
    Item->SetFProcDescrip("取得新增後資料筆數");
    EXPECT_EQ(Item->GetDisplayName(), "DB Trigger - [ AfterPost    ] : 取得新增後資料筆數( )");
    auto* Param = static_cast<TDbProcParamItem*>(Item->GetProcParams()->Add());
    EXPECT_EQ(Param->GetDisplayName(), "< Input > Param : NewProcParam");
    Param->SetFParamDesc("參數1");
    EXPECT_EQ(Param->GetDisplayName(), "< Input > Param : 參數1");

    // Switching back to a procedure keeps the timing but no longer shows it.
    Item->SetFBeATrigger(false);
    EXPECT_EQ(Item->GetTriggerTime(), trgAfterPost);
    EXPECT_EQ(Item->GetDisplayName(), "DB Procedure : 取得新增後資料筆數( )");
}

TEST_F(DbMethodsFixture, ParameterValueKeepsTheDisplayNameWhileDescriptionAndTypeRecomputeIt)
{
    TDbProcParamItem* Param = AddParam(AddItem(), "Count");
    Param->SetDisplayName("custom");
    Param->SetFParamValue("17");
    EXPECT_EQ(Param->GetDisplayName(), "custom");
    EXPECT_EQ(Param->GetValue(), "17");
    Param->SetFParamIOType(pmResult);
    EXPECT_EQ(Param->GetDisplayName(), "( Result ) Param : Count");
    Param->SetDisplayName("custom");
    Param->SetFParamDesc("");
    EXPECT_EQ(Param->GetDisplayName(), "( Result ) Param : NewProcParam");
}

TEST_F(DbMethodsFixture, ParamByDescFindsTheFirstExactMatchOnly)
{
    TDbProcItem* Item = AddItem();
    TDbProcParamItem* First = AddParam(Item, "Rate");
    AddParam(Item, "Rate");
    TDbProcParamItem* Other = AddParam(Item, "rate");
    EXPECT_EQ(Item->ParamByDesc("Rate"), First);
    EXPECT_EQ(Item->ParamByDesc("rate"), Other);
    EXPECT_EQ(Item->ParamByDesc("RATE"), nullptr);
    EXPECT_EQ(Item->ParamByDesc(""), nullptr);
}

TEST_F(DbMethodsFixture, ExecuteProcPassesSystemAndTheCallersAbortFlag)
{
    TDbProcItem* Item = AddItem();
    AnsiString User = "1688";
    bool Abort = false;
    EXPECT_TRUE(Item->ExecuteProc(User, Abort));  // no handler
    EXPECT_FALSE(Abort);
    Abort = true;
    EXPECT_TRUE(Item->ExecuteProc(User, Abort));
    EXPECT_TRUE(Abort);  // left untouched

    TProcRecorder Rec;
    Item->SetOnExecuteProc(TDbProcItemEvent(&Rec, &TProcRecorder::Run));
    Abort = false;
    Rec.SetAbort = true;
    EXPECT_TRUE(Item->ExecuteProc(User, Abort));
    EXPECT_EQ(Rec.Calls, 1);
    EXPECT_EQ(Rec.LastSender, Item);
    EXPECT_EQ(Rec.LastUser, "System");
    EXPECT_EQ(User, "1688");
    EXPECT_TRUE(Abort);  // the handler wrote the caller's variable

    Rec.SetAbort = false;
    Rec.ThrowStd = true;
    Abort = false;
    EXPECT_FALSE(Item->ExecuteProc(User, Abort));
    Rec.ThrowStd = false;
    Rec.ThrowOther = true;
    EXPECT_FALSE(Item->ExecuteProc(User, Abort));
    EXPECT_EQ(Rec.Calls, 3);
}

TEST_F(DbMethodsFixture, AssignCopiesFieldsParametersAndHandlerWithoutRecomputingNames)
{
    TProcRecorder Rec;
    TDbProcItem* Source = AddItem();
    Source->SetFBeATrigger(true);
    Source->SetFTriggerTime(trgBeforeDelete);
    Source->SetFProcDescrip("Check");
    TDbProcParamItem* SP = AddParam(Source, "Limit");
    SP->SetFParamValue("5");
    SP->SetFParamIOType(pmResult);
    Source->SetOnExecuteProc(TDbProcItemEvent(&Rec, &TProcRecorder::Run));

    TDbProcItem* Target = AddItem();
    AddParam(Target, "Old1");
    AddParam(Target, "Old2");
    Target->SetDisplayName("before");
    Methods.SetDbProcItem(1, Source);
    EXPECT_EQ(Methods.GetDbProcItem(1), Target);  // the object is kept, only its contents change
    EXPECT_EQ(Target->GetProcDescrip(), "Check");
    EXPECT_TRUE(Target->GetBeATrigger());
    EXPECT_EQ(Target->GetTriggerTime(), trgBeforeDelete);
    EXPECT_EQ(Target->GetDisplayName(), "before");
    ASSERT_EQ(Target->GetProcParams()->GetCount(), 1);
    TDbProcParamItem* TP = Target->GetProcParams()->GetDbProcParamItem(0);
    EXPECT_NE(TP, SP);
    EXPECT_EQ(TP->GetDescrip(), "Limit");
    EXPECT_EQ(TP->GetValue(), "5");
    EXPECT_EQ(TP->GetInOutType(), pmResult);
    EXPECT_EQ(TP->GetDisplayName(), "< Input > Param : NewProcParam");
    EXPECT_TRUE(Target->GetOnExecuteProc() == Source->GetOnExecuteProc());

    // Assigning from an object of another class is the framework's conversion error.
    EXPECT_THROW(Target->Assign(SP), EConvertError);
    EXPECT_THROW(TP->Assign(Target), EConvertError);
    EXPECT_THROW(Methods.GetDbProcItem(2), EListError);
    EXPECT_THROW(Target->GetProcParams()->SetDbProcParamItem(1, SP), EListError);
}

TEST_F(DbMethodsFixture, SetUpItemCopiesAndSelfCopyKeepsParameters)
{
    TDbProcItem* Source = AddItem();
    Source->SetFProcDescrip("Proc");
    AddParam(Source, "A")->SetFParamValue("1");
    AddParam(Source, "B");
    TDbProcItem* Target = AddItem();
    Target->SetUpItem(Source);
    ASSERT_EQ(Target->GetProcParams()->GetCount(), 2);
    EXPECT_EQ(Target->GetProcParams()->GetDbProcParamItem(0)->GetValue(), "1");
    EXPECT_EQ(Target->GetProcParams()->GetDbProcParamItem(1)->GetDescrip(), "B");
    EXPECT_EQ(Target->GetDisplayName(), "DB Procedure : NewProcedure( )");

    Source->SetUpItem(Source);
    Source->Assign(Source);
    EXPECT_EQ(Source->GetProcParams()->GetCount(), 2);
    EXPECT_THROW(Target->SetUpItem(nullptr), EInvalidArgument);
}

TEST_F(DbMethodsFixture, ParametersBelongToTheMethodsOwnerAndCollectionsCheckTheirItemClass)
{
    TDbProcItem* Item = AddItem();
    EXPECT_EQ(Item->GetProcParams()->GetOwner(), &Owner);
    EXPECT_THROW(TDbMethods(&Owner, TDbProcParamItem::StaticClassInfo()), EInvalidArgument);
    EXPECT_THROW(TDbProcParams(&Owner, TDbProcItem::StaticClassInfo()), EInvalidArgument);
}

TEST(DbMethodsStreaming, PublishedPropertiesInOrderWithDefaults)
{
    auto Names = [](const TClassInfo* C) {
        std::vector<AnsiString> R;
        for (const TPropInfo* P : C->PublishedProperties()) R.push_back(P->Name);
        return R;
    };
    EXPECT_EQ(Names(TDbProcItem::StaticClassInfo()),
              (std::vector<AnsiString>{"TriggerTime", "BeATrigger", "ProcDescrip", "ProcParams", "OnExecuteProc"}));
    EXPECT_EQ(Names(TDbProcParamItem::StaticClassInfo()), (std::vector<AnsiString>{"Descrip", "Value", "InOutType"}));
    TDbMethods Methods(nullptr, TDbProcItem::StaticClassInfo());
    auto* Item = static_cast<TDbProcItem*>(Methods.Add());
    const TClassInfo* C = TDbProcItem::StaticClassInfo();
    EXPECT_TRUE(C->FindProperty("TriggerTime")->IsDefault(Item));
    EXPECT_TRUE(C->FindProperty("BeATrigger")->IsDefault(Item));
    EXPECT_EQ(C->FindProperty("ProcParams")->Set, nullptr);  // filled in place
}

// Stands for the dataset: a component that owns a DBMethods collection and publishes it.
class TMethodsHost : public TComponent {
    DECLARE_CLASSINFO()
public:
    explicit TMethodsHost(TComponent* Owner)
        : TComponent(Owner), FDBMethods(new TDbMethods(this, TDbProcItem::StaticClassInfo()))
    {
    }
    ~TMethodsHost() override { delete FDBMethods; }
    TDbMethods* FDBMethods;  // owned
};

const TClassInfo* TMethodsHost::StaticClassInfo()
{
    static const TClassInfo Info =
        TClassBuilder<TMethodsHost, TComponent>("TMethodsHost").Property("DBMethods", &TMethodsHost::FDBMethods).Build();
    return &Info;
}

class TMethodsForm : public TComponent {
    DECLARE_CLASSINFO()
public:
    using TComponent::TComponent;
    void TbMainDBMethods0ExecuteProc(TDbProcItem*, AnsiString, bool&) { ++Runs; }
    int Runs = 0;
};

const TClassInfo* TMethodsForm::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TMethodsForm, TComponent>("TMethodsForm")
                                       .Handler("TbMainDBMethods0ExecuteProc", &TMethodsForm::TbMainDBMethods0ExecuteProc)
                                       .Build();
    return &Info;
}

const char* const MethodsFormText = R"(object Form1: TMethodsForm
  object TbMain: TMethodsHost
    DBMethods = <
      item
        TriggerTime = trgAfterPost
        BeATrigger = True
        ProcDescrip = '取得新增後資料筆數'
        ProcParams = <
          item
            Descrip = '參數1'
          end
          item
            Descrip = 'Out'
            Value = '7'
            InOutType = pmResult
          end>
        OnExecuteProc = TbMainDBMethods0ExecuteProc
      end
      item
      end>
  end
end
)";

TEST(DbMethodsStreaming, ReadFromAFormFileAndWrittenBack)
{
    RegisterOstrelClasses();
    RegisterClasses({TMethodsHost::StaticClassInfo(), TMethodsForm::StaticClassInfo()});
    TMethodsForm Form(nullptr);
    ReadFormText(MethodsFormText, &Form, "methods.form");
    auto* Host = dynamic_cast<TMethodsHost*>(Form.FindComponent("TbMain"));
    ASSERT_NE(Host, nullptr);
    ASSERT_EQ(Host->FDBMethods->GetCount(), 2);
    TDbProcItem* Trigger = Host->FDBMethods->GetDbProcItem(0);
    EXPECT_EQ(Trigger->GetDisplayName(), "DB Trigger - [ AfterPost    ] : 取得新增後資料筆數( )");
    ASSERT_EQ(Trigger->GetProcParams()->GetCount(), 2);
    EXPECT_EQ(Trigger->GetProcParams()->GetDbProcParamItem(0)->GetDisplayName(), "< Input > Param : 參數1");
    TDbProcParamItem* Out = Trigger->ParamByDesc("Out");
    ASSERT_NE(Out, nullptr);
    EXPECT_EQ(Out->GetValue(), "7");
    EXPECT_EQ(Out->GetInOutType(), pmResult);
    EXPECT_EQ(Host->FDBMethods->GetDbProcItem(1)->GetDisplayName(), "DB Procedure : NewProcedure( )");

    AnsiString User = "x";
    bool Abort = false;
    EXPECT_TRUE(Trigger->ExecuteProc(User, Abort));
    EXPECT_EQ(Form.Runs, 1);

    // Written back and read again, the methods come out the same.
    AnsiString Written = WriteFormText(&Form);
    EXPECT_EQ(Written.find("TriggerTime = trgDisabled"), AnsiString::npos);  // defaults are left out
    TMethodsForm Again(nullptr);
    ReadFormText(Written, &Again, "again.form");
    auto* Host2 = dynamic_cast<TMethodsHost*>(Again.FindComponent("TbMain"));
    ASSERT_NE(Host2, nullptr);
    ASSERT_EQ(Host2->FDBMethods->GetCount(), 2);
    TDbProcItem* Trigger2 = Host2->FDBMethods->GetDbProcItem(0);
    EXPECT_EQ(Trigger2->GetDisplayName(), Trigger->GetDisplayName());
    EXPECT_EQ(Trigger2->GetProcParams()->GetDbProcParamItem(1)->GetInOutType(), pmResult);
    EXPECT_TRUE(Trigger2->ExecuteProc(User, Abort));
    EXPECT_EQ(Again.Runs, 1);
}

}  // namespace

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "com/ComObj.h"

namespace {

inline constexpr IID IID_ICounter = MakeGUID("{6A1F3C2E-8B4D-4E0A-9C7B-2D5E6F708192}");
inline constexpr IID IID_INamed = MakeGUID("{0B2C4D6E-1F3A-4B5C-8D7E-9FA0B1C2D3E4}");
inline constexpr IID IID_IUnsupported = MakeGUID("{F1E2D3C4-B5A6-4978-8A9B-0C1D2E3F4A5B}");
inline constexpr CLSID CLASS_Counter = MakeGUID("{3C5E7092-A4B6-4C8D-9E0F-1A2B3C4D5E6F}");

class ICounter : public IDispatch {
public:
    static constexpr IID InterfaceId = IID_ICounter;
    virtual int Next() = 0;
};

class INamed : public IUnknown {
public:
    static constexpr IID InterfaceId = IID_INamed;
    virtual AnsiString Name() = 0;
};

class IUnsupported : public IUnknown {
public:
    static constexpr IID InterfaceId = IID_IUnsupported;
};

// Counts live instances, so a test can see exactly when an object is freed.
std::atomic<int> LiveCounters{0};

class TCounter : public TComObject<ICounter, INamed> {
public:
    TCounter() { ++LiveCounters; }
    int Next() override { return ++FValue; }
    AnsiString Name() override { return "Counter"; }

protected:
    ~TCounter() override { --LiveCounters; }

private:
    int FValue = 0;
};

// Initialises COM for the test's thread and keeps the class registry as the test found it.
class ComObjTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(LiveCounters, 0);
        CoInitialize();
        RegisterComClass(CLASS_Counter, [] { return static_cast<ICounter*>(new TCounter); });
    }
    void TearDown() override
    {
        UnregisterComClass(CLASS_Counter);
        CoUninitialize();
        ClearErrorInfo();
        EXPECT_EQ(LiveCounters, 0) << "an object outlived its references";
    }
};

TEST_F(ComObjTest, ReferencesAreCountedAndTheLastReleaseFreesTheObject)
{
    TComInterface<ICounter> Counter = CreateComObject<ICounter>(CLASS_Counter);
    ASSERT_TRUE(Counter);
    EXPECT_EQ(Counter->Next(), 1);
    EXPECT_EQ(LiveCounters, 1);

    {
        TComInterface<ICounter> Copy = Counter;
        TComInterface<INamed> Named = Counter.As<INamed>();
        ASSERT_TRUE(Named);
        EXPECT_EQ(Named->Name(), "Counter");
        Counter.Reset();
        EXPECT_FALSE(Counter);
        EXPECT_EQ(LiveCounters, 1) << "freed while two references remain";
        EXPECT_EQ(Copy->Next(), 2);
        TComInterface<ICounter> Moved = std::move(Copy);
        EXPECT_FALSE(Copy);
        EXPECT_EQ(Moved->Next(), 3);
        EXPECT_EQ(LiveCounters, 1);
    }
    EXPECT_EQ(LiveCounters, 0);
}

TEST_F(ComObjTest, CountsSeenThroughAddRefAndRelease)
{
    TComInterface<TCounter> Object = MakeComObject<TCounter>();
    EXPECT_EQ(Object->AddRef(), 2u);
    EXPECT_EQ(Object->Release(), 1u);
    TComInterface<ICounter> AsInterface = Object;  // upcast shares the object
    EXPECT_EQ(AsInterface->AddRef(), 3u);
    EXPECT_EQ(AsInterface->Release(), 2u);
    Object.Reset();
    EXPECT_EQ(LiveCounters, 1);
    ICounter* Raw = AsInterface.Detach();
    EXPECT_EQ(LiveCounters, 1);
    TComInterface<ICounter> Adopted = TComInterface<ICounter>::Attach(Raw);
    EXPECT_EQ(Adopted->AddRef(), 2u);
    Adopted->Release();
}

TEST_F(ComObjTest, QueryInterfaceAnswersListedInterfacesUnknownAndDispatch)
{
    TComInterface<ICounter> Counter = CreateComObject<ICounter>(CLASS_Counter);
    TComInterface<IUnknown> Unknown1 = Counter.As<IUnknown>();
    TComInterface<IUnknown> Unknown2 = Counter.As<INamed>().As<IUnknown>();
    ASSERT_TRUE(Unknown1);
    EXPECT_EQ(Unknown1, Unknown2) << "IUnknown identifies the object whatever the route";
    EXPECT_TRUE(Counter.As<IDispatch>());

    TComInterface<IUnsupported> None;
    EXPECT_EQ(Counter.QueryInterface(None), E_NOINTERFACE);
    EXPECT_FALSE(None);
    void* Raw = &Raw;
    EXPECT_EQ(Counter->QueryInterface(IID_IUnsupported, &Raw), E_NOINTERFACE);
    EXPECT_EQ(Raw, nullptr);
    EXPECT_EQ(Counter->QueryInterface(IID_ICounter, nullptr), E_POINTER);

    unsigned int Count = 9;
    EXPECT_EQ(Counter->GetTypeInfoCount(&Count), E_NOTIMPL);
}

TEST_F(ComObjTest, EmptyReferenceRaisesInsteadOfCrashing)
{
    TComInterface<ICounter> Empty;
    EXPECT_THROW(Empty->Next(), EOleSysError);
    EXPECT_FALSE(Empty.As<INamed>());
    TComInterface<INamed> Out;
    EXPECT_EQ(Empty.QueryInterface(Out), E_POINTER);
}

TEST_F(ComObjTest, CoCreateInstanceFailures)
{
    void* Object = &Object;
    const IID& Iid = IID_ICounter;
    const CLSID Unregistered = MakeGUID("{00000000-1111-2222-3333-444444444444}");

    EXPECT_EQ(CoCreateInstance(Unregistered, nullptr, CLSCTX_SERVER, Iid, &Object), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(Object, nullptr);
    std::optional<TErrorInfo> Info = GetErrorInfo();
    ASSERT_TRUE(Info);
    EXPECT_EQ(Info->Description, "Class not registered");

    TComInterface<ICounter> Outer = CreateComObject<ICounter>(CLASS_Counter);
    EXPECT_EQ(CoCreateInstance(CLASS_Counter, Outer.get(), CLSCTX_SERVER, Iid, &Object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(CoCreateInstance(CLASS_Counter, nullptr, CLSCTX_SERVER, IID_IUnsupported, &Object), E_NOINTERFACE);
    EXPECT_EQ(Object, nullptr);
    EXPECT_EQ(LiveCounters, 1) << "the object refused by QueryInterface was not freed";
    EXPECT_EQ(CoCreateInstance(CLASS_Counter, nullptr, CLSCTX_SERVER, Iid, nullptr), E_POINTER);
    EXPECT_EQ(CoCreateInstance(CLASS_Counter, nullptr, 0, Iid, &Object), E_INVALIDARG);

    UnregisterComClass(CLASS_Counter);
    EXPECT_EQ(CoCreateInstance(CLASS_Counter, nullptr, CLSCTX_INPROC_SERVER, Iid, &Object), REGDB_E_CLASSNOTREG);
}

TEST_F(ComObjTest, CreateComObjectRaisesThroughOleCheck)
{
    try {
        CreateComObject(MakeGUID("{00000000-1111-2222-3333-444444444444}"));
        FAIL() << "no exception";
    } catch (const EOleException& E) {
        EXPECT_EQ(E.ErrorCode(), REGDB_E_CLASSNOTREG);
        EXPECT_EQ(E.Message(), "Class not registered");
    }
    EXPECT_THROW(CreateComObject<IUnsupported>(CLASS_Counter), EOleException);
}

TEST_F(ComObjTest, FactoryFailuresBecomeFailingCodes)
{
    const CLSID Throwing = MakeGUID("{11111111-2222-3333-4444-555555555555}");
    const CLSID Null = MakeGUID("{22222222-3333-4444-5555-666666666666}");
    RegisterComClass(Throwing, []() -> IUnknown* { throw EInvalidOperation("schema missing"); });
    RegisterComClass(Null, []() -> IUnknown* { return nullptr; });
    try {
        CreateComObject(Throwing);
        FAIL() << "no exception";
    } catch (const EOleException& E) {
        EXPECT_EQ(E.ErrorCode(), E_FAIL);
        EXPECT_EQ(E.Message(), "schema missing");
    }
    EXPECT_THROW(CreateComObject(Null), EOleException);
    UnregisterComClass(Throwing);
    UnregisterComClass(Null);
}

TEST_F(ComObjTest, InitialisationIsCountedPerThread)
{
    // The fixture initialised this thread once already.
    EXPECT_EQ(CoInitialize(), S_FALSE);
    CoUninitialize();
    EXPECT_TRUE(CoIsInitialized());

    std::thread([] {
        void* Object = nullptr;
        EXPECT_EQ(CoCreateInstance(CLASS_Counter, nullptr, CLSCTX_SERVER, IID_ICounter, &Object),
                  CO_E_NOTINITIALIZED);
        EXPECT_EQ(CoInitialize(), S_OK);
        EXPECT_EQ(CoInitialize(), S_FALSE);
        CoUninitialize();
        CoUninitialize();
        EXPECT_FALSE(CoIsInitialized());
        CoUninitialize();  // one too many does nothing
        EXPECT_EQ(CoInitialize(), S_OK);
        CoUninitialize();
    }).join();
}

TEST_F(ComObjTest, ObjectsAndRegistryAreSafeAcrossThreads)
{
    TComInterface<ICounter> Shared = CreateComObject<ICounter>(CLASS_Counter);
    std::vector<std::thread> Threads;
    std::atomic<int> Failures{0};
    for (int t = 0; t < 4; ++t) {
        Threads.emplace_back([&, t] {
            CoInitialize();
            const CLSID Own = MakeGUID("{AAAAAAAA-0000-0000-0000-00000000000" + std::to_string(t) + "}");
            for (int i = 0; i < 500; ++i) {
                TComInterface<ICounter> Copy = Shared;
                RegisterComClass(Own, [] { return static_cast<ICounter*>(new TCounter); });
                void* Object = nullptr;
                if (FAILED(CoCreateInstance(Own, nullptr, CLSCTX_SERVER, IID_ICounter, &Object))) ++Failures;
                TComInterface<ICounter>::Attach(static_cast<ICounter*>(Object));
                UnregisterComClass(Own);
            }
            CoUninitialize();
        });
    }
    for (std::thread& Thread : Threads) Thread.join();
    EXPECT_EQ(Failures, 0);
    EXPECT_EQ(Shared->AddRef(), 2u);
    Shared->Release();
}

}  // namespace

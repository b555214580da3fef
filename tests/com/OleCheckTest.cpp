#include <gtest/gtest.h>

#include <thread>

#include "com/ErrorInfo.h"
#include "com/Guid.h"
#include "com/OleCheck.h"

namespace {

class OleCheckTest : public ::testing::Test {
protected:
    void SetUp() override { ClearErrorInfo(); }
    void TearDown() override { ClearErrorInfo(); }

    // Runs OleCheck(Code) and answers the exception it raised.
    static EOleException Raised(HRESULT Code)
    {
        try {
            OleCheck(Code);
        } catch (const EOleException& E) {
            return E;
        }
        ADD_FAILURE() << "OleCheck raised nothing for " << Code;
        return EOleException("", S_OK, "");
    }
};

TEST_F(OleCheckTest, SuccessRaisesNothingAndLeavesErrorInfo)
{
    SetErrorInfo("pending", "Server");
    EXPECT_EQ(OleCheck(S_OK), S_OK);
    EXPECT_EQ(OleCheck(S_FALSE), S_FALSE);
    std::optional<TErrorInfo> Info = GetErrorInfo();
    ASSERT_TRUE(Info);
    EXPECT_EQ(Info->Description, "pending");
}

TEST_F(OleCheckTest, FailureCarriesTheErrorInfoDescription)
{
    EXPECT_EQ(ReportError(E_FAIL, "欄位 CustNo 不可空白", "RecordServer"), E_FAIL);
    EOleException E = Raised(E_FAIL);
    EXPECT_EQ(E.Message(), "欄位 CustNo 不可空白");
    EXPECT_EQ(E.Source(), "RecordServer");
    EXPECT_EQ(E.ErrorCode(), E_FAIL);
    EXPECT_EQ(E.ClassName(), "EOleException");
    EXPECT_FALSE(GetErrorInfo()) << "OleCheck did not take the error info";

    // Info set without a code belongs to the next failure, whatever its code.
    SetErrorInfo("no rights", "RecordServer");
    EXPECT_EQ(Raised(E_ACCESSDENIED).Message(), "no rights");
}

TEST_F(OleCheckTest, FailureWithoutInfoCarriesTheSystemText)
{
    EXPECT_EQ(Raised(E_FAIL).Message(), "Unspecified error");
    EXPECT_EQ(Raised(E_INVALIDARG).Message(), "The parameter is incorrect.");
    EXPECT_EQ(Raised(E_ABORT).Message(), "Operation aborted");
    EXPECT_EQ(Raised(E_ACCESSDENIED).Message(), "Access is denied.");
    EXPECT_EQ(Raised(E_NOTIMPL).Message(), "Not implemented");
    EXPECT_EQ(Raised(REGDB_E_CLASSNOTREG).Message(), "Class not registered");
    EXPECT_EQ(Raised(static_cast<HRESULT>(0x80001234u)).Message(), "Unknown error 0x80001234");
    EXPECT_EQ(Raised(E_FAIL).Source(), "");
}

TEST_F(OleCheckTest, StaleInfoOfAnotherFailureIsNotShown)
{
    // A failure nobody checked left its info; a later, different failure must not show it.
    ReportError(E_INVALIDARG, "Unknown field 'Foo'", "RecordServer");
    EXPECT_EQ(Raised(E_ABORT).Message(), "Operation aborted");
    // And it is gone for good: the next failure with its code shows the system text.
    EXPECT_EQ(Raised(E_INVALIDARG).Message(), "The parameter is incorrect.");
}

TEST_F(OleCheckTest, EmptyDescriptionFallsBackToSystemText)
{
    ReportError(E_FAIL, "", "RecordServer");
    EOleException E = Raised(E_FAIL);
    EXPECT_EQ(E.Message(), "Unspecified error");
    EXPECT_EQ(E.Source(), "RecordServer");
}

TEST_F(OleCheckTest, ErrorInfoIsPerThread)
{
    SetErrorInfo("main thread's failure", "Main");
    std::thread([] {
        EXPECT_FALSE(GetErrorInfo()) << "another thread's info was visible";
        ReportError(E_FAIL, "worker's failure", "Worker");
    }).join();
    std::optional<TErrorInfo> Info = GetErrorInfo();
    ASSERT_TRUE(Info);
    EXPECT_EQ(Info->Description, "main thread's failure");
    EXPECT_FALSE(GetErrorInfo()) << "GetErrorInfo did not clear the info";
}

TEST(GuidTest, TextRoundTripAndErrors)
{
    constexpr GUID Literal = MakeGUID("{6a1f3c2e-8b4d-4e0a-9c7b-2d5e6f708192}");
    static_assert(Literal.Data1 == 0x6A1F3C2E && Literal.Data4[0] == 0x9C && Literal.Data4[7] == 0x92);
    EXPECT_EQ(GUIDToString(Literal), "{6A1F3C2E-8B4D-4E0A-9C7B-2D5E6F708192}");
    EXPECT_EQ(StringToGUID(GUIDToString(Literal)), Literal);
    EXPECT_NE(Literal, GUID_NULL);
    EXPECT_EQ(GUIDToString(GUID_NULL), "{00000000-0000-0000-0000-000000000000}");

    const char* const Bad[] = {"", "6A1F3C2E-8B4D-4E0A-9C7B-2D5E6F708192",
                               "{6A1F3C2E-8B4D-4E0A-9C7B-2D5E6F70819}", "{6A1F3C2E-8B4D-4E0A-9C7B-2D5E6F70819G}",
                               "{6A1F3C2E+8B4D-4E0A-9C7B-2D5E6F708192}", " {6A1F3C2E-8B4D-4E0A-9C7B-2D5E6F708192}"};
    for (const char* Text : Bad) EXPECT_THROW(StringToGUID(Text), EConvertError) << Text;
}

}  // namespace

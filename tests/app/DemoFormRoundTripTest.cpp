// The demo form, written, read back and written again, is the same.
#include <gtest/gtest.h>

#include "app/DemoProgram.h"
#include "app/UMain.h"
#include "server/RegisterFileDataSetServer.h"
#include "tests/ui/FormRoundTrip.h"

namespace {

TEST(DemoFormFile, WrittenReadBackAndWrittenAgainItIsTheSame)
{
    RegisterFileDataSetServer();
    RegisterDemoClasses();
    TFreedForm<TForm1> Demo;
    ReadFormFile(DEMO_FORM, Demo.get());
    ASSERT_NE(Demo->ZopFileDBEdit1, nullptr);
    ExpectRoundTrip(Demo.get());
}

}  // namespace

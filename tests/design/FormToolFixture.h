#pragma once
// The form tool's tests run it on copies of the demo form and schema in a folder of their
// own, with the suite's classes, the demo's and the design-time registration in place.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

// The whole content of the file at Path ("" when there is none).
std::string ReadText(const std::string& Path);
// Text cut at its line feeds.
std::vector<std::string> TextLines(const std::string& Text);

class FormTool : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Runs the tool with Args, answering its questions from Typed; Out and Err hold what it said.
    int Run(std::vector<std::string> Args, const std::string& Typed = "");

    TempDir Dir;
    std::ostringstream Out, Err;
};

// table_writer: another process that writes to a table, for the tests and benchmarks of the
// live view (a session of its own, on a table file or a PostgreSQL table). It reads commands
// from its standard input, one a line (TableCommands.h, and "quit"), and answers each with one
// line: "ok <time>" (the moment the write was acknowledged, in nanoseconds of the monotonic
// clock, which every process of the machine shares) or "failed <message>".
//
//   table_writer SCHEMA ACCESS_FILE [USER]
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>

#include "com/ComObj.h"
#include "com/OleCheck.h"
#include "interface/ServerCall.h"
#include "server/RegisterFileDataSetServer.h"
#include "tests/support/TableCommands.h"

namespace {

long long Now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

int main(int Argc, char** Argv)
{
    if (Argc < 3) {
        std::fprintf(stderr, "usage: table_writer SCHEMA ACCESS_FILE [USER]\n");
        return 2;
    }
    try {
        CoInitialize();
        RegisterFileDataSetServer();
        TComInterface<IFileDataSet> S = CoFileDataSet::Create();
        Check(S->SetSchemaFileName(OleVariant(AnsiString(Argv[1]))));
        Check(S->SetAccessFile(OleVariant(AnsiString(Argv[2]))));
        Check(S->SetAccessUser(OleVariant(AnsiString(Argc > 3 ? Argv[3] : "1688"))));
        Ask(S.get(), &IFileDataSet::Open);
        std::cout << "ok " << Now() << std::endl;
        for (std::string Line; std::getline(std::cin, Line);) {
            if (Line == "quit") break;
            try {
                RunTableCommand(S.get(), Line);
                std::cout << "ok " << Now() << std::endl;
            } catch (const std::exception& E) {
                S->Cancel();
                std::string Message = E.what();
                for (char& C : Message)
                    if (C == '\n') C = ' ';
                std::cout << "failed " << Message << std::endl;
            }
        }
    } catch (const std::exception& E) {
        std::cout << "failed " << E.what() << std::endl;
        return 1;
    }
    return 0;
}

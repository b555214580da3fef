#pragma once
// Another process writing to a table: the program table_writer (TableWriterMain.cpp) started
// with pipes, for the tests and benchmarks of the live view. Each command waits for the
// writer's one-line answer; the writer ends when this object does.
#include <string>
#include <sys/types.h>

class TTableWriter {
public:
    // Program: the table_writer binary. Starts it on the table and waits until it has opened
    // the table; raises std::runtime_error when it cannot.
    TTableWriter(const std::string& Program, const std::string& Schema, const std::string& AccessFile);
    ~TTableWriter();
    TTableWriter(const TTableWriter&) = delete;
    TTableWriter& operator=(const TTableWriter&) = delete;

    // Sends one command (see TableWriterMain.cpp) and answers the writer's line: "ok <time>"
    // or "failed <message>". Raises std::runtime_error when no answer comes within 60 s.
    std::string Send(const std::string& Command);
    // Sends Command and answers the moment the write was acknowledged (nanoseconds of the
    // monotonic clock); raises std::runtime_error when the writer failed.
    long long Write(const std::string& Command);
    // The same in two halves, for a caller that runs its event loop meanwhile: Start sends
    // the command, Answered tells without waiting whether the answer came, Finish waits for it
    // and answers as Write does.
    void Start(const std::string& Command);
    bool Answered();
    long long Finish();

private:
    std::string ReadLine();

    pid_t FChild = -1;
    int FToChild = -1;    // owned: the writer's standard input
    int FFromChild = -1;  // owned: the writer's standard output
    std::string FPending;  // read beyond the last line
    std::string FCommand;  // the last command sent, for messages
};

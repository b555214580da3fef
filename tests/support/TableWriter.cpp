#include "tests/support/TableWriter.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <vector>

extern char** environ;

TTableWriter::TTableWriter(const std::string& Program, const std::string& Schema, const std::string& AccessFile)
{
    int In[2], Out[2];
    if (pipe2(In, O_CLOEXEC) != 0 || pipe2(Out, O_CLOEXEC) != 0) throw std::runtime_error("no pipe for the writer");
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_adddup2(&Actions, In[0], 0);
    posix_spawn_file_actions_adddup2(&Actions, Out[1], 1);
    std::vector<char*> Args{const_cast<char*>(Program.c_str()), const_cast<char*>(Schema.c_str()),
                            const_cast<char*>(AccessFile.c_str()), nullptr};
    int Failed = posix_spawn(&FChild, Program.c_str(), &Actions, nullptr, Args.data(), environ);
    posix_spawn_file_actions_destroy(&Actions);
    close(In[0]);
    close(Out[1]);
    FToChild = In[1];
    FFromChild = Out[0];
    if (Failed != 0) {
        FChild = -1;
        throw std::runtime_error("the writer " + Program + " could not be started");
    }
    std::string Opened = ReadLine();
    if (Opened.rfind("ok", 0) != 0) throw std::runtime_error("the writer could not open the table: " + Opened);
}

TTableWriter::~TTableWriter()
{
    if (FToChild >= 0) {
        const char Quit[] = "quit\n";
        (void)!write(FToChild, Quit, sizeof Quit - 1);
        close(FToChild);
    }
    if (FFromChild >= 0) close(FFromChild);
    if (FChild > 0) {
        // It ends at "quit"; one that hangs is ended after five seconds.
        for (int Waited = 0; Waited < 500; ++Waited) {
            if (waitpid(FChild, nullptr, WNOHANG) == FChild) return;
            usleep(10000);
        }
        kill(FChild, SIGKILL);
        waitpid(FChild, nullptr, 0);
    }
}

std::string TTableWriter::Send(const std::string& Command)
{
    Start(Command);
    return ReadLine();
}

void TTableWriter::Start(const std::string& Command)
{
    std::string Line = Command + "\n";
    for (std::size_t Sent = 0; Sent < Line.size();) {
        ssize_t N = write(FToChild, Line.data() + Sent, Line.size() - Sent);
        if (N < 0 && errno == EINTR) continue;
        if (N <= 0) throw std::runtime_error("the writer went away before: " + Command);
        Sent += static_cast<std::size_t>(N);
    }
    FCommand = Command;
}

bool TTableWriter::Answered()
{
    if (FPending.find('\n') != std::string::npos) return true;
    pollfd Wait{FFromChild, POLLIN, 0};
    return poll(&Wait, 1, 0) > 0;
}

long long TTableWriter::Finish()
{
    std::string Answer = ReadLine();
    if (Answer.rfind("ok ", 0) != 0) throw std::runtime_error("the writer failed at " + FCommand + ": " + Answer);
    return std::stoll(Answer.substr(3));
}

long long TTableWriter::Write(const std::string& Command)
{
    Start(Command);
    return Finish();
}

std::string TTableWriter::ReadLine()
{
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (;;) {
        std::size_t End = FPending.find('\n');
        if (End != std::string::npos) {
            std::string Line = FPending.substr(0, End);
            FPending.erase(0, End + 1);
            return Line;
        }
        const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - std::chrono::steady_clock::now());
        pollfd Wait{FFromChild, POLLIN, 0};
        if (Left.count() <= 0 || poll(&Wait, 1, static_cast<int>(Left.count())) == 0)
            throw std::runtime_error("the writer did not answer within 60 s");
        char Buffer[512];
        ssize_t N = read(FFromChild, Buffer, sizeof Buffer);
        if (N < 0 && errno == EINTR) continue;
        if (N <= 0) throw std::runtime_error("the writer ended without answering");
        FPending.append(Buffer, static_cast<std::size_t>(N));
    }
}

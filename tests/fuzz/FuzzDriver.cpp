// Runs a fuzz target where libFuzzer is not available (GCC): the seed inputs named on the
// command line (files, or folders of files) are run first, then Runs inputs made from them
// by random mutations with a fixed seed, so that a run is the same every time and a
// finding can be run again with the same flags. Flags as libFuzzer's:
//   -runs=N      inputs to make after the seeds (default 10000)
//   -seed=N      the random seed (default 1)
//   -max_len=N   the longest input made (default 4096)
//   -input=N     write input number N to ./fuzz-input instead of running anything, to
//                run it again on its own: <program> fuzz-input
// Other flags are ignored. A failing input aborts the program (or the sanitizer reports
// it); the driver then prints the number of the input, which -input=N writes out.
#include <signal.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size);

namespace {

namespace fs = std::filesystem;
using TInput = std::vector<std::uint8_t>;

// Pieces that the inputs of our parsers are made of, inserted whole now and then.
const char* const Tokens[] = {"object ", "end\n", " = ", "'", "''", "#", "#$", "#55357#56832", "<", ">", "(", ")",
                              "[", "]", "{", "}", "item\n", ",", "\n", "\r\n", "[Table]\n", "[Fields]\n", "[Users]\n",
                              "Name = ", "Number", "Text", "Key", "Write", "Read", "1e999999999", "-0.0", "9223372036854775808",
                              "\xC2\xA0", "\xED\xA0\x80", "\xEF\xBB\xBF", "\xF0\x9F\x98\x80", "\xFF", "2147483647",
                              "-2147483648", "<>", "<=", ">=", "True", "nil", "+", "postgresql://", "@", ":", "/",
                              "?", "&", "%", "%2F", "password=", "options=", "-c ", "statement_timeout=", "\\ ", "1min"};

TInput ReadFile(const fs::path& Path)
{
    std::ifstream In(Path, std::ios::binary);
    return TInput(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

struct TDriver {
    std::mt19937_64 Random;
    std::size_t MaxLength = 4096;
    std::vector<TInput> Seeds;

    std::size_t Below(std::size_t N) { return N == 0 ? 0 : static_cast<std::size_t>(Random() % N); }

    void Mutate(TInput& In)
    {
        switch (Below(7)) {
        case 0:  // flip a bit
            if (!In.empty()) In[Below(In.size())] ^= static_cast<std::uint8_t>(1u << Below(8));
            break;
        case 1:  // set a byte
            if (!In.empty()) In[Below(In.size())] = static_cast<std::uint8_t>(Random());
            break;
        case 2:  // insert a byte
            In.insert(In.begin() + static_cast<std::ptrdiff_t>(Below(In.size() + 1)), static_cast<std::uint8_t>(Random()));
            break;
        case 3: {  // erase a run
            if (In.empty()) break;
            std::size_t At = Below(In.size());
            std::size_t Length = 1 + Below(std::min<std::size_t>(16, In.size() - At));
            In.erase(In.begin() + static_cast<std::ptrdiff_t>(At), In.begin() + static_cast<std::ptrdiff_t>(At + Length));
            break;
        }
        case 4: {  // copy a run elsewhere
            if (In.empty()) break;
            std::size_t From = Below(In.size());
            std::size_t Length = 1 + Below(std::min<std::size_t>(32, In.size() - From));
            TInput Run(In.begin() + static_cast<std::ptrdiff_t>(From), In.begin() + static_cast<std::ptrdiff_t>(From + Length));
            In.insert(In.begin() + static_cast<std::ptrdiff_t>(Below(In.size() + 1)), Run.begin(), Run.end());
            break;
        }
        case 5: {  // insert a token
            std::string_view Token = Tokens[Below(std::size(Tokens))];
            In.insert(In.begin() + static_cast<std::ptrdiff_t>(Below(In.size() + 1)), Token.begin(), Token.end());
            break;
        }
        default: {  // splice with another seed
            const TInput& Other = Seeds[Below(Seeds.size())];
            std::size_t Cut = Below(In.size() + 1), OtherCut = Below(Other.size() + 1);
            In.resize(Cut);
            In.insert(In.end(), Other.begin() + static_cast<std::ptrdiff_t>(OtherCut), Other.end());
            break;
        }
        }
        if (In.size() > MaxLength) In.resize(MaxLength);
    }
};

// The number of the input being run, for the message of a failure.
volatile long CurrentInput = -1;

void TellFailingInput()
{
    char Text[64] = "\nFuzz driver: input ";
    std::size_t Length = std::strlen(Text);
    char Digits[24];
    int Count = 0;
    long N = CurrentInput;
    do {
        Digits[Count++] = static_cast<char>('0' + N % 10);
        N /= 10;
    } while (N > 0 && Count < 20);
    while (Count > 0) Text[Length++] = Digits[--Count];
    const char Tail[] = " failed; -input=<that number> with the same flags writes it out.\n";
    if (write(2, Text, Length) < 0 || write(2, Tail, sizeof Tail - 1) < 0) return;
}

void OnFatalSignal(int Signal)
{
    TellFailingInput();
    signal(Signal, SIG_DFL);
    raise(Signal);
}

void Run(const TInput& In, long Number, long WriteOut)
{
    if (WriteOut >= 0) {
        if (Number != WriteOut) return;
        {
            std::ofstream Out("fuzz-input", std::ios::binary);
            Out.write(reinterpret_cast<const char*>(In.data()), static_cast<std::streamsize>(In.size()));
        }
        std::printf("Input %ld written to fuzz-input.\n", Number);
        std::exit(0);
    }
    CurrentInput = Number;
    LLVMFuzzerTestOneInput(In.data(), In.size());
}

bool Flag(const char* Arg, const char* Name, long& Value)
{
    std::size_t Length = std::strlen(Name);
    if (std::strncmp(Arg, Name, Length) != 0) return false;
    Value = std::strtol(Arg + Length, nullptr, 10);
    return true;
}

}  // namespace

// The sanitizers call this before they end the program on an error they found.
extern "C" void __sanitizer_set_death_callback(void (*Callback)()) __attribute__((weak));

int main(int Argc, char** Argv)
{
    long Runs = 10000, Seed = 1, MaxLength = 4096, WriteOut = -1;
    std::vector<fs::path> Paths;
    for (int I = 1; I < Argc; ++I) {
        if (Flag(Argv[I], "-runs=", Runs) || Flag(Argv[I], "-seed=", Seed) || Flag(Argv[I], "-max_len=", MaxLength) ||
            Flag(Argv[I], "-input=", WriteOut))
            continue;
        if (Argv[I][0] == '-') continue;
        Paths.emplace_back(Argv[I]);
    }
    for (int Signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL}) signal(Signal, OnFatalSignal);
    if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(TellFailingInput);
    TDriver Driver;
    Driver.Random.seed(static_cast<std::uint64_t>(Seed));
    Driver.MaxLength = static_cast<std::size_t>(MaxLength);
    bool OnlyFiles = !Paths.empty();
    for (const fs::path& Path : Paths) {
        if (fs::is_directory(Path)) {
            OnlyFiles = false;
            for (const auto& Entry : fs::directory_iterator(Path))
                if (Entry.is_regular_file()) Driver.Seeds.push_back(ReadFile(Entry.path()));
        } else {
            Driver.Seeds.push_back(ReadFile(Path));
        }
    }
    long Number = 0;
    for (const TInput& In : Driver.Seeds) Run(In, Number++, WriteOut);
    if (OnlyFiles) return 0;  // files alone: run them once, as libFuzzer does
    if (Driver.Seeds.empty()) Driver.Seeds.emplace_back();
    for (long I = 0; I < Runs; ++I) {
        TInput In = Driver.Seeds[Driver.Below(Driver.Seeds.size())];
        for (std::size_t M = 1 + Driver.Below(4); M > 0; --M) Driver.Mutate(In);
        Run(In, Number++, WriteOut);
    }
    std::printf("Done %ld runs (seed %ld).\n", Number, Seed);
    return 0;
}

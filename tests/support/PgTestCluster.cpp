#include "tests/support/PgTestCluster.h"

#include <fcntl.h>
#include <grp.h>
#include <libpq-fe.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const SocketPort = "5432";  // names the socket file only: the server has no TCP port
const char* const Superuser = "postgres";

const char* const InstallHint =
    "PostgreSQL is needed for these tests: install the packages postgresql and libpq-dev "
    "(on Debian or Ubuntu: apt-get install postgresql libpq-dev; ./run test installs them).";

// The folder of PostgreSQL's server programs: $PG_BINDIR, the newest /usr/lib/postgresql/*/bin,
// or the folder on PATH that holds initdb.
fs::path ServerPrograms()
{
    auto Usable = [](const fs::path& Dir) { return fs::exists(Dir / "initdb") && fs::exists(Dir / "pg_ctl"); };
    if (const char* Env = std::getenv("PG_BINDIR"); Env && Usable(Env)) return Env;
    std::vector<fs::path> Found;
    std::error_code Err;
    for (const auto& Entry : fs::directory_iterator("/usr/lib/postgresql", Err))
        if (Usable(Entry.path() / "bin")) Found.push_back(Entry.path() / "bin");
    if (!Found.empty()) {
        std::sort(Found.begin(), Found.end(), [](const fs::path& A, const fs::path& B) {
            return std::atoi(A.parent_path().filename().c_str()) < std::atoi(B.parent_path().filename().c_str());
        });
        return Found.back();
    }
    if (const char* Path = std::getenv("PATH")) {
        std::stringstream Dirs(Path);
        for (std::string Dir; std::getline(Dirs, Dir, ':');)
            if (!Dir.empty() && Usable(Dir)) return Dir;
    }
    throw std::runtime_error(std::string("initdb and pg_ctl were not found. ") + InstallHint);
}

// Runs Program with Args, as the postgres user when this process is root, its output going
// to Log. Raises with the log's text when it fails.
void Run(const fs::path& Program, const std::vector<std::string>& Args, const fs::path& Log)
{
    std::vector<std::string> Argv{Program.string()};
    Argv.insert(Argv.end(), Args.begin(), Args.end());
    std::vector<char*> Pointers;
    for (std::string& A : Argv) Pointers.push_back(A.data());
    Pointers.push_back(nullptr);
    struct passwd* User = geteuid() == 0 ? getpwnam("postgres") : nullptr;
    if (geteuid() == 0 && !User)
        throw std::runtime_error(std::string("Run as root, the tests start PostgreSQL as the postgres system user, "
                                             "which does not exist. ") + InstallHint);
    pid_t Child = fork();
    if (Child < 0) throw std::runtime_error("fork failed");
    if (Child == 0) {
        int Fd = open(Log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (Fd >= 0) {
            dup2(Fd, 1);
            dup2(Fd, 2);
            close(Fd);
        }
        if (User && (setgroups(0, nullptr) != 0 || setgid(User->pw_gid) != 0 || setuid(User->pw_uid) != 0)) _exit(126);
        execv(Argv[0].c_str(), Pointers.data());
        _exit(127);
    }
    int Status = 0;
    while (waitpid(Child, &Status, 0) < 0) {}
    if (!WIFEXITED(Status) || WEXITSTATUS(Status) != 0) {
        std::ifstream In(Log);
        std::stringstream Text;
        Text << In.rdbuf();
        throw std::runtime_error(Program.filename().string() + " failed (see " + Log.string() + "):\n" + Text.str());
    }
}

void Execute(const std::string& Uri, const std::string& Sql)
{
    PGconn* Conn = PQconnectdb(Uri.c_str());
    std::string Error;
    if (PQstatus(Conn) != CONNECTION_OK) {
        Error = PQerrorMessage(Conn);
    } else {
        PGresult* Result = PQexec(Conn, Sql.c_str());
        if (PQresultStatus(Result) != PGRES_COMMAND_OK && PQresultStatus(Result) != PGRES_TUPLES_OK)
            Error = PQresultErrorMessage(Result);
        PQclear(Result);
    }
    PQfinish(Conn);
    if (!Error.empty()) throw std::runtime_error(Sql + ": " + Error);
}

}  // namespace

namespace {

// Gives Folder to the postgres user when this process is root (the server runs as that user).
void GiveToPostgres(const fs::path& Folder)
{
    if (geteuid() != 0) return;
    if (struct passwd* User = getpwnam("postgres")) {
        if (chown(Folder.c_str(), User->pw_uid, User->pw_gid) != 0)
            throw std::runtime_error("Cannot give the folder " + Folder.string() + " to the postgres user.");
    }
}

}  // namespace

TPgTestCluster::TPgTestCluster(bool Durable)
{
    std::string Template = (fs::temp_directory_path() / "zfd-pg-XXXXXX").string();
    if (!mkdtemp(Template.data())) throw std::runtime_error("Cannot make a temporary folder for PostgreSQL.");
    FFolder = Template;
    FOwner = getpid();
    try {
        GiveToPostgres(FFolder);
        MakeData();
        Start(Durable);
    } catch (...) {
        std::error_code Ignored;
        fs::remove_all(FFolder, Ignored);
        throw;
    }
}

std::unique_ptr<TPgTestCluster> TPgTestCluster::Kept(const fs::path& Folder)
{
    std::unique_ptr<TPgTestCluster> Cluster(new TPgTestCluster(TAttached{}, Folder));
    Cluster->FKept = true;
    fs::create_directories(Folder);
    GiveToPostgres(Folder);
    if (!fs::exists(Folder / "data" / "PG_VERSION")) {
        std::error_code Ignored;
        fs::remove_all(Folder / "data", Ignored);
        Cluster->MakeData();
    }
    Cluster->Start(true);
    Cluster->FOwner = getpid();
    return Cluster;
}

void TPgTestCluster::MakeData()
{
    Run(ServerPrograms() / "initdb",
        {"-D", (FFolder / "data").string(), "-A", "trust", "-U", Superuser, "-E", "UTF8", "--no-locale", "--no-sync"},
        FFolder / "initdb.log");
}

void TPgTestCluster::Start(bool Durable)
{
    std::string Options = "-c listen_addresses='' -k " + FFolder.string() + " -p " + SocketPort +
                          " -c max_connections=200 -c shared_buffers=128MB" +
                          (Durable ? "" : " -c fsync=off -c synchronous_commit=off -c full_page_writes=off");
    Run(ServerPrograms() / "pg_ctl",
        {"-D", (FFolder / "data").string(), "-l", (FFolder / "server.log").string(), "-w", "-t", "60", "-o", Options, "start"},
        FFolder / "pg_ctl.log");
}

std::unique_ptr<TPgTestCluster> TPgTestCluster::Attach(const fs::path& Folder)
{
    return std::unique_ptr<TPgTestCluster>(new TPgTestCluster(TAttached{}, Folder));
}

TPgTestCluster::~TPgTestCluster()
{
    // A forked child never stops its parent's server.
    if (FOwner != 0 && FOwner == getpid()) {
        try {
            if (FKept)
                Run(ServerPrograms() / "pg_ctl", {"-D", (FFolder / "data").string(), "-m", "fast", "-w", "stop"},
                    FFolder / "pg_ctl.log");
            else
                StopAndRemove(FFolder);
        } catch (...) {
        }
    }
}

void TPgTestCluster::StopAndRemove(const fs::path& Folder)
{
    std::error_code Err;
    if (fs::exists(Folder / "data", Err)) Run(ServerPrograms() / "pg_ctl", {"-D", (Folder / "data").string(), "-m", "immediate", "-w", "stop"}, Folder / "pg_ctl.log");
    fs::remove_all(Folder, Err);
}

std::string TPgTestCluster::Uri(const std::string& Database) const
{
    return "postgresql:///" + Database + "?host=" + FFolder.string() + "&port=" + SocketPort + "&user=" + Superuser;
}

std::string TPgTestCluster::NewDatabase()
{
    static std::atomic<int> Counter{0};
    std::string Name = "zfd_test_" + std::to_string(getpid()) + "_" + std::to_string(++Counter);
    Execute(Uri("postgres"), "CREATE DATABASE " + Name);
    return Uri(Name);
}

namespace {

// The database a URI names.
std::string DatabaseOf(const std::string& DatabaseUri)
{
    std::string Database;
    PQconninfoOption* Options = PQconninfoParse(DatabaseUri.c_str(), nullptr);
    for (PQconninfoOption* Option = Options; Option && Option->keyword; ++Option)
        if (std::string(Option->keyword) == "dbname" && Option->val) Database = Option->val;
    PQconninfoFree(Options);
    return Database;
}

}  // namespace

void TPgTestCluster::DropConnections(const std::string& DatabaseUri)
{
    Execute(Uri("postgres"), "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '" +
                                 DatabaseOf(DatabaseUri) + "' AND pid <> pg_backend_pid()");
}

void TPgTestCluster::RefuseConnections(const std::string& DatabaseUri, bool Refuse)
{
    Execute(Uri("postgres"),
            "ALTER DATABASE " + DatabaseOf(DatabaseUri) + " ALLOW_CONNECTIONS " + (Refuse ? "false" : "true"));
    if (Refuse) DropConnections(DatabaseUri);
}

std::vector<pid_t> TPgTestCluster::RecordServerBackends(const std::string& DatabaseUri)
{
    PGconn* Conn = PQconnectdb(DatabaseUri.c_str());
    PGresult* Result = PQexec(Conn, "SELECT pid FROM pg_stat_activity WHERE datname = current_database() AND "
                                    "application_name = 'zfd-record-server' AND pid <> pg_backend_pid()");
    std::vector<pid_t> Pids;
    for (int Row = 0; Row < PQntuples(Result); ++Row) Pids.push_back(static_cast<pid_t>(std::atoi(PQgetvalue(Result, Row, 0))));
    PQclear(Result);
    PQfinish(Conn);
    return Pids;
}

struct TFrozenProcess::TState {
    pid_t Process;
    std::mutex Lock;
    std::condition_variable Done;
    bool Resumed = false;
    std::thread Watchdog;
};

TFrozenProcess::TFrozenProcess(pid_t Process, int MaxSeconds) : FState(std::make_unique<TState>())
{
    FState->Process = Process;
    if (::kill(Process, SIGSTOP) != 0) throw std::runtime_error("cannot stop process " + std::to_string(Process));
    FState->Watchdog = std::thread([State = FState.get(), MaxSeconds] {
        std::unique_lock Guard(State->Lock);
        State->Done.wait_for(Guard, std::chrono::seconds(MaxSeconds), [State] { return State->Resumed; });
        ::kill(State->Process, SIGCONT);
    });
}

TFrozenProcess::~TFrozenProcess()
{
    {
        std::lock_guard Guard(FState->Lock);
        FState->Resumed = true;
    }
    FState->Done.notify_one();
    FState->Watchdog.join();
}

TPgTestCluster& TestCluster()
{
    static std::unique_ptr<TPgTestCluster> Cluster = [] {
        if (const char* State = std::getenv("ZFD_TEST_PG_STATE")) {
            std::ifstream In(State);
            std::string Folder;
            std::getline(In, Folder);
            if (Folder.empty() || !fs::exists(fs::path(Folder) / "data"))
                throw std::runtime_error(std::string("The test PostgreSQL server was not started (the CTest fixture "
                                                     "pg_cluster_start writes its folder to ") +
                                         State + "). " + InstallHint);
            return TPgTestCluster::Attach(Folder);
        }
        return std::make_unique<TPgTestCluster>();
    }();
    return *Cluster;
}

#pragma once
// A throwaway PostgreSQL server for tests and benchmarks: initdb into a fresh folder under the
// system's temporary folder, started with pg_ctl on a Unix socket in that folder only (no
// network address), stopped and removed afterwards. Run as root, the server runs as the
// `postgres` system user, which then owns the folder. A machine without PostgreSQL's server
// programs raises std::runtime_error saying what to install.
//
// The tests of one CTest run share one cluster: the fixture test pg_cluster_start starts it
// and writes its folder to the file that ZFD_TEST_PG_STATE names; pg_cluster_stop stops it. A
// test program run on its own starts a cluster of its own on first use (TestCluster()).
#include <filesystem>
#include <memory>
#include <string>
#include <vector>
#include <sys/types.h>

class TPgTestCluster {
public:
    // Starts a new cluster. Durable: with fsync on, as a real server runs (for benchmarks);
    // otherwise commits skip the disk flush, which tests do not need.
    explicit TPgTestCluster(bool Durable = false);
    // The cluster already running in Folder; it is left running.
    static std::unique_ptr<TPgTestCluster> Attach(const std::filesystem::path& Folder);
    // A cluster kept in Folder from run to run (made there when missing), started now, durable.
    // It is stopped when the object goes, and the folder kept: for benchmarks whose tables take
    // minutes to fill. As root the folder goes to the postgres user, so it must lie where that
    // user can reach it.
    static std::unique_ptr<TPgTestCluster> Kept(const std::filesystem::path& Folder);
    // Stops and removes the cluster if this object (in this process) started it; a kept
    // cluster is only stopped.
    ~TPgTestCluster();
    TPgTestCluster(const TPgTestCluster&) = delete;
    TPgTestCluster& operator=(const TPgTestCluster&) = delete;

    const std::filesystem::path& Folder() const { return FFolder; }
    // A connection URI for Database, over the cluster's socket.
    std::string Uri(const std::string& Database) const;
    // Creates a database of its own for a test and answers its URI.
    std::string NewDatabase();
    // Closes every connection to Database but the caller's (as a server restart would).
    void DropConnections(const std::string& Uri);
    // Closes every connection to the database of Uri and refuses new ones (as a server that
    // went away would), or takes them again.
    void RefuseConnections(const std::string& Uri, bool Refuse);
    // The server processes that serve the record server's connections (its application
    // name) to the database of Uri.
    std::vector<pid_t> RecordServerBackends(const std::string& Uri);
    // The cluster is stopped by whoever stops it; this object leaves it running.
    void Release() { FOwner = 0; }

    // Stops the cluster in Folder and removes the folder.
    static void StopAndRemove(const std::filesystem::path& Folder);

private:
    struct TAttached {};
    TPgTestCluster(TAttached, std::filesystem::path Folder) : FFolder(std::move(Folder)) {}
    // Makes the cluster's data folder (initdb) in FFolder, which exists.
    void MakeData();
    // Starts the server of FFolder's data folder.
    void Start(bool Durable);
    std::filesystem::path FFolder;
    pid_t FOwner = 0;    // the process that started the cluster; 0: someone else stops it
    bool FKept = false;  // stopping leaves the folder
};

// The cluster of this test run (see the top of this file).
TPgTestCluster& TestCluster();

// A server process stopped (SIGSTOP) as if it hung, for as long as the object lives and at
// most MaxSeconds: it is resumed then in any case, so that a test of code that waits on it
// without bound ends, failing, instead of hanging.
class TFrozenProcess {
public:
    TFrozenProcess(pid_t Process, int MaxSeconds = 20);
    ~TFrozenProcess();
    TFrozenProcess(const TFrozenProcess&) = delete;
    TFrozenProcess& operator=(const TFrozenProcess&) = delete;

private:
    struct TState;
    std::unique_ptr<TState> FState;  // owned; shared with the thread that resumes the process
};

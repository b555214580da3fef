#include "design/FormFileAccess.h"

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// What a file of this mode is, in a message; empty for a regular file.
AnsiString KindOf(mode_t Mode)
{
    if (S_ISREG(Mode)) return {};
    if (S_ISDIR(Mode)) return TranslateText("FormFileAccess", "a folder");
    if (S_ISFIFO(Mode)) return TranslateText("FormFileAccess", "a FIFO (named pipe)");
    if (S_ISCHR(Mode) || S_ISBLK(Mode)) return TranslateText("FormFileAccess", "a device");
    if (S_ISSOCK(Mode)) return TranslateText("FormFileAccess", "a socket");
    return TranslateText("FormFileAccess", "a special file");
}

AnsiString SystemError(int Code)
{
    return std::strerror(Code);
}

AnsiString CannotOpen(const fs::path& Path, int Code)
{
    return FormatText(TranslateText("FormFileAccess", "Cannot open the form file %1: %2."), {Path.string(), SystemError(Code)});
}

AnsiString CannotWrite(const fs::path& Path, int Code)
{
    return FormatText(TranslateText("FormFileAccess", "Cannot write the form file %1: %2."),
                      {Path.string(), SystemError(Code)});
}

AnsiString NotRegular(const fs::path& Path, mode_t Mode)
{
    return FormatText(TranslateText("FormFileAccess", "The form file %1 is %2, not a regular file."),
                      {Path.string(), KindOf(Mode)});
}

class TFd {
public:
    explicit TFd(int Fd) : FFd(Fd) {}
    ~TFd()
    {
        if (FFd >= 0) ::close(FFd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return FFd; }
    // Closes now, answering the error close reported (0 when none).
    int Close() { return ::close(std::exchange(FFd, -1)) == 0 ? 0 : errno; }

private:
    int FFd;
};

AnsiString TooLarge(const fs::path& Path)
{
    return FormatText(TranslateText("FormFileAccess", "The form file %1 is larger than the %2 MiB a form file may have."),
                      {Path.string(), IntToStr(MaxFormFileBytes / (1024 * 1024))});
}

}  // namespace

std::string ReadFormFileText(const fs::path& Path)
{
    // Looked at before it is opened, so that opening has no effect on a device; looked at
    // again once open, in case something else was put at the path meanwhile. Opened without
    // blocking, which a FIFO put there in between would otherwise do.
    struct stat Status;
    if (::stat(Path.c_str(), &Status) != 0)
        throw EFOpenError(CannotOpen(Path, errno));
    if (!S_ISREG(Status.st_mode))
        throw EFOpenError(NotRegular(Path, Status.st_mode));
    TFd File(::open(Path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (File.Get() < 0) throw EFOpenError(CannotOpen(Path, errno));
    if (::fstat(File.Get(), &Status) != 0 || !S_ISREG(Status.st_mode))
        throw EFOpenError(NotRegular(Path, Status.st_mode));
    if (static_cast<std::uintmax_t>(Status.st_size) > MaxFormFileBytes) throw EFOpenError(TooLarge(Path));

    // Read up to one byte past the limit: a file that grows while it is read stays bounded.
    std::string Text;
    Text.resize(static_cast<std::size_t>(Status.st_size) + 1);
    std::size_t Have = 0;
    for (;;) {
        if (Have == Text.size()) {
            if (Text.size() > MaxFormFileBytes) throw EFOpenError(TooLarge(Path));
            Text.resize(std::min<std::size_t>(Text.size() * 2, MaxFormFileBytes + 1));
        }
        ssize_t Got = ::read(File.Get(), Text.data() + Have, Text.size() - Have);
        if (Got < 0 && errno == EINTR) continue;
        if (Got < 0) throw EFOpenError(FormatText(TranslateText("FormFileAccess", "Cannot read the form file %1: %2."),
                                                {Path.string(), SystemError(errno)}));
        if (Got == 0) break;
        Have += static_cast<std::size_t>(Got);
    }
    if (Have > MaxFormFileBytes) throw EFOpenError(TooLarge(Path));
    Text.resize(Have);
    return Text;
}

namespace {

// Where the text is to go (the file a link leads to), and the permissions of what is there
// now; refuses every target that is neither a regular file nor a new path.
fs::path CheckedTarget(const fs::path& Target, mode_t& Mode)
{
    struct stat Status;
    if (::stat(Target.c_str(), &Status) == 0) {
        if (!S_ISREG(Status.st_mode))
            throw EFCreateError(
                FormatText(TranslateText("FormFileAccess", "Cannot write the form file %1: it is %2, not a regular file."),
                           {Target.string(), KindOf(Status.st_mode)}));
        Mode = Status.st_mode & 07777;
        std::error_code Err;
        fs::path Resolved = fs::canonical(Target, Err);
        return Err ? Target : Resolved;
    }
    int Missing = errno;
    if (Missing == ENOENT && ::lstat(Target.c_str(), &Status) == 0)
        throw EFCreateError(FormatText(
            TranslateText("FormFileAccess", "Cannot write the form file %1: it is a link to nothing."), {Target.string()}));
    if (Missing != ENOENT)
        throw EFCreateError(CannotWrite(Target, Missing));
    const mode_t Mask = ::umask(0);
    ::umask(Mask);
    Mode = 0666 & ~Mask;
    return Target;
}

}  // namespace

void ReplaceFormFileText(const fs::path& Target, const std::string& Text)
{
    mode_t Mode = 0;
    const fs::path Final = CheckedTarget(Target, Mode);
    std::string Fresh = (Final.parent_path() / ("." + Final.filename().string() + ".XXXXXX")).string();
    TFd File(::mkostemp(Fresh.data(), O_CLOEXEC));
    if (File.Get() < 0)
        throw EFCreateError(CannotWrite(Target, errno));
    try {
        auto Fail = [&](int Code) {
            throw EFCreateError(CannotWrite(Target, Code));
        };
        for (std::size_t Done = 0; Done < Text.size();) {
            ssize_t Put = ::write(File.Get(), Text.data() + Done, Text.size() - Done);
            if (Put < 0 && errno == EINTR) continue;
            if (Put < 0) Fail(errno);
            Done += static_cast<std::size_t>(Put);
        }
        if (::fchmod(File.Get(), Mode) != 0 || ::fsync(File.Get()) != 0) Fail(errno);
        if (int Code = File.Close()) Fail(Code);
        // Looked at again just before the rename: a FIFO or device put at the path meanwhile
        // is not replaced either.
        mode_t Ignored = 0;
        CheckedTarget(Final, Ignored);
        if (::rename(Fresh.c_str(), Final.c_str()) != 0) Fail(errno);
    } catch (...) {
        ::unlink(Fresh.c_str());
        throw;
    }
}

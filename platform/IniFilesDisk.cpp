#include "platform/IniFilesDisk.h"

#include "platform/SysUtils.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int Fd, const std::string& Data)
{
    size_t done = 0;
    while (done < Data.size()) {
        const ssize_t n = ::write(Fd, Data.data() + done, Data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

bool ReadWholeFile(const std::string& Path, std::string& Content, bool& Exists)
{
    Exists = false;
    // Non-blocking, so that a named pipe in place of the file cannot hang the program.
    const int fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR;
    Exists = true;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<size_t>(st.st_size) > MaxIniFileSize) {
        ::close(fd);
        return false;
    }
    Content.resize(static_cast<size_t>(st.st_size) + 1);
    size_t done = 0;
    bool ok = true;
    for (;;) {
        if (done == Content.size()) {
            if (done > MaxIniFileSize) {
                ok = false;
                break;
            }
            Content.resize(Content.size() + 65536);
        }
        const ssize_t n = ::read(fd, Content.data() + done, Content.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    Content.resize(done);
    return ok;
}

std::string FolderOf(const std::string& Path)
{
    const auto slash = Path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : Path.substr(0, slash);
}

bool CanReplaceFile(const std::string& Target)
{
    struct stat st {};
    if (::stat(Target.c_str(), &st) == 0) {
        // Without any write bit the file counts as read-only, even for the superuser.
        if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 || ::access(Target.c_str(), W_OK) != 0)
            return false;
    } else if (errno != ENOENT) {
        return false;
    }
    const std::string folder = FolderOf(Target);
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

namespace {

std::atomic<unsigned> TemporaryCount{0};

// The name of a new temporary for Base in Folder.
std::string TemporaryName(const std::string& Folder, const std::string& Base)
{
    return Folder + "/." + Base + "." + std::to_string(::getpid()) + "." + std::to_string(TemporaryCount++) + ".tmp";
}

// The process that made a temporary of Base named Name ("." Base "." pid "." n ".tmp"), or 0
// for a name that is none of them.
pid_t TemporaryMaker(std::string_view Name, const std::string& Base)
{
    const std::string prefix = "." + Base + ".";
    const std::string_view suffix = ".tmp";
    if (Name.size() <= prefix.size() + suffix.size() || !Name.starts_with(prefix) || !Name.ends_with(suffix))
        return 0;
    const std::string_view middle = Name.substr(prefix.size(), Name.size() - prefix.size() - suffix.size());
    const auto dot = middle.find('.');
    auto number = [](std::string_view S, long& Value) {
        const auto [end, error] = std::from_chars(S.data(), S.data() + S.size(), Value);
        return error == std::errc() && end == S.data() + S.size() && !S.empty() && S.front() != '-';
    };
    long pid = 0, count = 0;
    if (dot == std::string_view::npos || !number(middle.substr(0, dot), pid) ||
        !number(middle.substr(dot + 1), count) || pid <= 0 || pid > INT_MAX)
        return 0;
    return static_cast<pid_t>(pid);
}

// Removes the temporaries of Base in Folder whose makers no longer run (killed during a save).
void RemoveStaleTemporaries(const std::string& Folder, const std::string& Base)
{
    DIR* dir = ::opendir(Folder.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* e = ::readdir(dir)) {
        const pid_t maker = TemporaryMaker(e->d_name, Base);
        if (maker > 0 && maker != ::getpid() && ::kill(maker, 0) != 0 && errno == ESRCH)
            ::unlinkat(::dirfd(dir), e->d_name, 0);
    }
    ::closedir(dir);
}

void Step(const char* What, const std::string& Temporary)
{
    if (ReplaceFileStep != nullptr)
        ReplaceFileStep(What, Temporary);
}

// Gives the unnamed file Fd a fresh name for Base in Folder; false when that fails.
bool NameTemporary(int Fd, const std::string& Folder, const std::string& Base, std::string& Name)
{
    const std::string self = "/proc/self/fd/" + std::to_string(Fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = TemporaryName(Folder, Base);
        bool linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
        // Without /proc, the link may still be made from the descriptor itself.
        if (!linked && errno != EEXIST)
            linked = ::linkat(Fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0;
        if (linked) {
            Name = name;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

enum class TTemporary { Ready, Failed, NoUnnamed };

// Writes Content into a new temporary for Base in Folder, synced, closed and named in Name.
// Unnamed while it is written, unless Named; NoUnnamed where the file system cannot do that.
TTemporary WriteTemporary(const std::string& Folder, const std::string& Base, const struct stat* Old,
                          const std::string& Content, bool Named, std::string& Name)
{
    Name.clear();
    int fd = -1;
    if (!Named) {
        fd = ::open(Folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd < 0)
            return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL ? TTemporary::NoUnnamed
                                                                             : TTemporary::Failed;
    } else {
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            Name = TemporaryName(Folder, Base);
            fd = ::open(Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno != EEXIST)
                break;
        }
        if (fd < 0) {
            Name.clear();
            return TTemporary::Failed;
        }
    }
    Step("created", Name);
    if (Old != nullptr) {
        // The new file keeps the old one's permissions and, where allowed, its owner.
        ::fchmod(fd, Old->st_mode & 07777);
        if (::fchown(fd, Old->st_uid, Old->st_gid) != 0) {
            // Not the owner: the file becomes ours, as any rewrite by us would.
        }
    }
    TTemporary result = WriteAll(fd, Content) && ::fsync(fd) == 0 ? TTemporary::Ready : TTemporary::Failed;
    if (result == TTemporary::Ready)
        Step("written", Name);
    if (result == TTemporary::Ready && !Named && !NameTemporary(fd, Folder, Base, Name))
        result = TTemporary::NoUnnamed;
    if (::close(fd) != 0 && result == TTemporary::Ready)
        result = TTemporary::Failed;
    if (result != TTemporary::Ready && !Name.empty()) {
        ::unlink(Name.c_str());
        Name.clear();
    }
    return result;
}

} // namespace

bool ReplaceFile(const std::string& Target, const std::string& Content)
{
    const std::string folder = FolderOf(Target);
    const auto slash = Target.rfind('/');
    const std::string base = Target.substr(slash == std::string::npos ? 0 : slash + 1);
    RemoveStaleTemporaries(folder, base);

    struct stat old {};
    const struct stat* keep = ::stat(Target.c_str(), &old) == 0 ? &old : nullptr;
    std::string temp;
    TTemporary made = WriteTemporary(folder, base, keep, Content, ReplaceFileNamedOnly, temp);
    if (made == TTemporary::NoUnnamed)
        made = WriteTemporary(folder, base, keep, Content, true, temp);
    if (made != TTemporary::Ready)
        return false;
    Step("named", temp);
    if (::rename(temp.c_str(), Target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // The rename itself made durable too; a folder that cannot be synced changes nothing here.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void WriteFileAtOnce(const std::string& Target, const std::string& Content)
{
    if (!CanReplaceFile(Target) || !ReplaceFile(Target, Content))
        throw EFCreateError("Cannot create file \"" + Target + "\"");
}

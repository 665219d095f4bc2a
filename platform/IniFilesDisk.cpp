#include "platform/IniFilesDisk.h"

#include "platform/SysUtils.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
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

bool ReplaceFile(const std::string& Target, const std::string& Content)
{
    const std::string folder = FolderOf(Target);
    const std::string base = Target.substr(Target.rfind('/') == std::string::npos ? 0 : Target.rfind('/') + 1);
    static std::atomic<unsigned> counter{0};

    struct stat old {};
    const bool replacing = ::stat(Target.c_str(), &old) == 0;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + "/." + base + "." + std::to_string(::getpid()) + "." + std::to_string(counter++) + ".tmp";
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return false;
    if (replacing) {
        // The new file keeps the old one's permissions and, where allowed, its owner.
        ::fchmod(fd, old.st_mode & 07777);
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Not the owner: the file becomes ours, as any rewrite by us would.
        }
    }
    const bool ok = WriteAll(fd, Content) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok || ::rename(temp.c_str(), Target.c_str()) != 0) {
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

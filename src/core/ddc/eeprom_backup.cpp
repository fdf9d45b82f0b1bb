#include "core/ddc/eeprom_backup.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace pellam {

namespace fs = std::filesystem;

namespace {

fs::path homeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

std::string timeStamp(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

std::string failure(const fs::path& directory, const std::string& what, int error) {
    return "The backup of the sink's content could not be saved in " + directory.string() + " (" +
           what + ": " + std::strerror(error) + ").";
}

// Writes all bytes to a new file and flushes them to disk; 0 or errno.
int writeDurably(const fs::path& path, std::span<const Byte> bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    int error = 0;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

} // namespace

fs::path defaultBackupDirectory() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const fs::path base = dataHome && *dataHome && fs::path(dataHome).is_absolute()
                              ? fs::path(dataHome)
                              : homeDirectory() / ".local" / "share";
    return base / "pellam" / "backups";
}

std::string backupNamePart(const std::string& portName) {
    std::string part;
    for (char c : portName) {
        const bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        part += kept ? c : '_';
    }
    // Never a hidden file or a name of dots.
    if (part.find_first_not_of('.') == std::string::npos || part.front() == '.')
        part.insert(part.begin(), '_');
    return part == "_" ? "sink" : part;
}

BackupSave saveEepromBackup(const fs::path& directory, const std::string& portName,
                            std::span<const Byte> bytes, std::time_t when) {
    BackupSave save;
    std::error_code ec;
    fs::create_directories(directory, ec);
    if (ec) {
        save.problem = failure(directory, "cannot create the folder", ec.value());
        return save;
    }
    const std::string stem = backupNamePart(portName) + "-" + timeStamp(when);
    const fs::path temporary =
        directory / ("." + stem + ".bin.part-" + std::to_string(static_cast<long>(::getpid())));
    fs::remove(temporary, ec);
    if (const int error = writeDurably(temporary, bytes)) {
        fs::remove(temporary, ec);
        save.problem = failure(directory, "cannot write " + temporary.filename().string(), error);
        return save;
    }
    for (int n = 1; n < 1000; ++n) {
        const fs::path candidate =
            directory / (stem + (n == 1 ? "" : "-" + std::to_string(n)) + ".bin");
        // link() puts the file under its name only when the name is free; a
        // file system without hard links gets a rename after a look.
        if (::link(temporary.c_str(), candidate.c_str()) == 0) {
            fs::remove(temporary, ec);
            save.path = candidate;
            break;
        }
        const int error = errno;
        if (error == EEXIST)
            continue;
        if (fs::exists(candidate, ec))
            continue;
        if (std::rename(temporary.c_str(), candidate.c_str()) == 0) {
            save.path = candidate;
            break;
        }
        fs::remove(temporary, ec);
        save.problem = failure(directory, "cannot name " + candidate.filename().string(), errno);
        return save;
    }
    if (save.path.empty()) {
        fs::remove(temporary, ec);
        save.problem = failure(directory, "no free name for " + stem, EEXIST);
        return save;
    }
    // The new name itself survives a crash only once the folder is flushed.
    if (const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return save;
}

} // namespace pellam

#include "file_io.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace jsonmap {

bool ReadWholeFile(const char *path, std::string &content) {
    std::FILE *file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    content.clear();
    char buffer[16384];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, n);
    bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

namespace {

std::string TemporaryNameFor(const char *path) {
    static std::atomic<unsigned> counter{0};
#if defined(_WIN32)
    unsigned long pid = static_cast<unsigned long>(_getpid());
#else
    unsigned long pid = static_cast<unsigned long>(getpid());
#endif
    return std::string(path) + ".tmp." + std::to_string(pid) + "." + std::to_string(counter++);
}

#if defined(_WIN32)
bool WriteNewFile(const std::string &name, const std::string &content) {
    std::FILE *file = std::fopen(name.c_str(), "wbx");
    if (file == nullptr) return false;
    bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    ok = std::fflush(file) == 0 && ok;
    ok = _commit(_fileno(file)) == 0 && ok;
    return std::fclose(file) == 0 && ok;
}

bool RenameOver(const std::string &from, const char *to) {
    return MoveFileExA(from.c_str(), to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
#else
bool WriteNewFile(const std::string &name, const std::string &content) {
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const char *data = content.data();
    size_t left = content.size();
    bool ok = true;
    while (left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        data += n;
        left -= static_cast<size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

bool RenameOver(const std::string &from, const char *to) { return std::rename(from.c_str(), to) == 0; }
#endif

} // namespace

bool ReplaceFileAtomically(const char *path, const std::string &content) {
    std::string temporary = TemporaryNameFor(path);
    if (!WriteNewFile(temporary, content) || !RenameOver(temporary, path)) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace jsonmap

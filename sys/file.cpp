#include "sys/file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace sys {

intptr_t OpenFileRead(const char* path) {
    if (!path)
        return kInvalidFile;
    // Without O_NONBLOCK, opening a named pipe waits for a writer for ever;
    // with it the open returns at once and the type test below refuses it.
    int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return kInvalidFile;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return kInvalidFile;
    }
    // Reads of a regular file block as usual.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return kInvalidFile;
    }
    return fd;
}

intptr_t OpenFileWrite(const char* path) {
    if (!path)
        return kInvalidFile;
    int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return fd < 0 ? kInvalidFile : fd;
}

void CloseFile(intptr_t file) {
    if (file != kInvalidFile)
        ::close(static_cast<int>(file));
}

size_t ReadFile(intptr_t file, void* buffer, size_t n) {
    const int64_t done = ReadFileChecked(file, buffer, n);
    return done < 0 ? 0 : static_cast<size_t>(done);
}

int64_t ReadFileChecked(intptr_t file, void* buffer, size_t n) {
    if (file == kInvalidFile)
        return -1;
    size_t done = 0;
    while (done < n) {
        ssize_t r = ::read(static_cast<int>(file), static_cast<char*>(buffer) + done, n - done);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return -1;
        if (r == 0)
            break;
        done += static_cast<size_t>(r);
    }
    return static_cast<int64_t>(done);
}

size_t WriteFile(intptr_t file, const void* buffer, size_t n) {
    if (file == kInvalidFile)
        return 0;
    size_t done = 0;
    while (done < n) {
        ssize_t r =
            ::write(static_cast<int>(file), static_cast<const char*>(buffer) + done, n - done);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        done += static_cast<size_t>(r);
    }
    return done;
}

size_t ReadFileAt(intptr_t file, uint64_t offset, void* buffer, size_t n) {
    if (file == kInvalidFile)
        return 0;
    size_t done = 0;
    while (done < n) {
        ssize_t r = ::pread(static_cast<int>(file), static_cast<char*>(buffer) + done, n - done,
                            static_cast<off_t>(offset + done));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        done += static_cast<size_t>(r);
    }
    return done;
}

bool SeekFile(intptr_t file, uint64_t offset) {
    if (file == kInvalidFile)
        return false;
    return ::lseek(static_cast<int>(file), static_cast<off_t>(offset), SEEK_SET) >= 0;
}

int64_t FileSize(intptr_t file) {
    if (file == kInvalidFile)
        return -1;
    struct stat st;
    if (fstat(static_cast<int>(file), &st) != 0)
        return -1;
    return st.st_size;
}

bool FileExists(const char* path) {
    struct stat st;
    return path && ::stat(path, &st) == 0;
}

bool CreateFolder(const char* path) {
    if (!path || !*path)
        return false;
    if (::mkdir(path, 0755) == 0)
        return true;
    struct stat st;
    return errno == EEXIST && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolders(const char* path) {
    if (!path || !*path)
        return false;
    std::string p(path);
    for (size_t i = 1; i < p.size(); ++i) {
        if (p[i] == '/') {
            p[i] = '\0';
            CreateFolder(p.c_str());
            p[i] = '/';
        }
    }
    return CreateFolder(p.c_str());
}

bool SetWorkingFolder(const char* path) {
    return path && ::chdir(path) == 0;
}

std::string ExecutableFolder() {
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0)
        return "./";
    buf[n] = '\0';
    std::string s(buf);
    size_t slash = s.rfind('/');
    return slash == std::string::npos ? std::string("./") : s.substr(0, slash + 1);
}

namespace {

// Reads XDG_DOCUMENTS_DIR="..." from the user-dirs file, expanding $HOME.
std::string DocumentsFromUserDirs(const std::string& home) {
    const char* cfg = std::getenv("XDG_CONFIG_HOME");
    std::string file = (cfg && *cfg) ? std::string(cfg) : home + "/.config";
    file += "/user-dirs.dirs";
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const std::string key = "XDG_DOCUMENTS_DIR=";
        size_t at = line.find_first_not_of(" \t");
        if (at == std::string::npos || line.compare(at, key.size(), key) != 0)
            continue;
        std::string value = line.substr(at + key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0)
            value = home + value.substr(5);
        if (!value.empty() && value[0] == '/')
            return value;
    }
    return {};
}

} // namespace

std::string DocumentsFolder() {
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        return {};
    std::string h(home);
    std::string docs = DocumentsFromUserDirs(h);
    if (docs.empty())
        docs = h + "/Documents";
    while (docs.size() > 1 && docs.back() == '/')
        docs.pop_back();
    return docs;
}

namespace {

// mkstemp replaces these six characters of the template.
constexpr const char* kTemporarySuffix = ".XXXXXX";
constexpr size_t kTemporaryLetters = 6;

// The folder part of a path ("." for a bare name, "/" for the root).
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return path.substr(0, slash ? slash : 1);
}

} // namespace

uint32_t RemoveStaleTemporaries(const char* path) {
    if (!path || !*path)
        return 0;
    const std::string full(path);
    const std::string folder = FolderOf(full);
    const size_t slash = full.rfind('/');
    const std::string prefix = (slash == std::string::npos ? full : full.substr(slash + 1)) + ".";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    uint32_t removed = 0;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name(e->d_name);
        if (name.size() != prefix.size() + kTemporaryLetters ||
            name.compare(0, prefix.size(), prefix))
            continue;
        bool letters = true;
        for (size_t i = prefix.size(); i < name.size(); ++i)
            letters = letters && std::isalnum(static_cast<unsigned char>(name[i]));
        struct stat st;
        const std::string victim = folder + "/" + name;
        if (letters && ::lstat(victim.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::unlink(victim.c_str()) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

bool AtomicReplace(const char* path, const void* data, size_t size) {
    if (!path)
        return false;
    // A unique temporary name, so that two writers never share one file.
    std::string tmp = std::string(path) + kTemporarySuffix;
    int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        return false;
    ::fchmod(fd, 0644);
    bool ok = WriteFile(fd, data, size) == size;
    ok = (::fsync(fd) == 0) && ok;
    ok = (::close(fd) == 0) && ok;
    if (!ok || std::rename(tmp.c_str(), path) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    // The rename itself lasts only once the folder is on disk too.
    const std::string folder = FolderOf(path);
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace sys

#include "engine/common/File.h"

#include "sys/file.h"
#include "sys/thread.h"

#include <cstdio>
#include <cstring>

namespace Mireku::Common {

bool File::Open(const char* path, uint32_t mode) {
    Close();
    if (mode == kRead)
        handle_ = sys::OpenFileRead(path);
    else if (mode == kWrite)
        handle_ = sys::OpenFileWrite(path);
    else
        return false;
    mode_ = mode;
    return IsOpen();
}

void File::Close() {
    if (IsOpen())
        sys::CloseFile(handle_);
    handle_ = kInvalid;
}

uint32_t File::Read(void* buffer, uint32_t n) {
    return static_cast<uint32_t>(sys::ReadFile(handle_, buffer, n));
}

uint32_t File::Write(const void* buffer, uint32_t n) {
    return static_cast<uint32_t>(sys::WriteFile(handle_, buffer, n));
}

uint32_t File::Size() const {
    int64_t s = sys::FileSize(handle_);
    if (s < 0)
        return 0;
    return s > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<uint32_t>(s);
}

bool File::Seek(uint32_t offset) {
    return sys::SeekFile(handle_, offset);
}

namespace {
char g_documents[260];
sys::Mutex& DocumentsLock() {
    static sys::Mutex m;
    return m;
}
} // namespace

const char* GetMyDocumentsPath() {
    sys::Mutex& m = DocumentsLock();
    m.Lock();
    if (g_documents[0] == '\0') {
        std::string docs = sys::DocumentsFolder();
        if (!docs.empty() && docs.size() < sizeof(g_documents)) {
            std::memcpy(g_documents, docs.c_str(), docs.size() + 1);
            for (char* c = g_documents; *c; ++c)
                if (*c == '\\')
                    *c = '/';
        }
    }
    m.Unlock();
    return g_documents;
}

} // namespace Mireku::Common

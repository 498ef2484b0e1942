// Files and folders: the platform seam under the engine's file wrapper, the
// archive reader and the save files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sys {

constexpr intptr_t kInvalidFile = -1;

// Opens an existing regular file for shared reading; kInvalidFile when it
// cannot. Anything else (a folder, a named pipe, a device) is refused
// without blocking.
intptr_t OpenFileRead(const char* path);
// Creates or truncates a file for writing; kInvalidFile when it cannot.
intptr_t OpenFileWrite(const char* path);
void CloseFile(intptr_t file);
// Reads or writes up to n bytes, retrying short transfers; returns the count.
size_t ReadFile(intptr_t file, void* buffer, size_t n);
// The same, but a read error gives -1 rather than the count so far, so that a
// file that fails to read is not taken for a short one.
int64_t ReadFileChecked(intptr_t file, void* buffer, size_t n);
size_t WriteFile(intptr_t file, const void* buffer, size_t n);
bool SeekFile(intptr_t file, uint64_t offset);
// Size in bytes, or -1 when unknown.
int64_t FileSize(intptr_t file);
// Positional read that leaves the file offset alone (safe from several threads).
size_t ReadFileAt(intptr_t file, uint64_t offset, void* buffer, size_t n);

bool FileExists(const char* path);
// Creates one folder; true when it exists afterwards.
bool CreateFolder(const char* path);
// Creates every missing folder along the path.
bool CreateFolders(const char* path);
bool SetWorkingFolder(const char* path);

// The folder that holds the running executable, ending in '/'.
std::string ExecutableFolder();
// The user's documents folder without a trailing '/': XDG_DOCUMENTS_DIR from
// the user-dirs file, else $HOME/Documents. Empty when neither is known.
std::string DocumentsFolder();

// Writes the bytes to a temporary file beside `path`, flushes it and renames
// it over `path`, so that a crash never leaves a half-written file.
bool AtomicReplace(const char* path, const void* data, size_t size);
// Deletes the temporary files AtomicReplace leaves beside `path` when the
// process dies before its rename ("<path>.XXXXXX"); returns how many went.
uint32_t RemoveStaleTemporaries(const char* path);

} // namespace sys

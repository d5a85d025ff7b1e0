#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <time.h>

// The permissions of the file an atomic write leaves.
enum class AtomicFileMode {
    OwnerOnly,    // readable and writable by its owner only: the user's data
    KeepExisting, // those of the file replaced, else owner only: a file the user chose
};

// Replaces the file at `path` by `bytes` so that the path always holds either the old content or
// the new content, whole: the bytes go into a temporary file beside it, are flushed to disk, and
// the temporary file is renamed over the old one. The new file is readable by its owner only,
// unless `mode` says otherwise. When `path` is a symbolic link, the file it leads to is replaced
// (the temporary file goes beside that file) and the link stays a link. Something there that is
// not a regular file (a device node, a named pipe, a folder) is never replaced.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error = nullptr,
                         AtomicFileMode mode = AtomicFileMode::OwnerOnly);

// The file that writing `path` replaces: `path` itself, or the end of the chain of symbolic
// links that starts there (which need not exist yet). Nothing when the chain is a loop.
std::optional<std::filesystem::path> atomicWriteTarget(const std::filesystem::path& path);

// Whether `name` is that of a temporary file an atomic write of a property list makes:
// ".<name>.plist.XXXXXX" with six letters or digits at the end.
bool isAtomicWriteTemporaryName(std::string_view name);

// Removes from `folder` (not its subfolders) the temporary files that writes interrupted by a
// crash or a kill left behind: regular files of that naming whose last change is older than
// `before`. Only for a folder whose writers are all stopped by a lock the caller holds, since a
// write still running would lose its temporary file. Gives how many were removed.
int removeStaleAtomicWriteTemporaries(const std::filesystem::path& folder,
                                      const struct timespec& before);

// Test seam: called before each step of an atomic write with the step's name ("open", "write",
// "sync", "rename"); answering false makes that step fail as a full disk would.
using AtomicWriteFaultHook = std::function<bool(std::string_view step)>;
void setAtomicWriteFaultHookForTesting(AtomicWriteFaultHook hook);

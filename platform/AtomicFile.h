#pragma once

#include "platform/FileDescriptor.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <time.h>

// The permissions of the file an atomic write leaves.
enum class AtomicFileMode {
    OwnerOnly,    // readable and writable by its owner only: the user's data
    KeepExisting, // those of the file replaced, else owner only: a file the user chose
};

// The place a write to a path lands, found once: the end of the chain of symbolic links that
// starts at the path, that file's folder held open, and its name there. A write through it goes
// through the open folder, so a link changed meanwhile, on the path or on a folder of it, moves
// nothing: the write replaces that name in that folder, or fails.
class AtomicWritePlace {
  public:
    explicit AtomicWritePlace(const std::filesystem::path& path);

    // Why nothing can be written there (the path's links lead round in a loop, its folder cannot
    // be opened), in words naming the path; empty when the place was found.
    const std::string& problem() const { return problem_; }
    bool leadsRoundInALoop() const { return loop_; }
    const std::filesystem::path& path() const { return path_; }
    // The end of the path's links: the file a write replaces.
    const std::filesystem::path& target() const { return target_; }
    // What the name holds in the folder now, a link not followed; nothing when it holds nothing
    // or the place was not found.
    std::optional<struct stat> existing() const;
    // The open folder's own status; nothing when the place was not found.
    std::optional<struct stat> folderStatus() const;

    // A refusal of the place in a sentence naming it; empty when the write may go on.
    using Check = std::function<std::string(const AtomicWritePlace&)>;
    // Replaces the file by `bytes` so that it always holds either the old content or the new
    // content, whole: the bytes go into a temporary file made in the same folder, are flushed to
    // disk, and the temporary file is renamed over the name. Something there that is not a regular
    // file (a device node, a named pipe, a folder, a link put there since the place was found) is
    // never replaced, nor is a place `check` refuses: both are asked before the temporary file is
    // made and again before the rename.
    bool write(std::string_view bytes, std::string* error, AtomicFileMode mode,
               const Check& check = {}) const;

  private:
    std::string refusal(const Check& check) const;

    std::filesystem::path path_;
    std::filesystem::path target_;
    std::string name_;
    FileDescriptor folder_;
    bool folderSyncs_ = false;
    bool loop_ = false;
    std::string problem_;
};

// Writes `bytes` to the place of `path` (see AtomicWritePlace::write). The new file is readable
// by its owner only, unless `mode` says otherwise. When `path` is a symbolic link, the file it
// leads to is replaced (the temporary file goes beside that file) and the link stays a link.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error = nullptr,
                         AtomicFileMode mode = AtomicFileMode::OwnerOnly,
                         const AtomicWritePlace::Check& check = {});

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
// "sync", "rename"); answering false makes that step fail as a full disk would. "open" comes
// after the place was found and checked, so that a test can change the path's links there.
using AtomicWriteFaultHook = std::function<bool(std::string_view step)>;
void setAtomicWriteFaultHookForTesting(AtomicWriteFaultHook hook);

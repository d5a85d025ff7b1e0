#pragma once

// The SHA-256 digest of a file's bytes, remembered so that a file that has not changed need not
// be read again to know it, as a version-control index remembers the files it has hashed. A
// digest is remembered with what tells that version of the file from every other without reading
// it: the device and inode of the opened file, its size, and its modification and change times to
// the nanosecond. The system sets the change time on every change, and no user can set it back,
// so a file changed in any way (even with its size and modification time put back) no longer
// matches and is read again. A record that is missing, damaged, of another file or of another
// version of it is not used; one that cannot be written costs the next reading its time, nothing
// else.

#include "platform/Sha256.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <sys/stat.h>

// What tells one version of a file from another, as fstat gives it.
struct FileStamps {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0;
    std::int64_t changedNanoseconds = 0;

    static FileStamps of(const struct stat& status);
    bool operator==(const FileStamps&) const = default;
};

struct FileDigest {
    std::uint64_t size = 0;
    Sha256::Digest digest{};
    bool operator==(const FileDigest&) const = default;
};

// The digest remembered in the record file `record` for a file of exactly `stamps`; nothing when
// there is no such record, or it is damaged or of anything else.
std::optional<Sha256::Digest> rememberedDigest(const std::filesystem::path& record,
                                               const FileStamps& stamps);

// Remembers `digest` for `stamps` in the record file `record`, replacing it atomically in its own
// folder (made, private to its owner, when missing); a link at its name is neither followed nor
// replaced. False when it cannot be written.
bool rememberDigest(const std::filesystem::path& record, const FileStamps& stamps,
                    const Sha256::Digest& digest);

// The digest of the regular file at `path` of at most `maxBytes`, its bytes read, never mapped (a
// file cut short meanwhile gives other bytes, not a signal); nothing when it cannot be read. With
// a `record` file, the digest remembered there for the opened file's stamps is taken without
// reading it; when there is none, the file is read and its digest remembered, provided that its
// last change is old enough that any change since shows in its change time, whatever the steps of
// the file system's clock. `afterEachPart`, when given, is
// called after each part of the file read.
std::optional<FileDigest> digestOfRegularFile(const std::filesystem::path& path,
                                              std::uintmax_t maxBytes,
                                              const std::filesystem::path& record = {},
                                              const std::function<void()>& afterEachPart = {});

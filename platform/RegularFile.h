#pragma once

// Reading a whole file, whatever is at the path: a named pipe, a device or a folder is refused at
// once instead of being waited on or read without end, and so is a file larger than the reader
// takes.

#include "platform/FileDescriptor.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <sys/stat.h>

enum class RegularFileRead { Read, CannotOpen, NotRegular, TooLarge, Failed };

// Whether a symbolic link at the path itself is followed; refused, it is CannotOpen with ELOOP.
enum class LinkAtPath { Follow, Refuse };

// Reads the regular file at `path` into `bytes`, but never more than `maxBytes`: a file that
// grows past the limit while it is read is refused as too large. On CannotOpen and Failed,
// `error` (when given) is the errno value.
RegularFileRead readRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                std::string& bytes, int* error = nullptr,
                                LinkAtPath links = LinkAtPath::Follow);

// The same, handing the bytes to `take` part by part as they are read, for a file that need not
// be held whole. A file changed while it is read gives the parts read, whatever they are.
RegularFileRead readRegularFileInParts(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                       const std::function<void(std::string_view)>& take,
                                       int* error = nullptr, LinkAtPath links = LinkAtPath::Follow);

// A regular file of at most `maxBytes` opened for reading, and its status as fstat gave it for
// what was opened; `file` is left closed on any other outcome.
RegularFileRead openRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                                FileDescriptor& file, struct stat& status, int* error = nullptr,
                                LinkAtPath links = LinkAtPath::Follow);

// Reads what is left of an open file, handing it to `take` part by part, at most `maxBytes` in
// all.
RegularFileRead readOpenFileInParts(const FileDescriptor& file, std::uintmax_t maxBytes,
                                    const std::function<void(std::string_view)>& take,
                                    int* error = nullptr);

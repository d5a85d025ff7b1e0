#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// Replaces the file at `path` by `bytes` so that the path always holds either the old content or
// the new content, whole: the bytes go into a temporary file beside it, are flushed to disk, and
// the temporary file is renamed over the old one. The new file is readable by its owner only.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* error = nullptr);

// Test seam: called before each step of an atomic write with the step's name ("open", "write",
// "sync", "rename"); answering false makes that step fail as a full disk would.
using AtomicWriteFaultHook = std::function<bool(std::string_view step)>;
void setAtomicWriteFaultHookForTesting(AtomicWriteFaultHook hook);

#pragma once

// Where the program's property-list resources are. Shipped resources are read-only; the files
// the program rewrites (the portfolio file, the entry preset) live in the user's data folder,
// copied there from the shipped resources the first time they are asked for. Both folders are
// given to it, so that tests work in temporary folders, and so is the user's cache folder, where
// what can always be made again is kept (the verified fingerprint of the value table's file):
// without one, nothing is kept.

#include <filesystem>
#include <optional>
#include <string_view>

class ResourceLocations {
  public:
    ResourceLocations(std::filesystem::path shippedDir, std::filesystem::path userDataDir,
                      std::filesystem::path cacheDir = {});

    // The user's data folder of a desktop session (created when missing), the shipped resources
    // found beside the running program and the application's cache folder of the session.
    static ResourceLocations forApplication();
    // The shipped resources beside the running program (empty when there are none), without
    // touching the user's data folder.
    static std::filesystem::path shippedDirBesideProgram();
    // The application's folder in the user's cache folder (made only when something is kept).
    static std::filesystem::path applicationCacheFolder();

    const std::filesystem::path& shippedDir() const { return shippedDir_; }
    const std::filesystem::path& userDataDir() const { return userDataDir_; }
    const std::filesystem::path& cacheDir() const { return cacheDir_; }

    // The file of resource `name` of type `type` ("plist"), or nothing when there is none.
    // A rewritable resource is always answered with its place in the user's data folder,
    // seeded from the shipped copy when absent there. Any other resource is the user's own copy
    // when one exists (an updated value table), else the shipped file.
    std::optional<std::filesystem::path> pathForResource(std::string_view name,
                                                         std::string_view type) const;

    // The place of a resource in the user's data folder, whether or not it exists.
    std::filesystem::path userPathForResource(std::string_view name, std::string_view type) const;

    static bool isRewritable(std::string_view name);

  private:
    std::filesystem::path shippedDir_;
    std::filesystem::path userDataDir_;
    std::filesystem::path cacheDir_;
};

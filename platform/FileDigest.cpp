#include "platform/FileDigest.h"

#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <time.h>

namespace {

// The record's layout and version; a record of another layout or byte order does not match.
constexpr std::array<char, 8> kMagic = {'O', 'V', 'D', 'I', 'G', 'R', 'E', '1'};

struct Record {
    std::array<char, 8> magic{};
    FileStamps stamps;
    Sha256::Digest digest{};
};

static_assert(sizeof(Record) == 96, "a record is written as it lies in memory, without padding");

constexpr std::size_t kCheckBytes = std::tuple_size_v<Sha256::Digest>;
constexpr std::size_t kRecordFileBytes = sizeof(Record) + kCheckBytes;

// The widest step of the file systems' clocks for change times (2 s on FAT); a change within
// that step of the last one may carry the same change time.
constexpr std::int64_t kCoarsestClockStepSeconds = 2;

// Whether the change time of `stamps` is old enough, at the start of a reading at `readStart`,
// that any change from then on carries a later one.
bool settledBefore(const FileStamps& stamps, const timespec& readStart) {
    return stamps.changedSeconds + kCoarsestClockStepSeconds < readStart.tv_sec;
}

} // namespace

FileStamps FileStamps::of(const struct stat& status) {
    return {static_cast<std::uint64_t>(status.st_dev),
            static_cast<std::uint64_t>(status.st_ino),
            static_cast<std::uint64_t>(status.st_size),
            static_cast<std::int64_t>(status.st_mtim.tv_sec),
            static_cast<std::int64_t>(status.st_mtim.tv_nsec),
            static_cast<std::int64_t>(status.st_ctim.tv_sec),
            static_cast<std::int64_t>(status.st_ctim.tv_nsec)};
}

std::optional<Sha256::Digest> rememberedDigest(const std::filesystem::path& record,
                                               const FileStamps& stamps) {
    std::string bytes;
    if (readRegularFile(record, kRecordFileBytes, bytes, nullptr, LinkAtPath::Refuse) !=
            RegularFileRead::Read ||
        bytes.size() != kRecordFileBytes) {
        return std::nullopt;
    }
    const std::string_view body(bytes.data(), sizeof(Record));
    Sha256::Digest check{};
    std::memcpy(check.data(), bytes.data() + sizeof(Record), kCheckBytes);
    Record read;
    std::memcpy(&read, body.data(), sizeof read);
    if (read.magic != kMagic || !(read.stamps == stamps) || check != Sha256::of(body)) {
        return std::nullopt;
    }
    return read.digest;
}

bool rememberDigest(const std::filesystem::path& record, const FileStamps& stamps,
                    const Sha256::Digest& digest) {
    const std::filesystem::path folder = record.parent_path();
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        std::filesystem::create_directories(folder.parent_path(), ec);
        ::mkdir(folder.c_str(), S_IRWXU);
    }
    Record written;
    written.magic = kMagic;
    written.stamps = stamps;
    written.digest = digest;
    std::string bytes(sizeof written, '\0');
    std::memcpy(bytes.data(), &written, sizeof written);
    const Sha256::Digest check = Sha256::of(bytes);
    bytes.append(reinterpret_cast<const char*>(check.data()), check.size());
    const AtomicWritePlace::Check noLinkAtTheName = [](const AtomicWritePlace& place) {
        return place.target() == place.path() ? std::string()
                                              : place.path().string() + " is a link";
    };
    return writeFileAtomically(record, bytes, nullptr, AtomicFileMode::OwnerOnly, noLinkAtTheName);
}

std::optional<FileDigest> digestOfRegularFile(const std::filesystem::path& path,
                                              std::uintmax_t maxBytes,
                                              const std::filesystem::path& record,
                                              const std::function<void()>& afterEachPart) {
    FileDescriptor file;
    struct stat opened {};
    if (openRegularFile(path, maxBytes, file, opened) != RegularFileRead::Read) {
        return std::nullopt;
    }
    const FileStamps stamps = FileStamps::of(opened);
    if (!record.empty()) {
        if (const std::optional<Sha256::Digest> remembered = rememberedDigest(record, stamps)) {
            return FileDigest{stamps.size, *remembered};
        }
    }
    // The system stamps changes from its coarse clock, cut to the file system's step: a change
    // from now on carries a change time no earlier than this less one step.
    timespec readStart{};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &readStart);
    Sha256 sha;
    std::uint64_t size = 0;
    const RegularFileRead read = readOpenFileInParts(file, maxBytes, [&](std::string_view part) {
        sha.add(part);
        size += part.size();
        if (afterEachPart) {
            afterEachPart();
        }
    });
    if (read != RegularFileRead::Read) {
        return std::nullopt;
    }
    const FileDigest digest{size, sha.finish()};
    // A change while the file was read carries a later change time than the one remembered, so
    // the record never matches again; a file changed just before might not, and is not remembered.
    if (!record.empty() && settledBefore(stamps, readStart)) {
        rememberDigest(record, stamps, digest.digest);
    }
    return digest;
}

#include "platform/PropertyList.h"

#include "platform/AtomicFile.h"
#include "platform/FileDescriptor.h"
#include "platform/PlistXmlReader.h"
#include "platform/PlistXmlWriter.h"
#include "platform/XmlSafeText.h"
#include "platform/XmlTextEncoding.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

void setError(std::string* error, std::string text) {
    if (error != nullptr) {
        *error = std::move(text);
    }
}

// A byte-order mark is no part of the text: writers on some systems put one before UTF-8.
std::string_view withoutByteOrderMark(std::string_view xml) {
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    return xml.starts_with(kUtf8Mark) ? xml.substr(kUtf8Mark.size()) : xml;
}

// The bytes of a whole file, in one allocation of its size that is not filled before the read.
struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
};

bool readFileBytes(const std::filesystem::path& path, std::uintmax_t maxBytes, FileBytes& bytes,
                   std::string* error) {
    // Without waiting: opening a named pipe for reading would block until a writer came.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    const int fd = file.get();
    if (fd < 0) {
        setError(error, "cannot open " + path.string() + ": " + std::strerror(errno));
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (!ok) {
        setError(error, path.string() + " is not a regular file");
    } else if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        setError(error, path.string() + " is too large to be a property list");
        ok = false;
    }
    if (ok) {
        const auto size = static_cast<std::size_t>(info.st_size);
        bytes.data.reset(new char[size]);
        std::size_t done = 0;
        while (done < size) {
            const ssize_t got = ::read(fd, bytes.data.get() + done, size - done);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                break;
            }
            done += static_cast<std::size_t>(got);
        }
        bytes.size = done;
        if (done < size) {
            setError(error, "cannot read " + path.string());
            ok = false;
        }
    }
    return ok;
}

} // namespace

PlistValue propertyListFromXml(std::string_view xml, std::string* error) {
    xml = withoutByteOrderMark(xml);
    std::string converted;
    bool isConverted = false;
    std::string reason;
    if (!decodeDeclaredEncoding(xml, converted, isConverted, reason)) {
        setError(error, std::move(reason));
        return {};
    }
    PlistValue value = readPlistXml(isConverted ? std::string_view(converted) : xml, reason);
    if (value.isAbsent()) {
        setError(error, std::move(reason));
    }
    return value;
}

PlistValue readPropertyList(const std::filesystem::path& path, std::string* error) {
    return readPropertyList(path, kMaxPropertyListBytes, error);
}

PlistValue readPropertyList(const std::filesystem::path& path, std::uintmax_t maxBytes,
                            std::string* error) {
    FileBytes bytes;
    if (!readFileBytes(path, maxBytes, bytes, error)) {
        return {};
    }
    return propertyListFromXml(std::string_view(bytes.data.get(), bytes.size), error);
}

PlistDictRef readPropertyListDictionary(const std::filesystem::path& path,
                                        std::string_view notADictionary, std::string* error,
                                        std::uintmax_t maxBytes) {
    std::string reason;
    PlistDictRef root = readPropertyList(path, maxBytes, &reason).dict();
    if (!root) {
        setError(error, reason.empty() ? std::string(notADictionary) : std::move(reason));
    }
    return root;
}

PropertyListSize propertyListSize(const PlistValue& value, int depth) {
    // Per value at most: its indentation, its tags, a line end; a text's bytes at most six
    // times over (a control character becomes "&#NN;"); data at most three times over (base64
    // in lines of 9 bytes or more, each indented by up to 8 tabs).
    constexpr std::uintmax_t kTags = 24;
    const auto textBound = [depth](std::size_t bytes) {
        return static_cast<std::uintmax_t>(depth) + kTags + 6 * std::uintmax_t{bytes};
    };
    PropertyListSize size;
    switch (value.type()) {
    case PlistValue::Type::Absent:
        return size;
    case PlistValue::Type::Dict:
        for (const auto& [key, child] : value.dictPtr()->entries()) {
            const PropertyListSize inner = propertyListSize(child, depth + 1);
            size.values += inner.values;
            size.maxXmlBytes += inner.maxXmlBytes + textBound(key.size());
        }
        break;
    case PlistValue::Type::Array:
        for (const PlistValue& child : *value.arrayPtr()) {
            const PropertyListSize inner = propertyListSize(child, depth + 1);
            size.values += inner.values;
            size.maxXmlBytes += inner.maxXmlBytes;
        }
        break;
    case PlistValue::Type::String:
        size.maxXmlBytes = textBound(value.stringPtr()->size());
        break;
    case PlistValue::Type::Data:
        size.maxXmlBytes = static_cast<std::uintmax_t>(depth) + kTags + 2 * 80 +
                           3 * std::uintmax_t{value.dataPtr()->bytes.size()};
        break;
    default:
        size.maxXmlBytes = static_cast<std::uintmax_t>(depth) + kTags + 40;
        break;
    }
    size.values += 1;
    size.maxXmlBytes += 2 * (static_cast<std::uintmax_t>(depth) + kTags);
    return size;
}

bool fitsPropertyListFile(const PropertyListSize& size) {
    return size.values <= kMaxPlistValues && size.maxXmlBytes <= kMaxPropertyListBytes;
}

std::string propertyListToXml(const PlistValue& root, std::string* error) {
    std::string xml;
    std::string reason;
    if (!appendPlistXml(root, xml, reason)) {
        setError(error, std::move(reason));
        return {};
    }
    return xml;
}

bool writePropertyList(const std::filesystem::path& path, const PlistValue& root,
                       std::string* error, const AtomicWritePlace::Check& check) {
    const std::string xml = propertyListToXml(root, error);
    return !xml.empty() && writePropertyListText(path, xml, error, check);
}

bool writePropertyListText(const std::filesystem::path& path, std::string_view xml,
                           std::string* error, const AtomicWritePlace::Check& check) {
    if (path.empty()) {
        setError(error, "no file to write to");
        return false;
    }
    if (xml.size() > kMaxPropertyListBytes) {
        setError(error, "the data is larger than a property-list file can be");
        return false;
    }
    return writeFileAtomically(path, xml, error, AtomicFileMode::KeepExisting, check);
}

#include "platform/DictionaryResource.h"

#include "platform/PropertyList.h"
#include "platform/ResourceLocations.h"

PlistDictRef readDictionaryResource(const ResourceLocations& resources, std::string_view name) {
    const std::optional<std::filesystem::path> path = resources.pathForResource(name, "plist");
    if (!path) {
        return nullptr;
    }
    return readPropertyList(*path).dict();
}

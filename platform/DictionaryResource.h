#pragma once

// Reading a resource that is a property-list dictionary: the readers of such resources map it
// to their own types.

#include "platform/PlistValue.h"

#include <string_view>

class ResourceLocations;

// The dictionary in the resource `name`.plist; an empty reference when the resource is
// missing, unreadable or not a dictionary.
PlistDictRef readDictionaryResource(const ResourceLocations& resources, std::string_view name);

#include "platform/PlistXmlLayout.h"

namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool isNameEnd(char c) {
    return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The element name that starts at `pos` (just after '<' or "</").
std::string_view nameAt(std::string_view xml, std::size_t pos) {
    std::size_t end = pos;
    while (end < xml.size() && !isNameEnd(xml[end])) {
        ++end;
    }
    return xml.substr(pos, end - pos);
}

} // namespace

PlistXmlLayout scanPlistXml(std::string_view xml, int depthLimit) {
    PlistXmlLayout layout;
    // Whether the structure still looks like <plist><dict>children</dict></plist>.
    bool understood = true;
    bool rootDictSeen = false;
    bool rootDictClosed = false;
    int depth = 0;
    std::size_t childBegin = 0;
    std::size_t pos = 0;
    while ((pos = xml.find('<', pos)) != kNone) {
        const std::string_view rest = xml.substr(pos);
        std::size_t end;
        if (rest.starts_with("<?")) {
            end = xml.find("?>", pos + 2);
            end = end == kNone ? kNone : end + 2;
        } else if (rest.starts_with("<!--")) {
            end = xml.find("-->", pos + 4);
            end = end == kNone ? kNone : end + 3;
        } else if (rest.starts_with("<![CDATA[")) {
            end = xml.find("]]>", pos + 9);
            end = end == kNone ? kNone : end + 3;
        } else if (rest.starts_with("<!")) {
            end = xml.find('>', pos + 2);
            // A document type with an internal subset may declare entities of its own; leave
            // such text to the library whole.
            if (end != kNone && xml.substr(pos, end - pos).find('[') != kNone) {
                understood = false;
                end = xml.find("]>", pos);
                end = end == kNone ? kNone : end + 2;
            } else if (end != kNone) {
                ++end;
            }
        } else {
            end = xml.find('>', pos + 1);
            if (end == kNone) {
                understood = false;
                break;
            }
            ++end;
            const bool closing = rest.size() > 1 && rest[1] == '/';
            const bool empty = !closing && xml[end - 2] == '/';
            if (closing) {
                --depth;
                if (depth < 0) {
                    understood = false;
                    depth = 0;
                }
                if (depth == 2 && rootDictSeen && !rootDictClosed) {
                    layout.rootChildren.emplace_back(childBegin, end);
                } else if (depth == 1 && rootDictSeen) {
                    rootDictClosed = true;
                }
            } else {
                const int elementDepth = depth + 1;
                if (elementDepth > layout.maxDepth) {
                    layout.maxDepth = elementDepth;
                    if (layout.maxDepth > depthLimit) {
                        return layout;
                    }
                }
                const std::string_view name = nameAt(xml, pos + 1);
                if (elementDepth == 1 && name != "plist") {
                    understood = false;
                } else if (elementDepth == 2) {
                    // A value after the root's is ignored by the library as well.
                    if (!rootDictSeen) {
                        if (name == "dict" && !empty) {
                            rootDictSeen = true;
                        } else {
                            understood = false;
                        }
                    }
                } else if (elementDepth == 3 && rootDictSeen && !rootDictClosed) {
                    childBegin = pos;
                    if (empty) {
                        layout.rootChildren.emplace_back(pos, end);
                    }
                }
                if (!empty) {
                    depth = elementDepth;
                }
            }
        }
        if (end == kNone) {
            understood = false;
            break;
        }
        pos = end;
    }
    layout.rootIsDict = understood && rootDictClosed && depth == 0 &&
                        layout.rootChildren.size() % 2 == 0 && !layout.rootChildren.empty();
    if (!layout.rootIsDict) {
        layout.rootChildren.clear();
    }
    return layout;
}

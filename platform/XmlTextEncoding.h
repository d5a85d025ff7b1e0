#pragma once

// The text encoding an XML file declares. The property-list library reads every file as UTF-8
// whatever its declaration says, so a file in another encoding is turned into UTF-8 before the
// library sees it, or refused when its encoding is not one this program reads.

#include <string>
#include <string_view>

// `xml` as UTF-8 in `utf8`, decoded by the encoding its XML declaration names: UTF-8 (also when
// none is named) and US-ASCII are kept as they are (`utf8` then stays empty and `converted`
// false), ISO-8859-1 is converted. UTF-16 text (told by its byte-order mark or its first
// character, as XML tells it) is converted too, when it declares UTF-16 or no encoding. False,
// with the reason in `error`, for any other encoding, for US-ASCII text with other bytes, and
// for UTF-16 text that is damaged.
bool decodeDeclaredEncoding(std::string_view xml, std::string& utf8, bool& converted,
                            std::string& error);

// Unicode lower-casing for identifiers derived from the product's names.
#pragma once

#include <string>
#include <string_view>

namespace RecorderCore::TextCase {

// Returns the text with every character mapped to its simple lower-case form
// (one character for one, as the Unicode data defines it). Bytes that are not
// valid UTF-8 are copied unchanged.
std::string lowercased(std::string_view text);

}  // namespace RecorderCore::TextCase

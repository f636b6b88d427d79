// Just enough JSON for the command line's one-object answer.
#pragma once
#include <string>
#include <string_view>

namespace tov::json {

// A JSON string literal, quotes included; the text must be UTF-8.
std::string cadena(std::string_view utf8);

}  // namespace tov::json

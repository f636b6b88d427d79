// Text plumbing: UTF-8 / UTF-16 / Windows-1252, as Windows converts them, and the
// Windows-1252 case folding used where codes are compared without regard to case.
#pragma once
#include <string>
#include <string_view>

namespace tov {

std::u16string utf8ToUtf16(std::string_view utf8);      // bad sequences become U+FFFD
std::string utf16ToUtf8(std::u16string_view utf16);     // lone surrogates become U+FFFD

// Each UTF-16 code unit to its Windows-1252 byte; a character the code page lacks becomes
// '?' (no best-fit). Each such character is appended to *lost when given (a surrogate pair
// as one character).
std::string toWindows1252(std::u16string_view text, std::u16string* lost = nullptr);
std::u16string fromWindows1252(std::string_view bytes);
std::string windows1252ToUtf8(std::string_view bytes);
std::string utf8ToWindows1252(std::string_view utf8, std::u16string* lost = nullptr);

// Trims every character of code 32 or less at both ends.
std::u16string trimControl(std::u16string_view text);
std::string_view trimControl(std::string_view text);

// Lower-cases Windows-1252 letters that have a small form (A-Z, À-Þ except ×, Š, Œ, Ž, Ÿ);
// accents are kept. Two texts are equal ignoring case when their folds are equal.
char foldCase(char c);
std::string foldCase(std::string_view text);

}  // namespace tov

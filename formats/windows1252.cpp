#include "formats/windows1252.h"

#include <array>
#include <cstdint>

namespace tov {

namespace {

constexpr char16_t kReplacement = 0xFFFD;  // what a broken sequence decodes to
constexpr char kDefaultChar = '?';          // Windows' default character for code page 1252

// Bytes 0x80-0x9F of code page 1252. The five holes (0x81, 0x8D, 0x8F, 0x90, 0x9D) hold
// the C1 control of the same number, as Windows' own table does, so they survive a round trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The byte for one UTF-16 code unit, or -1 when the code page lacks it.
int byteFor(char16_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
  for (std::size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == u) return static_cast<int>(0x80 + i);
  return -1;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void appendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 | (c >> 10));
    out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
  }
}

}  // namespace

std::u16string utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto b0 = static_cast<unsigned char>(utf8[i]);
    if (b0 < 0x80) {
      out += static_cast<char16_t>(b0);
      ++i;
      continue;
    }
    // Lead byte: how many continuation bytes follow and the smallest value that may use
    // this length (anything below is an overlong form).
    int more;
    char32_t c, minimum;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
      more = 1, c = b0 & 0x1F, minimum = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      more = 2, c = b0 & 0x0F, minimum = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
      more = 3, c = b0 & 0x07, minimum = 0x10000;
    } else {
      out += kReplacement;
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    for (; j < utf8.size() && j <= i + more; ++j) {
      const auto b = static_cast<unsigned char>(utf8[j]);
      if ((b & 0xC0) != 0x80) break;
      c = (c << 6) | (b & 0x3F);
    }
    const bool complete = j == i + 1 + more;
    if (!complete || c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out += kReplacement;
      i = j;  // the bad sequence, as far as it went, is one replacement
      continue;
    }
    appendUtf16(out, c);
    i = j;
  }
  return out;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t u = utf16[i];
    if (isHighSurrogate(u) && i + 1 < utf16.size() && isLowSurrogate(utf16[i + 1])) {
      appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
      ++i;
    } else if (isHighSurrogate(u) || isLowSurrogate(u)) {
      appendUtf8(out, kReplacement);
    } else {
      appendUtf8(out, u);
    }
  }
  return out;
}

std::string toWindows1252(std::u16string_view text, std::u16string* lost) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (int b = byteFor(u); b >= 0) {
      out += static_cast<char>(b);
      continue;
    }
    // Windows converts unit by unit: a surrogate pair gives two '?', but it is one
    // character lost.
    const bool pair = isHighSurrogate(u) && i + 1 < text.size() && isLowSurrogate(text[i + 1]);
    out += kDefaultChar;
    if (pair) out += kDefaultChar;
    if (lost) lost->append(text.substr(i, pair ? 2 : 1));
    if (pair) ++i;
  }
  return out;
}

std::u16string fromWindows1252(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    out += (b >= 0x80 && b <= 0x9F) ? kHighControls[b - 0x80] : static_cast<char16_t>(b);
  }
  return out;
}

std::string windows1252ToUtf8(std::string_view bytes) { return utf16ToUtf8(fromWindows1252(bytes)); }

std::string utf8ToWindows1252(std::string_view utf8, std::u16string* lost) {
  return toWindows1252(utf8ToUtf16(utf8), lost);
}

std::u16string trimControl(std::u16string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && text[b] <= 32) ++b;
  while (e > b && text[e - 1] <= 32) --e;
  return std::u16string(text.substr(b, e - b));
}

std::string_view trimControl(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
  return text.substr(b, e - b);
}

char foldCase(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 0x20);
  // À-Þ except the multiplication sign; ß (0xDF) has no capital in this code page.
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 0x20);
  switch (b) {
    case 0x8A: return static_cast<char>(0x9A);  // Š -> š
    case 0x8C: return static_cast<char>(0x9C);  // Œ -> œ
    case 0x8E: return static_cast<char>(0x9E);  // Ž -> ž
    case 0x9F: return static_cast<char>(0xFF);  // Ÿ -> ÿ
    default: return c;
  }
}

std::string foldCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = foldCase(c);
  return out;
}

}  // namespace tov

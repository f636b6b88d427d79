// Text plumbing: the Windows-1252 table at its edges, UTF-8/UTF-16, trimming, case folding.
#include "formats/windows1252.h"

#include <gtest/gtest.h>

#include <map>

using namespace tov;

namespace {

std::string hex(std::string_view bytes) {
  static const char* d = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    if (!out.empty()) out += ' ';
    out += d[b >> 4];
    out += d[b & 15];
  }
  return out;
}

struct CasoAnsi {
  const char* nombre;
  std::u16string texto;
  std::string bytes;
  std::u16string perdidos;
};

TEST(Windows1252, ConvierteComoWindowsEnLosBordesDeLaTabla) {
  const CasoAnsi casos[] = {
      {"ascii", u"MAT01", "MAT01", u""},
      {"controles bajos y DEL", u"\u0001\u001F\u007F", "\x01\x1F\x7F", u""},
      {"U+0080 no es el euro", u"\u0080", "?", u"\u0080"},
      {"los cinco huecos van a su byte", u"\u0081\u008D\u008F\u0090\u009D",
       "\x81\x8D\x8F\x90\x9D", u""},
      {"otro control C1 no es un hueco", u"\u0085\u009F", "??", u"\u0085\u009F"},
      {"euro y comillas", u"\u20AC\u201A\u201E\u201C\u201D", "\x80\x82\x84\x93\x94", u""},
      {"letras de 0x80-0x9F", u"\u0160\u0161\u0152\u0153\u017D\u017E\u0178\u0192",
       "\x8A\x9A\x8C\x9C\x8E\x9E\x9F\x83", u""},
      {"rayas y tilde", u"\u2013\u2014\u02DC\u02C6\u2122", "\x96\x97\x98\x88\x99", u""},
      {"latin-1 alto", u"\u00A0\u00C1\u00D1\u00E9\u00F1\u00FF", "\xA0\xC1\xD1\xE9\xF1\xFF", u""},
      {"sin sustitutos parecidos", u"\u0100\u0131\u2015\uFF21", "????", u"\u0100\u0131\u2015\uFF21"},
      {"fuera del plano basico: dos ? y un caracter perdido", u"A\U0001F600B", "A??B",
       u"\U0001F600"},
      {"sustituto alto suelto", u"\xD800" u"a", "?a", u"\xD800"},
      {"sustituto bajo suelto", u"a\xDC00", "a?", u"\xDC00"},
      {"mezcla", u"Pe\u00F1a \u2603 \u20AC", "Pe\xF1" "a ? \x80", u"\u2603"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    std::u16string perdidos;
    EXPECT_EQ(hex(toWindows1252(c.texto, &perdidos)), hex(c.bytes));
    EXPECT_EQ(perdidos, c.perdidos);
    EXPECT_EQ(toWindows1252(c.texto), c.bytes);  // without *lost too
  }
}

TEST(Windows1252, LaTablaEsUnaBiyeccionDe256Unidades) {
  // Every byte widens to one unit and back; the C1 controls widen only at the holes.
  std::map<char16_t, int> origen;
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const std::u16string ancho = fromWindows1252(byte);
    ASSERT_EQ(ancho.size(), 1u);
    EXPECT_TRUE(origen.emplace(ancho[0], b).second) << "byte " << b << " repite unidad";
    std::u16string perdidos;
    EXPECT_EQ(toWindows1252(ancho, &perdidos), byte) << "byte " << b;
    EXPECT_TRUE(perdidos.empty());
  }
  // And no other BMP unit reaches a byte other than '?'.
  for (char32_t u = 0; u < 0x10000; ++u) {
    if (origen.count(static_cast<char16_t>(u))) continue;
    const std::u16string uno(1, static_cast<char16_t>(u));
    ASSERT_EQ(toWindows1252(uno), "?") << "U+" << std::hex << static_cast<unsigned>(u);
  }
  EXPECT_EQ(fromWindows1252("\x80\x81\x9F"), u"\u20AC\u0081\u0178");
  EXPECT_EQ(windows1252ToUtf8("Mart\xEDn \x80"), "Martín €");
  std::u16string perdidos;
  EXPECT_EQ(utf8ToWindows1252("Ñandú ☃", &perdidos), "\xD1" "and\xFA ?");
  EXPECT_EQ(perdidos, u"☃");
}

struct CasoUtf8 {
  const char* nombre;
  std::string utf8;
  std::u16string utf16;
};

TEST(Utf8, DecodificaYSustituyeSecuenciasRotas) {
  const CasoUtf8 casos[] = {
      {"acentos", "Peña Álvarez", u"Peña Álvarez"},
      {"cuatro bytes", "x\xF0\x9F\x98\x80y", u"x\U0001F600y"},
      {"byte latin-1 suelto", "Pe\xF1" "a", u"Pe\uFFFD" u"a"},
      {"secuencia cortada al final", "a\xE2\x82", u"a\uFFFD"},
      {"secuencia cortada antes de ascii", "\xE2\x82z", u"\uFFFDz"},
      {"forma larga", "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"forma larga de tres bytes", "\xE0\x80\xAF", u"\uFFFD"},
      {"sustituto codificado", "\xED\xA0\x80", u"\uFFFD"},
      {"mas alla de U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD"},
      {"continuacion suelta", "\x80" "a", u"\uFFFD" u"a"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    EXPECT_EQ(utf8ToUtf16(c.utf8), c.utf16);
  }
  EXPECT_EQ(utf16ToUtf8(u"Peña \U0001F600"), "Peña \xF0\x9F\x98\x80");
  EXPECT_EQ(utf16ToUtf8(u"a\xD800" u"b\xDC00"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

struct CasoRecorte {
  const char* nombre;
  std::u16string texto;
  std::u16string esperado;
};

TEST(Recorte, QuitaLosCodigosHasta32EnAmbosExtremos) {
  const CasoRecorte casos[] = {
      {"blancos, tabulador y saltos", u" \t\r\nMAT01 \n\t", u"MAT01"},
      {"el interior no se toca", u"  A \t B  ", u"A \t B"},
      {"controles bajos", u"\u0001\u001FX\u0000", u"X"},
      {"solo blancos", u" \t\n ", u""},
      {"vacio", u"", u""},
      {"el espacio duro no es blanco aqui", u"\u00A0X\u00A0", u"\u00A0X\u00A0"},
      {"DEL no es menor que 33", u"\u007FX", u"\u007FX"},
      {"un sustituto no se recorta", u" \U0001F600 ", u"\U0001F600"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    EXPECT_EQ(trimControl(c.texto), c.esperado);
    // The 8-bit form trims the same; bytes from 0x80 up are letters, not blanks.
    const std::string ansi = toWindows1252(c.texto);
    EXPECT_EQ(std::string(trimControl(std::string_view(ansi))), toWindows1252(c.esperado));
  }
  EXPECT_EQ(trimControl(std::string_view("\x85\xA0 X \xA0\x85")), "\x85\xA0 X \xA0\x85");
}

TEST(PlegadoMayusculas, SigueLasLetrasDeWindows1252) {
  struct Par {
    const char* nombre;
    unsigned char mayuscula, minuscula;
  };
  const Par pares[] = {
      {"A", 'A', 'a'},       {"Z", 'Z', 'z'},       {"À", 0xC0, 0xE0}, {"Ñ", 0xD1, 0xF1},
      {"Ø", 0xD8, 0xF8},     {"Þ", 0xDE, 0xFE},     {"Š", 0x8A, 0x9A}, {"Ž", 0x8E, 0x9E},
      {"Œ", 0x8C, 0x9C},     {"Ÿ", 0x9F, 0xFF},
  };
  for (const auto& p : pares) {
    SCOPED_TRACE(p.nombre);
    EXPECT_EQ(static_cast<unsigned char>(foldCase(static_cast<char>(p.mayuscula))), p.minuscula);
    EXPECT_EQ(static_cast<unsigned char>(foldCase(static_cast<char>(p.minuscula))), p.minuscula);
  }
  // Bytes that stay: ß and µ have no capital here, × and ÷ are no letters, and the
  // neighbours of A-Z and of the accented block.
  const unsigned char quietos[] = {0xDF, 0xB5, 0xD7, 0xF7, '@', '[', '`', '{', '0',
                                   0x80, 0x9A, 0xAA, 0xBA, 0xBF, 0xFF, 0x00};
  for (unsigned char b : quietos)
    EXPECT_EQ(static_cast<unsigned char>(foldCase(static_cast<char>(b))), b) << std::hex << int(b);

  // The fold is a projection: folding twice changes nothing; exactly the 60 capitals move.
  int cambian = 0;
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    EXPECT_EQ(foldCase(foldCase(c)), foldCase(c));
    if (foldCase(c) != c) ++cambian;
  }
  EXPECT_EQ(cambian, 26 + 30 + 4);

  EXPECT_EQ(foldCase(utf8ToWindows1252("ÁRBOL Ñandú ŒUVRE MAT")),
            utf8ToWindows1252("árbol ñandú œuvre mat"));
  EXPECT_NE(foldCase(utf8ToWindows1252("MATEMÁTICAS")), foldCase(utf8ToWindows1252("MATEMATICAS")));
}

}  // namespace

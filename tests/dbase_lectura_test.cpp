// Reading tables that other programs wrote: the reference files, the host's SOLUC of
// dBase IV and 7, deleted records, and damaged files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "apoyo/carpeta_temporal.h"
#include "app/errores.h"
#include "formats/tabla_dbase.h"

namespace tov {
namespace {

using prueba::CarpetaTemporal;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

const fs::path kFix = fs::path(TOV_FIXTURES) / "dbase";

// Text form of every field of every live row, in row order ("-" marks a field not asked).
std::vector<std::vector<std::string>> listar(DbfTable& t, const std::vector<std::string>& campos) {
  std::vector<std::vector<std::string>> filas;
  for (t.first(); !t.eof(); t.next()) {
    filas.emplace_back();
    for (const auto& c : campos) filas.back().push_back(t.text(c));
  }
  return filas;
}

struct CasoReferencia {
  const char* archivo;  // under the reference folder
  std::vector<std::string> campos;
  std::vector<std::vector<std::string>> filas;
};

// Values as the reference README and the bytes give them.
const CasoReferencia kReferencias[] = {
    {"level7-tdbf-debian/COUNTSES.DBF", {"DURACION", "NSES"},
     {{"50 MIN", "4"}, {"100 MIN", "3"}, {"150 MIN", "2"}, {"200 MIN", "1"}}},
    {"level7-tdbf7/COUNTSES.DBF", {"DURACION", "NSES"},
     {{"50 MIN", "4"}, {"100 MIN", "3"}, {"150 MIN", "2"}, {"200 MIN", "1"}}},
    {"level7-tdbf7-numeric/COUNTSES.DBF", {"DURACION", "NSES"},
     {{"50", "3"}, {"55", "1"}, {"60", "12"}, {"65", "1"}, {"70", "3"}}},
    {"level4-xbase64/small/COUNTSES.DBF", {"DURACION", "NSES"},
     {{"60", "3"}, {"45", "1"}, {"90", "12"}, {"60", "1"}, {"30", "3"}}},
    {"level7-tdbf-debian/NUMS.DBF", {"I", "O"},
     {{"0", "0"}, {"1", "3"}, {"-1", "2.5"}, {"3", "-1.5"}, {"", ""}}},
    {"level7-tdbf7/NUMS.DBF", {"I", "O"},
     {{"0", "0"}, {"1", "3"}, {"-1", "2.5"}, {"3", "-1.5"}, {"", ""}}},
    {"level7-tdbf-debian/LEVEL4.DBF", {"DURACION", "NSES", "FLT"}, {{"X", "7", "2.5"}}},
    {"level7-tdbf-debian/LONGNAME.DBF",
     {"ABREV_GESTION", "SESION_ORDEN", "ASIG_GESTION", "FLOATFLD", "STAMP", "AUTO"},
     {{"ABC", "3", "T", "2.5", "1970-01-01 00:00:00", "0"}, {"", "", "", "", "", "1"}}},
    // TDbf 7 pads the blank text of its second row with NULs; its @ value is known to be
    // wrong (far beyond year 9999) and reads as a day count.
    {"level7-tdbf7/LONGNAME.DBF", {"ABREV_GESTION", "SESION_ORDEN", "ASIG_GESTION", "FLOATFLD", "AUTO"},
     {{"ABC", "3", "T", "2.5", "0"}, {"", "", "", "", "1"}}},
    {"level7-public/phpxbase_dBaseVII_int.dbf", {"INT"},
     {{"1"}, {"-1"}, {"5000000"}, {"-5000000"}, {"2147483647"}, {"-2147483647"}}},
    {"level7-public/phpxbase_dBaseVII_double.dbf", {"double"},
     {{"-199.99"}, {"-74.62"}, {"43.65"}, {"150.48"}, {"0"}}},
    // The first six records are deleted.
    {"level7-public/phpxbase_dBaseVII_ts.dbf", {"TS"},
     {{"1900-01-01 00:00:00"}, {"1900-01-02 00:00:00"}, {"1900-01-03 00:00:00"}, {"2000-01-01 00:00:00"},
      {"2000-01-02 00:00:00"}, {"2000-01-03 00:00:00"}, {"2000-01-04 00:00:00"}, {"2000-01-05 00:00:00"},
      {"2000-01-10 00:00:00"}}},
    {"level7-public/phpxbase_dBaseVII.dbf",
     {"NAME", "BIRTHDAY", "IS_MAN", "MONEY", "AUTO_INC", "INTEGER", "LARGE_INT", "DATETIME"},
     {{"Groot", "19601101", "F", "12.1235", "0", "1", "4", "1800-01-01 01:01:01"},
      {"Rocket Raccoon", "19760601", "F", "325.32", "1", "2", "5", "1970-01-01 00:00:00"},
      {"Star-Lord", "19760101", "T", "0", "2", "3", "6", "2020-02-20 20:20:20"}}},
    {"level7-public/javadbf_dbase_7.dbf", {"DATE", "USER", "ID"},
     {{"20150223", "DFG", "1"}, {"20130131", "GFS", "2"}, {"20141028", "HSJ", "3"}}},
};

TEST(DbaseLectura, LasTablasDeReferenciaSeLeenComoDiceSuDescripcion) {
  for (const auto& c : kReferencias) {
    SCOPED_TRACE(c.archivo);
    const fs::path p = kFix / c.archivo;
    DbfTable t = DbfTable::open(p.parent_path(), p.stem().string() + p.extension().string(), Access::Shared);
    EXPECT_EQ(listar(t, c.campos), c.filas);
  }
}

TEST(DbaseLectura, ValoresNumericosDeLaReferencia) {
  DbfTable nums = DbfTable::open(kFix / "level7-tdbf-debian", "NUMS", Access::Shared);
  std::vector<std::pair<long long, double>> leidos;
  for (nums.first(); !nums.eof(); nums.next()) leidos.emplace_back(nums.integer("I"), nums.real("O"));
  EXPECT_THAT(leidos, ::testing::ElementsAre(std::pair(0LL, 0.0), std::pair(1LL, 3.0), std::pair(-1LL, 2.5),
                                             std::pair(3LL, -1.5), std::pair(0LL, 0.0)));

  DbfTable d = DbfTable::open(kFix / "level7-public", "phpxbase_dBaseVII_double.dbf", Access::Shared);
  d.first();
  EXPECT_EQ(d.real("double"), -199.99);
  EXPECT_EQ(d.integer("double"), -200);
  d.next();
  d.next();
  EXPECT_EQ(d.real("double"), 43.65);

  DbfTable php = DbfTable::open(kFix / "level7-public", "phpxbase_dBaseVII.dbf", Access::Shared);
  php.first();
  EXPECT_EQ(php.real("MONEY"), 12.1235);
  EXPECT_EQ(php.integer("IS_MAN"), 0);
  EXPECT_EQ(php.integer("BIRTHDAY"), 19601101);
  // Memo, binary and OLE fields are references into another file: passed over.
  EXPECT_THROW(php.text("BIO"), ErrorTabla);
  EXPECT_THROW(php.text("BLOB"), ErrorTabla);
  EXPECT_THROW(php.integer("DBASE_OLE"), ErrorTabla);
}

// Small .DBF files put together byte by byte, as the host's engine lays them out.
struct Desc {
  std::string nombre;
  char tipo;
  int ancho, decimales = 0;
};

void le16(std::string& b, std::size_t off, unsigned v) {
  b[off] = char(v & 0xFF);
  b[off + 1] = char(v >> 8);
}

std::string tabla(bool nivel7, const std::vector<Desc>& campos, const std::vector<std::string>& registros,
                  const std::string& propiedades = "") {
  const std::size_t fija = nivel7 ? 68 : 32, desc = nivel7 ? 48 : 32;
  std::string b(fija, '\0');
  b[0] = nivel7 ? 0x04 : 0x03;
  b[1] = 124;
  b[2] = 5;
  b[3] = 17;
  b[4] = char(registros.size());
  unsigned rl = 1;
  for (const auto& c : campos) rl += unsigned(c.ancho);
  le16(b, 10, rl);
  if (nivel7) std::memcpy(b.data() + 32, "DBWINUS0", 8);
  for (const auto& c : campos) {
    std::string d(desc, '\0');
    std::memcpy(d.data(), c.nombre.data(), c.nombre.size());
    d[nivel7 ? 32 : 11] = c.tipo;
    d[nivel7 ? 33 : 16] = char(c.ancho);
    d[nivel7 ? 34 : 17] = char(c.decimales);
    b += d;
  }
  b += '\x0D';
  b += propiedades;
  le16(b, 8, unsigned(b.size()));
  for (const auto& r : registros) b += r;
  return b + '\x1A';
}

std::string i4(int v) {
  const std::uint32_t u = std::uint32_t(v) ^ 0x80000000u;
  return {char(u >> 24), char(u >> 16), char(u >> 8), char(u)};
}
std::string o8(double v) {
  std::uint64_t u;
  std::memcpy(&u, &v, 8);
  u = (u >> 63) ? ~u : u | 0x8000000000000000ull;
  std::string s;
  for (int i = 7; i >= 0; --i) s += char(u >> (8 * i));
  return s;
}

TEST(DbaseLectura, SolucDeNivel4ConCamposN) {
  CarpetaTemporal dir;
  const std::vector<Desc> campos = {{"ASIG", 'C', 4}, {"TAREA", 'C', 4}, {"DIA", 'N', 1},
                                    {"HORA", 'N', 5, 2}, {"CODGRUPO", 'C', 4}, {"PROF", 'C', 4},
                                    {"AULA", 'C', 4}};
  prueba::escribirArchivo(dir / "SOLUC.DBF",
                          tabla(false, campos,
                                {std::string(" MAT     2 3.00") + "1ESA" + "AB  " + "A1  ",
                                 std::string("*LEN     3 4.00") + "1ESA" + "AB  " + "A1  ",  // deleted
                                 std::string("     GU  510.50") + "    " + std::string("\xD1U\0\0", 4) + "    "}));
  DbfTable t = DbfTable::open(dir.ruta(), "SOLUC", Access::Exclusive);
  EXPECT_EQ(t.recordCount(), 2u);
  t.first();
  EXPECT_EQ(t.text("ASIG"), "MAT");
  EXPECT_EQ(t.text("TAREA"), "");
  EXPECT_EQ(t.integer("DIA"), 2);
  EXPECT_EQ(t.text("DIA"), "2");
  EXPECT_EQ(t.real("HORA"), 3.0);
  EXPECT_EQ(t.text("HORA"), "3");  // matches the digits DIASHORAST holds
  EXPECT_EQ(t.text("CODGRUPO"), "1ESA");
  t.next();
  EXPECT_EQ(t.recordNumber(), 3u);  // the deleted record 2 is passed over
  EXPECT_EQ(t.text("TAREA"), "GU");
  EXPECT_EQ(t.text("DIA"), "5");
  EXPECT_EQ(t.text("HORA"), "10.5");
  EXPECT_EQ(t.text("PROF"), "\xD1U");  // trailing NULs removed
  EXPECT_EQ(t.text("AULA"), "");
  EXPECT_FALSE(t.locate("ASIG", "LEN"));  // deleted rows are not found either
  t.next();
  EXPECT_TRUE(t.eof());
}

TEST(DbaseLectura, SolucDeNivel7ConCamposIyOYBloqueDePropiedades) {
  CarpetaTemporal dir;
  const std::vector<Desc> campos = {{"ASIG", 'C', 4}, {"TAREA", 'C', 4},    {"DIA", 'I', 4},
                                    {"HORA", 'O', 8}, {"CODGRUPO", 'C', 4}, {"PROF", 'C', 4},
                                    {"AULA", 'C', 4}, {"FECHA", '@', 8}};
  // A field-properties block after the terminator: the header length says where rows start.
  const std::string propiedades = std::string(40, '\x07');
  prueba::escribirArchivo(
      dir / "SOLUC.DBF",
      tabla(true, campos,
            {" MAT " + std::string(4, ' ') + i4(3) + o8(2) + "1ESAAB  A1  " + std::string(8, '\0'),
             " " + std::string(4, '\0') + "GU  " + std::string(4, '\0') + o8(-0.5) + std::string(12, ' ') +
                 std::string(8, '\0')},
            propiedades));
  DbfTable t = DbfTable::open(dir.ruta(), "SOLUC", Access::Shared);
  t.first();
  EXPECT_EQ(t.text("ASIG"), "MAT");
  EXPECT_EQ(t.integer("DIA"), 3);
  EXPECT_EQ(t.text("DIA"), "3");
  EXPECT_EQ(t.real("HORA"), 2.0);
  EXPECT_EQ(t.text("HORA"), "2");
  EXPECT_EQ(t.text("FECHA"), "");
  EXPECT_EQ(t.text("AULA"), "A1");
  t.next();
  EXPECT_EQ(t.text("ASIG"), "");
  EXPECT_EQ(t.text("DIA"), "");  // all-zero I is blank
  EXPECT_EQ(t.integer("DIA"), 0);
  EXPECT_EQ(t.real("HORA"), -0.5);
  EXPECT_EQ(t.text("HORA"), "-0.5");
  EXPECT_TRUE(t.locate("DIA", ""));
  EXPECT_EQ(t.recordNumber(), 2u);
  EXPECT_TRUE(t.locate("DIA", "3"));
  EXPECT_EQ(t.recordNumber(), 1u);
}

TEST(DbaseLectura, UnNombreDeArchivoEnMinusculasSeEncuentra) {
  CarpetaTemporal dir;
  prueba::escribirArchivo(dir / "soluc.dbf", tabla(false, {{"ASIG", 'C', 4}}, {" MAT "}));
  DbfTable t = DbfTable::open(dir.ruta(), "SOLUC", Access::Shared);
  t.first();
  EXPECT_EQ(t.text("ASIG"), "MAT");
}

struct CasoDanado {
  const char* nombre;
  std::function<void(std::string&)> danar;
  const char* mensaje;
};

TEST(DbaseLectura, LasTablasDanadasDanUnErrorQueNombraElArchivo) {
  const std::string buena =
      tabla(false, {{"ASIG", 'C', 4}, {"DIA", 'N', 2}}, {" MAT  1", " LEN  2"});
  const std::string buena7 = tabla(true, {{"DIA", 'I', 4}}, {" " + i4(1)});
  const CasoDanado casos[] = {
      {"longitud de registro mayor", [](std::string& b) { le16(b, 10, 9); }, "no coincide"},
      {"campo más allá del registro", [](std::string& b) { le16(b, 10, 4); }, "sobrepasa el registro"},
      {"cabecera más allá del final", [](std::string& b) { le16(b, 8, 5000); }, "la cabecera dice medir 5000"},
      {"más registros que datos", [](std::string& b) { b[4] = 3; }, "la cabecera cuenta 3 registros"},
      {"registros truncados", [](std::string& b) { b.resize(b.size() - 5); }, "registros"},
      {"archivo cortísimo", [](std::string& b) { b.resize(20); }, "más corto"},
      {"versión desconocida", [](std::string& b) { b[0] = 0x02; }, "versión"},
      {"descriptor cortado por la cabecera", [](std::string& b) { le16(b, 8, 32 + 40); }, "descriptor"},
      {"sin campos", [](std::string& b) { b[32] = 0x0D; }, "no tiene campos"},
      {"ancho cero", [](std::string& b) { b[32 + 16] = 0; }, "ancho 0"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    CarpetaTemporal dir;
    std::string b = buena;
    c.danar(b);
    prueba::escribirArchivo(dir / "SOLUC.DBF", b);
    try {
      DbfTable::open(dir.ruta(), "SOLUC", Access::Shared);
      ADD_FAILURE() << "se abrió";
    } catch (const ErrorTabla& e) {
      EXPECT_THAT(e.what(), HasSubstr((dir / "SOLUC.DBF").string()));
      EXPECT_THAT(e.what(), HasSubstr(c.mensaje));
    }
  }
  // Binary types must have their own width, or a read would leave the field.
  CarpetaTemporal dir;
  std::string b = buena7;
  b[68 + 33] = 2;
  le16(b, 10, 3);
  prueba::escribirArchivo(dir / "SOLUC.DBF", b);
  try {
    DbfTable::open(dir.ruta(), "SOLUC", Access::Shared);
    ADD_FAILURE() << "se abrió";
  } catch (const ErrorTabla& e) {
    EXPECT_THAT(e.what(), HasSubstr("tipo I tiene ancho 2"));
  }
}

}  // namespace
}  // namespace tov

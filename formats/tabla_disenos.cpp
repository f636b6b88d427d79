#include "formats/tabla_disenos.h"

namespace tov::disenos {
namespace {
FieldDef texto(const char* nombre, int ancho) { return {nombre, FieldType::Text, ancho}; }
FieldDef logico(const char* nombre) { return {nombre, FieldType::Logical, 0}; }
FieldDef entero(const char* nombre) { return {nombre, FieldType::Integer, 0}; }
FieldDef real(const char* nombre) { return {nombre, FieldType::Float, 0}; }
}  // namespace

const std::vector<FieldDef> ASIGNOMT = {texto("COD", 4),      texto("CODLARGO", 8),
                                        texto("NOMBRE", 40),  texto("CODTAREA", 12),
                                        logico("ESTAREA"),    texto("ABREV_GESTION", 10)};

const std::vector<FieldDef> PROFT = {texto("ABREV", 4), texto("NOMBRE", 40), texto("DEPART", 40)};

const std::vector<FieldDef> AULAT = {texto("ABREV", 4), texto("NOMBRE", 40), texto("EDIFICIO", 1),
                                     entero("MAXALUM"), texto("ABREV_GESTION", 20)};

const std::vector<FieldDef> GRUPOST = {texto("ABREV", 4), texto("TURNO", 1),    texto("NIVEL", 5),
                                       texto("CURSO", 3), texto("GRUPO", 2),    texto("DESCRIP", 40),
                                       texto("TUTOR", 4)};

const std::vector<FieldDef> ASIGT = {texto("CASIG", 4),    texto("CPROF", 4),   texto("CGRUP", 4),
                                     texto("CAULA", 4),    texto("TURNO", 1),   texto("NIVEL", 5),
                                     texto("CURSO", 3),    texto("GRUPO", 2),   real("HORAS"),
                                     texto("SESIONES", 20), texto("CTAREA", 4), texto("ASIG_GESTION", 10)};

const std::vector<FieldDef> DIASHORAST = {
    texto("DIHO", 10),     texto("CODDIHO", 10), texto("DIA", 20),      texto("TEXTODIA", 20),
    texto("HORA", 8),      texto("TEXTOHOR", 15), texto("HORADESDE", 8), texto("HORAHASTA", 8),
    texto("MINUTOS", 8),   entero("SESION_ORDEN"), texto("PLANTILLA", 20)};

const std::vector<FieldDef> COUNTSES = {texto("DURACION", 10), entero("NSES")};

const std::vector<IndexDef> COUNTSES_INDICES = {{"NSES", "NSES"}};

}  // namespace tov::disenos

// The layouts of the work tables shared with the timetabling host.
#pragma once
#include <string_view>
#include <vector>

#include "formats/tabla_dbase.h"

namespace tov::disenos {

extern const std::vector<FieldDef> ASIGNOMT;
extern const std::vector<FieldDef> PROFT;
extern const std::vector<FieldDef> AULAT;
extern const std::vector<FieldDef> GRUPOST;
extern const std::vector<FieldDef> ASIGT;
extern const std::vector<FieldDef> DIASHORAST;
extern const std::vector<FieldDef> COUNTSES;
// COUNTSES carries the tag "NSES" on NSES in COUNTSES.MDX.
extern const std::vector<IndexDef> COUNTSES_INDICES;

}  // namespace tov::disenos

// The glyphs of the window's bitmap buttons, drawn here: a green check mark for the
// "OK" kind and a door for the "Close" kind.
#pragma once
#include <QIcon>

namespace tov {

QIcon glifoAceptar();
QIcon glifoCerrar();

}  // namespace tov

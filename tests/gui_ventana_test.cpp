// The main window as designed, read back from the live widgets, and its behaviour inside the
// process: host mode without a real host, the status file that cannot be written, help.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "app/MainForm.h"
#include "app/aplicacion.h"
#include "app/panel_degradado.h"
#include "apoyo/carpeta_temporal.h"

namespace tov {
namespace {

using prueba::CarpetaTemporal;

QApplication& aplicacion() {
  static int argc = 1;
  static char nombre[] = "gui_ventana_test";
  static char* argv[] = {nombre, nullptr};
  static QApplication* app = [] {
    auto* a = new QApplication(argc, argv);
    prepararAplicacion(*a);
    return a;
  }();
  return *app;
}

class Ventana : public testing::Test {
 protected:
  void SetUp() override {
    aplicacion();
    // Message boxes are accepted as soon as they show and copied to stderr.
    qputenv("TOV_PRUEBA_MENSAJES", "aceptar");
  }
  std::unique_ptr<TMForm> crear(std::vector<std::string> parametros) {
    return std::make_unique<TMForm>(parametros, tmp_.ruta());
  }
  CarpetaTemporal tmp_;
};

struct Diseno {
  const char* nombre;
  const char* padre;
  QRect geometria;      // position and size within the parent
  const char* texto;    // caption; nullptr when the component has none
  int pixeles;          // font height in pixels
  bool negrita;
  bool visible;
};

TEST_F(Ventana, componentesComoElDiseno) {
  auto MForm = crear({});
  MForm->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(MForm.get()));

  EXPECT_EQ(MForm->objectName(), "MForm");
  EXPECT_EQ(MForm->windowTitle(), "Exportar e importar datos entre Orvantis y Lumbra-Zetra");
  EXPECT_EQ(MForm->size(), QSize(632, 266));
  EXPECT_EQ(MForm->minimumSize(), MForm->maximumSize()) << "borde de diálogo: tamaño fijo";
  EXPECT_EQ(MForm->pos(), QPoint(194, 167));
  const Qt::WindowFlags f = MForm->windowFlags();
  EXPECT_TRUE(f & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(f & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::FramelessWindowHint));
  EXPECT_EQ(MForm->font().pixelSize(), 11);
  EXPECT_EQ(MForm->estado().NumParametros, 0);
  EXPECT_EQ(MForm->estado().EstadoTransformado, 0);

  const Diseno tabla[] = {
      {"Draw3D1", "MForm", {0, 168, 633, 97}, nullptr, 11, false, true},
      {"BClose", "Draw3D1", {256, 32, 89, 25}, "&Salir", 11, false, true},
      {"Button1", "Draw3D1", {48, 40, 75, 25}, "F1 Ayuda", 11, false, true},
      {"ListBoxPlanti", "Draw3D1", {576, 4, 49, 29}, nullptr, 11, true, false},
      {"Draw3D2", "MForm", {0, 0, 315, 169}, nullptr, 11, false, true},
      {"Label3", "Draw3D2", {24, 24, 265, 57}, "Transformar datos desde Lumbra-Zetra hacia Orvantis ", 16, true, true},
      {"BExportar", "Draw3D2", {96, 120, 89, 25}, "Aceptar", 11, false, true},
      {"Draw3D3", "MForm", {316, 0, 317, 169}, nullptr, 11, false, true},
      {"Label4", "Draw3D3", {8, 24, 305, 57}, "Transformar datos desde Orvantis hacia Lumbra-Zetra", 16, true, true},
      {"BImportar", "Draw3D3", {96, 120, 89, 25}, "Aceptar", 11, false, true},
  };
  for (const Diseno& d : tabla) {
    SCOPED_TRACE(d.nombre);
    auto* w = MForm->findChild<QWidget*>(d.nombre);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parentWidget()->objectName(), d.padre);
    EXPECT_EQ(w->geometry(), d.geometria);
    EXPECT_EQ(w->isVisible(), d.visible);
    EXPECT_EQ(w->font().pixelSize(), d.pixeles);
    EXPECT_EQ(w->font().bold(), d.negrita);
    // The design's families are asked for by name and fall back to Liberation Sans.
    EXPECT_EQ(QFontInfo(w->font()).family(), "Liberation Sans");
    if (auto* b = qobject_cast<QPushButton*>(w)) {
      EXPECT_EQ(b->text(), d.texto);
    }
    if (auto* l = qobject_cast<QLabel*>(w)) {
      EXPECT_EQ(l->text(), d.texto);
      EXPECT_TRUE(l->wordWrap());
      EXPECT_FALSE(l->autoFillBackground()) << "transparente";
    }
  }

  auto* Label1 = MForm->findChild<QLabel*>("Label1");
  ASSERT_NE(Label1, nullptr);
  EXPECT_EQ(Label1->text(), "TransOrvantisLumbra-Zetra para ZT20 V-1.1");
  EXPECT_EQ(Label1->pos(), QPoint(8, 72));
  EXPECT_EQ(Label1->height(), 13);
  EXPECT_TRUE(Label1->font().bold());
  EXPECT_EQ(Label1->palette().color(QPalette::WindowText), QColor(Qt::red));
  EXPECT_FALSE(Label1->autoFillBackground());
  EXPECT_EQ(MForm->findChild<QListWidget*>("ListBoxPlanti")->palette().color(QPalette::Text),
            QColor(Qt::blue));
  EXPECT_TRUE(MForm->findChild<QListWidget*>("ListBoxPlanti")->isSortingEnabled());
  for (const char* b : {"BClose", "BExportar", "BImportar"})
    EXPECT_FALSE(MForm->findChild<QPushButton*>(b)->icon().isNull()) << b << ": glifo";

  struct Degradado {
    const char* nombre;
    QColor inicio, medio, fin, panel;
  };
  const Degradado degradados[] = {
      {"Draw3D1", {194, 205, 254}, {207, 242, 254}, {204, 216, 230}, {204, 216, 230}},
      {"Draw3D2", {249, 211, 125}, Qt::white, {255, 238, 221}, {0, 255, 0}},
      {"Draw3D3", {249, 211, 125}, Qt::white, {255, 238, 221}, {0, 255, 0}},
  };
  const QImage imagen = MForm->grab().toImage();
  for (const Degradado& d : degradados) {
    SCOPED_TRACE(d.nombre);
    auto* p = MForm->findChild<PanelDegradado*>(d.nombre);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->colorInicio(), d.inicio);
    EXPECT_EQ(p->colorMedio(), d.medio);
    EXPECT_EQ(p->colorFin(), d.fin);
    EXPECT_EQ(p->colorPanel(), d.panel);
    // Painted top to bottom, the middle colour at half height, in a column without
    // controls (for the strip, the one column between the halves: they cover its top row).
    const QRect g = p->geometry();
    const int x = g.left() + 2;
    const int xArriba = d.nombre == std::string("Draw3D1") ? 315 : x;
    EXPECT_EQ(imagen.pixelColor(xArriba, g.top()), d.inicio);
    EXPECT_EQ(imagen.pixelColor(x, g.top() + g.height() / 2), d.medio);
    EXPECT_EQ(imagen.pixelColor(x, g.bottom()), d.fin);
  }
  // The halves, created later, lie above the strip where they overlap (row 168); the strip
  // ends a row short of the client area, which shows the window's own colour there.
  EXPECT_EQ(imagen.pixelColor(2, 168), QColor(255, 238, 221));
  EXPECT_EQ(imagen.pixelColor(2, 265), MForm->palette().color(QPalette::Window));
  EXPECT_EQ(MForm->childAt(2, 168)->objectName(), "Draw3D2");

  // Tab order: the strip's buttons, the hidden list, then the left and the right half.
  QStringList cadena;
  QWidget* w = MForm->findChild<QWidget*>("BClose");
  for (int i = 0; i < 5; ++i, w = w->nextInFocusChain()) {
    while (w->focusPolicy() == Qt::NoFocus) w = w->nextInFocusChain();
    cadena << w->objectName();
  }
  EXPECT_EQ(cadena, QStringList({"BClose", "Button1", "ListBoxPlanti", "BExportar", "BImportar"}));
  EXPECT_EQ(QApplication::focusWidget(), MForm->findChild<QWidget*>("BClose"));
}

struct CasoModo {
  const char* nombre;
  std::vector<std::string> parametros;
  bool anfitrion;
  bool izquierda, derecha;  // which halves are visible
  QRect mitad;              // geometry of the half shown alone, or empty
  const char* error;
};

TEST_F(Ventana, modoSegunLineaDeComandos) {
  const CasoModo casos[] = {
      {"importar", {"IMPORTAR", "1a2B"}, true, false, true, {0, 0, 632, 266}, nullptr},
      {"exportar", {"exportar", "123456"}, true, true, false, {0, 0, 632, 266}, nullptr},
      {"otraPalabra", {"ver", "1A2B"}, true, true, true, {}, nullptr},
      {"manejadorCero", {"exportar", "0"}, true, true, false, {0, 0, 632, 266}, nullptr},
      {"prefijo0x", {"exportar", "0x1A2B"}, false, true, true, {}, "'$0x1A2B' no es un valor entero válido"},
      {"blanco", {"importar", "1A 2B"}, false, true, true, {}, "'$1A 2B' no es un valor entero válido"},
  };
  for (const CasoModo& c : casos) {
    SCOPED_TRACE(c.nombre);
    testing::internal::CaptureStderr();
    auto MForm = crear(c.parametros);
    const std::string errores = testing::internal::GetCapturedStderr();
    if (c.error) {
      EXPECT_NE(errores.find(std::string("TransOrvantVeluna: ") + c.error), std::string::npos) << errores;
    } else {
      EXPECT_EQ(errores.find("TransOrvantVeluna:"), std::string::npos) << errores;
    }
    MForm->show();
    EXPECT_EQ(MForm->estado().NumParametros, c.anfitrion ? 2 : 0);
    EXPECT_EQ(MForm->estado().modoAnfitrion(), c.anfitrion);
    EXPECT_EQ(bool(MForm->windowFlags() & Qt::FramelessWindowHint), c.anfitrion);
    // No host window exists here: a handle that names none leaves a top-level at the origin.
    EXPECT_EQ(MForm->ventanaAnfitrion(), nullptr);
    EXPECT_EQ(MForm->pos(), c.anfitrion ? QPoint(0, 0) : QPoint(194, 167));
    EXPECT_EQ(MForm->size(), QSize(632, 266));
    auto* izq = MForm->findChild<QWidget*>("Draw3D2");
    auto* der = MForm->findChild<QWidget*>("Draw3D3");
    EXPECT_EQ(izq->isVisible(), c.izquierda);
    EXPECT_EQ(der->isVisible(), c.derecha);
    if (!c.mitad.isEmpty()) {
      QWidget* sola = c.izquierda ? izq : der;
      EXPECT_EQ(sola->geometry(), c.mitad);
      // Its label and button stay where the design put them; the strip is covered.
      EXPECT_EQ(sola->findChild<QPushButton*>()->geometry(), QRect(96, 120, 89, 25));
      EXPECT_EQ(MForm->childAt(300, 200), sola);
    } else {
      EXPECT_EQ(izq->geometry(), QRect(0, 0, 315, 169));
      EXPECT_EQ(MForm->childAt(2, 200)->objectName(), "Draw3D1");
    }
    MForm->hide();
  }
}

TEST_F(Ventana, estadoQueNoSeEscribeDejaLaVentanaYReintenta) {
  const auto ini = tmp_ / "Orvantis.ini";
  // Root writes anywhere; a folder in the file's place stops even root.
  std::filesystem::create_directory(ini);
  auto MForm = crear({"exportar", "0"});
  MForm->show();
  MForm->estado().EstadoTransformado = 1;

  testing::internal::CaptureStderr();
  EXPECT_FALSE(MForm->close());
  const std::string errores = testing::internal::GetCapturedStderr();
  EXPECT_NE(errores.find("TransOrvantVeluna: Unable to write to " + ini.string()), std::string::npos)
      << errores;
  EXPECT_TRUE(MForm->isVisible());

  std::filesystem::remove(ini);
  EXPECT_TRUE(MForm->close());
  EXPECT_FALSE(MForm->isVisible());
  EXPECT_EQ(prueba::leerArchivo(ini), "[Transformadores]\r\nTransformado=1\r\n");
}

// Records the help files the desktop was asked to open.
class VisorAyuda : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> abiertas;
 public slots:
  void abrir(const QUrl& url) { abiertas << url; }
};

TEST_F(Ventana, ayudaSoloSiExisteElArchivoChm) {
  VisorAyuda visor;
  QDesktopServices::setUrlHandler("file", &visor, "abrir");
  auto MForm = crear({});
  MForm->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(MForm.get()) || MForm->isVisible());

  MForm->findChild<QPushButton*>("Button1")->click();
  std::filesystem::create_directory(tmp_ / "ZETRA.chm");  // a folder is no help file
  QTest::keyClick(MForm->findChild<QWidget*>("BExportar"), Qt::Key_F1);
  EXPECT_TRUE(visor.abiertas.isEmpty());
  std::filesystem::remove(tmp_ / "ZETRA.chm");

  prueba::escribirArchivo(tmp_ / "ZETRA.chm", "ITSF");
  MForm->findChild<QPushButton*>("Button1")->click();
  MForm->findChild<QWidget*>("BImportar")->setFocus();
  QTest::keyClick(MForm->findChild<QWidget*>("BImportar"), Qt::Key_F1);
  const QUrl esperada = QUrl::fromLocalFile(QString::fromStdString((tmp_ / "ZETRA.chm").string()));
  EXPECT_EQ(visor.abiertas, QList<QUrl>({esperada, esperada}));
  QDesktopServices::unsetUrlHandler("file");
}

}  // namespace
}  // namespace tov

#include "gui_ventana_test.moc"

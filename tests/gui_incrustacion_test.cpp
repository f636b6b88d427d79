// Host mode for real: under an Xvfb started here, the converter's window becomes a child of
// a window of another program (tov_anfitrion_x11), at its origin, borderless, showing only
// the chosen half; when the host's window goes, the converter writes its status and ends.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "apoyo/carpeta_temporal.h"
#include "apoyo/proceso.h"

namespace tov {
namespace {

using namespace std::chrono_literals;
using prueba::CarpetaTemporal;
using prueba::leerArchivo;
using prueba::Proceso;

std::filesystem::path buscarEnPath(const std::string& programa) {
  const char* path = std::getenv("PATH");
  std::string resto = path ? path : "/usr/bin:/bin";
  for (std::size_t i = 0; i <= resto.size();) {
    std::size_t fin = resto.find(':', i);
    if (fin == std::string::npos) fin = resto.size();
    std::filesystem::path candidato = std::filesystem::path(resto.substr(i, fin - i)) / programa;
    if (access(candidato.c_str(), X_OK) == 0) return candidato;
    i = fin + 1;
  }
  return {};
}

struct Color {
  int r, g, b;
  bool operator==(const Color&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Color& c) {
  return os << "(" << c.r << "," << c.g << "," << c.b << ")";
}

// The pixels of a window on a 24-bit screen (32 bits a pixel, blue first).
class Imagen {
 public:
  Imagen(xcb_connection_t* c, xcb_window_t v, int ancho, int alto) : ancho_(ancho) {
    r_.reset(xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, v, 0, 0, ancho, alto, ~0u), nullptr));
  }
  bool valida() const { return r_ != nullptr; }
  Color en(int x, int y) const {
    const uint8_t* p = xcb_get_image_data(r_.get()) + (y * ancho_ + x) * 4;
    return {p[2], p[1], p[0]};
  }

 private:
  struct Libre {
    void operator()(void* p) const { std::free(p); }
  };
  std::unique_ptr<xcb_get_image_reply_t, Libre> r_;
  int ancho_;
};

bool parecido(Color a, Color b) {
  return std::abs(a.r - b.r) <= 3 && std::abs(a.g - b.g) <= 3 && std::abs(a.b - b.b) <= 3;
}

const Color kMitadInicio{249, 211, 125}, kMitadFin{255, 238, 221}, kFranjaInicio{194, 205, 254};

struct CasoIncrustado {
  const char* nombre;
  const char* palabra;
  bool franjaVisible;      // "ver": both halves and the strip, as designed
  const char* pulsar;      // a run that closes the window by itself, or ""
  const char* estado;      // the status the host finds afterwards
};
std::ostream& operator<<(std::ostream& os, const CasoIncrustado& c) { return os << c.nombre; }

class Incrustacion : public testing::TestWithParam<CasoIncrustado> {
 protected:
  void SetUp() override {
    const auto xvfb = buscarEnPath("Xvfb");
    if (xvfb.empty()) GTEST_SKIP() << "Xvfb no está instalado";
    // -displayfd 1: Xvfb picks a free display and writes its number to our pipe.
    servidor_ = std::make_unique<Proceso>(
        xvfb, std::vector<std::string>{"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
        std::map<std::string, std::string>{}, tmp_ / "xvfb.txt");
    const std::string numero = servidor_->leerLinea();
    ASSERT_FALSE(numero.empty()) << leerArchivo(tmp_ / "xvfb.txt");
    pantalla_ = ":" + numero;
    x_ = xcb_connect(pantalla_.c_str(), nullptr);
    ASSERT_EQ(xcb_connection_has_error(x_), 0);
  }
  void TearDown() override {
    if (x_) xcb_disconnect(x_);
  }

  std::vector<xcb_window_t> hijas(xcb_window_t v) {
    std::vector<xcb_window_t> r;
    if (auto* q = xcb_query_tree_reply(x_, xcb_query_tree(x_, v), nullptr)) {
      xcb_window_t* h = xcb_query_tree_children(q);
      r.assign(h, h + xcb_query_tree_children_length(q));
      std::free(q);
    }
    return r;
  }
  bool existe(xcb_window_t v) {
    auto* a = xcb_get_window_attributes_reply(x_, xcb_get_window_attributes(x_, v), nullptr);
    std::free(a);
    return a != nullptr;
  }
  bool visible(xcb_window_t v) {
    auto* a = xcb_get_window_attributes_reply(x_, xcb_get_window_attributes(x_, v), nullptr);
    bool r = a && a->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(a);
    return r;
  }
  // The decorations that Motif hints ask the window manager for; -1 when none are set.
  long decoraciones(xcb_window_t v) {
    const char nombre[] = "_MOTIF_WM_HINTS";
    auto* atomo = xcb_intern_atom_reply(x_, xcb_intern_atom(x_, 1, sizeof nombre - 1, nombre), nullptr);
    if (!atomo) return -1;
    auto* p = xcb_get_property_reply(
        x_, xcb_get_property(x_, 0, v, atomo->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 5), nullptr);
    std::free(atomo);
    long r = -1;
    if (p && xcb_get_property_value_length(p) >= 12) {
      auto* valores = static_cast<uint32_t*>(xcb_get_property_value(p));
      const uint32_t kPideDecoraciones = 2;  // MWM_HINTS_DECORATIONS in the flags word
      if (valores[0] & kPideDecoraciones) r = valores[2];
    }
    std::free(p);
    return r;
  }

  CarpetaTemporal tmp_;
  std::unique_ptr<Proceso> servidor_;
  std::string pantalla_;
  xcb_connection_t* x_ = nullptr;
};

TEST_P(Incrustacion, hijaDelAnfitrionEnSuOrigenConUnaMitad) {
  const CasoIncrustado& c = GetParam();
  Proceso anfitrion(std::filesystem::path(TOV_BIN) / "tov_anfitrion_x11", {}, {{"DISPLAY", pantalla_}},
                    tmp_ / "anfitrion.txt");
  const std::string manejador = anfitrion.leerLinea();
  ASSERT_FALSE(manejador.empty()) << leerArchivo(tmp_ / "anfitrion.txt");
  const auto host = static_cast<xcb_window_t>(std::stoul(manejador, nullptr, 16));

  const auto programa = tmp_ / "transorvant";
  std::filesystem::copy_file(std::filesystem::path(TOV_BIN) / "transorvant", programa);
  std::filesystem::create_directory(tmp_ / "wine");
  Proceso conversor(programa, {c.palabra, manejador},
                    {{"DISPLAY", pantalla_},
                     {"QT_QPA_PLATFORM", "xcb"},
                     {"TOV_PRUEBA_MENSAJES", "aceptar"},
                     {"TOV_PRUEBA_DIALOGO", "cancelar"},
                     {"TOV_PRUEBA_PULSAR", c.pulsar},
                     {"WINEPREFIX", (tmp_ / "wine").string()}},
                    tmp_ / "conversor.txt");

  if (*c.pulsar) {
    // The run finds no input and closes the window by itself; the host's window stays.
    const auto salida = conversor.esperar(30s);
    ASSERT_TRUE(salida.has_value()) << leerArchivo(tmp_ / "conversor.txt");
    EXPECT_EQ(*salida, 0);
    EXPECT_TRUE(existe(host));
    EXPECT_EQ(leerArchivo(tmp_ / "Orvantis.ini"), c.estado);
    EXPECT_NE(leerArchivo(tmp_ / "conversor.txt").find("TransOrvantVeluna: No existe archivo"), std::string::npos);
    return;
  }

  // Wait until our window is a mapped child of the host and painted.
  xcb_window_t propia = 0;
  const auto limite = std::chrono::steady_clock::now() + 30s;
  bool pintada = false;
  while (!pintada && std::chrono::steady_clock::now() < limite) {
    std::this_thread::sleep_for(100ms);
    for (xcb_window_t h : hijas(host))
      if (visible(h)) propia = h;
    if (!propia) continue;
    Imagen im(x_, propia, 632, 266);
    pintada = im.valida() && parecido(im.en(2, 0), kMitadInicio);
  }
  ASSERT_TRUE(pintada) << "la ventana no apareció dentro del anfitrión\n"
                       << leerArchivo(tmp_ / "conversor.txt");

  auto* g = xcb_get_geometry_reply(x_, xcb_get_geometry(x_, propia), nullptr);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->x, 0);
  EXPECT_EQ(g->y, 0);
  EXPECT_EQ(g->width, 632);
  EXPECT_EQ(g->height, 266);
  EXPECT_EQ(g->border_width, 0);
  std::free(g);
  EXPECT_EQ(decoraciones(propia), 0) << "sin marco ni barra de título";

  Imagen im(x_, propia, 632, 266);
  ASSERT_TRUE(im.valida());
  if (c.franjaVisible) {
    EXPECT_TRUE(parecido(im.en(2, 169), kFranjaInicio)) << im.en(2, 169);
    EXPECT_TRUE(parecido(im.en(2, 168), kMitadFin)) << im.en(2, 168);
    EXPECT_TRUE(parecido(im.en(400, 0), kMitadInicio)) << im.en(400, 0);
  } else {
    // One half over the whole window: its gradient from the top row to the bottom one,
    // and nothing of the strip (no blue anywhere down the left and right edges).
    EXPECT_TRUE(parecido(im.en(2, 265), kMitadFin)) << im.en(2, 265);
    EXPECT_TRUE(parecido(im.en(630, 0), kMitadInicio)) << im.en(630, 0);
    EXPECT_TRUE(parecido(im.en(2, 133), Color{255, 255, 255})) << im.en(2, 133);
    for (int y = 0; y < 266; ++y) {
      EXPECT_FALSE(parecido(im.en(2, y), kFranjaInicio)) << y;
      EXPECT_FALSE(parecido(im.en(400, y), kFranjaInicio)) << y;
    }
  }

  // The host closes: X destroys our window with its own; the converter writes and ends.
  anfitrion.escribir("destruir\n");
  EXPECT_EQ(anfitrion.leerLinea(), "destruida");
  const auto salida = conversor.esperar(30s);
  ASSERT_TRUE(salida.has_value()) << "el conversor siguió vivo sin ventana\n"
                                  << leerArchivo(tmp_ / "conversor.txt");
  EXPECT_EQ(*salida, 0);
  EXPECT_EQ(leerArchivo(tmp_ / "Orvantis.ini"), c.estado);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, Incrustacion,
    testing::Values(
        CasoIncrustado{"exportar", "exportar", false, "", "[Transformadores]\r\nTransformado=0\r\n"},
        CasoIncrustado{"importarEnMayusculas", "IMPORTAR", false, "", "[Transformadores]\r\nTransformado=0\r\n"},
        CasoIncrustado{"otraPalabraMuestraElDiseno", "ver", true, "", "[Transformadores]\r\nTransformado=0\r\n"},
        CasoIncrustado{"laEjecucionCierraLaVentana", "exportar", false, "BExportar",
                       "[Transformadores]\r\nTransformado=-1\r\n"}),
    [](const auto& info) { return std::string(info.param.nombre); });

}  // namespace
}  // namespace tov

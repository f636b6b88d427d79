#include "app/ventana_nativa.h"

#include <QGuiApplication>
#include <cstdlib>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

namespace tov {

bool existeVentanaNativa(WId id) {
  if (id == 0) return false;
#if defined(Q_OS_WIN)
  return IsWindow(reinterpret_cast<HWND>(id)) != FALSE;
#elif QT_CONFIG(xcb)
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return false;
  xcb_connection_t* c = x11->connection();
  xcb_generic_error_t* error = nullptr;
  xcb_get_window_attributes_reply_t* r = xcb_get_window_attributes_reply(
      c, xcb_get_window_attributes(c, static_cast<xcb_window_t>(id)), &error);
  const bool existe = r != nullptr && error == nullptr;
  std::free(r);
  std::free(error);
  return existe;
#else
  return false;
#endif
}

bool VigilanteDestruccion::nativeEventFilter(const QByteArray& tipo, void* mensaje, qintptr*) {
  bool destruida = false;
#if defined(Q_OS_WIN)
  if (tipo == "windows_generic_MSG") {
    auto* msg = static_cast<MSG*>(mensaje);
    destruida = msg->message == WM_DESTROY && reinterpret_cast<WId>(msg->hwnd) == propia_;
  }
#elif QT_CONFIG(xcb)
  if (tipo == "xcb_generic_event_t") {
    auto* ev = static_cast<xcb_generic_event_t*>(mensaje);
    // The top bit marks events sent by another client; the kind is in the low seven.
    if ((ev->response_type & 0x7f) == XCB_DESTROY_NOTIFY)
      destruida = reinterpret_cast<xcb_destroy_notify_event_t*>(ev)->window == propia_;
  }
#else
  (void)tipo;
  (void)mensaje;
#endif
  if (destruida && !avisado_) {
    avisado_ = true;
    alDestruirse_();
  }
  return false;
}

}  // namespace tov

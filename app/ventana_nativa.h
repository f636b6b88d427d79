// Windows of other programs, named by their native handle (an X11 window id, a Windows HWND).
#pragma once
#include <QAbstractNativeEventFilter>
#include <QWindow>
#include <functional>

namespace tov {

// Whether the handle names a window that exists now. False where the platform cannot host
// foreign windows (Qt's offscreen and Wayland platforms).
bool existeVentanaNativa(WId id);

// Watches for the destruction of our own native window by someone else: when the host's
// window is destroyed, the system destroys ours with it, while Qt would keep the process alive.
class VigilanteDestruccion : public QAbstractNativeEventFilter {
 public:
  VigilanteDestruccion(WId propia, std::function<void()> alDestruirse)
      : propia_(propia), alDestruirse_(std::move(alDestruirse)) {}
  bool nativeEventFilter(const QByteArray& tipo, void* mensaje, qintptr* resultado) override;

 private:
  WId propia_;
  std::function<void()> alDestruirse_;
  bool avisado_ = false;
};

}  // namespace tov

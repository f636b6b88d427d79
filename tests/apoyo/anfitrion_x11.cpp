// A stand-in for the timetabling host: one plain X11 window of another client, whose id it
// prints in hexadecimal digits (as the host passes it on the command line). A line
// "destruir" on stdin destroys the window, as the host does when it closes.
#include <xcb/xcb.h>

#include <cstdio>
#include <iostream>
#include <string>

int main() {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    std::cerr << "sin pantalla X\n";
    return 1;
  }
  xcb_screen_t* pantalla = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  const xcb_window_t ventana = xcb_generate_id(c);
  const uint32_t fondo[] = {0x303030};
  xcb_create_window(c, XCB_COPY_FROM_PARENT, ventana, pantalla->root, 20, 30, 700, 320, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, pantalla->root_visual, XCB_CW_BACK_PIXEL, fondo);
  xcb_map_window(c, ventana);
  xcb_flush(c);
  std::printf("%x\n", ventana);
  std::fflush(stdout);
  std::string orden;
  while (std::getline(std::cin, orden)) {
    if (orden == "destruir") {
      xcb_destroy_window(c, ventana);
      xcb_flush(c);
      std::printf("destruida\n");
      std::fflush(stdout);
    }
  }
  xcb_disconnect(c);
  return 0;
}

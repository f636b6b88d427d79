# The window's tests: Qt's test helpers, moc for test-local objects, and the real embedding
# under Xvfb with a host window made by a helper program.
if(NOT TOV_GUI)
  return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Test)
find_package(PkgConfig REQUIRED)
pkg_check_modules(TOV_XCB_PRUEBAS REQUIRED IMPORTED_TARGET xcb)

foreach(t gui_ventana_test gui_incrustacion_test)
  if(TARGET ${t})
    set_target_properties(${t} PROPERTIES AUTOMOC ON)
    target_link_libraries(${t} PRIVATE Qt6::Test PkgConfig::TOV_XCB_PRUEBAS)
  endif()
endforeach()

# A foreign host: one plain X11 window, its id printed in hexadecimal, destroyed on request.
add_executable(tov_anfitrion_x11 ${CMAKE_CURRENT_SOURCE_DIR}/apoyo/anfitrion_x11.cpp)
target_link_libraries(tov_anfitrion_x11 PRIVATE PkgConfig::TOV_XCB_PRUEBAS)
foreach(t gui_estado_test gui_incrustacion_test)
  if(TARGET ${t})
    add_dependencies(${t} transorvant tov_anfitrion_x11)
  endif()
endforeach()

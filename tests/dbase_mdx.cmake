# The TDbf program that walks a table through a tag of its .MDX, the referee of the index
# test: built with fpc (Debian's fp-compiler and fp-units-db) into the build's bin folder.
find_program(TOV_FPC fpc)
if(TOV_FPC AND TARGET dbase_mdx_test)
  set(TOV_LEER_INDICE ${CMAKE_BINARY_DIR}/bin/leer_indice)
  set(TOV_LEER_INDICE_UNIDADES ${CMAKE_BINARY_DIR}/tdbf-mdx)
  add_custom_command(
    OUTPUT ${TOV_LEER_INDICE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TOV_LEER_INDICE_UNIDADES} ${CMAKE_BINARY_DIR}/bin
    COMMAND ${TOV_FPC} -v0 -FU${TOV_LEER_INDICE_UNIDADES} -o${TOV_LEER_INDICE}
            ${CMAKE_CURRENT_SOURCE_DIR}/tdbf/leer_indice.pas
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tdbf/leer_indice.pas
    COMMENT "Compilando el lector de índices TDbf con fpc"
    VERBATIM)
  add_custom_target(leer_indice DEPENDS ${TOV_LEER_INDICE})
  add_dependencies(dbase_mdx_test leer_indice)
  target_compile_definitions(dbase_mdx_test PRIVATE TOV_LEER_INDICE="${TOV_LEER_INDICE}")
elseif(NOT TOV_FPC)
  message(WARNING "fpc not found: the TDbf index test fails until it is installed")
endif()

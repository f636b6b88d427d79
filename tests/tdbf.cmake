# The TDbf programs that referee our tables and indexes: Free Pascal readers built with fpc
# (Debian's fp-compiler and fp-units-db) into the build's bin folder, one per test.
find_program(TOV_FPC fpc)
if(NOT TOV_FPC)
  message(WARNING "fpc not found: the TDbf interoperability tests fail until it is installed")
endif()

# tov_lector_tdbf(<program> <test> <definition>): builds tests/tdbf/<program>.pas and hands its
# path to <test> as the compile definition <definition>.
function(tov_lector_tdbf programa prueba definicion)
  if(NOT TOV_FPC OR NOT TARGET ${prueba})
    return()
  endif()
  set(ejecutable ${CMAKE_BINARY_DIR}/bin/${programa})
  set(unidades ${CMAKE_BINARY_DIR}/tdbf-${programa})
  add_custom_command(
    OUTPUT ${ejecutable}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${unidades} ${CMAKE_BINARY_DIR}/bin
    COMMAND ${TOV_FPC} -v0 -FU${unidades} -o${ejecutable}
            ${CMAKE_CURRENT_SOURCE_DIR}/tdbf/${programa}.pas
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tdbf/${programa}.pas
    COMMENT "Compilando ${programa} con fpc"
    VERBATIM)
  add_custom_target(${programa} DEPENDS ${ejecutable})
  add_dependencies(${prueba} ${programa})
  target_compile_definitions(${prueba} PRIVATE ${definicion}="${ejecutable}")
endfunction()

tov_lector_tdbf(listar_tdbf dbase_tdbf_test TOV_LECTOR_TDBF)
tov_lector_tdbf(leer_indice dbase_mdx_test TOV_LEER_INDICE)

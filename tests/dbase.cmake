# The TDbf reader of the interoperability test: a Free Pascal program built with fpc
# (Debian's fp-compiler and fp-units-db) into the build's bin folder.
find_program(TOV_FPC fpc)
if(TOV_FPC)
  set(TOV_LECTOR_TDBF ${CMAKE_BINARY_DIR}/bin/listar_tdbf)
  set(TOV_TDBF_UNIDADES ${CMAKE_BINARY_DIR}/tdbf)
  add_custom_command(
    OUTPUT ${TOV_LECTOR_TDBF}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TOV_TDBF_UNIDADES} ${CMAKE_BINARY_DIR}/bin
    COMMAND ${TOV_FPC} -v0 -FU${TOV_TDBF_UNIDADES} -o${TOV_LECTOR_TDBF}
            ${CMAKE_CURRENT_SOURCE_DIR}/tdbf/listar_tdbf.pas
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tdbf/listar_tdbf.pas
    COMMENT "Compilando el lector TDbf con fpc"
    VERBATIM)
  add_custom_target(listar_tdbf DEPENDS ${TOV_LECTOR_TDBF})
  if(TARGET dbase_tdbf_test)
    add_dependencies(dbase_tdbf_test listar_tdbf)
    target_compile_definitions(dbase_tdbf_test PRIVATE TOV_LECTOR_TDBF="${TOV_LECTOR_TDBF}")
  endif()
else()
  message(WARNING "fpc not found: the TDbf interoperability test is skipped")
endif()

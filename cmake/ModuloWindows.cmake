# The module as a Windows DLL: cheque.dll with exactly its eight entry points, undecorated, and
# nothing else to deploy (the form layer, the C++ runtime and the windows are inside it).
set_target_properties(cheque PROPERTIES PREFIX "" OUTPUT_NAME cheque)
target_compile_definitions(chequecore PRIVATE CHEQUE_BUILDING_MODULE)
target_compile_definitions(cheque PRIVATE CHEQUE_BUILDING_MODULE)

# The host's functions are found in the process at run time, and the screens are windows.
target_sources(cheque PRIVATE ${CMAKE_SOURCE_DIR}/src/host/FuncoesHost_win32.cpp
                              $<TARGET_OBJECTS:chqjanelas>)
target_link_libraries(cheque PRIVATE user32 gdi32 psapi)

set(def_in ${CMAKE_SOURCE_DIR}/src/module/cheque.def)
set(def_out ${CMAKE_CURRENT_BINARY_DIR}/cheque.def)
file(READ ${def_in} def_text)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  string(REGEX REPLACE "@[0-9]+" "" def_text "${def_text}")
endif()
file(CONFIGURE OUTPUT ${def_out} CONTENT "${def_text}" @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def_in})
target_sources(cheque PRIVATE ${def_out})
target_link_options(cheque PRIVATE -static -static-libgcc -static-libstdc++)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_link_options(cheque PRIVATE -Wl,--kill-at)
endif()

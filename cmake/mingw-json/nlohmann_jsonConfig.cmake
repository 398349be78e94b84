# The JSON library for the Windows cross builds: headers only, taken from the build machine's
# package, but without putting the machine's whole /usr/include on the cross compiler's path.
if(NOT TARGET nlohmann_json::nlohmann_json)
  set(_dir ${CMAKE_BINARY_DIR}/mingw-json-include)
  file(MAKE_DIRECTORY ${_dir})
  if(NOT EXISTS ${_dir}/nlohmann)
    file(CREATE_LINK /usr/include/nlohmann ${_dir}/nlohmann SYMBOLIC)
  endif()
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_dir})
endif()

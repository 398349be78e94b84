# The reference host on Windows: pdvhost.dll exports the host contract under plain names (the
# module looks them up in the process) and its C++ API for chequepdv.exe.
set_target_properties(pdvhost PROPERTIES PREFIX "" WINDOWS_EXPORT_ALL_SYMBOLS ON)
set_target_properties(chqforms PROPERTIES PREFIX "")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_link_options(pdvhost PRIVATE -Wl,--kill-at)
endif()
if(TARGET chequepdv)
  # The program exports the hook through which the module takes its operator script.
  set_target_properties(chequepdv PROPERTIES ENABLE_EXPORTS ON)
endif()

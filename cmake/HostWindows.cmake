# The reference host on Windows: pdvhost.dll exports the host contract under plain names (the
# module looks them up in the process) and its C++ API for chequepdv.exe. A 32-bit point of sale
# in C calls the contract's standard-call functions by their decorated names (Name@N): those are
# exported too, as aliases of the plain ones.
set_target_properties(pdvhost PROPERTIES PREFIX "" WINDOWS_EXPORT_ALL_SYMBOLS ON)
set_target_properties(chqforms PROPERTIES PREFIX "")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_link_options(pdvhost PRIVATE -Wl,--add-stdcall-alias)
endif()

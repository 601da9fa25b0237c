# GNUstep's AppKit and Foundation for the Objective-C++ sources of the GNUstep build (KESTRUNE_GNUSTEP):
# an interface target kestrune_gnustep with gnustep-config's flags. Its headers are system headers
# here (-isystem), so that our warnings-as-errors judge our code and not theirs.
find_program(KESTRUNE_GNUSTEP_CONFIG gnustep-config REQUIRED)
execute_process(COMMAND ${KESTRUNE_GNUSTEP_CONFIG} --objc-flags OUTPUT_VARIABLE objc_flags
  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${KESTRUNE_GNUSTEP_CONFIG} --gui-libs OUTPUT_VARIABLE gui_libs
  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
separate_arguments(objc_flags UNIX_COMMAND "${objc_flags}")
separate_arguments(gui_libs UNIX_COMMAND "${gui_libs}")

set(compile_options "")
set(include_dirs "")
foreach(flag IN LISTS objc_flags)
  if(flag MATCHES "^-I(.+)$")
    if(NOT CMAKE_MATCH_1 STREQUAL "." AND EXISTS "${CMAKE_MATCH_1}")
      list(APPEND include_dirs "${CMAKE_MATCH_1}")
    endif()
  elseif(flag MATCHES "^-D" OR flag MATCHES "^-f" OR flag STREQUAL "-pthread")
    list(APPEND compile_options "${flag}")
  endif()
endforeach()
set(link_options "")
set(link_libraries "")
foreach(flag IN LISTS gui_libs)
  if(flag MATCHES "^-l" OR flag MATCHES "^-L")
    list(APPEND link_libraries "${flag}")
  elseif(NOT flag STREQUAL "-rdynamic")
    list(APPEND link_options "${flag}")
  endif()
endforeach()

add_library(kestrune_gnustep INTERFACE)
target_include_directories(kestrune_gnustep SYSTEM INTERFACE ${include_dirs})
target_compile_options(kestrune_gnustep INTERFACE "$<$<COMPILE_LANGUAGE:OBJCXX>:${compile_options}>")
target_link_options(kestrune_gnustep INTERFACE ${link_options})
target_link_libraries(kestrune_gnustep INTERFACE ${link_libraries})

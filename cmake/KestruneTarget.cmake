# Settings shared by every target of ours: C++17, warnings (errors with KESTRUNE_WERROR), hidden
# symbols, and no floating-point contraction (the render's results are specified operation by operation).
function(kestrune_target target)
  target_compile_features(${target} PUBLIC cxx_std_17)
  set_target_properties(${target} PROPERTIES
    CXX_EXTENSIONS OFF
    CXX_VISIBILITY_PRESET hidden
    C_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    POSITION_INDEPENDENT_CODE ON)
  target_compile_options(${target} PRIVATE -Wall -Wextra -ffp-contract=off)
  if(KESTRUNE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# kestrune_folder_library(target [DEPS lib...])
# A static library made of every source file in the calling folder, linked to the libraries it uses.
function(kestrune_folder_library target)
  cmake_parse_arguments(arg "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    kestrune_target(${target})
    target_link_libraries(${target} PUBLIC ${arg_DEPS})
  else()
    # A folder whose code has not been written yet: headers only.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${arg_DEPS})
  endif()
endfunction()

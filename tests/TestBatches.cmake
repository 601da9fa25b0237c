# The suites compile in batches, each a handful of files of one folder joined into one translation
# unit (CMake's unity build): a batch reads GoogleTest and the engine's headers once instead of once a
# file, which makes the test programs build about three times faster. Names private to a test file (in
# an unnamed namespace or static) must therefore differ from those of the other files of its folder.
# KESTRUNE_TEST_BATCHES=OFF compiles every file alone. In optimised builds the test programs compile at
# -O1 either way.
option(KESTRUNE_TEST_BATCHES "Compile the test suites a few files of a folder at a time" ON)
set(KESTRUNE_TEST_BATCH_SIZE 8)

# kestrune_test_batches(target source...)
function(kestrune_test_batches target)
  # In an optimised build the test code itself compiles at -O1, which takes about a quarter less time
  # than -O3; the libraries under test keep the build's optimisation.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" OR CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    target_compile_options(${target} PRIVATE $<$<CONFIG:Release,RelWithDebInfo>:-O1>)
  endif()
  if(NOT KESTRUNE_TEST_BATCHES)
    return()
  endif()
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE GROUP)
  # A fixture in an unnamed namespace is fine in a batch: GCC warns as if the file were a header.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
  endif()
  set(folders "")
  foreach(source IN LISTS ARGN)
    get_filename_component(folder ${source} DIRECTORY)
    file(RELATIVE_PATH folder ${CMAKE_CURRENT_SOURCE_DIR} ${folder})
    # Files at the top (the allocation counter's operator new, the leak rules) stay alone.
    if(folder STREQUAL "" OR folder MATCHES "^\\.\\.")
      continue()
    endif()
    string(MAKE_C_IDENTIFIER "${folder}" key)
    if(NOT DEFINED count_${key})
      set(count_${key} 0)
    endif()
    math(EXPR batch "${count_${key}} / ${KESTRUNE_TEST_BATCH_SIZE}")
    math(EXPR count_${key} "${count_${key}} + 1")
    set_source_files_properties(${source} TARGET_DIRECTORY ${target} PROPERTIES UNITY_GROUP "${key}_${batch}")
  endforeach()
endfunction()

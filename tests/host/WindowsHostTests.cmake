# The host tool's suites as a Windows program of their own, run under Wine through the cross-compiling
# emulator: they start kestrune-host.exe as a user does, on the Windows module and on the test-subject
# DLLs. Each test is its own CTest test, found in the sources when CMake runs: nothing runs under Wine
# before the tests themselves (`make windows` lists tests without a Wine prefix).
if(TARGET kestrune-host)
  find_package(Vorbis CONFIG REQUIRED)
  file(GLOB host_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
  # The snapshot suite compares with the editor's golden images.
  add_executable(kestrune_host_tests ${host_test_sources} ${CMAKE_CURRENT_LIST_DIR}/../editor/GoldenCompare.cpp)
  kestrune_target(kestrune_host_tests)
  kestrune_test_batches(kestrune_host_tests ${host_test_sources})
  target_include_directories(kestrune_host_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
  target_link_libraries(kestrune_host_tests PRIVATE kestrune_hostlib Vorbis::vorbisfile gtest gtest_main)
  add_dependencies(kestrune_host_tests kestrune-host Kestrune_x64 khost_subject_none khost_subject_nan
    khost_subject_chunk khost_subject_block1 khost_subject_alloc khost_subject_hang)
  target_compile_definitions(kestrune_host_tests PRIVATE KESTRUNE_HOST_PATH="$<TARGET_FILE:kestrune-host>"
    KESTRUNE_HOST_SUBJECTS="$<TARGET_FILE_DIR:khost_subject_none>"
    KESTRUNE_MODULE_PATH="$<TARGET_FILE:Kestrune_x64>" KESTRUNE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  include(GoogleTest)
  gtest_add_tests(TARGET kestrune_host_tests TEST_PREFIX "WindowsHost." TEST_LIST host_tests)
  set_tests_properties(${host_tests} PROPERTIES TIMEOUT 300)
endif()

# The test program of the Windows build, run under Wine (CMAKE_CROSSCOMPILING_EMULATOR) as one CTest
# test. It holds the platform-neutral suites that need nothing of the build machine's own libraries
# (the libsndfile comparison, the Linux module tests, the X11 window suites, the suites that build
# fixtures in POSIX temporary folders or compare paths spelt with "/", those that set environment variables
# or make folder links, and the SFZ value cross-checks against glibc's scanf and strtod,
# whose hex-float readings msvcrt does not share, stay with the Linux program) and the suites of the Win32 editor
# window. The editor suites get the window-less context (HeadlessGraphicsFactory.cpp). The host tool's
# suites (tests/host) are a program of their own (host/WindowsHostTests.cmake).
set(KESTRUNE_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian's libgtest-dev)")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${KESTRUNE_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB_RECURSE windows_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
list(FILTER windows_test_sources EXCLUDE REGEX
  "/(LeakSuppressions|OggLoaderTest|OggCraftedLengthTest|LoadingLengthTest|MultichannelTest|FlacSndfileComparisonTest|DrawPngTest|IGraphicsHeadlessTest|WavSndfileComparisonTest|SampleFileNamesTest|LoadingFlowTest)\\.cpp$|/host/|/x11/|/plugin/(ElfExports|ModuleIdentityTest)|/sfz/Sfz(Paths|Regions|Values|FullReader|Preprocessor|ReaderChoice|Corpus)Test|/sfz/SfzReference|/samplefiles/SampleLocatorTest")
# tests/wine is a native program of the build machine that drives this build under Wine; tests/gnustep
# belongs to the GNUstep build of the macOS view; tests/mac, the view's size arithmetic, runs in the Linux
# program.
list(FILTER windows_test_sources EXCLUDE REGEX "/wine/|/gnustep/|/mac/")
add_executable(kestrune_tests ${windows_test_sources} ${PROJECT_SOURCE_DIR}/platform/windows/module/Kestrune.rc)
kestrune_target(kestrune_tests)
kestrune_test_batches(kestrune_tests ${windows_test_sources})
target_include_directories(kestrune_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kestrune_tests PRIVATE kestrune_engine kestrune_platform_headless kestrune_platform_windows
  gtest gtest_main)
# The module suites load Kestrune_x64.dll with LoadLibrary and drive it as a host does.
add_dependencies(kestrune_tests Kestrune_x64)
target_compile_definitions(kestrune_tests PRIVATE KESTRUNE_MODULE_PATH="$<TARGET_FILE:Kestrune_x64>")
target_compile_definitions(kestrune_tests PRIVATE _USE_MATH_DEFINES KESTRUNE_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
# Left out at run time: the cross-check against the C library's sscanf (msvcrt reads some texts,
# hex floats such as "0xp1", otherwise than glibc, which the reader follows) and the ELF export-table reading
# (the DLL's tables are checked with objdump above).
add_test(NAME WindowsUnitTestsUnderWine COMMAND kestrune_tests --gtest_brief=1
  "--gtest_filter=-SfzValues.FloatsReadAsScanfPercentFAndIntegersKeepTheLow16BitsOfAtoi:ModuleExports.*")
set_tests_properties(WindowsUnitTestsUnderWine PROPERTIES TIMEOUT 600)

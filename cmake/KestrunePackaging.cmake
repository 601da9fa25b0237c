# Installation and release packages, named with the project's version (project() in CMakeLists.txt).
#   Linux:   `cmake --install` puts Kestrune.so in lib/vst (Debian's folder for VST 2 modules),
#            kestrune-host in bin, the README and the notices in share/doc/kestrune;
#            `cpack` makes kestrune_<version>_amd64.deb and Kestrune-<version>-Linux-x86_64.tar.gz.
#   Windows: Kestrune_x64.dll, kestrune-host.exe, the README and the notices side by side;
#            `cpack` makes Kestrune-<version>-Windows-x64.zip.
# Every package carries the notices (licence texts) of the libraries linked into its files, taken from
# the Debian packages of the build machine (/usr/share/doc/<package>/copyright), and NOTICES.txt, which
# says which library each notice belongs to and how it is linked.

if(WIN32)
  set(kestrune_doc_dir .)
else()
  set(kestrune_doc_dir share/doc/kestrune)
endif()
set(kestrune_notices_index ${CMAKE_BINARY_DIR}/NOTICES.txt)
file(WRITE ${kestrune_notices_index}
  "Kestrune ${PROJECT_VERSION}: libraries linked into the files of this package. Each licence text\n"
  "(the copyright file of the Debian package the library was taken from) is in notices/.\n\n")

# kestrune_notice(<name> <Debian package> <how the library is linked>)
function(kestrune_notice name package how)
  set(copyright /usr/share/doc/${package}/copyright)
  if(NOT EXISTS ${copyright})
    message(FATAL_ERROR "The licence text of ${name} (${copyright}) is missing: install the package ${package}")
  endif()
  install(FILES ${copyright} DESTINATION ${kestrune_doc_dir}/notices RENAME ${name}.txt)
  file(APPEND ${kestrune_notices_index} "${name}: ${how}\n    notices/${name}.txt\n")
endfunction()

if(WIN32)
  # Everything is linked statically: the DLL and the program import system DLLs only.
  install(TARGETS Kestrune_x64 RUNTIME DESTINATION . LIBRARY DESTINATION .)
  install(TARGETS kestrune-host RUNTIME DESTINATION .)
  kestrune_notice(libpng libpng16-16 "inside Kestrune_x64.dll and kestrune-host.exe")
  kestrune_notice(zlib libz-mingw-w64-dev "inside Kestrune_x64.dll and kestrune-host.exe")
  kestrune_notice(libogg libogg0 "inside Kestrune_x64.dll and kestrune-host.exe")
  kestrune_notice(libvorbis libvorbis0a
    "libvorbis and libvorbisfile inside Kestrune_x64.dll; libvorbis and libvorbisenc inside kestrune-host.exe")
  kestrune_notice(libflac libflac12 "libFLAC inside Kestrune_x64.dll and kestrune-host.exe")
  kestrune_notice(libsndfile libsndfile1 "inside kestrune-host.exe")
  kestrune_notice(gcc-runtime gcc-mingw-w64-base
    "the C++ runtime (libstdc++) and libgcc inside both files, under the GCC Runtime Library Exception")
  kestrune_notice(mingw-w64 mingw-w64-common "the MinGW-w64 runtime and winpthreads inside both files")
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME Kestrune-${PROJECT_VERSION}-Windows-x64)
else()
  install(TARGETS Kestrune LIBRARY DESTINATION lib/vst)
  install(TARGETS kestrune-host RUNTIME DESTINATION bin)
  kestrune_notice(gcc-runtime gcc-12-base
    "the C++ runtime (libstdc++) and libgcc inside Kestrune.so, under the GCC Runtime Library Exception")
  kestrune_notice(libpng libpng16-16 "shared library of the system, used by Kestrune.so and kestrune-host")
  kestrune_notice(zlib zlib1g "shared library of the system, used through libpng")
  kestrune_notice(libogg libogg0 "shared library of the system, used by Kestrune.so and kestrune-host")
  kestrune_notice(libvorbis libvorbis0a
    "shared libraries of the system: libvorbisfile (Kestrune.so), libvorbisenc (kestrune-host), libvorbis")
  kestrune_notice(libflac libflac12 "shared library of the system, used by Kestrune.so and kestrune-host")
  kestrune_notice(freetype libfreetype6 "shared library of the system, used by Kestrune.so and kestrune-host")
  kestrune_notice(fontconfig libfontconfig1 "shared library of the system, used by Kestrune.so and kestrune-host")
  kestrune_notice(libx11 libx11-6 "shared library of the system, used by Kestrune.so and kestrune-host")
  kestrune_notice(libxext libxext6 "shared library of the system, used by Kestrune.so")
  kestrune_notice(libsndfile libsndfile1 "shared library of the system, used by kestrune-host")
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_PACKAGE_FILE_NAME Kestrune-${PROJECT_VERSION}-Linux-x86_64)
  # The .deb installs below /usr; its dependencies come from the libraries the files link (dpkg-shlibdeps).
  set(CPACK_DEBIAN_PACKAGE_NAME kestrune)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_DEB_COMPONENT_INSTALL OFF)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${kestrune_notices_index} DESTINATION ${kestrune_doc_dir})

set(CPACK_PACKAGE_NAME Kestrune)
set(CPACK_PACKAGE_VENDOR Tovrane)
set(CPACK_PACKAGE_CONTACT "Tovrane")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Five-slot sample-player instrument (VST 2.4 plug-in) and its host tool")
set(CPACK_PACKAGE_DESCRIPTION "Kestrune plays WAV, Ogg Vorbis, FLAC and SFZ samples from MIDI in five slots \
at once. The package holds the VST 2.4 module and kestrune-host, a command-line host that renders, \
validates and shows it.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)

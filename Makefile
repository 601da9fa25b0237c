# Front door for the usual jobs; CMake does the building.
#   make demo             install what is missing, build, make the default kit and render its demo song
#   make check            install what is missing, build, run the test suite
#   make check-sanitize   the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer
#   make check-tsan       the same suite and `kestrune-host validate` on the module under ThreadSanitizer
#   make bench            build and run the benchmarks
#   make fuzz             build the fuzz harnesses with clang and run each for FUZZ_SECONDS
#   make package          the .deb and .tar.gz of the build in build, installed and tried
#   make install-user     builds and copies Kestrune.so into ~/.vst
#   make windows          cross-build Kestrune_x64.dll (MinGW-w64) and check its import table
#   make windows-test     the Windows build's tests under Wine on a virtual X display
#   make windows-package  the Windows .zip in build-windows, unpacked and tried under Wine
#   make mac-check        the macOS bundle's checks on Linux: its sources compiled against GNUstep, the
#                         universal Mach-O bundle cross-built and inspected, the view run under GNUstep
# Warnings are errors on these paths (development and CI). A build that must not stop on a newer
# compiler's new warning: `make ... WERROR=OFF`, or plain cmake, where KESTRUNE_WERROR is off.
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 20
WERROR ?= ON
CONFIGURE := cmake -G Ninja -DKESTRUNE_WERROR=$(WERROR)
# Every build but `build` compiles a library's files up to sixteen at a time as one unit (CMake's unity
# build), which more than halves their compile time; `build` compiles each file alone, so that a file
# that does not include what it uses is still caught.
UNITY := -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=16

.PHONY: deps build release check check-sanitize check-tsan bench fuzz package install-user windows \
	windows-test windows-package mac-check clean demo

HOST := build/tools/kestrune-host/kestrune-host
MODULE := build/platform/linux/Kestrune.so
DEMO := demo
TSAN_OPTIONS_CI := second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan.supp

deps:
	@bash scripts/deps.sh

# One Release build (-O3) of everything, the tests included: the suite checks the code that ships, its
# warnings are seen at -O3, and the packages come from it. For a debugger, configure a folder of your own
# (cmake -S . -B build-debug -DCMAKE_BUILD_TYPE=Debug).
build: deps
	$(CONFIGURE) -S . -B build -DCMAKE_BUILD_TYPE=Release
	cmake --build build -j $(JOBS)

check: build
	ctest --test-dir build --output-on-failure -j $(JOBS) --repeat until-pass:2

# The default kit is generated, not committed: five samples, an SFZ file and a demo song in demo/kit.
# The song is rendered through the built module with the kit's SFZ file handed to it; the editor's
# picture shows the kit loaded with two keys held.
demo: build
	$(HOST) kit $(DEMO)/kit
	$(HOST) render $(MODULE) --midi $(DEMO)/kit/kestrune-demo.mid --sfz $(DEMO)/kit/kestrune-kit.sfz \
	  -o $(DEMO)/kestrune-demo.wav
	$(HOST) snapshot $(MODULE) --sfz $(DEMO)/kit/kestrune-kit.sfz --note 57 --note 84 -o $(DEMO)/kestrune-editor.png
	@echo
	@echo "Demo song:     $(CURDIR)/$(DEMO)/kestrune-demo.wav"
	@echo "Editor:        $(CURDIR)/$(DEMO)/kestrune-editor.png"
	@echo "Default kit:   $(CURDIR)/$(DEMO)/kit (samples, kestrune-kit.sfz, kestrune-demo.mid)"
	@echo "Install the plug-in for Linux hosts (Ardour, REAPER, Bitwig, Carla, ...):"
	@echo "  make install-user   (copies a Release build of Kestrune.so into ~/.vst)"

# The sanitizer builds run the suite as a few shards (processes) rather than a process a test, whose
# start-ups would take half the run.
check-sanitize: deps
	$(CONFIGURE) -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKESTRUNE_SANITIZE=ON -DKESTRUNE_TEST_SHARDS=8 \
	  $(UNITY)
	cmake --build build-sanitize -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir build-sanitize --output-on-failure -j $(JOBS)

# ThreadSanitizer: the suite (its threads, the module loaded with dlopen, the editor windows under Xvfb),
# then every check of `kestrune-host validate` on the built module (threads, automation and state
# requests from a second thread while blocks play). tests/tsan.supp lists known reports still open.
check-tsan: deps
	$(CONFIGURE) -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRUNE_TSAN=ON -DKESTRUNE_TEST_SHARDS=8 \
	  $(UNITY)
	cmake --build build-tsan -j $(JOBS)
	TSAN_OPTIONS="$(TSAN_OPTIONS_CI)" ctest --test-dir build-tsan --output-on-failure -j $(JOBS)
	TSAN_OPTIONS="$(TSAN_OPTIONS_CI)" build-tsan/tools/kestrune-host/kestrune-host validate \
	  build-tsan/platform/linux/Kestrune.so

bench: deps
	$(CONFIGURE) -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKESTRUNE_TESTS=OFF -DKESTRUNE_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	./build-bench/bench/kestrune_bench

fuzz: deps
	CC=clang CXX=clang++ $(CONFIGURE) -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKESTRUNE_TESTS=OFF -DKESTRUNE_FUZZ=ON $(UNITY)
	cmake --build build-fuzz -j $(JOBS)
	bash scripts/run-fuzzers.sh build-fuzz/fuzz $(FUZZ_SECONDS)

release: build

package: build
	cd build && cpack
	bash scripts/package-test.sh build

install-user: deps
	$(CONFIGURE) -S . -B build -DCMAKE_BUILD_TYPE=Release
	cmake --build build -j $(JOBS) --target Kestrune
	install -D -m 644 build/platform/linux/Kestrune.so $(HOME)/.vst/Kestrune.so
	@echo "Installed $(HOME)/.vst/Kestrune.so; let your host rescan its plug-in folders."

# WINE=1 (set by windows-test and windows-package) installs Wine before CMake runs, so the test
# programs are registered to run under it.
windows:
	bash scripts/build-windows-deps.sh
	$(if $(WINE),bash scripts/deps.sh wine)
	$(CONFIGURE) -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release $(UNITY)
	cmake --build build-windows -j $(JOBS)
	ctest --test-dir build-windows -R WindowsModule --output-on-failure

windows-test:
	$(MAKE) windows WINE=1
	KESTRUNE_WERROR=$(WERROR) bash scripts/windows-test.sh build-windows

windows-package:
	$(MAKE) windows WINE=1
	cd build-windows && cpack
	bash scripts/package-test.sh build-windows

mac-check:
	KESTRUNE_WERROR=$(WERROR) KESTRUNE_UNITY=ON bash scripts/mac-check.sh

clean:
	rm -rf build build-sanitize build-tsan build-bench build-fuzz build-windows build-windows-deps \
	  build-gnustep build-mac

# Front door for the usual jobs; CMake does the building.
#   make demo            install what is missing, build, make the default kit and render its demo song
#   make check           install what is missing, build, run the test suite
#   make check-sanitize  the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer
#   make bench           build and run the benchmarks
#   make fuzz            build the fuzz harnesses with clang and run each for FUZZ_SECONDS
#   make windows         cross-build Kestrune_x64.dll (MinGW-w64) and check its import table
#   make windows-test    the Windows build's tests under Wine on a virtual X display
#   make mac-check       the macOS bundle's checks on Linux: its sources compiled against GNUstep, the
#                        universal Mach-O bundle cross-built and inspected, the view run under GNUstep
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 30

.PHONY: deps build check check-sanitize bench fuzz windows windows-test mac-check clean demo

HOST := build/tools/kestrune-host/kestrune-host
MODULE := build/platform/linux/Kestrune.so
DEMO := demo

deps:
	@bash scripts/deps.sh

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j $(JOBS)

check: build
	ctest --test-dir build --output-on-failure -j $(JOBS)

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
	@echo "  mkdir -p ~/.vst && cp $(CURDIR)/$(MODULE) ~/.vst/"

check-sanitize: deps
	cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTRUNE_SANITIZE=ON
	cmake --build build-sanitize -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir build-sanitize --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRUNE_TESTS=OFF -DKESTRUNE_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	./build-bench/bench/kestrune_bench

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKESTRUNE_TESTS=OFF -DKESTRUNE_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS)
	bash scripts/run-fuzzers.sh build-fuzz/fuzz $(FUZZ_SECONDS)

windows:
	bash scripts/build-windows-deps.sh
	cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-windows -j $(JOBS)
	ctest --test-dir build-windows -R WindowsModule --output-on-failure

windows-test: windows
	bash scripts/windows-test.sh build-windows

mac-check:
	bash scripts/mac-check.sh

clean:
	rm -rf build build-sanitize build-bench build-fuzz build-windows build-windows-deps build-gnustep build-mac

# Front door for the usual jobs; CMake does the building.
#   make check           install what is missing, build, run the test suite
#   make check-sanitize  the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer
#   make bench           build and run the benchmarks
#   make fuzz            build the fuzz harnesses with clang and run each for FUZZ_SECONDS
#   make windows         cross-build Kestrune_x64.dll (MinGW-w64) and check its import table
#   make windows-test    the Windows build's tests under Wine on a virtual X display
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 30

.PHONY: deps build check check-sanitize bench fuzz windows windows-test clean

deps:
	@bash scripts/deps.sh

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j $(JOBS)

check: build
	ctest --test-dir build --output-on-failure -j $(JOBS)

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

clean:
	rm -rf build build-sanitize build-bench build-fuzz build-windows build-windows-deps

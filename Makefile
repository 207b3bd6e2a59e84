# Cardwright: the two set-up commands are `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD?= build-bench
FUZZ_BUILD ?= build-fuzz
TSAN_BUILD ?= build-tsan
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: all deps build run test test-asan test-tsan bench fuzz clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Only the program and what it links; it finds the source tree's data/
# on its own.
run: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target cardwright
	$(BUILD)/src/app/cardwright

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DCW_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	# intercept_tls_get_addr=0: the leak checker's scan of the thread-local
	# blocks of libraries loaded at run time crashes with this C library.
	ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0 UBSAN_OPTIONS=print_stacktrace=1 \
	  QT_QPA_PLATFORM=offscreen ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# The threaded parts only: the thumbnail view's background loading and the
# asynchronous file I/O, under ThreadSanitizer.
# Line tables and -O1 keep the build short and the reports readable.
TSAN_FLAGS := -O1 -g1 -fsanitize=thread -fno-omit-frame-pointer
TSAN_RUN   := halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/tests/tsan.supp
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=None \
	  -DCMAKE_C_FLAGS="$(TSAN_FLAGS)" -DCMAKE_CXX_FLAGS="$(TSAN_FLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target test_imaging_view test_imaging_io
	TSAN_OPTIONS=$(TSAN_RUN) QT_QPA_PLATFORM=offscreen $(TSAN_BUILD)/tests/test_imaging_view --gtest_filter='MView*'
	TSAN_OPTIONS=$(TSAN_RUN) QT_QPA_PLATFORM=offscreen $(TSAN_BUILD)/tests/test_imaging_io --gtest_filter='AsyncIO*'

bench: deps
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DCW_BUILD_BENCH=ON -DCW_BUILD_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@for b in $(BENCH_BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCW_BUILD_FUZZ=ON -DCW_BUILD_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(TSAN_BUILD)

# The two set-up commands (make demo, make test) and the developers' shortcuts.
SHELL := /bin/bash
JOBS ?= 2
# The Windows architecture Wine runs (scripts/wine-env.sh): win64 anywhere, win32 where the
# kernel runs 32-bit programs. The demo and the end-to-end tests use the build of that
# architecture: target-win64, or target itself (the shipped i686 launcher) for win32.
WINE_ARCH ?= win64
WINE_BUILD := $(if $(filter win32,$(WINE_ARCH)),target,target-win64)

.PHONY: all deps host host-sanitize target wine-build fuzz-build test unit sanitize fuzz-replay e2e fuzz demo size bench bench-wine clean

all: target

deps:
	@bash scripts/install-deps.sh

host: deps
	cmake --preset host >/dev/null
	cmake --build --preset host -j$(JOBS)

host-sanitize: deps
	cmake --preset host-sanitize >/dev/null
	cmake --build --preset host-sanitize -j$(JOBS)

target: deps
	cmake --preset target -DSPLAUNCH_WINE_ARCH=$(WINE_ARCH) >/dev/null
	cmake --build --preset target -j$(JOBS)

ifeq ($(WINE_BUILD),target)
wine-build: target
else
wine-build: deps
	cmake --preset $(WINE_BUILD) -DSPLAUNCH_WINE_ARCH=$(WINE_ARCH) >/dev/null
	cmake --build --preset $(WINE_BUILD) -j$(JOBS)
endif

fuzz-build: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j$(JOBS)

unit: host
	ctest --preset host

# Every fuzz target once over its checked-in corpus: a regression run of seconds.
fuzz-replay: fuzz-build
	TMPDIR=/dev/shm ctest --preset fuzz

# A campaign: each fuzz target for FUZZ_SECONDS (default 60), one at a time.
fuzz: fuzz-build
	bash scripts/fuzz.sh

sanitize: host-sanitize
	ctest --preset host-sanitize

e2e: wine-build
	ctest --preset $(WINE_BUILD)

# Every test: unit tests, the same under the sanitizers, the fuzz corpora, the shipped build,
# end-to-end runs under Wine.
test: unit sanitize fuzz-replay target e2e

demo: wine-build
	SPLAUNCH_WINE_ARCH=$(WINE_ARCH) bash scripts/demo.sh build/$(WINE_BUILD)

size: target
	@bash scripts/size.sh build/target

bench: deps
	cmake --preset host-release >/dev/null
	cmake --build --preset host-release -j$(JOBS)
	./build/host-release/bench/splaunch_bench

# splaunch.exe /q against msiexec /p with the same patch, under Wine.
bench-wine: wine-build
	SPLAUNCH_WINE_ARCH=$(WINE_ARCH) bash scripts/bench-wine.sh build/$(WINE_BUILD)

clean:
	rm -rf build

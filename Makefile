# The two set-up commands (make demo, make test) and the developers' shortcuts.
SHELL := /bin/bash
JOBS ?= 2

.PHONY: all deps host host-sanitize target wine-build fuzz-build test unit sanitize fuzz-replay e2e fuzz demo try size bench bench-wine clean

all: target

deps:
	@bash scripts/install-deps.sh

host: deps
	cmake --preset host >/dev/null
	cmake --build --preset host -j$(JOBS)

host-sanitize: deps
	cmake --preset host-sanitize >/dev/null
	cmake --build --preset host-sanitize -j$(JOBS)

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

bench: deps
	cmake --preset host-release >/dev/null
	cmake --build --preset host-release -j$(JOBS)
	./build/host-release/bench/splaunch_bench

clean:
	rm -rf build

# The Windows architecture Wine runs (scripts/wine-env.sh): win32 runs the shipped i686
# launcher (build/target) in a 32-bit Wine; win64 runs an x86-64 build of the same source
# (build/target-win64) in a 64-bit Wine, on machines whose kernel runs no 32-bit programs.
# WINE_ARCH=win32 or win64 forces one. Without it, the goals below first install the
# packages, then ask scripts/wine-arch.sh and run again with its answer.
WINE_GOALS := target wine-build e2e test demo try size bench-wine

ifeq ($(WINE_ARCH),)
$(WINE_GOALS): deps
	@arch=$$(bash scripts/wine-arch.sh) && $(MAKE) --no-print-directory $@ WINE_ARCH=$$arch
else
ifneq ($(filter-out win32 win64,$(WINE_ARCH))$(word 2,$(WINE_ARCH)),)
$(error WINE_ARCH must be win32 or win64, not "$(WINE_ARCH)")
endif
WINE_BUILD := $(if $(filter win32,$(WINE_ARCH)),target,target-win64)

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

# Says first which launcher the scenarios run.
e2e: wine-build
	@echo "End-to-end tests of build/$(WINE_BUILD)/splaunch.exe:"
	@bash scripts/wine-arch.sh describe $(WINE_ARCH) | sed 's/^/    /'
	ctest --preset $(WINE_BUILD)

# Every test: unit tests, the same under the sanitizers, the fuzz corpora, the shipped build,
# end-to-end runs under Wine.
test: unit sanitize fuzz-replay target e2e

# A launcher from its definition, tried under Wine on its products (scripts/try.sh):
#   make try DEFINITION=path/to/def.toml PRODUCT="a.msi b.msi" [PACKAGE=patch.msp]
TRY = SPLAUNCH_WINE_ARCH=$(WINE_ARCH) bash scripts/try.sh

try: wine-build
	@[ -n "$(DEFINITION)" ] && [ -n "$(PRODUCT)" ] || \
	    { echo 'usage: make try DEFINITION=path/to/def.toml PRODUCT="a.msi [b.msi...]" [PACKAGE=patch.msp]' >&2; exit 2; }
	$(TRY) $(if $(PACKAGE),--package "$(PACKAGE)") build/$(WINE_BUILD) "$(DEFINITION)" $(PRODUCT)

# The same on the shipped definition and the demo product, with the demo's own set-up and report.
demo: wine-build
	$(TRY) --hooks scripts/demo-hooks.sh --package build/$(WINE_BUILD)/demo-patch/kelvarin-sp1.msp \
	    build/$(WINE_BUILD) res/splaunch.toml build/$(WINE_BUILD)/demo-patch/kelvarin.msi

size: target
	@bash scripts/size.sh build/target

# splaunch.exe /q against msiexec /p with the same patch, under Wine.
bench-wine: wine-build
	SPLAUNCH_WINE_ARCH=$(WINE_ARCH) bash scripts/bench-wine.sh build/$(WINE_BUILD)
endif

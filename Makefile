# The two set-up commands (make demo, make test) and the developers' shortcuts.
SHELL := /bin/bash
JOBS ?= 2

.PHONY: all deps host host-sanitize target test unit sanitize e2e demo size bench bench-wine clean

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
	cmake --preset target >/dev/null
	cmake --build --preset target -j$(JOBS)

unit: host
	ctest --preset host

sanitize: host-sanitize
	ctest --preset host-sanitize

e2e: target
	ctest --preset target

# Every test: unit tests, the same under the sanitizers, end-to-end runs under Wine.
test: unit sanitize e2e

demo: target
	bash scripts/demo.sh build/target

size: target
	@bash scripts/size.sh build/target

bench: deps
	cmake --preset host-release >/dev/null
	cmake --build --preset host-release -j$(JOBS)
	./build/host-release/bench/splaunch_bench

# splaunch.exe /q against msiexec /p with the same patch, under Wine.
bench-wine: target
	bash scripts/bench-wine.sh build/target

clean:
	rm -rf build

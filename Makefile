# Velkora — build, run, test and benchmark wrappers.
# Every target first makes sure the Debian packages it needs are installed.

BUILD ?= build
JOBS  ?= $(shell nproc 2>/dev/null || echo 2)

PREFIX ?= /usr/local

.PHONY: all deps configure build run test bench install package clean

all: build

deps:
	@sh tools/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./velkora

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 600

bench: build
	cmake --build $(BUILD) --target benchmarks -j $(JOBS)
	@for b in $(BUILD)/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b"; done; true

# Installs program, data files, menu entry, icons and metainfo under PREFIX
# (bin/velkora, share/velkora, share/applications, ...).
install: build
	cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package velkora_1.0-1_amd64.deb, in the build directory.
package: build
	cd $(BUILD) && cpack -G DEB
	@ls -l $(BUILD)/velkora_*.deb

clean:
	rm -rf $(BUILD)

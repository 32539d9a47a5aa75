# Velkora — build, run, test and benchmark wrappers.
# Every target first makes sure the Debian packages it needs are installed.

BUILD ?= build
JOBS  ?= $(shell nproc 2>/dev/null || echo 2)

PREFIX ?= /usr/local

.PHONY: all deps configure build run test bench bench-x install package fuzz clean

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

# Fuzzing: every target of fuzz/ built with clang, libFuzzer, AddressSanitizer
# and UBSan, each run for FUZZ_SECONDS on a working copy of its corpus.
# Inputs that break a target are kept as fuzz-<target>-crash-* in FUZZ_BUILD;
# copy them into fuzz/corpus/<target>/ once fixed, so the tests replay them.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= text textview ani avi settings

fuzz:
	@sh tools/install-deps.sh fuzz
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DVELKORA_FUZZ=ON
	cmake --build $(FUZZ_BUILD) --target fuzzers -j $(JOBS)
	@set -e; for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/fuzz/corpus-$$t; \
	  cp -n fuzz/corpus/$$t/* $(FUZZ_BUILD)/fuzz/corpus-$$t/ 2>/dev/null || true; \
	  case $$t in \
	    text|textview) cp -n data/*.inf $(FUZZ_BUILD)/fuzz/corpus-$$t/ ;; \
	    ani) cp -n $(FUZZ_BUILD)/dino.ani $(FUZZ_BUILD)/fuzz/corpus-$$t/ ;; \
	    avi) cp -n $(FUZZ_BUILD)/FILEMOVE.AVI $(FUZZ_BUILD)/fuzz/corpus-$$t/ ;; \
	  esac; \
	  echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
	  ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen $(FUZZ_BUILD)/fuzz/fuzz_$$t \
	    -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_BUILD)/fuzz-$$t- $(FUZZ_BUILD)/fuzz/corpus-$$t; \
	done

# Keystroke cost under a real X server (Xvfb, XTest keys, Damage repaints).
# BASE=<build directory of another build> runs both, rounds interleaved;
# FLOOR=1 types at a bare Qt window too (what any window costs for a key).
bench-x: configure
	@sh tools/install-deps.sh bench-x
	cmake $(BUILD) >/dev/null
	cmake --build $(BUILD) --target velkora velkora_data velkora_xsender velkora_xboden -j $(JOBS)
	FLOOR=$(FLOOR) bash bench/bench-x.sh $(BUILD) $(BASE)

clean:
	rm -rf $(BUILD)

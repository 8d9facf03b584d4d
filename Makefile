# Quillbox: `make run` builds and starts the desktop program, `make test` builds and runs every test.
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja
# Where `make install` puts the programs and their files; DESTDIR, when given, is put in front of it.
PREFIX     ?= /usr/local

.PHONY: all deps build run test test-asan bench fuzz format clean install package

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/quillbox

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package (quillbox_VERSION_ARCH.deb) lands in $(BUILD).
package: build
	cd $(BUILD) && cpack -G DEB

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

$(BUILD_ASAN)/build.ninja:
	cmake -S . -B $(BUILD_ASAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DQB_SANITIZE=ON

test-asan: deps $(BUILD_ASAN)/build.ninja
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# libFuzzer over the RTF reader and extractor, each for FUZZ_SECONDS, starting from the samples in
# tests/data/rtf; the corpus grows in $(BUILD_FUZZ), crashes land in $(BUILD_FUZZ)/artifacts.
FUZZ_TARGETS := fuzz_RtfText fuzz_RtfReader fuzz_XmlLoad fuzz_Clipboard fuzz_Language fuzz_Registry fuzz_RtfRoundTrip fuzz_HtmlClipping

$(BUILD_FUZZ)/build.ninja:
	@scripts/install-deps.sh --fuzz
	CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQB_FUZZ=ON

# Each target starts from its seeds and the inputs earlier campaigns failed on (tests/data/fuzz/).
fuzz: $(BUILD_FUZZ)/build.ninja
	@scripts/install-deps.sh --fuzz
	cmake --build $(BUILD_FUZZ) -j $(JOBS) --target $(FUZZ_TARGETS)
	mkdir -p $(BUILD_FUZZ)/artifacts
	for t in $(FUZZ_TARGETS); do \
		case $$t in fuzz_Xml*) seeds=tests/data/xqb; dict=tests/data/xml-fuzz.dict;; \
			fuzz_Clipboard) seeds=tests/data/fuzz-seeds/clipboard; dict=tests/data/xml-fuzz.dict;; \
			fuzz_Language) seeds=tests/data/fuzz-seeds/language; dict=tests/data/xml-fuzz.dict;; \
			fuzz_Registry) seeds=tests/data/fuzz-seeds/registry; dict=tests/data/registry-fuzz.dict;; \
			fuzz_HtmlClipping) seeds=tests/data/html; dict=tests/data/html-fuzz.dict;; \
			*) seeds=tests/data/rtf; dict=tests/data/rtf-fuzz.dict;; esac; \
		mkdir -p $(BUILD_FUZZ)/corpus/$$t tests/data/fuzz/$$t && \
		QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 $(BUILD_FUZZ)/fuzz/$$t \
			-max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
			-dict=$$dict -artifact_prefix=$(BUILD_FUZZ)/artifacts/$$t- \
			$(BUILD_FUZZ)/corpus/$$t $$seeds tests/data/fuzz/$$t || exit 1; \
	done

bench: build
	$(BUILD)/bin/qb-bench

format:
	find src tests -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_FUZZ)

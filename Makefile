# Thin wrapper over the CMake presets: every real decision lives in CMake.
# make help prints the lines below that begin with "#   make".
#   make                the Release build (or PRESET=...), build/$(PRESET)/bin
#   make build          the same
#   make run            build and start diodesolve
#   make test           build and run the tests, all but the slow ones at scale (PRESET=native ...)
#   make test-all       build and run every test, those at scale too (what CI runs)
#   make memcheck       the transcripts again, under valgrind memcheck
#   make fuzz           each fuzz target for FUZZ_SECONDS (clang, sanitize build)
#   make bench          diodemap's engine against a plain loop; glibc's two logs; a 1000x1000 map in the page
#   make web            the browser page, build/web/diodesolve.html
#   make lint           the sources' layout (clang-format, prettier) and the page's JavaScript (eslint)
#   make format         lay the C, C++ and JavaScript sources out as make lint wants them
#   make docs           the README's pictures in docs/, from the README's commands
#   make install        install (PREFIX=/usr/local; DESTDIR is honoured too)
#   make package        the Debian package, in build/$(PRESET)/ (needs dpkg-dev)
#   make clean          remove build/
#   make help           this list
PRESET ?= release
CMAKE_ARGS ?=
BUILD := build/$(PRESET)

FUZZ_SECONDS ?= 60
VALGRIND := valgrind -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=all

.DEFAULT_GOAL := build
.PHONY: build run test test-all memcheck fuzz bench web lint format docs install package clean help
SHELL := bash

# Arguments given must reach CMake on a configured tree too: with
# CMAKE_ARGS, the tree is configured again every time.
ifneq ($(strip $(CMAKE_ARGS)),)
.PHONY: $(BUILD)/CMakeCache.txt
endif
$(BUILD)/CMakeCache.txt:
	cmake --preset $(PRESET) $(CMAKE_ARGS)

# As many compilers at once as there are processors, never an unbounded -j.
NPROC := $(shell nproc 2>/dev/null || echo 2)
build: $(BUILD)/CMakeCache.txt
	cmake --build --preset $(PRESET) --parallel $(NPROC)

# The build's chatter goes to a log, shown only when the build fails; while
# it builds, one line on standard error names the log and shows the
# progress (cmake/progress.awk), so that the dialogue starts on a clean
# screen.
run:
	@mkdir -p $(BUILD)
	@set -o pipefail; $(MAKE) --no-print-directory build 2>&1 | tee $(BUILD)/make-run.log | \
	    awk -v logfile=$(BUILD)/make-run.log -f cmake/progress.awk >&2 || \
	    { cat $(BUILD)/make-run.log; exit 1; }
	@$(BUILD)/bin/diodesolve

test: build
	@bash cmake/ctest.sh $(PRESET) $(BUILD) --label-exclude scale

test-all: build
	@bash cmake/ctest.sh $(PRESET) $(BUILD)

memcheck: build
	@command -v valgrind >/dev/null || { echo "make memcheck: valgrind is missing; install (Debian): valgrind"; exit 1; }
	TRANSCRIPT_WRAPPER="$(VALGRIND)" ctest --preset $(PRESET) -R '^transcript/'

fuzz:
	$(MAKE) build PRESET=sanitize
	fuzz/run.sh build/sanitize/bin $(FUZZ_SECONDS)

bench: build
	$(BUILD)/bin/diode_map_bench 1000 $(BUILD)/bin/diodemap
	bash map/log-variants.sh $(BUILD)/bin
	@if [ -x /usr/bin/chromium ] && $(MAKE) --no-print-directory web >/dev/null; then \
	    node tests/web/page-bench.mjs build/web/diodesolve.html $(BUILD)/bin; \
	else echo "bench: the page needs make web and Chromium (Debian: chromium)"; fi

install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

# The browser page (build/web/diodesolve.html): the WebAssembly modules
# (build/wasm/bin/) and the page's JavaScript, bundled with the pinned tools
# of web/package-lock.json. Names the Debian packages that are missing.
WEB_PACKAGES := clang lld wasi-libc libclang-rt-14-dev-wasm32 libc++-14-dev-wasm32 libc++abi-14-dev-wasm32 nodejs npm
web:
	@command -v node >/dev/null && command -v npm >/dev/null || \
	    { echo "make web: node and npm are missing; install (Debian): nodejs npm"; exit 1; }
	@printf 'int main(){return 0;}\n' | clang --target=wasm32-wasi -x c - -o /dev/null 2>/dev/null || \
	    { echo "make web: clang cannot build for wasm32-wasi; install (Debian): $(WEB_PACKAGES)"; exit 1; }
	cmake --preset wasm
	cmake --build --preset wasm
	@$(MAKE) --no-print-directory web-tools
	node web/build.mjs build/wasm/bin build/web/diodesolve.html

# The pinned tools of web/package-lock.json, installed when the lock file
# is newer than what is installed.
.PHONY: web-tools
web-tools:
	@command -v npm >/dev/null || { echo "make: npm is missing; install (Debian): npm"; exit 1; }
	@[ web/node_modules/.package-lock.json -nt web/package-lock.json ] || \
	    npm ci --prefix web --no-audit --no-fund

# The same layout everywhere: clang-format for C and C++, prettier for the
# page's JavaScript and its tests, which eslint checks too.
JS_SOURCES := 'web/*.js' 'web/methods/*.js' 'tests/web/*.mjs'
lint: web-tools
	git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
	web/node_modules/.bin/prettier --config web/.prettierrc.json --check $(JS_SOURCES)
	web/node_modules/.bin/eslint -c web/eslint.config.js web tests/web

format: web-tools
	git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format -i
	web/node_modules/.bin/prettier --config web/.prettierrc.json --write $(JS_SOURCES)

docs: build web
	bash docs/render.sh

package: build
	cmake --build --preset $(PRESET) --target package

clean:
	rm -rf build

help:
	@sed -n 's/^#   make/make/p' $(firstword $(MAKEFILE_LIST))

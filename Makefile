# Two commands for a fresh Debian 12 machine:
#   make run   installs what is missing, builds the program folder and starts the program
#   make test  the same set-up, then the whole suite, headless
# make bench builds and prints the benchmarks.
# make fuzz builds the fuzz targets with clang's libFuzzer and runs each for FUZZ_SECONDS (see tests/fuzz).
# make format lays out the code as .clang-format says; make format-check only checks (CI runs it).
# make test-asan builds the whole suite with AddressSanitizer and UndefinedBehaviorSanitizer and runs it.
# make install installs the program under PREFIX (/usr/local unless given), into DESTDIR when given.
# make deb builds build/tapotis2002_<version>_amd64.deb and checks it with lintian.

BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

PACKAGES := build-essential cmake pkg-config \
	qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n \
	fonts-liberation2 fonts-urw-base35 \
	libjpeg62-turbo-dev libgif-dev libespeak-ng-dev libopenal-dev libpulse-dev \
	libgtest-dev libgmock-dev libbenchmark-dev \
	wfrench xvfb xauth time libxcb1-dev xdotool x11-utils libxkbcommon-dev xkb-data \
	desktop-file-utils appstream passwd util-linux

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test test-asan fuzz bench deps configure build clean format format-check install deb

deps:
	@missing=""; for p in $(PACKAGES); do \
		dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
		echo "Installing:$$missing"; \
		$(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -q && \
		$(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) $(if $(CI),-DTUTOR_WERROR=ON)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/tutor/tutor

PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix $(PREFIX)

DEB_PACKAGES := dpkg-dev lintian
deb: build
	@missing=""; for p in $(DEB_PACKAGES); do \
		dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
		$(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $$missing; \
	fi
	rm -f $(BUILD_DIR)/tapotis2002_*.deb
	cd $(BUILD_DIR) && cpack -G DEB
	lintian --fail-on error $(BUILD_DIR)/tapotis2002_*_amd64.deb

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

ASAN_DIR ?= build-asan
SANITIZE := -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
test-asan: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUTOR_BUILD_BENCH=OFF $(if $(CI),-DTUTOR_WERROR=ON) \
		-DCMAKE_CXX_FLAGS="$(SANITIZE)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE)"
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS)

FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := lesson_reader history_loader send_keys cp1252 help_parser
fuzz: deps
	@dpkg-query -W -f='$${Status}' clang 2>/dev/null | grep -q "install ok installed" || \
		$(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends clang
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUTOR_FUZZ=ON \
		-DTUTOR_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer" \
		-DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	for t in $(FUZZ_TARGETS); do \
		mkdir -p $(FUZZ_DIR)/corpus/$$t && \
		QT_QPA_PLATFORM=offscreen $(FUZZ_DIR)/tests/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
			$(FUZZ_DIR)/corpus/$$t tests/fuzz/corpus/$$t || exit 1; \
	done

# The code's layout (.clang-format): format rewrites the files, format-check fails on any that differ.
FORMAT_FILES = $(shell git ls-files '*.cpp' '*.h' | grep -v -e '^tests/fuzz/corpus/' -e '^tests/layering/fixture/')
clang-format-installed:
	@dpkg-query -W -f='$${Status}' clang-format 2>/dev/null | grep -q "install ok installed" || \
		{ $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -q && \
		  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends clang-format; }
format: clang-format-installed
	clang-format -i $(FORMAT_FILES)
format-check: clang-format-installed
	clang-format --dry-run --Werror $(FORMAT_FILES)

bench: build
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/bench/tutor_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	bench/startup.sh $(BUILD_DIR)/tutor/tutor
	bench/peer.sh $(BUILD_DIR)
	$(BUILD_DIR)/bench/tutor_lessonmemory
	xvfb-run -a -s "-screen 0 1024x768x24" $(BUILD_DIR)/bench/tutor_idle
	bench/with-pulse.sh xvfb-run -a -s "-screen 0 1024x768x24" $(BUILD_DIR)/bench/tutor_idle --output=pulse

clean:
	rm -rf $(BUILD_DIR)

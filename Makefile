BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: build run test sanitize package fuzz format bench tidy
FUZZ_SECONDS ?= 60
# ON turns compiler warnings into errors (CI sets it).
WERROR ?= OFF

# Configured once; after that the build itself runs CMake again when a build file changed.
CONFIGURE = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DPARTWELL_WERROR=$(WERROR)
configured = [ -f $(BUILD)/CMakeCache.txt ] || $(CONFIGURE)

build:
	@bash scripts/install-deps.sh test
	@$(configured)
	cmake --build $(BUILD) -j$(JOBS)

# Builds only the window's program.
run:
	@bash scripts/install-deps.sh run
	@$(configured)
	cmake --build $(BUILD) --target partwell -j$(JOBS)
	$(BUILD)/bin/partwell

# A tree configured before GoogleTest was installed has no tests yet: configure it again.
test:
	@bash scripts/install-deps.sh test
	@[ -f $(BUILD)/tests/CTestTestfile.cmake ] || $(CONFIGURE)
	cmake --build $(BUILD) -j$(JOBS)
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# The engine and its tests under AddressSanitizer and UndefinedBehaviorSanitizer (no GUI).
sanitize:
	@bash scripts/install-deps.sh sanitize
	cmake -S . -B $(BUILD)-asan -DCMAKE_BUILD_TYPE=Debug -DPARTWELL_GUI=OFF -DPARTWELL_SANITIZE=ON \
		-DPARTWELL_WERROR=$(WERROR)
	cmake --build $(BUILD)-asan -j$(JOBS)
	ctest --test-dir $(BUILD)-asan --output-on-failure -j$(JOBS)

# A Debian package of the Release build: $(BUILD)/partwell_<version>_<arch>.deb, which lintian
# must pass without an error.
package:
	@bash scripts/install-deps.sh package
	@$(configured)
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && cpack
	lintian --fail-on error $(BUILD)/partwell_*.deb

# The fuzz targets under ASan and UBSan (clang and libFuzzer), each run for FUZZ_SECONDS.
fuzz:
	@bash scripts/install-deps.sh fuzz
	cmake -S . -B $(BUILD)-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
		-DCMAKE_CXX_COMPILER=clang++ -DPARTWELL_GUI=OFF -DPARTWELL_FUZZ=ON -DPARTWELL_WERROR=$(WERROR)
	cmake --build $(BUILD)-fuzz --target fuzz_targets -j$(JOBS)
	FUZZ_SECONDS=$(FUZZ_SECONDS) bash fuzz/run.sh $(BUILD)-fuzz

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# The checks of .clang-tidy over every source of src/ (the compile commands of the Release build;
# clang does not know the GCC-only warning options in them, which -Werror would make fatal).
tidy: build
	@bash scripts/install-deps.sh checks
	run-clang-tidy -quiet -p $(BUILD) -j$(JOBS) -extra-arg=-Wno-unknown-warning-option '$(CURDIR)/src/'

bench: build
	@bash scripts/install-deps.sh bench
	bash bench/run.sh

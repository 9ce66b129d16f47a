BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build run test sanitize fuzz format bench tidy
FUZZ_SECONDS ?= 60

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/bin/partwell

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# The engine and its tests under AddressSanitizer and UndefinedBehaviorSanitizer (no GUI).
sanitize: deps
	cmake -S . -B $(BUILD)-asan -DCMAKE_BUILD_TYPE=Debug -DPARTWELL_GUI=OFF -DPARTWELL_SANITIZE=ON
	cmake --build $(BUILD)-asan -j$(JOBS)
	ctest --test-dir $(BUILD)-asan --output-on-failure -j$(JOBS)

# A Debian package of the Release build: $(BUILD)/partwell_<version>_<arch>.deb.
.PHONY: package
package: build
	cd $(BUILD) && cpack

# The fuzz targets under ASan and UBSan (clang and libFuzzer), each run for FUZZ_SECONDS.
fuzz: deps
	cmake -S . -B $(BUILD)-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
		-DCMAKE_CXX_COMPILER=clang++ -DPARTWELL_GUI=OFF -DPARTWELL_FUZZ=ON
	cmake --build $(BUILD)-fuzz --target fuzz_targets -j$(JOBS)
	FUZZ_SECONDS=$(FUZZ_SECONDS) bash fuzz/run.sh $(BUILD)-fuzz

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# The checks of .clang-tidy over every source of src/ (the compile commands of the Release build).
tidy: build
	run-clang-tidy -quiet -p $(BUILD) -j$(JOBS) '$(CURDIR)/src/'

bench: build
	bash bench/run.sh

BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build run test sanitize format bench

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

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

bench: build
	bash bench/run.sh

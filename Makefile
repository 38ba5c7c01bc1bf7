# The two commands a new user needs: `make run` and `make test`.
BUILD      ?= build
# The sanitizer build (clang, ASan + UBSan, with the loader fuzz target) of `make test`.
ASAN_BUILD ?= $(BUILD)-asan
JOBS       ?= $(shell nproc)

.PHONY: deps build run test test-asan clean

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./zdschema

# The suite in the normal build, then the same suite with the sanitizers, where any
# sanitizer report fails, plus the fuzz target's saved inputs and a one-minute run.
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-asan

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZD_SANITIZE=ON -DZD_FUZZ=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)

# The two everyday commands: `make demo` and `make test`. Both install what is
# missing, build the dependencies once into the cache, build, and run.
BUILD ?= build
CACHE ?= $(HOME)/.cache/orbchat
export ORBCHAT_CACHE := $(CACHE)
export ORB_BUILD := $(abspath $(BUILD))
CTEST_ARGS ?= -j2

.PHONY: all setup deps configure build test demo demo-mqtt bench shot clean
all: build

setup:
	scripts/setup.sh

deps: setup
	scripts/deps.sh >/dev/null

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw64.cmake \
	  -DORB_DEPS_PREFIX=$(CACHE)/deps >/dev/null

build: configure
	cmake --build $(BUILD)

test: build
	scripts/wine-session.sh ctest --test-dir $(BUILD) --output-on-failure $(CTEST_ARGS)

demo: build
	scripts/demo.sh

# Two demo hosts (two processes, as on two machines) chat through one
# Mosquitto broker, one message sent while the other host was not running.
demo-mqtt: build
	scripts/demo-mqtt.sh

# Benchmarks run on one processor: under Wine every file lock and many other
# calls are round trips to wineserver, and on this virtual machine waking it on
# the other processor costs several times the call itself, which would swamp
# the figures with the machine's scheduling rather than our code's cost.
bench: build
	taskset -c 0 scripts/wine-session.sh scripts/bench.sh

clean:
	rm -rf $(BUILD)

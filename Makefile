# Vellumar: `make run` opens the application, `make test` runs every test. Both install what is
# missing first (Debian 12, as root or through sudo).
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

PACKAGES := g++ make cmake pkg-config qt6-base-dev qt6-tools-dev qt6-tools-dev-tools \
	qt6-l10n-tools libgl-dev libxkbcommon-dev e2fsprogs util-linux mount procps xvfb xauth \
	x11-apps x11-utils imagemagick fonts-dejavu-core

# The real-program tests drive the application on Xvfb with a window manager and real key
# presses; the application's SVG icon and Qt's own translated texts need their packages.
UI_TEST_PACKAGES := xdotool openbox libqt6svg6 qt6-translations-l10n
PACKAGES += $(UI_TEST_PACKAGES)

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build run test test-sanitize bench install demo clean

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
		| grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing: $$missing"; \
		$(SUDO) apt-get update -qq && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		exec $(BUILD_DIR)/bin/vellumar; \
	else \
		echo "No display: running the command-line demo instead."; \
		scripts/demo.sh $(BUILD_DIR)/bin; \
	fi

demo: build
	scripts/demo.sh $(BUILD_DIR)/bin

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j$(JOBS)

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer (CI runs both).
test-sanitize: deps
	cmake -S . -B $(BUILD_DIR)-sanitize -DCMAKE_BUILD_TYPE=Debug -DVELLUMAR_SANITIZE=ON
	cmake --build $(BUILD_DIR)-sanitize -j$(JOBS)
	cd $(BUILD_DIR)-sanitize && ctest --output-on-failure -j$(JOBS)

bench: build
	scripts/bench.sh $(BUILD_DIR)/bin

install: build
	$(SUDO) cmake --install $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-sanitize

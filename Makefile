# Vellumar: `make run` opens the application, `make test` runs every test. Both install what is
# missing first (Debian 12, as root or through sudo).
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

PACKAGES := g++ make cmake pkg-config qt6-base-dev qt6-tools-dev qt6-tools-dev-tools \
	qt6-l10n-tools libgl-dev libxkbcommon-dev e2fsprogs util-linux mount procps xvfb xauth \
	x11-apps x11-utils imagemagick fonts-dejavu-core dbus polkitd pkexec
# Only `make package` needs these: dpkg-shlibdeps works out the package's library dependencies,
# cpack finds the programs among the files with `file`.
PACKAGE_TOOLS := dpkg-dev file
# Kept contents are copied with rsync; the tests read extended attributes with getfattr.
KEEP_PACKAGES := rsync attr
PACKAGES += $(KEEP_PACKAGES)

# The real-program tests drive the application on Xvfb with a window manager and real key
# presses; the application's SVG icon and Qt's own translated texts need their packages.
UI_TEST_PACKAGES := xdotool openbox libqt6svg6 qt6-translations-l10n
PACKAGES += $(UI_TEST_PACKAGES)
# Tests validate the AppStream metadata and the desktop entries.
PACKAGES += appstream desktop-file-utils

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps package-deps configure build run test test-sanitize bench install install-helper \
	package demo clean

# Installs whichever of the packages named in $(1) are missing.
define install_missing
	@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
		| grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing: $$missing"; \
		$(SUDO) apt-get update -qq && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

package-deps: deps
	$(call install_missing,$(PACKAGE_TOOLS))

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_INSTALL_PREFIX=$(PREFIX)

build: configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

# The window makes disks through the installed helper, so it is installed (with its polkit
# policy) before the window opens.
run: install-helper
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		exec $(BUILD_DIR)/bin/vellumar; \
	else \
		echo "No display: running the command-line demo instead."; \
		scripts/demo.sh $(BUILD_DIR)/bin; \
	fi

demo: build
	scripts/demo.sh $(BUILD_DIR)/bin

# Tests run the installed helper through pkexec, as root and as the test users.
test: install
	cd $(BUILD_DIR) && ctest --output-on-failure -j$(JOBS)

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer (CI runs both).
test-sanitize: deps
	cmake -S . -B $(BUILD_DIR)-sanitize -DCMAKE_BUILD_TYPE=Debug -DVELLUMAR_SANITIZE=ON \
		-DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(BUILD_DIR)-sanitize -j$(JOBS)
	$(SUDO) cmake --install $(BUILD_DIR)-sanitize
	cd $(BUILD_DIR)-sanitize && ctest --output-on-failure -j$(JOBS)

# The normal-user benchmark runs the installed helper through pkexec.
bench: install
	scripts/bench.sh $(BUILD_DIR)/bin

# Installs under $(PREFIX) (the programs are built for it); the polkit policy always goes to
# /usr/share/polkit-1/actions, the only folder polkitd reads.
install: build
	$(SUDO) cmake --install $(BUILD_DIR)

install-helper: build
	$(SUDO) cmake --install $(BUILD_DIR) --component helper

# The Debian package, built in a tree of its own configured for /usr (the programs carry the
# helper's installed path), written to $(BUILD_DIR)/vellumar_<version>_<arch>.deb.
# Built with Debian's own compiler and linker flags, hardening included.
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
package: package-deps
	cmake -S . -B $(BUILD_DIR)/package -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_INSTALL_PREFIX=/usr \
		-DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
		-DCMAKE_CXX_FLAGS="$$($(DEB_FLAGS) CPPFLAGS) $$($(DEB_FLAGS) CXXFLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_FLAGS) LDFLAGS)"
	cmake --build $(BUILD_DIR)/package -j$(JOBS) --target vellumar vellumarctl vellumar-ramdev
	cd $(BUILD_DIR)/package && cpack -B $(abspath $(BUILD_DIR))

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-sanitize

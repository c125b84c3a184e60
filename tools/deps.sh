# Sourced by test.sh and run.sh: makes sure the Debian packages that the build needs are there.
VX_PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev libgtest-dev libgmock-dev \
libbenchmark-dev libjpeg62-turbo-dev zlib1g-dev fonts-liberation2 fonts-dejavu-core clang-format poppler-utils \
desktop-file-utils shared-mime-info clang libclang-rt-14-dev breeze-icon-theme libqt6svg6 \
qt6-translations-l10n"

vx_ensure_packages() {
  local missing=""
  for p in $VX_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
      missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" != 0 ]; then
    echo "Missing packages. Run:"
    echo "  sudo apt-get update && sudo apt-get install -y$missing"
    exit 1
  fi
  echo "Installing:$missing"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
}

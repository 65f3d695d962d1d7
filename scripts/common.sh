# Shared by run.sh and test.sh: install what is missing, configure and build.
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Debian 12 packages the build, the window, the tests and the benchmarks need.
required_packages=(
  cmake g++ make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev qt6-qpa-plugins libxcb1-dev
  fonts-liberation
  xvfb xdotool xclip x11-utils imagemagick
  python3
)

install_missing_packages() {
  local missing=()
  local p
  for p in "${required_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# configure_and_build BUILD_DIR [CMAKE_OPTION...]
configure_and_build() {
  local dir="$1"
  shift
  cmake -S "$repo_root" -B "$repo_root/$dir" "$@"
  cmake --build "$repo_root/$dir" -j "$(nproc)"
}

# Sourced by the scripts: installing Debian packages, configuring and
# building a CMake tree, each written here once.

# Runs a command as root: directly when we are root, else through sudo.
tarvik_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# tarvik_install_packages WHO PACKAGE...: installs the packages that are not
# installed yet, saying so as WHO; nothing is asked of apt when all are there.
tarvik_install_packages() {
  local who=$1 package missing=()
  shift
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  ((${#missing[@]})) || return 0
  echo "$who: installing ${missing[*]}" >&2
  # env, not a plain assignment: sudo would drop the variable.
  tarvik_as_root apt-get update -qq &&
    tarvik_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null || {
    echo "$who: error: apt-get install failed for: ${missing[*]}" >&2
    return 1
  }
}

# tarvik_configure SOURCE BUILD [CMAKE_OPTION...]: configures every time,
# never only when the build folder is new, so that changed options and
# packages installed since are picked up (CMake keeps what did not change).
tarvik_configure() {
  local source=$1 build=$2
  shift 2
  cmake -S "$source" -B "$build" -G Ninja "$@" >/dev/null
}

# tarvik_build BUILD [TARGET...]: builds everything, or only the targets.
tarvik_build() {
  local build=$1
  shift
  local targets=()
  (($# == 0)) || targets=(--target "$@")
  cmake --build "$build" -j "$(nproc)" "${targets[@]}"
}

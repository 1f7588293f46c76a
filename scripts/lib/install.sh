# Shared by scripts/test and scripts/demo (sourced, not run): installs the
# Debian packages the build needs when any of them is missing.

# Everything the project needs from the system, in one place.
LUMO_PACKAGES=(
  build-essential
  cmake
  libsqlite3-dev
  # lumo import reads Jet database files with libmdb.
  mdbtools-dev
  libgtest-dev
  libbenchmark-dev
  python3
  # The fuzz targets (scripts/fuzz): clang with libFuzzer and the sanitizers.
  clang
  libclang-rt-dev
  # The Python module lumoaccess and its tests.
  pybind11-dev
  python3-dev
  python3-pytest
  # The export wizard: Qt Widgets, Qt Test, moc and the offscreen platform;
  # Qt's own Japanese texts; Japanese fonts for the captions.
  qt6-base-dev
  qt6-translations-l10n
  fonts-noto-cjk
)

lumo_install_missing() {
  local missing=() package
  for package in "${LUMO_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  if [ "${#missing[@]}" -eq 0 ]; then
    return 0
  fi
  echo "==> installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

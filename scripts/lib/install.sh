# Shared by the scripts (sourced, not run): installs the Debian packages a
# script needs when any of them is missing, and runs its steps quietly,
# one line each, with the full output kept in a log file.

# What the project needs from the system, by need. The build of lumo and the
# library:
LUMO_PACKAGES_BUILD=(
  # With dpkg-dev, whose dpkg-shlibdeps gives the .deb its dependencies.
  build-essential
  cmake
  pkg-config
  libsqlite3-dev
  # lumo import reads Jet database files with libmdb.
  mdbtools-dev
  python3
  # lumo sync: HTTPS with libcurl, the servers' XML answers with libxml2.
  libcurl4-openssl-dev
  libxml2-dev
  # lumo print hagaki: pango and cairo lay out and draw the vertical text,
  # IPAex Mincho is the cards' default font.
  libpango1.0-dev
  libcairo2-dev
  fonts-ipaexfont-mincho
)
# The export wizard: Qt Widgets, Qt Test, moc and the offscreen platform;
# Qt's own Japanese texts; Japanese fonts for the captions.
LUMO_PACKAGES_WIZARD=(
  qt6-base-dev
  qt6-translations-l10n
  fonts-noto-cjk
)
# Everything the tests, the benchmarks and the fuzz targets add.
LUMO_PACKAGES_TEST=(
  libgtest-dev
  libbenchmark-dev
  # The fuzz targets (scripts/fuzz): clang with libFuzzer and the sanitizers.
  clang
  libclang-rt-dev
  # The Python module lumoaccess, its tests and `pip install .`.
  pybind11-dev
  python3-dev
  python3-pytest
  python3-setuptools
  python3-pip
  python3-wheel
  # The package test checks the .deb files with Debian's own rules.
  lintian
  # 住所録's run on a virtual display (tests/addressbook/xvfb-run.sh):
  # xvfb-run, and xdotool to type into the program.
  xvfb
  xauth
  xdotool
  # An independent reader of the exported vCards (tests/exchange).
  python3-vobject
  # The sync tests run real CardDAV servers.
  radicale
  xandikos
  # The card tests render PDFs and read them back (pdftoppm, pdftotext, pdffonts).
  poppler-utils
)
# scripts/profile: callgrind and callgrind_annotate.
LUMO_PACKAGES_PROFILE=(
  valgrind
)

lumo_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# lumo_install_missing [build] [wizard] [test] [profile]: installs the
# missing packages of the groups named (build, wizard and test when none
# is named).
lumo_install_missing() {
  local groups=("$@") wanted=() missing=() package group
  [ "${#groups[@]}" -gt 0 ] || groups=(build wizard test)
  for group in "${groups[@]}"; do
    case "$group" in
      build) wanted+=("${LUMO_PACKAGES_BUILD[@]}") ;;
      wizard) wanted+=("${LUMO_PACKAGES_WIZARD[@]}") ;;
      test) wanted+=("${LUMO_PACKAGES_TEST[@]}") ;;
      profile) wanted+=("${LUMO_PACKAGES_PROFILE[@]}") ;;
    esac
  done
  for package in "${wanted[@]}"; do
    lumo_installed "$package" || missing+=("$package")
  done
  [ "${#missing[@]}" -gt 0 ] || return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  lumo_step "installing ${#missing[@]} packages with apt-get" \
    "${sudo[@]}" sh -c 'apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@"' \
    apt "${missing[@]}"
}

# Compile flags of the trees the scripts build (RelWithDebInfo's flags
# replaced). Compiling is most of a full test run, and full debug
# information about doubles its cost: line tables (-g1) are all that a
# sanitizer's report and a backtrace need. The sanitizer trees use -O1, as
# the sanitizers' documentation recommends; the others keep -O2 for the
# warnings only the optimiser finds (-Wmaybe-uninitialized).
LUMO_FLAGS_OPTIMISED="-O2 -g1 -DNDEBUG"
LUMO_FLAGS_SANITIZED="-O1 -g1 -DNDEBUG"

# lumo_log NAME: the steps that follow write their output to
# build/logs/NAME.log (started afresh).
lumo_log() {
  LUMO_LOG="$root/build/logs/$1.log"
  mkdir -p "$(dirname "$LUMO_LOG")"
  : >"$LUMO_LOG"
}

# lumo_step "what it does" COMMAND...: prints one line, runs the command
# with its output in the log; on failure prints the end of the log, names
# the log file and exits.
lumo_step() {
  local what="$1" status=0
  shift
  [ -n "${LUMO_LOG:-}" ] || lumo_log "$(basename "$0")"
  echo "${what}..."
  echo "==> ${what}: $*" >>"$LUMO_LOG"
  "$@" >>"$LUMO_LOG" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "FAILED while ${what} (exit status ${status}); the end of the log:" >&2
    tail -n 80 "$LUMO_LOG" | sed 's/^/  | /' >&2
    echo "The full log: $LUMO_LOG" >&2
    exit "$status"
  fi
}

# Sourced by the tools written in bash and by the Makefile.

# tools/platforms without its comments: name toolchain runner downloads...
platforms() { grep -v '^#' "$(dirname "${BASH_SOURCE[0]}")/platforms"; }

# Wine with a prefix of its own in folder $1, made before any test runs so
# that its first-run messages never reach them; one server until stop_wine.
start_wine() {
  export WINEPREFIX=$1 WINEDEBUG=-all
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1 && wineserver -p && wineserver -w
}
stop_wine() { wineserver -k; }

# CTest's output without a line per test started or passed.
quiet_passes() { grep -vE '^ +Start +[0-9]+: |^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed '; }

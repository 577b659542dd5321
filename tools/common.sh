# Sourced by the tools written in bash and by the Makefile.

# tools/platforms without its comments: name downloads...
platforms() { grep -v '^#' "$(dirname "${BASH_SOURCE[0]}")/platforms"; }

# emulator NAME: the command that the platform's toolchain file runs its
# programs under; nothing for this machine's, which has no toolchain file.
emulator() {
  local file=cmake/$1.cmake
  [ -f "$file" ] || return 0
  cmake -DCMAKE_TOOLCHAIN_FILE="$file" -P cmake/emulator.cmake
}

# CTest's output without a line per test started or passed.
quiet_passes() { grep -vE '^ +Start +[0-9]+: |^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed '; }

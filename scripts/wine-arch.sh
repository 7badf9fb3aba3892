# shellcheck shell=bash
# Source this file: it decides, once per run, which Wine the scripts use, and
# exports the decision for everything they start:
#   FLUTT_WINE_ARCH=32   this machine runs 32-bit x86 programs: the 32-bit saver
#                        is run and tested in 32-bit Wine, the 64-bit one in a
#                        64-bit prefix beside it;
#   FLUTT_WINE_ARCH=64   it does not (or FLUTT_WINE_ARCH=64 was set): only 64-bit
#                        Wine, started through its own loader, runs anything.
#   FLUTT_WINE_ARCH_WHY  one line saying why.
# The test is to start a 32-bit program: some x86-64 kernels refuse them all
# ("Exec format error") whatever packages are installed.

_flutt_runs_32bit_code() {
    local dir probe
    dir=${FLUTT_BUILD_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build}
    mkdir -p "$dir" || return 1
    probe=$(mktemp "$dir/.i386-probe.XXXXXX") || return 1
    # The smallest i386 Linux program: ELF header, one program header, and
    # "mov eax, 1; xor ebx, ebx; int 0x80" (exit 0).
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'`
          `'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'`
          `'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'`
          `'\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08'`
          `'\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00'`
          `'\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null
    local status=$?
    rm -f "$probe"
    return $status
}

if [[ -z ${FLUTT_WINE_ARCH_WHY:-} ]]; then
    case ${FLUTT_WINE_ARCH:-} in
    64)
        FLUTT_WINE_ARCH_WHY="FLUTT_WINE_ARCH=64 forces the 64-bit path"
        ;;
    "")
        if _flutt_runs_32bit_code; then
            FLUTT_WINE_ARCH=32
            FLUTT_WINE_ARCH_WHY="this machine runs 32-bit x86 programs"
        else
            FLUTT_WINE_ARCH=64
            FLUTT_WINE_ARCH_WHY="this machine runs no 32-bit x86 programs"
        fi
        ;;
    *)
        echo "wine-arch.sh: FLUTT_WINE_ARCH may only be 64 (or unset), not '$FLUTT_WINE_ARCH'" >&2
        return 1
        ;;
    esac
    export FLUTT_WINE_ARCH FLUTT_WINE_ARCH_WHY
fi

# Sourced by tools/test.sh and tools/run-tivolan: the Debian packages a run needs, installed when
# missing (unattended, as root or through sudo), and the Wine server of this machine.

packages=(cmake ninja-build g++ g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 xvfb xauth
          x11-utils imagemagick fonts-nanum googletest python3 clang libclang-rt-14-dev nsis ccache
          openssl osslsigncode fonts-wine)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "== Installing: ${missing[*]}"
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

find_wineserver() {
    command -v wineserver || { [ -x /usr/lib/wine/wineserver ] && echo /usr/lib/wine/wineserver; } ||
        echo /usr/lib/wine/wineserver64
}

find_wine() {
    command -v wine64 || command -v wine || echo /usr/lib/wine/wine64
}

# The first display number from 90 up with neither a lock nor a socket.
free_display_number() {
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    echo "$n"
}

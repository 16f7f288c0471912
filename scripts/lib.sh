# Shared shell functions of the project scripts. Source it; do not run it.
QX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

qx_log() { printf '[quenrix] %s\n' "$*" >&2; }

# The build that Wine can run on this machine. The shipped program is 32-bit, but some
# kernels (sandboxed ones among them) refuse 32-bit Linux binaries, and 32-bit Wine is one.
# There the 64-bit build of the same sources is what runs and is tested.
qx_wine_preset() {
  if [ -n "${QX_WINE_PRESET:-}" ]; then echo "$QX_WINE_PRESET"; return; fi
  if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo windows
  else
    echo windows64
  fi
}

qx_wine_binary() {  # $1: preset
  if [ "$1" = windows ]; then echo /usr/lib/wine/wine; else echo /usr/lib/wine/wine64; fi
}

qx_missing_packages() {
  local missing=()
  command -v i686-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-i686 mingw-w64-i686-dev)
  command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-x86-64 mingw-w64-x86-64-dev)
  [ -x /usr/lib/wine/wine64 ] || missing+=(wine wine64)
  dpkg -s wine32:i386 >/dev/null 2>&1 || missing+=(wine32:i386)
  command -v Xvfb >/dev/null || missing+=(xvfb)
  command -v xdotool >/dev/null || missing+=(xdotool)
  [ -x /usr/bin/convert ] && [ -x /usr/bin/compare ] || missing+=(imagemagick)
  command -v cmake >/dev/null || missing+=(cmake)
  [ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
  command -v clang++ >/dev/null || missing+=(clang)
  dpkg -s libclang-rt-14-dev >/dev/null 2>&1 || missing+=(libclang-rt-14-dev)
  command -v python3 >/dev/null || missing+=(python3)
  command -v openssl >/dev/null || missing+=(openssl)
  command -v osslsigncode >/dev/null || missing+=(osslsigncode)
  printf '%s\n' "${missing[@]}"
}

# Installs what is missing; does nothing when everything is there.
qx_install_toolchain() {
  local pkgs
  pkgs=$(qx_missing_packages)
  [ -z "$pkgs" ] && return 0
  qx_log "installing: $(echo $pkgs)"
  local sudo=""
  [ "$(id -u)" = 0 ] || sudo=sudo
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  # A mirror caught in the middle of a sync fails an index or two; what the other indexes
  # hold is usually enough, so a failed refresh is retried and then lived with.
  local try
  for try in 1 2 3; do
    $sudo apt-get update -qq && break
    qx_log "package index refresh failed (attempt $try)"
    sleep $((try * 10))
  done
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $pkgs >/dev/null && return 0
  # 32-bit Wine needs i386 packages at the same versions as their amd64 twins. When the
  # security archive's i386 index lags its amd64 one, the main archive alone still has
  # matching pairs: try once more with it; failing that, install the rest and let the tests
  # run on 64-bit Wine.
  local plain
  plain=$(mktemp -d)
  qx_sources_without_security "$plain"
  # shellcheck disable=SC2086
  if $sudo apt-get -o Dir::Etc::sourcelist=/dev/null -o Dir::Etc::sourceparts="$plain" update -qq &&
     DEBIAN_FRONTEND=noninteractive $sudo apt-get -o Dir::Etc::sourcelist=/dev/null \
       -o Dir::Etc::sourceparts="$plain" install -y -qq $pkgs >/dev/null; then
    rm -rf "$plain"
    $sudo apt-get update -qq || true
    return 0
  fi
  rm -rf "$plain"
  $sudo apt-get update -qq || true
  qx_log "installing without wine32:i386; the Windows tests will run the 64-bit build"
  pkgs=$(echo "$pkgs" | grep -vx 'wine32:i386' || true)
  # shellcheck disable=SC2086
  [ -z "$pkgs" ] || DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $pkgs >/dev/null
}

# Copies the machine's package sources into folder $1 without the security archive.
qx_sources_without_security() {
  local dir=$1 f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # Stanzas are separated by blank lines; drop the ones that name the security archive.
    awk -v RS= -v ORS='\n\n' '!/security/' "$f" > "$dir/$(basename "$f")"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    grep -v security "$f" > "$dir/$(basename "$f").list" || true
  done
}

# An X server for Wine. One display per user of the scripts; reused when alive. QX_SCREEN
# (WIDTHxHEIGHT) sizes a new one.
qx_start_display() {
  local num=${QX_DISPLAY_NUM:-77} size=${QX_SCREEN:-1024x768}
  local lock=/tmp/.X${num}-lock
  if [ -f "$lock" ] && kill -0 "$(tr -d ' ' <"$lock")" 2>/dev/null; then
    export DISPLAY=:$num
    return 0
  fi
  rm -f "$lock" "/tmp/.X11-unix/X$num"
  setsid nohup Xvfb ":$num" -screen 0 "${size}x24" -nolisten tcp >/tmp/qx-xvfb-$num.log 2>&1 < /dev/null &
  for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$num" ] && break
    sleep 0.1
  done
  export DISPLAY=:$num
}

# The display of the scaled prefixes: a screen of its own, large enough for a window at 200 %,
# so that the build's usual screen keeps the size the other tests expect.
QX_SCALED_SCREEN=2400x1600
qx_scaled_display_num() { echo "${QX_SCALED_DISPLAY_NUM:-$(( ${QX_DISPLAY_NUM:-77} + 100 ))}"; }

# Uses the display and prefix of system dpi QX_DPI when it is set to other than 96: a prefix
# per scale beside the build's own ($1/wineprefix-dpiN), made once and reused like it.
# Prints the prefix to use.
qx_scaled_session() {  # $1: build folder
  local dpi=${QX_DPI:-96}
  if [ "$dpi" = 96 ]; then echo "${QX_WINEPREFIX:-$1/wineprefix}"; return; fi
  echo "${QX_WINEPREFIX:-$1/wineprefix-dpi$dpi}"
}

# A Wine prefix in the build folder, with the X11 driver told to leave window
# decoration to the program (so custom non-client painting and window regions show), and with
# $3 the system dpi (LogPixels) it is made at.
qx_prepare_prefix() {  # $1: prefix folder, $2: wine binary, $3: dpi (default 96)
  local prefix=$1 wine=$2 dpi=${3:-96}
  export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.qx-ready" ]; then
      qx_log "preparing Wine prefix $prefix"
      "$wine" wineboot -i >/dev/null 2>&1 || true
      "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
      "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
      if [ "$dpi" != 96 ]; then
        "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
      fi
      wineserver -w
      touch "$prefix/.qx-ready"
    fi
  ) 9>"$prefix.lock"
}

# Trusts the test root of certificate folder $1 (made by scripts/test-certs) inside Wine prefix
# $2, with the trust tool $3 (tests/tools/testtrust.exe of a build). Only the project's own
# prefixes are ever given it; a prefix that already holds this root is left alone.
qx_trust_test_root() {
  local certs=$1 prefix=$2 tool=$3
  openssl x509 -in "$certs/root.crt" -outform DER -out "$certs/root.der"
  local marker
  marker="$prefix/.qx-test-root-$(sha256sum "$certs/root.der" | cut -c1-16)"
  [ -f "$marker" ] && return 0
  local windows_path="Z:${certs//\//\\}\\root.der"
  QX_WINEPREFIX=$prefix "$QX_ROOT/scripts/wine-run" "$tool" add-root "$windows_path" || return 1
  touch "$marker"
}

# Signs program $1 into $2 with the SHA-256 certificate $4 (quenrix, other or selfsigned) of
# certificate folder $3. With $5, the program is first padded with zero bytes to that size: the
# padding is part of what is signed, so the signature stays intact.
qx_sign_test_program() {
  local in=$1 out=$2 certs=$3 who=$4 pad=${5:-0}
  local unsigned
  unsigned=$(mktemp "$out.XXXXXX")
  cp "$in" "$unsigned"
  if [ "$pad" -gt "$(stat -c %s "$unsigned")" ]; then truncate -s "$pad" "$unsigned"; fi
  rm -f "$out"
  osslsigncode sign -certs "$certs/$who.crt" -key "$certs/$who.key" -h sha256 -n "Quenrix Kurulum" \
    -in "$unsigned" -out "$out" >/dev/null || { rm -f "$unsigned"; return 1; }
  rm -f "$unsigned"
}

#!/usr/bin/env bash
# Installs what building and testing tarvix needs on a Debian machine, and
# nothing that is there already. Safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 xvfb xserver-xephyr xdotool x11-utils imagemagick fonts-wqy-microhei
  locales python3 openssl ccache
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine takes the ANSI code page from the locale, but only once the locale
# exists: zh_TW.UTF-8 gives 950 (Big5), as on the users' systems; en_US.UTF-8
# gives 1252, as on an English Windows, where the tests run some cases again.
for locale_name in zh_TW en_US; do
  if ! locale -a 2>/dev/null | grep -qi "^${locale_name}\.utf-\?8$"; then
    echo "setup: generating the ${locale_name}.UTF-8 locale"
    as_root localedef -i "$locale_name" -f UTF-8 "${locale_name}.UTF-8"
  fi
done

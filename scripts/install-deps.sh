#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need.
# Idempotent: says nothing and touches nothing when all are present.
set -euo pipefail

packages=(
    cmake ninja-build g++ ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libsqlite3-dev sqlite3 libxlsxwriter-dev python3-openpyxl
    libpq-dev postgresql
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth imagemagick poppler-utils fonts-dejavu-core
    python3 time valgrind
    clang libclang-rt-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages: ${missing[*]}" >&2
    echo "install-deps: run this script as root (or with sudo) to install them." >&2
    exit 1
fi
echo "install-deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

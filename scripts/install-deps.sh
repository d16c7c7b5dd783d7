#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# Usage: scripts/install-deps.sh [--source-packages] [extra packages...]
# --source-packages: apt also lists Debian's source packages of this release (a deb-src entry), so
# that `apt-get source` works; dpkg-dev unpacks them.
set -euo pipefail

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

if [ "${1:-}" = --source-packages ]; then
  shift
  if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    release=$(. /etc/os-release && echo "$VERSION_CODENAME")
    echo "Adding Debian's source packages of $release to apt"
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\n%s\n' \
      "$release" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
      $sudo tee /etc/apt/sources.list.d/vuv2ez-sources.sources >/dev/null
    $sudo apt-get update -qq
  fi
fi

packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev zlib1g-dev
  libncurses-dev libosd-dev libstb-dev pkg-config tmux dpkg-dev file clang-format "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs the Debian packages Kivo needs to build, run and test. Idempotent and silent when
# everything is present. Usage: install-deps.sh [run|test]
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev libxcb1-dev
  libjpeg62-turbo-dev
  fonts-liberation fonts-dejavu-core
)
case "${1:-run}" in
  run)
    packages+=(xvfb xauth)
    ;;
  test)
    packages+=(libgtest-dev xvfb xauth openbox libx11-dev libxext-dev libxtst-dev libjpeg-turbo-progs)
    ;;
  *)
    echo "usage: $0 [run|test]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "Missing packages: ${missing[*]}; run this script as root or install sudo." >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null

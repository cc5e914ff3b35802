#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the package need; does nothing when
# they are all present.
set -euo pipefail

packages=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev libpng-dev libfontconfig-dev fontconfig
  fonts-liberation2 fonts-dejavu-core fonts-crosextra-carlito fonts-crosextra-caladea
  fonts-urw-base35 fonts-symbola fonts-wqy-microhei fonts-tlwg-garuda-otf
  emf2svg poppler-utils python3-numpy python3-pil
  cups cups-client cups-filters libcups2-dev
  shared-mime-info desktop-file-utils xdg-utils libfile-mimeinfo-perl
  dpkg-dev file)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get -o DPkg::Lock::Timeout=300 update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=300 install -y -q --no-install-recommends "${missing[@]}"

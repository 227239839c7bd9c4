#!/usr/bin/env bash
# Builds the Debian package build-package/mirel-vantor_<version>_<arch>.deb:
# a release build installed under /usr, with Debian's hardening flags, then
# checked (packaging/check-package.sh). Install it with
#   sudo apt install ./build-package/mirel-vantor_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

dir=build-package
jobs=$(nproc 2>/dev/null || echo 2)
# Debian's compiler and linker flags (fortified functions, stack protector,
# read-only relocations), as a Debian build would use them.
eval "$(dpkg-buildflags --export=sh)"
export QT_QPA_PLATFORM=offscreen

rm -f "$dir"/mirel-vantor_*.deb
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DMV_BUILD_TESTS=OFF
cmake --build "$dir" -j "$jobs"
(cd "$dir" && cpack -G DEB)
bash packaging/check-package.sh "$dir"/mirel-vantor_*.deb

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
# Given on every configure, so a changed dpkg default reaches a kept build
# folder too; CPPFLAGS (_FORTIFY_SOURCE) go with the compiler flags.
flags() { dpkg-buildflags --get "$1"; }
export QT_QPA_PLATFORM=offscreen

rm -f "$dir"/mirel-vantor_*.deb
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DMV_BUILD_TESTS=OFF \
  -DCMAKE_C_FLAGS="$(flags CFLAGS) $(flags CPPFLAGS)" \
  -DCMAKE_CXX_FLAGS="$(flags CXXFLAGS) $(flags CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" \
  -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)" \
  -DCMAKE_MODULE_LINKER_FLAGS="$(flags LDFLAGS)"
cmake --build "$dir" -j "$jobs"
(cd "$dir" && cpack -G DEB)
bash packaging/check-package.sh "$dir"/mirel-vantor_*.deb

#!/usr/bin/env bash
# Checks a built mirel-vantor .deb: the files it must hold, its desktop entry
# and AppStream data, its dependencies, and lintian's verdict. Each tool that
# is missing is reported and skipped; any error fails the check.
set -euo pipefail
deb=${1:?usage: check-package.sh mirel-vantor_VERSION_ARCH.deb}
here=$(cd "$(dirname "$0")" && pwd)
failed=0
fail() { echo "check-package: $*" >&2; failed=1; }

contents=$(dpkg-deb --contents "$deb")
expected=(
  ./usr/bin/mirel-vantor ./usr/bin/ecuctl ./usr/bin/ecu-sim
  ./usr/lib/mirel-vantor/MirelVantor ./usr/lib/mirel-vantor/libSerOxtDL.so
  ./usr/lib/mirel-vantor/ecuctl ./usr/lib/mirel-vantor/ecu-sim
  ./usr/lib/mirel-vantor/DizionarioVnt.dbf ./usr/lib/mirel-vantor/DizionarioVnt.cpg
  ./usr/lib/mirel-vantor/immagini/ITALIANO.bmp ./usr/lib/mirel-vantor/immagini/POLSKI.bmp
  ./usr/share/applications/it.oxt.MirelVantor.desktop
  ./usr/share/metainfo/it.oxt.MirelVantor.metainfo.xml
  ./usr/share/icons/hicolor/48x48/apps/it.oxt.MirelVantor.png
  ./usr/share/icons/hicolor/256x256/apps/it.oxt.MirelVantor.png
  ./usr/lib/udev/rules.d/60-mirel-vantor.rules
  ./usr/share/doc/mirel-vantor/copyright ./usr/share/doc/mirel-vantor/changelog.gz
  ./usr/share/man/man1/mirel-vantor.1.gz ./usr/share/man/man1/ecuctl.1.gz
  ./usr/share/man/man1/ecu-sim.1.gz
  ./usr/share/mirel-vantor/MirelVantor.conf
)
for path in "${expected[@]}"; do
  grep -qF " $path" <<<"$contents" || fail "missing $path"
done
# Nothing of the build or the tests.
if grep -E 'Test|MakeFlags|MakeIcons|MakeDictionary|link_bench' <<<"$contents"; then
  fail "build or test files in the package"
fi

depends=$(dpkg-deb --field "$deb" Depends)
echo "check-package: Depends: $depends"
# The libraries it links, and what it loads without linking: the platform
# plugins and Qt's translations.
for package in libqt6widgets6 libshp qt6-qpa-plugins qt6-translations-l10n; do
  grep -qE "(^|, )$package" <<<"$depends" || fail "no dependency on $package"
done
# The maintainer scripts put the settings' defaults in /etc (a path with a
# space cannot be a conffile); the package itself has nothing there.
grep -q " ./etc/" <<<"$contents" && fail "files under /etc in the package"
for script in postinst prerm postrm; do
  dpkg-deb --ctrl-tarfile "$deb" | tar -tf - "./$script" >/dev/null 2>&1 || fail "no $script"
done
defaults=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/mirel-vantor/MirelVantor.conf)
grep -qx "MainPath=/usr/lib/mirel-vantor" <<<"$defaults" ||
  fail "the settings' defaults do not name /usr/lib/mirel-vantor"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$here/it.oxt.MirelVantor.desktop" || fail "desktop entry invalid"
else
  echo "check-package: desktop-file-validate not installed, skipped"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$here/it.oxt.MirelVantor.metainfo.xml" ||
    fail "AppStream data invalid"
else
  echo "check-package: appstreamcli not installed, skipped"
fi
if command -v lintian >/dev/null; then
  # Errors fail the check; warnings are shown.
  lintian --fail-on error "$deb" ||
    fail "lintian reports errors"
else
  echo "check-package: lintian not installed, skipped"
fi

[ "$failed" -eq 0 ] && echo "check-package: $deb is fine"
exit "$failed"

#!/usr/bin/env bash
# debian_package_test.sh BUILD_DIR APP_ID: the build folder's Debian package holds what a desktop user
# needs, with its dependencies worked out (the window's platform plugins too), its tree passes
# AppStream's check, and lintian finds no error, no warning and no missing hardening.
set -euo pipefail
out=$(mktemp -d) && trap 'rm -rf "$out"' EXIT
cpack -G DEB --config "$1/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(echo "$out"/*.deb) && files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in bin/quarry bin/quarry-cli share/applications/$2.desktop share/metainfo/$2.metainfo.xml \
  share/icons/hicolor/{scalable/apps/quarry.svg,48x48/apps/quarry.png} share/man/man1/quarry{,-cli}.1.gz; do
  grep -qxF "./usr/$path" <<<"$files" || { echo "not in the package: /usr/$path"; exit 1; }
done
[[ $(dpkg-deb -f "$deb" Depends) == qt6-qpa-plugins,*libqt6widgets6* ]] || { echo "no plugins or libraries"; exit 1; }
dpkg-deb -x "$deb" "$out/root" && appstreamcli validate-tree --no-net "$out/root"
report=$(lintian --display-info --fail-on none "$deb" 2>/dev/null)
! grep -E '^[EW]: |hardening-' <<<"$report"

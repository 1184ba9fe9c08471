#!/usr/bin/env bash
# Makes the Debian package of a build folder and checks that it installs what
# a desktop user needs, that its dependencies were worked out, and that the
# installed tree passes AppStream's check of a program's files.
#   debian_package_test.sh BUILD_DIR APP_ID
set -euo pipefail
build=$1 id=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(echo "$out"/*.deb)
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in bin/quarry bin/quarry-cli share/applications/$id.desktop \
  share/metainfo/$id.metainfo.xml share/icons/hicolor/scalable/apps/quarry.svg \
  share/icons/hicolor/48x48/apps/quarry.png share/man/man1/quarry.1.gz \
  share/man/man1/quarry-cli.1.gz; do
  grep -qxF "./usr/$path" <<<"$files" || { echo "not in the package: /usr/$path"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt6widgets6* ]] || { echo "dependencies not worked out: $depends"; exit 1; }
dpkg-deb -x "$deb" "$out/root"
appstreamcli validate-tree --no-net "$out/root"

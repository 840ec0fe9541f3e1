#!/usr/bin/env bash
# Builds the Debian package from the build tree (cpack -G DEB), unpacks it
# into a scratch root with dpkg -x, and checks that everything is where a
# desktop and a shell look for it.
#   check_deb.sh BUILD_DIR APP_ID VERSION
set -euo pipefail
build=$1 app=$2 version=$3
scratch=$(mktemp -d "$build/install-test.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

(cd "$build" && cpack -G DEB -B "$scratch/pkg" >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/pkg/*.deb)
dpkg-deb -x "$deb" "$scratch/root"
usr=$scratch/root/usr

# The package: its version, and dependencies computed from the programs' libraries.
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6core6 libc6; do
  [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

# The programs, on the PATH of the root, answering with the same version.
for p in qv7xx qv7xx-cli qv7xx-sim; do
  [ -x "$usr/bin/$p" ] || { fail "no usr/bin/$p"; continue; }
  [ "$("$usr/bin/$p" --version)" = "$p $version" ] || fail "$p --version"
done

# The desktop entry: the menu finds it by the application's id, starts a
# program of the package and shows an icon of the theme.
desktop=$usr/share/applications/$app.desktop
if [ -f "$desktop" ]; then
  grep -qx 'Name=QV-7xx' "$desktop" || fail "desktop entry Name"
  grep -qx 'Categories=Science;Electronics;' "$desktop" || fail "desktop entry Categories"
  exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -x "$usr/bin/$exec" ] || fail "desktop entry runs $exec, not in the package"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  for size in 16 22 24 32 48 64 128 256; do
    png=$usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
    # The PNG header: signature, then the width and height of IHDR.
    header=$(od -An -tx1 -N24 "$png" 2>/dev/null | tr -d ' \n')
    [ "${header:0:16}" = 89504e470d0a1a0a ] || { fail "no icon $png"; continue; }
    [ $((16#${header:32:8})) = "$size" ] && [ $((16#${header:40:8})) = "$size" ] || fail "icon $png is not $size pixels"
  done
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
  else
    echo "note: desktop-file-validate not installed, the entry is not validated"
  fi
else
  fail "no desktop entry $desktop"
fi

# AppStream data, naming the desktop entry and the version.
metainfo=$usr/share/metainfo/$app.metainfo.xml
grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$metainfo" || fail "metainfo launchable"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo release version"

# The help as HTML, and a manual page for each program.
[ -f "$usr/share/doc/qv7xx/html/index.html" ] && [ -f "$usr/share/doc/qv7xx/html/000-getting-started.html" ] ||
  fail "no help in usr/share/doc/qv7xx/html"
for p in qv7xx qv7xx-cli qv7xx-sim; do
  page=$usr/share/man/man1/$p.1.gz
  gzip -dc "$page" 2>/dev/null | grep -q "^\.TH \"\?${p^^}" || fail "no manual page $page"
  gzip -dc "$page" | grep -qF -- '\-\-version' || fail "$page does not describe the options"
done

[ $failures -eq 0 ] && echo "the package installs $(find "$scratch/root" -type f | wc -l) files where the desktop finds them"
exit $((failures > 0))

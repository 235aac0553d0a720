#!/usr/bin/env bash
# Checks an installation and the Debian package of a built tree:
#   check_install.sh install BUILD_DIR   cmake --install into a temporary prefix, then runs the
#                                        installed orvane-cli on the installed sample DEM
#   check_install.sh deb BUILD_DIR       builds the .deb with CPack and lists its contents
set -euo pipefail
mode=$1
build=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The QGIS plugin under ROOT (a prefix): qgis_process, in a fresh profile where the plugin is
# enabled as a user enables it, lists the algorithms of every treatment of the installed package.
# (The program itself: Debian's /usr/bin/qgis_process wrapper adds --noversioncheck, which
# qgis_process refuses.)
check_qgis_plugin() {
  local root=$1 plugins="$1/share/qgis/python/plugins" listed declared
  [ -s "$plugins/orvane_processing/metadata.txt" ] || fail "the QGIS plugin is not installed"
  command -v qgis_process.bin >/dev/null || return 0
  mkdir -p "$work/home" && chmod 700 "$work/home"
  local qgis=(env HOME="$work/home" XDG_RUNTIME_DIR="$work/home" QT_QPA_PLATFORM=offscreen
              QGIS_PLUGINPATH="$plugins" PYTHONPATH="$root/lib/python3/dist-packages" qgis_process.bin)
  "${qgis[@]}" plugins enable orvane_processing >/dev/null 2>&1 || fail "qgis_process plugins enable"
  listed=$("${qgis[@]}" list 2>/dev/null | grep -c $'^\torvane:') || true
  declared=$(cd "$work" && PYTHONPATH="$root/lib/python3/dist-packages" /usr/bin/python3 -c \
             "import orvane; print(len(orvane.TREATMENTS))")
  [ "$listed" = "$declared" ] || fail "qgis_process lists $listed orvane algorithms, not $declared"
}

# The installed orvane-cli under ROOT (a prefix) writes a GeoTIFF of the sample DEM and reads
# it back: it finds the GDAL module of its own installation, not one named by the environment.
check_geotiff() {
  local root=$1 out
  out=$(env -u ORVANE_GDAL_MODULE "$root/bin/orvane-cli" export-geotiff \
          --dem "$root/share/orvane/data/jacksboro_m2.raw" --pixel 90 --out "$work/sample.tif" 2>&1) \
    || fail "export-geotiff: $out"
  out=$(env -u ORVANE_GDAL_MODULE "$root/bin/orvane-cli" info --dem "$work/sample.tif" --pixel 90 2>&1) \
    || fail "info on a GeoTIFF: $out"
  grep -qx 'columns=403' <<<"$out" || fail "info on a GeoTIFF: $out"
  rm -f "$work/sample.tif"
}

case "$mode" in
install)
  prefix="$work/usr"
  cmake --install "$build" --prefix "$prefix" >/dev/null
  for f in bin/orvane-cli share/orvane/data/jacksboro_m2.raw share/orvane/data/jacksboro_m2.txt \
           share/orvane/data/README.md share/applications/orvane.desktop \
           share/mime/packages/orvane.xml share/icons/hicolor/scalable/apps/orvane.svg \
           share/icons/hicolor/48x48/apps/orvane.png share/icons/hicolor/256x256/apps/orvane.png \
           share/man/man1/orvane.1 share/man/man1/orvane-cli.1; do
    [ -s "$prefix/$f" ] || fail "$f is not installed"
  done
  if grep -q '^ORVANE_BUILD_GUI:BOOL=ON' "$build/CMakeCache.txt"; then
    [ -x "$prefix/bin/orvane" ] || fail "bin/orvane is not installed"
  fi
  grep -q '^orvane-cli [0-9]' <<<"$("$prefix/bin/orvane-cli" --version)" || fail "orvane-cli --version"
  info=$("$prefix/bin/orvane-cli" info --dem "$prefix/share/orvane/data/jacksboro_m2.raw" --pixel 90)
  grep -qx 'lines=344' <<<"$info" || fail "info: $info"
  grep -qx 'columns=403' <<<"$info" || fail "info: $info"
  # GeoTIFFs go through the GDAL module, found by the installed program where it was installed.
  module=$(find "$prefix/lib" -path '*/orvane/liborvane_gdal.so' -print -quit)
  [ -n "$module" ] || fail "the GDAL module liborvane_gdal.so is not installed"
  check_geotiff "$prefix"
  # The manual has a section for every command of the program.
  for command in $("$prefix/bin/orvane-cli" --help | sed -n '/^Subcommands:/,$s/^  \([a-z0-9-]*\) .*/\1/p'); do
    grep -q "^\.SS $command\$" "$prefix/share/man/man1/orvane-cli.1" || fail "no $command in orvane-cli.1"
  done
  if grep -q '^ORVANE_BUILD_PYTHON:BOOL=ON' "$build/CMakeCache.txt"; then
    # The package for the system Python, importable from the installed tree alone.
    max=$(cd "$work" && PYTHONPATH="$prefix/lib/python3/dist-packages" /usr/bin/python3 -c \
      "import orvane; print(orvane.slope(orvane.read_dem('$prefix/share/orvane/data/jacksboro_m2.raw', pixel=90)).max())") \
      || fail "import orvane from the installed tree"
    [ -n "$max" ] || fail "orvane.slope printed nothing"
    check_qgis_plugin "$prefix"
  fi
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/orvane.desktop" || fail "desktop entry"
  fi
  if command -v man >/dev/null; then
    grep -q 'extract-drainage' <<<"$(MANWIDTH=100 man -l "$prefix/share/man/man1/orvane-cli.1" 2>&1)" \
      || fail "man orvane-cli does not render"
  fi
  echo "install: 1 passed, 0 failed"
  ;;
deb)
  (cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null)
  deb=$(ls "$work"/orvane_*.deb) || fail "no .deb built"
  control=$(dpkg-deb -I "$deb")
  grep -q '^ Depends: .*libqt6widgets6' <<<"$control" || fail "Depends lacks Qt: $control"
  # Through the GDAL module: the programs themselves no longer link GDAL.
  grep -q '^ Depends: .*libgdal' <<<"$control" || fail "Depends lacks GDAL: $control"
  contents=$(dpkg-deb -c "$deb")
  for f in ./usr/bin/orvane-cli ./usr/share/orvane/data/jacksboro_m2.raw \
           ./usr/share/applications/orvane.desktop ./usr/share/man/man1/orvane-cli.1; do
    grep -q " $f" <<<"$contents" || fail "$f not in $(basename "$deb")"
  done
  grep -q ' \./usr/lib/.*orvane/liborvane_gdal\.so$' <<<"$contents" \
    || fail "the GDAL module is not in $(basename "$deb")"
  # The packaged programs, unpacked elsewhere, find the packaged module.
  dpkg-deb -x "$deb" "$work/root"
  check_geotiff "$work/root/usr"
  if grep -q '^ORVANE_BUILD_PYTHON:BOOL=ON' "$build/CMakeCache.txt"; then
    for f in ./usr/lib/python3/dist-packages/orvane/__init__.py ./usr/lib/python3/dist-packages/orvane/_orvane \
             ./usr/share/qgis/python/plugins/orvane_processing/metadata.txt \
             ./usr/share/qgis/python/plugins/orvane_processing/provider.py; do
      grep -q " $f" <<<"$contents" || fail "$f not in $(basename "$deb")"
    done
    check_qgis_plugin "$work/root/usr"
  fi
  echo "deb: 1 passed, 0 failed"
  ;;
*) fail "unknown mode $mode" ;;
esac

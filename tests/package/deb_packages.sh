#!/bin/bash
# Builds the Debian packages of a shared build, has lintian check them, extracts each into a
# scratch root and runs the programs and the Python module from there:
#   deb_packages.sh BUILD_DIR MULTIARCH
set -euo pipefail
build=$1
multiarch=$2
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# Whether the output of a command matches a pattern; read whole, so that an early match does
# not cut the command off.
prints() {
    local pattern=$1 output
    shift
    output=$("$@") || return 1
    grep -q -- "$pattern" <<< "$output"
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/debs" > "$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
packages=(ixoinstrsetups libixoinstrsetups3 libixoinstrsetups-dev ixoinstrsetups-designer-plugin
          python3-ixoinstrsetups)
debs=()
for package in "${packages[@]}"; do
    deb=$(ls "$work/debs/${package}_${version}_"*.deb 2> /dev/null) || fail "no package $package"
    debs+=("$deb")
done

echo "== lintian"
lintian --fail-on error --suppress-tags-from-file /dev/null "${debs[@]}" || fail "lintian errors"

echo "== dependencies"
depends_of() { dpkg-deb -f "$work/debs/$1_${version}_"*.deb Depends; }
depends_on() { prints "$2" depends_of "$1"; }
for package in ixoinstrsetups libixoinstrsetups3 ixoinstrsetups-designer-plugin; do
    depends_on "$package" 'libqt6core6' || fail "$package does not depend on Qt: $(depends_of "$package")"
done
for package in ixoinstrsetups ixoinstrsetups-designer-plugin python3-ixoinstrsetups libixoinstrsetups-dev; do
    depends_on "$package" "libixoinstrsetups3 (= $version)" ||
        fail "$package does not depend on the library: $(depends_of "$package")"
done
depends_on python3-ixoinstrsetups 'python3 (>=' || fail "the module does not depend on python3"

root=$work/root
for deb in "${debs[@]}"; do
    dpkg-deb -x "$deb" "$root"
done
libdir=$root/usr/lib/$multiarch
echo "== one shared library, linked by every program, plugin and the module"
[[ $(readelf -d "$libdir/libixoinstrsetups.so.3") =~ SONAME.*\[libixoinstrsetups\.so\.3\] ]] ||
    fail "no SONAME libixoinstrsetups.so.3"
for binary in usr/bin/ixo-setups usr/bin/ixo-states usr/bin/ixo-instrument-sim \
              "usr/lib/$multiarch/qt6/plugins/designer/libixoinstrsetupsdesigner.so" \
              usr/lib/python3/dist-packages/ixoinstrsetups/_core*.so; do
    # shellcheck disable=SC2086 # the module's name is a pattern
    [[ $(readelf -d $root/$binary) =~ NEEDED[^$'\n']*\[libixoinstrsetups\.so\.3\] ]] ||
        fail "$binary does not link the shared library"
done
# Hidden by default: what no header exports stays out of the library's symbol table.
nm -D --defined-only "$libdir/libixoinstrsetups.so.3" > "$work/symbols"
grep -q 'StateInfo' "$work/symbols" || fail "the library does not export StateInfo"
if grep -q 'qt_resource_data\|qInitResources' "$work/symbols"; then
    fail "the library exports its resources' internals"
fi

echo "== the programs from the extracted root"
export LD_LIBRARY_PATH=$libdir QT_QPA_PLATFORM=offscreen HOME=$work/home
prints "ixo-setups $version" "$root/usr/bin/ixo-setups" --version || fail "ixo-setups --version"
prints 'keysight-infiniivision' "$root/usr/bin/ixo-instrument-sim" --help ||
    fail "ixo-instrument-sim --help"
"$root/usr/bin/ixo-states" demo "$work/demo" > "$work/demo.log" 2>&1 ||
    { cat "$work/demo.log"; fail "ixo-states demo"; }
"$root/usr/bin/ixo-setups" --screenshot "$work/window.png" > /dev/null 2>&1 ||
    fail "ixo-setups --screenshot"
[ -s "$work/window.png" ] || fail "no picture of the window"
for country in 33 49 81; do
    [ -f "$libdir/ixoinstrsetups/translations/ixoinstrsetups_$country.qm" ] ||
        fail "the library package lacks catalogue $country"
done

echo "== man pages and desktop entry"
for page in ixo-setups ixo-states ixo-instrument-sim; do
    prints '^\.TH' zcat "$root/usr/share/man/man1/$page.1.gz" || fail "no man page $page(1)"
done
prints 'library audit' zcat "$root/usr/share/man/man1/ixo-states.1.gz" ||
    fail "ixo-states(1) lacks its help"
desktop-file-validate "$root/usr/share/applications/ixo-setups.desktop" || fail "desktop entry"
[ -f "$root/usr/share/icons/hicolor/scalable/apps/ixo-setups.svg" ] || fail "no icon"

echo "== import ixoinstrsetups"
PYTHONPATH=$root/usr/lib/python3/dist-packages PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 -c '
import sys, ixoinstrsetups as ix
assert ix.__file__.startswith(sys.argv[1]), ix.__file__
doc = ix.Document()
assert len(doc) == 0
print("ixoinstrsetups", ix.__file__)
' "$root" || fail "import ixoinstrsetups"
echo "all packages pass"

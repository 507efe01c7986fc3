#!/usr/bin/env bash
# Builds the program from scratch in its own build folder and makes what a
# user downloads, in OUT_DIR ($CORVALE_BUILD/package unless given):
#   Corvale-<version>-portable.zip  the product folder, unpacked anywhere
#   Corvale-<version>-setup.exe     the setup program (tools/installer.nsi)
# The version is the one of res/version.rc, which the About box shows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVALE_BUILD:-$root/build}
out=${1:-$build/package}
"$root/tools/bootstrap.sh"

version=$(sed -nE 's/^#define CORVALE_VERSION_TEXT "([0-9.]+)"$/\1/p' "$root/res/version.rc")
publisher=$(sed -nE 's/^ *VALUE "CompanyName", "([^"]+)"$/\1/p' "$root/res/version.rc")
copyright=$(sed -nE 's/^ *VALUE "LegalCopyright", "([^"]+)"$/\1/p' "$root/res/version.rc")
[[ $version =~ ^[0-9]+(\.[0-9]+){3}$ ]] || { echo "no version in res/version.rc" >&2; exit 1; }
[ -n "$publisher" ] || { echo "no CompanyName in res/version.rc" >&2; exit 1; }

# A clean build of the product alone: nothing of an earlier build or of the
# tests can slip into the package.
work=$build/package-build
rm -rf "$work"
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S "$root" -B "$work" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCORVALE_WERROR=ON >/dev/null
cmake --build "$work" --target corvale corvale_languages corvale_help_documents
product=$work/product
for file in corvale.exe akrip.dll VelmaronDialogs.dll help.htm tips.htm lang/lang_de.dat; do
  [ -f "$product/$file" ] || { echo "the product folder lacks $file" >&2; exit 1; }
done

mkdir -p "$out"
base=$out/Corvale-$version
rm -f "$base-portable.zip" "$base-setup.exe"

# The zip holds one folder, so that unpacking it puts nothing loose.
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
cp -r "$product" "$staging/Corvale-$version"
(cd "$staging" && zip -q -r -X "$base-portable.zip" "Corvale-$version")

# Every file of the product folder, for setup to install and the uninstaller
# to remove again (and nothing else).
list=$staging/product_files.nsh
{
  echo '!macro InstallProductFiles'
  (cd "$product" && find . -type f | sort) | while read -r file; do
    file=${file#./}
    dir=$(dirname "$file")
    if [ "$dir" = . ]; then echo '  SetOutPath "$INSTDIR"'; else echo "  SetOutPath \"\$INSTDIR\\${dir//\//\\}\""; fi
    echo "  File \"$product/$file\""
  done
  echo '  SetOutPath "$INSTDIR"'
  echo '!macroend'
  echo '!macro RemoveProductFiles'
  (cd "$product" && find . -type f | sort) | while read -r file; do
    file=${file#./}
    echo "  Delete \"\$INSTDIR\\${file//\//\\}\""
  done
  echo '!macroend'
} >"$list"

makensis -V2 -WX -DVERSION="$version" -DPUBLISHER="$publisher" -DCOPYRIGHT="$copyright" -DPRODUCT_FILES="$list" \
  -DOUT_FILE="$base-setup.exe" "$root/tools/installer.nsi"
echo "Built $base-portable.zip"
echo "Built $base-setup.exe"

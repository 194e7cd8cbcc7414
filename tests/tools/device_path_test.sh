#!/bin/bash
# ./lumivex path: Linux paths become the paths the device shows for them.
#   device_path_test.sh LUMIVEX BUILD_DIR
set -u
LUMIVEX=$1
export LUMIVEX_BUILD_DIR=$2
drive_c=$LUMIVEX_BUILD_DIR/wineprefix/drive_c
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/pics"
failures=0

check() {
  local path=$1 want=$2 got
  got=$(HOME=$home "$LUMIVEX" path "$path")
  if [ "$got" != "$want" ]; then
    echo "path [$path]: got [$got], want [$want]"
    failures=$((failures + 1))
    return 1
  fi
}

check "$home/pics/a b.bmp" '\Home\pics\a b.bmp'
check "$home" '\Home'
check "$home/pics/../c.gif" '\Home\c.gif'
check "$drive_c/My Documents/Rings.gif" '\My Documents\Rings.gif'
check "$drive_c" '\'
check /usr/share/x.tif 'Z:\usr\share\x.tif'
check "${home}x/a.pcx" "Z:${home//\//\\}x\\a.pcx"
# Device and Windows paths pass as they are.
check '\My Documents\Sunset.bmp' '\My Documents\Sunset.bmp'
check 'C:\windows\x.bmp' 'C:\windows\x.bmp'
# A relative path is taken from the current folder.
(cd "$home/pics" && check 'd e.tif' '\Home\pics\d e.tif') || failures=$((failures + 1))

[ $failures = 0 ] && echo "all paths as expected"
exit $((failures != 0))

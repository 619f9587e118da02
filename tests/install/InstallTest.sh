#!/usr/bin/env bash
# Installs the build into a throw-away root (DESTDIR, prefix /usr) and checks one side of the
# installed program as a desktop sees it:
#   files       the installed file list is the expected one
#   desktop     the desktop entry passes desktop-file-validate, the thumbnailer entry has its
#               keys, and every type the two name is defined by the file types
#   types       the file types: the XML is well formed, the MIME database takes it without a
#               complaint, and xdg-mime names every type, by extension and by its first bytes
#   thumbnail   the thumbnailer's command gives a PNG of the size asked, and the installed
#               program writes only into the user's folders
#   manuals     the manual pages render without a warning and say where the files live
#   completion  the bash completion offers the verbs and a verb's options
# Usage: InstallTest.sh BUILD_DIR SOURCE_DIR CHECK
set -euo pipefail
build=$1 source=$2 check=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
usr=$root/usr
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The user of the installed program: an empty home and no application folder of the build.
as_user() {
  mkdir -p "$work/home"
  env -u QUILLON_HOME -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION \
    HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" \
    XDG_DATA_HOME="$work/data" XDG_DATA_DIRS="$usr/share:/usr/share" PATH="$usr/bin:$PATH" "$@"
}

check_files() {
  (cd "$root" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) >"$work/installed.txt"
  diff -u "$source/tests/install/InstalledFiles.txt" "$work/installed.txt" ||
    fail "the installed files differ from tests/install/InstalledFiles.txt"
}

# The MIME types an entry names, one a line.
named_types() {
  sed -n 's/^MimeType=//p' "$1" | tr ';' '\n' | sed '/^$/d'
}

check_desktop() {
  local desktop=$usr/share/applications/quillon.desktop
  local thumbnailer=$usr/share/thumbnailers/quillon.thumbnailer
  local xml=$usr/share/mime/packages/quillon.xml
  desktop-file-validate "$desktop"
  [ "$(head -n 1 "$thumbnailer")" = "[Thumbnailer Entry]" ] || fail "no thumbnailer group"
  grep -q '^TryExec=quillon$' "$thumbnailer" || fail "the thumbnailer names no TryExec"
  grep -q '^Exec=quillon --render %o .*%s.* %i$' "$thumbnailer" || fail "the thumbnailer's Exec"
  local type
  for type in $(named_types "$desktop") $(named_types "$thumbnailer"); do
    grep -q "<mime-type type=\"$type\">" "$xml" || fail "$type is not defined in quillon.xml"
  done
}

# Files of each type, named as the type asks and once more without a name the type knows.
make_typed_files() {
  local demo=$build/demo files=$work/files
  mkdir -p "$files"
  cp "$demo/demo.md3" "$files/model.md3"
  cp "$demo/serpent.mdm" "$files/mesh.mdm"
  cp "$demo/serpent.mdx" "$files/animation.mdx"
  cp "$demo/serpent.aninc" "$files/script.aninc"
  printf 'MDSW\x04\0\0\0' >"$files/old.mds"
  printf 'MS3D000000\x04\0\0\0' >"$files/milkshape.ms3d"
  printf '{\n"classname" "worldspawn"\n}\n' >"$files/level.map"
  printf 'h_head,models/x/head.tga\n' >"$files/head.skin"
  printf 'models/x/head\n{\n}\n' >"$files/models.shader"
  for f in model.md3 mesh.mdm animation.mdx old.mds milkshape.ms3d; do
    cp "$files/$f" "$files/unnamed-${f#*.}"
  done
}

check_types() {
  local xml=$usr/share/mime/packages/quillon.xml
  xmllint --noout "$xml"
  local complaints
  complaints=$(as_user update-mime-database "$usr/share/mime" 2>&1)
  [ -z "$complaints" ] || fail "update-mime-database complained: $complaints"
  make_typed_files
  local expected=(
    model.md3=model/x-md3 mesh.mdm=model/x-mdm animation.mdx=model/x-mdx old.mds=model/x-mds
    milkshape.ms3d=model/x-ms3d level.map=text/x-idtech3-map head.skin=text/x-idtech3-skin
    models.shader=text/x-idtech3-shader script.aninc=text/x-idtech3-aninc
    unnamed-md3=model/x-md3 unnamed-mdm=model/x-mdm unnamed-mdx=model/x-mdx
    unnamed-mds=model/x-mds unnamed-ms3d=model/x-ms3d)
  local pair file type
  for pair in "${expected[@]}"; do
    file=${pair%%=*}
    type=$(as_user xdg-mime query filetype "$work/files/$file")
    [ "$type" = "${pair#*=}" ] || fail "$file is $type, not ${pair#*=}"
  done
}

png_size() {
  [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$1 is no PNG"
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }'
}

check_thumbnail() {
  local command
  command=$(sed -n 's/^Exec=//p' "$usr/share/thumbnailers/quillon.thumbnailer")
  command=${command//%o/$work/thumbnail.png}
  command=${command//%s/96}
  command=${command//%i/$build/demo/demo.md3}
  local words
  read -ra words <<<"$command"
  touch "$work/before"
  as_user "${words[@]}" || fail "the thumbnailer failed: $command"
  [ "$(png_size "$work/thumbnail.png")" = 96x96 ] || fail "the thumbnail is not 96x96"
  [ -d "$work/cache/quillon/tmp" ] || fail "no temporary folder in the user's cache folder"
  local written
  written=$(find "$root" -newer "$work/before" -print)
  [ -z "$written" ] || fail "the installed program wrote into its installation: $written"
}

check_manuals() {
  local page rendered
  for page in quillon quillon-cli; do
    rendered=$(LC_ALL=C.UTF-8 MANWIDTH=100 man --warnings -l "$usr/share/man/man1/$page.1.gz" 2>"$work/warnings")
    [ ! -s "$work/warnings" ] || fail "$page.1: $(cat "$work/warnings")"
    grep -q '^FILES' <<<"$rendered" || fail "$page.1 has no FILES section"
    grep -q 'XDG_CACHE_HOME/quillon/tmp/' <<<"$rendered" || fail "$page.1 names no cache folder"
  done
}

complete_words() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  _quillon_cli
  echo "${COMPREPLY[*]}"
}

check_completion() {
  # shellcheck disable=SC1091
  source "$usr/share/bash-completion/completions/quillon-cli"
  [ "$(complete_words quillon-cli exp)" = export ] || fail "the verb export is not offered"
  [ "$(complete_words quillon-cli --ver)" = --version ] || fail "--version is not offered"
  local offered
  offered=$(complete_words quillon-cli export model.md3 --sk)
  [ "$offered" = "--skin --skeletal" ] || [ "$offered" = "--skeletal --skin" ] ||
    fail "export --sk offers: $offered"
  [ -z "$(complete_words quillon-cli export mod)" ] || fail "a file name was completed as a word"
  complete -p quillon-cli | grep -q -- '-o default' || fail "file names are not completed"
}

"check_$check"

#!/usr/bin/env bash
# Checks of what Kolbrik Viewer installs into the system, run by CTest:
#   check.sh desktop DESKTOP_FILE
#   check.sh metainfo METAINFO_FILE
#   check.sh manpages KOLBRIK MAN_DIR            the pages render without
#                                                warnings and know every command and option
#   check.sh completion KOLBRIK COMPLETION_FILE  offers what --help lists (both made
#                                                from the commands' option tables)
#   check.sh package BUILD_DIR OUT_DIR           cpack, lintian, AppStream of the tree
#   check.sh install OUT_DIR                     install its package, run from /usr/bin, remove
set -uo pipefail

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# expect_same WHAT EXPECTED ACTUAL: two word lists equal as sets.
expect_same() {
  local want got
  want=$(tr ' ' '\n' <<<"$2" | sed '/^$/d' | sort -u | tr '\n' ' ')
  got=$(tr ' ' '\n' <<<"$3" | sed '/^$/d' | sort -u | tr '\n' ' ')
  [ "$want" = "$got" ] || fail "$1: expected [$want], got [$got]"
}
# The commands kolbrik --help lists, and the options KOLBRIK CMD --help lists.
commands_of() { "$1" --help | sed -n '/^Commands:/,/^$/p' | awk 'NR > 1 && NF { print $1 }'; }
options_of() { "$1" "$2" --help | grep -oE '^  --[a-z-]+' | tr -d ' '; }

check_desktop() {
  local out
  out=$(desktop-file-validate "$1" 2>&1) || fail "desktop-file-validate failed"
  [ -z "$out" ] || fail "desktop-file-validate says: $out"
}

check_metainfo() {
  # --no-net: the machine has no network; reaching the published
  # screenshots is the release's check.
  appstreamcli validate --strict --no-net --pedantic "$1" || fail "appstreamcli validate"
}

check_manpages() {
  local kolbrik=$1 dir=$2 page out
  for page in "$dir"/kolbrik.1.gz "$dir"/kolbrik-viewer.1.gz; do
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$out" ] || fail "$page: $out"
    [ "$(zcat "$page" | lexgrog - 2>/dev/null | grep -c ' - ')" -ge 1 ] || fail "$page: no whatis entry"
  done
  local source cmd opt
  source=$(zcat "$dir/kolbrik.1.gz")
  for cmd in $(commands_of "$kolbrik"); do
    grep -q "^\.SS \"${cmd//-/\\\\-} " <<<"$source" || fail "kolbrik(1) has no section for '$cmd'"
    for opt in $(options_of "$kolbrik" "$cmd"); do
      grep -qF -- "${opt//-/\\-}" <<<"$source" || fail "kolbrik(1) does not describe $cmd $opt"
    done
  done
}

check_completion() {
  local kolbrik=$1 script=$2
  bash -c "source '$script' && complete -p kolbrik" | grep -q '_kolbrik kolbrik$' || fail "no completion for kolbrik"
  # offers WORD...: what the completion offers for the last word.
  offers() {
    bash -c 'source "$0"; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _kolbrik; printf "%s\n" "${COMPREPLY[@]}"' \
      "$script" "$@"
  }
  expect_same "commands" "$(commands_of "$kolbrik") --help --version" "$(offers kolbrik '')"
  local cmd
  for cmd in $(commands_of "$kolbrik"); do
    expect_same "options of $cmd" "$(options_of "$kolbrik" "$cmd") --help" "$(offers kolbrik "$cmd" -)"
  done
  # File arguments: models, pictures and folders, also past options and
  # their values.
  local dir
  dir=$(mktemp -d)
  mkdir "$dir/sub"
  touch "$dir/a b.kmf" "$dir/c.png" "$dir/d.txt"
  cd "$dir" || return
  expect_same "info's model" "a b.kmf sub" "$(offers kolbrik info '')"
  expect_same "render's picture" "c.png sub" "$(offers kolbrik render --size 9x9 'a b.kmf' '')"
  expect_same "--resources" "sub" "$(offers kolbrik info --resources '')"
  expect_same "render --view" "top" "$(offers kolbrik render --view t)"
  expect_same "export --phase" "" "$(offers kolbrik export --phase '')"
  cd - >/dev/null && rm -rf "$dir"
}

check_package() {
  local build=$1 out=$2 deb
  rm -rf "$out"
  cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out.log" 2>&1 || {
    cat "$out.log"
    fail "cpack"
    return
  }
  deb=$(ls "$out"/*.deb)
  version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
  [ "$(basename "$deb")" = "kolbrik-viewer_${version}_$(dpkg --print-architecture).deb" ] ||
    fail "package named $(basename "$deb")"
  # Every remaining information tag is explained in the package's notes.
  lintian --fail-on error,warning --display-info "$deb" 2>&1 | { grep -v 'running with root privileges' || true; } ||
    fail "lintian found errors or warnings"
  dpkg-deb -x "$deb" "$out/root"
  appstreamcli validate-tree --strict --no-net "$out/root" || fail "appstreamcli validate-tree"
}

check_install() {
  local deb
  deb=$(ls "$1"/*.deb)
  if [ "$(id -u)" -ne 0 ]; then
    echo "installing a package needs root: skipped"
    exit 77
  fi
  # One installation at a time on this machine; the package may not be
  # installed by anyone else (it is removed afterwards).
  exec 9>/run/kolbrik-viewer-package-test.lock
  flock 9
  if dpkg-query -W -f='${Status}' kolbrik-viewer 2>/dev/null | grep -q 'install ok installed'; then
    fail "kolbrik-viewer is already installed on this machine; remove it first (dpkg --purge kolbrik-viewer)"
    return
  fi
  tmp=$(mktemp -d)
  trap 'DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq -o DPkg::Lock::Timeout=300 kolbrik-viewer >/dev/null; rm -rf "$tmp"' EXIT
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=300 \
    "$(realpath "$deb")" >"$tmp/apt.log" 2>&1 || {
    cat "$tmp/apt.log"
    fail "apt-get install"
    return
  }
  local model=/usr/share/kolbrik-viewer/library/Vehicles/Truck.kmf out
  out=$(env -i /usr/bin/kolbrik --version) && [[ $out == "kolbrik (Kolbrik Viewer) "[0-9]* ]] ||
    fail "kolbrik --version: $out"
  out=$(env -i /usr/bin/kolbrik-viewer --version) || fail "kolbrik-viewer --version: $out"
  out=$(env -i /usr/bin/kolbrik info "$model" 2>&1) || fail "kolbrik info: $out"
  grep -q '^Parts: *[1-9]' <<<"$out" || fail "kolbrik info lists no parts"
  ! grep -q 'without a definition\|warning' <<<"$out" || fail "kolbrik info: the resources were not found: $out"
  out=$(env -i /usr/bin/kolbrik render "$model" "$tmp/truck.png" --size 160x120 2>&1) || fail "kolbrik render: $out"
  [ "$(head -c 4 "$tmp/truck.png" | tail -c 3)" = "PNG" ] || fail "kolbrik render wrote no PNG"
}

what=$1
shift
"check_$what" "$@"
echo "$what: $failures failure(s)"
[ "$failures" -eq 0 ]

#!/bin/sh
# Checks of the packaging sources and the install rules, run by CTest:
#   packaging_check.sh entries  SOURCE_DIR
#   packaging_check.sh validate SOURCE_DIR            (exit 77, skipped, without any validator)
#   packaging_check.sh icons    SOURCE_DIR "SIZES"
#   packaging_check.sh install  SOURCE_DIR BUILD_DIR PREFIX DATA_DIR UDEV_DIR GUI(ON|OFF)
set -u
mode="$1"
src="$2"
pkg="$src/packaging"
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The value of KEY in the [Desktop Entry] group of FILE (untranslated key only).
desktop_value() {
  sed -n "/^\[Desktop Entry\]/,/^\[/{s/^$2=//p}" "$1" | head -n 1
}

# Width and height of a PNG from its IHDR chunk, as "W H"; empty when FILE is no PNG.
png_size() {
  [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = "89504e470d0a1a0a" ] || return 0
  [ "$(od -An -c -j12 -N4 "$1" | tr -d ' \n')" = "IHDR" ] || return 0
  set -- $(od -An -tu1 -j16 -N8 "$1")
  echo "$(( ($1 << 24) | ($2 << 16) | ($3 << 8) | $4 )) $(( ($5 << 24) | ($6 << 16) | ($7 << 8) | $8 ))"
}

check_entries() {
  main="$pkg/sequaflow.desktop"
  demo="$pkg/sequaflow-demo.desktop"
  for f in "$main" "$demo"; do
    [ -f "$f" ] || { fail "$f is missing"; continue; }
    [ "$(desktop_value "$f" Type)" = "Application" ] || fail "$f: Type is not Application"
    [ "$(desktop_value "$f" Icon)" = "sequaflow" ] || fail "$f: Icon is not the installed icon name sequaflow"
    [ "$(desktop_value "$f" Terminal)" = "false" ] || fail "$f: the program must not start in a terminal"
    [ -n "$(desktop_value "$f" Categories)" ] || fail "$f: no Categories, so no menu shows it"
  done
  [ "$(desktop_value "$main" Exec)" = "sequaflow" ] || fail "$main: Exec must start the desktop program as is"
  [ "$(desktop_value "$demo" Exec)" = "sequaflow --simulate" ] ||
    fail "$demo: Exec must start the desktop program on the simulated controller"
  [ "$(desktop_value "$main" Name)" != "$(desktop_value "$demo" Name)" ] ||
    fail "the two menu entries have the same Name"
  # The AppStream data names the main entry and the binaries the package installs.
  meta="$pkg/sequaflow.metainfo.xml"
  grep -q '<launchable type="desktop-id">sequaflow.desktop</launchable>' "$meta" ||
    fail "$meta: the launchable is not sequaflow.desktop"
  for b in sequaflow sequaflow-cli sequaflow-sim; do
    grep -q "<binary>$b</binary>" "$meta" || fail "$meta: does not provide $b"
  done
}

check_validate() {
  ran=0
  if command -v desktop-file-validate >/dev/null 2>&1; then
    ran=1
    for f in "$pkg/sequaflow.desktop" "$pkg/sequaflow-demo.desktop"; do
      out="$(desktop-file-validate "$f" 2>&1)" || fail "desktop-file-validate $f"
      [ -z "$out" ] || { echo "$out"; fail "desktop-file-validate $f has remarks"; }
    done
  fi
  if command -v appstreamcli >/dev/null 2>&1; then
    ran=1
    # The component id is not in reverse-DNS form (a warning); errors fail.
    out="$(appstreamcli validate --no-net "$pkg/sequaflow.metainfo.xml" 2>&1)"
    if echo "$out" | grep -q '^E:'; then
      echo "$out"
      fail "appstreamcli validate: errors in sequaflow.metainfo.xml"
    fi
  fi
  if [ "$ran" -eq 0 ]; then
    echo "neither desktop-file-validate nor appstreamcli is installed (scripts/setup --package)"
    exit 77
  fi
}

check_icons() {
  sizes="$3"
  for size in $sizes; do
    f="$pkg/icons/${size}x${size}/sequaflow.png"
    if [ ! -f "$f" ]; then
      fail "$f is missing"
      continue
    fi
    got="$(png_size "$f")"
    [ "$got" = "$size $size" ] || fail "$f is '${got:-no PNG}', not $size x $size"
  done
  # A rendered size the install rules do not name would never reach the package.
  for dir in "$pkg"/icons/*x*/; do
    name="$(basename "$dir")"
    case " $sizes " in
      *" ${name%%x*} "*) ;;
      *) fail "$name icon is not installed: add its size to SEQUAFLOW_ICON_SIZES" ;;
    esac
  done
  grep -q 'viewBox="0 0 128 128"' "$pkg/icons/sequaflow.svg" || fail "the scalable icon is not square"
}

check_install() {
  build="$3"
  prefix="$4"
  data_dir="$5"
  udev_dir="$6"
  gui="$7"
  case "$udev_dir" in
    /*) ;;
    *) udev_dir="$prefix/$udev_dir" ;;
  esac
  stage="$(mktemp -d)"
  trap 'rm -rf "$stage"' EXIT
  if ! DESTDIR="$stage/root" cmake --install "$build" >"$stage/install.log" 2>&1; then
    cat "$stage/install.log"
    fail "cmake --install $build"
    return
  fi

  expected="$stage/expected"
  {
    echo "$prefix/bin/sequaflow-cli"
    echo "$prefix/bin/sequaflow-sim"
    [ "$gui" = "ON" ] && echo "$prefix/bin/sequaflow"
    # Where the programs look: the data folder compiled into them.
    echo "$data_dir/help.txt"
    grep -o '"lang/[^"]*\.txt"' "$src/src/i18n/language_table.h" | tr -d '"' | sed "s|^|$data_dir/|"
    echo "$prefix/share/applications/sequaflow.desktop"
    echo "$prefix/share/applications/sequaflow-demo.desktop"
    echo "$prefix/share/metainfo/sequaflow.metainfo.xml"
    echo "$prefix/share/icons/hicolor/scalable/apps/sequaflow.svg"
    for dir in "$src"/packaging/icons/*x*/; do
      echo "$prefix/share/icons/hicolor/$(basename "$dir")/apps/sequaflow.png"
    done
    echo "$udev_dir/99-sequaflow.rules"
    echo "$prefix/share/doc/sequaflow/copyright"
    echo "$prefix/share/lintian/overrides/sequaflow"
    if command -v gzip >/dev/null 2>&1; then echo "$prefix/share/doc/sequaflow/changelog.Debian.gz"; fi
  } | sort -u >"$expected"

  installed="$stage/installed"
  (cd "$stage/root" 2>/dev/null && find . -type f -o -type l) | sed 's|^\.||' | sort >"$installed"
  missing="$(comm -23 "$expected" "$installed")"
  [ -z "$missing" ] || fail "not installed: $(echo $missing)"

  # Man pages and the completion are installed by their own rules once their sources exist.
  for page in "$src"/man/*.1; do
    [ -f "$page" ] || continue
    name="$(basename "$page")"
    grep -qx "$prefix/share/man/man1/$name\(\.gz\)\{0,1\}" "$installed" || fail "man page $name not installed"
  done
  if [ -f "$src/completions/sequaflow-cli" ]; then
    grep -qx "$prefix/share/bash-completion/completions/sequaflow-cli" "$installed" ||
      fail "bash completion not installed"
  fi

  # Nothing else: no libraries, headers, language sources or tools of the build.
  stray="$(grep -v -e "^$prefix/bin/sequaflow\(-cli\|-sim\)\{0,1\}\$" \
                   -e "^$data_dir/" -e "^$prefix/share/applications/" -e "^$prefix/share/metainfo/" \
                   -e "^$prefix/share/icons/hicolor/" -e "^$prefix/share/doc/sequaflow/" \
                   -e "^$prefix/share/lintian/overrides/sequaflow\$" \
                   -e "^$prefix/share/man/man1/" -e "^$prefix/share/bash-completion/completions/" \
                   -e "^$udev_dir/" "$installed")"
  [ -z "$stray" ] || fail "installed outside the package layout: $(echo $stray)"
  extra_lang="$(grep "^$data_dir/lang/" "$installed" | grep -vxF -f "$expected")"
  [ -z "$extra_lang" ] || fail "files in the language folder no language uses: $(echo $extra_lang)"

  # Binaries executable, data not (lintian and the desktop's file managers care).
  while read -r f; do
    case "$f" in
      "$prefix"/bin/*) [ -x "$stage/root$f" ] || fail "$f is not executable" ;;
      *) [ ! -x "$stage/root$f" ] || fail "$f is executable" ;;
    esac
  done <"$installed"
}

case "$mode" in
  entries) check_entries ;;
  validate) check_validate ;;
  icons) check_icons "$@" ;;
  install) check_install "$@" ;;
  *) echo "unknown mode $mode"; exit 2 ;;
esac

if [ "$failures" -ne 0 ]; then
  echo "$failures packaging check(s) failed"
  exit 1
fi
echo "packaging $mode: all checks passed"

#!/usr/bin/env bash
# Builds the Debian package the way the archive does and checks it as Debian's games team would:
#   1. the source package from the commit checked out (HEAD), nothing else of the working tree;
#   2. sbuild in unshare mode from a clean Debian 12 chroot made from Debian's archive, with no
#      network during the build;
#   3. lintian on the result: no error, no warning;
#   4. a second build from another folder, minutes later, byte for byte the same .deb files;
#   5. piuparts: install, upgrade over itself (from a local repository holding the same
#      package), remove and purge, leaving the system as it was;
#   6. autopkgtest (debian/tests) on the installed package in a fresh chroot.
# Outside CI: it takes 15 to 30 minutes on a busy two-core machine, most of it the two builds.
#
#   tools/package-check.sh [WORK_DIR]     (default /var/tmp/burrowfield-package; as root)
#
# Needs: sbuild mmdebstrap uidmap lintian piuparts autopkgtest dpkg-dev, and a subordinate id
# range for the user (/etc/subuid and /etc/subgid), which unshare mode maps into the chroot.
# The chroot tarballs are made once and kept in WORK_DIR. Ends with status 1 on the first
# failing step, naming it.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work="$(realpath -m "${1:-/var/tmp/burrowfield-package}")"
mirror="http://deb.debian.org/debian"
suites=("deb $mirror bookworm main" "deb $mirror bookworm-updates main"
  "deb http://deb.debian.org/debian-security bookworm-security main")
version="$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)"
# Both builds are of the commit checked out when the check starts.
commit="$(git -C "$root" rev-parse HEAD)"
mkdir -p "$work"
start=$SECONDS

fail() {
  echo "package-check: FAIL: $*" >&2
  exit 1
}

step() {
  echo "package-check: [$((SECONDS - start)) s] $*"
}

# The chroot the package is built in (buildd variant: build-essential) and, smaller, the one
# piuparts installs into.
make_chroots() {
  if [ ! -s "$work/bookworm-buildd.tar.zst" ]; then
    step "making the build chroot"
    mmdebstrap --variant=buildd --skip=output/mknod bookworm "$work/bookworm-buildd.tar.zst" \
      "${suites[@]}" > "$work/chroot.log" 2>&1 || fail "mmdebstrap: see $work/chroot.log"
  fi
  if [ ! -s "$work/bookworm-minbase.tar.gz" ]; then
    step "making the piuparts chroot"
    mmdebstrap --variant=minbase --skip=output/mknod bookworm "$work/bookworm-minbase.tar.gz" \
      "${suites[@]}" > "$work/chroot-min.log" 2>&1 || fail "mmdebstrap: see $work/chroot-min.log"
  fi
  # autopkgtest indexes the package under test with apt-ftparchive before it updates apt's
  # lists, which the chroots above leave empty.
  if [ ! -s "$work/bookworm-autopkgtest.tar.zst" ]; then
    step "making the autopkgtest chroot"
    mmdebstrap --variant=minbase --include=apt-utils --skip=output/mknod bookworm \
      "$work/bookworm-autopkgtest.tar.zst" "${suites[@]}" > "$work/chroot-test.log" 2>&1 ||
      fail "mmdebstrap: see $work/chroot-test.log"
  fi
}

# build NAME: the source package of the commit unpacked under WORK/NAME, built there by sbuild.
build() {
  local dir="$work/$1"
  rm -rf "$dir"
  mkdir -p "$dir/src/burrowfield-$version" "$dir/out"
  git -C "$root" archive "$commit" | tar -x -C "$dir/src/burrowfield-$version"
  (cd "$dir/src" && dpkg-source -b "burrowfield-$version" > "$dir/source.log" 2>&1) ||
    fail "dpkg-source: see $dir/source.log"
  step "building $1 (sbuild, unshare mode, no network)"
  (cd "$dir/out" && sbuild --chroot-mode=unshare --chroot="$work/bookworm-buildd.tar.zst" \
    --dist=bookworm --no-run-lintian --no-run-piuparts --no-run-autopkgtest \
    --build-dir="$dir/out" "$dir/src/burrowfield_$version.dsc" > "$dir/sbuild.log" 2>&1) ||
    fail "sbuild: see $dir/out/*.build"
  step "built $1: $(cd "$dir/out" && ls ./*.deb | tr '\n' ' ')"
}

run_lintian() {
  step "lintian"
  lintian --fail-on error,warning --info --display-info "$work/a/src/burrowfield_$version.dsc" \
    "$work/a/out/burrowfield_${version}_amd64.changes" 2>&1 | tee "$work/lintian.txt" ||
    fail "lintian (see $work/lintian.txt)"
}

compare_builds() {
  step "comparing the two builds"
  local deb name same=1
  for deb in "$work/a/out/"*.deb; do
    name="$(basename "$deb")"
    if cmp "$deb" "$work/b/out/$name"; then
      echo "  identical: $name ($(sha256sum < "$deb" | cut -c1-16))"
    else
      same=0
      command -v diffoscope > /dev/null &&
        diffoscope --text "$work/diffoscope-$name.txt" "$deb" "$work/b/out/$name" || true
    fi
  done
  ((same)) || fail "the two builds differ (diffoscope reports in $work)"
}

run_piuparts() {
  step "piuparts"
  local repo="$work/repo" deb="$work/a/out/burrowfield_${version}_amd64.deb"
  rm -rf "$repo"
  mkdir -p "$repo"
  cp "$deb" "$repo/"
  (cd "$repo" && dpkg-scanpackages . > Packages 2> /dev/null)
  piuparts --distribution=bookworm --mirror="$mirror main" \
    --basetgz="$work/bookworm-minbase.tar.gz" --bindmount="$repo" \
    --extra-repo="deb [trusted=yes] file://$repo ./" --log-file="$work/piuparts.log" \
    "$deb" > /dev/null 2>&1 || fail "piuparts: see $work/piuparts.log"
  grep -E 'PASS|upgrade' "$work/piuparts.log" | tail -5
}

run_autopkgtest() {
  step "autopkgtest"
  rm -rf "$work/autopkgtest"
  autopkgtest "$work/a/out/burrowfield_${version}_amd64.deb" "$work/a/src/burrowfield-$version/" \
    --output-dir="$work/autopkgtest" \
    --setup-commands="apt-get update" \
    -- unshare --release=bookworm --tarball="$work/bookworm-autopkgtest.tar.zst" \
    > "$work/autopkgtest.log" 2>&1 || fail "autopkgtest: see $work/autopkgtest.log"
  cat "$work/autopkgtest/summary"
}

make_chroots
build a
run_lintian
build b
compare_builds
run_piuparts
run_autopkgtest
step "all checks passed"

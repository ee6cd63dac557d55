#!/usr/bin/env bash
# Builds the Debian package, checks it as Debian would (lintian --pedantic:
# no error or warning but those allowed in scripts/lintian-allowed.txt;
# hardening-check on the program), unpacks it into a temporary root,
# validates its desktop entry, metainfo and file type there, and runs the
# end-to-end test
# once against the unpacked program, with PATH and XDG_DATA_DIRS pointing into
# that root and the desktop's caches built there as the package's triggers
# would: the start-up check must ask nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(./scripts/package.sh | tail -n 1)
root=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-package.XXXXXX")
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
echo "check-package: $deb unpacked into $root"
dpkg-deb -f "$deb" Package Version Architecture Depends Recommends Section Maintainer

# Each allowed tag stands on a line of its own, followed by its reason.
allowed=$(sed -n 's/^\([a-z0-9-]\+\)[[:space:]].*/\1/p' scripts/lintian-allowed.txt)
lintian --info --pedantic --tag-display-limit 0 "$deb" >"$root.lintian" 2>&1 || true
cat "$root.lintian"
failing=$(grep -E '^[EW]: ' "$root.lintian" | awk '{print $3}' | sort -u | grep -vxF -e "$allowed" -e '' || true)
rm -f "$root.lintian"
if [ -n "$failing" ]; then
  echo "check-package: lintian gives errors or warnings that are not allowed: $failing" >&2
  exit 1
fi
# Two checks cannot pass on Debian 12 whatever the flags: its glibc start
# files carry no control-flow property, so no program linked with them does
# (-fcf-protection is still on for our own code); and fortify level 2 only
# guards calls whose buffer size the compiler knows, which the program's few
# calls of the guarded functions (readlink, pread, realpath) do not have. That
# fortify was on is checked in the build's own compile commands instead.
hardening-check --nocfprotection --nofortify "$root/usr/bin/tarvik"
grep -q -- '-D_FORTIFY_SOURCE=2' "${PACKAGE_BUILD_DIR:-build-package}/compile_commands.json" ||
  { echo "check-package: the package was built without -D_FORTIFY_SOURCE=2" >&2; exit 1; }

id=io.github.tarvik.Tarvik
share=$root/usr/share
for file in usr/bin/tarvik "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
  "usr/share/mime/packages/$id.xml" "usr/share/icons/hicolor/scalable/apps/$id.svg" \
  usr/share/man/man1/tarvik.1.gz usr/share/doc/tarvik/copyright usr/share/doc/tarvik/changelog.gz; do
  [ -e "$root/$file" ] || { echo "check-package: the package lacks /$file" >&2; exit 1; }
done
for size in 16 24 32 48 64 128 256; do
  png="$share/icons/hicolor/${size}x${size}/apps/$id.png"
  [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || { echo "check-package: $png is not ${size}px" >&2; exit 1; }
done
desktop-file-validate "$share/applications/$id.desktop"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml"
xmllint --noout "$share/mime/packages/$id.xml"
grep -q '<sub-class-of type="text/plain"/>' "$share/mime/packages/$id.xml"

update-mime-database "$share/mime" >/dev/null
update-desktop-database "$share/applications"
echo "check-package: validated; running the end-to-end test on the unpacked program"
PATH=$root/usr/bin:$PATH E2E_INSTALLED=1 E2E_XDG_DATA_DIRS=$share:/usr/share \
  bash tests/app/end_to_end.sh tarvik examples/sample.tvk tests/app/expected_after_e2e.tvk \
  "Tarvik $(dpkg-deb -f "$deb" Version)"

#!/usr/bin/env bash
# Checks what the viewer gives a Linux desktop: the menu entry, the software-centre metadata,
# the icons, the manual page, an installation into a staging folder, a launch of the
# installed program from its menu entry on a private X display, and the Debian package.
#
#   scripts/check-package.sh [BUILD_DIR]     (default: build)
#
# Configures BUILD_DIR if needed and builds the program there. Every check runs even when
# an earlier one failed; the last line says how many passed and failed, and the exit status
# is 0 only when all passed. Set VEDRA_PACKAGE_KEEP=1 to keep the staging folder and the
# package for a look afterwards.
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$root" && mkdir -p "${1:-build}" && cd "${1:-build}" && pwd)"
cd "$root" || exit 1

app_id=$(sed -n 's/.*kApplicationId\[\] = "\([^"]*\)".*/\1/p' src/core/ProjectIdentity.h)
mime_types="image/jpeg;image/gif;image/bmp;image/vnd.microsoft.icon;image/x-icon;image/wmf;image/x-wmf;image/emf;image/x-emf;"
icon_sizes="16 22 24 32 48 64 128 256 512"

passed=0
failed=0
failures=()
step() {
    local what=$1
    shift
    local log
    log=$(mktemp "${TMPDIR:-/tmp}/vedra-check-XXXXXXXX")
    if "$@" >"$log" 2>&1; then
        passed=$((passed + 1))
        echo "ok    $what"
    else
        failed=$((failed + 1))
        failures+=("$what")
        echo "FAIL  $what"
        sed 's/^/      /' "$log" | tail -n 60
    fi
    rm -f -- "$log"
}

# --- tools -------------------------------------------------------------------------------
need=(
    "desktop-file-validate:desktop-file-utils" "appstreamcli:appstream" "dpkg-deb:dpkg"
    "dpkg-shlibdeps:dpkg-dev" "gio:libglib2.0-bin" "rsvg-convert:librsvg2-bin"
    "cmake:cmake" "cpack:cmake" "xdotool:xdotool" "xprop:x11-utils" "Xvfb:xvfb"
    "gzip:gzip" "lexgrog:man-db" "update-desktop-database:desktop-file-utils"
    "lintian:lintian"
)
missing=()
for pair in "${need[@]}"; do
    command -v "${pair%%:*}" >/dev/null || missing+=("${pair##*:}")
done
if ! /usr/bin/python3 -c 'import PIL, numpy' 2>/dev/null; then
    missing+=(python3-pil python3-numpy)
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "check-package: missing tools; install: ${missing[*]} (scripts/install-deps.sh)" >&2
    exit 2
fi
if [ -z "$app_id" ]; then
    echo "check-package: no application id in src/core/ProjectIdentity.h" >&2
    exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/vedra-package-XXXXXXXX")
chmod 0755 "$work"
cleanup() {
    if [ "${VEDRA_PACKAGE_KEEP:-}" = 1 ]; then
        echo "kept $work"
    else
        rm -rf -- "$work"
    fi
}
trap cleanup EXIT

echo "Building in $build"
if ! { cmake -S "$root" -B "$build" >/dev/null &&
    cmake --build "$build" -j "$(nproc)" --target vedra-viewer vedra_man_page >/dev/null; }; then
    echo "check-package: the build failed" >&2
    exit 1
fi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

# --- the files as committed ----------------------------------------------------------------
desktop_file=data/$app_id.desktop
metainfo_file=data/$app_id.metainfo.xml

check_desktop_entry() {
    local out
    out=$(desktop-file-validate "$desktop_file") || { echo "$out"; return 1; }
    # Hints are advice; errors and warnings are not accepted.
    if grep -E 'error|warning' <<<"$out"; then return 1; fi
    grep -qx "Exec=vedra-viewer %f" "$desktop_file" || { echo "Exec is not 'vedra-viewer %f'"; return 1; }
    grep -qx "Icon=$app_id" "$desktop_file" || { echo "Icon is not $app_id"; return 1; }
    grep -qx "MimeType=$mime_types" "$desktop_file" || { echo "MimeType is not $mime_types"; return 1; }
}
step "desktop entry validates (desktop-file-validate) and names the program, icon and types" \
    check_desktop_entry

check_metainfo() {
    appstreamcli validate --no-net --explain "$metainfo_file" || return 1
    grep -q "<id>$app_id</id>" "$metainfo_file" || { echo "the id is not $app_id"; return 1; }
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo_file" ||
        { echo "the launchable is not $app_id.desktop"; return 1; }
    local first_release
    first_release=$(grep -o '<release version="[^"]*"' "$metainfo_file" | head -n 1 | cut -d'"' -f2)
    [ "$first_release" = "$version" ] ||
        { echo "newest release $first_release in the metainfo, project version $version"; return 1; }
    local shot
    shot=$(sed -n 's|.*<image type="source"[^>]*>https://[^<]*/\([^/<]*\)</image>.*|\1|p' "$metainfo_file")
    if [ -z "$shot" ] || [ ! -f "data/screenshots/$shot" ]; then
        echo "the screenshot '$shot' is not in data/screenshots/"; return 1
    fi
    local declared actual
    declared=$(sed -n 's|.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)".*|\1x\2|p' "$metainfo_file")
    actual=$(/usr/bin/python3 -c 'import sys; from PIL import Image; print("%dx%d" % Image.open(sys.argv[1]).size)' \
        "data/screenshots/$shot") || return 1
    [ "$declared" = "$actual" ] || { echo "the metainfo says $declared, the screenshot is $actual"; return 1; }
}
step "metainfo validates (appstreamcli validate --no-net), with this id, version and screenshot" \
    check_metainfo

check_man_page() {
    lexgrog data/vedra-viewer.1 | grep -q 'vedra-viewer - ' || { echo "no NAME section"; return 1; }
    local warnings
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l data/vedra-viewer.1 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "$warnings"; return 1; }
}
step "manual page formats without warnings" check_man_page

check_icons_current() {
    /usr/bin/python3 tools/make-resources/make_resources.py \
        --out "$work/resources" --icons "$work/icons" >/dev/null || return 1
    diff -r data/icons "$work/icons" && diff -r resources/pictures "$work/resources/pictures"
}
step "icons and pictures are what tools/make-resources draws today" check_icons_current

check_svg_matches_window_icon() {
    rsvg-convert -w 256 -h 256 "data/icons/hicolor/scalable/apps/$app_id.svg" \
        -o "$work/scalable-256.png" || return 1
    /usr/bin/python3 - "$work/scalable-256.png" resources/pictures/app-icon.png <<'EOF'
import sys
import numpy as np
from PIL import Image

def on_white(path):
    a = np.asarray(Image.open(path).convert("RGBA"), dtype=float)
    alpha = a[..., 3:4] / 255.0
    return a[..., :3] * alpha + 255.0 * (1.0 - alpha)

d = np.abs(on_white(sys.argv[1]) - on_white(sys.argv[2]))
mean, p99 = d.mean(), np.percentile(d, 99)
print(f"scalable icon against the window icon: mean difference {mean:.2f}, 99th percentile {p99:.0f}")
sys.exit(0 if mean < 3.0 and p99 < 32 else 1)
EOF
}
step "scalable icon looks like the window icon at 256 pixels" check_svg_matches_window_icon

# --- installation into a staging folder ----------------------------------------------------
stage=$work/stage
expected_files() {
    echo "usr/bin/vedra-viewer"
    echo "usr/share/applications/$app_id.desktop"
    for s in $icon_sizes; do echo "usr/share/icons/hicolor/${s}x${s}/apps/$app_id.png"; done
    echo "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
    echo "usr/share/doc/vedra-viewer/changelog.gz"
    echo "usr/share/doc/vedra-viewer/copyright"
    echo "usr/share/man/man1/vedra-viewer.1.gz"
    echo "usr/share/metainfo/$app_id.metainfo.xml"
}

check_staged_install() {
    DESTDIR=$stage cmake --install "$build" --prefix /usr || return 1
    diff -u <(expected_files | sort) <(cd "$stage" && find . -type f -o -type l | sed 's|^\./||' | sort) ||
        { echo "(- expected, + installed)"; return 1; }
    [ -x "$stage/usr/bin/vedra-viewer" ] || { echo "the program is not executable"; return 1; }
    gzip -t "$stage/usr/share/man/man1/vedra-viewer.1.gz" || return 1
    desktop-file-validate "$stage/usr/share/applications/$app_id.desktop" || return 1
    appstreamcli validate --no-net "$stage/usr/share/metainfo/$app_id.metainfo.xml" >/dev/null
}
step "cmake --install into a staging folder installs exactly the expected files" check_staged_install

check_desktop_launch() {
    [ -x "$stage/usr/bin/vedra-viewer" ] || { echo "nothing staged"; return 1; }
    # What the package manager's trigger does after installing a menu entry: the MIME
    # cache through which the desktop finds the programs for a file type.
    update-desktop-database "$stage/usr/share/applications" || return 1
    VEDRA_STAGE=$stage/usr tests/e2e/run-e2e.sh "$stage/usr/bin/vedra-viewer" \
        tests/e2e/test_desktop_launch.py
}
step "the installed program starts from its menu entry on a picture (gio launch, Xvfb)" \
    check_desktop_launch

# --- the Debian package --------------------------------------------------------------------
check_deb() {
    (cd "$build" && cpack -G DEB -B "$work/deb") >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log"; return 1; }
    local debs=("$work/deb"/vedra-viewer_*.deb)
    if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
        echo "no single vedra-viewer_*.deb made"; return 1
    fi
    local deb=${debs[0]}
    echo "package: $(basename "$deb")"
    dpkg-deb -c "$deb" >"$work/contents" || return 1
    diff -u <(expected_files | sort) <(awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' "$work/contents" | sort) ||
        { echo "(- expected, + in the package)"; return 1; }
    if awk '$2 != "root/root"' "$work/contents" | grep .; then
        echo "files not owned by root"; return 1
    fi
    if awk '$1 !~ /^d/ && $6 != "./usr/bin/vedra-viewer" && $1 != "-rw-r--r--"' "$work/contents" | grep .; then
        echo "data files that are not 0644"; return 1
    fi
    grep -q '^-rwxr-xr-x .* \./usr/bin/vedra-viewer$' "$work/contents" ||
        { echo "the program is not 0755"; return 1; }
    local depends
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    local pkg
    for pkg in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libjpeg62-turbo qt6-wayland; do
        case ", $depends," in
            *", $pkg ("* | *", $pkg,"*) ;;
            *) echo "Depends lacks $pkg"; return 1 ;;
        esac
    done
    [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || { echo "version is not $version"; return 1; }
    [ "$(dpkg-deb -f "$deb" Package)" = vedra-viewer ] || { echo "package name is not vedra-viewer"; return 1; }
    # The packaged program is stripped: no debugging sections.
    dpkg-deb -x "$deb" "$work/unpacked" || return 1
    if readelf -S "$work/unpacked/usr/bin/vedra-viewer" | grep -q '\.debug_info'; then
        echo "the packaged program is not stripped"; return 1
    fi
}
step "cpack builds vedra-viewer_*.deb with the expected files and computed Depends" check_deb

# Debian's own package checker. Its report is shown in full; errors, and the tags about a
# missing licence or history, fail the step.
check_lintian() {
    local debs=("$work/deb"/vedra-viewer_*.deb)
    [ -f "${debs[0]}" ] || { echo "no package to check"; return 1; }
    lintian --info --tag-display-limit 0 "${debs[0]}" >"$work/lintian.log" 2>&1
    cat "$work/lintian.log"
    if grep -E '^E: |no-copyright-file|no-changelog|copyright-' "$work/lintian.log" >/dev/null; then
        return 1
    fi
}
step "lintian finds no error, and the package has its copyright file and changelog" check_lintian

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

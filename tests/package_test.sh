#!/usr/bin/env bash
# Builds the Debian package from a finished build folder, unpacks it and checks that everything
# a counter PC needs is in place, then starts the unpacked program and waits for its window.
set -euo pipefail
build_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build_dir" && cpack -G DEB -B "$work/out" >/dev/null) || fail "cpack could not build the package"
deb=$(ls "$work"/out/printcalc_*_amd64.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no printcalc_<version>_amd64.deb was made"
dpkg-deb -x "$deb" "$work/root"

for file in usr/bin/printcalc \
            usr/share/applications/printcalc.desktop \
            usr/share/icons/hicolor/scalable/apps/printcalc.svg \
            usr/share/icons/hicolor/48x48/apps/printcalc.png \
            usr/share/icons/hicolor/256x256/apps/printcalc.png \
            usr/share/printcalc/invoice.xlsx \
            usr/share/doc/printcalc/copyright; do
    [ -e "$work/root/$file" ] || fail "$file is missing from the package"
done
[ -x "$work/root/usr/bin/printcalc" ] || fail "the program is not executable"
grep -qx 'Icon=printcalc' "$work/root/usr/share/applications/printcalc.desktop" \
    || fail "the desktop entry does not name the icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$work/root/usr/share/applications/printcalc.desktop" \
        || fail "the desktop entry is not valid"
fi

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
[[ $depends == *libqt5widgets5* ]] || fail "the dependencies do not name Qt 5 widgets"
[[ $depends == *libreoffice-calc* ]] || fail "the dependencies do not name LibreOffice Calc"
# The PDF invoice and printing: Qt Print Support, the font the PDF embeds, Qt's Russian dialogs.
for needed in libqt5printsupport5 fonts-dejavu-core qttranslations5-l10n; do
    [[ $depends == *$needed* ]] || fail "the dependencies do not name $needed"
done

# The unpacked program must come up with its window.
log="$work/run.log"
if command -v xvfb-run >/dev/null && command -v xwininfo >/dev/null; then
    # `./run test` sets the offscreen platform for the suites; this check needs the X server.
    env -u QT_QPA_PLATFORM xvfb-run -a -n 220 bash -c '
        "$1" & app=$!
        for _ in $(seq 1 50); do
            xwininfo -root -tree | grep -q "\"MainWindow\"" && { kill $app; exit 0; }
            kill -0 $app 2>/dev/null || exit 2
            sleep 0.2
        done
        kill $app; exit 3' _ "$work/root/usr/bin/printcalc" >"$log" 2>&1 \
        || { cat "$log"; fail "the unpacked program showed no window"; }
else
    status=0
    QT_QPA_PLATFORM=offscreen timeout 3 "$work/root/usr/bin/printcalc" >"$log" 2>&1 || status=$?
    [ "$status" -eq 124 ] || { cat "$log"; fail "the unpacked program stopped with $status"; }
fi
[[ $(dpkg-deb -f "$deb" Depends) == *libqt5sql5-sqlite* ]] \
    || fail "the dependencies do not name Qt's SQLite driver"
[[ $(dpkg-deb -f "$deb" Recommends) == *libqt5sql5-psql* ]] \
    || fail "the package does not recommend Qt's PostgreSQL driver"

# With a fresh home, a line appended with "Ответ" is in the counter's file, even after kill -9.
home="$work/home"
mkdir -p "$home"
command -v xdotool >/dev/null || fail "xdotool is missing (./run installs it)"
env -u QT_QPA_PLATFORM -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u PRINTCALC_DATABASE HOME="$home" \
    xvfb-run -a -n 240 -s '-screen 0 1366x900x24' bash -c '
        "$1" & app=$!
        for _ in $(seq 1 50); do
            id=$(xdotool search --name "^MainWindow$" 2>/dev/null | head -n 1)
            [ -n "$id" ] && break
            sleep 0.2
        done
        [ -n "$id" ] || { kill $app; exit 3; }
        sleep 0.5
        # "Ответ" of the sheet products page, where the form puts it.
        xdotool mousemove --window "$id" 1221 451 click 1
        sleep 1
        kill -9 $app' _ "$work/root/usr/bin/printcalc" >"$log" 2>&1 \
    || { cat "$log"; fail "the unpacked program could not be driven"; }
check=$(env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u PRINTCALC_DATABASE HOME="$home" \
    "$work/root/usr/bin/printcalc" --check 2>&1) || { echo "$check"; fail "printcalc --check failed"; }
echo "$check"
grep -qx 'Незавершённых заказов: 1' <<<"$check" \
    || fail "the appended line was not stored in $home/.local/share/printcalc/printcalc.sqlite"
echo "package ok: $(basename "$deb")"

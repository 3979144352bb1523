# A fresh Wine prefix in a scratch folder, removed on exit, for the scripts
# that test the Windows build (sourced): sets work (the scratch folder), wine
# and WINEPREFIX, with the regional settings at the C locale's forms, as
# LC_ALL=C sets them for the Linux build (an imported file's comment carries
# the date and time). The prefix is made without a display: a test of the
# window starts an X server of its own.
unset DISPLAY WAYLAND_DISPLAY
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all TZ=UTC
# No Mono or Gecko installer.
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  "$(dirname "$wine")/wineserver" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
"$wine" wineboot --init >/dev/null 2>&1
for setting in "sShortDate MM/dd/yy" "sTimeFormat HH:mm:ss" "sDecimal ."; do
  "$wine" reg add 'HKCU\Control Panel\International' /v ${setting% *} /d "${setting#* }" /f >/dev/null
done

#!/bin/sh
# Installs the Debian packages Velkora needs to build, run and test,
# but only those that are missing. Uses sudo only when not root.
# "install-deps.sh bench-x" adds what `make bench-x` needs: an X server, the
# German layout, the XTest and Damage headers for the key sender, sqlite3.
set -e
PKGS="cmake g++ make acl qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6sql6-sqlite qt6-charts-dev qt6-multimedia-dev fonts-liberation desktop-file-utils appstream dpkg-dev file librsvg2-bin lintian qt6-translations-l10n hunspell hunspell-de-de poppler-utils qt6-speech-dev qt6-declarative-dev qt6-speech-speechd-plugin speech-dispatcher espeak-ng python3-pyatspi at-spi2-core dbus xvfb postgresql libqt6sql6-psql qtkeychain-qt6-dev openssl"
# "install-deps.sh fuzz": also clang with libFuzzer and the sanitizer
# runtimes, needed by `make fuzz` only.
case "${1:-}" in
  fuzz) PKGS="$PKGS clang libclang-rt-14-dev" ;;
  bench-x) PKGS="$PKGS xvfb x11-xkb-utils xdotool libx11-dev libxtst-dev libxdamage-dev sqlite3" ;;
esac
missing=""
for p in $PKGS; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0
echo "Installing missing packages:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing

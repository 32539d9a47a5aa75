#!/bin/sh
# als-benutzer.sh [--darf=PATH]... PROGRAM [ARGS]
# Runs a test program as an ordinary user when started as root. Root may
# write any file, so a test of a read-only file or folder would pass for root
# and fail for a learner; CTest starts the tests that depend on permissions
# through this script (tests/CMakeLists.txt).
#
# The user "velkora-test" (no login, no home) is made when missing. The
# program, its build directory and the working directory must be readable by
# it: folders on the way that it may not enter (a checkout under /root) get an
# access entry for that user alone. Temporary files go to a fresh directory
# of its own, which is removed afterwards. Each --darf names a file or folder
# of the build directory the test writes (made if missing): it is handed to
# that user.
set -eu
darf=""
while :; do
  case "${1:-}" in
    --darf=*) darf="$darf ${1#--darf=}"; shift ;;
    *) break ;;
  esac
done
if [ "$(id -u)" -ne 0 ] || ! command -v runuser >/dev/null 2>&1; then
  exec "$@"
fi
user=velkora-test
if ! id -u "$user" >/dev/null 2>&1; then
  # Tests run in parallel: one of them makes the user.
  flock /tmp/velkora-test-user.lock sh -c \
    "id -u $user >/dev/null 2>&1 || useradd --system --user-group --no-create-home --shell /usr/sbin/nologin $user"
fi
# Every folder from the root down to the program and the working directory.
for ziel in "$(dirname "$1")" "$(pwd)"; do
  d="$ziel"
  while [ "$d" != "/" ] && [ -n "$d" ]; do
    if ! runuser -u "$user" -- test -x "$d"; then
      if command -v setfacl >/dev/null 2>&1; then
        setfacl -m "u:$user:x" "$d"
      else
        echo "als-benutzer.sh: $user may not enter $d (setfacl from the package acl is missing)" >&2
        exit 1
      fi
    fi
    d=$(dirname "$d")
  done
done
for p in $darf; do
  [ -e "$p" ] || touch "$p"
  chown -R "$user:" "$p"
done
heim=$(mktemp -d /tmp/velkora-test.XXXXXX)
chown "$user:" "$heim"
rc=0
runuser -u "$user" -- env HOME="$heim" TMPDIR="$heim" XDG_RUNTIME_DIR="$heim" "$@" || rc=$?
rm -rf "$heim"
exit $rc

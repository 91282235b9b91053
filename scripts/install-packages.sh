#!/usr/bin/env bash
# Installs with apt-get (as root) the Debian 12 packages that building, testing and
# packaging need, Linux and Windows alike; those already there are left alone.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
linux=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
       libsmbclient-dev samba smbclient iproute2 util-linux
       libldap2-dev libsasl2-dev libsasl2-modules-gssapi-mit
       samba-ad-dc samba-ad-provision krb5-user ldb-tools
       iputils-ping fonts-liberation xdg-utils shared-mime-info
       xvfb xdotool imagemagick x11-utils clang-14 libclang-rt-14-dev faketime)
windows=(g++-mingw-w64-x86-64-posix wine wine64 unzip nsis)
"$here/scripts/ensure-packages.sh" "${linux[@]}" "${windows[@]}"

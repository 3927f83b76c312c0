#!/bin/sh
# Gets the browser tests ready: puppeteer-core and pngjs from npm at the
# versions in package-lock.json (no browser download: the tests drive
# Debian's chromium and firefox-esr), and the web page built into SITE.
#   tests/web/prepare.sh PACKER SOUNDTRACK SITE
set -eu
here=$(cd "$(dirname "$0")" && pwd)
for tool in emcmake node npm chromium firefox-esr; do
  if ! command -v "$tool" >/dev/null; then
    echo "prepare.sh: $tool is missing; scripts/install-deps.sh installs it" >&2
    exit 1
  fi
done
if [ ! -f "$here/node_modules/.package-lock.json" ] ||
   [ "$here/package-lock.json" -nt "$here/node_modules/.package-lock.json" ]; then
  (cd "$here" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund)
fi
"$here/../../web/build.sh" "$1" "$2" "$3"

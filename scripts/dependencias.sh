#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need; skips apt-get
# when all are present already.
set -euo pipefail
pacotes=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins qt6-translations-l10n fonts-dejavu-core libqt6sql6-sqlite libqt6sql6-psql
         libqt6network6 libssl3
         libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev libpq-dev postgresql poppler-utils)
faltam=()
for p in "${pacotes[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltam+=("$p")
done
if [ ${#faltam[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${faltam[@]}"
fi

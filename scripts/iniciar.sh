#!/usr/bin/env bash
# Installs what is missing, builds and starts the program on the embedded database.
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
bash "$raiz/scripts/dependencias.sh"
bash "$raiz/scripts/compilar.sh"
exec "$raiz/build/bin/Orvo" "$@"

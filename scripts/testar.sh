#!/usr/bin/env bash
# Installs what is missing, builds, starts a throwaway PostgreSQL cluster and runs every
# test: each case on SQLite, the database cases on PostgreSQL too.
set -euo pipefail
raiz="$(cd "$(dirname "$0")/.." && pwd)"
bash "$raiz/scripts/dependencias.sh"
bash "$raiz/scripts/compilar.sh"

pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
dados=$(mktemp -d /tmp/orvo-pg.XXXXXX)
porta=55432
parar_pg() {
  if [ -f "$dados/postmaster.pid" ]; then
    runuser -u postgres -- "$pgbin/pg_ctl" -D "$dados" -m immediate stop > /dev/null 2>&1 || true
  fi
  rm -rf "$dados"
}
trap parar_pg EXIT

if [ -n "$pgbin" ] && [ "$(id -u)" -eq 0 ] && id postgres > /dev/null 2>&1; then
  chown postgres "$dados"
  runuser -u postgres -- "$pgbin/initdb" -D "$dados" -A trust -U postgres -E UTF8 --locale=C.UTF-8 > /dev/null
  runuser -u postgres -- "$pgbin/pg_ctl" -D "$dados" -w -l "$dados/servidor.log" \
    -o "-p $porta -k $dados -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=200" start > /dev/null
  runuser -u postgres -- "$pgbin/createdb" -h 127.0.0.1 -p $porta -U postgres orvo_teste
  export ORVO_TESTE_PG_HOST=127.0.0.1 ORVO_TESTE_PG_PORT=$porta ORVO_TESTE_PG_USER=postgres ORVO_TESTE_PG_DB=orvo_teste
  echo "PostgreSQL de teste em 127.0.0.1:$porta"
else
  echo "PostgreSQL não iniciado (precisa de root e do pacote postgresql): os casos no servidor serão pulados"
fi

cd "$raiz/build"
ctest --output-on-failure -j "$(nproc)" --timeout 600

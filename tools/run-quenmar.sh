#!/usr/bin/env bash
# Sets everything up and starts the program on the embedded database:
# installs what is missing, builds build/Quenmar/, creates DB/lock.mdb with the demo hotel
# and connects a virtual encoder on COM1 the first time, then starts quenmar.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -DQUENMAR_SANITIZE=OFF >/dev/null
cmake --build build -j2
folder=build/Quenmar
if ! find "$folder" -maxdepth 2 -ipath "$folder/db/lock.mdb" | grep -q .; then
  "$folder/quenmar-initdb" --demo "$folder/DB/lock.mdb"
fi
if [ ! -d "$folder/Encoder" ]; then
  "$folder/virtual-encoder" connect --port 1
fi
exec "$folder/quenmar" "$@"

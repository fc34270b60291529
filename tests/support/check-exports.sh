#!/usr/bin/env bash
# The shipped program exports its window and dialog procedures under their
# decorated stdcall names.
set -euo pipefail
objdump=$1 exe=$2
table=$("$objdump" -p "$exe")
status=0
for name in _MainWndProc@16 _ItemDlg@16 _SharedDlg@16; do
  grep -Eq "\] ${name}\$" <<<"$table" || { echo "missing export: $name"; status=1; }
done
exit $status

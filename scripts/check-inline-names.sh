#!/usr/bin/env bash
# Two headers that define an inline variable or function of the same name in the same namespace
# give one program two definitions, and the linker silently keeps one of them: a message text of
# one dialog shows up in another. This lists such names in the program's own headers.
# Exit 0 when every name is defined once, 1 otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
dupes=$(grep -rhoE '^inline (constexpr |const )*[A-Za-z_:<>]+[ *&]+[A-Za-z_][A-Za-z_0-9]*( =|\()' \
          --include=*.h src sim cli |
        sed -E 's/^.*[ *&]([A-Za-z_][A-Za-z_0-9]*)( =|\()$/\1/' | sort | uniq -d)
if [ -n "$dupes" ]; then
  for n in $dupes; do
    echo "defined in more than one header: $n"
    grep -rnE "^inline .*[ *&]$n( =|\()" --include=*.h src sim cli | sed 's/^/  /'
  done
  exit 1
fi
echo "every inline name is defined once"

#!/usr/bin/env bash
# Checks that a shared library exports exactly the ZR_QM_ functions declared in a header:
#   check_exports.sh LIBRARY HEADER
set -euo pipefail
library=$1
header=$2
declared=$(grep -oE '\b[A-Za-z_]+[A-Za-z0-9_]*\(' "$header" | tr -d '(' | sort -u)
exported=$(nm -D --defined-only "$library" | awk '{print $3}' | sort -u)
unexpected=$(comm -23 <(echo "$exported") <(echo "$declared"))
if [ -n "$unexpected" ]; then
    echo "exported but not declared in $(basename "$header"):"
    echo "$unexpected" | sed 's/^/    /'
    exit 1
fi
missing=$(comm -13 <(echo "$exported") <(echo "$declared" | grep '^ZR_QM_'))
if [ -n "$missing" ]; then
    echo "declared in $(basename "$header") but not exported:"
    echo "$missing" | sed 's/^/    /'
    exit 1
fi
foreign=$(echo "$exported" | grep -v '^ZR_QM_' || true)
if [ -n "$foreign" ]; then
    echo "exports that are not ZR_QM_ functions:"
    echo "$foreign" | sed 's/^/    /'
    exit 1
fi
echo "$(echo "$exported" | wc -l) ZR_QM_ functions exported, nothing else"

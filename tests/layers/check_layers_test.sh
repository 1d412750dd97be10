#!/usr/bin/env bash
# The layer check (scripts/check-layers.sh) on small made-up source trees: each
# case is one file with one include, and whether the check must refuse it.
set -u
checker=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0

# file | include line | expected exit (0 accepted, 1 refused)
cases=(
  'shop/woo/Order.cpp|#include "db/DatabaseModule.h"|1'
  'shop/rest/RestChannel.cpp|#include "db/session/DbSession.h"|1'
  'shop/WooModule.h|#include "print/PrinterControlUnit.h"|1'
  'print/receipt/Layout.cpp|#include "db/receipt/ReceiptRows.h"|1'
  'print/receipt/Layout.cpp|#include "shop/rest/RestChannel.h"|1'
  'print/receipt/Layout.cpp|  #  include "db/session/DbSession.h"|1'
  'tsql/Executor.cpp|#include "db/DatabaseModule.h"|1'
  'tsql/Executor.cpp|#include "db/order/OrderStatements.h"|1'
  'db/session/DbValue.cpp|#include "tsql/Value.h"|1'
  'db/OrderStatements.cpp|#include "sync/OrderSyncPass.h"|1'
  'model/Receipt.h|#include "db/session/DbSession.h"|1'
  'config/Config.cpp|#include "model/OrderDocument.h"|1'
  'nowhere/Thing.cpp|#include "config/Config.h"|1'
  'tsql/Executor.cpp|#include "db/session/DbSession.h"|0'
  'print/receipt/Layout.cpp|#include "model/Receipt.h"|0'
  'shop/woo/Order.cpp|#include "model/OrderDocument.h"|0'
  'sync/OrderSync.cpp|#include "db/DatabaseModule.h"|0'
  'sync/OrderSync.cpp|#include "shop/woo/OrderParsing.h"|0'
  'sync/OrderReceipt.cpp|#include "print/receipt/PrintBillForm.h"|0'
  'print/Printer.cpp|// #include "db/DatabaseModule.h"|0'
  'print/Printer.cpp|#include <rapidjson/document.h>|0'
  'shop/rest/Curl.cpp|#include "curl/curl.h"|0'
)

for c in "${cases[@]}"; do
  IFS='|' read -r file line expected <<< "$c"
  tree="$root/case"
  rm -rf "$tree"
  mkdir -p "$tree/src/$(dirname "$file")"
  printf '// a file\n%s\n' "$line" > "$tree/src/$file"
  out=$(bash "$checker" "$tree/src" 2>&1)
  got=$?
  if [ "$got" != "$expected" ]; then
    echo "FAIL: $file with '$line': exit $got, expected $expected: $out"
    failures=$((failures + 1))
  elif [ "$expected" = 1 ] && [ "$file" != nowhere/Thing.cpp ] && ! grep -q "^$file:2: " <<< "$out"; then
    echo "FAIL: $file with '$line': the refusal does not name the file and line: $out"
    failures=$((failures + 1))
  fi
done

echo "${#cases[@]} cases, $failures failed"
[ $failures = 0 ]

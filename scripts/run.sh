#!/usr/bin/env bash
# The main job: installs what is missing, builds, checks the bundled sample
# report with qrptool and opens it in the viewer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
build/tools/qrptool/qrptool info examples/sample.qrp
build/tools/qrptool/qrptool check examples/sample.qrp
exec build/app/qrpview examples/sample.qrp

#!/usr/bin/env bash
# The main job: installs what is missing, builds, and shows the bundled sample
# report with qrptool (what it holds, whether it is sound, its pages as PNG).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
build/tools/qrptool/qrptool info examples/sample.qrp
build/tools/qrptool/qrptool check examples/sample.qrp
build/tools/qrptool/qrptool render examples/sample.qrp -o build/sample-pages
ls build/sample-pages

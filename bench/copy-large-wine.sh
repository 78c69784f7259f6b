#!/usr/bin/env bash
# copyTree against the reference copy tool: large tree, wine.
source "$(dirname "${BASH_SOURCE[0]}")/copy_common.inc"
copy_bench copy-large-wine large wine 1.3

#!/usr/bin/env bash
# copyTree against the reference copy tool: small tree, wine.
source "$(dirname "${BASH_SOURCE[0]}")/copy_common.inc"
copy_bench copy-small-wine small wine 1.3

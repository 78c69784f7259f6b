#!/usr/bin/env bash
# copyTree against the reference copy tool: small tree, native.
source "$(dirname "${BASH_SOURCE[0]}")/copy_common.inc"
copy_bench copy-small-native small native 1.5

#!/usr/bin/env bash
# copyTree against the reference copy tool: large tree, native.
source "$(dirname "${BASH_SOURCE[0]}")/copy_common.inc"
copy_bench copy-large-native large native 1.1

# shellcheck shell=bash
# SPDX-FileCopyrightText: 2026 Tarnwick
# SPDX-License-Identifier: MIT

# Sourced by the scripts and tests: what they would otherwise each say again. Sets root, the
# checkout's top folder.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# cmake_build DIR [--target TARGET] [CMAKE OPTION...]: configures the checkout in the build folder
# DIR with the options and builds it, or only TARGET, on every core.
cmake_build() {
    local dir=$1 target=() options=()
    shift
    while (($#)); do
        if [[ $1 == --target ]]; then target=(--target "$2") && shift; else options+=("$1"); fi
        shift
    done
    cmake -S "$root" -B "$dir" "${options[@]}" >/dev/null
    cmake --build "$dir" "${target[@]}" -j"$(nproc)"
}

# The test desktops' XEmbed tray, bottom right and as wide as its icons; its height follows.
# shellcheck disable=SC2034 # used by the sourcing scripts
trayer=(trayer --edge bottom --align right --widthtype request --height)

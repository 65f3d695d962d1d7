#!/usr/bin/env bash
# Installs what is missing, builds in build/ and starts the program: in its
# window when a display is there, on this terminal otherwise.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_missing_packages
configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cd "$repo_root"
exec "$repo_root/build/bin/testetau"

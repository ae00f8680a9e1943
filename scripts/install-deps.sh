#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test the editor.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
    build-essential cmake ninja-build clang clang-format \
    qt6-base-dev qt6-base-dev-tools qt6-httpserver-dev qt6-websockets-dev qt6-translations-l10n qt6-svg-dev \
    libcurl4-openssl-dev libgit2-dev git python3-pyftpdlib ansible-core \
    libgtest-dev libgmock-dev libbenchmark-dev \
    xvfb xauth imagemagick fonts-dejavu-core graphviz poppler-utils \
    nginx squid openssl \
    lintian appstream desktop-file-utils scdoc dpkg-dev file man-db

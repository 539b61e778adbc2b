# Sourced by run.sh, test.sh and tools/lobby-server.sh: installs the Debian packages the build
# needs (or the ones named), if any is missing.
PINFALL_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-multimedia-dev libgl-dev
    libbenchmark-dev liblz4-dev
    clang libclang-rt-14-dev
    fonts-liberation2            # Liberation Sans, the typeface the program writes in
    librsvg2-bin                 # the icon test draws the SVG icon with another renderer
    appstream desktop-file-utils # the install test validates the metainfo and the launcher entry
    prosody lua-sec lua-unbound openssl # the lobby tests run a real XMPP server: STARTTLS needs
                                        # lua-sec and openssl makes its certificate; without
                                        # lua-unbound Prosody warns at every start
    iproute2 nftables            # the lobby network test puts host and players in namespaces
                                 # behind a firewall
)

pinfall_install_packages() {
    local wanted=("$@")
    [ $# -gt 0 ] || wanted=("${PINFALL_PACKAGES[@]}")
    local missing=()
    local package
    for package in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

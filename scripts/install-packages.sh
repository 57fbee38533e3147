# Sourced by run.sh and test.sh: installs the Debian packages the build needs, when missing.
# qt6-translations-l10n: Qt's own texts (standard buttons, context menus) in Chinese.
# qt6-charts-dev: the charts of the business overview; its CMake files need Qt's OpenGL ones,
# which it does not depend on (libqt6opengl6-dev).
# libxlsxwriter-dev: export of lists to spreadsheet (XLSX) files; unzip: the tests read the
# exported files back. libqt6sql6-psql: the data on a PostgreSQL server.
herbdesk_packages=(qt6-base-dev libqt6sql6-sqlite libsqlite3-dev libqt6sql6-psql
    qt6-translations-l10n qt6-charts-dev libqt6opengl6-dev cmake ninja-build g++ fonts-noto-cjk
    fonts-wqy-microhei xvfb xauth libxlsxwriter-dev unzip)

# Installs the given packages, or the build's when none are given, unless already installed.
install_missing_packages() {
    local wanted=("$@") missing=() package
    ((${#wanted[@]} == 0)) && wanted=("${herbdesk_packages[@]}")
    for package in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$package")
    done
    ((${#missing[@]} == 0)) && return 0
    local sudo=()
    [[ $(id -u) -ne 0 ]] && sudo=(sudo)
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
        -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold "${missing[@]}"
}

# The PostgreSQL server the tests start a private cluster of (scripts/test-server.sh). Where
# Debian's server was never installed, it is told beforehand not to make and start a cluster of
# its own: the tests leave nothing running.
install_test_server() {
    local conf=/etc/postgresql-common/createcluster.conf sudo=()
    [[ $(id -u) -ne 0 ]] && sudo=(sudo)
    if ! dpkg-query -W -f='${Status}' postgresql-common 2>/dev/null \
        | grep -q 'install ok installed' && [[ ! -e $conf ]]; then
        "${sudo[@]}" mkdir -p "$(dirname "$conf")"
        echo 'create_main_cluster = false' | "${sudo[@]}" tee "$conf" >/dev/null
    fi
    install_missing_packages postgresql
}
